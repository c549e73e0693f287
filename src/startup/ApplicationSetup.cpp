#include "ApplicationSetup.h"

#include "BandedReport.h"
#include "DataEnvironment.h"
#include "DesignFont.h"
#include "HelpViewer.h"
#include "ReadAhead.h"
#include "SetConnections.h"
#include "WindowWiring.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QApplication>
#include <QPixmapCache>

#include <future>
#include <system_error>

namespace {
std::future<void>& aheadThread()
{
    static std::future<void> thread;
    return thread;
}
} // namespace

void ApplicationSetup::beforeApplication()
{
    // One thread for both, fonts first: they are needed as soon as the application exists,
    // the keys only when the window reads. On two cores a second thread slowed the
    // application's own start by more than it saved.
    std::packaged_task<void()> fonts = DesignFont::configurationReading();
    std::packaged_task<void()> keys = ReadAhead::reading(databaseFilePath(), frmCartstock::sourcesThatGrow());
    try {
        aheadThread() = std::async(std::launch::async, [fonts = std::move(fonts), keys = std::move(keys)]() mutable {
            fonts();
            keys();
        });
    } catch (const std::system_error&) {
        // No thread to be had: the jobs are dropped, and each part reads for itself.
    }
}

void ApplicationSetup::setUp()
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

void ApplicationSetup::shutDown()
{
    // Reports end before the data environment: the catalogue report closes its result set.
    BandedReport::closeAll();
    HelpViewer::closeViewer();
    delete frmAdding::loaded();
    delete frmCartstock::loaded();
    // Windows closed earlier are deleted later; finish that now.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DataEnvironment::resetInstance();
    ReadAhead::discard();
    if (aheadThread().valid())
        aheadThread().wait();
    WindowWiring::uninstall();
}
