#include "rptPrint.h"

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
    l.dataMember = QStringLiteral("ListPrint_Grouping");
    l.childMember = QStringLiteral("ListPrint");
    l.width = 9105;
    l.margins = QMargins(1440, 1440, 1440, 1440);
    l.font = souvenir;
    l.previewClientSize = QSize(10035, 6180);

    ReportBand pageHeader{ReportBand::Kind::PageHeader, QStringLiteral("PageHeader"), 450, {}};
    for (ReportControl c :
         {ReportControl::label(QStringLiteral("Label2"), QStringLiteral("Item:"), QRect(432, 144, 3456, 300)),
          ReportControl::label(QStringLiteral("Label4"), QStringLiteral("Aisle:"), QRect(4320, 144, 1830, 300)),
          ReportControl::label(QStringLiteral("Label5"), QStringLiteral("Quantity:"), QRect(6480, 144, 1830, 300))}) {
        c.font = heading;
        pageHeader.controls << c;
    }

    ReportControl category = ReportControl::textBox(QStringLiteral("txtCategory"), Level::Parent,
                                                    QStringLiteral("Category"), QRect(0, 0, 9072, 300));
    category.alignment = Qt::AlignHCenter;
    category.background = QColor(255, 192, 192);

    l.bands = {
        pageHeader,
        {ReportBand::Kind::GroupHeader, QStringLiteral("ListPrint_Grouping_Header"), 375, {category}},
        {ReportBand::Kind::Detail,
         QStringLiteral("ListPrint_Detail"),
         300,
         {ReportControl::shapeOf(QStringLiteral("Shape1"), ReportControl::Shape::Square, QRect(144, 35, 230, 230)),
          ReportControl::textBox(QStringLiteral("txtItem"), Level::Child, QStringLiteral("Item"),
                                 QRect(576, 0, 3744, 300)),
          ReportControl::textBox(QStringLiteral("txtAisle"), Level::Child, QStringLiteral("Aisle"),
                                 QRect(4464, 0, 2025, 300)),
          ReportControl::textBox(QStringLiteral("txtQuantity"), Level::Child, QStringLiteral("Quantity"),
                                 QRect(6480, 0, 2025, 300))}},
        {ReportBand::Kind::GroupFooter, QStringLiteral("ListPrint_Grouping_Footer"), 0, {}},
        {ReportBand::Kind::PageFooter, QStringLiteral("PageFooter"), 0, {}},
    };
    return l;
}
} // namespace

rptPrint::rptPrint()
    : SingleReport(design())
{
}
