#include "WindowWiring.h"

#include "BandedReport.h"
#include "DataEnvironment.h"
#include "HelpViewer.h"
#include "Module1.h"
#include "SetConnections.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QApplication>

void WindowWiring::install()
{
    registerConnectionTarget(1, [] { return frmCartstock::load().connectionTarget(); });
    registerConnectionTarget(2, [] { return frmAdding::load().connectionTarget(); });
    frmCartstock::setOpenEditor([] { frmAdding::load().show(); });
    frmAdding::setReturnToMainWindow([] { frmCartstock::load().show(); }, [] { Module1::ListNewItems(); });
}

void WindowWiring::shutDown()
{
    // Reports end before the data environment: the catalogue report closes its result set.
    BandedReport::closeAll();
    HelpViewer::closeViewer();
    delete frmAdding::loaded();
    delete frmCartstock::loaded();
    // Windows closed earlier are deleted later; finish that now.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DataEnvironment::resetInstance();
    clearConnectionTargets();
}
