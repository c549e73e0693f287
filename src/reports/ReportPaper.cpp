#include "ReportPaper.h"

#include <QLocale>
#include <QRectF>

namespace {
constexpr double TwipsPerInch = 1440.0;

QSize toTwips(const QSizeF& inches)
{
    return QSize(qRound(inches.width() * TwipsPerInch), qRound(inches.height() * TwipsPerInch));
}
} // namespace

QPageSize ReportPaper::defaultSize()
{
    return QLocale().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                      : QPageSize(QPageSize::A4);
}

QSize ReportPaper::twips(const QPageSize& size) { return toTwips(size.size(QPageSize::Inch)); }

QSize ReportPaper::twips(const QPageLayout& layout) { return toTwips(layout.fullRect(QPageLayout::Inch).size()); }

QPageLayout ReportPaper::pageLayout(const QSize& twips)
{
    const bool landscape = twips.width() > twips.height();
    const QSizeF portrait = QSizeF(landscape ? twips.transposed() : twips) / TwipsPerInch;
    return QPageLayout(QPageSize(portrait, QPageSize::Inch), landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF());
}
