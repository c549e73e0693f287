#include "Intent.h"

#include <QJsonDocument>

#include <functional>
#include <stdexcept>

namespace {
const char* const KindNames[] = {"none",        "addRows", "editCell", "changeDates", "clearList", "deleteCategory",
                                 "addCategory", "addItem", "editItem", "deleteItem",  "settings"};

QString compact(const QJsonValue& value)
{
    return QString::fromUtf8(QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact)).mid(1).chopped(1);
}

// Changes or removes the row with this ID through `change`; false when there is none.
bool changeRow(QList<QJsonArray>& rows, double id, const std::function<void(QList<QJsonArray>&, qsizetype)>& change)
{
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.at(i).at(0).toDouble() == id) {
            change(rows, i);
            return true;
        }
    }
    return false;
}

double highestId(const QList<QJsonArray>& rows)
{
    double highest = 0;
    for (const QJsonArray& row : rows)
        highest = std::max(highest, row.at(0).toDouble());
    return highest;
}
} // namespace

Intent::Intent(Kind kind, const QString& what)
    : m_kind(kind)
    , m_what(what)
{
}

Intent Intent::none(const QString& what) { return {Kind::None, what}; }

Intent Intent::addRows(const QList<QJsonArray>& rows)
{
    Intent i(Kind::AddRows, QStringLiteral("add %1 row(s) to the list").arg(rows.size()));
    i.m_rows = rows;
    return i;
}

Intent Intent::editCell(double id, int column, const QJsonValue& value)
{
    Intent i(Kind::EditCell,
             QStringLiteral("set column %1 of list row %2 to %3").arg(column).arg(id).arg(compact(value)));
    i.m_id = id;
    i.m_column = column;
    i.m_value = value;
    return i;
}

Intent Intent::changeDates(const QString& isoDate)
{
    Intent i(Kind::ChangeDates, QStringLiteral("change every date to ") + isoDate);
    i.m_value = isoDate;
    return i;
}

Intent Intent::clearList() { return {Kind::ClearList, QStringLiteral("delete the whole list")}; }

Intent Intent::deleteCategory(const QString& name)
{
    Intent i(Kind::DeleteCategory, QStringLiteral("delete category ") + compact(name));
    i.m_value = name;
    return i;
}

Intent Intent::addCategory(const QString& name)
{
    Intent i(Kind::AddCategory, QStringLiteral("add category ") + compact(name));
    i.m_value = name;
    return i;
}

Intent Intent::addItem(const QJsonArray& row)
{
    Intent i(Kind::AddItem, QStringLiteral("add item ") + compact(row));
    i.m_rows = {row};
    return i;
}

Intent Intent::editItem(double id, const QJsonArray& row)
{
    Intent i(Kind::EditItem, QStringLiteral("change item %1 to %2").arg(id).arg(compact(row)));
    i.m_id = id;
    i.m_rows = {row};
    return i;
}

Intent Intent::deleteItem(double id)
{
    Intent i(Kind::DeleteItem, QStringLiteral("delete item %1").arg(id));
    i.m_id = id;
    return i;
}

Intent Intent::settings(bool editor, const QJsonArray& row)
{
    Intent i(Kind::Settings, QStringLiteral("store %1 as %2").arg(editor ? "Settings2" : "Settings", compact(row)));
    i.m_editor = editor;
    i.m_rows = {row};
    return i;
}

QJsonObject Intent::toJson() const
{
    QJsonArray rows;
    for (const QJsonArray& row : m_rows)
        rows << row;
    return {{QStringLiteral("kind"), QString::fromLatin1(KindNames[int(m_kind)])},
            {QStringLiteral("what"), m_what},
            {QStringLiteral("rows"), rows},
            {QStringLiteral("id"), m_id},
            {QStringLiteral("column"), m_column},
            {QStringLiteral("value"), m_value},
            {QStringLiteral("editor"), m_editor}};
}

Intent Intent::fromJson(const QJsonObject& object)
{
    const QString kind = object.value(QStringLiteral("kind")).toString();
    int k = 0;
    while (k < int(std::size(KindNames)) && kind != QLatin1String(KindNames[k]))
        ++k;
    if (k == int(std::size(KindNames)))
        throw std::runtime_error("unknown kind of action: " + kind.toStdString());
    Intent i(Kind(k), object.value(QStringLiteral("what")).toString());
    for (const QJsonValue& row : object.value(QStringLiteral("rows")).toArray())
        i.m_rows << row.toArray();
    i.m_id = object.value(QStringLiteral("id")).toDouble();
    i.m_column = object.value(QStringLiteral("column")).toInt();
    i.m_value = object.value(QStringLiteral("value"));
    i.m_editor = object.value(QStringLiteral("editor")).toBool();
    return i;
}

