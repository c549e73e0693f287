#pragma once

#include "PageList.h"

#include <QList>
#include <QString>
#include <QStringList>

struct ReportData;
struct ReportLayout;

// A report as plain text, the one text the clipboard, a text file and the QR codes take: the
// title line, a blank line, then each group heading on a line of its own with its rows below
// it, indented. A line holds its controls' texts whole, in the order they read across the page
// (left to right), separated by " | " (a tab lines up nowhere on a phone, and "Item 000" with
// aisle 0 read as "Item 0000"), without the empty ones at its end; a printed tick box starts
// its row as "[ ]". A text with right-to-left letters is set between Unicode's isolate marks
// (U+2068, U+2069), so the columns after it keep their places instead of being drawn before it.
// Every line ends with a line break, so a row stays one line wherever it goes.
class ReportText {
public:
    // From the report's rows, as the page list reads them, without the bands that repeat on
    // every page.
    static QString make(const ReportLayout& layout, const ReportData& data, const QString& title);
    // What one page shows, band by band, for a screen reader: no marks, and tabs between the
    // columns, which a reader passes over as it does spaces.
    static QString page(const PageList::Page& page);
    // A text in parts of at most `maxBytes` bytes of UTF-8, cut only between lines (a line too
    // long for a part of its own between characters). Each part after the split starts with the
    // title line followed by " (2 of 3)" and the blank line; the rest of the parts, one after
    // the other, are the rest of the text. A text that fits is its one part, unchanged.
    static QStringList split(const QString& text, int maxBytes);

private:
    // As the text has it, or with `spoken`, as a screen reader takes it.
    static QString line(QList<PageList::Item> items, bool spoken);
};
