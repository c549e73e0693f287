#include "RecordSource.h"

#include "DataError.h"
#include "ReadAhead.h"
#include "StoreProblem.h"
#include "StoredDate.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

#include <algorithm>
#include <type_traits>
#include <vector>

namespace {
const QString RowidColumn = QStringLiteral("__rowid__");

struct SourcePlan {
    QString table; // empty: read-only
    QString sql;
    QString list; // what a table's source selects
    QString rest; // what follows its table
};

// Decides whether a source reads one table row by row, so its rows can be written back by
// rowid, and if so adds the rowid to what it selects.
SourcePlan planSource(const QString& source)
{
    const QString text = source.trimmed();
    static const QRegularExpression bareTable(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (bareTable.match(text).hasMatch())
        return {text, QStringLiteral("SELECT rowid AS %1, * FROM %2").arg(RowidColumn, SqlClauses::quotedName(text)),
                QStringLiteral("*"), QString()};

    static const QRegularExpression select(QStringLiteral("^SELECT\\s+(.+?)\\s+FROM\\s+([A-Za-z_][A-Za-z0-9_]*)(.*)$"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression plainList(QStringLiteral("^(?!(DISTINCT|ALL)\\b)[^()]+$"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression plainRest(
        QStringLiteral("^\\s*((WHERE|ORDER\\s+BY)\\b(?!.*\\b(JOIN|GROUP|UNION|HAVING|SELECT)\\b).*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = select.match(text);
    if (m.hasMatch() && plainList.match(m.captured(1)).hasMatch() && plainRest.match(m.captured(3)).hasMatch()) {
        const QString table = m.captured(2);
        return {table,
                QStringLiteral("SELECT %1.rowid AS %2, %3")
                    .arg(SqlClauses::quotedName(table), RowidColumn, text.mid(m.capturedStart(1))),
                m.captured(1).trimmed(), m.captured(3)};
    }
    return {{}, text, {}, {}};
}

bool isName(QStringView text)
{
    if (text.isEmpty() || text.front().isDigit())
        return false;
    for (const QChar c : text) {
        if (!(c.isLetterOrNumber() || c == u'_') || c.unicode() > 127)
            return false;
    }
    return true;
}

// A source whose rows can be read by key and fetched by rowid later: it selects the table's
// own columns by name, and nothing after the table limits the rows by their place.
bool readableByKey(const SourcePlan& plan)
{
    if (plan.table.isEmpty() || plan.rest.contains(QStringLiteral("LIMIT"), Qt::CaseInsensitive) ||
        plan.rest.contains(QStringLiteral("OFFSET"), Qt::CaseInsensitive))
        return false;
    if (plan.list == QStringLiteral("*"))
        return true;
    for (const QStringView name : QStringView(plan.list).split(u','))
        if (!isName(name.trimmed()))
            return false;
    return true;
}

QVariant normalizedNull(const QVariant& v) { return v.isNull() ? QVariant() : v; }

// The engine's statement behind a query, to read its rows without the driver's copy of each
// text in UTF-16 and its row cache, which cost more than the engine's reading itself.
sqlite3_stmt* statementOf(const QSqlQuery& query)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt* const*>(handle.constData());
}

// A column of the statement's current row, as the driver would give it.
QVariant columnValue(sqlite3_stmt* statement, int column)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        return qlonglong(sqlite3_column_int64(statement, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement, column)),
                          sqlite3_column_bytes(statement, column));
    case SQLITE_NULL:
        return {};
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
    }
    }
}

// Steps a query's rows from the one the driver stepped onto; `onRow(value)` takes each, where
// `value(column)` gives a column of it, or `onRow(value, statement)` with the engine's
// statement too (null where the driver gives none), to read a column without a QVariant. A
// failure part-way is thrown: the rows read so far are not the source.
template <typename OnRow> void eachRow(QSqlQuery& query, const QString& path, OnRow onRow)
{
    sqlite3_stmt* statement = statementOf(query);
    const auto value = [&](int i) { return statement ? columnValue(statement, i) : query.value(i); };
    bool onRow_ = statement ? sqlite3_data_count(statement) > 0 : query.next();
    while (onRow_) {
        if constexpr (std::is_invocable_v<OnRow, decltype(value)>)
            onRow(value);
        else
            onRow(value, statement);
        if (!statement) {
            onRow_ = query.next();
            continue;
        }
        const int code = sqlite3_step(statement);
        onRow_ = code == SQLITE_ROW;
        if (!onRow_ && code != SQLITE_DONE) {
            const StoreProblem problem = StoreProblem::ofStatement(
                path, code & 0xff, QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement))), false);
            if (problem.kind() == StoreProblem::Kind::Other)
                throw DataError(problem.description());
            throw StoreError(problem);
        }
    }
}

QVariant converted(const RecordSource::Column& column, QVariant value)
{
    if (column.isDate)
        return StoredDate::fromStored(value);
    return value.isNull() ? QVariant() : std::move(value);
}

