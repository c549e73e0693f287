#pragma once

#include <QObject>

#include <functional>

class QKeyEvent;
class QWidget;

// Key handling that belongs to one window. It is installed on the window and on each of its
// controls, those made later too (a cell's editor), never on the application: it sees the
// key presses addressed to the window's own controls, before they do, and never a key while
// the window's menu bar or one of its menus has the keyboard, for those keys are theirs.
class WindowKeys : public QObject {
    Q_OBJECT
public:
    // Gets each such key press and the control it is addressed to; true keeps it from the control.
    using Handler = std::function<bool(QWidget& control, QKeyEvent& key)>;

    // For this window from now on; it ends with the window.
    static void install(QWidget& window, Handler handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowKeys(QWidget& window, Handler handler);
    void watch(QWidget& widget);
    bool forMenus(const QWidget& control) const;

    QWidget* m_window;
    Handler m_handler;
};
