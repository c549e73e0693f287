#pragma once

#include "Recordset.h"
#include "RowTable.h"

#include <QList>
#include <QString>
#include <QVariant>

// The result of a row-returning named command, by the name "rs" + command name.
// A grouped command gives parent rows (one column, the grouping value) each with a
// child row set under the child member name.
class ResultSet {
public:
    explicit ResultSet(const QString& name)
        : m_name(name)
    {
    }

    QString name() const { return m_name; }
    // Recordset::StateOpen while open, else Recordset::StateClosed.
    int state() const { return m_rows.state(); }
    void close();

    // Parent rows; the current row starts at the first one.
    Recordset& rows() { return m_rows; }
    QString childMember() const { return m_childMember; }
    // The child rows of a parent row (0-based), or an empty table for an ungrouped result.
    const RowTable& children(int parentRow) const;

    // The date the command ran with (null for its default), so a reader can run it again.
    QVariant parameter() const { return m_parameter; }
    void setParameter(const QVariant& dt) { m_parameter = dt; }

    void openFlat(const RowTable& rows);
    void openGrouped(const RowTable& parents, const QString& childMember, const QList<RowTable>& children);

private:
    QString m_name;
    Recordset m_rows;
    QString m_childMember;
    QList<RowTable> m_children;
    QVariant m_parameter;
};