// A row's values from the statement's columns after the rowid, and what the file held for
// the table's columns among them. Where those are all the row's and none is a date, the
// two lists share one copy.
template <typename ValueAt>
void fillRow(RecordSource::Row& row, const QList<RecordSource::Column>& columns, const QList<int>& tableColumns,
             bool readIsValues, int first, ValueAt value)
{
    row.values.reserve(columns.size());
    for (int c = 0; c < columns.size(); ++c)
        row.values.append(converted(columns.at(c), value(c + first)));
    if (readIsValues) {
        row.read = row.values;
    } else {
        row.read.reserve(tableColumns.size());
        for (int c : tableColumns)
            row.read.append(columns.at(c).isDate ? normalizedNull(value(c + first)) : row.values.at(c));
    }
    row.loaded = true;
}

bool readIsValuesOf(const QList<RecordSource::Column>& columns, const QList<int>& tableColumns)
{
    bool same = tableColumns.size() == columns.size();
    for (int c = 0; same && c < columns.size(); ++c)
        same = tableColumns.at(c) == c && !columns.at(c).isDate;
    return same;
}

// A column of a table as PRAGMA table_info gives it.
struct TableColumn {
    QString name;
    QString type; // upper case
    int key = 0;  // its place in the primary key, 0 when not in it
};

// The source's columns from the names its statement gives them and its table's columns:
// which are the table's, which can be written (not the rowid itself), which hold dates.
QList<RecordSource::Column> columnsOf(const QStringList& names, const QList<TableColumn>& table)
{
    int keyColumns = 0;
    for (const TableColumn& c : table)
        keyColumns += c.key > 0 ? 1 : 0;
    QHash<QString, std::pair<QString, bool>> tableColumns; // lower name -> type, is rowid
    for (const TableColumn& c : table)
        tableColumns.insert(c.name.toLower(),
                            {c.type, c.key > 0 && keyColumns == 1 && c.type == QStringLiteral("INTEGER")});
    QList<RecordSource::Column> columns;
    for (const QString& name : names) {
        const auto it = tableColumns.constFind(name.toLower());
        const bool inTable = it != tableColumns.constEnd();
        columns.append(
            {name, inTable, inTable && !it->second, inTable && it->first.startsWith(QStringLiteral("DATE"))});
    }
    return columns;
}

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
} // namespace

void RecordSource::open(std::shared_ptr<Connection> connection, const QString& source)
{
    const SourcePlan plan = planSource(source);
    m_connection = std::move(connection);
    m_source = source;
    m_table = plan.table;
    // The order is the program's (TextOrder), applied once the rows are read. Read in the
    // file's order for the same columns, they mostly need no sorting at all.
    m_order = SqlClauses::orderBy(source);
    m_selectSql = plan.sql;
    m_selectList = readableByKey(plan) ? plan.list : QString();
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
    QList<TableColumn> table;
    if (!m_table.isEmpty()) {
        QSqlQuery info =
            m_connection->run(QStringLiteral("PRAGMA table_info(%1)").arg(SqlClauses::quotedName(m_table)));
        while (info.next())
            table.append({info.value(1).toString(), info.value(2).toString().toUpper(), info.value(5).toInt()});
    }
    QStringList names;
    for (int i = m_table.isEmpty() ? 0 : 1; i < record.count(); ++i)
        names << record.fieldName(i);
    m_columns = columnsOf(names, table);
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
        const bool readIsValues = readIsValuesOf(m_columns, m_tableColumns);
        eachRow(query, m_connection->filePath(), [&](const auto& value) {
            Row row;
            row.serial = nextSerial++;
            if (first == 1)
                row.rowid = value(0).toLongLong();
            fillRow(row, m_columns, m_tableColumns, readIsValues, first, value);
            rows.append(std::move(row));
        });
    }
    m_fetch.reset();
    const QList<RowOrder::Term> terms = orderTerms();
    sortRows(rows, RowOrder::permutation(int(rows.size()), terms,
                                         [&](int r, int c) -> const QVariant& { return rows.at(r).values.at(c); }));
    return rows;
}

