#include "ReturnPressesButton.h"

#include "WindowKeys.h"

#include <QAbstractButton>
#include <QKeyEvent>

void ReturnPressesButton::install(QWidget& window)
{
    WindowKeys::install(window, [](QWidget& control, QKeyEvent& key) {
        if ((key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) ||
            (key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QAbstractButton*>(&control);
        if (!button || !button->hasFocus() || !button->isEnabled())
            return false;
        if (!key.isAutoRepeat())
            button->click();
        return true;
    });
}
