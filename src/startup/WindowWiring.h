#pragma once

#include <QByteArray>
#include <QObject>

#include <memory>

class frmAdding;
class frmCartstock;

// Owns the ways from one window to the other: the connection set-up's targets, and the
// windows' requests (the editor asked for, back to the list, new items to list), connected
// to the windows as each loads.
class WindowWiring : public QObject {
    Q_OBJECT

public:
    // What the whole program draws with, set once before any window: one style on every
    // desktop, the faces that stand in for the design fonts, and no cache of drawn pieces.
    // Work that needs no QApplication and may overlap its start (the font configuration, the
    // keys of the main window's long sources); before it is constructed, the folder set.
    static void beforeApplication();
    static void setUpApplication();
    static void install();
    // Ends the run's windows, reports and data environment while Qt is still there to
    // close their connections; the program calls it once its event loop has ended.
    static void shutDown();

    ~WindowWiring() override;

private:
    // The windows' connection targets, handed to the connection set-up while wired.
    class Targets;

    WindowWiring();
    frmCartstock& mainWindow();
    frmAdding& editor();
    void openEditor();
    void showMainWindow();

    std::unique_ptr<Targets> m_targets;
    // Where the user had the main window before the editor, for the rest of the run.
    QByteArray m_mainWindowPlace;
};
