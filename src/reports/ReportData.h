#pragma once

#include "ReportControl.h"
#include "RowTable.h"

#include <QList>
#include <QString>

class ResultSet;

// The rows a report prints: one parent row per group, with that group's child rows.
struct ReportData {
    RowTable parents;
    QList<RowTable> children;

    int groupCount() const { return int(parents.rows.size()); }

    static ReportData fromResultSet(ResultSet& rs);
    // What a text box shows for a group (and, at the child level, one of its rows).
    QString text(const ReportControl& control, int group, int row) const;
    // A value as a text box shows it, with general formatting.
    static QString generalFormat(const QVariant& value);
};
