#include "HelpContext.h"

#include <QApplication>
#include <QWidget>

namespace {
const char* const Property = "helpContextID";
}

void HelpContext::set(QWidget* control, int topic) { control->setProperty(Property, topic); }

int HelpContext::forFocus(const QWidget* window, int windowTopic)
{
    // The focus may sit in a part of a control (a date picker's text, a grid's cell editor):
    // the control is the nearest ancestor with a name.
    for (const QWidget* w = QApplication::focusWidget(); w && w != window; w = w->parentWidget()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(QStringLiteral("qt_")))
            continue;
        const int topic = w->property(Property).toInt();
        return topic > 0 ? topic : windowTopic;
    }
    return windowTopic;
}
