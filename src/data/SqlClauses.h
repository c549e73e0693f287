#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Reads the ORDER BY and GROUP BY clauses of a plain SELECT, so the program can order
// and group what it read by its own text rule (TextOrder) instead of the file's.
// Only clauses that name columns are read; anything else (expressions, LIMIT) gives
// nothing, and the rows are then left as the query returned them.
namespace SqlClauses {
struct OrderTerm {
    QString column; // unquoted, without a table prefix
    bool descending = false;
};

// The terms of the statement's last top-level ORDER BY; empty when it has none or one
// this reading does not cover.
QList<OrderTerm> orderBy(const QString& sql);
// The columns of the statement's top-level GROUP BY; empty likewise.
QStringList groupBy(const QString& sql);
// Whether the statement only reads (SELECT, EXPLAIN, a PRAGMA that sets nothing).
bool onlyReads(const QString& sql);
// A table or column name as SQL text, whatever characters it holds.
QString quotedName(const QString& identifier);
} // namespace SqlClauses
