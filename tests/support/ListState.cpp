#include "ListState.h"

#include <QDate>
#include <QJsonDocument>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUrl>

#include <stdexcept>

namespace {
QList<QJsonArray> rows(QSqlDatabase& db, const QString& sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw std::runtime_error(query.lastError().text().toStdString());
    QList<QJsonArray> out;
    while (query.next()) {
        QJsonArray row;
        for (int i = 0; i < query.record().count(); ++i)
            row << ListState::plain(query.value(i));
        out << row;
    }
    return out;
}
} // namespace

QJsonValue ListState::plain(const QVariant& value)
{
    if (value.isNull())
        return QJsonValue::Null;
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(Qt::ISODate);
    bool number = false;
    const double n = value.toDouble(&number);
    return number ? QJsonValue(n) : QJsonValue(QStringLiteral("<%1> ").arg(value.typeName()) + value.toString());
}

ListState ListState::read(const QString& path)
{
    static int counter = 0;
    const QString name = QStringLiteral("list-state-%1").arg(++counter);
    ListState state;
    QString failure;
    {
        // mode=rw never creates the file, and rolls back what a killed writer left in its journal.
        QUrl url = QUrl::fromLocalFile(path);
        url.setQuery(QStringLiteral("mode=rw"));
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        try {
            if (!db.open())
                throw std::runtime_error(db.lastError().text().toStdString());
            const QString check = rows(db, QStringLiteral("PRAGMA integrity_check")).value(0).at(0).toString();
            if (check != QStringLiteral("ok"))
                throw std::runtime_error("integrity_check says " + check.toStdString());
            const QString settings =
                QStringLiteral("SELECT FontName, FontSize, FontIt, FontBo, BackColor, ForeColor FROM ");
            state.selected =
                rows(db, QStringLiteral("SELECT ID, Item, Category, Aisle, Quantity, Date FROM Selected ORDER BY ID"));
            state.cartstock = rows(db, QStringLiteral("SELECT ID, Item, Category, Aisle FROM Cartstock ORDER BY ID"));
            for (const QJsonArray& row : rows(db, QStringLiteral("SELECT Categories FROM Categories")))
                state.categories << row.at(0).toString();
            state.categories.sort();
            state.settings = rows(db, settings + QStringLiteral("Settings")).value(0);
            state.settings2 = rows(db, settings + QStringLiteral("Settings2")).value(0);
        } catch (const std::exception& e) {
            failure = path + QStringLiteral(": ") + QString::fromUtf8(e.what());
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
    QJsonArray list, catalogue;
    for (const QJsonArray& row : selected)
        list << row;
    for (const QJsonArray& row : cartstock)
        catalogue << row;
    return {{QStringLiteral("selected"), list},
            {QStringLiteral("cartstock"), catalogue},
            {QStringLiteral("categories"), QJsonArray::fromStringList(categories)},
            {QStringLiteral("settings"), settings},
            {QStringLiteral("settings2"), settings2}};
}

ListState ListState::fromJson(const QJsonObject& object)
{
    ListState state{{},
                    {},
                    {},
                    object.value(QStringLiteral("settings")).toArray(),
                    object.value(QStringLiteral("settings2")).toArray()};
    for (const QJsonValue& row : object.value(QStringLiteral("selected")).toArray())
        state.selected << row.toArray();
    for (const QJsonValue& row : object.value(QStringLiteral("cartstock")).toArray())
        state.cartstock << row.toArray();
    for (const QJsonValue& name : object.value(QStringLiteral("categories")).toArray())
        state.categories << name.toString();
    return state;
}

QString ListState::differences(const ListState& other) const
{
    const QJsonObject mine = toJson(), theirs = other.toJson();
    const auto only = [](const QJsonArray& rows, const QJsonArray& others) {
        QJsonArray out;
        for (const QJsonValue& row : rows) {
            if (!others.contains(row))
                out << row;
        }
        return QString::fromUtf8(QJsonDocument(out).toJson(QJsonDocument::Compact));
    };
    QString out;
    for (const QString& table : mine.keys()) {
        // A settings row is compared as one.
        const bool oneRow = table.startsWith(QStringLiteral("settings"));
        const QJsonArray a = oneRow ? QJsonArray{mine.value(table)} : mine.value(table).toArray();
        const QJsonArray b = oneRow ? QJsonArray{theirs.value(table)} : theirs.value(table).toArray();
        if (a != b)
            out += QStringLiteral("%1 only here: %2, only there: %3\n").arg(table, only(a, b), only(b, a));
    }
    return out;
}
