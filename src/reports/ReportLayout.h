#pragma once

#include "ReportBand.h"
#include "ReportFont.h"

#include <QList>
#include <QMargins>
#include <QSize>
#include <QString>

// Everything a report is designed with: its bands, their controls and the page around them.
// Lengths are twips.
struct ReportLayout {
    QString caption;
    // The grouped command the report reads, and the child member its detail binds to.
    QString dataMember;
    QString childMember;
    int width = 0;
    QMargins margins;
    ReportFont font;
    QSize previewClientSize;
    QList<ReportBand> bands;

    // The band of that kind, or nullptr when the report has none.
    const ReportBand* band(ReportBand::Kind kind) const
    {
        for (const ReportBand& b : bands) {
            if (b.kind == kind)
                return &b;
        }
        return nullptr;
    }
};
