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
    static void install();
    static void uninstall();

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
