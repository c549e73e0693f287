#include "rptAisle.h"

#include "ListReportFrame.h"

namespace {
using Level = ReportControl::Level;

ReportLayout design()
{
    ReportControl category = ReportControl::textBox(QStringLiteral("txtCategory"), Level::Child,
                                                    QStringLiteral("Category"), QRect(4032, 0, 1875, 300));
    category.alignment = Qt::AlignHCenter;
    // The category column has no heading of its own.
    return ListReportFrame::make({
        QStringLiteral("ListPrintAisle_Grouping"),
        QStringLiteral("ListPrintAisle"),
        {ReportControl::label(QStringLiteral("Label2"), QStringLiteral("Item:"), QRect(432, 144, 3600, 300)),
         ReportControl::label(QStringLiteral("Label5"), QStringLiteral("Quantity:"), QRect(6048, 144, 1830, 300))},
        ListReportFrame::headingBar(QStringLiteral("txtAisle"), QStringLiteral("Aisle"), QColor(192, 192, 255)),
        315,
        {ReportControl::textBox(QStringLiteral("txtItem"), Level::Child, QStringLiteral("Item"),
                                QRect(576, 0, 3456, 300)),
         ReportControl::textBox(QStringLiteral("txtQuantity"), Level::Child, QStringLiteral("Quantity"),
                                QRect(6192, 0, 2025, 300)),
         ReportControl::shapeOf(QStringLiteral("Shape1"), ReportControl::Shape::Square, QRect(144, 35, 230, 230)),
         category},
    });
}
} // namespace

rptAisle::rptAisle()
    : SingleReport(design())
{
}
