#include "UserMoves.h"

#include "DataCombo.h"
#include "DataGrid.h"
#include "DataList.h"
#include "ListState.h"
#include "RecordsetModel.h"
#include "ReportPreview.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <stdexcept>

namespace {
// Views lay out their rows on a timer; a user sees the rows where they are before clicking.
void letTheScreenCatchUp() { QCoreApplication::processEvents(); }

int shownColumn(const QAbstractItemView* list)
{
    const auto* view = qobject_cast<const QListView*>(list);
    return view ? view->modelColumn() : 0;
}

// The entries of a list, sorted.
QStringList entriesShown(const QAbstractItemView* list)
{
    QStringList out = UserMoves::entries(list);
    out.sort();
    return out;
}

// Clicks a cell where it shows, as a user sees it before clicking; returns the point clicked.
QPoint clickCell(QTableView* grid, const QModelIndex& index)
{
    if (!grid->isEnabled())
        UserMoves::fail(QStringLiteral("the grid is disabled"));
    letTheScreenCatchUp();
    grid->scrollTo(index);
    const QPoint cell = grid->visualRect(index).center();
    UserMoves::click(grid->viewport(), cell);
    return cell;
}
} // namespace

namespace UserMoves {

void fail(const QString& why) { throw std::runtime_error(why.toStdString()); }

frmCartstock& mainWindow()
{
    if (!frmCartstock::loaded())
        fail(QStringLiteral("the shopping-list window is not there"));
    return *frmCartstock::loaded();
}

frmAdding& editor()
{
    if (!frmAdding::loaded())
        fail(QStringLiteral("the item editor is not there"));
    return *frmAdding::loaded();
}

QList<ReportPreview*> previewWindows()
{
    QList<ReportPreview*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* preview = qobject_cast<ReportPreview*>(w); preview && preview->isVisible())
            out << preview;
    }
    return out;
}

ReportPreview& previewWindow(const QString& caption)
{
    for (ReportPreview* preview : previewWindows()) {
        if (preview->windowTitle() == caption)
            return *preview;
    }
    fail(QStringLiteral("no preview of %1 is shown").arg(caption));
}

QObject* named(const QObject& window, const QString& name, const QMetaObject& type, int index)
{
    for (QObject* found : window.findChildren<QObject*>(name)) {
        if (type.cast(found) && (index < 0 || found->property("index") == index))
            return found;
    }
    fail(QStringLiteral("%1 has no %2 %3").arg(window.objectName(), QLatin1String(type.className()), name));
}

QString partName(DialogPart part)
{
    switch (part) {
    case DialogPart::FileName:
        return QStringLiteral("fileNameEdit");
    case DialogPart::PrintFile:
        return QStringLiteral("filename");
    case DialogPart::Printers:
        return QStringLiteral("printers");
    case DialogPart::FromPage:
        return QStringLiteral("from");
    case DialogPart::ToPage:
        return QStringLiteral("to");
    case DialogPart::Copies:
        return QStringLiteral("copies");
    case DialogPart::PageRange:
        return QStringLiteral("printRange");
    case DialogPart::CurrentPage:
        return QStringLiteral("printCurrentPage");
    case DialogPart::Properties:
        return QStringLiteral("properties");
    case DialogPart::Landscape:
        return QStringLiteral("landscape");
    }
    return {};
}

bool browsing(frmAdding& editor)
{
    return control(editor, QStringLiteral("cmdAdd"))->isVisibleTo(&editor) &&
           !control(editor, QStringLiteral("cmdUpdate"))->isVisibleTo(&editor);
}

void click(QWidget* widget, QPoint at)
{
    if (!widget->isVisible() || !widget->isEnabled())
        fail(QStringLiteral("%1 cannot be clicked now").arg(widget->objectName()));
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
}

void click(const QWidget& window, const QString& name) { click(control(window, name)); }

void choose(const QWidget& window, const QString& name)
{
    auto* command = control<QAction>(window, name);
    if (!window.isVisible() || !command->isVisible() || !command->isEnabled())
        fail(QStringLiteral("%1 cannot be chosen now").arg(name));
    command->trigger();
}

void press(const QList<QKeyCombination>& keys)
{
    for (const QKeyCombination key : keys) {
        QWidget* popup = QApplication::activePopupWidget();
        QWidget* target = popup ? popup : QApplication::focusWidget();
        if (!target)
            fail(QStringLiteral("no control has the keyboard"));
        const bool alt = key.key() == Qt::Key_Alt;
        QTest::keyPress(target, key.key(), alt ? Qt::AltModifier : key.keyboardModifiers());
        QTest::keyRelease(target, key.key(), alt ? Qt::NoModifier : key.keyboardModifiers());
    }
}

