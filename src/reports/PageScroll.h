#pragma once

#include <QScrollArea>

// The scroll area a preview shows its page in. A screen reader reads it as a read-only text:
// what the page shows, in reading order, one band a line, so the rows can be read by line
// or all at once.
class PageScroll : public QScrollArea {
    Q_OBJECT
public:
    explicit PageScroll(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    // The text of the page now shown; a screen reader is told of the change.
    void setText(const QString& text);

private:
    QString m_text;
};
