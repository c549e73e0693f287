#include "CountLabel.h"

#include <QPainter>

void CountLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawRect(rect().adjusted(1, 1, -2, -2));
}
