#include "DatePicker.h"

#include "DesignFont.h"

#include <QAccessibleWidget>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {
// What screen readers learn of the box: its date as it shows it. Qt's spin box offers its
// value as a number, which a date box does not have, and the desktop's bridge would send 0.
// The bridge sends values as numbers only, so the date is said with the box's name as well.
class DatePickerAccessible : public QAccessibleWidget {
public:
    explicit DatePickerAccessible(QWidget* picker)
        : QAccessibleWidget(picker, QAccessible::SpinBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const QString shown = static_cast<const QAbstractSpinBox*>(widget())->text();
        if (t == QAccessible::Value)
            return shown;
        if (t == QAccessible::Name)
            return QAccessibleWidget::text(t) + QStringLiteral(", ") + shown;
        return QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface || type == QAccessible::EditableTextInterface) {
            if (QAccessibleInterface* field = QAccessible::queryAccessibleInterface(widget()->findChild<QLineEdit*>()))
                return field->interface_cast(type);
        }
        return QAccessibleWidget::interface_cast(type);
    }
};

QAccessibleInterface* accessibleFor(const QString& className, QObject* object)
{
    if (className == QLatin1String("DatePicker") && object && object->isWidgetType())
        return new DatePickerAccessible(static_cast<QWidget*>(object));
    return nullptr;
}
} // namespace

DatePicker::DatePicker(QWidget* parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
    // Up on day 31 or on December goes round to day 1 or January, as desktop date pickers do.
    setWrapping(true);
    static const bool described = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(described);
    connect(this, &QDateEdit::dateChanged, this, [this] {
        QAccessibleEvent renamed(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&renamed);
    });
}

void DatePicker::makeCalendar()
{
    if (m_calendarMade)
        return;
    m_calendarMade = true;
    // Made before it has a parent, its month and year buttons take the font too.
    auto* calendar = new QCalendarWidget;
    calendar->setFont(DesignFont::desktop("QCalendarWidget"));
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setCalendarWidget(calendar);
    calendar->window()->installEventFilter(this);
}

void DatePicker::rememberDate()
{
    m_dateAtOpen = date();
    m_cancelled = false;
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (!calendarWidget() || watched != calendarWidget()->window())
        return QDateEdit::eventFilter(watched, event);
    // Escape reaches the calendar's window from the day it is on, and closes it.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
        m_cancelled = true;
    if (event->type() == QEvent::Hide) {
        if (m_cancelled && m_dateAtOpen.isValid())
            setDate(m_dateAtOpen);
        m_dateAtOpen = QDate();
    }
    return QDateEdit::eventFilter(watched, event);
}

void DatePicker::openCalendar()
{
    makeCalendar();
    rememberDate();
    // The box opens its calendar to a press on its arrow, and only then; the same press,
    // made here, opens it the same way.
    QStyleOptionComboBox option;
    option.initFrom(this);
    option.editable = true;
    option.subControls = QStyle::SC_All;
    const QPoint arrow = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, this).center();
    QMouseEvent press(QEvent::MouseButtonPress, arrow, mapToGlobal(arrow), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QDateEdit::mousePressEvent(&press);
}

void DatePicker::mousePressEvent(QMouseEvent* event)
{
    makeCalendar();
    if (!calendarWidget()->window()->isVisible())
        rememberDate();
    QDateEdit::mousePressEvent(event);
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    // The arrows of the number pad count as the same keys.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool f4 = event->key() == Qt::Key_F4 && modifiers == Qt::NoModifier;
    const bool altDown = event->key() == Qt::Key_Down && modifiers == Qt::AltModifier;
    if (f4 || altDown) {
        openCalendar();
        return;
    }
    // Left and Right go from field to field (Shift with them still selects text), and so does a
    // separator typed, whichever the box shows: a date field takes no other sign.
    const bool arrow = (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) &&
                       !(modifiers & (Qt::ShiftModifier | Qt::AltModifier));
    const QString text = event->text();
    const bool separator = text.size() == 1 && text.at(0).isPrint() && !text.at(0).isLetterOrNumber() &&
                           !(modifiers & (Qt::ControlModifier | Qt::AltModifier));
    if (arrow || separator) {
        const int field = currentSectionIndex() + (event->key() == Qt::Key_Left ? -1 : 1);
        if (field >= 0 && field < sectionCount())
            setSelectedSection(sectionAt(field));
        return;
    }
    QDateEdit::keyPressEvent(event);
}

// Tab and Shift+Tab leave the box from any of its fields: it is one stop in the window's tab
// order, as desktop date boxes are.
bool DatePicker::focusNextPrevChild(bool next) { return QWidget::focusNextPrevChild(next); }
