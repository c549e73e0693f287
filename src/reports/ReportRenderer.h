#pragma once

#include "PageList.h"

#include <QFont>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

class QPagedPaintDevice;
class QPaintDevice;
class QPainter;
class QPrinter;

// Paints laid-out pages with QPainter: the same code serves the preview, the printer and PDF.
class ReportRenderer {
public:
    // How one text control's value sits in its box on a device.
    struct TextLine {
        // The designed font at the device's size, ligatures off so a PDF's text is its letters.
        QFont font;
        // What shows: the whole value, or as many whole letters of its beginning as fit the box's
        // width (never none: at least what of the first letter the box holds).
        QString visible;
        // Where the visible text starts, on its baseline.
        QPointF origin;
    };
    // The line of an item in `box` (device units, `scale` device units a twip). The text
    // keeps its designed size; a stand-in face whose line is taller than the box sits on
    // the box's bottom so its descenders stay in the band (only the room above its tallest
    // letters rises out of the box), and in a box too low even for that it is made smaller.
    static TextLine textLine(const PageList::Item& item, const QRectF& box, const QPaintDevice& device, double scale);

    // One page with the paper's top left corner at `origin`, at `scale` device units a twip.
    // Text never leaves its box sideways: a value too long for it shows the letters that fit.
    static void paintPage(QPainter& painter, const PageList::Page& page, const QPointF& origin, double scale);
    // The given pages (0-based, in order; -1 is a blank sheet side), else every page, each
    // on its own sheet of a device whose painter starts at the paper's corner. False when
    // the device could not be painted on.
    static bool print(const PageList& pages, QPagedPaintDevice& device, const QList<int>& sequence = {});
    // Writes the pages (as for print()) to a PDF file on their own paper. The file appears whole
    // or not at all; the reason when it failed, else empty.
    static QString writePdf(const PageList& pages, const QString& fileName, const QString& title,
                            const QList<int>& sequence = {});

    // What the user chose in the print dialog, as pages to put out.
    struct PrintChoice {
        enum class Range { All, FromTo, Current };
        Range range = Range::All;
        // 1-based, for FromTo.
        int fromPage = 0;
        int toPage = 0;
        // 0-based, the page the preview shows, for Current.
        int currentPage = 0;
        // Server-side choices of a CUPS printer's dialog ("1,3-5"; "odd" or "even"), which
        // would otherwise pick from the sheets already put out.
        QString pageRanges;
        QString pageSet;
        int copies = 1;
        bool collate = true;
        bool reverse = false;
        bool duplex = false;
    };
    // The pages to put out, one entry a sheet side, for a report of `pageCount` pages: the
    // range, each copy in turn when collated, else each page as many times as copies, last
    // page first when reversed; on a two-sided printer a copy with an odd number of pages
    // gets a blank back so the next copy starts on a fresh sheet.
    static QList<int> sequence(int pageCount, const PrintChoice& choice);
    // Reads the choices from a printer its dialog has set, and takes them back from the
    // printer: copies, order and page choices are put out by sequence(), and a printer
    // applying them again would multiply or reorder them.
    static PrintChoice takeChoice(QPrinter& printer, int currentPage);
};
