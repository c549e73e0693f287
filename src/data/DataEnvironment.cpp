#include "DataEnvironment.h"

#include "CommandText.h"
#include "DataError.h"
#include "SqlClauses.h"
#include "StoredDate.h"
#include "TextOrder.h"

#include <QSqlQuery>
#include <QSqlRecord>

#include <QHash>
#include <QSet>

#include <algorithm>
#include <numeric>

namespace {
std::unique_ptr<DataEnvironment>& holder()
{
    static std::unique_ptr<DataEnvironment> environment;
    return environment;
}

RowTable readAll(QSqlQuery& query)
{
    RowTable table;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        table.columns << record.fieldName(i);
    while (query.next()) {
        QVariantList row;
        row.reserve(record.count());
        for (int i = 0; i < record.count(); ++i) {
            const QVariant v = query.value(i);
            row << (v.isNull() ? QVariant() : v);
        }
        table.rows << row;
    }
    return table;
}

QString textOf(const QVariant& v)
{
    if (v.isNull())
        return QStringLiteral("");
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v.toString();
}

// The query's ORDER BY as terms over the table's columns (none when a column is unknown),
// leaving out `except`; then the `tieBreak` columns not named yet.
QList<RowOrder::Term> orderTerms(const RowTable& table, const QString& sql, int except = -1,
                                 const QStringList& tieBreak = {})
{
    QList<RowOrder::Term> terms;
    QList<int> used{except};
    for (const SqlClauses::OrderTerm& t : SqlClauses::orderBy(sql)) {
        const int c = table.columnIndex(t.column);
        if (c < 0)
            return {};
        if (!used.contains(c))
            terms.append({c, t.descending});
        used << c;
    }
    for (const QString& name : tieBreak) {
        const int c = table.columnIndex(name);
        if (c >= 0 && !used.contains(c)) {
            terms.append({c, false});
            used << c;
        }
    }
    return terms;
}

void sortRows(QList<QVariantList>& rows, const QList<RowOrder::Term>& terms)
{
    const QList<int> order = RowOrder::permutation(int(rows.size()), terms,
                                                   [&](int r, int c) -> const QVariant& { return rows.at(r).at(c); });
    if (order.isEmpty())
        return;
    QList<QVariantList> sorted;
    sorted.reserve(rows.size());
    for (int i : order)
        sorted << rows.at(i);
    rows = sorted;
}

// The inner query's GROUP BY when it names every column selected: the query asks for
// distinct rows.
QStringList distinctColumns(const RowTable& inner, const QString& sql)
{
    const QStringList groupBy = SqlClauses::groupBy(sql);
    if (groupBy.isEmpty())
        return {};
    for (const QString& column : inner.columns) {
        if (!groupBy.contains(column, Qt::CaseInsensitive))
            return {};
    }
    return groupBy;
}

// One group per grouping value, values that are the same text (TextOrder::sameText) being
// one group, and an empty or null value one group with an empty heading, its heading the
// first value read. Groups in the text order (the same-text key breaking ties, so "aisle 9"
// and "aisle 09" keep one place). Within a group, rows the query asked to be distinct are
// distinct by sameness too (null and empty being one), and rows follow the query's ORDER BY
// by the text order (other distinct columns breaking ties), or stay as read when it has none.
void group(const RowTable& inner, const QString& sql, const QString& column, RowTable& parents,
           QList<RowTable>& children)
{
    const int c = inner.columnIndex(column);
    if (c < 0)
        throw DataError(QStringLiteral("The grouping column \"%1\" is not in the command's result.").arg(column));
    const TextOrder& rule = TextOrder::current();

    const QStringList distinct = distinctColumns(inner, sql);
    QList<int> distinctIndexes;
    for (const QString& name : distinct) {
        const int i = inner.columnIndex(name);
        if (i != c)
            distinctIndexes << i;
    }

    QHash<QString, int> groupOf;
    QStringList headings, sameKeys;
    QList<RowTable> found;
    QList<QSet<QStringList>> seen;
    for (const QVariantList& row : inner.rows) {
        const QString value = textOf(row.at(c));
        const QString same = TextOrder::sameKey(value);
        auto g = groupOf.find(same);
        if (g == groupOf.end()) {
            g = groupOf.insert(same, int(found.size()));
            headings << value;
            sameKeys << same;
            found << RowTable{inner.columns, {}};
            seen.append(QSet<QStringList>());
        }
        if (!distinctIndexes.isEmpty()) {
            QStringList identity;
            for (int i : distinctIndexes)
                identity << TextOrder::sameKey(textOf(row.at(i)));
            if (seen[*g].contains(identity))
                continue;
            seen[*g].insert(identity);
        }
        found[*g].rows << row;
    }

    QList<int> order(found.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int byText = rule.compare(headings.at(a), headings.at(b));
        return byText != 0 ? byText < 0 : sameKeys.at(a) < sameKeys.at(b);
    });
    const QList<RowOrder::Term> terms = orderTerms(inner, sql, c, distinct);
    parents.columns = {inner.columns.at(c)};
    children.clear();
    for (int g : order) {
        parents.rows << QVariantList{headings.at(g)};
        RowTable rows = found.at(g);
        sortRows(rows.rows, terms);
        children << rows;
    }
}
} // namespace

