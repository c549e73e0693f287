#pragma once

#include "DataError.h"
#include "RecordSource.h"
#include "StoreProblem.h"
#include "TextOrder.h"

#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

#include <type_traits>

// What RecordSource and KeyedRead both read a source with: the plan of its statement, its
// columns, its rows stepped from the engine's statement, and their order.
namespace SourceReading {
struct SourcePlan {
    QString table; // empty: read-only
    QString sql;
    QString list; // what a table's source selects
    QString rest; // what follows its table
};

// Decides whether a source reads one table row by row, so its rows can be written back by
// rowid, and if so adds the rowid to what it selects.
SourcePlan planSource(const QString& source);
// A source whose rows can be read by key and fetched by rowid later: it selects the table's
// own columns by name, and nothing after the table limits the rows by their place.
bool readableByKey(const SourcePlan& plan);

// The engine's statement behind a query, to read its rows without the driver's copy of each
// text in UTF-16 and its row cache, which cost more than the engine's reading itself.
sqlite3_stmt* statementOf(const QSqlQuery& query);
// A column of the statement's current row, as the driver would give it.
QVariant columnValue(sqlite3_stmt* statement, int column);

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

QVariant normalizedNull(const QVariant& v);
QVariant converted(const RecordSource::Column& column, QVariant value);

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

bool readIsValuesOf(const QList<RecordSource::Column>& columns, const QList<int>& tableColumns);

// A column of a table as PRAGMA table_info gives it.
struct TableColumn {
    QString name;
    QString type; // upper case
    int key = 0;  // its place in the primary key, 0 when not in it
};

// The source's columns from the names its statement gives them and its table's columns:
// which are the table's, which can be written (not the rowid itself), which hold dates.
QList<RecordSource::Column> columnsOf(const QStringList& names, const QList<TableColumn>& table);

// The source's ORDER BY as columns of the rows; none where it names a column they lack.
QList<RowOrder::Term> termsOf(const QList<SqlClauses::OrderTerm>& order, const QList<RecordSource::Column>& columns);
void sortRows(QList<RecordSource::Row>& rows, const QList<int>& order);
} // namespace SourceReading
