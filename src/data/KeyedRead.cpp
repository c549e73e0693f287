#include "KeyedRead.h"

#include "ReadAhead.h"
#include "SourceReading.h"
#include "TextOrder.h"

#include <QHash>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>

namespace {
// A row read by key only: its values are fetched when something first asks for them.
RecordSource::Row keyRow(qint64 rowid, quint64 serial = 0)
{
    RecordSource::Row row;
    row.rowid = rowid;
    row.serial = serial;
    row.loaded = false;
    return row;
}

// Adds a text column of the statement's row to texts kept end to end.
void appendText(QString& texts, sqlite3_stmt* statement, int column)
{
    const char* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    const QByteArrayView utf8(bytes, sqlite3_column_bytes(statement, column));
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; }))
        texts.append(QLatin1StringView(utf8));
    else
        texts.append(QString::fromUtf8(utf8));
}

using Statement = std::unique_ptr<sqlite3_stmt, decltype(&sqlite3_finalize)>;

Statement prepared(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare16_v2(db, sql.utf16(), int(sql.size() * sizeof(char16_t)), &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    return Statement(statement, &sqlite3_finalize);
}

QString columnText(sqlite3_stmt* statement, int column)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, column)),
                             sqlite3_column_bytes(statement, column));
}

// The statement that reads the keys of a table source's rows; empty unless the source
// selects the table's own columns and orders by columns it has.
QString keysSql(const QString& quotedTable, const QString& afterTable, const QList<RecordSource::Column>& columns,
                const QList<SqlClauses::OrderTerm>& order)
{
    const QList<RowOrder::Term> terms = SourceReading::termsOf(order, columns);
    const bool allInTable =
        std::all_of(columns.begin(), columns.end(), [](const RecordSource::Column& c) { return c.inTable; });
    if (!allInTable || terms.size() != order.size())
        return {};
    QString sql = QStringLiteral("SELECT %1.rowid").arg(quotedTable);
    for (const RowOrder::Term& t : terms)
        sql += QStringLiteral(", %1.%2").arg(quotedTable, SqlClauses::quotedName(columns.at(t.column).name));
    return sql + QStringLiteral(" FROM ") + quotedTable + afterTable;
}
} // namespace

KeyedRead::KeyedRead(std::shared_ptr<Connection> connection, const QString& table, const QString& selectList,
                     const QList<Column>& columns, const QList<int>& tableColumns)
    : m_connection(std::move(connection))
    , m_table(SqlClauses::quotedName(table))
    , m_rowidColumn(m_table + QStringLiteral(".rowid"))
    , m_sql(QStringLiteral("SELECT %1, %2 FROM %3").arg(m_rowidColumn, selectList, m_table))
    , m_columns(columns)
    , m_tableColumns(tableColumns)
    , m_blank(columns.size())
{
}

