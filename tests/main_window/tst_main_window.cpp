#include "BandedReport.h"
#include "CommonDialog.h"
#include "DataCombo.h"
#include "DataGrid.h"
#include "DataList.h"
#include "MenuClicks.h"
#include "RealMessageBox.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"
#include "rptAll.h"
#include "rptPrint.h"

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QDateEdit>
#include <QFile>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTest>
#include <QTreeView>

#include <algorithm>
#include <memory>

using namespace UserMoves;

namespace {
// The controls these tests use most, found by name.
DataGrid* grdList(frmCartstock& w) { return control<DataGrid>(w, "grdList"); }
QTreeView* lvwItems(frmCartstock& w) { return control<QTreeView>(w, "lvwItems"); }
DataList* lstCat(frmCartstock& w) { return control<DataList>(w, "lstCat"); }
QDateEdit* DTPick(frmCartstock& w) { return control<QDateEdit>(w, "DTPick"); }
QString lblCount(frmCartstock& w) { return control<QLabel>(w, "lblCount")->text(); }

QModelIndex row(frmCartstock& w, const QString& item)
{
    QAbstractItemModel* rows = lvwItems(w)->model();
    const QModelIndexList found = rows->match(rows->index(0, 0), Qt::DisplayRole, item, 1, Qt::MatchExactly);
    return found.value(0);
}

Qt::CheckState tickOf(const QModelIndex& row) { return Qt::CheckState(row.data(Qt::CheckStateRole).toInt()); }

bool boldAt(const QModelIndex& row, int column)
{
    return row.siblingAtColumn(column).data(Qt::FontRole).value<QFont>().bold();
}

// Ticks these items with the keyboard, as a user does.
void tick(frmCartstock& w, const QStringList& items)
{
    QList<int> rows;
    for (const QString& item : items)
        rows << row(w, item).row();
    std::sort(rows.begin(), rows.end());
    UserMoves::tick(lvwItems(w), rows);
}

// Every text a report put on its pages, in order.
QStringList reportTexts(const BandedReport& report)
{
    QStringList out;
    for (const PageList::Page& page : report.pages().pages)
        for (const PageList::Band& band : page.bands)
            for (const PageList::Item& item : band.items)
                if (!item.text.isEmpty())
                    out << item.text;
    return out;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> db;

    frmCartstock& start()
    {
        frmCartstock& w = frmCartstock::load();
        w.show();
        w.activateWindow();
        return w;
    }

    void addEntry(const QString& item, const QString& date, const QString& quantity = QStringLiteral("1"))
    {
        db->exec(QStringLiteral(
                     "INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) VALUES (?, 'Dairy', '3', ?, ?)"),
                 {item, quantity, date});
    }

private Q_SLOTS:
    void init()
    {
        session = std::make_unique<TestSession>();
        db = std::make_unique<TestDatabase>();
        const auto add = [&](const QVariant& item, const QVariant& category, const QVariant& aisle) {
            db->exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, ?)"),
                     {item, category, aisle});
        };
        add(QStringLiteral("Milk"), QStringLiteral("Dairy"), QStringLiteral("3"));
        add(QStringLiteral("butter"), QStringLiteral("Dairy"), QStringLiteral("3"));
        add(QStringLiteral("Apples"), QStringLiteral("Produce"), QStringLiteral("1"));
        add(QStringLiteral("Crayons"), QStringLiteral("Kid's"), QVariant());
        add(QVariant(), QStringLiteral("Produce"), QStringLiteral("1"));
        add(QStringLiteral("Foil"), QVariant(), QStringLiteral("10"));
        for (const char* c : {"Produce", "Dairy", "Kid's", "Frozen"})
            db->exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES (?)"), {QString::fromUtf8(c)});
    }

    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        db.reset();
        CARTLIST_CHECK_SESSION(session);
    }

    void loadShowsTodayCountCategoriesAndCatalogue()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-12-24"));
        frmCartstock& w = start();
        QCOMPARE(DTPick(w)->date(), QDate(2026, 12, 5));
        QCOMPARE(lblCount(w), QStringLiteral("2"));
        QCOMPARE(grdList(w)->model()->rowCount(), 3);
        QCOMPARE(entries(lvwItems(w)), (QStringList{"-", "Apples", "butter", "Crayons", "Foil", "Milk"}));
        QCOMPARE(entries(lvwItems(w), 1), (QStringList{"Produce", "Produce", "Dairy", "Kid's", "", "Dairy"}));
    }

    void categoryIsChosenByMouseOrKeyboard()
    {
        frmCartstock& w = start();
        tick(w, {QStringLiteral("Apples")});
        clickEntry(lstCat(w), QStringLiteral("Dairy"));
        QCOMPARE(entries(lvwItems(w)), (QStringList{"butter", "Milk"}));
        clickEntry(lstCat(w), QStringLiteral("Frozen"));
        QCOMPARE(lvwItems(w)->model()->rowCount(), 0);
        QCOMPARE(lvwItems(w)->model()->columnCount(), 3);
        click(w, "cmdAll");
        QCOMPARE(lvwItems(w)->model()->rowCount(), 6);
        QCOMPARE(tickOf(row(w, QStringLiteral("Apples"))), Qt::Unchecked);
        lstCat(w)->setFocus();
        QTest::keyClick(lstCat(w), Qt::Key_End);
        QCOMPARE(entries(lvwItems(w)), (QStringList{"-", "Apples"}));
        // Typing a name's first letter goes to it.
        QTest::keyClick(lstCat(w), Qt::Key_K);
        QCOMPARE(entries(lvwItems(w)), QStringList{"Crayons"});
        QCOMPARE(lstCat(w)->text(), QStringLiteral("Kid's"));
        // Return and Space choose the entry again, as a second click does: the ticks go.
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
            tick(w, {QStringLiteral("Crayons")});
            QTest::keyClick(lstCat(w), key);
            QCOMPARE(tickOf(row(w, QStringLiteral("Crayons"))), Qt::Unchecked);
        }
    }

    void tickedItemsGoOnTheListForThePickersDate()
    {
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-11-30"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        DTPick(w)->setDate(QDate(2026, 12, 12));
        tick(w, {QStringLiteral("Milk"), QStringLiteral("-"), QStringLiteral("Crayons"), QStringLiteral("Foil")});
        // Return presses the focused button, as on Linux desktops.
        control(w, "cmdAddToList")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(db->column(QStringLiteral("SELECT Item FROM Selected WHERE Date = '2026-12-12' AND Quantity = '1'")),
                 (QVariantList{"-", "Crayons", "Foil", "Milk"}));
        // Missing category and aisle are stored as empty texts, not nulls.
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Item || Aisle = 'Crayons' OR Item || Category = 'Foil'")), 2);
        QCOMPARE(lblCount(w), QStringLiteral("5"));
        QCOMPARE(QAccessible::queryAccessibleInterface(control<QLabel>(w, "lblCount"))->text(QAccessible::Name),
                 QStringLiteral("Items on the list: 5"));
        QCOMPARE(grdList(w)->model()->rowCount(), 6);
        for (int i = 0; i < lvwItems(w)->model()->rowCount(); ++i)
            QCOMPARE(tickOf(lvwItems(w)->model()->index(i, 0)), Qt::Unchecked);
        tick(w, {QStringLiteral("Apples")});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(db->count(QStringLiteral("Selected")), 6);
    }

    // The second of three inserts is refused: the message names what was not added, only that
    // stays ticked, and pressing again adds only that.
    void addCheckedItemsFailingPartWayKeepsOnlyTheRestTicked()
    {
        db->exec(QStringLiteral("CREATE TRIGGER Refuse BEFORE INSERT ON Selected WHEN NEW.Item = 'Crayons' "
                                "BEGIN SELECT RAISE(ABORT, 'disk I/O error'); END"));
        frmCartstock& w = start();
        tick(w, {QStringLiteral("Apples"), QStringLiteral("Crayons"), QStringLiteral("Milk")});
        TestSession::answer(MessageBox::Answer::Ok);
        click(w, "cmdAddToList");
        const QString told = TestSession::messages().value(0);
        QVERIFY2(told.contains(QStringLiteral("\n    Crayons\n    Milk\n\ndisk I/O error")), qPrintable(told));
        QCOMPARE(listShown(w).size(), 1);
        db->exec(QStringLiteral("DROP TRIGGER Refuse"));
        click(w, "cmdAddToList");
        QCOMPARE(db->column(QStringLiteral("SELECT Item FROM Selected ORDER BY ID")),
                 (QVariantList{"Apples", "Crayons", "Milk"}));
    }

    void listCommandsAskFirst_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QString>("done"); // 0 before the command, 2 once it is done
        QTest::newRow("Change dates below")
            << QStringLiteral("cmdChangeDates")
            << QStringLiteral("Are you sure you want to change the dates on all items on your list?")
            << QStringLiteral("SELECT count(*) FROM Selected WHERE Date = '2027-01-09'");
        QTest::newRow("Delete All") << QStringLiteral("cmdClearAll")
                                    << QStringLiteral("Are you sure you want to delete all items on your list?")
                                    << QStringLiteral("SELECT 2 - count(*) FROM Selected");
    }

    void listCommandsAskFirst()
    {
        QFETCH(QString, button);
        QFETCH(QString, question);
        QFETCH(QString, done);
        frmCartstock& w = start();
        click(w, button); // empty list: no question
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-12-24"));
        click(w, "cmdRef");
        DTPick(w)->setDate(QDate(2027, 1, 9));
        TestSession::answer(MessageBox::Answer::No);
        click(w, button);
        QCOMPARE(db->scalar(done).toInt(), 0);
        TestSession::answer(MessageBox::Answer::Yes);
        click(w, button);
        QCOMPARE(db->scalar(done).toInt(), 2);
        QCOMPARE(TestSession::messages(), QStringList(2, question));
        QCOMPARE(lblCount(w), QString::number(db->count(QStringLiteral("Selected"))));
        QCOMPARE(grdList(w)->model()->rowCount(), db->count(QStringLiteral("Selected")) + 1);
        click(w, "cmdRef");
        QCOMPARE(grdList(w)->isEnabled(), db->count(QStringLiteral("Selected")) > 0);
    }

    // Only the entry chosen goes, not one that differs in case, and nothing is left highlighted.
    void deleteCategoryRemovesOnlyTheCategoryRow()
    {
        db->exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES ('KID''S')"));
        frmCartstock& w = start();
        click(w, "cmdDelCat"); // nothing selected: no question
        clickEntry(lstCat(w), QStringLiteral("Kid's"));
        TestSession::answer(MessageBox::Answer::No);
        click(w, "cmdDelCat");
        QCOMPARE(db->count(QStringLiteral("Categories")), 5);
        clickEntry(lstCat(w), QStringLiteral("Kid's"));
        TestSession::answer(MessageBox::Answer::Yes);
        click(w, "cmdDelCat");
        QCOMPARE(TestSession::messages(), QStringList(2, QStringLiteral("Are you sure you want to delete Kid's?")));
        QCOMPARE(db->column(QStringLiteral("SELECT Categories FROM Categories ORDER BY Categories")),
                 (QVariantList{"Dairy", "Frozen", "KID'S", "Produce"}));
        QCOMPARE(lstCat(w)->model()->rowCount(), 4);
        QVERIFY(lstCat(w)->text().isEmpty());
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Category = 'Kid''s'")), 1);
        QCOMPARE(entries(lvwItems(w)), QStringList{"Crayons"});
    }

    void gridRefusesWhatTheFileCannotHold_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("an ID") << 0 << "ID" << QStringLiteral("999") << QStringLiteral("ID");
        QTest::newRow("a locked quantity")
            << 0 << "Quantity" << QStringLiteral("7") << QStringLiteral("quantity is locked");
        QTest::newRow("a new row's date that is none") << 1 << "Date" << QStringLiteral("tomorrow") << QString();
        const QString control = QStringLiteral("Field \"%1\" cannot hold control characters");
        QTest::newRow("NUL and BEL") << 0 << "Item" << QStringLiteral("nu\0ll\a") << control.arg("Item");
        QTest::newRow("tab, ESC, DEL, U+001F")
            << 0 << "Aisle" << QStringLiteral("\t\x1b\x7f\x1f") << control.arg("Aisle");
        QTest::newRow("a new row's line break") << 1 << "Item" << QStringLiteral("Te\na") << control.arg("Item");
    }

    void gridRefusesWhatTheFileCannotHold()
    {
        QFETCH(int, row);
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"), QStringLiteral("2"));
        db->exec(QStringLiteral("CREATE TRIGGER NoQuantity BEFORE UPDATE OF Quantity ON Selected "
                                "BEGIN SELECT RAISE(ABORT, 'quantity is locked'); END"));
        frmCartstock& w = start();
        const QString stored = QStringLiteral("SELECT group_concat(ID || Item || Quantity || Date) FROM Selected");
        const QVariant before = db->scalar(stored);
        TestSession::answer(MessageBox::Answer::Ok);
        editCell(grdList(w), row, field, text);
        QVERIFY(TestSession::messages().value(0).contains(reason));
        // The file and the grid keep what was stored.
        QCOMPARE(db->scalar(stored), before);
        QCOMPARE(grdList(w)->model()->index(0, 5).data(), db->scalar(QStringLiteral("SELECT ID FROM Selected")));
        QCOMPARE(grdList(w)->model()->index(0, 3).data().toString(), QStringLiteral("2"));
        QCOMPARE(lblCount(w), QStringLiteral("1"));
    }

    void aDateTypedIntoTheGridIsStoredWholeOrRefused_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored"); // none: refused
        const auto row = [](const char* name, const char* locale, const char* typed, const char* stored) {
            QTest::newRow(name) << QString::fromLatin1(locale) << QString::fromLatin1(typed)
                                << QString::fromLatin1(stored);
        };
        row("as shown", "C", "31 Dec 2026", "2026-12-31");
        row("as shown, day with a zero", "C", "07 Dec 2026", "2026-12-07");
        row("ISO", "C", "2026-12-24", "2026-12-24");
        row("short form, two-digit year", "en_US", "12/31/26", "2026-12-31");
        row("short form, four-digit year", "en_GB", "24/12/2026", "2026-12-24");
        row("no such day", "C", "31 Feb 2026", nullptr);
        row("not a date", "C", "Friday", nullptr);
    }

    // Typed key by key over a date, as a user types.
    void aDateTypedIntoTheGridIsStoredWholeOrRefused()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QLocale::setDefault(QLocale(locale));
        addEntry(QStringLiteral("Milk"), QStringLiteral("2027-02-15"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // A real box, which takes the focus while it is shown.
        RealMessageBox user;
        if (stored.isEmpty())
            user.thenClick(QStringLiteral("OK"));
        editCell(grdList(w), 0, QStringLiteral("Date"), typed, true);
        QVERIFY(user.allAnswered());
        // Refused: the old date kept, and told.
        QCOMPARE(db->scalar(QStringLiteral("SELECT Date FROM Selected")).toString(),
                 stored.isEmpty() ? QStringLiteral("2027-02-15") : stored);
        // Fault: after a refused date the keyboard went on in the category list.
        QTRY_COMPARE(w.focusWidget(), static_cast<QWidget*>(grdList(w)));
        QCOMPARE(grdList(w)->currentIndex().column(), gridColumn(grdList(w), QStringLiteral("Date")));
    }

    // Fault: Up on day 31 or on December did nothing.
    void theDateBoxGoesRoundLikeADesktopDatePicker()
    {
        frmCartstock& w = start();
        QDateEdit* box = DTPick(w);
        box->setDate(QDate(2026, 12, 31));
        box->setFocus();
        box->setCurrentSection(QDateTimeEdit::DaySection);
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->date(), QDate(2026, 12, 1));
        box->setCurrentSection(QDateTimeEdit::MonthSection);
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(box->date(), QDate(2026, 1, 1));
        QTest::keyClick(box, Qt::Key_Down);
        QCOMPARE(box->date(), QDate(2026, 12, 1));
    }

    // Another program deletes a row, or empties or replaces the file, before a cell of it is
    // saved: the grid and the count show the file, which is told as start-up tells it.
    void aRefusedCellShowsTheFileAndTellsAFileNoLongerUsable_data()
    {
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("told");
        QTest::newRow("row deleted") << false << QByteArray() << "Row cannot be located";
        QTest::newRow("file emptied") << true << QByteArray()
                                      << "not a usable Cartlist database: it is empty (0 bytes)";
        QTest::newRow("file replaced by a text") << true << QByteArray("Milk, tea\n") << "it is not a database file";
    }

    void aRefusedCellShowsTheFileAndTellsAFileNoLongerUsable()
    {
        QFETCH(bool, replaced);
        QFETCH(QByteArray, content);
        QFETCH(QString, told);
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QFile file(db->path());
        if (replaced)
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size());
        else
            db->exec(QStringLiteral("DELETE FROM Selected WHERE Item = 'Tea'"));
        file.close();
        TestSession::answer(MessageBox::Answer::Ok);
        editCell(grdList(w), 1, QStringLiteral("Quantity"), "5");
        const QString message = TestSession::messages().value(0);
        QVERIFY2(message.contains(told), qPrintable(message));
        QCOMPARE(listShown(w).size(), replaced ? 0 : 1);
        // Told with what to do about it.
        QCOMPARE(message.contains(QStringLiteral("    mv ")), replaced);
    }

    void printingNeedsRowsAndShowsThePickersDate()
    {
        frmCartstock& w = start();
        TestSession::answer(MessageBox::Answer::Ok);
        choose(w, "mnuPrint");
        QCOMPARE(TestSession::messages(), QStringList{"No records to show."});
        QCOMPARE(rptPrint::existing(), nullptr);
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-12-24"));
        click(w, "cmdRef");
        const QStringList headings{"Item:", "Aisle:", "Quantity:"};
        choose(w, "mnuPrint");
        QCOMPARE(reportTexts(*rptPrint::existing()), (headings + QStringList{"Dairy", "Milk", "3", "1"}));
        // Again, for another date: the same window, the new date's entries.
        DTPick(w)->setDate(QDate(2026, 12, 24));
        choose(w, "mnuPrint");
        QCOMPARE(reportTexts(*rptPrint::existing()), (headings + QStringList{"Dairy", "Tea", "3", "1"}));
        DTPick(w)->setDate(QDate(2027, 1, 1));
        choose(w, "mnuPrint");
        QCOMPARE(reportTexts(*rptPrint::existing()), headings);
        QCOMPARE(TestSession::messages().size(), 1);
    }

    void fullListCountsTheFilteredCatalogue()
    {
        frmCartstock& w = start();
        clickEntry(lstCat(w), QStringLiteral("Frozen"));
        TestSession::answer(MessageBox::Answer::Ok);
        choose(w, "mnuPrintFull");
        QCOMPARE(TestSession::messages(), QStringList{"No records to show."});
        click(w, "cmdAll");
        tick(w, {QStringLiteral("Milk")});
        clickEntry(lstCat(w), QStringLiteral("Dairy"));
        tick(w, {QStringLiteral("Milk")});
        choose(w, "mnuPrintFull");
        QVERIFY(rptAll::existing());
        QVERIFY(reportTexts(*rptAll::existing()).contains(QStringLiteral("Foil")));
        // The view keeps what it showed, ticks too.
        QCOMPARE(entries(lvwItems(w)), (QStringList{"butter", "Milk"}));
        QCOMPARE(tickOf(row(w, QStringLiteral("Milk"))), Qt::Checked);
        click(w, "cmdQuit");
        QCOMPARE(rptAll::existing(), nullptr);
    }

    void addWithTicksAsksOnceAndOkOpensTheEditor()
    {
        frmCartstock& w = start();
        tick(w, {QStringLiteral("Milk"), QStringLiteral("Apples")});
        const QString warning = QStringLiteral("You have items checked.  Click Cancel to return and add them before "
                                               "exiting this screen.");
        RealMessageBox user;
        user.thenClick(QStringLiteral("Cancel"));
        user.then([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
        chooseFromMenu(w, QStringLiteral("Add"));
        chooseFromMenu(w, QStringLiteral("Add"));
        QCOMPARE(frmCartstock::loaded(), &w);
        QCOMPARE(tickOf(row(w, QStringLiteral("Milk"))), Qt::Checked);
        user.thenClick(QStringLiteral("OK"));
        chooseFromMenu(w, QStringLiteral("Add"));
        QCOMPARE(user.texts(), QStringList(3, warning));
        QVERIFY(user.allAnswered());
        QVERIFY(frmAdding::loaded());
        QCOMPARE(frmCartstock::loaded(), nullptr);
    }

    void commandsStoreACellEditStillOpen_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("refused"); // the file refuses quantities
        for (const char* command :
             {"Print|Cartlist", "Print|Cartlist by Aisle", "Print|Full List", "Options|Back Color", "Add|", "EXIT|"})
            QTest::newRow(command) << QString::fromLatin1(command) << "Quantity" << false;
        // What the file refuses is said and the command goes on; on EXIT, what a column cannot
        // hold is dropped quietly.
        QTest::newRow("refused, then Print|Cartlist") << QStringLiteral("Print|Cartlist") << "Quantity" << true;
        QTest::newRow("an ID typed, then EXIT") << QStringLiteral("EXIT|") << "ID" << false;
    }

    void commandsStoreACellEditStillOpen()
    {
        QFETCH(QString, command);
        QFETCH(QString, field);
        QFETCH(bool, refused);
        const QString menu = command.section(u'|', 0, 0), item = command.section(u'|', 1);
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        if (refused) {
            db->exec(QStringLiteral("CREATE TRIGGER NoQuantity BEFORE UPDATE OF Quantity ON Selected "
                                    "BEGIN SELECT RAISE(ABORT, 'quantity is locked'); END"));
            TestSession::answer(MessageBox::Answer::Ok);
        }
        const QVariant id = db->scalar(QStringLiteral("SELECT ID FROM Selected"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Double-click the cell and type, without leaving it.
        auto* editor = qobject_cast<QLineEdit*>(openCell(grdList(w), 0, field));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("55"));
        if (menu == QStringLiteral("Options"))
            CommonDialog::queueColor(Qt::yellow);
        menu == QStringLiteral("EXIT") ? click(w, "cmdQuit") : chooseFromMenu(w, menu, item);
        const QString quantity =
            field == QStringLiteral("Quantity") && !refused ? QStringLiteral("55") : QStringLiteral("1");
        QCOMPARE(db->scalar(QStringLiteral("SELECT Quantity FROM Selected WHERE ID = ?"), {id}).toString(), quantity);
        QCOMPARE(db->count(QStringLiteral("Selected")), 1);
        QCOMPARE(TestSession::messages().size(), refused ? 1 : 0);
        QVERIFY(!refused || TestSession::messages().constFirst().contains(QStringLiteral("quantity is locked")));
        if (item == QStringLiteral("Cartlist"))
            QCOMPARE(reportTexts(*rptPrint::existing()).constLast(), quantity);
    }

    void theWholeJobCanBeDoneWithTheKeyboardAlone()
    {
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-11-30"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), lstCat(w));
        press({Qt::Key_Home}); // the first category
        QCOMPARE(entries(lvwItems(w)), (QStringList{"butter", "Milk"}));
        press({Qt::Key_Tab, Qt::Key_Space, Qt::Key_Down, Qt::Key_Space}); // tick both
        QCOMPARE(tickOf(row(w, QStringLiteral("Milk"))), Qt::Checked);
        QVERIFY(boldAt(row(w, QStringLiteral("Milk")), 0));
        press({Qt::Key_Tab, Qt::Key_Space}); // "Add Checked Items to Cartlist"
        QCOMPARE(db->column(QStringLiteral("SELECT Item FROM Selected WHERE Date = '2026-12-05' ORDER BY ID")),
                 (QVariantList{"butter", "Milk"}));
        // Into the grid: Milk's quantity becomes 5.
        press({Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_5,
               Qt::Key_Return});
        // The grid stores the cell once Return has been handled.
        QTRY_COMPARE(db->scalar(QStringLiteral("SELECT Quantity FROM Selected WHERE Item = 'Milk'")).toString(),
                     QStringLiteral("5"));
        // Print, Cartlist from the menu bar.
        press({Qt::Key_F10, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return});
        QVERIFY(rptPrint::existing());
        QCOMPARE(reportTexts(*rptPrint::existing()),
                 (QStringList{"Item:", "Aisle:", "Quantity:", "Dairy", "butter", "3", "1", "Milk", "3", "5"}));
    }

    void aRowTypedIntoTheNewRowLineIsFilledInAlongItsCells()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        grdList(w)->setFocus();
        grdList(w)->setCurrentIndex(grdList(w)->model()->index(0, 0));
        // Typing starts the cell; Tab stores it and goes on along the same row.
        for (const QString& text : {QStringLiteral("Bread"), QStringLiteral("Bakery"), QStringLiteral("1")}) {
            for (const QChar c : text)
                QTest::keyClicks(QApplication::focusWidget(), QString(c));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(db->count(QStringLiteral("Selected")), 1);
        QCOMPARE(db->scalar(QStringLiteral("SELECT Item || '/' || Category || '/' || Aisle FROM Selected")).toString(),
                 QStringLiteral("Bread/Bakery/1"));
        QCOMPARE(grdList(w)->currentIndex(), grdList(w)->model()->index(0, 3));
        QCOMPARE(grdList(w)->model()->rowCount(), 2);
        QCOMPARE(lblCount(w), QStringLiteral("1"));
    }

    void tabLeavesTheGridAtItsEdgesAndCtrlTabAlways()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QAbstractItemModel* model = grdList(w)->model();
        // From a cell, or from inside it being edited (what was typed is kept); the last cell
        // is on the new-row line.
        const struct {
            int row, column;
            bool editing;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            QWidget* to;
        } moves[] = {{0, 2, false, Qt::Key_Tab, {}, grdList(w)},
                     {1, 5, false, Qt::Key_Tab, {}, DTPick(w)},
                     {0, 0, false, Qt::Key_Backtab, Qt::ShiftModifier, control(w, "cmdAddToList")},
                     {0, 2, false, Qt::Key_Tab, Qt::ControlModifier, DTPick(w)},
                     {0, 3, true, Qt::Key_Tab, Qt::ControlModifier, DTPick(w)},
                     {1, 5, true, Qt::Key_Tab, {}, DTPick(w)}};
        for (const auto& move : moves) {
            grdList(w)->setFocus(Qt::TabFocusReason);
            grdList(w)->setCurrentIndex(model->index(move.row, move.column));
            if (move.editing) {
                grdList(w)->edit(model->index(move.row, move.column));
                QTest::keyClicks(QApplication::focusWidget(), move.column == 3 ? QStringLiteral("7") : QString());
            }
            QTest::keyClick(QApplication::focusWidget(), move.key, move.modifiers);
            QCOMPARE(QApplication::focusWidget(), move.to);
        }
        QCOMPARE(grdList(w)->currentIndex(), model->index(1, 5));
        QVERIFY(db->scalar(QStringLiteral("SELECT Quantity FROM Selected")).toString().endsWith(u'7'));
    }

    void menuBarOpensFromTheKeyboard()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QMenuBar* bar = w.menuBar();
        // Menus keep the desktop's font, not the window's italic design face.
        QVERIFY(!bar->font().italic());
        control(w, "cmdAll")->setFocus();
        QTest::keyClick(control(w, "cmdAll"), Qt::Key_F10);
        QCOMPARE(bar->activeAction(), control<QAction>(w, "mnuAdd"));
        // The title the keys are on is marked, as an open menu's title is.
        const QRect title = bar->actionGeometry(control<QAction>(w, "mnuAdd"));
        QCOMPARE(bar->grab().toImage().pixelColor(title.left() + 2, title.center().y()),
                 bar->palette().color(QPalette::Highlight));
        // Return runs the title's command.
        QTest::keyClick(bar, Qt::Key_Return);
        QVERIFY(frmAdding::loaded());
    }

    void calendarOpensFromTheKeyboardInTheDesktopFont()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        DTPick(w)->setFocus();
        const QDate before = DTPick(w)->date();
        QTest::keyClick(DTPick(w), Qt::Key_F4);
        QCalendarWidget* calendar = DTPick(w)->calendarWidget();
        QVERIFY(QTest::qWaitForWindowExposed(calendar->window()));
        auto* days = calendar->findChild<QTableView*>();
        // The weekday headings, in the first row, fit their columns.
        for (int c = 0; c < days->model()->columnCount(); ++c) {
            const QModelIndex heading = days->model()->index(0, c);
            const QFontMetrics metrics(heading.data(Qt::FontRole).value<QFont>());
            QVERIFY(metrics.horizontalAdvance(heading.data().toString()) < days->columnWidth(c));
        }
        // Escape puts back the date the box had, whatever day was browsed to.
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Left, Qt::Key_Escape})
            QTest::keyClick(days, key);
        QTRY_VERIFY(!calendar->window()->isVisible());
        QCOMPARE(DTPick(w)->date(), before);
        QTest::keyClick(DTPick(w), Qt::Key_Down, Qt::AltModifier);
        QVERIFY(QTest::qWaitForWindowExposed(calendar->window()));
        // A day chosen with the keyboard becomes the picker's date.
        QTest::keyClick(days, Qt::Key_Right);
        QTest::keyClick(days, Qt::Key_Return);
        QTRY_VERIFY(!calendar->window()->isVisible());
        QCOMPARE(DTPick(w)->date(), before.addDays(1));
    }

    void dateBoxIsOneTabStopAndLeftAndRightGoFromFieldToField()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QDateEdit* box = DTPick(w);
        const QDate today = box->date();
        control(w, "cmdDelCat")->setFocus(Qt::TabFocusReason);
        press({Qt::Key_Backtab});
        QCOMPARE(QApplication::focusWidget(), box);
        // Each key, and the field of the three it leaves the box on; at either end the field stays.
        const struct {
            QKeyCombination key;
            int field;
        } moves[] = {{Qt::Key_Left, 1},   {Qt::Key_Left, 0},  {Qt::Key_Left, 0},           {Qt::Key_Slash, 1},
                     {Qt::Key_Period, 2}, {Qt::Key_Right, 2}, {Qt::Key_Left, 1},           {Qt::Key_Minus, 2},
                     {Qt::Key_Left, 1},   {Qt::Key_Down, 1},  {Qt::CTRL | Qt::Key_Left, 0}};
        for (const auto& move : moves) {
            press({move.key});
            QCOMPARE(box->currentSectionIndex(), move.field);
        }
        QVERIFY(box->date() < today);
        // An Alt chord is not typed into it, and a shortcut of the window still works from it.
        QShortcut shortcut(Qt::ALT | Qt::Key_K, &w);
        QSignalSpy pressed(&shortcut, &QShortcut::activated);
        const QString shown = box->text();
        press({Qt::ALT | Qt::Key_1, Qt::ALT | Qt::Key_K});
        QCOMPARE(box->text(), shown);
        QCOMPARE(pressed.count(), 1);
        // Tab leaves it from any field.
        press({Qt::Key_Tab});
        QCOMPARE(QApplication::focusWidget(), control(w, "cmdDelCat"));
    }

    void whatIsTypedIntoACellArrivesWhole()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        grdList(w)->setFocus();
        grdList(w)->setCurrentIndex(grdList(w)->model()->index(0, 0));
        // A dead key and its letter, or a compose sequence, reach the grid as one composed text.
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("\u00C1"));
        QApplication::sendEvent(grdList(w), &composed);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("gua"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(db->scalar(QStringLiteral("SELECT Item FROM Selected")).toString(), QStringLiteral("\u00C1gua"));
        // A long paste is kept whole: a box's default limit would cut it silently.
        const QString text = QString(100003, u'y');
        QApplication::clipboard()->setText(text);
        grdList(w)->edit(grdList(w)->model()->index(0, 0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(db->scalar(QStringLiteral("SELECT length(Item) FROM Selected")).toInt(), text.size());
    }

    void theMenuBarLendsTheKeyboardAndACellBeingEditedStaysOpen()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto quantity = [&] { return db->scalar(QStringLiteral("SELECT Quantity FROM Selected")).toString(); };
        grdList(w)->setFocus();
        grdList(w)->setCurrentIndex(grdList(w)->model()->index(0, 3));
        // F10 or a lone Alt, then Escape: the typing goes on in the cell.
        for (const auto& [menu, stored] : {std::pair{Qt::Key_F10, "92"}, std::pair{Qt::Key_Alt, "83"}}) {
            press({Qt::Key(stored[0])});
            QWidget* editor = QApplication::focusWidget();
            QVERIFY(grdList(w)->isAncestorOf(editor));
            press({menu, Qt::Key_Escape});
            QCOMPARE(QApplication::focusWidget(), editor);
            press({Qt::Key(stored[1]), Qt::Key_Return});
            QTRY_COMPARE(quantity(), QString::fromLatin1(stored));
        }
        // A command chosen from a menu stores the cell first; so does the focus going on to
        // another control.
        press({Qt::Key_5, Qt::Key_F10, Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return});
        QCOMPARE(quantity(), QStringLiteral("5"));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        grdList(w)->setFocus();
        press({Qt::Key_6, Qt::Key_F10});
        click(w, "cmdAll");
        QCOMPARE(quantity(), QStringLiteral("6"));
        QVERIFY(!grdList(w)->indexWidget(grdList(w)->currentIndex()));
    }

    void theFocusedControlIsMarkedAndAnUnfocusedSelectionIsNot()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto look = [&](QWidget* shown) {
            return w.grab(QRect(shown->mapTo(&w, QPoint(0, 0)), shown->size())).toImage();
        };
        // Every shown in the tab chain looks different with the focus than without it.
        for (QWidget* shown : w.centralWidget()->findChildren<QWidget*>()) {
            if (shown->objectName().isEmpty() || !(shown->focusPolicy() & Qt::TabFocus))
                continue;
            shown->setFocus(Qt::TabFocusReason);
            const QImage focused = look(shown);
            control(w, "cmdAll") == shown ? lstCat(w)->setFocus() : control(w, "cmdAll")->setFocus();
            QVERIFY2(look(shown) != focused, qPrintable(shown->objectName()));
        }
        // A selection shows, yet not as the focused control's selection does.
        clickEntry(lstCat(w), QStringLiteral("Dairy"));
        const QPoint inRow =
            lstCat(w)->viewport()->mapTo(&w, lstCat(w)->visualRect(lstCat(w)->currentIndex()).center());
        const QColor withFocus = w.grab().toImage().pixelColor(inRow);
        control(w, "cmdAll")->setFocus();
        const QColor withoutFocus = w.grab().toImage().pixelColor(inRow);
        // Clearly apart, not a shade of the same blue.
        const auto apart = [](const QColor& a, const QColor& b) {
            return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
        };
        QVERIFY(apart(withFocus, withoutFocus) > 60 &&
                apart(withoutFocus, lstCat(w)->palette().color(QPalette::Base)) > 20);
    }

    void everyFocusableControlHasANameAndTheRoleOfAControl_data()
    {
        QTest::addColumn<bool>("editor");
        QTest::newRow("main window") << false;
        QTest::newRow("item editor") << true;
    }

    void everyFocusableControlHasANameAndTheRoleOfAControl()
    {
        QFETCH(bool, editor);
        frmCartstock& main = start();
        if (editor)
            choose(main, "mnuAdd");
        QWidget* window = editor ? static_cast<QWidget*>(frmAdding::loaded()) : &main;
        const QList<QAccessible::Role> windowRoles = {QAccessible::Window, QAccessible::Dialog, QAccessible::Border};
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control->focusPolicy() == Qt::NoFocus && !control->objectName().startsWith(QStringLiteral("pic")))
                continue;
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
            const QString what = control->objectName() + u' ' + QLatin1String(control->metaObject()->className());
            QVERIFY2(!spoken->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(what));
            QVERIFY2(!windowRoles.contains(spoken->role()), qPrintable(what));
        }
        if (editor) {
            // The category list's tip is said where the focus lands, in its field.
            QWidget* field = control<DataCombo>(*frmAdding::loaded(), "cboCat")->textField();
            QVERIFY(!QAccessible::queryAccessibleInterface(field)->text(QAccessible::Description).isEmpty());
            return;
        }
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(lstCat(main));
        QCOMPARE(list->child(2)->text(QAccessible::Name), QStringLiteral("Kid's"));
    }

    // The views' headers are the program's own, yet keep the ways of Qt's headers for their
    // kind of view (the grid's titles mark the current column, the catalogue's last column
    // stretches) and stand as high as Qt's would, though they measure without the bold face.
    void headersKeepTheirViewsWaysAndHeight()
    {
        frmCartstock& w = start();
        const QTreeView plainTree;
        const QTableView plainTable;
        const auto sameWays = [](const QHeaderView* own, const QHeaderView* qts) {
            return own->sectionsMovable() == qts->sectionsMovable() &&
                   own->sectionsClickable() == qts->sectionsClickable() &&
                   own->highlightSections() == qts->highlightSections() &&
                   own->stretchLastSection() == qts->stretchLastSection() &&
                   own->defaultAlignment() == qts->defaultAlignment();
        };
        QVERIFY(sameWays(lvwItems(w)->header(), plainTree.header()));
        QVERIFY(sameWays(grdList(w)->horizontalHeader(), plainTable.horizontalHeader()));
        QVERIFY(sameWays(grdList(w)->verticalHeader(), plainTable.verticalHeader()));
        for (const QHeaderView* own : {lvwItems(w)->header(), grdList(w)->horizontalHeader()}) {
            QHeaderView qts(Qt::Horizontal);
            qts.setFont(own->font());
            qts.setModel(own->model());
            QCOMPARE(own->sizeHint().height(), qts.sizeHint().height());
        }
    }

    // Screen readers say a tick when the change comes from the very cell they were told has
    // the focus, and know a tick box in a table by its "toggle" action.
    void catalogueCellsStayTheSameAndTheirTickBoxesSayToggle()
    {
        frmCartstock& w = start();
        QAccessibleInterface* catalogue = QAccessible::queryAccessibleInterface(lvwItems(w));
        QAccessibleTableInterface* table = catalogue->tableInterface();
        QAccessibleInterface* cell = table->cellAt(1, 0);
        // The view tells its focus by child number, the column headers counted as a first row.
        QCOMPARE(catalogue->child(2 * table->columnCount()), cell);
        QCOMPARE(table->cellAt(1, 0), cell);
        QCOMPARE(cell->text(QAccessible::Name), entries(lvwItems(w)).value(1));
        QVERIFY(cell->state().checkable && !cell->state().checked);
        QCOMPARE(cell->actionInterface()->actionNames(), QStringList{QStringLiteral("toggle")});
        QVERIFY(!table->cellAt(1, 1)->actionInterface());
        QCOMPARE(cell->tableCellInterface()->columnHeaderCells().value(0)->text(QAccessible::Name),
                 QStringLiteral("Item"));

        QVERIFY(QTest::qWaitForWindowActive(&w));
        UserMoves::press({Qt::Key_Tab, Qt::Key_Down, Qt::Key_Space});
        QCOMPARE(table->cellAt(1, 0), cell);
        QVERIFY(cell->state().checked && cell->state().focused);
        // A reader's own toggle takes the tick away as Space does, bold mark included.
        cell->actionInterface()->doAction(QStringLiteral("toggle"));
        const QModelIndex second = lvwItems(w)->model()->index(1, 0);
        QCOMPARE(tickOf(second), Qt::Unchecked);
        QVERIFY(!boldAt(second, 0));
    }

    // The focus stays where it is on these moves, so a reader hears them only by notices: the
    // calendar's day with its month as it opens and moves, the count after Add.
    void screenReadersHearTheCalendarsDayAndTheCountAfterAdd()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QDateEdit* box = DTPick(w);
        box->setFocus();
        const QDate today = box->date();
        const auto longDate = [](const QDate& d) { return QLocale().toString(d, QLocale::LongFormat); };
        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
        QWidget* calendar = box->calendarWidget()->window();
        QVERIFY(QTest::qWaitForWindowExposed(calendar));
        QCOMPARE(lastNotice(*calendar), longDate(today));
        QTest::keyClick(box->calendarWidget()->findChild<QTableView*>(), Qt::Key_Right);
        QCOMPARE(lastNotice(*calendar), longDate(today.addDays(1)));
        QTest::keyClick(box->calendarWidget()->findChild<QTableView*>(), Qt::Key_Escape);
        QTRY_VERIFY(!calendar->isVisible());
        // The hidden calendar follows the box without a word.
        QTest::keyClick(box, Qt::Key_Up);
        QCOMPARE(lastNotice(*calendar), longDate(today.addDays(1)));

        tick(w, {QStringLiteral("Milk")});
        control(w, "cmdAddToList")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(lastNotice(w), QStringLiteral("Items on the list: ") + lblCount(w));
    }

    // A click on a tick box makes its row current, where a reader hears the tick.
    void mouseTickMakesItsRowCurrent()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QModelIndex third = lvwItems(w)->model()->index(2, 0);
        QStyleOptionViewItem option;
        option.initFrom(lvwItems(w));
        option.rect = lvwItems(w)->visualRect(third);
        option.features |= QStyleOptionViewItem::HasCheckIndicator;
        const QRect box =
            lvwItems(w)->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, lvwItems(w));
        click(lvwItems(w)->viewport(), box.center());
        QCOMPARE(tickOf(third), Qt::Checked);
        QCOMPARE(lvwItems(w)->currentIndex().row(), 2);
    }

    // What the desktop's bridge sends: a value a screen reader says, and each cell as shown.
    void screenReadersHearThePickersDateAndTheGridAsShown()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-13"));
        frmCartstock& w = start();
        QAccessibleInterface* picker = QAccessible::queryAccessibleInterface(DTPick(w));
        // Readers say a spin box's text when the number of its value changes.
        QCOMPARE(picker->textInterface()->text(0, picker->textInterface()->characterCount()), DTPick(w)->text());
        QCOMPARE(picker->valueInterface()->currentValue().toLongLong(), DTPick(w)->date().toJulianDay());

        QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(grdList(w))->tableInterface();
        const int dateColumn = gridColumn(grdList(w), QStringLiteral("Date"));
        const QModelIndex date = grdList(w)->model()->index(0, dateColumn);
        const QString shown = static_cast<QStyledItemDelegate*>(grdList(w)->itemDelegate())
                                  ->displayText(date.data(), grdList(w)->locale());
        QVERIFY(shown != QStringLiteral("2026-12-13"));
        QCOMPARE(table->cellAt(0, dateColumn)->text(QAccessible::Name), shown);
        const auto rowHeader = [table](int row) {
            // Qt makes the header cell for the caller alone, unregistered: hand it to the cache
            // to be deleted.
            QAccessibleInterface* header = table->cellAt(row, 0)->tableCellInterface()->rowHeaderCells().value(0);
            const QString name = header->text(QAccessible::Name);
            QAccessible::deleteAccessibleInterface(QAccessible::registerAccessibleInterface(header));
            return name;
        };
        QCOMPARE(rowHeader(0), QStringLiteral("Row 1"));
        QCOMPARE(rowHeader(1), QStringLiteral("New row"));
    }
};

CARTLIST_TEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
