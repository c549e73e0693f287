#include "rptPrint.h"

#include "ListReportFrame.h"

namespace {
using Level = ReportControl::Level;

ReportLayout design()
{
    return ListReportFrame::make({
        QStringLiteral("ListPrint_Grouping"),
        QStringLiteral("ListPrint"),
        {ReportControl::label(QStringLiteral("Label2"), QStringLiteral("Item:"), QRect(432, 144, 3456, 300)),
         ReportControl::label(QStringLiteral("Label4"), QStringLiteral("Aisle:"), QRect(4320, 144, 1830, 300)),
         ReportControl::label(QStringLiteral("Label5"), QStringLiteral("Quantity:"), QRect(6480, 144, 1830, 300))},
        ListReportFrame::headingBar(QStringLiteral("txtCategory"), QStringLiteral("Category"), QColor(255, 192, 192)),
        375,
        {ReportControl::shapeOf(QStringLiteral("Shape1"), ReportControl::Shape::Square, QRect(144, 35, 230, 230)),
         ReportControl::textBox(QStringLiteral("txtItem"), Level::Child, QStringLiteral("Item"),
                                QRect(576, 0, 3744, 300)),
         ReportControl::textBox(QStringLiteral("txtAisle"), Level::Child, QStringLiteral("Aisle"),
                                QRect(4464, 0, 2025, 300)),
         ReportControl::textBox(QStringLiteral("txtQuantity"), Level::Child, QStringLiteral("Quantity"),
                                QRect(6480, 0, 2025, 300))},
    });
}
} // namespace

rptPrint::rptPrint()
    : SingleReport(design())
{
}
