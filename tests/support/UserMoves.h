#pragma once

#include <QDate>
#include <QJsonArray>
#include <QKeyCombination>
#include <QList>
#include <QMetaObject>
#include <QPoint>
#include <QString>
#include <QStringList>

class DataCombo;
class QAbstractItemView;
class QDateEdit;
class QTableView;
class QWidget;
class ReportPreview;
class frmAdding;
class frmCartstock;
struct ListState;

// The one way tests act on the windows, with the mouse and the keyboard as a user does, and
// read what the windows then show. A move that does not take hold throws std::runtime_error,
// so a driver and a test alike stop at it.
namespace UserMoves {
[[noreturn]] void fail(const QString& why);
frmCartstock& mainWindow();
frmAdding& editor();

// A window's control, menu or command by the name the appearance rules select it by; for the
// editor's boxes and labels, with the index that ties them to their field.
QObject* named(const QObject& window, const QString& name, const QMetaObject& type, int index = -1);
template <class T = QWidget> T* control(const QObject& window, const QString& name, int index = -1)
{
    return static_cast<T*>(named(window, name, T::staticMetaObject, index));
}
// The report previews shown, in the order they were opened.
QList<ReportPreview*> previewWindows();
// The preview shown of the report with this caption.
ReportPreview& previewWindow(const QString& caption);
// The parts of Qt's own file and print dialogs that tests work, by the names Qt's forms give
// them, known here alone.
enum class DialogPart {
    FileName,
    PrintFile,
    Printers,
    FromPage,
    ToPage,
    Copies,
    PageRange,
    CurrentPage,
    Properties,
    Landscape
};
QString partName(DialogPart part);
template <class T = QWidget> T* part(const QObject& dialog, DialogPart which)
{
    return control<T>(dialog, partName(which));
}
// Whether the item editor browses records: Add shows and Update does not.
bool browsing(frmAdding& editor);

// Clicks a control the user can see and reach, in its middle or at `at`.
void click(QWidget* widget, QPoint at = {});
void click(const QWidget& window, const QString& name);
// Chooses a command of the window, as its menu or access key does, when the user can reach it.
void choose(const QWidget& window, const QString& name);
// Presses keys as on a real keyboard: each goes to an open menu, else to the control that has
// the focus. Qt::Key_Alt is a lone Alt, pressed and released.
void press(const QList<QKeyCombination>& keys);
// Selects what the field holds and pastes the text over it, as a user enters any text.
void paste(QWidget* field, const QString& text);
// Ticks these rows of the catalogue view, with the keyboard.
void tick(QAbstractItemView* view, const QList<int>& rows);
// Clicks the entry showing this text in a list (lstCat, a data combo's list).
void clickEntry(QAbstractItemView* list, const QString& text);
// Enters a date into a date box, written as the box shows dates.
void enterDate(QDateEdit* box, const QDate& date);
// Opens the cell of a field with a click and a double click, and returns its editor.
QWidget* openCell(QTableView* grid, int row, const QString& field);
// Opens the cell of a field as openCell() does and pastes the text, or with
// `keyByKey` types it over the cell the click selected; then ends the edit with Return.
void editCell(QTableView* grid, int row, const QString& field, const QString& text, bool keyByKey = false);
// Types into a data combo's text field and clicks it.
void enterInCombo(DataCombo* combo, const QString& text);
// The grid column of a field.
int gridColumn(QTableView* grid, const QString& field);

// What screen readers were last told of in the window by a notice (a count, a record, a day),
// as they read it; empty when nothing was.
QString lastNotice(const QWidget& window);

// The entries a list shows (lstRecent, lstCat, a data combo's list), in its order; of a view
// with columns (lvwItems), those of one column.
QStringList entries(const QAbstractItemView* list, int column = -1);
// The list rows the grid shows, in ID order: ID, Item, Category, Aisle, Quantity, Date.
// Throws when the count label says another number.
QList<QJsonArray> listShown(frmCartstock& window);
// The editor's record: ID, Item, Category, Aisle; an empty box is null.
QJsonArray recordShown(frmAdding& editor);
// What the open windows show that the file does not hold: the list grid and the category
// list, the item editor's lists and the record it shows when not adding or editing, and with
// `catalogue` the catalogue view. Empty when they agree.
QString shownButNotHeld(const ListState& file, bool catalogue = false);
} // namespace UserMoves
