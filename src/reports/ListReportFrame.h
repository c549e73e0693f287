#pragma once

#include "ReportLayout.h"

#include <QColor>
#include <QList>
#include <QString>

// What the two shopping-list reports share: caption, paper, report font, the italic
// page-header labels, a coloured centred heading bar per group, and their band names.
class ListReportFrame {
public:
    struct Parts {
        QString dataMember;
        QString childMember;
        QList<ReportControl> headingLabels;
        ReportControl groupHeading;
        int groupHeaderHeight = 0;
        QList<ReportControl> detail;
    };
    static ReportLayout make(const Parts& parts);
    // The group's value, centred on a bar of the given colour across the page.
    static ReportControl headingBar(const QString& name, const QString& field, const QColor& color);
};
