#include "ReportText.h"

#include "ReportData.h"
#include "ReportLayout.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {
const QString Indent = QStringLiteral("  ");
const QString TickBox = QStringLiteral("[ ] ");
const QString Separator = QStringLiteral(" | ");

int bytes(const QString& text) { return int(text.toUtf8().size()); }

bool hasRightToLeft(const QString& text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.direction() == QChar::DirR || c.direction() == QChar::DirAL; });
}

// Pieces of `line` of at most `room` bytes, cut between characters as the user sees them.
QStringList cut(const QString& line, int room)
{
    if (bytes(line) <= room)
        return {line};
    QStringList pieces;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, line);
    qsizetype start = 0;
    qsizetype fits = 0;
    for (qsizetype at = graphemes.toNextBoundary(); at > 0; at = graphemes.toNextBoundary()) {
        if (bytes(line.mid(start, at - start)) > room && fits > start) {
            pieces << line.mid(start, fits - start);
            start = fits;
        }
        fits = at;
    }
    pieces << line.mid(start);
    return pieces;
}
} // namespace

QString ReportText::make(const ReportLayout& layout, const ReportData& data, const QString& title)
{
    QString text = title + QStringLiteral("\n\n");
    const auto add = [&](ReportBand::Kind kind, int group, int row, const QString& indent) {
        const ReportBand* band = layout.band(kind);
        if (!band || band->height <= 0)
            return;
        QList<PageList::Item> items;
        for (const ReportControl& control : band->controls)
            items << PageList::Item{control, data.text(control, group, row), control.place};
        text += indent + line(items, false) + QLatin1Char('\n');
    };
    for (int g = 0; g < data.groupCount(); ++g) {
        add(ReportBand::Kind::GroupHeader, g, -1, QString());
        for (int r = 0; r < int(data.children.at(g).rows.size()); ++r)
            add(ReportBand::Kind::Detail, g, r, Indent);
        add(ReportBand::Kind::GroupFooter, g, -1, QString());
    }
    return text;
}

QString ReportText::page(const PageList::Page& page)
{
    QString text;
    for (const PageList::Band& band : page.bands)
        text += line(band.items, true) + QLatin1Char('\n');
    return text;
}

QString ReportText::line(QList<PageList::Item> items, bool spoken)
{
    std::stable_sort(items.begin(), items.end(),
                     [](const PageList::Item& a, const PageList::Item& b) { return a.rect.left() < b.rect.left(); });
    QString start;
    QStringList cells;
    for (const PageList::Item& item : items) {
        if (item.control.kind != ReportControl::Kind::Shape) {
            // A break or tab inside a value would split its row or its columns.
            QString cell = item.text;
            cell.replace(QLatin1Char('\n'), QLatin1Char(' '))
                .replace(QLatin1Char('\r'), QLatin1Char(' '))
                .replace(QLatin1Char('\t'), QLatin1Char(' '));
            if (!spoken && hasRightToLeft(cell))
                cell = QChar(0x2068) + cell + QChar(0x2069);
            cells << cell;
        } else if (!spoken && item.control.shape == ReportControl::Shape::Square && cells.isEmpty()) {
            start = TickBox;
        }
    }
    while (!cells.isEmpty() && cells.last().isEmpty())
        cells.removeLast();
    return start + cells.join(spoken ? QStringLiteral("\t") : Separator);
}

QStringList ReportText::split(const QString& text, int maxBytes)
{
    if (bytes(text) <= maxBytes)
        return {text};
    const QString title = text.section(QLatin1Char('\n'), 0, 0);
    QStringList lines = text.mid(title.size() + 2).split(QLatin1Char('\n'));
    // The text ends with a break: each line keeps its own.
    lines.removeLast();
    for (QString& l : lines)
        l += QLatin1Char('\n');

    // The count is part of every heading: count again until the parts agree with it.
    QStringList parts;
    for (int count = 2; parts.size() != count;) {
        if (!parts.isEmpty())
            count = int(parts.size());
        const auto heading = [&](int n) { return title + QStringLiteral(" (%1 of %2)\n\n").arg(n).arg(count); };
        parts = {heading(1)};
        int used = bytes(parts.last());
        const int room = maxBytes - bytes(heading(count));
        for (const QString& l : lines) {
            for (const QString& piece : cut(l, room)) {
                const int size = bytes(piece);
                if (used + size > maxBytes) {
                    parts << heading(int(parts.size()) + 1);
                    used = bytes(parts.last());
                }
                parts.last() += piece;
                used += size;
            }
        }
    }
    return parts;
}
