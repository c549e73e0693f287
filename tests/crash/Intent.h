#pragma once

#include "ListState.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

// One user action as it starts: what it may change in the file. Cut off at any moment, an
// action leaves the file as it was before or as it is after; one that stores rows one by
// one ("Add Checked Items") may also leave the first of them. Anything else is a fault.
class Intent {
public:
    enum class Verdict { NotBegun, Partly, Done, Wrong };

    // An action that writes nothing.
    static Intent none(const QString& what);
    // Rows appended to the list, in this order: Item, Category, Aisle, Quantity, Date each.
    static Intent addRows(const QList<QJsonArray>& rows);
    static Intent editCell(double id, int column, const QJsonValue& value);
    static Intent changeDates(const QString& isoDate);
    static Intent clearList();
    static Intent deleteCategory(const QString& name);
    static Intent addCategory(const QString& name);
    // A catalogue row: Item, Category, Aisle.
    static Intent addItem(const QJsonArray& row);
    static Intent editItem(double id, const QJsonArray& row);
    static Intent deleteItem(double id);
    // A whole settings row; `editor` picks Settings2.
    static Intent settings(bool editor, const QJsonArray& row);

    QString what() const { return m_what; }
    QJsonObject toJson() const;
    static Intent fromJson(const QJsonObject& object);

    // How far `after` shows the action done, starting from `before`; `why` tells what is
    // wrong with it when the verdict is Wrong.
    Verdict judge(const ListState& before, const ListState& after, QString* why = nullptr) const;

private:
    enum class Kind {
        None,
        AddRows,
        EditCell,
        ChangeDates,
        ClearList,
        DeleteCategory,
        AddCategory,
        AddItem,
        EditItem,
        DeleteItem,
        Settings
    };
    Intent(Kind kind, const QString& what);
    ListState applied(const ListState& before, bool* possible) const;
    Verdict judgeAppended(const ListState& before, const ListState& after, QString* why) const;

    Kind m_kind;
    QString m_what;
    QList<QJsonArray> m_rows;
    double m_id = 0;
    int m_column = 0;
    QJsonValue m_value;
    bool m_editor = false;
};
