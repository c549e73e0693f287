#include "ReportRenderer.h"

#include "ReportPaper.h"
#include "UserFile.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintEngine>
#include <QPrinter>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <limits>

namespace {
constexpr double TwipsPerPoint = 20.0;
// Lines of shapes are one screen pixel wide at 100%, whatever the device.
constexpr double LineTwips = 15.0;
// Where a CUPS print dialog leaves its server-side job options: name, value, name, value...
const auto CupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// The font at the size that makes its points twips-true on this device at this scale.
QFont deviceFont(const ReportFont& designed, const QPaintDevice& device, double scale)
{
    QFont font = designed.toQFont();
    font.setPointSizeF(designed.pointSize * TwipsPerPoint * scale * 72.0 / device.logicalDpiY());
    // No ligatures: a PDF's text layer maps an "ff" ligature to U+FB00, so "Coffee" could not
    // be found in it, and the designed faces were printed letter by letter anyway. Qt 6.4
    // has no font-feature switch; a letter spacing that is set (even 100%, no change at all)
    // turns the cosmetic ligatures off in its shaper, while scripts that need them keep them.
    font.setLetterSpacing(QFont::PercentageSpacing, 100);
    return font;
}

// Lays a layout's text out on one line, unwrapped, as reports draw it.
QTextLine oneLine(QTextLayout& layout)
{
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return line;
}

// The end of the longest beginning of `text` that fits `width`, at a letter boundary (never
// between a letter and its marks). Each beginning is measured as it is drawn, on its own: in a
// right-to-left text the beginning lies on the right and its last letter takes its final form.
int fittingLength(const QString& text, const QFont& font, const QPaintDevice& device, double width)
{
    auto* paintDevice = const_cast<QPaintDevice*>(&device);
    QTextLayout letters(text, font, paintDevice);
    QList<int> ends;
    for (int end = letters.nextCursorPosition(0); end > ends.value(ends.size() - 1, 0);
         end = letters.nextCursorPosition(end))
        ends << end;
    const QFontMetricsF metrics(font, paintDevice);
    const auto fits = [&](int end) { return metrics.horizontalAdvance(text.left(end)) <= width; };
    // The first end that does not fit; beginnings grow with their letters. A box narrower than
    // the first letter shows what of it the box holds, never nothing.
    const auto past = std::partition_point(ends.cbegin(), ends.cend(), fits);
    return past == ends.cbegin() ? ends.value(0) : *(past - 1);
}

// A face whose glyphs are colour pictures (emoji): a PDF cannot hold it as a font.
bool isColourFace(const QRawFont& font)
{
    static QHash<QString, bool> known;
    const QString key = font.familyName() + QLatin1Char('/') + font.styleName();
    auto it = known.constFind(key);
    if (it == known.constEnd())
        it = known.insert(key, !font.fontTable("CBLC").isEmpty() || !font.fontTable("sbix").isEmpty());
    return *it;
}

// Whether some letters of the text may come from a colour emoji face: those faces hold
// symbols and pictographs, which start at U+2000; every text face has the letters below.
bool mayUseColourFace(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() >= 0x2000; });
}

