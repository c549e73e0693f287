#include "StoreCheck.h"

#include "Connection.h"
#include "DataError.h"
#include "SoundFiles.h"
#include "StoreProblem.h"

#include <QFileInfo>
#include <QSqlQuery>

namespace StoreCheck {

const QList<std::pair<QString, QStringList>>& requiredColumns()
{
    static const QList<std::pair<QString, QStringList>> tables = {
        {QStringLiteral("Cartstock"), {"ID", "Item", "Category", "Aisle"}},
        {QStringLiteral("Categories"), {"Categories", "ID"}},
        {QStringLiteral("Selected"), {"Item", "Category", "Aisle", "Quantity", "Date", "ID"}},
        {QStringLiteral("Settings"), {"FontName", "FontSize", "FontIt", "FontBo", "BackColor", "ForeColor"}},
        {QStringLiteral("Settings2"), {"FontName", "FontSize", "FontIt", "FontBo", "BackColor", "ForeColor"}},
    };
    return tables;
}

namespace {
QString listed(const QStringList& items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + items.last();
}

// What the file lacks, in words: "the table Selected and the column Quantity of Selected".
QString missingParts(Connection& connection)
{
    QStringList tables, columns;
    for (const auto& [table, wanted] : requiredColumns()) {
        QSqlQuery info = connection.run(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        QStringList present;
        while (info.next())
            present << info.value(1).toString();
        if (present.isEmpty()) {
            tables << table;
            continue;
        }
        for (const QString& column : wanted) {
            if (!present.contains(column, Qt::CaseInsensitive))
                columns << QStringLiteral("%1 in %2").arg(column, table);
        }
    }
    QStringList parts;
    if (!tables.isEmpty())
        parts << (tables.size() == 1 ? QStringLiteral("the table ") : QStringLiteral("the tables ")) + listed(tables);
    if (!columns.isEmpty())
        parts << (columns.size() == 1 ? QStringLiteral("the column ") : QStringLiteral("the columns ")) +
                     listed(columns);
    return listed(parts);
}

} // namespace

void requireUsable(const QString& path)
{
    const QFileInfo file(path);
    if (file.exists() && file.isFile() && file.size() == 0)
        throw StoreError(StoreProblem(StoreProblem::Kind::Empty, path));

    Connection connection(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"), path);
    connection.setBusyTimeout(LockWait);
    connection.open();
    try {
        // Damage anywhere in the file, not only in the part read so far.
        const SoundFiles sound(path, connection);
        const bool known = sound.foundBefore();
        if (!known) {
            QSqlQuery check = connection.run(QStringLiteral("PRAGMA quick_check(1)"));
            if (check.next() && check.value(0).toString() != QStringLiteral("ok"))
                throw StoreError(StoreProblem(StoreProblem::Kind::Damaged, path, check.value(0).toString()));
        }
        const QString missing = missingParts(connection);
        if (!missing.isEmpty())
            throw StoreError(StoreProblem(StoreProblem::Kind::NotCartlist, path, missing));
        if (!known)
            sound.keep();
    } catch (const StoreError&) {
        throw;
    } catch (const DataError& e) {
        throw StoreError(StoreProblem(StoreProblem::Kind::Other, path, e.description()));
    }
}

void explainMissingPart(const QString& path, const QString& engineText)
{
    if (engineText.startsWith(QStringLiteral("no such table:")) ||
        engineText.startsWith(QStringLiteral("no such column:")))
        requireUsable(path);
}

} // namespace StoreCheck
