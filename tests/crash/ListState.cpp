#include "ListState.h"

#include <QDate>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <atomic>
#include <stdexcept>

namespace {
[[noreturn]] void fail(const QString& path, const QString& why)
{
    throw std::runtime_error(QStringLiteral("%1: %2").arg(path, why).toStdString());
}

QList<QJsonArray> rows(QSqlDatabase& db, const QString& path, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        fail(path, query.lastError().text());
    const int columns = query.record().count();
    QList<QJsonArray> out;
    while (query.next()) {
        QJsonArray row;
        for (int i = 0; i < columns; ++i)
            row << ListState::plain(query.value(i));
        out << row;
    }
    return out;
}

QString tableDifferences(const QString& table, const QList<QJsonArray>& mine, const QList<QJsonArray>& theirs)
{
    QStringList out;
    for (const QJsonArray& row : mine) {
        if (!theirs.contains(row))
            out << QStringLiteral("  %1 only here: %2")
                       .arg(table, QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact)));
    }
    for (const QJsonArray& row : theirs) {
        if (!mine.contains(row))
            out << QStringLiteral("  %1 only there: %2")
                       .arg(table, QString::fromUtf8(QJsonDocument(row).toJson(QJsonDocument::Compact)));
    }
    return out.join(u'\n');
}

QJsonArray arrayOf(const QList<QJsonArray>& rows)
{
    QJsonArray out;
    for (const QJsonArray& row : rows)
        out << row;
    return out;
}

QList<QJsonArray> rowsOf(const QJsonValue& value)
{
    QList<QJsonArray> out;
    for (const QJsonValue& row : value.toArray())
        out << row.toArray();
    return out;
}
} // namespace

QJsonValue ListState::plain(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return QJsonValue::Null;
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString();
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::Bool:
        return value.toBool() ? 1 : 0;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble();
    default:
        return QStringLiteral("<%1> %2").arg(QString::fromLatin1(value.typeName()), value.toString());
    }
}

ListState ListState::read(const QString& path)
{
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("list-state-%1").arg(++counter);
    ListState state;
    QString failure;
    {
        // mode=rw never creates the file; a read-only file is opened for reading. Opening
        // read-write also rolls back what a killed writer left in its journal.
        QUrl url = QUrl::fromLocalFile(path);
        url.setQuery(QStringLiteral("mode=rw"));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        try {
            if (!db.open())
                fail(path, db.lastError().text());
            QSqlQuery check(db);
            if (!check.exec(QStringLiteral("PRAGMA integrity_check")) || !check.next())
                fail(path, check.lastError().text());
            if (check.value(0).toString() != QStringLiteral("ok"))
                fail(path, QStringLiteral("integrity_check says ") + check.value(0).toString());
            check.finish();
            state.selected = rows(
                db, path, QStringLiteral("SELECT ID, Item, Category, Aisle, Quantity, Date FROM Selected ORDER BY ID"));
            state.cartstock =
                rows(db, path, QStringLiteral("SELECT ID, Item, Category, Aisle FROM Cartstock ORDER BY ID"));
            for (const QJsonArray& row : rows(db, path, QStringLiteral("SELECT Categories FROM Categories")))
                state.categories << row.at(0).toString();
            state.categories.sort();
            const QString settings =
                QStringLiteral("SELECT FontName, FontSize, FontIt, FontBo, BackColor, ForeColor FROM ");
            state.settings = rows(db, path, settings + QStringLiteral("Settings")).value(0);
            state.settings2 = rows(db, path, settings + QStringLiteral("Settings2")).value(0);
        } catch (const std::exception& e) {
            failure = QString::fromUtf8(e.what());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!failure.isEmpty())
        throw std::runtime_error(failure.toStdString());
    return state;
}

QJsonObject ListState::toJson() const
{
    return {{QStringLiteral("selected"), arrayOf(selected)},
            {QStringLiteral("cartstock"), arrayOf(cartstock)},
            {QStringLiteral("categories"), QJsonArray::fromStringList(categories)},
            {QStringLiteral("settings"), settings},
            {QStringLiteral("settings2"), settings2}};
}

ListState ListState::fromJson(const QJsonObject& object)
{
    ListState state;
    state.selected = rowsOf(object.value(QStringLiteral("selected")));
    state.cartstock = rowsOf(object.value(QStringLiteral("cartstock")));
    for (const QJsonValue& name : object.value(QStringLiteral("categories")).toArray())
        state.categories << name.toString();
    state.settings = object.value(QStringLiteral("settings")).toArray();
    state.settings2 = object.value(QStringLiteral("settings2")).toArray();
    return state;
}

QString ListState::differences(const ListState& other) const
{
    QStringList out;
    out << tableDifferences(QStringLiteral("Selected"), selected, other.selected);
    out << tableDifferences(QStringLiteral("Cartstock"), cartstock, other.cartstock);
    QList<QJsonArray> mine, theirs;
    for (const QString& name : categories)
        mine << QJsonArray{name};
    for (const QString& name : other.categories)
        theirs << QJsonArray{name};
    out << tableDifferences(QStringLiteral("Categories"), mine, theirs);
    out << tableDifferences(QStringLiteral("Settings"), {settings}, {other.settings});
    out << tableDifferences(QStringLiteral("Settings2"), {settings2}, {other.settings2});
    out.removeAll(QString());
    if (out.isEmpty() && *this != other)
        out << QStringLiteral("  the same rows, held a different number of times");
    return out.join(u'\n');
}
