#pragma once

#include "ReportControl.h"

#include <QList>
#include <QString>

// A horizontal strip of a report, printed whole, with its controls.
struct ReportBand {
    enum class Kind { ReportHeader, PageHeader, GroupHeader, Detail, GroupFooter, PageFooter, ReportFooter };

    Kind kind = Kind::Detail;
    QString name;
    // Twips; a band of height 0 prints nothing.
    int height = 0;
    QList<ReportControl> controls;
};
