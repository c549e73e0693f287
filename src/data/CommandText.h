#pragma once

#include <QString>
#include <QStringList>

// A named command's text made ready to run: each parameter identifier (outside quotes)
// becomes a bound placeholder, and a "SHAPE {inner} AS child COMPUTE child BY 'column'"
// text is split into its inner query and its grouping.
class CommandText {
public:
    // Throws DataError for a SHAPE text it cannot read.
    CommandText(const QString& text, const QStringList& parameters);

    QString sql() const { return m_sql; }
    // The parameter for each placeholder, in order.
    QStringList bindOrder() const { return m_bindOrder; }
    bool isShape() const { return !m_groupColumn.isEmpty(); }
    QString childName() const { return m_childName; }
    QString groupColumn() const { return m_groupColumn; }

private:
    void bindParameters(const QString& text, const QStringList& parameters);

    QString m_sql;
    QStringList m_bindOrder;
    QString m_childName;
    QString m_groupColumn;
};
