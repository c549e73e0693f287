#include "FocusMark.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QEvent>
#include <QMenuBar>
#include <QPainter>

namespace {
constexpr int LineWidth = 2;

// The control a user sees as focused: a cell editor or a box's inner text belongs to it.
QWidget* controlOf(QWidget* focus)
{
    QWidget* control = focus;
    for (QWidget* w = focus->parentWidget(); w && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QAbstractSpinBox*>(w))
            control = w;
    }
    return control;
}
} // namespace

FocusMark::FocusMark(QWidget& window)
    : QWidget(&window)
    , m_window(&window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
    window.installEventFilter(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { follow(now); });
}

void FocusMark::install(QWidget& window)
{
    // An unfocused list keeps its selection visible, yet not in the colours of the focused one.
    QPalette palette = window.palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xc0, 0xc0, 0xc0));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    window.setPalette(palette);
    auto* mark = new FocusMark(window);
    mark->follow(QApplication::focusWidget());
}

void FocusMark::follow(QWidget* focus)
{
    // Focus in another window (a message box, a menu) comes back: the mark waits for it.
    if (focus && focus->window() != m_window)
        return;
    QWidget* control = focus && !qobject_cast<QMenuBar*>(focus) && focus != m_window ? controlOf(focus) : nullptr;
    if (control != m_target) {
        if (m_target)
            m_target->removeEventFilter(this);
        m_target = control;
        if (m_target)
            m_target->installEventFilter(this);
    }
    place();
}

// The mark is the window's own child, laid over the control: a container of the control may
// go away with its children, the mark stays.
void FocusMark::place()
{
    if (!m_target || !m_target->isVisible()) {
        hide();
        return;
    }
    const QRect area(m_target->mapTo(m_window, QPoint(0, 0)), m_target->size());
    setGeometry(area);
    const QRect whole = rect();
    setMask(QRegion(whole).subtracted(
        QRegion(whole.adjusted(2 * LineWidth, 2 * LineWidth, -2 * LineWidth, -2 * LineWidth))));
    raise();
    show();
    update();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::Resize) {
        place();
    } else if (watched == m_target) {
        switch (event->type()) {
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide:
            place();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const auto ring = [&](const QRect& r, const QColor& color) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), LineWidth), color);
        painter.fillRect(QRect(r.left(), r.bottom() - LineWidth + 1, r.width(), LineWidth), color);
        painter.fillRect(QRect(r.left(), r.top(), LineWidth, r.height()), color);
        painter.fillRect(QRect(r.right() - LineWidth + 1, r.top(), LineWidth, r.height()), color);
    };
    ring(rect(), Qt::white);
    ring(rect().adjusted(LineWidth, LineWidth, -LineWidth, -LineWidth), Qt::black);
}
