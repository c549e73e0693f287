#include "PageScroll.h"

#include <QAccessibleWidget>

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
    int cursorPosition() const override { return qBound(0, m_cursor, characterCount()); }
    void setCursorPosition(int position) override
    {
        m_cursor = qBound(0, position, characterCount());
        QAccessibleTextCursorEvent event(object(), m_cursor);
        QAccessible::updateAccessibility(&event);
    }
    // Nothing is selected on a page, and there are no places to give for its characters.
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    QString page() const { return static_cast<PageScroll*>(object())->text(); }

    int m_cursor = 0;
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
    QAccessible::updateAccessibility(&event);
}
