#pragma once

#include "Connection.h"
#include "RowWriter.h"
#include "SqlClauses.h"

#include <QList>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>

class KeyedRead;
class QSqlRecord;

// Where a record set's rows come from: a table or a query, each row with the rowid it came
// from and the values the file held for it. The source's ORDER BY is applied to the rows
// read with the program's text rule (TextOrder), so every list orders text the same way.
// It knows the file's version at its last read, so a re-read that would give the very same
// rows can be skipped, and it gives the RowWriter that writes its rows back.
//
// A table's rows are read by key (KeyedRead); any other query is read whole.
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
    const std::shared_ptr<const KeyedRead>& fetch() const { return m_fetch; }
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

    std::shared_ptr<Connection> m_connection;
    QString m_source;
    QString m_table;
    QString m_selectSql;
    QString m_selectList; // of a table's source: "*" or its column names
    QString m_afterTable; // of a table's source: its WHERE and ORDER BY
    std::shared_ptr<const KeyedRead> m_fetch;
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
