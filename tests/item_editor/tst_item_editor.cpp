#include "DataCombo.h"
#include "HelpViewer.h"
#include "ListState.h"
#include "Startup.h"
#include "SystemBeep.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace UserMoves;

namespace {
enum Box { Aisle = 0, Category = 1, Id = 2, Item = 3 };

QLineEdit* box(frmAdding& e, Box b) { return control<QLineEdit>(e, "txtFields", b); }
QString shown(frmAdding& e, Box b) { return box(e, b)->text(); }
QString status(frmAdding& e) { return control<QLabel>(e, "lblStatus")->text(); }
QStringList recent() { return entries(control<QListWidget>(mainWindow(), "lstRecent")); }

void retype(QLineEdit* box, const QString& text)
{
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, text);
}

} // namespace

class TestItemEditor : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> db;

    void addItem(const char* item, const char* category, const char* aisle)
    {
        db->exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, ?)"),
                 {QString::fromUtf8(item), QString::fromUtf8(category), QString::fromUtf8(aisle)});
    }

    // Starts the program and goes to the editor with "Add".
    frmAdding& openEditor()
    {
        if (!frmCartstock::loaded())
            [&] { QVERIFY(Startup::Main()); }();
        choose(*frmCartstock::loaded(), "mnuAdd");
        frmAdding* editor = frmAdding::loaded();
        if (!editor)
            qFatal("the editor did not open");
        editor->show();
        return *editor;
    }

