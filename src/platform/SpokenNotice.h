#pragma once

#include <QObject>
#include <QString>

class QWidget;

// Tells screen readers a result that no move of the focus shows: a count beside the button
// pressed, the record a key moved to, the day a calendar moved to. The desktop bridge of our
// Qt sends no announcements, and sends a changed name or description without its text, so
// readers that compare texts never say it again; a notification that shows is said with its
// text. Each window has one such notice, an object of the window that is never drawn.
class SpokenNotice : public QObject {
    Q_OBJECT
public:
    // Has screen readers say the text as a notice of from's window.
    static void say(QWidget* from, const QString& text);

    QString text() const { return m_text; }

private:
    explicit SpokenNotice(QWidget* window);
    QString m_text;
};