// The file as the whole action leaves it; `possible` is false when the action cannot
// apply to `before` at all (it names a row that is not there).
ListState Intent::applied(const ListState& before, bool* possible) const
{
    ListState after = before;
    *possible = true;
    switch (m_kind) {
    case Kind::None:
    case Kind::AddRows:
    case Kind::AddItem:
        break;
    case Kind::EditCell:
        *possible =
            changeRow(after.selected, m_id, [&](QList<QJsonArray>& rows, qsizetype i) { rows[i][m_column] = m_value; });
        break;
    case Kind::ChangeDates:
        for (QJsonArray& row : after.selected)
            row[ListState::ListDate] = m_value;
        break;
    case Kind::ClearList:
        after.selected.clear();
        break;
    case Kind::DeleteCategory:
        *possible = after.categories.removeOne(m_value.toString());
        break;
    case Kind::AddCategory:
        after.categories << m_value.toString();
        after.categories.sort();
        break;
    case Kind::EditItem:
        *possible = changeRow(after.cartstock, m_id, [&](QList<QJsonArray>& rows, qsizetype i) {
            QJsonArray row = m_rows.at(0);
            row.prepend(m_id);
            rows[i] = row;
        });
        break;
    case Kind::DeleteItem:
        *possible = changeRow(after.cartstock, m_id, [](QList<QJsonArray>& rows, qsizetype i) { rows.removeAt(i); });
        break;
    case Kind::Settings:
        (m_editor ? after.settings2 : after.settings) = m_rows.at(0);
        break;
    }
    return after;
}

Intent::Verdict Intent::judge(const ListState& before, const ListState& after, QString* why) const
{
    QString reason;
    Verdict verdict = Verdict::Wrong;
    if (m_kind == Kind::AddRows || m_kind == Kind::AddItem) {
        verdict = judgeAppended(before, after, &reason);
    } else {
        bool possible = false;
        const ListState done = applied(before, &possible);
        if (!possible)
            reason = QStringLiteral("the action does not apply to the state before it");
        else if (after == done)
            verdict = Verdict::Done;
        else if (after == before)
            verdict = Verdict::NotBegun;
        else
            reason = QStringLiteral("neither as before nor as after; against after:\n") + after.differences(done);
    }
    if (why)
        *why = verdict == Verdict::Wrong ? m_what + QStringLiteral(": ") + reason : QString();
    return verdict;
}

// New rows carry identifiers above every one before them, in the order they were meant;
// each holds exactly the values meant for it, and nothing else in the file changed.
Intent::Verdict Intent::judgeAppended(const ListState& before, const ListState& after, QString* why) const
{
    const bool list = m_kind == Kind::AddRows;
    const QList<QJsonArray>& old = list ? before.selected : before.cartstock;
    const QList<QJsonArray>& now = list ? after.selected : after.cartstock;
    ListState rest = after;
    (list ? rest.selected : rest.cartstock) = old;
    if (rest != before) {
        *why = QStringLiteral("other rows changed:\n") + rest.differences(before);
        return Verdict::Wrong;
    }
    const qsizetype added = now.size() - old.size();
    if (added < 0 || added > m_rows.size() || now.mid(0, old.size()) != old) {
        *why = QStringLiteral("%1 rows before, %2 now, %3 meant to be added:\n")
                   .arg(old.size())
                   .arg(now.size())
                   .arg(m_rows.size()) +
               after.differences(before);
        return Verdict::Wrong;
    }
    double previous = highestId(old);
    for (qsizetype i = 0; i < added; ++i) {
        QJsonArray values = now.at(old.size() + i);
        const double id = values.takeAt(0).toDouble();
        if (id <= previous || values != m_rows.at(i)) {
            *why = QStringLiteral("row %1 added as %2, meant %3 with an identifier above %4")
                       .arg(i + 1)
                       .arg(compact(now.at(old.size() + i)), compact(m_rows.at(i)))
                       .arg(previous);
            return Verdict::Wrong;
        }
        previous = id;
    }
    if (added == m_rows.size())
        return Verdict::Done;
    return added == 0 ? Verdict::NotBegun : Verdict::Partly;
}
