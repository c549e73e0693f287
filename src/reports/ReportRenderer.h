#pragma once

#include "PageList.h"

#include <QPointF>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// Paints laid-out pages with QPainter: the same code serves the preview, the printer and PDF.
class ReportRenderer {
public:
    // One page with the paper's top left corner at `origin`, at `scale` device units a twip.
    // Text never leaves its box: a value too long for it is cut at the box's edge.
    static void paintPage(QPainter& painter, const PageList::Page& page, const QPointF& origin, double scale);
    // Every page on its own sheet of a device whose painter starts at the paper's corner.
    // False when the device could not be painted on.
    static bool print(const PageList& pages, QPagedPaintDevice& device);
    // Writes the pages to a PDF file on their own paper. The reason when it failed, else empty.
    static QString writePdf(const PageList& pages, const QString& fileName, const QString& title);
};
