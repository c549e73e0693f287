#include "SourceReading.h"

#include "StoredDate.h"

#include <QHash>
#include <QRegularExpression>
#include <QSqlResult>

#include <utility>

namespace {
const QString RowidColumn = QStringLiteral("__rowid__");

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
} // namespace

namespace SourceReading {
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

sqlite3_stmt* statementOf(const QSqlQuery& query)
{
    const QVariant handle = query.result() ? query.result()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3_stmt*") != 0)
        return nullptr;
    return *static_cast<sqlite3_stmt* const*>(handle.constData());
}

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

QVariant converted(const RecordSource::Column& column, QVariant value)
{
    if (column.isDate)
        return StoredDate::fromStored(value);
    return value.isNull() ? QVariant() : std::move(value);
}

bool readIsValuesOf(const QList<RecordSource::Column>& columns, const QList<int>& tableColumns)
{
    bool same = tableColumns.size() == columns.size();
    for (int c = 0; same && c < columns.size(); ++c)
        same = tableColumns.at(c) == c && !columns.at(c).isDate;
    return same;
}

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

QList<RowOrder::Term> termsOf(const QList<SqlClauses::OrderTerm>& order, const QList<RecordSource::Column>& columns)
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

void sortRows(QList<RecordSource::Row>& rows, const QList<int>& order)
{
    if (order.isEmpty())
        return;
    QList<RecordSource::Row> sorted;
    sorted.reserve(rows.size());
    for (int i : order)
        sorted.append(std::move(rows[i]));
    rows = std::move(sorted);
}
} // namespace SourceReading