// The rowids in order, and the ordering columns to put them in the program's order; the
// rest is fetched when asked for. Empty when the source turns out to select other than
// its table's own columns.
std::optional<QList<RecordSource::Row>> RecordSource::readKeys(quint64& nextSerial)
{
    {
        // The columns, without reading a row.
        QSqlQuery shape = m_connection->run(QStringLiteral("SELECT * FROM (%1) LIMIT 0").arg(m_selectSql));
        takeColumns(shape.record());
    }
    const QString sql = keysSql(m_table, m_afterTable, m_columns, m_order);
    if (sql.isEmpty())
        return std::nullopt;
    const QList<RowOrder::Term> terms = orderTerms();
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
        eachRow(query, m_connection->filePath(), [&](const auto& value, sqlite3_stmt* statement) {
            rows.append(keyRow(statement ? sqlite3_column_int64(statement, 0) : value(0).toLongLong(), nextSerial++));
            if (asTexts && statement && sqlite3_column_type(statement, 1) == SQLITE_TEXT) {
                appendText(texts, statement, 1);
                ends.push_back(texts.size());
                return;
            }
            if (asTexts)
                toValues();
            for (int k = 0; k < terms.size(); ++k)
                keyValues.append(converted(m_columns.at(terms.at(k).column), value(k + 1)));
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
        sortRows(rows, RowOrder::permutation(int(rows.size()), byKey, [&](int r, int k) -> const QVariant& {
                     return keyValues.at(r * width + k);
                 }));
    }

    const QString table = SqlClauses::quotedName(m_table);
    auto fetch = std::make_shared<Fetch>();
    fetch->m_connection = m_connection;
    fetch->m_table = table;
    fetch->m_rowidColumn = table + QStringLiteral(".rowid");
    fetch->m_sql = QStringLiteral("SELECT %1, %2 FROM %3").arg(fetch->m_rowidColumn, m_selectList, table);
    fetch->m_columns = m_columns;
    fetch->m_tableColumns = m_tableColumns;
    fetch->m_blank = QVariantList(m_columns.size());
    m_fetch = std::move(fetch);
    return rows;
}

RecordSource::KeysAhead::KeysAhead(const QString& source)
{
    const SourcePlan plan = planSource(source);
    if (!readableByKey(plan))
        return;
    m_table = plan.table;
    m_selectSql = plan.sql;
    m_afterTable = plan.rest;
    m_order = SqlClauses::orderBy(source);
}

// As readKeys does, with the engine's own calls: the columns from a statement that reads no
// row, then the keys. Keys that are not all texts are left to the source, which converts them.
std::optional<std::pair<QString, RecordSource::Keys>> RecordSource::KeysAhead::readWith(sqlite3* db) const
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
    QList<TableColumn> table;
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
    const QList<Column> columns = columnsOf(names, table);
    const QString sql = keysSql(m_table, m_afterTable, columns, m_order);
    const QList<RowOrder::Term> terms = termsOf(m_order, columns);
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

// The source's ORDER BY as columns of the rows; none where it names a column they lack.
QList<RowOrder::Term> RecordSource::termsOf(const QList<SqlClauses::OrderTerm>& order, const QList<Column>& columns)
{
    QList<RowOrder::Term> terms;
    for (const SqlClauses::OrderTerm& t : order) {
        int column = -1;
        for (int c = 0; column < 0 && c < columns.size(); ++c) {
            if (columns.at(c).name.compare(t.column, Qt::CaseInsensitive) == 0)
                column = c;
        }
        if (column < 0)
            return {};
        terms.append({column, t.descending});
    }
    return terms;
}

QString RecordSource::keysSql(const QString& table, const QString& afterTable, const QList<Column>& columns,
                              const QList<SqlClauses::OrderTerm>& order)
{
    const QList<RowOrder::Term> terms = termsOf(order, columns);
    const bool allInTable = std::all_of(columns.begin(), columns.end(), [](const Column& c) { return c.inTable; });
    if (!allInTable || terms.size() != order.size())
        return {};
    const QString quoted = SqlClauses::quotedName(table);
    QString sql = QStringLiteral("SELECT %1.rowid").arg(quoted);
    for (const RowOrder::Term& t : terms)
        sql += QStringLiteral(", %1.%2").arg(quoted, SqlClauses::quotedName(columns.at(t.column).name));
    return sql + QStringLiteral(" FROM ") + quoted + afterTable;
}

void RecordSource::sortRows(QList<Row>& rows, const QList<int>& order)
{
    if (order.isEmpty())
        return;
    QList<Row> sorted;
    sorted.reserve(rows.size());
    for (int i : order)
        sorted.append(std::move(rows[i]));
    rows = std::move(sorted);
}

const QVariantList& RecordSource::Fetch::valuesAt(QList<Row>& rows, const QList<int>& visible, int visibleRow) const
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

void RecordSource::Fetch::load(QList<Row>& rows, int index) const
{
    if (!rows.at(index).loaded)
        fetch(rows, {index}, false);
}

void RecordSource::Fetch::loadAll(QList<Row>& rows) const
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

void RecordSource::Fetch::loadColumn(QList<Row>& rows, int column) const
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
    eachRow(query, m_connection->filePath(), [&](const auto& value) {
        if (const auto found = wanted.constFind(value(0).toLongLong()); found != wanted.constEnd())
            rows[found.value()].values[column] = converted(m_columns.at(column), value(1));
    });
}

// Reads the rows at `indexes` by rowid, or the whole table when they are most of it.
void RecordSource::Fetch::fetch(QList<Row>& rows, const QList<int>& indexes, bool all) const
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
    const bool readIsValues = readIsValuesOf(m_columns, m_tableColumns);
    eachRow(query, m_connection->filePath(), [&](const auto& value) {
        const auto found = wanted.constFind(value(0).toLongLong());
        if (found == wanted.constEnd())
            return;
        Row& row = rows[found.value()];
        row.values.clear();
        row.read.clear();
        fillRow(row, m_columns, m_tableColumns, readIsValues, 1, value);
        wanted.erase(found);
    });
    // Gone since the keys were read: nothing to show, nothing to locate a write by.
    for (int i : std::as_const(wanted)) {
        rows[i].values = m_blank;
        rows[i].read.clear();
        rows[i].loaded = true;
    }
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
    return converted(m_columns.at(column), std::move(value));
}
