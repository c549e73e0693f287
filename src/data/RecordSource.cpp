#include "RecordSource.h"

#include "DataError.h"
#include "StoreProblem.h"
#include "StoredDate.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QSqlResult>

#include <sqlite3.h>

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace {
const QString RowidColumn = QStringLiteral("__rowid__");

struct SourcePlan {
    QString table; // empty: read-only
    QString sql;
};

// Decides whether a source reads one table row by row, so its rows can be written back by
// rowid, and if so adds the rowid to what it selects.
SourcePlan planSource(const QString& source)
{
    const QString text = source.trimmed();
    static const QRegularExpression bareTable(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (bareTable.match(text).hasMatch())
        return {text, QStringLiteral("SELECT rowid AS %1, * FROM %2").arg(RowidColumn, SqlClauses::quotedName(text))};

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
        return {table, QStringLiteral("SELECT %1.rowid AS %2, %3")
                           .arg(SqlClauses::quotedName(table), RowidColumn, text.mid(m.capturedStart(1)))};
    }
    return {{}, text};
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

// The texts of one column, each made once and then shared: a catalogue's rows hold few
// distinct categories and aisles, a list's few dates and quantities, and a new string costs
// an allocation. A column whose texts do not repeat (the items) soon stops looking.
class TextShare {
public:
    QString text(const char* bytes, int size)
    {
        if (m_off || size == 0 || size > MaxSize)
            return QString::fromUtf8(bytes, size);
        const std::string_view key(bytes, size_t(size));
        Slot& slot = m_slots[qHash(QByteArrayView(bytes, size)) % Slots];
        ++m_tries;
        if (slot.filled && slot.bytes == key) {
            ++m_hits;
            return slot.text;
        }
        slot.bytes.assign(key);
        slot.text = QString::fromUtf8(bytes, size);
        slot.filled = true;
        m_off = m_tries == Trial && m_hits < Trial / 2;
        return slot.text;
    }

private:
    static constexpr int Slots = 256;
    static constexpr int MaxSize = 40;
    static constexpr int Trial = 256;
    struct Slot {
        std::string bytes;
        QString text;
        bool filled = false;
    };
    std::array<Slot, Slots> m_slots;
    int m_tries = 0;
    int m_hits = 0;
    bool m_off = false;
};

// A column of the statement's current row, as the driver would give it.
QVariant columnValue(sqlite3_stmt* statement, int column, TextShare& texts)
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
        return texts.text(text, sqlite3_column_bytes(statement, column));
    }
    }
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

