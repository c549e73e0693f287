#pragma once

#include <QPointer>
#include <QWidget>

// Shows plainly which control of a window has the keyboard focus, whatever colours the
// window has taken: a light ring around a dark one, just inside the control's edge. The light
// one stands out on a dark window, the dark one on a light control; neither covers a
// neighbour. A cell being edited
// marks its grid, a date box's text its box. Lists and grids without the focus draw their
// selection in the window's inactive colours, which this makes distinct from the active ones.
class FocusMark : public QWidget {
    Q_OBJECT
public:
    // For this window from now on; the mark ends with the window.
    static void install(QWidget& window);

    // The control the ring is around, or none.
    QWidget* target() const { return m_target; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    explicit FocusMark(QWidget& window);
    void follow(QWidget* focus);
    void place();

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_target;
};