// Draws a text as a window would. Printer and PDF embed each face as a font, which a colour
// emoji face cannot be (the PDF would show a blank): its glyphs go on the page as pictures.
void drawLine(QPainter& painter, const ReportRenderer::TextLine& line)
{
    painter.setFont(line.font);
    // Digits and Latin words inside a right-to-left text keep their places in it.
    painter.setLayoutDirection(line.visible.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    const int type = painter.device()->devType();
    const bool raster = type == QInternal::Image || type == QInternal::Widget || type == QInternal::Pixmap;
    if (raster || !mayUseColourFace(line.visible)) {
        painter.drawText(line.origin, line.visible);
        return;
    }
    QTextLayout layout(line.visible, line.font, painter.device());
    const QTextLine text = oneLine(layout);
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (!text.isValid() ||
        std::none_of(runs.cbegin(), runs.cend(), [](const QGlyphRun& run) { return isColourFace(run.rawFont()); })) {
        painter.drawText(line.origin, line.visible);
        return;
    }
    // The layout's line starts its ascent above the baseline.
    const QPointF position = line.origin - QPointF(0, text.ascent());
    for (const QGlyphRun& run : runs) {
        if (!isColourFace(run.rawFont())) {
            painter.drawGlyphRun(position, run);
            continue;
        }
        const QRect area = run.boundingRect().translated(position).toAlignedRect();
        if (area.isEmpty())
            continue;
        QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter p(&picture);
        p.setPen(painter.pen());
        p.drawGlyphRun(position - QPointF(area.topLeft()), run);
        p.end();
        painter.drawImage(area.topLeft(), picture);
    }
    // Glyph runs carry no decoration.
    const QFontMetricsF metrics(line.font, painter.device());
    const double width = text.naturalTextWidth();
    const double thickness = qMax(1.0, metrics.lineWidth());
    if (line.font.underline())
        painter.fillRect(QRectF(line.origin.x(), line.origin.y() + metrics.underlinePos(), width, thickness),
                         painter.pen().color());
    if (line.font.strikeOut())
        painter.fillRect(QRectF(line.origin.x(), line.origin.y() - metrics.strikeOutPos(), width, thickness),
                         painter.pen().color());
}

// `box` in twips, on a painter scaled to them.
void paintText(QPainter& painter, const PageList::Item& item, const QRectF& box)
{
    const ReportControl& control = item.control;
    if (control.background.isValid())
        painter.fillRect(box, control.background);
    if (item.text.isEmpty() || !control.font)
        return;

    const ReportRenderer::TextLine line = ReportRenderer::textLine(item, box, *painter.device(), 1.0);
    if (line.visible.isEmpty())
        return;
    // Sideways nothing leaves the box (a letter's overhang included); above and below the
    // box there is room for what a stand-in face puts there.
    painter.save();
    painter.setClipRect(box.adjusted(0, -box.height(), 0, box.height()), Qt::IntersectClip);
    painter.setPen(Qt::black);
    drawLine(painter, line);
    painter.restore();
}

// `box` in twips; `scale` device units a twip, for the thinnest line the device shows.
void paintShape(QPainter& painter, const PageList::Item& item, const QRectF& box, double scale)
{
    const ReportControl& control = item.control;
    QPen pen(Qt::black);
    pen.setWidthF(qMax(1.0 / scale, LineTwips));
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

// Page numbers (1-based) of a CUPS page list such as "1,3-5,8-", within 1..count.
QList<int> pagesOf(const QString& ranges, int count)
{
    QList<int> out;
    for (const QString& part : ranges.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList ends = part.trimmed().split(QLatin1Char('-'));
        bool ok = true;
        const int from = ends.first().isEmpty() ? 1 : ends.first().toInt(&ok);
        if (!ok)
            continue;
        int to = from;
        if (ends.size() == 2) {
            to = ends.last().isEmpty() ? count : ends.last().toInt(&ok);
            if (!ok)
                continue;
        }
        for (int p = qMax(1, from); p <= qMin(count, to); ++p)
            out << p;
    }
    return out;
}
} // namespace

ReportRenderer::TextLine ReportRenderer::textLine(const PageList::Item& item, const QRectF& box,
                                                  const QPaintDevice& device, double scale)
{
    const ReportControl& control = item.control;
    TextLine line;
    line.font = deviceFont(control.font.value_or(ReportFont{}), device, scale);
    QFontMetricsF metrics(line.font, const_cast<QPaintDevice*>(&device));
    double baseline = box.top() + metrics.ascent();
    if (metrics.ascent() + metrics.descent() > box.height()) {
        // The face's line is taller than the box (a stand-in for the designed face): the
        // next band would cover its descenders. It sits on the box's bottom instead; what
        // rises above the box is the room the face keeps above its capitals' accents.
        baseline = box.bottom() - metrics.descent();
        if (baseline - metrics.capHeight() < box.top()) {
            // Not even the capitals would fit: the line is made as tall as the box.
            for (int i = 0; i < 4 && metrics.ascent() + metrics.descent() > box.height(); ++i) {
                line.font.setPointSizeF(line.font.pointSizeF() * box.height() / (metrics.ascent() + metrics.descent()));
                metrics = QFontMetricsF(line.font, const_cast<QPaintDevice*>(&device));
            }
            baseline = box.top() + metrics.ascent();
        }
    }

    const double width = metrics.horizontalAdvance(item.text);
    const bool fits = width <= box.width();
    line.visible = fits ? item.text : item.text.left(fittingLength(item.text, line.font, device, box.width()));
    // A value too wide for its box shows its beginning where reading starts, whatever the box's
    // alignment: at the left, and at the right for a right-to-left text.
    double x = box.left();
    if (fits) {
        const Qt::Alignment horizontal = control.alignment & Qt::AlignHorizontal_Mask;
        if (horizontal & Qt::AlignHCenter)
            x += (box.width() - width) / 2;
        else if (horizontal & Qt::AlignRight)
            x += box.width() - width;
    } else if (item.text.isRightToLeft()) {
        x = box.right() - metrics.horizontalAdvance(line.visible);
    }
    line.origin = QPointF(x, baseline);
    return line;
}

void ReportRenderer::paintPage(QPainter& painter, const PageList::Page& page, const QPointF& origin, double scale)
{
    // Everything is laid out in twips and scaled to the device: text measured at a screen's
    // few pixels a letter would be cut elsewhere than on paper, so the preview shows the
    // letters the printer puts out, only smaller.
    painter.save();
    painter.translate(origin);
    painter.scale(scale, scale);
    for (const PageList::Band& band : page.bands) {
        for (const PageList::Item& item : band.items) {
            const QRectF box(item.rect);
            if (item.control.kind == ReportControl::Kind::Shape)
                paintShape(painter, item, box, scale);
            else
                paintText(painter, item, box);
        }
    }
    painter.restore();
}

bool ReportRenderer::print(const PageList& pages, QPagedPaintDevice& device, const QList<int>& sequence)
{
    QList<int> order = sequence;
    if (order.isEmpty()) {
        for (int i = 0; i < pages.pageCount(); ++i)
            order << i;
    }
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // Sizes follow the vertical resolution; a device with other horizontal dots stretches.
    const double scale = device.logicalDpiY() / 1440.0;
    painter.scale(double(device.logicalDpiX()) / device.logicalDpiY(), 1.0);
    for (int i = 0; i < order.size(); ++i) {
        if (i > 0 && !device.newPage())
            return false;
        const int page = order.at(i);
        if (page >= 0 && page < pages.pageCount())
            paintPage(painter, pages.pages.at(page), QPointF(), scale);
    }
    return painter.end();
}

QString ReportRenderer::writePdf(const PageList& pages, const QString& fileName, const QString& title,
                                 const QList<int>& sequence)
{
    return UserFile::write(fileName, [&](QIODevice& file) {
        bool drawn = false;
        {
            QPdfWriter writer(&file);
            writer.setPageLayout(ReportPaper::pageLayout(pages.paper));
            writer.setTitle(title);
            writer.setCreator(QStringLiteral("Cartlist"));
            drawn = print(pages, writer, sequence);
        }
        return drawn ? QString() : QStringLiteral("The pages could not be drawn.");
    });
}

QList<int> ReportRenderer::sequence(int pageCount, const PrintChoice& choice)
{
    if (pageCount <= 0)
        return {};
    QList<int> pages;
    switch (choice.range) {
    case PrintChoice::Range::All:
        for (int p = 1; p <= pageCount; ++p)
            pages << p;
        break;
    case PrintChoice::Range::FromTo: {
        // A range past the last page of this paper holds no page.
        if (choice.fromPage > pageCount)
            break;
        const int from = qMax(1, choice.fromPage);
        const int to = qBound(from, choice.toPage, pageCount);
        for (int p = from; p <= to; ++p)
            pages << p;
        break;
    }
    case PrintChoice::Range::Current:
        pages << qBound(0, choice.currentPage, pageCount - 1) + 1;
        break;
    }
    if (!choice.pageRanges.trimmed().isEmpty()) {
        const QList<int> chosen = pagesOf(choice.pageRanges, pageCount);
        pages.removeIf([&](int p) { return !chosen.contains(p); });
    }
    if (choice.pageSet == QLatin1String("odd") || choice.pageSet == QLatin1String("even")) {
        const int keep = choice.pageSet == QLatin1String("odd") ? 1 : 0;
        pages.removeIf([&](int p) { return p % 2 != keep; });
    }
    if (choice.reverse)
        std::reverse(pages.begin(), pages.end());

    const int copies = qMax(1, choice.copies);
    QList<int> out;
    if (choice.collate || pages.size() == 1) {
        for (int c = 0; c < copies; ++c) {
            for (int p : pages)
                out << p - 1;
            if (choice.duplex && copies > 1 && c < copies - 1 && pages.size() % 2 == 1)
                out << -1;
        }
    } else {
        for (int p : pages) {
            for (int c = 0; c < copies; ++c)
                out << p - 1;
        }
    }
    return out;
}

ReportRenderer::PrintChoice ReportRenderer::takeChoice(QPrinter& printer, int currentPage)
{
    PrintChoice choice;
    switch (printer.printRange()) {
    case QPrinter::PageRange:
        choice.range = PrintChoice::Range::FromTo;
        choice.fromPage = printer.fromPage();
        choice.toPage = printer.toPage();
        break;
    case QPrinter::CurrentPage:
        choice.range = PrintChoice::Range::Current;
        break;
    default:
        break;
    }
    choice.currentPage = currentPage;
    choice.copies = printer.copyCount();
    choice.collate = printer.collateCopies();
    choice.reverse = printer.pageOrder() == QPrinter::LastPageFirst;
    choice.duplex = printer.duplex() != QPrinter::DuplexNone;

    if (QPrintEngine* engine = printer.printEngine()) {
        QStringList options = engine->property(CupsOptions).toStringList();
        QStringList kept;
        for (qsizetype i = 0; i + 1 < options.size(); i += 2) {
            const QString& name = options.at(i);
            if (name == QLatin1String("page-ranges"))
                choice.pageRanges = options.at(i + 1);
            else if (name == QLatin1String("page-set"))
                choice.pageSet = options.at(i + 1);
            else
                kept << name << options.at(i + 1);
        }
        if (kept.size() != options.size())
            engine->setProperty(CupsOptions, kept);
    }
    printer.setCopyCount(1);
    printer.setPageOrder(QPrinter::FirstPageFirst);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    return choice;
}
