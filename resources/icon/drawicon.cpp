// Draws the Cartlist icon, a shopping cart with a green tick, from one drawing: once as an SVG
// for the scalable theme folder and once as a PNG at each size asked for. Every size is painted
// from the shapes themselves rather than scaled from another picture, so each stays sharp, and
// the window icon and the launcher's icon are the same picture.
//
//     cartlist-drawicon <folder> <size>...   writes cartlist.svg and cartlist-<size>.png

#include <QColor>
#include <QFile>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPointF>
#include <QTextStream>

#include <cstdio>
#include <utility>

namespace {

// The drawing's own units: a 256 by 256 square.
constexpr int canvas = 256;

struct Shape {
    enum Kind { Polyline, Polygon, Circle };
    Kind kind;
    QList<QPointF> points; // a circle's centre alone
    double radius;         // of a circle
    QColor fill;           // invalid: not filled
    QColor stroke;         // invalid: no outline
    double width;          // of the outline
};

Shape line(QList<QPointF> points, QColor stroke, double width)
{
    return {Shape::Polyline, std::move(points), 0, QColor(), stroke, width};
}

Shape polygon(QList<QPointF> points, QColor fill, QColor stroke, double width)
{
    return {Shape::Polygon, std::move(points), 0, fill, stroke, width};
}

Shape circle(QPointF centre, double radius, QColor fill, QColor stroke = QColor(), double width = 0)
{
    return {Shape::Circle, {centre}, radius, fill, stroke, width};
}

QList<Shape> drawing()
{
    // A pale halo under the cart keeps it readable on dark panels and title bars.
    const QColor halo(255, 255, 255, 217);
    const QColor ink(0x1f, 0x3d, 0x66);
    const QColor basketGround(0xd6, 0xe6, 0xf7);
    const QColor tickGreen(0x23, 0xa0, 0x3a);

    const QList<QPointF> frame{{12, 36}, {56, 36}, {96, 188}, {216, 188}};
    const QList<QPointF> basket{{64, 72}, {244, 72}, {220, 156}, {88, 156}};
    const QList<QPointF> tick{{104, 96}, {144, 136}, {228, 28}};
    const QPointF leftWheel(112, 220);
    const QPointF rightWheel(200, 220);
    const double wheelRadius = 20;

    return {
        line(frame, halo, 30),
        polygon(basket, halo, halo, 30),
        circle(leftWheel, wheelRadius, halo, halo, 14),
        circle(rightWheel, wheelRadius, halo, halo, 14),

        line(frame, ink, 16),
        polygon(basket, basketGround, ink, 14),
        line({{120, 76}, {124, 152}}, ink, 8),
        line({{156, 76}, {156, 152}}, ink, 8),
        line({{192, 76}, {188, 152}}, ink, 8),
        line({{76, 116}, {232, 116}}, ink, 8),
        circle(leftWheel, wheelRadius, ink),
        circle(rightWheel, wheelRadius, ink),

        line(tick, Qt::white, 40),
        line(tick, tickGreen, 24),
    };
}

QString svgPaint(const char* attribute, const QColor& colour)
{
    if (!colour.isValid())
        return QStringLiteral(" %1=\"none\"").arg(QLatin1String(attribute));
    QString paint = QStringLiteral(" %1=\"%2\"").arg(QLatin1String(attribute), colour.name(QColor::HexRgb));
    if (colour.alpha() != 255)
        paint += QStringLiteral(" %1-opacity=\"%2\"").arg(QLatin1String(attribute)).arg(colour.alphaF(), 0, 'g', 2);
    return paint;
}

QString svg(const QList<Shape>& shapes)
{
    QString text;
    QTextStream out(&text);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << canvas << "\" height=\"" << canvas
        << "\" viewBox=\"0 0 " << canvas << ' ' << canvas << "\">\n";
    for (const Shape& s : shapes) {
        if (s.kind == Shape::Circle) {
            out << "  <circle cx=\"" << s.points.first().x() << "\" cy=\"" << s.points.first().y() << "\" r=\""
                << s.radius << '"';
        } else {
            out << (s.kind == Shape::Polygon ? "  <polygon" : "  <polyline") << " points=\"";
            for (qsizetype i = 0; i < s.points.size(); ++i)
                out << (i ? " " : "") << s.points[i].x() << ',' << s.points[i].y();
            out << '"';
        }
        out << svgPaint("fill", s.fill) << svgPaint("stroke", s.stroke);
        if (s.stroke.isValid())
            out << " stroke-width=\"" << s.width << "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
        out << "/>\n";
    }
    out << "</svg>\n";
    return text;
}

QImage png(const QList<Shape>& shapes, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(double(size) / canvas, double(size) / canvas);
    for (const Shape& s : shapes) {
        painter.setBrush(s.fill.isValid() ? QBrush(s.fill) : QBrush(Qt::NoBrush));
        painter.setPen(s.stroke.isValid() ? QPen(s.stroke, s.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                                          : QPen(Qt::NoPen));
        switch (s.kind) {
        case Shape::Polyline:
            painter.drawPolyline(s.points.constData(), int(s.points.size()));
            break;
        case Shape::Polygon:
            painter.drawPolygon(s.points.constData(), int(s.points.size()));
            break;
        case Shape::Circle:
            painter.drawEllipse(s.points.first(), s.radius, s.radius);
            break;
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <folder> <size>...\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QList<Shape> shapes = drawing();

    QFile scalable(folder + QStringLiteral("/cartlist.svg"));
    if (!scalable.open(QIODevice::WriteOnly | QIODevice::Truncate) || scalable.write(svg(shapes).toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(scalable.fileName()));
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        const QString file = folder + QStringLiteral("/cartlist-%1.png").arg(size);
        if (!ok || size < 1 || !png(shapes, size).save(file, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
