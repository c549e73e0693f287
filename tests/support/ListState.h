#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <QVariant>

// What the database file holds that a user can see and change, table by table, as plain
// values: text, number or null, so that "1" and 1, or '' and NULL, stay apart. Rows are in
// ID order; categories are their names, sorted, as the windows show them.
struct ListState {
    enum SelectedColumn { ListId, ListItem, ListCategory, ListAisle, ListQuantity, ListDate };
    enum CartstockColumn { ItemId, ItemName, ItemCategory, ItemAisle };

    QList<QJsonArray> selected;  // ID, Item, Category, Aisle, Quantity, Date
    QList<QJsonArray> cartstock; // ID, Item, Category, Aisle
    QStringList categories;
    QJsonArray settings; // FontName, FontSize, FontIt, FontBo, BackColor, ForeColor
    QJsonArray settings2;

    // Reads the file through plain SQLite, never the program's data layer, and never creates
    // it. Throws std::runtime_error when it cannot be read or the engine finds it damaged.
    static ListState read(const QString& path);

    QJsonObject toJson() const;
    static ListState fromJson(const QJsonObject& object);
    bool operator==(const ListState& other) const = default;
    // The tables that differ from `other`, for a failure message.
    QString differences(const ListState& other) const;

    // A value as read from the file or a window: text, number (a date as its ISO text, true
    // and false as 1 and 0) or null.
    static QJsonValue plain(const QVariant& value);
};