const QList<DataEnvironment::Command>& DataEnvironment::commands()
{
    static const QList<Command> list = {
        {QStringLiteral("ListPrint_Grouping"),
         QStringLiteral("SHAPE {SELECT Selected.* FROM Selected WHERE (`Date` = dt)}  AS ListPrint "
                        "COMPUTE ListPrint BY 'Category'"),
         {QStringLiteral("dt")},
         QDate(2003, 10, 6),
         true},
        {QStringLiteral("ClearList"), QStringLiteral("DELETE FROM Selected"), {}, {}, false},
        {QStringLiteral("All_Grouping"),
         QStringLiteral("SHAPE {SELECT Category, Item, Aisle FROM Cartstock GROUP BY Category, Item, Aisle "
                        "ORDER BY Category, Item}  AS All COMPUTE All BY 'Category'"),
         {},
         {},
         true},
        {QStringLiteral("TopListID"), QStringLiteral("SELECT MAX(ID) AS Highest FROM Cartstock"), {}, {}, true},
        {QStringLiteral("ListPrintAisle_Grouping"),
         QStringLiteral("SHAPE {SELECT Selected.* FROM Selected WHERE (`Date` = dt)}  AS ListPrintAisle "
                        "COMPUTE ListPrintAisle BY 'Aisle'"),
         {QStringLiteral("dt")},
         QDate(2003, 10, 6),
         true},
        {QStringLiteral("ChangeDates"),
         QStringLiteral("UPDATE Selected SET `Date` = dt"),
         {QStringLiteral("dt")},
         QDate(2004, 1, 1),
         false},
    };
    return list;
}

DataEnvironment::DataEnvironment()
    : m_cnCart(QStringLiteral("PROVIDER=MSDataShape;DATA PROVIDER=MICROSOFT.JET.OLEDB.4.0;"
                              "Data Source=Cartstock.mdb;Persist Security Info=False;"))
{
    for (const Command& c : commands()) {
        if (c.returnsRows) {
            const QString name = QStringLiteral("rs") + c.name;
            m_resultSets.emplace(name, std::make_unique<ResultSet>(name));
        }
    }
}

DataEnvironment& DataEnvironment::instance()
{
    if (!holder())
        holder() = std::make_unique<DataEnvironment>();
    return *holder();
}

void DataEnvironment::resetInstance() { holder().reset(); }

const DataEnvironment::Command& DataEnvironment::command(const QString& name) const
{
    for (const Command& c : commands()) {
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return c;
    }
    throw DataError(QStringLiteral("\"%1\" is not a command of DECartstock.").arg(name));
}

ResultSet& DataEnvironment::resultSet(const QString& name)
{
    for (auto& [key, set] : m_resultSets) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return *set;
    }
    throw DataError(QStringLiteral("\"%1\" is not a result set of DECartstock.").arg(name));
}

void DataEnvironment::run(const QString& name, const QVariant& dt)
{
    const Command& c = command(name);
    ResultSet* result = c.returnsRows ? &resultSet(QStringLiteral("rs") + c.name) : nullptr;
    if (result && result->state() == Recordset::StateOpen) {
        throw DataError(QStringLiteral("The result set %1 is still open: close it before running %2 again.")
                            .arg(result->name(), c.name));
    }

    const CommandText text(c.text, c.parameters);
    QVariantList values;
    for (int i = 0; i < text.bindOrder().size(); ++i) {
        const QVariant date = dt.isNull() ? QVariant(c.parameterDefault) : StoredDate::fromInput(dt);
        if (date.isNull())
            throw DataError(
                QStringLiteral("Parameter dt of %1 needs a date; \"%2\" is not one.").arg(c.name, dt.toString()));
        values << StoredDate::toStored(date);
    }

    QSqlQuery query = m_cnCart.run(text.sql(), values);
    if (!result)
        return;
    const RowTable rows = readAll(query);
    query = QSqlQuery();
    result->setParameter(dt);
    if (!text.isShape()) {
        RowTable ordered = rows;
        sortRows(ordered.rows, orderTerms(ordered, text.sql()));
        result->openFlat(ordered);
        return;
    }
    RowTable parents;
    QList<RowTable> children;
    group(rows, text.sql(), text.groupColumn(), parents, children);
    result->openGrouped(parents, text.childName(), children);
}
