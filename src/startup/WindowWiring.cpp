#include "WindowWiring.h"

#include "BandedReport.h"
#include "DataEnvironment.h"
#include "DesignFont.h"
#include "HelpViewer.h"
#include "Module1.h"
#include "SetConnections.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QApplication>
#include <QPixmapCache>

void WindowWiring::setUpApplication()
{
    // Fusion draws the colours chosen for buttons and lists alike on every desktop.
    QApplication::setStyle(QStringLiteral("Fusion"));
    // Every window and box the program opens shows the cart.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/images/cartlist.png")));
    DesignFont::installSubstitutes();
    // The style caches drawn pieces of controls under names made from their palettes, and
    // every load of a window colours its controls with new palettes. Qt 6.4 forgets the
    // pieces but keeps their names, so each switch between the windows left some
    // kilobytes behind for good; the pieces are cheap to draw again.
    QPixmapCache::setCacheLimit(0);
}

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
