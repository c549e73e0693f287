#pragma once

#include "Connection.h"
#include "RowWriter.h"
#include "SqlClauses.h"
#include "TextOrder.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

class QSqlRecord;
struct sqlite3;

// Where a record set's rows come from: a table or a query, each row with the rowid it came
// from and the values the file held for it. The source's ORDER BY is applied to the rows
// read with the program's text rule (TextOrder), so every list orders text the same way.
// It knows the file's version at its last read, so a re-read that would give the very same
// rows can be skipped, and it gives the RowWriter that writes its rows back.
//
// A table's rows are read by key: which rows, in which order, is read at once (the rowid
// and the ordering columns), and the rest of a row's values when something first asks for
// them, a block of rows at a time (Fetch). A window showing a large table so pays for the
// rows it shows. Any other query is read whole. Measured gain, with the keys read ahead:
// 13 ms of a 73 ms start with 10,000 items, 65 ms of a 135 ms start with 50,000 (medians of
// 41 paired starts, spread 5-7 ms); within the spread with the sample (docs/speed.md).
class RecordSource {
public:
    struct Column {
        QString name;
        bool inTable = false;
        bool updatable = false;
        bool isDate = false;
    };
    struct Row {
        qint64 rowid = 0;
        quint64 serial = 0;
        QVariantList values;
        // The table's columns as the file held them when last read: what finds the row again.
        QVariantList read;
        bool isNew = false;
        // False for a row read by key only: its values and `read` are not fetched yet.
        bool loaded = true;
    };

    // Fetches the values of rows read by key only, for the record set and for every snapshot
    // taken of its rows. A row is fetched as the file holds it then: after another program's
    // write, with what it wrote. A row deleted since gets no values to locate it by, so a
    // write to it is refused as any write to a row gone is.
    class Fetch {
    public:
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
        friend class RecordSource;
        void fetch(QList<Row>& rows, const QList<int>& indexes, bool all) const;

        std::shared_ptr<Connection> m_connection;
        QString m_sql;         // the source's select list over its table, with the rowid first
        QString m_table;       // quoted
        QString m_rowidColumn; // the table's rowid, named by its table
        QList<Column> m_columns;
        QList<int> m_tableColumns;
        QVariantList m_blank;
        // Each fetch takes twice the rows of the last: rows read one after another (a find
        // list, a scroll to the end) take few reads, a window's first rows one small one.
        mutable int m_block = 128;
    };

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

    // A table name or a SELECT over one table gives rows that can be written back; any other
    // query read-only ones. Nothing is read yet.
    void open(std::shared_ptr<Connection> connection, const QString& source);
    // Rows held in memory, with these columns: nothing to read or write.
    void openColumns(const QStringList& names);
    void close();

    bool isFrom(const std::shared_ptr<Connection>& connection, const QString& source) const
    {
        return m_connection && connection == m_connection && source == m_source;
    }
    bool hasConnection() const { return bool(m_connection); }
    QString source() const { return m_source; }
    // Empty for a read-only source.
    QString table() const { return m_table; }
    const QList<Column>& columns() const { return m_columns; }
    int fieldIndex(const QString& name) const;

    // Reads every row, in order, a table's by key only; serials are numbered on from
    // `nextSerial`.
    QList<Row> read(quint64& nextSerial);
    // What fetches the values of the rows last read by key; null when they came whole.
    const std::shared_ptr<const Fetch>& fetch() const { return m_fetch; }
    // Reads one row again by its rowid; false when the file no longer has it.
    bool reload(Row& row);
    RowWriter writer() const;
    // A value as read, in the form the record set keeps it (dates as dates).
    QVariant convertRead(int column, QVariant value) const;

    // True when the rows last read are what a re-read would give now.
    bool matchesFile() const;
    void forgetMatch() { m_matchesFileAt.reset(); }
    // After an own write of `changed` columns (of a new row when `adding`): the rows still
    // match the file if they did before and the write left them in the order a re-read gives.
    void keepMatchAfterWrite(bool matchedBefore, const QList<int>& changed, bool adding);

private:
    void takeColumns(const QSqlRecord& record);
    QList<Row> readWhole(quint64& nextSerial);
    std::optional<QList<Row>> readKeys(quint64& nextSerial);
    QList<RowOrder::Term> orderTerms() const { return termsOf(m_order, m_columns); }
    static QList<RowOrder::Term> termsOf(const QList<SqlClauses::OrderTerm>& order, const QList<Column>& columns);
    // The statement that reads the keys of a table source's rows; empty unless the source
    // selects the table's own columns and orders by columns it has.
    static QString keysSql(const QString& table, const QString& afterTable, const QList<Column>& columns,
                           const QList<SqlClauses::OrderTerm>& order);
    static void sortRows(QList<Row>& rows, const QList<int>& order);

    std::shared_ptr<Connection> m_connection;
    QString m_source;
    QString m_table;
    QString m_selectSql;
    QString m_selectList; // of a table's source: "*" or its column names
    QString m_afterTable; // of a table's source: its WHERE and ORDER BY
    std::shared_ptr<const Fetch> m_fetch;
    QList<SqlClauses::OrderTerm> m_order;
    // The file's version when the rows last matched it: a re-read at that same version would
    // give these very rows. Cleared when an own write makes them differ from a re-read (a
    // row added to an ordered source sits at its end).
    std::optional<Connection::Version> m_matchesFileAt;
    int m_orderGeneration = -1; // the text rule the rows were sorted by
    QList<Column> m_columns;
    QList<int> m_tableColumns; // those of m_columns that are the table's, in Row::read's order
};

// A row holds nothing that points at itself: a list of rows grows by moving bytes, which for a
// long catalogue read by key is most of what growing it costs.
Q_DECLARE_TYPEINFO(RecordSource::Row, Q_RELOCATABLE_TYPE);
