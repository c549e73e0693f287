#include "WindowWiring.h"

#include "BandedReport.h"
#include "DataEnvironment.h"
#include "DesignFont.h"
#include "HelpViewer.h"
#include "Module1.h"
#include "ReadAhead.h"
#include "SetConnections.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QApplication>
#include <QPixmapCache>

#include <future>
#include <memory>
#include <system_error>

namespace {
std::unique_ptr<WindowWiring>& installed()
{
    static std::unique_ptr<WindowWiring> wiring;
    return wiring;
}

std::future<void>& aheadThread()
{
    static std::future<void> thread;
    return thread;
}
} // namespace

void WindowWiring::beforeApplication()
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

void WindowWiring::install() { installed().reset(new WindowWiring); }

// Each window's load sequence asks for its own target first, so this wires every window
// before any of its handlers can run.
class WindowWiring::Targets : public ConnectionTargets {
public:
    explicit Targets(WindowWiring& wiring)
        : m_wiring(wiring)
    {
    }
    ConnectionTarget mainWindowTarget() override { return m_wiring.mainWindow().connectionTarget(); }
    ConnectionTarget editorTarget() override { return m_wiring.editor().connectionTarget(); }

private:
    WindowWiring& m_wiring;
};

WindowWiring::WindowWiring()
    : m_targets(std::make_unique<Targets>(*this))
{
    setConnectionTargets(m_targets.get());
}

WindowWiring::~WindowWiring() = default;

frmCartstock& WindowWiring::mainWindow()
{
    frmCartstock& window = frmCartstock::load();
    connect(&window, &frmCartstock::editorRequested, this, &WindowWiring::openEditor, Qt::UniqueConnection);
    return window;
}

frmAdding& WindowWiring::editor()
{
    frmAdding& window = frmAdding::load();
    connect(&window, &frmAdding::mainWindowRequested, this, &WindowWiring::showMainWindow, Qt::UniqueConnection);
    return window;
}

void WindowWiring::openEditor()
{
    // The main window unloads as the editor opens: a new one would be placed anew, wherever
    // the window manager finds room.
    if (const frmCartstock* window = frmCartstock::loaded())
        m_mainWindowPlace = window->saveGeometry();
    editor().show();
}

void WindowWiring::showMainWindow()
{
    frmCartstock& window = mainWindow();
    if (!m_mainWindowPlace.isEmpty())
        window.restoreGeometry(m_mainWindowPlace);
    window.show();
    Module1::ListNewItems();
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
    ReadAhead::discard();
    if (aheadThread().valid())
        aheadThread().wait();
    installed().reset();
}