// The ordering columns come with the rowids, to put them in the program's order; the rest
// is fetched when asked for.
std::optional<QList<KeyedRead::Row>>
KeyedRead::readKeys(const QString& afterTable, const QList<SqlClauses::OrderTerm>& order, quint64& nextSerial) const
{
    const QString sql = keysSql(m_table, afterTable, m_columns, order);
    if (sql.isEmpty())
        return std::nullopt;
    const QList<RowOrder::Term> terms = SourceReading::termsOf(order, m_columns);
    // One text to order by, as most sources have, is kept with the others end to end in one
    // string: a string for each row would cost an allocation a row, and rows read in the
    // file's order mostly need no more than a look at their neighbours.
    Keys keys;
    QList<Row>& rows = keys.rows;
    QString& texts = keys.texts;
    std::vector<qsizetype>& ends = keys.ends;
    bool asTexts = terms.size() == 1 && !m_columns.at(terms.at(0).column).isDate;
    QList<QVariant> keyValues;
    const auto text = [&](qsizetype r) { return QStringView(texts).sliced(ends[r], ends[r + 1] - ends[r]); };
    const auto toValues = [&] {
        for (qsizetype r = 0; r + 1 < qsizetype(ends.size()); ++r)
            keyValues.append(text(r).toString());
        asTexts = false;
    };
    if (std::optional<Keys> ahead = ReadAhead::take(m_connection->filePath(), sql)) {
        keys = std::move(*ahead);
        for (Row& row : rows)
            row.serial = nextSerial++;
    } else {
        QSqlQuery query = m_connection->run(sql);
        SourceReading::eachRow(query, m_connection->filePath(), [&](const auto& value, sqlite3_stmt* statement) {
            rows.append(keyRow(statement ? sqlite3_column_int64(statement, 0) : value(0).toLongLong(), nextSerial++));
            if (asTexts && statement && sqlite3_column_type(statement, 1) == SQLITE_TEXT) {
                appendText(texts, statement, 1);
                ends.push_back(texts.size());
                return;
            }
            if (asTexts)
                toValues();
            for (int k = 0; k < terms.size(); ++k)
                keyValues.append(SourceReading::converted(m_columns.at(terms.at(k).column), value(k + 1)));
        });
    }
    if (asTexts) {
        const TextOrder& rule = TextOrder::current();
        const int direction = terms.at(0).descending ? -1 : 1;
        bool ordered = true;
        for (qsizetype r = 1; ordered && r < rows.size(); ++r)
            ordered = direction * rule.compare(text(r - 1), text(r)) <= 0;
        if (!ordered)
            toValues();
    }
    if (!asTexts) {
        // Ordered by the key values' places, not the columns'.
        QList<RowOrder::Term> byKey;
        for (int k = 0; k < terms.size(); ++k)
            byKey.append({k, terms.at(k).descending});
        const qsizetype width = terms.size();
        SourceReading::sortRows(
            rows, RowOrder::permutation(int(rows.size()), byKey,
                                        [&](int r, int k) -> const QVariant& { return keyValues.at(r * width + k); }));
    }
    return rows;
}

KeyedRead::KeysAhead::KeysAhead(const QString& source)
{
    const SourceReading::SourcePlan plan = SourceReading::planSource(source);
    if (!SourceReading::readableByKey(plan))
        return;
    m_table = plan.table;
    m_selectSql = plan.sql;
    m_afterTable = plan.rest;
    m_order = SqlClauses::orderBy(source);
}

// As a source's read by key does, with the engine's own calls: the columns from a statement
// that reads no row, then the keys. Keys that are not all texts are left to the source,
// which converts them.
std::optional<std::pair<QString, KeyedRead::Keys>> KeyedRead::KeysAhead::readWith(sqlite3* db) const
{
    if (m_table.isEmpty())
        return std::nullopt;
    QStringList names;
    {
        const Statement shape = prepared(db, QStringLiteral("SELECT * FROM (%1) LIMIT 0").arg(m_selectSql));
        if (!shape)
            return std::nullopt;
        for (int i = 1; i < sqlite3_column_count(shape.get()); ++i) {
            // Named as Qt's driver names a field, or not read here.
            const QString name = QString::fromUtf8(sqlite3_column_name(shape.get(), i));
            if (name.contains(u'"') || name.contains(u'.'))
                return std::nullopt;
            names << name;
        }
    }
    QList<SourceReading::TableColumn> table;
    {
        const Statement info =
            prepared(db, QStringLiteral("PRAGMA table_info(%1)").arg(SqlClauses::quotedName(m_table)));
        if (!info)
            return std::nullopt;
        int code = SQLITE_ROW;
        while ((code = sqlite3_step(info.get())) == SQLITE_ROW)
            table.append(
                {columnText(info.get(), 1), columnText(info.get(), 2).toUpper(), sqlite3_column_int(info.get(), 5)});
        if (code != SQLITE_DONE)
            return std::nullopt;
    }
    const QList<Column> columns = SourceReading::columnsOf(names, table);
    const QString sql = keysSql(SqlClauses::quotedName(m_table), m_afterTable, columns, m_order);
    const QList<RowOrder::Term> terms = SourceReading::termsOf(m_order, columns);
    if (sql.isEmpty() || terms.size() > 1 || (terms.size() == 1 && columns.at(terms.at(0).column).isDate))
        return std::nullopt;
    const Statement query = prepared(db, sql);
    if (!query)
        return std::nullopt;
    Keys keys;
    int code = SQLITE_ROW;
    while ((code = sqlite3_step(query.get())) == SQLITE_ROW) {
        keys.rows.append(keyRow(sqlite3_column_int64(query.get(), 0)));
        if (terms.isEmpty())
            continue;
        if (sqlite3_column_type(query.get(), 1) != SQLITE_TEXT)
            return std::nullopt;
        appendText(keys.texts, query.get(), 1);
        keys.ends.push_back(keys.texts.size());
    }
    if (code != SQLITE_DONE)
        return std::nullopt;
    return std::pair{sql, std::move(keys)};
}

