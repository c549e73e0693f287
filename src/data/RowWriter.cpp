#include "RowWriter.h"

#include "Connection.h"
#include "SqlClauses.h"

#include <QSqlQuery>

namespace {
QString quotedList(const QStringList& names, const QString& after = {})
{
    QStringList parts;
    for (const QString& name : names)
        parts << SqlClauses::quotedName(name) + after;
    return parts.join(QStringLiteral(", "));
}
} // namespace

RowWriter::RowWriter(Connection& connection, const QString& table, const QStringList& columns)
    : m_connection(connection)
    , m_table(SqlClauses::quotedName(table))
    , m_columns(columns)
{
}

// The WHERE clause that finds the row read, appending its values. Texts compare exactly
// (the schema's columns fold case), and a null read matches only a null. Values read for
// other columns, or for none (a row gone before it could be read back), locate no row.
QString RowWriter::located(QVariantList& values, qint64 rowid, const QVariantList& read) const
{
    if (read.size() != m_columns.size())
        return {};
    QString where = QStringLiteral("rowid = ?");
    values << rowid;
    for (int i = 0; i < m_columns.size(); ++i) {
        where += QStringLiteral(" AND %1 IS ? COLLATE BINARY").arg(SqlClauses::quotedName(m_columns.at(i)));
        values << read.at(i);
    }
    return where;
}

// Text holding a NUL, a tab, a line break or another control character is cut or garbled
// by the reports and by other programs reading the file: none of it is written.
void RowWriter::refuseControlCharacters(const QStringList& names, const QVariantList& values)
{
    for (int i = 0; i < names.size(); ++i) {
        if (values.at(i).typeId() != QMetaType::QString)
            continue;
        const QString text = values.at(i).toString();
        for (qsizetype at = 0; at < text.size(); ++at) {
            const char16_t c = text.at(at).unicode();
            if (c < 0x20 || c == 0x7f) {
                throw DataError(QStringLiteral("Field \"%1\" cannot hold control characters such as tabs and line "
                                               "breaks, and its new value has one (U+%2) at character %3.")
                                    .arg(names.at(i), QString::number(c, 16).toUpper().rightJustified(4, u'0'))
                                    .arg(at + 1));
            }
        }
    }
}

qint64 RowWriter::insert(const QStringList& names, const QVariantList& values)
{
    refuseControlCharacters(names, values);
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(m_table)
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(m_table, quotedList(names),
                                       QStringList(names.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    return m_connection.run(sql, values).lastInsertId().toLongLong();
}

void RowWriter::update(qint64 rowid, const QVariantList& read, const QStringList& names, const QVariantList& values)
{
    refuseControlCharacters(names, values);
    QVariantList bound = values;
    const QString where = located(bound, rowid, read);
    const QString sql =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(m_table, quotedList(names, QStringLiteral(" = ?")), where);
    if (where.isEmpty() || m_connection.run(sql, bound).numRowsAffected() != 1) {
        throw RowConflict(QStringLiteral("Row cannot be located for updating. Some values may have been changed "
                                         "since it was last read."));
    }
}

void RowWriter::remove(qint64 rowid, const QVariantList& read)
{
    QVariantList bound;
    const QString where = located(bound, rowid, read);
    const QString sql = QStringLiteral("DELETE FROM %1 WHERE %2").arg(m_table, where);
    if (where.isEmpty() || m_connection.run(sql, bound).numRowsAffected() != 1) {
        throw RowConflict(QStringLiteral("Row cannot be located for deletion. Some values may have been changed "
                                         "since it was last read."));
    }
}

std::optional<QVariantList> RowWriter::reload(qint64 rowid)
{
    QSqlQuery query = m_connection.run(
        QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(quotedList(m_columns), m_table), {rowid});
    if (!query.next())
        return std::nullopt;
    QVariantList values;
    for (int i = 0; i < m_columns.size(); ++i) {
        const QVariant v = query.value(i);
        values << (v.isNull() ? QVariant() : v);
    }
    return values;
}
