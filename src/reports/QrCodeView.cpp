#include "QrCodeView.h"

#include <QPainter>

namespace {
// About the side a phone reads best from an arm's length, whatever the version.
constexpr int TargetPixels = 440;
} // namespace

QrCodeView::QrCodeView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void QrCodeView::setCode(const QrCode& code)
{
    m_code = code;
    // Whole device pixels a module, so no module edge is blurred on a scaled screen.
    const int side = (code.size() + 2 * QuietZone) * modulePixels();
    setFixedSize(QSizeF(QSizeF(side, side) / devicePixelRatioF()).toSize());
    update();
}

int QrCodeView::modulePixels() const
{
    if (!m_code)
        return MinModulePixels;
    return qMax(MinModulePixels, TargetPixels / (m_code->size() + 2 * QuietZone));
}

void QrCodeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_code)
        return;
    painter.scale(1 / devicePixelRatioF(), 1 / devicePixelRatioF());
    const int module = modulePixels();
    for (int y = 0; y < m_code->size(); ++y) {
        for (int x = 0; x < m_code->size(); ++x) {
            if (m_code->dark(x, y))
                painter.fillRect((x + QuietZone) * module, (y + QuietZone) * module, module, module, Qt::black);
        }
    }
}
