#include "rptAisle.h"

namespace {
using Level = ReportControl::Level;

ReportLayout design()
{
    const ReportFont souvenir{QStringLiteral("Souvenir Lt BT"), 12, true, false, false, QFont::Serif};
    ReportFont heading = souvenir;
    heading.pointSize = 9.75;
    heading.bold = false;
    heading.italic = true;

    ReportLayout l;
    l.caption = QStringLiteral("Cartlist");
    l.dataMember = QStringLiteral("ListPrintAisle_Grouping");
    l.childMember = QStringLiteral("ListPrintAisle");
    l.width = 9105;
    l.margins = QMargins(1440, 1440, 1440, 1440);
    l.font = souvenir;
    l.previewClientSize = QSize(10035, 6180);

    // The category column has no heading of its own.
    ReportBand pageHeader{ReportBand::Kind::PageHeader, QStringLiteral("PageHeader"), 450, {}};
    for (ReportControl c :
         {ReportControl::label(QStringLiteral("Label2"), QStringLiteral("Item:"), QRect(432, 144, 3600, 300)),
          ReportControl::label(QStringLiteral("Label5"), QStringLiteral("Quantity:"), QRect(6048, 144, 1830, 300))}) {
        c.font = heading;
        pageHeader.controls << c;
    }

    ReportControl aisle = ReportControl::textBox(QStringLiteral("txtAisle"), Level::Parent, QStringLiteral("Aisle"),
                                                 QRect(0, 0, 9072, 300));
    aisle.alignment = Qt::AlignHCenter;
    aisle.background = QColor(192, 192, 255);

    ReportControl category = ReportControl::textBox(QStringLiteral("txtCategory"), Level::Child,
                                                    QStringLiteral("Category"), QRect(4032, 0, 1875, 300));
    category.alignment = Qt::AlignHCenter;

    l.bands = {
        pageHeader,
        {ReportBand::Kind::GroupHeader, QStringLiteral("ListPrint_Grouping_Header"), 315, {aisle}},
        {ReportBand::Kind::Detail,
         QStringLiteral("ListPrint_Detail"),
         300,
         {ReportControl::textBox(QStringLiteral("txtItem"), Level::Child, QStringLiteral("Item"),
                                 QRect(576, 0, 3456, 300)),
          ReportControl::textBox(QStringLiteral("txtQuantity"), Level::Child, QStringLiteral("Quantity"),
                                 QRect(6192, 0, 2025, 300)),
          ReportControl::shapeOf(QStringLiteral("Shape1"), ReportControl::Shape::Square, QRect(144, 35, 230, 230)),
          category}},
        {ReportBand::Kind::GroupFooter, QStringLiteral("ListPrint_Grouping_Footer"), 0, {}},
        {ReportBand::Kind::PageFooter, QStringLiteral("PageFooter"), 0, {}},
    };
    return l;
}
} // namespace

rptAisle::rptAisle()
    : SingleReport(design())
{
}
