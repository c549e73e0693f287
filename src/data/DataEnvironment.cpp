#include "DataEnvironment.h"

#include "CommandText.h"
#include "DataError.h"
#include "NaturalOrder.h"
#include "StoredDate.h"

#include <QSqlQuery>
#include <QSqlRecord>

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

// One group per grouping value, without regard to case; an empty or null value is one
// group with an empty heading. Groups in the value's natural order, children as read.
void group(const RowTable& inner, const QString& column, RowTable& parents, QList<RowTable>& children)
{
    const int c = inner.columnIndex(column);
    if (c < 0)
        throw DataError(QStringLiteral("The grouping column \"%1\" is not in the command's result.").arg(column));
    QList<QString> keys;
    for (const QVariantList& row : inner.rows) {
        const QString key = row.at(c).toString();
        qsizetype g = 0;
        while (g < keys.size() && keys.at(g).compare(key, Qt::CaseInsensitive) != 0)
            ++g;
        if (g == keys.size()) {
            keys << key;
            children << RowTable{inner.columns, {}};
        }
        children[g].rows << row;
    }
    QList<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return NaturalOrder::less(keys.at(a), keys.at(b)); });
    QList<RowTable> sorted;
    parents.columns = {inner.columns.at(c)};
    for (int g : order) {
        parents.rows << QVariantList{keys.at(g)};
        sorted << children.at(g);
    }
    children = sorted;
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
    if (result && result->state() == 1) {
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
    if (!text.isShape()) {
        result->openFlat(rows);
        return;
    }
    RowTable parents;
    QList<RowTable> children;
    group(rows, text.groupColumn(), parents, children);
    result->openGrouped(parents, text.childName(), children);
}
