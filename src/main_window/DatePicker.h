#pragma once

#include <QDateEdit>

class QAbstractItemView;

// The list's date box. Its pop-up calendar is the desktop's, in the desktop's font: in the
// window's design face its weekday headings do not fit their columns. The calendar is made
// when it is first opened, by mouse or keyboard: it is a sizeable part of the window's
// start, and many sessions never open it. F4 or Alt+Down opens it from the keyboard, as
// desktop date boxes do; Qt's own opens only to a click. The calendar shows the day browsed
// in the box as it goes; Escape closes it and puts back the date the box had when it opened.
// The box is one Tab stop; Left and Right move between its day, month and year.
// Screen readers hear its date as the box shows it, and in the calendar each day chosen
// with its month and year.
class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void makeCalendar();
    void openCalendar();
    void rememberDate();
    void sayChosenDay();
    bool m_calendarMade = false;
    QAbstractItemView* m_days = nullptr;
    bool m_calendarShown = false;
    QDate m_dateAtOpen;
    bool m_cancelled = false;
};
