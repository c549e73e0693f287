#pragma once

#include <QList>
#include <QStringList>
#include <QVariant>

// Rows read into memory with their column names: a command's result, a report's group.
struct RowTable {
    QStringList columns;
    QList<QVariantList> rows;

    int columnIndex(const QString& name) const
    {
        for (int i = 0; i < columns.size(); ++i) {
            if (columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
                return i;
        }
        return -1;
    }

    QVariant value(int row, const QString& column) const
    {
        const int c = columnIndex(column);
        return c < 0 ? QVariant() : rows.at(row).at(c);
    }
};
