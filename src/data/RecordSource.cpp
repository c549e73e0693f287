#include "RecordSource.h"

#include "KeyedRead.h"
#include "SourceReading.h"
#include "TextOrder.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <memory>
#include <utility>

void RecordSource::open(std::shared_ptr<Connection> connection, const QString& source)
{
    const SourceReading::SourcePlan plan = SourceReading::planSource(source);
    m_connection = std::move(connection);
    m_source = source;
    m_table = plan.table;
    // The order is the program's (TextOrder), applied once the rows are read. Read in the
    // file's order for the same columns, they mostly need no sorting at all.
    m_order = SqlClauses::orderBy(source);
    m_selectSql = plan.sql;
    m_selectList = SourceReading::readableByKey(plan) ? plan.list : QString();
    m_afterTable = plan.rest;
    m_matchesFileAt.reset();
}

void RecordSource::openColumns(const QStringList& names)
{
    close();
    for (const QString& name : names)
        m_columns.append({name, false, false, false});
}

void RecordSource::close()
{
    m_connection.reset();
    m_matchesFileAt.reset();
    m_source.clear();
    m_table.clear();
    m_selectSql.clear();
    m_selectList.clear();
    m_afterTable.clear();
    m_fetch.reset();
    m_order.clear();
    m_columns.clear();
    m_tableColumns.clear();
}

int RecordSource::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool RecordSource::matchesFile() const
{
    if (!m_connection || !m_matchesFileAt)
        return false;
    // Sorted by another language's rule, the rows would come back in another order.
    if (!m_order.isEmpty() && m_orderGeneration != TextOrder::current().generation())
        return false;
    try {
        return *m_matchesFileAt == m_connection->version();
    } catch (const std::exception&) {
        return false;
    }
}

void RecordSource::keepMatchAfterWrite(bool matchedBefore, const QList<int>& changed, bool adding)
{
    // A re-read puts a new row, or one whose ordering value changed, in its sorted place.
    bool orderKept = m_order.isEmpty() || !adding;
    for (const SqlClauses::OrderTerm& term : m_order) {
        for (int c : changed)
            orderKept = orderKept && m_columns.at(c).name.compare(term.column, Qt::CaseInsensitive) != 0;
    }
    m_matchesFileAt.reset();
    if (matchedBefore && orderKept) {
        try {
            m_matchesFileAt = m_connection->version();
        } catch (const std::exception&) {
        }
    }
}

void RecordSource::takeColumns(const QSqlRecord& record)
{
    QList<SourceReading::TableColumn> table;
    if (!m_table.isEmpty()) {
        QSqlQuery info =
            m_connection->run(QStringLiteral("PRAGMA table_info(%1)").arg(SqlClauses::quotedName(m_table)));
        while (info.next())
            table.append({info.value(1).toString(), info.value(2).toString().toUpper(), info.value(5).toInt()});
    }
    QStringList names;
    for (int i = m_table.isEmpty() ? 0 : 1; i < record.count(); ++i)
        names << record.fieldName(i);
    m_columns = SourceReading::columnsOf(names, table);
    m_tableColumns.clear();
    for (int c = 0; c < m_columns.size(); ++c) {
        if (m_columns.at(c).inTable)
            m_tableColumns << c;
    }
}

// Reads the rows and puts them in the source's order; where that order names a column the
// rows do not have, they stay as the query gave them.
QList<RecordSource::Row> RecordSource::read(quint64& nextSerial)
{
    m_matchesFileAt.reset();
    // The version before the rows: a write committed in between makes the next check re-read.
    const Connection::Version before = m_connection->version();
    std::optional<QList<Row>> rows;
    if (!m_selectList.isEmpty())
        rows = readKeys(nextSerial);
    if (!rows)
        rows = readWhole(nextSerial);
    m_matchesFileAt = before;
    m_orderGeneration = TextOrder::current().generation();
    return std::move(*rows);
}

QList<RecordSource::Row> RecordSource::readWhole(quint64& nextSerial)
{
    QList<Row> rows;
    {
        QSqlQuery query = m_connection->run(m_selectSql);
        takeColumns(query.record());
        const int first = m_table.isEmpty() ? 0 : 1;
        const bool readIsValues = SourceReading::readIsValuesOf(m_columns, m_tableColumns);
        SourceReading::eachRow(query, m_connection->filePath(), [&](const auto& value) {
            Row row;
            row.serial = nextSerial++;
            if (first == 1)
                row.rowid = value(0).toLongLong();
            SourceReading::fillRow(row, m_columns, m_tableColumns, readIsValues, first, value);
            rows.append(std::move(row));
        });
    }
    m_fetch.reset();
    const QList<RowOrder::Term> terms = SourceReading::termsOf(m_order, m_columns);
    SourceReading::sortRows(rows, RowOrder::permutation(int(rows.size()), terms, [&](int r, int c) -> const QVariant& {
                                return rows.at(r).values.at(c);
                            }));
    return rows;
}

// The columns first, without reading a row; the keys then, where the source turns out to
// select only its table's own columns.
std::optional<QList<RecordSource::Row>> RecordSource::readKeys(quint64& nextSerial)
{
    {
        QSqlQuery shape = m_connection->run(QStringLiteral("SELECT * FROM (%1) LIMIT 0").arg(m_selectSql));
        takeColumns(shape.record());
    }
    auto keyed = std::make_shared<const KeyedRead>(m_connection, m_table, m_selectList, m_columns, m_tableColumns);
    std::optional<QList<Row>> rows = keyed->readKeys(m_afterTable, m_order, nextSerial);
    if (rows)
        m_fetch = std::move(keyed);
    return rows;
}

bool RecordSource::reload(Row& row)
{
    const std::optional<QVariantList> stored = writer().reload(row.rowid);
    if (!stored)
        return false;
    row.read = *stored;
    if (row.values.size() != m_columns.size())
        row.values = QVariantList(m_columns.size());
    for (int i = 0; i < m_tableColumns.size(); ++i)
        row.values[m_tableColumns.at(i)] = convertRead(m_tableColumns.at(i), stored->at(i));
    row.loaded = true;
    return true;
}

RowWriter RecordSource::writer() const
{
    QStringList names;
    for (int c : m_tableColumns)
        names << m_columns.at(c).name;
    return RowWriter(*m_connection, m_table, names);
}

QVariant RecordSource::convertRead(int column, QVariant value) const
{
    return SourceReading::converted(m_columns.at(column), std::move(value));
}
