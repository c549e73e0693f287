#include "DataCombo.h"
#include "DataGrid.h"
#include "DataList.h"
#include "Intent.h"
#include "ListState.h"
#include "MenuClicks.h"
#include "Module1.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace UserMoves;

namespace {
// Where the user enters the text.
enum class Where {
    ListItem,      // the Item cell of a list row in the grid
    ListQuantity,  // its Quantity cell
    ListDate,      // its Date cell, a date box
    EmptyCell,     // a cell of a list row that holds nothing (its Category)
    NewRowItem,    // the Item cell of the grid's new-row line
    NewRowDate,    // the Date cell of the new-row line
    EditorItem,    // the item editor's Item box, for a new record stored with Update
    EditorAisle,   // its Aisle box
    NewCategory,   // the editor's category list, a name not in it yet
    DeleteCategory // a category of that name, chosen in the main window and deleted
};

// What becomes of it: stored exactly as expected, refused with a message and the file
// left as it was, or ignored without a word and the file left as it was.
enum class Outcome { Stored, Refused, Ignored };
} // namespace

Q_DECLARE_METATYPE(Where)
Q_DECLARE_METATYPE(Outcome)

class TestBadInputs : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> db;

    // The change a stored input makes to the file, and nothing else.
    Intent storing(Where where, const QString& input, const QJsonValue& stored, const ListState& before)
    {
        const double first = before.selected.at(0).at(ListState::ListId).toDouble();
        const double second = before.selected.at(1).at(ListState::ListId).toDouble();
        const QJsonValue none;
        switch (where) {
        case Where::ListItem:
            return Intent::editCell(first, ListState::ListItem, stored);
        case Where::ListQuantity:
            return Intent::editCell(first, ListState::ListQuantity, stored);
        case Where::ListDate:
            return Intent::editCell(first, ListState::ListDate, stored);
        case Where::EmptyCell:
            return Intent::editCell(second, ListState::ListCategory, stored);
        case Where::NewRowItem:
            return Intent::addRows({QJsonArray{stored, none, none, none, none}});
        case Where::NewRowDate:
            return Intent::addRows({QJsonArray{none, none, none, none, stored}});
        case Where::EditorItem:
            return Intent::addItem({stored, none, none});
        case Where::EditorAisle:
            return Intent::addItem({none, none, stored});
        case Where::NewCategory:
            return Intent::addCategory(stored.toString());
        case Where::DeleteCategory:
            break;
        }
        return Intent::deleteCategory(input);
    }

    void enter(Where where, const QString& input)
    {
        QVERIFY(Module1::Main());
        frmCartstock& w = *frmCartstock::loaded();
        DataGrid* grid = w.grdList;
        const auto intoCell = [&](int row, const char* field) {
            QWidget* editor = openCell(grid, row, gridColumn(grid, QString::fromLatin1(field)));
            paste(editor, input);
            endEdit(grid, editor);
        };
        const int newRow = grid->model()->rowCount() - 1;
        switch (where) {
        case Where::ListItem:
            return intoCell(0, "Item");
        case Where::ListQuantity:
            return intoCell(0, "Quantity");
        case Where::ListDate:
            return intoCell(0, "Date");
        case Where::EmptyCell:
            return intoCell(1, "Category");
        case Where::NewRowItem:
            return intoCell(newRow, "Item");
        case Where::NewRowDate:
            return intoCell(newRow, "Date");
        case Where::DeleteCategory: {
            int row = 0;
            while (w.lstCat->model()->index(row, 0).data().toString() != input)
                ++row;
            clickEntry(w.lstCat, row);
            TestSession::answer(MessageBox::Answer::Yes);
            click(w.cmdDelCat);
            return;
        }
        case Where::EditorItem:
        case Where::EditorAisle:
        case Where::NewCategory:
            break;
        }
        chooseFromMenu(w, QStringLiteral("Add"));
        frmAdding& e = *frmAdding::loaded();
        click(e.cmdAdd);
        if (where == Where::NewCategory) {
            enterInCombo(e.cboCat, input);
            click(e.cmdCancel);
            return;
        }
        paste(e.txtFields.at(where == Where::EditorItem ? 3 : 0), input);
        click(e.cmdUpdate);
    }

