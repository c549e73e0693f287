#pragma once

#include "Connection.h"
#include "RecordSource.h"
#include "SqlClauses.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

struct sqlite3;

// A table's rows read by key: which rows, in which order, is read at once (the rowid and the
// ordering columns), and the rest of a row's values when something first asks for them, a
// block of rows at a time. A window showing a large table so pays for the rows it shows.
// Measured gain, with the keys read ahead: 13 ms of a 73 ms start with 10,000 items, 65 ms
// of a 135 ms start with 50,000 (medians of 41 paired starts, spread 5-7 ms); within the
// spread with the sample (docs/speed.md).
//
// Once it has read the keys, it fetches the values of those rows, for the record set and for
// every snapshot taken of its rows. A row is fetched as the file holds it then: after
// another program's write, with what it wrote. A row deleted since gets no values to locate
// it by, so a write to it is refused as any write to a row gone is.
class KeyedRead {
public:
    using Row = RecordSource::Row;
    using Column = RecordSource::Column;

    // The keys of a table's rows as a read by key takes them: each row's rowid (numbered by
    // the source that takes them) and, for a source ordered by one text, the texts end to end.
    struct Keys {
        QList<Row> rows;
        QString texts;
        std::vector<qsizetype> ends{0};
    };
    // A source's keys read on a thread of their own, with an engine connection of that thread
    // (ReadAhead): planned on the thread that made it, read on the other.
    class KeysAhead {
    public:
        explicit KeysAhead(const QString& source);
        // The statement a read by key of the source runs, and the keys it gives, read in the
        // transaction open on `db`. Nothing where the source is not read by key, orders by
        // other than one text, or the file cannot be read now.
        std::optional<std::pair<QString, Keys>> readWith(sqlite3* db) const;

    private:
        QString m_table; // empty: not read by key
        QString m_selectSql;
        QString m_afterTable;
        QList<SqlClauses::OrderTerm> m_order;
    };

    // For a source selecting `selectList` from `table` (unquoted), with these columns, of which
    // `tableColumns` are the table's. Nothing is read yet.
    KeyedRead(std::shared_ptr<Connection> connection, const QString& table, const QString& selectList,
              const QList<Column>& columns, const QList<int>& tableColumns);

    // The rowids in the source's order, serials numbered on from `nextSerial`. Nothing when
    // the source turns out to select other than its table's own columns.
    std::optional<QList<Row>> readKeys(const QString& afterTable, const QList<SqlClauses::OrderTerm>& order,
                                       quint64& nextSerial) const;

    // The values of rows[visible[visibleRow]], fetching that row and those near it first.
    // Never throws: where the file cannot be read now, the values are null, to be fetched
    // again at the next ask. For views, which draw what they are given.
    const QVariantList& valuesAt(QList<Row>& rows, const QList<int>& visible, int visibleRow) const;
    // Fetches rows[index] unless loaded; throws what reading the file throws.
    void load(QList<Row>& rows, int index) const;
    // Fetches every row not loaded yet, in one read of the table.
    void loadAll(QList<Row>& rows) const;
    // Fetches one column of every row not loaded yet: what a filter or a find compares.
    // The rows stay to be loaded whole; a row gone since reads as null.
    void loadColumn(QList<Row>& rows, int column) const;

private:
    void fetch(QList<Row>& rows, const QList<int>& indexes, bool all) const;

    std::shared_ptr<Connection> m_connection;
    QString m_table;       // quoted
    QString m_rowidColumn; // the table's rowid, named by its table
    QString m_sql;         // the source's select list over its table, with the rowid first
    QList<Column> m_columns;
    QList<int> m_tableColumns;
    QVariantList m_blank;
    // Each fetch takes twice the rows of the last: rows read one after another (a find
    // list, a scroll to the end) take few reads, a window's first rows one small one.
    mutable int m_block = 128;
};
