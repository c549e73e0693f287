#include "MenuBarAccess.h"

#include "DesignFont.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleOptionMenuItem>

namespace {
// The window's style, with the menu bar answering a lone Alt press as Windows-style desktops do.
class AltKeyNavigation : public QProxyStyle {
public:
    // On the program's own style: left to itself, a proxy takes the desktop's or the one a
    // -style option or QT_STYLE_OVERRIDE names, and the menu bar alone would look apart.
    AltKeyNavigation()
        : QProxyStyle(QApplication::style()->name())
    {
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_MenuBar_AltKeyNavigation)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    // Fusion marks a title only while its menu is open; in keyboard mode the title the arrow
    // keys are on must show too.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        if (element == CE_MenuBarItem && item && (item->state & State_Selected) && widget && widget->hasFocus()) {
            QStyleOptionMenuItem marked = *item;
            marked.state |= State_Sunken;
            QProxyStyle::drawControl(element, &marked, painter, widget);
            return;
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

// Leaving the menu bar gives the focus back to the control that had it. The bar remembers
// the widget itself, which may be gone by then (a cell's editor, closed while the bar had
// the keyboard). So the control is remembered here too, as the grid for a cell being edited,
// and given the focus when the bar is left without it.
class FocusReturn : public QObject {
public:
    explicit FocusReturn(QMenuBar* bar)
        : QObject(bar)
        , m_bar(bar)
    {
        bar->installEventFilter(this);
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (now == m_bar && old && old != m_bar && old->window() == m_bar->window())
                m_control = controlOf(old);
        });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const int key = event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease
                            ? static_cast<QKeyEvent*>(event)->key()
                            : 0;
        const bool escape = event->type() == QEvent::KeyPress && key == Qt::Key_Escape;
        const bool alt = event->type() == QEvent::KeyRelease && key == Qt::Key_Alt;
        if (watched != m_bar || !(escape || alt))
            return false;
        // The bar handles the key first: Escape on a title, or Alt tapped again, leaves its
        // keyboard mode.
        static_cast<QObject*>(m_bar)->event(event);
        const bool left =
            QApplication::focusWidget() == m_bar && !m_bar->activeAction() && !QApplication::activePopupWidget();
        if (left && m_control && m_control->isVisible() && m_control->isEnabled())
            m_control->setFocus(Qt::MenuBarFocusReason);
        return true;
    }

private:
    static QWidget* controlOf(QWidget* focus)
    {
        for (QWidget* w = focus->parentWidget(); w && !w->isWindow(); w = w->parentWidget()) {
            if (auto* view = qobject_cast<QAbstractItemView*>(w))
                return view;
        }
        return focus;
    }

    QMenuBar* m_bar;
    QPointer<QWidget> m_control;
};

// F10 does what a lone Alt tap does: the menu bar sees the same key events, arriving at the
// focused control, and enters its keyboard mode, remembering that control to return to.
void tapAlt(QMainWindow& window)
{
    QWidget* focus = window.focusWidget() ? window.focusWidget() : &window;
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(focus, &override);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(focus, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(focus, &release);
}
} // namespace

void MenuBarAccess::setUp(QMainWindow& window)
{
    QMenuBar* bar = window.menuBar();
    // A style set on a widget is not owned by it: the menu bar keeps it as a child.
    auto* style = new AltKeyNavigation;
    style->setParent(bar);
    bar->setStyle(style);
    bar->setFont(DesignFont::desktop("QMenuBar"));
    new FocusReturn(bar);
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), &window);
    QObject::connect(f10, &QShortcut::activated, &window, [&window] { tapAlt(window); });
}
