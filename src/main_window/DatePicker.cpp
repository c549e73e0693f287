#include "DatePicker.h"

#include "DesignFont.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionComboBox>

DatePicker::DatePicker(QWidget* parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
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
}

void DatePicker::openCalendar()
{
    makeCalendar();
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
    QDateEdit::mousePressEvent(event);
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    const bool altDown = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if ((event->key() == Qt::Key_F4 && !(event->modifiers() & Qt::AltModifier)) || altDown) {
        openCalendar();
        return;
    }
    QDateEdit::keyPressEvent(event);
}
