#pragma once

#include <QScrollArea>

// The scroll area a preview shows its page in. A screen reader reads it as a read-only text:
// what the page shows, in reading order, one band a line, so the rows can be read all at once,
// or line by line as Up and Down move a caret through them while they scroll the page.
class PageScroll : public QScrollArea {
    Q_OBJECT
public:
    explicit PageScroll(QWidget* parent = nullptr);

    QString text() const { return m_text; }
    // The text of the page now shown; a screen reader is told of the change.
    void setText(const QString& text);
    // Where a screen reader reads, as an offset into the text.
    int caret() const { return m_caret; }
    void setCaret(int caret);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_text;
    int m_caret = 0;
};