const QVariantList& KeyedRead::valuesAt(QList<Row>& rows, const QList<int>& visible, int visibleRow) const
{
    // A block from a little before the row on: a view asks for the rows it shows top down.
    QList<int> wanted;
    for (int v = std::max(0, visibleRow - m_block / 8); v < visible.size() && wanted.size() < m_block; ++v) {
        if (!rows.at(visible.at(v)).loaded)
            wanted << visible.at(v);
    }
    try {
        // Rows asked for one after another, most of the table by now: the rest in one pass.
        if (wanted.size() * 4 >= rows.size())
            loadAll(rows);
        else
            fetch(rows, wanted, false);
    } catch (const std::exception&) {
        // Drawn blank now, fetched at the next ask; the user's next action meets the cause.
        return m_blank;
    }
    m_block = std::min(m_block * 2, 1 << 20);
    return rows.at(visible.at(visibleRow)).values;
}

void KeyedRead::load(QList<Row>& rows, int index) const
{
    if (!rows.at(index).loaded)
        fetch(rows, {index}, false);
}

void KeyedRead::loadAll(QList<Row>& rows) const
{
    QList<int> wanted;
    for (int i = 0; i < rows.size(); ++i) {
        if (!rows.at(i).loaded)
            wanted << i;
    }
    // Most of the rows: one pass over the table costs less than finding each by rowid.
    if (wanted.size() > 64 && wanted.size() * 4 >= rows.size()) {
        fetch(rows, wanted, true);
        return;
    }
    for (qsizetype from = 0; from < wanted.size(); from += 512)
        fetch(rows, wanted.mid(from, 512), false);
}

void KeyedRead::loadColumn(QList<Row>& rows, int column) const
{
    QHash<qint64, int> wanted;
    for (int i = 0; i < rows.size(); ++i) {
        if (!rows.at(i).loaded) {
            wanted.insert(rows.at(i).rowid, i);
            if (rows.at(i).values.isEmpty())
                rows[i].values = m_blank;
        }
    }
    if (wanted.isEmpty())
        return;
    QSqlQuery query =
        m_connection->run(QStringLiteral("SELECT %1, %2 FROM %3")
                              .arg(m_rowidColumn, SqlClauses::quotedName(m_columns.at(column).name), m_table));
    SourceReading::eachRow(query, m_connection->filePath(), [&](const auto& value) {
        if (const auto found = wanted.constFind(value(0).toLongLong()); found != wanted.constEnd())
            rows[found.value()].values[column] = SourceReading::converted(m_columns.at(column), value(1));
    });
}

// Reads the rows at `indexes` by rowid, or the whole table when they are most of it.
void KeyedRead::fetch(QList<Row>& rows, const QList<int>& indexes, bool all) const
{
    QHash<qint64, int> wanted;
    wanted.reserve(indexes.size());
    QStringList rowids;
    for (int i : indexes) {
        wanted.insert(rows.at(i).rowid, i);
        if (!all)
            rowids << QString::number(rows.at(i).rowid);
    }
    const QString sql = all ? m_sql : m_sql + QStringLiteral(" WHERE %1 IN (%2)").arg(m_rowidColumn, rowids.join(u','));
    QSqlQuery query = m_connection->run(sql);
    const bool readIsValues = SourceReading::readIsValuesOf(m_columns, m_tableColumns);
    SourceReading::eachRow(query, m_connection->filePath(), [&](const auto& value) {
        const auto found = wanted.constFind(value(0).toLongLong());
        if (found == wanted.constEnd())
            return;
        Row& row = rows[found.value()];
        row.values.clear();
        row.read.clear();
        SourceReading::fillRow(row, m_columns, m_tableColumns, readIsValues, 1, value);
        wanted.erase(found);
    });
    // Gone since the keys were read: nothing to show, nothing to locate a write by.
    for (int i : std::as_const(wanted)) {
        rows[i].values = m_blank;
        rows[i].read.clear();
        rows[i].loaded = true;
    }
}