private Q_SLOTS:
    void init()
    {
        session = std::make_unique<TestSession>();
        db = std::make_unique<TestDatabase>();
        addItem("Bread", "Bakery", "1");
        addItem("Milk", "Dairy", "3");
        addItem("Apples", "Produce", "2");
        addItem("Cheese", "Dairy", "3");
        for (const char* c : {"Bakery", "Dairy", "Produce", "Kid's"})
            db->exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES (?)"), {QString::fromUtf8(c)});
    }

    void cleanup()
    {
        db.reset();
        CARTLIST_CHECK_SESSION(session);
    }

    void addedItemIsStoredAndListedOnceAfterClosing()
    {
        frmAdding& e = openEditor();
        const qlonglong highest = Startup::HighestID.toLongLong();
        click(e, "cmdAdd");
        QCOMPARE(status(e), QStringLiteral("Add record"));
        QVERIFY(!browsing(e) && !control(e, "cmdNext")->isEnabled());
        retype(box(e, Item), QStringLiteral("Paper towels"));
        clickEntry(control<DataCombo>(e, "cboCat")->list(), QStringLiteral("Kid's"));
        QCOMPARE(shown(e, Category), QStringLiteral("Kid's"));
        enterInCombo(control<DataCombo>(e, "cboCat"), QStringLiteral("Paper goods"));
        QCOMPARE(shown(e, Category), QStringLiteral("Paper goods"));
        enterInCombo(control<DataCombo>(e, "cboCat"), QStringLiteral("Paper goods"));
        QCOMPARE(db->count(QStringLiteral("Categories WHERE Categories = 'Paper goods'")), 1);
        click(e, "cmdUpdate");
        QVERIFY(browsing(e));
        const QVariant id = db->scalar(QStringLiteral("SELECT ID FROM Cartstock WHERE Item = 'Paper towels'"));
        QVERIFY(id.toLongLong() > highest);
        QCOMPARE(db->scalar(QStringLiteral("SELECT Category FROM Cartstock WHERE ID = ?"), {id}).toString(),
                 QStringLiteral("Paper goods"));
        QCOMPARE(shown(e, Id), id.toString());
        QCOMPARE(status(e), QStringLiteral("Record: 5"));
        // Update after Edit does not move: the status keeps saying so until the next move.
        click(e, "cmdEdit");
        retype(box(e, Aisle), QStringLiteral("4"));
        click(e, "cmdUpdate");
        QCOMPARE(status(e), QStringLiteral("Edit record"));
        click(e, "cmdQuit");
        QCOMPARE(recent(), QStringList{"Paper towels"});
        // A later visit lists it again once, under its current name.
        frmAdding& again = openEditor();
        box(again, Item)->setFocus();
        QTest::keyClick(box(again, Item), Qt::Key_End, Qt::ControlModifier);
        retype(box(again, Item), QStringLiteral("Kitchen towels"));
        choose(again, "mnuExit");
        QCOMPARE(recent(), QStringList{"Kitchen towels"});
    }

    // Cancel stores nothing and goes back to the record the last Add started from (the first
    // when there was none), as stored; on an empty catalogue it leaves the boxes empty.
    void cancelStoresNothingAndShowsWhatIsStored_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("empty");
        QTest::addColumn<bool>("addedAtLast");
        QTest::addColumn<QString>("back");
        QTest::newRow("add") << "cmdAdd" << false << false << "Cheese3 Record: 3";
        QTest::newRow("edit") << "cmdEdit" << false << false << "Apples2 Record: 1";
        QTest::newRow("edit after an add") << "cmdEdit" << false << true << "Milk3 Record: 4";
        QTest::newRow("add to an empty catalogue") << "cmdAdd" << true << false << " Record: none";
    }
    void cancelStoresNothingAndShowsWhatIsStored()
    {
        QFETCH(QString, mode);
        QFETCH(bool, empty);
        QFETCH(bool, addedAtLast);
        QFETCH(QString, back);
        if (empty)
            db->exec(QStringLiteral("DELETE FROM Cartstock"));
        frmAdding& e = openEditor();
        QCOMPARE(frmCartstock::loaded(), nullptr);
        QVERIFY(browsing(e) && box(e, Id)->isReadOnly());
        QCOMPARE(box(e, Item)->isReadOnly(), empty);
        QCOMPARE(shown(e, Item), empty ? QString() : QStringLiteral("Apples"));
        if (addedAtLast) {
            click(e, "cmdLast");
            click(e, "cmdAdd");
            click(e, "cmdCancel");
            click(e, "cmdFirst");
        }
        click(e, "cmdNext");
        click(e, "cmdNext");
        const QString stored = QStringLiteral("SELECT group_concat(Item || Aisle) FROM Cartstock");
        const QVariant before = db->scalar(stored);
        click(e, mode);
        retype(box(e, Item), QStringLiteral("Figs"));
        retype(box(e, Aisle), QStringLiteral("9"));
        click(e, "cmdCancel");
        QCOMPARE(db->scalar(stored), before);
        QCOMPARE(shown(e, Item) + shown(e, Aisle) + u' ' + status(e), back);
        QVERIFY(browsing(e) && control(e, "cmdNext")->isEnabled());
    }

    void changeTypedWhileBrowsingIsSavedByNext()
    {
        frmAdding& e = openEditor();
        // Typing inside a word keeps the caret where the user put it.
        box(e, Item)->setFocus();
        box(e, Item)->setCursorPosition(2);
        QTest::keyClicks(box(e, Item), QStringLiteral("xy"));
        QCOMPARE(shown(e, Item), QStringLiteral("Apxyples"));
        retype(box(e, Item), QStringLiteral("Green apples"));
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Item = 'Green apples'")), 0);
        click(e, "cmdNext");
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Item = 'Green apples'")), 1);
        // A long paste is kept whole: a box's default limit would cut it silently.
        const QString text = QString(100003, u'x');
        QApplication::clipboard()->setText(text);
        retype(box(e, Item), QString());
        QTest::keyClick(box(e, Item), Qt::Key_V, Qt::ControlModifier);
        click(e, "cmdNext");
        QCOMPARE(db->scalar(QStringLiteral("SELECT max(length(Item)) FROM Cartstock")).toInt(), text.size());
    }

    void failedUpdateShowsTheReasonAndKeepsTheMode()
    {
        db->exec(QStringLiteral(
            "CREATE TRIGGER NoNew BEFORE INSERT ON Cartstock BEGIN SELECT RAISE(ABORT, 'catalogue is full'); END"));
        frmAdding& e = openEditor();
        click(e, "cmdAdd");
        retype(box(e, Item), QStringLiteral("Figs"));
        TestSession::answer(MessageBox::Answer::Ok);
        const QString told = lastNotice(e);
        click(e, "cmdUpdate");
        QCOMPARE(TestSession::messages().last(), QStringLiteral("catalogue is full"));
        // Still adding, with what was typed, to correct and store again once the file takes it;
        // no record was moved to, and none is told.
        QVERIFY(!browsing(e));
        QCOMPARE(status(e), QStringLiteral("Add record"));
        QCOMPARE(lastNotice(e), told);
        QCOMPARE(shown(e, Item), QStringLiteral("Figs"));
        db->exec(QStringLiteral("DROP TRIGGER NoNew"));
        // Control characters never reach the file, from a box or the category entry.
        TestSession::answer(MessageBox::Answer::Ok);
        enterInCombo(control<DataCombo>(e, "cboCat"), QStringLiteral("Paper\agoods"));
        paste(box(e, Item), QStringLiteral("Dried\tfigs"));
        TestSession::answer(MessageBox::Answer::Ok);
        click(e, "cmdUpdate");
        QCOMPARE(TestSession::messages().mid(1).join(u'|').count(QStringLiteral("cannot hold control characters")), 2);
        QVERIFY(!browsing(e) && shown(e, Item) == QStringLiteral("Dried\tfigs"));
        QCOMPARE(db->count(QStringLiteral("Cartstock")) + db->count(QStringLiteral("Categories")), 8);
        box(e, Category)->clear();
        retype(box(e, Item), QStringLiteral("Dried figs"));
        click(e, "cmdUpdate");
        QVERIFY(browsing(e));
        QCOMPARE(db->column(QStringLiteral("SELECT Item FROM Cartstock WHERE Item LIKE '%igs'")),
                 QVariantList{"Dried figs"});
    }

    // Another program deletes or renames the record between Edit and Update: what was typed is
    // named and goes nowhere; the editor browses the record as the file holds it, or the next.
    void refusedUpdateShowsTheFileAndNamesWhatWasTyped_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("then");
        QTest::newRow("last deleted") << "DELETE FROM Cartstock WHERE Item = 'Milk'"
                                      << "Cheese Record: 3";
        QTest::newRow("deleted") << "DELETE FROM Cartstock WHERE Item = 'Bread'"
                                 << "Cheese Record: 2";
        QTest::newRow("renamed") << "UPDATE Cartstock SET Item = 'Oats' WHERE Item = 'Milk'"
                                 << "Oats Record: 4";
    }
    void refusedUpdateShowsTheFileAndNamesWhatWasTyped()
    {
        QFETCH(QString, meanwhile);
        QFETCH(QString, then);
        frmAdding& e = openEditor();
        while (shown(e, Item) != meanwhile.section(u'\'', -2, -2))
            click(e, "cmdNext");
        click(e, "cmdEdit");
        retype(box(e, Aisle), QStringLiteral("C5"));
        db->exec(meanwhile);
        const ListState held = ListState::read(db->path());
        TestSession::answer(MessageBox::Answer::Ok);
        click(e, "cmdUpdate");
        const QString told = TestSession::messages().value(0);
        QVERIFY2(told.startsWith(QStringLiteral("Row cannot be located for updating.")) &&
                     told.contains(QStringLiteral("Not stored:\n    Aisle: \"C5\"")) &&
                     told.contains(QStringLiteral("no longer holds this record")) == meanwhile.startsWith("DELETE"),
                 qPrintable(told));
        QVERIFY(browsing(e) && control<DataCombo>(e, "cboFind")->text() == shown(e, Item));
        QCOMPARE(shown(e, Item) + u' ' + status(e), then);
        // Update pressed again writes nothing, on no record.
        QTest::keyClick(box(e, Aisle), Qt::Key_U, Qt::AltModifier);
        QCOMPARE(ListState::read(db->path()), held);
        QCOMPARE(shownButNotHeld(held), QString());
    }

    void deleteAsksAndMovesOn()
    {
        frmAdding& e = openEditor();
        click(e, "cmdNext");
        TestSession::answer(MessageBox::Answer::No);
        click(e, "cmdDelete");
        QCOMPARE(db->count(QStringLiteral("Cartstock")), 4);
        TestSession::answer(MessageBox::Answer::Yes);
        click(e, "cmdDelete");
        QCOMPARE(TestSession::messages(),
                 QStringList(2, QStringLiteral("Are you sure you want to delete this record?")));
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Item = 'Bread'")), 0);
        QCOMPARE(shown(e, Item), QStringLiteral("Cheese"));
        QCOMPARE(control<DataCombo>(e, "cboFind")->list()->model()->rowCount(), 3);
        // Deleting the last record goes to the new last; the very last leaves an empty editor.
        click(e, "cmdLast");
        TestSession::answer(MessageBox::Answer::Yes);
        click(e, "cmdDelete");
        QCOMPARE(status(e), QStringLiteral("Record: 2"));
        for (int i = 0; i < 2; ++i) {
            TestSession::answer(MessageBox::Answer::Yes);
            click(e, "cmdDelete");
        }
        QCOMPARE(db->count(QStringLiteral("Cartstock")), 0);
        QVERIFY(shown(e, Item).isEmpty());
    }

    void keysMoveThroughRecordsOnlyWhileBrowsing()
    {
        frmAdding& e = openEditor();
        QWidget* aisle = box(e, Aisle);
        aisle->setFocus();
        // Each key, and the record it leads to; at either end the editor beeps and stays.
        const struct {
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            int record, beeps;
        } keys[] = {{Qt::Key_Down, {}, 2, 0},
                    {Qt::Key_PageDown, {}, 3, 0},
                    {Qt::Key_Up, Qt::ControlModifier, 1, 0},
                    {Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier, 1, 1},
                    {Qt::Key_Down, Qt::ControlModifier, 4, 1},
                    {Qt::Key_Down, {}, 4, 2},
                    {Qt::Key_Home, {}, 1, 2},
                    {Qt::Key_End, {}, 4, 2}};
        for (const auto& k : keys) {
            QTest::keyClick(aisle, k.key, k.modifiers);
            QCOMPARE(status(e), QStringLiteral("Record: %1").arg(k.record));
            QCOMPARE(SystemBeep::count(), k.beeps);
            // The focus stays in the box: a screen reader is told the record by a notice.
            QCOMPARE(lastNotice(e), status(e));
        }
        click(e, "cmdEdit");
        aisle->setFocus();
        QTest::keyClick(aisle, Qt::Key_Home);
        QCOMPARE(status(e), QStringLiteral("Edit record"));
        // Ctrl+I tells it again on request, whatever it says, and types nothing.
        const QString typed = shown(e, Aisle);
        e.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&e));
        press({Qt::CTRL | Qt::Key_I});
        QCOMPARE(lastNotice(e), QStringLiteral("Edit record"));
        QCOMPARE(shown(e, Aisle), typed);
        QCOMPARE(shown(e, Item), QStringLiteral("Milk"));
    }

    // Every way out runs the close sequence once, and keeps what the user typed.
    void closingKeepsWhatWasTyped()
    {
        // Each way out asks for the shopping-list window once.
        int returns = 0;
        const auto counted = [&](frmAdding& editor) -> frmAdding& {
            connect(&editor, &frmAdding::mainWindowRequested, &editor, [&] { ++returns; });
            return editor;
        };
        frmAdding& e = counted(openEditor());
        click(e, "cmdAdd");
        retype(box(e, Item), QStringLiteral("Dates"));
        QVERIFY(e.close());
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Item = 'Dates'")), 1);
        QCOMPARE(recent(), QStringList{"Dates"});
        // A new record with nothing typed is dropped; an edit is kept.
        frmAdding& again = counted(openEditor());
        click(again, "cmdEdit");
        retype(box(again, Aisle), QStringLiteral("8"));
        choose(again, "mnuExit");
        QCOMPARE(db->scalar(QStringLiteral("SELECT Aisle FROM Cartstock WHERE Item = 'Apples'")).toString(),
                 QStringLiteral("8"));
        frmAdding& third = counted(openEditor());
        click(third, "cmdAdd");
        choose(third, "mnuExit");
        QCOMPARE(db->count(QStringLiteral("Cartstock")), 5);
        QCOMPARE(recent().size(), 1);
        // An edit the file refuses is reported, and the window still closes.
        db->exec(
            QStringLiteral("CREATE TRIGGER NoEdit BEFORE UPDATE ON Cartstock BEGIN SELECT RAISE(ABORT, 'no'); END"));
        frmAdding& fourth = counted(openEditor());
        click(fourth, "cmdEdit");
        retype(box(fourth, Aisle), QStringLiteral("9"));
        TestSession::answer(MessageBox::Answer::Ok);
        QVERIFY(fourth.close());
        QCOMPARE(TestSession::messages(), QStringList{"no"});
        QVERIFY(!frmAdding::loaded() && frmCartstock::loaded());
        click(counted(openEditor()), "cmdQuit");
        QCOMPARE(returns, 5);
    }

    // F1 opens the focused control's topic; the Help menu the window's, 30.
    void helpOpensTheTopicOfTheFocusOrOfTheWindow()
    {
        frmAdding& e = openEditor();
        e.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&e));
        box(e, Category)->setFocus();
        QTest::keyClick(&e, Qt::Key_F1);
        choose(e, "mnuHelp");
        const QString file = db->folder() + QStringLiteral("/Cartstock.hlp");
        QCOMPARE(HelpViewer::requests().value(1), (HelpViewer::Request{file, 30}));
        QVERIFY(HelpViewer::requests().value(0).contextNumber != 30);
    }

    // The combo's refresh reads items another program added, and the records take them too.
    void refreshingTheSearchListReadsItemsAddedMeanwhile()
    {
        frmAdding& e = openEditor();
        db->exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Zest')"));
        click(e, "cmdRefreshCombo");
        QCOMPARE(control<DataCombo>(e, "cboFind")->list()->model()->rowCount(), 5);
        click(e, "cmdLast");
        QCOMPARE(status(e), QStringLiteral("Record: 5"));
    }

    // The record buttons' pictures show only their black glyph: their grey ground is see-through.
    void theRecordButtonsShowOnlyTheirGlyph()
    {
        for (const char* name : {"nav_first", "nav_previous", "nav_next", "nav_last"}) {
            const QImage picture(QStringLiteral(":/images/%1.png").arg(QLatin1String(name)));
            QVERIFY2(!picture.isNull(), name);
            int black = 0;
            for (int y = 0; y < picture.height(); ++y) {
                for (int x = 0; x < picture.width(); ++x) {
                    const QColor pixel = picture.pixelColor(x, y);
                    QVERIFY2(pixel.alpha() == 0 || pixel == QColor(Qt::black), name);
                    black += pixel.alpha() == 0 ? 0 : 1;
                }
            }
            QVERIFY2(black > 10 && black < 60, name);
        }
    }

    void altChordsAreNeverTypedWhileAccessKeysStillPressButtons()
    {
        frmAdding& e = openEditor();
        e.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&e));
        QLineEdit* item = box(e, Item);
        item->setFocus();
        item->end(false);
        // Alt+U, Alt+C, Alt+X, Alt+H, Alt+O claim no visible button while browsing.
        for (Qt::Key key : {Qt::Key_U, Qt::Key_C, Qt::Key_X, Qt::Key_H, Qt::Key_O})
            QTest::keyClick(item, key, Qt::AltModifier);
        QTest::keyClick(item, Qt::Key_Q, Qt::AltModifier | Qt::ControlModifier);
        QCOMPARE(shown(e, Item), QStringLiteral("Apples"));
        // Alt+A presses the visible Add; then Alt+C presses the visible Cancel.
        box(e, Aisle)->setFocus();
        QTest::keyClick(box(e, Aisle), Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(!browsing(e));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Ghost"));
        QCOMPARE(shown(e, Item), QStringLiteral("Ghost"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(browsing(e));
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Item LIKE 'Ghost%'")), 0);
    }

    // Keys meant for the menu bar stay there: the record and what was typed into it stay too.
    void menuBarKeysLeaveTheRecordAndWhatWasTyped()
    {
        frmAdding& e = openEditor();
        e.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&e));
        enterInCombo(control<DataCombo>(e, "cboFind"), QStringLiteral("Milk"));
        QLineEdit* aisle = box(e, Aisle);
        retype(aisle, QStringLiteral("37"));
        const QList<QKeyCombination> ways[] = {
            {Qt::Key_F10, Qt::Key_Right, Qt::Key_Down, Qt::Key_Escape, Qt::Key_Escape},
            {Qt::Key_F10, Qt::Key_End, Qt::Key_Escape},
            {Qt::Key_Alt, Qt::Key_Home, Qt::Key_End, Qt::Key_Escape}};
        for (const QList<QKeyCombination>& keys : ways) {
            press(keys);
            QCOMPARE(QApplication::focusWidget(), aisle);
            QCOMPARE(recordShown(e), (QJsonArray{2, "Milk", "Dairy", "37"}));
        }
        QCOMPARE(db->scalar(QStringLiteral("SELECT Aisle FROM Cartstock WHERE Item = 'Milk'")).toString(),
                 QStringLiteral("3"));
    }

    void searchAndCategoryChoiceWorkFromTheKeyboard()
    {
        frmAdding& e = openEditor();
        e.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&e));
        const auto type = [](const QString& text, Qt::Key key = Qt::Key_Return, Qt::KeyboardModifiers mods = {}) {
            qobject_cast<QLineEdit*>(QApplication::focusWidget())->selectAll();
            QTest::keyClicks(QApplication::focusWidget(), text);
            QTest::keyClick(QApplication::focusWidget(), key, mods);
        };
        // Return in the search field is its click: nothing chosen yet, a name found, a name not.
        control<DataCombo>(e, "cboFind")->textField()->setFocus();
        type(QStringLiteral("Caviar"));
        QCOMPARE(TestSession::messages(), QStringList{});
        type(QStringLiteral("Cheese"));
        QCOMPARE(shown(e, Item), QStringLiteral("Cheese"));
        TestSession::answer(MessageBox::Answer::Ok);
        type(QStringLiteral("Caviar"));
        QCOMPARE(TestSession::messages(), QStringList{"Can't find Caviar."});
        QVERIFY(control<DataCombo>(e, "cboFind")->text().isEmpty());
        QCOMPARE(shown(e, Item), QStringLiteral("Cheese"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(!browsing(e));
        // A new category: typed, then the keypad's Enter; an existing one: Down, then Return.
        control<DataCombo>(e, "cboCat")->textField()->setFocus();
        type(QStringLiteral("Fermented"), Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(shown(e, Category), QStringLiteral("Fermented"));
        QCOMPARE(db->count(QStringLiteral("Categories WHERE Categories = 'Fermented'")), 1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(control<DataCombo>(e, "cboCat")->text(), QStringLiteral("Kid's"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(shown(e, Category), QStringLiteral("Kid's"));
        QCOMPARE(db->count(QStringLiteral("Categories")), 5);
        // Return in a box moves on to the next; from the last box to Update, which it presses.
        box(e, Item)->setFocus();
        type(QStringLiteral("Kimchi"));
        QCOMPARE(QApplication::focusWidget(), box(e, Category));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        type(QStringLiteral("9"));
        QCOMPARE(QApplication::focusWidget(), control(e, "cmdUpdate"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(browsing(e));
        QCOMPARE(db->scalar(QStringLiteral("SELECT Category || Aisle FROM Cartstock WHERE Item = 'Kimchi'")).toString(),
                 QStringLiteral("Kid's9"));
    }

    // A search starts at the catalogue's first record: from the last one the first is found,
    // and the record shown is found where it is.
    void searchFindsTheFirstRecordAndTheOneShown()
    {
        frmAdding& e = openEditor();
        const auto search = [&](const QString& item) {
            QLineEdit* field = control<DataCombo>(e, "cboFind")->textField();
            field->setFocus();
            field->selectAll();
            QTest::keyClicks(field, item);
            QTest::keyClick(field, Qt::Key_Return);
            return shown(e, Item) + u' ' + status(e);
        };
        click(e, "cmdLast");
        QCOMPARE(search(QStringLiteral("Apples")), QStringLiteral("Apples Record: 1"));
        QCOMPARE(search(QStringLiteral("Apples")), QStringLiteral("Apples Record: 1"));
        QCOMPARE(search(QStringLiteral("Milk")), QStringLiteral("Milk Record: 4"));
        QCOMPARE(search(QStringLiteral("Milk")), QStringLiteral("Milk Record: 4"));
    }

    void tabReachesEveryControlOnceAndComesRound()
    {
        frmAdding& e = openEditor();
        e.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&e));
        box(e, Item)->setFocus();
        QList<QWidget*> reached;
        do {
            reached << QApplication::focusWidget();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        } while (QApplication::focusWidget() != box(e, Item) && reached.size() < 50);
        int tabStops = 0;
        for (QWidget* w : e.findChildren<QWidget*>())
            tabStops += w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus);
        QCOMPARE(reached.size(), tabStops);
        QCOMPARE(QSet<QWidget*>(reached.begin(), reached.end()).size(), tabStops);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), reached.last());
    }

    void searchStoresWhatWasBeingAddedOrEditedAndEndsThatMode()
    {
        frmAdding& e = openEditor();
        click(e, "cmdAdd");
        retype(box(e, Item), QStringLiteral("Ghost"));
        clickEntry(control<DataCombo>(e, "cboFind")->list(), QStringLiteral("Bread"));
        QCOMPARE(shown(e, Item), QStringLiteral("Bread"));
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Item = 'Ghost'")), 1);
        // Stored: nothing is left to update or cancel.
        QVERIFY(browsing(e) && control(e, "cmdNext")->isEnabled());
        click(e, "cmdEdit");
        retype(box(e, Item), QStringLiteral("Brown bread"));
        clickEntry(control<DataCombo>(e, "cboFind")->list(), QStringLiteral("Milk"));
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Item = 'Brown bread'")), 1);
        QVERIFY(browsing(e));
        // A new record left empty is dropped by the move: adding ends too, nothing stored.
        const int before = db->count(QStringLiteral("Cartstock"));
        click(e, "cmdAdd");
        clickEntry(control<DataCombo>(e, "cboFind")->list(), QStringLiteral("Cheese"));
        QVERIFY(browsing(e));
        QCOMPARE(db->count(QStringLiteral("Cartstock")), before);
        // An edit refused on the way is told with what was not stored, never dropped unseen.
        click(e, "cmdEdit");
        retype(box(e, Aisle), QStringLiteral("C5"));
        db->exec(QStringLiteral("UPDATE Cartstock SET Aisle = '7' WHERE Item = 'Cheese'"));
        TestSession::answer(MessageBox::Answer::Ok);
        clickEntry(control<DataCombo>(e, "cboFind")->list(), QStringLiteral("Milk"));
        QVERIFY(TestSession::messages().value(0).contains(QStringLiteral("Not stored:\n    Aisle: \"C5\"")) &&
                browsing(e) && shown(e, Aisle) == QStringLiteral("7"));
    }
};

CARTLIST_TEST_MAIN(TestItemEditor)
#include "tst_item_editor.moc"