// Reads the rows and puts them in the source's order; where that order names a column the
// rows do not have, they stay as the query gave them.
QList<RecordSource::Row> RecordSource::read(quint64& nextSerial)
{
    m_matchesFileAt.reset();
    // The version before the rows: a write committed in between makes the next check re-read.
    const Connection::Version before = m_connection->version();
    QList<Row> rows;
    QList<Column> columns;
    {
        QSqlQuery query = m_connection->run(m_selectSql);
        const QSqlRecord record = query.record();
        const int first = m_table.isEmpty() ? 0 : 1;

        QHash<QString, std::pair<QString, bool>> tableColumns; // lower name -> type, is rowid
        if (!m_table.isEmpty()) {
            QSqlQuery info =
                m_connection->run(QStringLiteral("PRAGMA table_info(%1)").arg(SqlClauses::quotedName(m_table)));
            QList<std::tuple<QString, QString, int>> found;
            int keyColumns = 0;
            while (info.next()) {
                found.append({info.value(1).toString(), info.value(2).toString().toUpper(), info.value(5).toInt()});
                keyColumns += info.value(5).toInt() > 0 ? 1 : 0;
            }
            for (const auto& [name, type, pk] : found)
                tableColumns.insert(name.toLower(),
                                    {type, pk > 0 && keyColumns == 1 && type == QStringLiteral("INTEGER")});
        }
        for (int i = first; i < record.count(); ++i) {
            const QString name = record.fieldName(i);
            const auto it = tableColumns.constFind(name.toLower());
            const bool inTable = it != tableColumns.constEnd();
            columns.append(
                {name, inTable, inTable && !it->second, inTable && it->first.startsWith(QStringLiteral("DATE"))});
        }
        m_columns = columns;
        m_tableColumns.clear();
        for (int c = 0; c < columns.size(); ++c) {
            if (columns.at(c).inTable)
                m_tableColumns << c;
        }
        // The driver has stepped onto the first row; the rest are stepped here.
        sqlite3_stmt* statement = statementOf(query);
        std::vector<TextShare> texts(record.count());
        const auto value = [&](int i) { return statement ? columnValue(statement, i, texts[i]) : query.value(i); };
        // Where the table's columns are all the row's and none is a date, what the file held
        // is what the row holds: the two lists share one copy.
        bool readIsValues = m_tableColumns.size() == columns.size();
        for (int c = 0; c < columns.size(); ++c)
            readIsValues = readIsValues && m_tableColumns.at(c) == c && !columns.at(c).isDate;
        bool onRow = statement ? sqlite3_data_count(statement) > 0 : query.next();
        while (onRow) {
            Row row;
            row.serial = nextSerial++;
            if (first == 1)
                row.rowid = value(0).toLongLong();
            row.values.reserve(columns.size());
            for (int c = 0; c < columns.size(); ++c)
                row.values.append(convertRead(c, value(c + first)));
            if (readIsValues) {
                row.read = row.values;
            } else {
                row.read.reserve(m_tableColumns.size());
                for (int c : m_tableColumns)
                    row.read.append(columns.at(c).isDate ? normalizedNull(value(c + first)) : row.values.at(c));
            }
            rows.append(std::move(row));
            if (!statement) {
                onRow = query.next();
                continue;
            }
            const int code = sqlite3_step(statement);
            onRow = code == SQLITE_ROW;
            if (!onRow && code != SQLITE_DONE) {
                // Damage or a lock met part-way: the rows read so far are not the source.
                const StoreProblem problem =
                    StoreProblem::ofStatement(m_connection->filePath(), code & 0xff,
                                              QString::fromUtf8(sqlite3_errmsg(sqlite3_db_handle(statement))), false);
                if (problem.kind() == StoreProblem::Kind::Other)
                    throw DataError(problem.description());
                throw StoreError(problem);
            }
        }
    }
    // The source's ORDER BY once more, by the program's rule: the file orders by its own.
    QList<RowOrder::Term> terms;
    for (const SqlClauses::OrderTerm& t : m_order) {
        const int column = fieldIndex(t.column);
        if (column < 0) {
            terms.clear();
            break;
        }
        terms.append({column, t.descending});
    }
    const QList<int> order = RowOrder::permutation(
        int(rows.size()), terms, [&](int r, int c) -> const QVariant& { return rows.at(r).values.at(c); }, &m_orderKeys,
        &m_orderMemory);
    if (!order.isEmpty()) {
        QList<Row> sorted;
        sorted.reserve(rows.size());
        for (int i : order)
            sorted.append(std::move(rows[i]));
        rows = std::move(sorted);
    }
    m_matchesFileAt = before;
    m_orderGeneration = TextOrder::current().generation();
    return rows;
}

bool RecordSource::reload(Row& row)
{
    const std::optional<QVariantList> stored = writer().reload(row.rowid);
    if (!stored)
        return false;
    row.read = *stored;
    for (int i = 0; i < m_tableColumns.size(); ++i)
        row.values[m_tableColumns.at(i)] = convertRead(m_tableColumns.at(i), stored->at(i));
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
    if (m_columns.at(column).isDate)
        return StoredDate::fromStored(value);
    return value.isNull() ? QVariant() : std::move(value);
}
