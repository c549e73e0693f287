#include "ReportRenderer.h"

#include "ReportPaper.h"

#include <QFile>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace {
constexpr double TwipsPerPoint = 20.0;
// Lines of shapes are one screen pixel wide at 100%, whatever the device.
constexpr double LineTwips = 15.0;

// The font at the size that makes its points twips-true on this device at this scale.
QFont deviceFont(const ReportFont& designed, const QPaintDevice& device, double scale)
{
    QFont font = designed.toQFont();
    font.setPointSizeF(designed.pointSize * TwipsPerPoint * scale * 72.0 / device.logicalDpiY());
    return font;
}

void paintText(QPainter& painter, const PageList::Item& item, const QRectF& box, double scale)
{
    const ReportControl& control = item.control;
    if (control.background.isValid())
        painter.fillRect(box, control.background);
    if (item.text.isEmpty() || !control.font)
        return;

    const QFont font = deviceFont(*control.font, *painter.device(), scale);
    const bool fits = QFontMetricsF(font, painter.device()).horizontalAdvance(item.text) <= box.width();
    // A value too wide for its box shows its beginning, whatever the box's alignment.
    const Qt::Alignment horizontal = fits ? control.alignment & Qt::AlignHorizontal_Mask : Qt::AlignLeft;

    // A long value is cut at the box's sides, never spilling into the next column. Above and
    // below there is slack: a stand-in face taller than the designed one keeps its descenders.
    painter.save();
    painter.setClipRect(box.adjusted(0, -box.height(), 0, box.height()), Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(box, int(horizontal | Qt::AlignTop) | Qt::TextSingleLine | Qt::TextDontClip, item.text);
    painter.restore();
}

void paintShape(QPainter& painter, const PageList::Item& item, const QRectF& box, double scale)
{
    const ReportControl& control = item.control;
    QPen pen(Qt::black);
    pen.setWidthF(qMax(1.0, LineTwips * scale));
    const double inset = pen.widthF() / 2;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(pen);
    painter.setBrush(control.fill.isValid() ? QBrush(control.fill) : QBrush(Qt::NoBrush));
    if (control.shape == ReportControl::Shape::Circle) {
        // A circle keeps round in a box that is not square: its smaller side, centred.
        const double diameter = qMin(box.width(), box.height()) - 2 * inset;
        QRectF circle(0, 0, diameter, diameter);
        circle.moveCenter(box.center());
        painter.drawEllipse(circle);
    } else {
        painter.drawRect(box.adjusted(inset, inset, -inset, -inset));
    }
    painter.restore();
}
} // namespace

void ReportRenderer::paintPage(QPainter& painter, const PageList::Page& page, const QPointF& origin, double scale)
{
    for (const PageList::Band& band : page.bands) {
        for (const PageList::Item& item : band.items) {
            const QRectF box(origin + QPointF(item.rect.topLeft()) * scale, QSizeF(item.rect.size()) * scale);
            if (item.control.kind == ReportControl::Kind::Shape)
                paintShape(painter, item, box, scale);
            else
                paintText(painter, item, box, scale);
        }
    }
}

bool ReportRenderer::print(const PageList& pages, QPagedPaintDevice& device)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Sizes follow the vertical resolution; a device with other horizontal dots stretches.
    const double scale = device.logicalDpiY() / 1440.0;
    painter.scale(double(device.logicalDpiX()) / device.logicalDpiY(), 1.0);
    for (int i = 0; i < pages.pageCount(); ++i) {
        if (i > 0 && !device.newPage())
            return false;
        paintPage(painter, pages.pages.at(i), QPointF(), scale);
    }
    return painter.end();
}

QString ReportRenderer::writePdf(const PageList& pages, const QString& fileName, const QString& title)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(ReportPaper::pageLayout(pages.paper));
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Cartlist"));
        if (!print(pages, writer))
            return QStringLiteral("The pages could not be drawn.");
    }
    if (!file.flush() || file.error() != QFileDevice::NoError)
        return file.errorString();
    return {};
}
