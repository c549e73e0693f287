#include "ReturnPressesButton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>

ReturnPressesButton::ReturnPressesButton(QWidget& window)
    : QObject(&window)
    , m_window(&window)
{
}

void ReturnPressesButton::install(QWidget& window)
{
    // Keys reach the focused button, not the window: the filter watches them on their way.
    qApp->installEventFilter(new ReturnPressesButton(window));
}

bool ReturnPressesButton::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto* button = qobject_cast<QAbstractButton*>(watched);
    if (!button || !m_window || button->window() != m_window || !button->hasFocus() || !button->isEnabled())
        return false;
    if (!key->isAutoRepeat())
        button->click();
    return true;
}