void paste(QWidget* field, const QString& text)
{
    QApplication::clipboard()->setText(text);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    if (auto* line = qobject_cast<QLineEdit*>(field); line && line->text() != text)
        fail(QStringLiteral("%1 took \"%2\" as \"%3\"").arg(field->objectName(), text.left(80), line->text().left(80)));
}

void tick(QAbstractItemView* view, const QList<int>& rows)
{
    // With the keyboard, as the view offers: Home, Down to each row, Space to tick it. Keys
    // reach the window the user works in: a preview left in front takes Home for itself.
    view->activateWindow();
    if (!QTest::qWaitForWindowActive(view->window()))
        fail(QStringLiteral("the window of %1 did not come to the front").arg(view->objectName()));
    QTest::keyClick(view, Qt::Key_Home);
    int at = 0;
    for (int r : rows) {
        for (; at < r; ++at)
            QTest::keyClick(view, Qt::Key_Down);
        const QModelIndex item = view->model()->index(r, 0);
        if (view->currentIndex() != item)
            fail(QStringLiteral("the keys did not reach row %1 (%2)").arg(r).arg(item.data().toString().left(40)));
        QTest::keyClick(view, Qt::Key_Space);
        if (item.data(Qt::CheckStateRole).toInt() != Qt::Checked)
            fail(QStringLiteral("row %1 (%2) did not take the tick").arg(r).arg(item.data().toString().left(40)));
    }
}

void clickEntry(QAbstractItemView* list, const QString& text)
{
    const QModelIndexList found =
        list->model()->match(list->model()->index(0, shownColumn(list)), Qt::DisplayRole, text, 1, Qt::MatchExactly);
    if (found.isEmpty())
        fail(QStringLiteral("%1 has no entry %2").arg(list->objectName(), text.left(80)));
    letTheScreenCatchUp();
    list->scrollTo(found.at(0));
    click(list->viewport(), list->visualRect(found.at(0)).center());
}

void enterDate(QDateEdit* box, const QDate& date)
{
    paste(box, QLocale().toString(date, box->displayFormat()));
    if (box->date() != date)
        fail(QStringLiteral("the date box shows %1 after %2 was entered")
                 .arg(box->date().toString(Qt::ISODate), date.toString(Qt::ISODate)));
}

QWidget* openCell(QTableView* grid, int row, const QString& field)
{
    const QModelIndex index = grid->model()->index(row, gridColumn(grid, field));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, clickCell(grid, index));
    if (!grid->indexWidget(index))
        fail(QStringLiteral("the %1 cell of row %2 did not open").arg(field).arg(row));
    return grid->indexWidget(index);
}

void editCell(QTableView* grid, int row, const QString& field, const QString& text, bool keyByKey)
{
    const QModelIndex index = grid->model()->index(row, gridColumn(grid, field));
    QWidget* editor = nullptr;
    if (keyByKey) {
        clickCell(grid, index);
        // Each key goes where the focus is: the grid's first opens the cell, the rest reach its editor.
        for (const QChar c : text)
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        editor = grid->indexWidget(index) ? QApplication::focusWidget() : nullptr;
        if (!editor)
            fail(QStringLiteral("the %1 cell of row %2 did not open").arg(field).arg(row));
    } else {
        editor = openCell(grid, row, field);
        paste(editor, text);
    }
    QTest::keyClick(editor, Qt::Key_Return);
    // The grid ends the edit on Return through a queued call.
    letTheScreenCatchUp();
    if (grid->indexWidget(index))
        fail(QStringLiteral("Return did not end the edit of the %1 cell of row %2").arg(field).arg(row));
}

void enterInCombo(DataCombo* combo, const QString& text)
{
    paste(combo->textField(), text);
    click(combo->textField());
}

QStringList entries(const QAbstractItemView* list, int column)
{
    QStringList out;
    for (int r = 0; r < list->model()->rowCount(); ++r)
        out << list->model()->index(r, column < 0 ? shownColumn(list) : column).data().toString();
    return out;
}

int gridColumn(QTableView* grid, const QString& field)
{
    for (int c = 0; c < grid->model()->columnCount(); ++c) {
        if (grid->model()->headerData(c, Qt::Horizontal).toString() == field)
            return c;
    }
    fail(QStringLiteral("the grid has no column ") + field);
}

