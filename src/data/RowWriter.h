#pragma once

#include "DataError.h"

#include <QStringList>
#include <QVariantList>

#include <optional>

class Connection;

// Writes single rows of one table, the one place that says how a row is found again: by the
// rowid it was read from and every value read for it. A row that another program changed or
// deleted since, or that a backup copied over the file holds with other values, matches
// nothing, and nothing is written: a write lands only on the row the user saw. It is also
// the one place that keeps control characters, typed or pasted into any window, out of the file.
class RowWriter {
public:
    // `columns`: the table's columns as read; `read` values come in this order.
    RowWriter(Connection& connection, const QString& table, const QStringList& columns);

    // The rowid the new row was given.
    qint64 insert(const QStringList& names, const QVariantList& values);
    // Throws RowConflict when no row holds `read` at `rowid` any more.
    void update(qint64 rowid, const QVariantList& read, const QStringList& names, const QVariantList& values);
    void remove(qint64 rowid, const QVariantList& read);
    // The row's values as the file holds them now, in the columns' order; none when the file
    // has no row of that rowid.
    std::optional<QVariantList> reload(qint64 rowid);

private:
    // Empty when `read` cannot be the row's values.
    QString located(QVariantList& values, qint64 rowid, const QVariantList& read) const;
    static void refuseControlCharacters(const QStringList& names, const QVariantList& values);

    Connection& m_connection;
    QString m_table;
    QStringList m_columns;
};

// A write refused because its row no longer holds what was read for it.
class RowConflict : public DataError {
public:
    explicit RowConflict(const QString& description, bool rowGone = false)
        : DataError(description)
        , m_rowGone(rowGone)
    {
    }

    // The file holds no row of that rowid any more.
    bool rowGone() const { return m_rowGone; }

private:
    bool m_rowGone;
};
