#include "PageScroll.h"

#include <QAccessibleWidget>
#include <QKeyEvent>

namespace {
// Qt's face for a scroll area is an empty pane: a screen reader said "Page" and nothing more.
class PageAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit PageAccessible(PageScroll* scroll)
        : QAccessibleWidget(scroll, QAccessible::EditableText)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.editable = false;
        return s;
    }
    // The page's rows themselves are the text interface's: as a value, a reader would say
    // them all again each time the focus comes back.
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? QString() : QAccessibleWidget::text(t);
    }

    QString text(int startOffset, int endOffset) const override
    {
        return page().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(page().size()); }
    int cursorPosition() const override { return scroll()->caret(); }
    void setCursorPosition(int position) override { scroll()->setCaret(position); }
    // Nothing is selected on a page, and there are no places to give for its characters.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    // One run without attributes: the whole text (an empty run at each offset made Orca drop
    // the last character of every line).
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    PageScroll* scroll() const { return static_cast<PageScroll*>(object()); }
    QString page() const { return scroll()->text(); }
};

QAccessibleInterface* pageFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("PageScroll"))
        return new PageAccessible(static_cast<PageScroll*>(object));
    return nullptr;
}
} // namespace

PageScroll::PageScroll(QWidget* parent)
    : QScrollArea(parent)
{
    static const bool installed = (QAccessible::installFactory(pageFactory), true);
    Q_UNUSED(installed);
}

void PageScroll::setText(const QString& text)
{
    if (text == m_text)
        return;
    QAccessibleTextUpdateEvent event(this, 0, m_text, text);
    m_text = text;
    m_caret = 0;
    QAccessible::updateAccessibility(&event);
}

void PageScroll::setCaret(int caret)
{
    m_caret = qBound(0, caret, int(m_text.size()));
    QAccessibleTextCursorEvent event(this, m_caret);
    QAccessible::updateAccessibility(&event);
}

void PageScroll::keyPressEvent(QKeyEvent* event)
{
    if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
        // The start of the next line, or of the one before; the last line ends the text.
        if (event->key() == Qt::Key_Down) {
            const qsizetype end = m_text.indexOf(QLatin1Char('\n'), m_caret);
            if (end >= 0 && end + 1 < m_text.size())
                setCaret(int(end + 1));
        } else if (event->key() == Qt::Key_Up && m_caret > 0) {
            // (Qt searches from the end for an offset of -1.)
            const qsizetype before = m_caret >= 2 ? m_text.lastIndexOf(QLatin1Char('\n'), m_caret - 2) : -1;
            setCaret(int(before + 1));
        }
    }
    QScrollArea::keyPressEvent(event);
}
