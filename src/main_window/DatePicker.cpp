#include "DatePicker.h"

#include "DesignFont.h"
#include "SpokenNotice.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

namespace {
// What screen readers learn of the box: the date as the box shows it, as its text, and a
// number that changes with every day, as its value. Qt's own face offers the box's value as
// a number a date box does not have, so the desktop's bridge would send 0 every time, and
// readers say a spin box's text when its value changes.
class DatePickerAccessible : public QAccessibleWidget,
                             public QAccessibleValueInterface,
                             public QAccessibleTextInterface {
public:
    explicit DatePickerAccessible(QWidget* picker)
        : QAccessibleWidget(picker, QAccessible::SpinBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? box()->text() : QAccessibleWidget::text(t);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QVariant currentValue() const override { return box()->date().toJulianDay(); }
    void setCurrentValue(const QVariant& value) override { box()->setDate(QDate::fromJulianDay(value.toLongLong())); }
    QVariant maximumValue() const override { return box()->maximumDate().toJulianDay(); }
    QVariant minimumValue() const override { return box()->minimumDate().toJulianDay(); }
    QVariant minimumStepSize() const override { return 1; }

    // The text is the box's field, caret and selection included.
    void selection(int index, int* start, int* end) const override
    {
        *start = *end = 0;
        if (index == 0 && field()->hasSelectedText()) {
            *start = field()->selectionStart();
            *end = *start + int(field()->selectedText().size());
        }
    }
    int selectionCount() const override { return field()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { field()->deselect(); }
    void setSelection(int, int start, int end) override { field()->setSelection(start, end - start); }
    int cursorPosition() const override { return field()->cursorPosition(); }
    void setCursorPosition(int position) override { field()->setCursorPosition(position); }
    QString text(int start, int end) const override { return field()->text().mid(start, end - start); }
    int characterCount() const override { return int(field()->text().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint& point) const override
    {
        return field()->cursorPositionAt(field()->mapFromGlobal(point));
    }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* start, int* end) const override
    {
        *start = *end = offset;
        return {};
    }

private:
    QDateEdit* box() const { return static_cast<QDateEdit*>(widget()); }
    QLineEdit* field() const { return widget()->findChild<QLineEdit*>(); }
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
    connect(this, &QDateEdit::dateChanged, this, [this](const QDate& shown) {
        QAccessibleValueChangeEvent changed(this, shown.toJulianDay());
        QAccessible::updateAccessibility(&changed);
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
    // The days' table tells screen readers of each day it moves to as of a focus, even hidden
    // while the box follows the arrow keys; it is quiet until it is shown.
    m_days = calendar->findChild<QAbstractItemView*>();
    m_days->setAccessibleName(QStringLiteral("Days"));
    m_days->selectionModel()->blockSignals(true);
    connect(calendar, &QCalendarWidget::selectionChanged, this, [this] {
        if (m_calendarShown)
            sayChosenDay();
    });
}

// The days' table names a day by its number alone; the notice gives its month and year too.
void DatePicker::sayChosenDay()
{
    SpokenNotice::say(m_days, locale().toString(calendarWidget()->selectedDate(), QLocale::LongFormat));
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
    if (event->type() == QEvent::Show || event->type() == QEvent::Hide) {
        m_calendarShown = event->type() == QEvent::Show;
        m_days->selectionModel()->blockSignals(!m_calendarShown);
        m_days->viewport()->update();
        if (m_calendarShown)
            sayChosenDay();
    }
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
        if (field >= 0 && field < sectionCount()) {
            setSelectedSection(sectionAt(field));
            // Readers follow the selection of the box, not of its inner field.
            const QLineEdit* shown = lineEdit();
            QAccessibleTextSelectionEvent selected(this, shown->selectionStart(),
                                                   shown->selectionStart() + int(shown->selectedText().size()));
            QAccessible::updateAccessibility(&selected);
        }
        return;
    }
    QDateEdit::keyPressEvent(event);
}

// Tab and Shift+Tab leave the box from any of its fields: it is one stop in the window's tab
// order, as desktop date boxes are.
bool DatePicker::focusNextPrevChild(bool next) { return QWidget::focusNextPrevChild(next); }
