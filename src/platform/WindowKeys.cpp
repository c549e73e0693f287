#include "WindowKeys.h"

#include <QApplication>
#include <QChildEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

WindowKeys::WindowKeys(QWidget& window, Handler handler)
    : QObject(&window)
    , m_window(&window)
    , m_handler(std::move(handler))
{
}

void WindowKeys::install(QWidget& window, Handler handler)
{
    auto* keys = new WindowKeys(window, std::move(handler));
    keys->watch(window);
}

void WindowKeys::watch(QWidget& widget)
{
    widget.installEventFilter(this);
    for (QWidget* child : widget.findChildren<QWidget*>())
        child->installEventFilter(this);
}

// The menu bar has the keyboard after F10 or Alt, and an open menu has it.
bool WindowKeys::forMenus(const QWidget& control) const
{
    for (const QWidget* w = &control; w && w != m_window; w = w->parentWidget()) {
        if (qobject_cast<const QMenuBar*>(w))
            return true;
    }
    return qobject_cast<QMenuBar*>(QApplication::focusWidget()) ||
           qobject_cast<QMenu*>(QApplication::activePopupWidget());
}

bool WindowKeys::eventFilter(QObject* watched, QEvent* event)
{
    // A control made later (a cell's editor) is watched from its start, before its own parts
    // are made; what kind it is is not known yet, so its keys are sorted as they come.
    if (event->type() == QEvent::ChildAdded) {
        if (QObject* child = static_cast<QChildEvent*>(event)->child(); child->isWidgetType())
            watch(*static_cast<QWidget*>(child));
        return false;
    }
    if (event->type() != QEvent::KeyPress)
        return false;
    auto& control = *static_cast<QWidget*>(watched);
    // A dialog or menu parented to the window is a window of its own.
    if (control.window() != m_window || forMenus(control))
        return false;
    return m_handler(control, *static_cast<QKeyEvent*>(event));
}
