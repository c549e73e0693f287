#include "ChordGuard.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

void ChordGuard::install()
{
    static ChordGuard* guard = nullptr;
    if (guard)
        return;
    guard = new ChordGuard(qApp);
    qApp->installEventFilter(guard);
}

bool ChordGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!(key->modifiers() & Qt::AltModifier) || key->text().isEmpty() || !key->text().at(0).isPrint())
        return false;
    // Only what would type the key's text: a box, a spin box or date field, a text area.
    return qobject_cast<QLineEdit*>(watched) || qobject_cast<QAbstractSpinBox*>(watched) ||
           qobject_cast<QTextEdit*>(watched) || qobject_cast<QPlainTextEdit*>(watched);
}
