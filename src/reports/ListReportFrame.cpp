#include "ListReportFrame.h"

ReportLayout ListReportFrame::make(const Parts& parts)
{
    const ReportFont souvenir{QStringLiteral("Souvenir Lt BT"), 12, true, false, false, QFont::Serif};
    ReportFont heading = souvenir;
    heading.pointSize = 9.75;
    heading.bold = false;
    heading.italic = true;

    ReportLayout l;
    l.caption = QStringLiteral("Cartlist");
    l.dataMember = parts.dataMember;
    l.childMember = parts.childMember;
    l.width = 9105;
    l.margins = QMargins(1440, 1440, 1440, 1440);
    l.font = souvenir;
    l.previewClientSize = QSize(10035, 6180);

    ReportBand pageHeader{ReportBand::Kind::PageHeader, QStringLiteral("PageHeader"), 450, {}};
    for (ReportControl c : parts.headingLabels) {
        c.font = heading;
        pageHeader.controls << c;
    }
    l.bands = {
        pageHeader,
        {ReportBand::Kind::GroupHeader,
         QStringLiteral("ListPrint_Grouping_Header"),
         parts.groupHeaderHeight,
         {parts.groupHeading}},
        {ReportBand::Kind::Detail, QStringLiteral("ListPrint_Detail"), 300, parts.detail},
        {ReportBand::Kind::GroupFooter, QStringLiteral("ListPrint_Grouping_Footer"), 0, {}},
        {ReportBand::Kind::PageFooter, QStringLiteral("PageFooter"), 0, {}},
    };
    return l;
}

ReportControl ListReportFrame::headingBar(const QString& name, const QString& field, const QColor& color)
{
    ReportControl bar = ReportControl::textBox(name, ReportControl::Level::Parent, field, QRect(0, 0, 9072, 300));
    bar.alignment = Qt::AlignHCenter;
    bar.background = color;
    return bar;
}
