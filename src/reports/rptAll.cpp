#include "rptAll.h"

#include "DataEnvironment.h"

namespace {
using Level = ReportControl::Level;

ReportLayout design()
{
    ReportLayout l;
    l.caption = QStringLiteral("Full List");
    l.dataMember = QStringLiteral("All_Grouping");
    l.childMember = QStringLiteral("All");
    l.width = 10080;
    l.margins = QMargins(720, 720, 720, 720);
    l.font = ReportFont{QStringLiteral("Arial"), 8.25, false, false, false, QFont::SansSerif};
    l.previewClientSize = QSize(9795, 5145);

    ReportControl title =
        ReportControl::label(QStringLiteral("Label1"), QStringLiteral("Full List"), QRect(0, 0, 10080, 288));
    title.font = ReportFont{QStringLiteral("Benguiat Bk BT"), 12, true, false, false, QFont::Serif};
    title.alignment = Qt::AlignHCenter;

    ReportControl category = ReportControl::textBox(QStringLiteral("txtCategory"), Level::Parent,
                                                    QStringLiteral("Category"), QRect(0, 0, 7485, 288));
    category.font = ReportFont{QStringLiteral("Benguiat Bk BT"), 11.25, true, false, true, QFont::Serif};

    const ReportFont gothic{QStringLiteral("BenguiatGot Bk BT"), 9.75, false, false, false, QFont::SansSerif};
    ReportControl item = ReportControl::textBox(QStringLiteral("txtItem"), Level::Child, QStringLiteral("Item"),
                                                QRect(432, 0, 3888, 250));
    item.font = gothic;
    ReportControl aisle = ReportControl::textBox(QStringLiteral("txtAisle"), Level::Child, QStringLiteral("Aisle"),
                                                 QRect(4320, 0, 2736, 250));
    aisle.font = gothic;
    ReportControl bullet =
        ReportControl::shapeOf(QStringLiteral("Shape1"), ReportControl::Shape::Circle, QRect(144, 50, 135, 150));
    bullet.fill = QColor(192, 192, 255);

    l.bands = {
        {ReportBand::Kind::ReportHeader, QStringLiteral("ReportHeader"), 288, {title}},
        {ReportBand::Kind::PageHeader, QStringLiteral("PageHeader"), 0, {}},
        {ReportBand::Kind::GroupHeader, QStringLiteral("All_Grouping_Header"), 288, {category}},
        {ReportBand::Kind::Detail, QStringLiteral("All_Detail"), 250, {item, aisle, bullet}},
        {ReportBand::Kind::GroupFooter, QStringLiteral("All_Grouping_Footer"), 0, {}},
        {ReportBand::Kind::PageFooter, QStringLiteral("PageFooter"), 0, {}},
        {ReportBand::Kind::ReportFooter, QStringLiteral("ReportFooter"), 0, {}},
    };
    return l;
}
} // namespace

rptAll::rptAll()
    : SingleReport(design())
{
}

void rptAll::terminate()
{
    ResultSet& rs = DECartstock().resultSet(QStringLiteral("rsAll_Grouping"));
    if (rs.state() == Recordset::StateOpen)
        rs.close();
}
