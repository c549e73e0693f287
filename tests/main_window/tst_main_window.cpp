#include "BandedReport.h"
#include "CommonDialog.h"
#include "DataEnvironment.h"
#include "DataGrid.h"
#include "DataList.h"
#include "HelpViewer.h"
#include "MenuClicks.h"
#include "Module1.h"
#include "RealMessageBox.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "frmAdding.h"
#include "frmCartstock.h"
#include "rptAll.h"
#include "rptPrint.h"

#include <QAccessible>
#include <QApplication>
#include <QCalendarWidget>
#include <QClipboard>
#include <QDateEdit>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

namespace {
QStringList column(QTreeWidget* view, int c)
{
    QStringList out;
    for (int i = 0; i < view->topLevelItemCount(); ++i)
        out << view->topLevelItem(i)->text(c);
    return out;
}

QTreeWidgetItem* row(frmCartstock& w, const QString& item)
{
    const auto found = w.lvwItems->findItems(item, Qt::MatchExactly, 0);
    return found.isEmpty() ? nullptr : found.first();
}

void tick(frmCartstock& w, const QStringList& items)
{
    for (const QString& item : items)
        row(w, item)->setCheckState(0, Qt::Checked);
}

void clickCategory(frmCartstock& w, const QString& name)
{
    QAbstractItemModel* model = w.lstCat->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        const QModelIndex index = model->index(r, 0);
        if (index.data().toString() == name) {
            w.lstCat->scrollTo(index);
            QTest::mouseClick(w.lstCat->viewport(), Qt::LeftButton, {}, w.lstCat->visualRect(index).center());
            return;
        }
    }
    QFAIL(qPrintable(QStringLiteral("no category ") + name));
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

// Types into a grid cell as a user does and leaves it with Tab.
void typeIntoCell(frmCartstock& w, int r, int c, const QString& text)
{
    const QModelIndex index = w.grdList->model()->index(r, c);
    w.grdList->setCurrentIndex(index);
    w.grdList->edit(index);
    QWidget* editor = w.grdList->indexWidget(index);
    QVERIFY(editor);
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->selectAll();
    else if (auto* date = qobject_cast<QDateEdit*>(editor))
        date->selectAll();
    QTest::keyClicks(editor, text);
    QTest::keyClick(editor, Qt::Key_Tab);
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
        db.reset();
        CARTLIST_CHECK_SESSION(session);
    }