QList<QJsonArray> listShown(frmCartstock& window)
{
    auto* grid = control<DataGrid>(window, QStringLiteral("grdList"));
    const auto* model = qobject_cast<const RecordsetModel*>(grid->model());
    const QString count = control<QLabel>(window, QStringLiteral("lblCount"))->text();
    QList<int> columns;
    // A list closed (its file no Cartlist database) shows no columns and no rows.
    for (const char* field : {"ID", "Item", "Category", "Aisle", "Quantity", "Date"})
        columns << (model->columnCount() ? gridColumn(grid, QString::fromLatin1(field)) : 0);
    QList<QJsonArray> rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        if (model->isNewRowLine(r))
            continue;
        QJsonArray row;
        for (int c : columns)
            row << ListState::plain(model->index(r, c).data(Qt::EditRole));
        rows << row;
    }
    if (count != QString::number(rows.size()))
        fail(QStringLiteral("the grid shows %1 rows, the count %2").arg(rows.size()).arg(count));
    std::sort(rows.begin(), rows.end(),
              [](const QJsonArray& a, const QJsonArray& b) { return a.at(0).toDouble() < b.at(0).toDouble(); });
    return rows;
}

QJsonArray recordShown(frmAdding& editor)
{
    const auto box = [&](int index) -> QJsonValue {
        const QString text = control<QLineEdit>(editor, QStringLiteral("txtFields"), index)->text();
        return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
    };
    return {control<QLineEdit>(editor, QStringLiteral("txtFields"), 2)->text().toDouble(), box(3), box(1), box(0)};
}

QString shownButNotHeld(const ListState& file, bool catalogue)
{
    QStringList out;
    if (frmCartstock* w = frmCartstock::loaded()) {
        if (listShown(*w) != file.selected)
            out << QStringLiteral("the list grid");
        if (entriesShown(control<DataList>(*w, QStringLiteral("lstCat"))) != file.categories)
            out << QStringLiteral("the category list");
        // An item without a name shows as "-".
        QStringList shown, held;
        const QAbstractItemModel* rows = control<QTreeView>(*w, QStringLiteral("lvwItems"))->model();
        for (int i = 0; catalogue && i < rows->rowCount(); ++i) {
            const auto text = [&](int column) { return rows->index(i, column).data().toString(); };
            shown << text(0) + u'\t' + text(1) + u'\t' + text(2);
        }
        for (const QJsonArray& row : catalogue ? file.cartstock : QList<QJsonArray>()) {
            const QJsonValue name = row.at(ListState::ItemName);
            held << (name.isNull() ? QStringLiteral("-") : name.toString()) + u'\t' +
                        row.at(ListState::ItemCategory).toString() + u'\t' + row.at(ListState::ItemAisle).toString();
        }
        shown.sort();
        held.sort();
        if (shown != held)
            out << QStringLiteral("the catalogue view");
    }
    if (frmAdding* e = frmAdding::loaded()) {
        QStringList names;
        for (const QJsonArray& row : file.cartstock)
            names << row.at(ListState::ItemName).toString();
        names.sort();
        if (entriesShown(control<DataCombo>(*e, QStringLiteral("cboFind"))->list()) != names ||
            entriesShown(control<DataCombo>(*e, QStringLiteral("cboCat"))->list()) != file.categories)
            out << QStringLiteral("the item editor's lists");
        // A record being added or edited is the user's, not yet the file's.
        const QJsonArray record = recordShown(*e);
        if (browsing(*e) && record != QJsonArray({0, QJsonValue(), QJsonValue(), QJsonValue()}) &&
            !file.cartstock.contains(record))
            out << QStringLiteral("the item editor's record");
    }
    return out.isEmpty() ? QString()
                         : out.join(QStringLiteral(", ")) + QStringLiteral(" show what the file does not hold");
}

} // namespace UserMoves

QString UserMoves::lastNotice(const QWidget& window)
{
    QObject* notice = window.findChild<QObject*>(QStringLiteral("spokenNotice"), Qt::FindDirectChildrenOnly);
    QAccessibleInterface* said = notice ? QAccessible::queryAccessibleInterface(notice) : nullptr;
    if (said && said->role() != QAccessible::Notification)
        fail(QStringLiteral("the notice of %1 is no notification").arg(window.objectName()));
    return said ? said->text(QAccessible::Name) : QString();
}