private Q_SLOTS:
    void init()
    {
        session = std::make_unique<TestSession>();
        db = std::make_unique<TestDatabase>();
        db->exec(QStringLiteral("INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) "
                                "VALUES ('Milk', 'Dairy', '3', '1', '2026-12-05')"));
        db->exec(QStringLiteral("INSERT INTO Selected (Item, Quantity, Date) VALUES ('Tea', '2', '2026-12-05')"));
        db->exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES ('Bread', 'Bakery', '1')"));
        for (const char* name : {"Bakery", "Dairy"})
            db->exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES (?)"), {QString::fromLatin1(name)});
    }
    void cleanup()
    {
        db.reset();
        CARTLIST_CHECK_SESSION(session);
    }

    void eachInputIsStoredExactlyOrLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<Where>("where");
        QTest::addColumn<QString>("input");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QVariant>("stored");
        const auto row = [](const char* name, Where where, const QString& input, Outcome outcome,
                            const QVariant& stored = {}) {
            QTest::newRow(name) << where << input << outcome << stored;
        };
        const auto kept = [&](const char* name, Where where, const QString& input) {
            row(name, where, input, Outcome::Stored, input);
        };
        const QString longText = QString(100000, u'y');
        QString emoji;
        for (int i = 0; i < 50000; ++i)
            emoji += QStringLiteral("🍎");

        kept("item: plain", Where::ListItem, QStringLiteral("Oat milk"));
        kept("item: apostrophes", Where::ListItem, QStringLiteral("O'Brien's"));
        kept("item: double quotes", Where::ListItem, QStringLiteral("\"Best\" butter"));
        kept("item: SQL dropping the table", Where::ListItem, QStringLiteral("Robert'); DROP TABLE Selected;--"));
        kept("item: SQL always true", Where::ListItem, QStringLiteral("x' OR '1'='1"));
        kept("item: SQL second statement", Where::ListItem, QStringLiteral("1; DELETE FROM Selected"));
        kept("item: LIKE wildcards", Where::ListItem, QStringLiteral("%_%"));
        kept("item: backslashes", Where::ListItem, QStringLiteral("C:\\temp\\"));
        kept("item: 100k characters", Where::ListItem, longText);
        kept("item: 50k emoji", Where::ListItem, emoji);
        kept("item: Japanese", Where::ListItem, QStringLiteral("日本茶"));
        kept("item: Cyrillic", Where::ListItem, QStringLiteral("Молоко"));
        kept("item: Hebrew and Arabic", Where::ListItem, QStringLiteral("חלב ولبن"));
        kept("item: emoji family", Where::ListItem, QStringLiteral("👨‍👩‍👧‍👦"));
        kept("item: combining accent", Where::ListItem, QStringLiteral("e\u0301clair"));
        kept("item: right-to-left override", Where::ListItem, QStringLiteral("\u202Eklim"));
        kept("item: zero-width space", Where::ListItem, QStringLiteral("mi\u200Blk"));
        kept("item: control characters", Where::ListItem, QStringLiteral("a\u0001b\u0007c\u001B"));
        kept("item: tab and line break", Where::ListItem, QStringLiteral("two\tcolumns\nrows"));
        kept("item: NUL character", Where::ListItem, QStringLiteral("nul") + QChar(0) + QStringLiteral("inside"));
        kept("item: spaces at both ends", Where::ListItem, QStringLiteral("  Milk  "));
        kept("item: the word NULL", Where::ListItem, QStringLiteral("NULL"));
        kept("item: emptied", Where::ListItem, QString(""));

        kept("quantity: number", Where::ListQuantity, QStringLiteral("3"));
        kept("quantity: negative", Where::ListQuantity, QStringLiteral("-1"));
        kept("quantity: beyond a double", Where::ListQuantity, QStringLiteral("1e309"));
        kept("quantity: leading zeros", Where::ListQuantity, QStringLiteral("007"));
        kept("quantity: fraction sign", Where::ListQuantity, QStringLiteral("½"));
        kept("quantity: with a unit", Where::ListQuantity, QStringLiteral("2 kg"));
        kept("quantity: Arabic-Indic digit", Where::ListQuantity, QStringLiteral("٣"));

        row("empty cell: left empty", Where::EmptyCell, QString(), Outcome::Ignored);
        kept("empty cell: spaces", Where::EmptyCell, QStringLiteral("   "));

        row("date box: as it shows dates", Where::ListDate, QStringLiteral("24 Dec 2026"), Outcome::Stored,
            QStringLiteral("2026-12-24"));
        // The box itself makes a day past the month's end its last day, and shows it so.
        row("date box: day past the month's end", Where::ListDate, QStringLiteral("30 Feb 2026"), Outcome::Stored,
            QStringLiteral("2026-02-28"));
        row("date box: SQL", Where::ListDate, QStringLiteral("'; DROP TABLE Selected;--"), Outcome::Ignored);

        kept("new row date: ISO", Where::NewRowDate, QStringLiteral("2026-12-05"));
        row("new row date: spaces around", Where::NewRowDate, QStringLiteral(" 2026-12-05 "), Outcome::Stored,
            QStringLiteral("2026-12-05"));
        kept("new row date: last day of 9999", Where::NewRowDate, QStringLiteral("9999-12-31"));
        row("new row date: no such day", Where::NewRowDate, QStringLiteral("2026-02-30"), Outcome::Refused);
        row("new row date: no such month", Where::NewRowDate, QStringLiteral("2026-13-01"), Outcome::Refused);
        row("new row date: year zero", Where::NewRowDate, QStringLiteral("0000-01-01"), Outcome::Refused);
        row("new row date: with a time", Where::NewRowDate, QStringLiteral("2026-12-05T10:00:00"), Outcome::Refused);
        row("new row date: a word", Where::NewRowDate, QStringLiteral("tomorrow"), Outcome::Refused);
        row("new row date: SQL", Where::NewRowDate, QStringLiteral("'; DROP TABLE Selected;--"), Outcome::Refused);
        row("new row date: empty", Where::NewRowDate, QString(), Outcome::Ignored);

        kept("new row item: spaces only", Where::NewRowItem, QStringLiteral("   "));
        kept("new row item: SQL", Where::NewRowItem, QStringLiteral("x'); DELETE FROM Selected;--"));
        row("new row item: empty", Where::NewRowItem, QString(), Outcome::Ignored);

        kept("editor item: 100k characters", Where::EditorItem, longText);
        kept("editor item: emoji", Where::EditorItem, QStringLiteral("🍕 Pizza"));
        kept("editor item: SQL", Where::EditorItem, QStringLiteral("Robert'); DROP TABLE Cartstock;--"));
        kept("editor item: control characters", Where::EditorItem, QStringLiteral("bell\u0007"));
        kept("editor aisle: leading zeros", Where::EditorAisle, QStringLiteral("007"));
        kept("editor aisle: SQL", Where::EditorAisle, QStringLiteral("10; DROP TABLE Cartstock"));

        kept("new category: apostrophe", Where::NewCategory, QStringLiteral("Children's"));
        kept("new category: SQL", Where::NewCategory, QStringLiteral("'); DELETE FROM Categories;--"));
        kept("new category: emoji", Where::NewCategory, QStringLiteral("🍕 Pizza"));
        row("new category: empty", Where::NewCategory, QString(), Outcome::Ignored);
        row("new category: one there in other case", Where::NewCategory, QStringLiteral("dAIRY"), Outcome::Ignored);

        row("delete category: apostrophe", Where::DeleteCategory, QStringLiteral("Kid's"), Outcome::Stored);
        row("delete category: SQL always true", Where::DeleteCategory, QStringLiteral("x' OR '1'='1"), Outcome::Stored);
        row("delete category: SQL", Where::DeleteCategory, QStringLiteral("'; DELETE FROM Categories;--"),
            Outcome::Stored);
        row("delete category: quotes", Where::DeleteCategory, QStringLiteral("\"Frozen\""), Outcome::Stored);
        row("delete category: Japanese", Where::DeleteCategory, QStringLiteral("日本"), Outcome::Stored);
    }

    // Whatever the text, the file holds exactly what was entered (or, for a date, the date
    // it names) and nothing else changes; or the input is refused with a message, or ignored,
    // and the file is as it was. The window then shows what the file holds.
    void eachInputIsStoredExactlyOrLeavesTheFileAsItWas()
    {
        QFETCH(Where, where);
        QFETCH(QString, input);
        QFETCH(Outcome, outcome);
        QFETCH(QVariant, stored);
        if (where == Where::DeleteCategory)
            db->exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES (?)"), {input});
        const ListState before = ListState::read(db->path());
        if (outcome == Outcome::Refused)
            TestSession::answer(MessageBox::Answer::Ok);
        try {
            enter(where, input);
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        if (QTest::currentTestFailed())
            return;
        const ListState after = ListState::read(db->path());

        QStringList questions;
        if (where == Where::DeleteCategory)
            questions << QStringLiteral("Are you sure you want to delete ") + input + u'?';
        if (outcome == Outcome::Stored) {
            QString why;
            const Intent intent = storing(where, input, ListState::plain(stored), before);
            QVERIFY2(intent.judge(before, after, &why) == Intent::Verdict::Done, qPrintable(why));
            QCOMPARE(TestSession::messages(), questions);
        } else {
            QVERIFY2(after == before, qPrintable(after.differences(before)));
            QCOMPARE(TestSession::messages().size(), outcome == Outcome::Refused ? 1 : 0);
        }
        if (frmCartstock* w = frmCartstock::loaded()) {
            QCOMPARE(listShown(*w), after.selected);
            QCOMPARE(entriesShown(w->lstCat), after.categories);
        }
        if (frmAdding* e = frmAdding::loaded())
            QCOMPARE(entriesShown(e->cboCat->list()), after.categories);
    }
};

QTEST_MAIN(TestBadInputs)
#include "tst_bad_inputs.moc"