    void layoutPutsControlsInTheirPlaces()
    {
        frmCartstock& w = start();
        QCOMPARE(w.windowTitle(), QStringLiteral("Cartlist"));
        QCOMPARE(w.grdList->geometry(), QRect(8, 416, 785, 169));
        QCOMPARE(w.cmdSelNone->geometry(), QRect(152, 0, 25, 25));
        QCOMPARE(w.cmdSelNone->text(), QStringLiteral("\u00D8"));
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("lblCount")), w.lblCount);
        QCOMPARE(w.mnuFontColor->text(), QStringLiteral("Font && Form Color"));
        QCOMPARE(w.menuBar()->actions().first()->objectName(), QStringLiteral("mnuAdd"));
        QCOMPARE(w.grdList->columnWidth(0), 116);
        QCOMPARE(w.grdList->columnWidth(5), 61);
        // A fixed layout: enlarging the window moves nothing.
        const QRect before = w.cmdQuit->geometry();
        w.resize(w.size() + QSize(300, 200));
        QCOMPARE(w.cmdQuit->geometry(), before);
    }

    void loadShowsTodayCountCategoriesAndCatalogue()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-12-24"));
        frmCartstock& w = start();
        QCOMPARE(w.DTPick->date(), QDate(2026, 12, 5));
        QCOMPARE(w.lblCount->text(), QStringLiteral("2"));
        QCOMPARE(w.grdList->model()->rowCount(), 3);
        QStringList categories;
        for (int r = 0; r < w.lstCat->model()->rowCount(); ++r)
            categories << w.lstCat->model()->index(r, 0).data().toString();
        QCOMPARE(categories, (QStringList{"Dairy", "Frozen", "Kid's", "Produce"}));
        QCOMPARE(w.lvwItems->headerItem()->text(2), QStringLiteral("Aisle"));
        QCOMPARE(column(w.lvwItems, 0), (QStringList{"-", "Apples", "butter", "Crayons", "Foil", "Milk"}));
        QCOMPARE(column(w.lvwItems, 1), (QStringList{"Produce", "Produce", "Dairy", "Kid's", "", "Dairy"}));
        QCOMPARE(w.adoCartstock.recordset().absolutePosition(), 1);
    }

    void categoryChoiceFiltersAndViewAllShowsEverything()
    {
        frmCartstock& w = start();
        tick(w, {QStringLiteral("Apples")});
        clickCategory(w, QStringLiteral("Dairy"));
        QCOMPARE(column(w.lvwItems, 0), (QStringList{"butter", "Milk"}));
        clickCategory(w, QStringLiteral("Kid's"));
        QCOMPARE(column(w.lvwItems, 0), QStringList{"Crayons"});
        clickCategory(w, QStringLiteral("Frozen"));
        QCOMPARE(w.lvwItems->topLevelItemCount(), 0);
        QCOMPARE(w.lvwItems->columnCount(), 3);
        QTest::mouseClick(w.cmdAll, Qt::LeftButton);
        QCOMPARE(w.lvwItems->topLevelItemCount(), 6);
        QCOMPARE(row(w, QStringLiteral("Apples"))->checkState(0), Qt::Unchecked);
    }

    void ticksTurnBoldOnClickAndClearTogether()
    {
        frmCartstock& w = start();
        QTreeWidgetItem* apples = row(w, QStringLiteral("Apples"));
        const QRect box = w.lvwItems->visualItemRect(apples);
        // A click on the tick box ticks the row and makes it bold.
        QTest::mouseClick(w.lvwItems->viewport(), Qt::LeftButton, {}, QPoint(box.left() + 10, box.center().y()));
        QCOMPARE(apples->checkState(0), Qt::Checked);
        QVERIFY(apples->font(0).bold());
        QVERIFY(!row(w, QStringLiteral("Milk"))->font(0).bold());
        QTest::mouseClick(w.cmdSelNone, Qt::LeftButton);
        QCOMPARE(apples->checkState(0), Qt::Unchecked);
        QVERIFY(!apples->font(0).bold() && !apples->font(2).bold());
    }

    void tickedItemsGoOnTheListForThePickersDate()
    {
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-11-30"));
        frmCartstock& w = start();
        w.DTPick->setDate(QDate(2026, 12, 12));
        tick(w, {QStringLiteral("Milk"), QStringLiteral("-"), QStringLiteral("Crayons"), QStringLiteral("Foil")});
        QTest::mouseClick(w.cmdAddToList, Qt::LeftButton);
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Date = '2026-12-12'")), 4);
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Quantity = '1'")), 5);
        QCOMPARE(db->column(QStringLiteral("SELECT Item FROM Selected WHERE Date = '2026-12-12' ORDER BY ID")),
                 (QVariantList{"-", "Crayons", "Foil", "Milk"}));
        // Missing category and aisle are stored as empty texts, not nulls.
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Aisle = '' AND Item = 'Crayons'")), 1);
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Category = '' AND Item = 'Foil'")), 1);
        QCOMPARE(w.lblCount->text(), QStringLiteral("5"));
        QCOMPARE(w.grdList->model()->rowCount(), 6);
        QVERIFY(w.grdList->isEnabled());
        QCOMPARE(column(w.lvwItems, 0).size(), 6);
        for (int i = 0; i < w.lvwItems->topLevelItemCount(); ++i)
            QCOMPARE(w.lvwItems->topLevelItem(i)->checkState(0), Qt::Unchecked);

        QTest::mouseClick(w.cmdAddToList, Qt::LeftButton);
        QCOMPARE(db->count(QStringLiteral("Selected")), 5);
    }

    void changeDatesAsksThenMovesEveryEntry()
    {
        frmCartstock& w = start();
        QTest::mouseClick(w.cmdChangeDates, Qt::LeftButton); // empty list: no question
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-12-24"));
        QTest::mouseClick(w.cmdRef, Qt::LeftButton);
        w.DTPick->setDate(QDate(2027, 1, 9));
        TestSession::answer(MessageBox::Answer::No);
        QTest::mouseClick(w.cmdChangeDates, Qt::LeftButton);
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Date = '2027-01-09'")), 0);
        TestSession::answer(MessageBox::Answer::Yes);
        QTest::mouseClick(w.cmdChangeDates, Qt::LeftButton);
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Date = '2027-01-09'")), 2);
        QCOMPARE(
            TestSession::messages(),
            QStringList(2, QStringLiteral("Are you sure you want to change the dates on all items on your list?")));
        QCOMPARE(w.grdList->model()->index(1, 4).data().toDate(), QDate(2027, 1, 9));
    }

    void deleteAllAsksThenEmptiesTheList()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"));
        frmCartstock& w = start();
        TestSession::answer(MessageBox::Answer::No);
        QTest::mouseClick(w.cmdClearAll, Qt::LeftButton);
        QCOMPARE(db->count(QStringLiteral("Selected")), 1);
        TestSession::answer(MessageBox::Answer::Yes);
        QTest::mouseClick(w.cmdClearAll, Qt::LeftButton);
        QCOMPARE(db->count(QStringLiteral("Selected")), 0);
        QCOMPARE(w.lblCount->text(), QStringLiteral("0"));
        QVERIFY(w.grdList->isEnabled());
        QCOMPARE(TestSession::messages(),
                 QStringList(2, QStringLiteral("Are you sure you want to delete all items on your list?")));
        QTest::mouseClick(w.cmdClearAll, Qt::LeftButton); // empty: no question
        QTest::mouseClick(w.cmdRef, Qt::LeftButton);
        QVERIFY(!w.grdList->isEnabled());
    }

    void deleteCategoryRemovesOnlyTheCategoryRow()
    {
        frmCartstock& w = start();
        QTest::mouseClick(w.cmdDelCat, Qt::LeftButton); // nothing selected: no question
        clickCategory(w, QStringLiteral("Kid's"));
        TestSession::answer(MessageBox::Answer::No);
        QTest::mouseClick(w.cmdDelCat, Qt::LeftButton);
        QCOMPARE(db->count(QStringLiteral("Categories")), 4);
        clickCategory(w, QStringLiteral("Kid's"));
        TestSession::answer(MessageBox::Answer::Yes);
        QTest::mouseClick(w.cmdDelCat, Qt::LeftButton);
        QCOMPARE(TestSession::messages(), QStringList(2, QStringLiteral("Are you sure you want to delete Kid's?")));
        QCOMPARE(db->column(QStringLiteral("SELECT Categories FROM Categories ORDER BY Categories")),
                 (QVariantList{"Dairy", "Frozen", "Produce"}));
        QCOMPARE(w.lstCat->model()->rowCount(), 3);
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Category = 'Kid''s'")), 1);
        QCOMPARE(column(w.lvwItems, 0), QStringList{"Crayons"});
    }

    void gridEditsAreWrittenOnLeavingTheCell()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-12-24"));
        frmCartstock& w = start();
        typeIntoCell(w, 0, 3, QStringLiteral("4"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT Quantity FROM Selected WHERE Item = 'Milk'")).toString(),
                 QStringLiteral("4"));
        typeIntoCell(w, 1, 0, QStringLiteral("Green tea"));
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Item = 'Green tea'")), 1);
    }

    void gridRefusesWhatAColumnCannotHold()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"), QStringLiteral("2"));
        frmCartstock& w = start();
        const QVariant id = db->scalar(QStringLiteral("SELECT ID FROM Selected"));
        TestSession::answer(MessageBox::Answer::Ok);
        typeIntoCell(w, 0, 5, QStringLiteral("999"));
        QVERIFY(TestSession::messages().last().contains(QStringLiteral("ID")));
        QCOMPARE(db->scalar(QStringLiteral("SELECT ID FROM Selected")), id);
        QCOMPARE(w.grdList->model()->index(0, 5).data(), id);

        // A file that refuses the change keeps the stored row; so does the grid.
        db->exec(QStringLiteral("CREATE TRIGGER NoQuantity BEFORE UPDATE OF Quantity ON Selected "
                                "BEGIN SELECT RAISE(ABORT, 'quantity is locked'); END"));
        TestSession::answer(MessageBox::Answer::Ok);
        typeIntoCell(w, 0, 3, QStringLiteral("7"));
        QVERIFY(TestSession::messages().last().contains(QStringLiteral("quantity is locked")));
        QCOMPARE(db->scalar(QStringLiteral("SELECT Quantity FROM Selected")).toString(), QStringLiteral("2"));
        QCOMPARE(w.grdList->model()->index(0, 3).data().toString(), QStringLiteral("2"));
    }

    void newRowLineStoresAndCountsARow()
    {
        frmCartstock& w = start();
        QCOMPARE(w.lblCount->text(), QStringLiteral("0"));
        typeIntoCell(w, 0, 0, QStringLiteral("Bread"));
        QCOMPARE(db->count(QStringLiteral("Selected WHERE Item = 'Bread'")), 1);
        QCOMPARE(w.lblCount->text(), QStringLiteral("1"));
        QCOMPARE(w.grdList->model()->rowCount(), 2);
        // A date typed into the new row that is not a date is refused, nothing stored.
        TestSession::answer(MessageBox::Answer::Ok);
        typeIntoCell(w, 1, 4, QStringLiteral("tomorrow"));
        QCOMPARE(db->count(QStringLiteral("Selected")), 1);
        QCOMPARE(w.lblCount->text(), QStringLiteral("1"));
    }

    void exitKeepsAQuantityTypedButNotLeft()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-11-30"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-11-30"));
        frmCartstock& w = start();
        const QModelIndex quantity = w.grdList->model()->index(0, 3);
        w.grdList->setCurrentIndex(quantity);
        w.grdList->edit(quantity);
        QTest::keyClicks(w.grdList->indexWidget(quantity), QStringLiteral("6"));
        QTest::mouseClick(w.cmdQuit, Qt::LeftButton);
        QCOMPARE(db->scalar(QStringLiteral("SELECT Quantity FROM Selected WHERE Item = 'Milk'")).toString(),
                 QStringLiteral("6"));

        // What a column cannot hold is dropped quietly, the stored row left as it was.
        const QModelIndex id = w.grdList->model()->index(1, 5);
        w.grdList->setCurrentIndex(id);
        w.grdList->edit(id);
        QTest::keyClicks(w.grdList->indexWidget(id), QStringLiteral("77"));
        QTest::mouseClick(w.cmdQuit, Qt::LeftButton);
        QCOMPARE(db->count(QStringLiteral("Selected WHERE ID = 77")), 0);
        QCOMPARE(db->count(QStringLiteral("Selected")), 2);
    }

    void helpOpensTheFocusedControlsTopic()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cmdClearAll->setFocus();
        QTest::keyClick(&w, Qt::Key_F1);
        w.DTPick->setFocus();
        QTest::keyClick(&w, Qt::Key_F1);
        w.cmdSelNone->setFocus();
        QTest::keyClick(&w, Qt::Key_F1);
        w.mnuHelpShow->trigger();
        const QString file = db->folder() + QStringLiteral("/Cartstock.hlp");
        QCOMPARE(HelpViewer::requests(), (QList<HelpViewer::Request>{{file, 20}, {file, 10}, {file, 15}, {file, 10}}));
    }

    void printingNeedsRowsAndShowsWhatWasJustTyped()
    {
        frmCartstock& w = start();
        TestSession::answer(MessageBox::Answer::Ok);
        w.mnuPrint->trigger();
        QCOMPARE(TestSession::messages(), QStringList{"No records to show."});
        QCOMPARE(rptPrint::existing(), nullptr);

        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-12-24"));
        QTest::mouseClick(w.cmdRef, Qt::LeftButton);
        typeIntoCell(w, 0, 3, QStringLiteral("4"));
        w.mnuPrint->trigger();
        QVERIFY(rptPrint::existing());
        QCOMPARE(reportTexts(*rptPrint::existing()),
                 (QStringList{"Item:", "Aisle:", "Quantity:", "Dairy", "Milk", "3", "4"}));
        QCOMPARE(DECartstock().resultSet(QStringLiteral("rsListPrint_Grouping")).state(), 1);

        // Again, for another date: the same window, the new date's entries.
        w.DTPick->setDate(QDate(2026, 12, 24));
        w.mnuPrint->trigger();
        QCOMPARE(reportTexts(*rptPrint::existing()),
                 (QStringList{"Item:", "Aisle:", "Quantity:", "Dairy", "Tea", "3", "1"}));
        w.DTPick->setDate(QDate(2027, 1, 1));
        w.mnuPrint->trigger();
        QCOMPARE(reportTexts(*rptPrint::existing()), (QStringList{"Item:", "Aisle:", "Quantity:"}));
        QCOMPARE(TestSession::messages().size(), 1);
    }

    void fullListCountsTheFilteredCatalogue()
    {
        frmCartstock& w = start();
        clickCategory(w, QStringLiteral("Frozen"));
        TestSession::answer(MessageBox::Answer::Ok);
        w.mnuPrintFull->trigger();
        QCOMPARE(TestSession::messages(), QStringList{"No records to show."});
        QTest::mouseClick(w.cmdAll, Qt::LeftButton);
        tick(w, {QStringLiteral("Milk")});
        clickCategory(w, QStringLiteral("Dairy"));
        tick(w, {QStringLiteral("Milk")});
        w.mnuPrintFull->trigger();
        QVERIFY(rptAll::existing());
        QVERIFY(reportTexts(*rptAll::existing()).contains(QStringLiteral("Foil")));
        // The catalogue source holds every row again; the view keeps what it showed, ticks too.
        QCOMPARE(w.adoCartstock.recordset().recordCount(), 6);
        QCOMPARE(column(w.lvwItems, 0), (QStringList{"butter", "Milk"}));
        QCOMPARE(row(w, QStringLiteral("Milk"))->checkState(0), Qt::Checked);
        w.mnuPrintFull->trigger();
        QVERIFY(rptAll::existing());
        QTest::mouseClick(w.cmdQuit, Qt::LeftButton);
        QCOMPARE(rptAll::existing(), nullptr);
        QCOMPARE(DECartstock().resultSet(QStringLiteral("rsAll_Grouping")).state(), 0);
    }

    // What a user meets at the real keyboard, mouse and message boxes.

    void addWithTicksAsksOnceAndOkOpensTheEditor()
    {
        frmCartstock& w = start();
        tick(w, {QStringLiteral("Milk"), QStringLiteral("Apples")});
        const QString warning = QStringLiteral("You have items checked.  Click Cancel to return and add them before "
                                               "exiting this screen.");
        {
            RealMessageBox user;
            user.thenClick(QStringLiteral("Cancel"));
            user.then([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
            chooseFromMenu(w, QStringLiteral("Add"));
            chooseFromMenu(w, QStringLiteral("Add"));
            QCOMPARE(user.texts(), QStringList(2, warning));
        }
        QCOMPARE(frmCartstock::loaded(), &w);
        QCOMPARE(row(w, QStringLiteral("Milk"))->checkState(0), Qt::Checked);
        QCOMPARE(frmAdding::loaded(), nullptr);

        RealMessageBox user;
        user.thenClick(QStringLiteral("OK"));
        chooseFromMenu(w, QStringLiteral("Add"));
        QVERIFY(user.allAnswered());
        QVERIFY(frmAdding::loaded());
        QCOMPARE(frmCartstock::loaded(), nullptr);
    }

    void commandsKeepACellEditStillOpen_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("item");
        QTest::newRow("Print, Cartlist") << "Print"
                                         << "Cartlist";
        QTest::newRow("Print, Cartlist by Aisle") << "Print"
                                                  << "Cartlist by Aisle";
        QTest::newRow("Print, Full List") << "Print"
                                          << "Full List";
        QTest::newRow("Options, Back Color") << "Options"
                                             << "Back Color";
        QTest::newRow("Add") << "Add"
                             << "";
    }

    void commandsKeepACellEditStillOpen()
    {
        QFETCH(QString, menu);
        QFETCH(QString, item);
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Double-click the quantity and type, without leaving the cell.
        const QModelIndex quantity = w.grdList->model()->index(0, 3);
        const QPoint cell = w.grdList->visualRect(quantity).center();
        QTest::mouseClick(w.grdList->viewport(), Qt::LeftButton, {}, cell);
        QTest::mouseDClick(w.grdList->viewport(), Qt::LeftButton, {}, cell);
        auto* editor = qobject_cast<QLineEdit*>(w.grdList->indexWidget(quantity));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("55"));
        if (menu == QStringLiteral("Options"))
            CommonDialog::queueColor(Qt::yellow);
        chooseFromMenu(w, menu, item);
        QCOMPARE(db->scalar(QStringLiteral("SELECT Quantity FROM Selected")).toString(), QStringLiteral("55"));
        if (item == QStringLiteral("Cartlist"))
            QVERIFY(reportTexts(*rptPrint::existing()).contains(QStringLiteral("55")));
    }

    void aCellEditTheColumnCannotHoldIsSaidAndTheCommandGoesOn()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        const QModelIndex date = w.grdList->model()->index(0, 4);
        w.grdList->setCurrentIndex(date);
        w.grdList->edit(date);
        auto* editor = qobject_cast<QDateEdit*>(w.grdList->indexWidget(date));
        QVERIFY(editor);
        editor->setDate(QDate(2026, 12, 24));
        TestSession::answer(MessageBox::Answer::Ok);
        db->exec(QStringLiteral("CREATE TRIGGER NoDate BEFORE UPDATE OF Date ON Selected "
                                "BEGIN SELECT RAISE(ABORT, 'dates are locked'); END"));
        chooseFromMenu(w, QStringLiteral("Print"), QStringLiteral("Cartlist"));
        QVERIFY(TestSession::messages().value(0).contains(QStringLiteral("dates are locked")));
        QCOMPARE(db->scalar(QStringLiteral("SELECT Date FROM Selected")).toString(), QStringLiteral("2026-12-05"));
        QCOMPARE(reportTexts(*rptPrint::existing()),
                 (QStringList{"Item:", "Aisle:", "Quantity:", "Dairy", "Milk", "3", "1"}));
    }

    void aLongPastedCellIsKeptWhole()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QString text = QString(100003, u'y');
        QApplication::clipboard()->setText(text);
        const QModelIndex item = w.grdList->model()->index(0, 0);
        w.grdList->setCurrentIndex(item);
        w.grdList->edit(item);
        auto* editor = qobject_cast<QLineEdit*>(w.grdList->indexWidget(item));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Tab);
        QCOMPARE(db->scalar(QStringLiteral("SELECT length(Item) FROM Selected")).toInt(), text.size());
    }

    void theWholeJobCanBeDoneWithTheKeyboardAlone()
    {
        addEntry(QStringLiteral("Tea"), QStringLiteral("2026-11-30"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Keys go to an open menu, else where the focus is, as on a real keyboard.
        const auto press = [](const QList<Qt::Key>& keys) {
            for (Qt::Key key : keys) {
                QWidget* popup = QApplication::activePopupWidget();
                QTest::keyClick(popup ? popup : QApplication::focusWidget(), key);
            }
        };
        QCOMPARE(QApplication::focusWidget(), w.lstCat);
        press({Qt::Key_Home}); // the first category
        QCOMPARE(column(w.lvwItems, 0), (QStringList{"butter", "Milk"}));
        press({Qt::Key_Tab, Qt::Key_Space, Qt::Key_Down, Qt::Key_Space}); // tick both
        QCOMPARE(row(w, QStringLiteral("Milk"))->checkState(0), Qt::Checked);
        QVERIFY(row(w, QStringLiteral("Milk"))->font(0).bold());
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
        w.grdList->setFocus();
        w.grdList->setCurrentIndex(w.grdList->model()->index(0, 0));
        // Typing starts the cell; Tab stores it and goes on along the same row.
        for (const QString& text : {QStringLiteral("Bread"), QStringLiteral("Bakery"), QStringLiteral("1")}) {
            for (const QChar c : text)
                QTest::keyClicks(QApplication::focusWidget(), QString(c));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(db->count(QStringLiteral("Selected")), 1);
        QCOMPARE(db->scalar(QStringLiteral("SELECT Item || '/' || Category || '/' || Aisle FROM Selected")).toString(),
                 QStringLiteral("Bread/Bakery/1"));
        QCOMPARE(w.grdList->currentIndex(), w.grdList->model()->index(0, 3));
        QCOMPARE(w.grdList->model()->rowCount(), 2);
        QCOMPARE(w.lblCount->text(), QStringLiteral("1"));
    }

    void tabLeavesTheGridAtItsEdgesAndCtrlTabAlways()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QAbstractItemModel* model = w.grdList->model();
        const auto focusOn = [&](int r, int c) {
            w.grdList->setFocus(Qt::TabFocusReason);
            w.grdList->setCurrentIndex(model->index(r, c));
        };
        focusOn(0, 2);
        QTest::keyClick(w.grdList, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.grdList);
        QCOMPARE(w.grdList->currentIndex(), model->index(0, 3));

        // The last cell is on the new-row line.
        focusOn(1, 5);
        QTest::keyClick(w.grdList, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.DTPick);
        focusOn(0, 0);
        QTest::keyClick(w.grdList, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), w.cmdAddToList);
        focusOn(0, 2);
        QTest::keyClick(w.grdList, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), w.DTPick);

        // From inside a cell being edited too, keeping what was typed.
        focusOn(0, 3);
        w.grdList->edit(model->index(0, 3));
        QWidget* editor = w.grdList->indexWidget(model->index(0, 3));
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("7"));
        QTest::keyClick(editor, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(QApplication::focusWidget(), w.DTPick);
        QVERIFY(db->scalar(QStringLiteral("SELECT Quantity FROM Selected")).toString().endsWith(u'7'));
        focusOn(1, 5);
        w.grdList->edit(model->index(1, 5));
        QVERIFY(w.grdList->indexWidget(model->index(1, 5)));
        QTest::keyClick(w.grdList->indexWidget(model->index(1, 5)), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), w.DTPick);
    }

    void categoryIsChosenWithTheKeyboardToo()
    {
        frmCartstock& w = start();
        w.lstCat->setFocus();
        QTest::keyClick(w.lstCat, Qt::Key_Home);
        QCOMPARE(column(w.lvwItems, 0), (QStringList{"butter", "Milk"}));
        QTest::keyClick(w.lstCat, Qt::Key_Down);
        QCOMPARE(w.lvwItems->topLevelItemCount(), 0);
        QTest::keyClick(w.lstCat, Qt::Key_End);
        QCOMPARE(column(w.lvwItems, 0), (QStringList{"-", "Apples"}));
        // Typing a name's first letter goes to it.
        QTest::keyClick(w.lstCat, Qt::Key_K);
        QCOMPARE(column(w.lvwItems, 0), QStringList{"Crayons"});
        QCOMPARE(w.lstCat->text(), QStringLiteral("Kid's"));
        // Return and Space choose the entry again, as a second click does: the ticks go.
        tick(w, {QStringLiteral("Crayons")});
        QTest::keyClick(w.lstCat, Qt::Key_Return);
        QCOMPARE(row(w, QStringLiteral("Crayons"))->checkState(0), Qt::Unchecked);
        tick(w, {QStringLiteral("Crayons")});
        QTest::keyClick(w.lstCat, Qt::Key_Space);
        QCOMPARE(row(w, QStringLiteral("Crayons"))->checkState(0), Qt::Unchecked);
    }

    void menuBarOpensFromTheKeyboard()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QMenuBar* bar = w.menuBar();
        w.cmdAll->setFocus();
        QTest::keyClick(w.cmdAll, Qt::Key_F10);
        QCOMPARE(QApplication::focusWidget(), bar);
        QCOMPARE(bar->activeAction(), w.mnuAdd);
        // The title the keys are on is marked, as an open menu's title is.
        const QImage shown = bar->grab().toImage();
        const QRect title = bar->actionGeometry(w.mnuAdd);
        QCOMPARE(shown.pixelColor(title.left() + 2, title.center().y()), bar->palette().color(QPalette::Highlight));
        QTest::keyClick(bar, Qt::Key_Right);
        QTest::keyClick(bar, Qt::Key_Right);
        QCOMPARE(bar->activeAction(), w.mnuPrintShow->menuAction());
        QTest::keyClick(bar, Qt::Key_Down);
        QCOMPARE(QApplication::activePopupWidget(), w.mnuPrintShow);
        QTest::keyClick(w.mnuPrintShow, Qt::Key_Escape);
        QTest::keyClick(bar, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), w.cmdAll);

        // A lone Alt press does the same; Return on "Add" runs it.
        QTest::keyPress(w.cmdAll, Qt::Key_Alt, Qt::AltModifier);
        QTest::keyRelease(w.cmdAll, Qt::Key_Alt);
        QCOMPARE(QApplication::focusWidget(), bar);
        QCOMPARE(bar->activeAction(), w.mnuAdd);
        QTest::keyClick(bar, Qt::Key_Return);
        QVERIFY(frmAdding::loaded());
        // Menus keep the desktop's font, not the window's italic design face.
    }

    void menusUseTheDesktopFont()
    {
        frmCartstock& w = start();
        QCOMPARE(w.menuBar()->font(), QApplication::font("QMenuBar"));
        QVERIFY(!w.menuBar()->font().italic());
        QVERIFY(w.font().italic());
    }

    void calendarHeadingsFitTheirColumns()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        // A click on the picker's arrow opens its calendar.
        QTest::mouseClick(w.DTPick, Qt::LeftButton, {}, QPoint(w.DTPick->width() - 6, w.DTPick->height() / 2));
        QCalendarWidget* calendar = w.DTPick->calendarWidget();
        QVERIFY(QTest::qWaitForWindowExposed(calendar->window()));
        auto* days = calendar->findChild<QTableView*>();
        QVERIFY(days);
        QAbstractItemModel* model = days->model();
        // The first row holds the weekday headings.
        for (int c = 0; c < model->columnCount(); ++c) {
            const QString heading = model->index(0, c).data().toString();
            if (heading.isEmpty())
                continue;
            const QFontMetrics metrics(model->index(0, c).data(Qt::FontRole).value<QFont>());
            QVERIFY2(metrics.horizontalAdvance(heading) < days->columnWidth(c), qPrintable(heading));
        }
        QVERIFY(!calendar->font().italic());
        calendar->window()->close();
    }

    void calendarOpensFromTheKeyboardInTheDesktopFont()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        w.DTPick->setFocus();
        const QDate before = w.DTPick->date();
        QTest::keyClick(w.DTPick, Qt::Key_F4);
        QCalendarWidget* calendar = w.DTPick->calendarWidget();
        QVERIFY(QTest::qWaitForWindowExposed(calendar->window()));
        // Escape puts back the date the box had, whatever day was browsed to.
        QTest::keyClick(calendar->findChild<QTableView*>(), Qt::Key_Left);
        QTest::keyClick(calendar->findChild<QTableView*>(), Qt::Key_Left);
        QTest::keyClick(calendar->findChild<QTableView*>(), Qt::Key_Escape);
        QTRY_VERIFY(!calendar->window()->isVisible());
        QCOMPARE(w.DTPick->date(), before);
        QTest::keyClick(w.DTPick, Qt::Key_Down, Qt::AltModifier);
        QVERIFY(QTest::qWaitForWindowExposed(calendar->window()));
        QCOMPARE(calendar->font(), QApplication::font("QCalendarWidget"));
        QCOMPARE(calendar->selectedDate(), w.DTPick->date());
        // A day chosen with the keyboard becomes the picker's date.
        QTest::keyClick(calendar->findChild<QTableView*>(), Qt::Key_Right);
        QTest::keyClick(calendar->findChild<QTableView*>(), Qt::Key_Return);
        QTRY_VERIFY(!calendar->window()->isVisible());
        QCOMPARE(w.DTPick->date(), before.addDays(1));
    }

    void returnPressesTheFocusedButton()
    {
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cmdAddToList->setFocus();
        tick(w, {QStringLiteral("Milk")});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        tick(w, {QStringLiteral("Apples")});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(db->column(QStringLiteral("SELECT Item FROM Selected ORDER BY ID")), (QVariantList{"Milk", "Apples"}));
    }

    void aComposedFirstLetterStartsTheCellWithIt()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.grdList->setFocus();
        w.grdList->setCurrentIndex(w.grdList->model()->index(0, 0));
        // A dead key and a letter, or a compose sequence, arrive as one composed text.
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("\u00C1"));
        QApplication::sendEvent(QApplication::focusWidget(), &composed);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("gua"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(db->scalar(QStringLiteral("SELECT Item FROM Selected")).toString(), QStringLiteral("\u00C1gua"));
    }

    void escapeFromTheMenuBarGoesBackToTheCellBeingEdited_data()
    {
        QTest::addColumn<bool>("f10");
        QTest::newRow("F10") << true;
        QTest::newRow("Alt") << false;
    }

    void escapeFromTheMenuBarGoesBackToTheCellBeingEdited()
    {
        QFETCH(bool, f10);
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.grdList->setFocus();
        w.grdList->setCurrentIndex(w.grdList->model()->index(0, 3));
        QTest::keyClick(w.grdList, Qt::Key_4);
        QWidget* editor = QApplication::focusWidget();
        QVERIFY(editor != w.grdList && w.grdList->isAncestorOf(editor));
        if (f10) {
            QTest::keyClick(editor, Qt::Key_F10);
        } else {
            QTest::keyPress(editor, Qt::Key_Alt, Qt::AltModifier);
            QTest::keyRelease(editor, Qt::Key_Alt);
        }
        QCOMPARE(QApplication::focusWidget(), w.menuBar());
        QTest::keyClick(w.menuBar(), Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), w.grdList);
        QCOMPARE(db->scalar(QStringLiteral("SELECT Quantity FROM Selected")).toString(), QStringLiteral("4"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_7);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(db->scalar(QStringLiteral("SELECT Quantity FROM Selected")).toString(), QStringLiteral("7"));
    }

    void theFocusedControlIsMarkedAndAnUnfocusedSelectionIsNot()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("2026-12-05"));
        frmCartstock& w = start();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto look = [&](QWidget* control) {
            return w.grab(QRect(control->mapTo(&w, QPoint(0, 0)), control->size())).toImage();
        };
        // Every control in the tab chain looks different with the focus than without it.
        for (QWidget* control : w.centralWidget()->findChildren<QWidget*>()) {
            if (control->objectName().isEmpty() || !(control->focusPolicy() & Qt::TabFocus))
                continue;
            control->setFocus(Qt::TabFocusReason);
            const QImage focused = look(control);
            w.cmdAll == control ? w.lstCat->setFocus() : w.cmdAll->setFocus();
            QVERIFY2(look(control) != focused, qPrintable(control->objectName()));
        }
        // A selection shows, yet not as the focused control's selection does.
        clickCategory(w, QStringLiteral("Dairy"));
        const QModelIndex dairy = w.lstCat->model()->index(0, 0);
        const QPoint inRow = w.lstCat->viewport()->mapTo(&w, w.lstCat->visualRect(dairy).center());
        const QColor withFocus = w.grab().toImage().pixelColor(inRow);
        w.cmdAll->setFocus();
        const QColor withoutFocus = w.grab().toImage().pixelColor(inRow);
        QVERIFY(withFocus != withoutFocus);
        QVERIFY(withoutFocus != w.lstCat->palette().color(QPalette::Base));
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
        QWidget* window = &main;
        if (editor) {
            main.mnuAdd->trigger();
            window = frmAdding::loaded();
        }
        const QList<QAccessible::Role> windowRoles = {QAccessible::Window, QAccessible::Dialog, QAccessible::Border,
                                                      QAccessible::TitleBar};
        for (QWidget* control : window->findChildren<QWidget*>()) {
            if (control->focusPolicy() == Qt::NoFocus && !control->objectName().startsWith(QStringLiteral("pic")))
                continue;
            QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(control);
            const QString what = control->objectName() + u' ' + QLatin1String(control->metaObject()->className());
            QVERIFY2(!spoken->text(QAccessible::Name).trimmed().isEmpty(), qPrintable(what));
            QVERIFY2(!windowRoles.contains(spoken->role()), qPrintable(what));
        }
        if (editor)
            return;
        // An unticked catalogue row says it can be ticked.
        QAccessibleInterface* catalogue = QAccessible::queryAccessibleInterface(main.lvwItems);
        bool checkable = false;
        for (int i = 0; i < catalogue->childCount(); ++i) {
            QAccessibleInterface* cell = catalogue->child(i);
            if (cell->text(QAccessible::Name) == QStringLiteral("Milk"))
                checkable = cell->state().checkable && !cell->state().checked;
        }
        QVERIFY(checkable);
    }

    void countBorderShowsOnAGroundOfTheTextColour()
    {
        frmCartstock& w = start();
        // The stored appearance gives the window's ground the text colour of the label.
        const QColor text = w.lblCount->palette().color(QPalette::WindowText);
        const QColor ground = w.centralWidget()->palette().color(QPalette::Window);
        QCOMPARE(text, ground);
        const QImage image = w.lblCount->grab().toImage();
        const QColor back = w.lblCount->palette().color(QPalette::Window);
        const int y = image.height() / 2;
        // Across the left edge: the label's ground, then its border line in the text colour.
        QCOMPARE(image.pixelColor(0, y), back);
        QCOMPARE(image.pixelColor(1, y), text);
        QCOMPARE(image.pixelColor(image.width() - 2, y), text);
        QCOMPARE(image.pixelColor(image.width() / 2, 1), text);
    }

    void screenReadersHearWhatEachControlIs()
    {
        frmCartstock& w = start();
        QCOMPARE(QAccessible::queryAccessibleInterface(w.cmdQuit)->text(QAccessible::Name), QStringLiteral("Exit"));
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.lstCat);
        QStringList entries;
        for (int i = 0; i < list->childCount(); ++i)
            entries << list->child(i)->text(QAccessible::Name);
        QCOMPARE(entries, (QStringList{"Dairy", "Frozen", "Kid's", "Produce"}));
    }

    void versionShowsTheProjectVersion()
    {
        frmCartstock& w = start();
        TestSession::answer(MessageBox::Answer::Ok);
        w.mnuVersion->trigger();
        QCOMPARE(TestSession::messages(), QStringList{"Version: 2.2.1"});
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
