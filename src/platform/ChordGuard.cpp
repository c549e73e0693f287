#include "ChordGuard.h"

#include "WindowKeys.h"

#include <QAbstractSpinBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

void ChordGuard::install(QWidget& window)
{
    WindowKeys::install(window, [](QWidget& control, QKeyEvent& key) {
        if (!(key.modifiers() & Qt::AltModifier) || key.text().isEmpty() || !key.text().at(0).isPrint())
            return false;
        // Only what would type the key's text: a box, a spin box or date field, a text area.
        return qobject_cast<QLineEdit*>(&control) || qobject_cast<QAbstractSpinBox*>(&control) ||
               qobject_cast<QTextEdit*>(&control) || qobject_cast<QPlainTextEdit*>(&control);
    });
}
