#include "WindowWiring.h"

#include "SetConnections.h"
#include "Startup.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <memory>

namespace {
std::unique_ptr<WindowWiring>& installed()
{
    static std::unique_ptr<WindowWiring> wiring;
    return wiring;
}
} // namespace

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
    Startup::ListNewItems();
}

void WindowWiring::uninstall() { installed().reset(); }
