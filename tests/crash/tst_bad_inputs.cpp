#include "DataCombo.h"
#include "DataGrid.h"
#include "DataList.h"
#include "ListState.h"
#include "MenuClicks.h"
#include "Module1.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace UserMoves;

namespace {
// Where the user enters the text: a cell of the first list row (the second's Category holds
// nothing), a cell of the grid's new-row line, a box of a new record in the item editor, a
// new category typed into the editor's list, or a category of that name deleted.
enum class Where {
    ListItem,
    ListQuantity,
    ListDate,
    EmptyCell,
    NewRowItem,
    NewRowDate,
    EditorItem,
    EditorAisle,
    NewCategory,
    DeleteCategory
};

// What becomes of it: stored exactly as expected, refused with a message and the file left
// as it was, or ignored without a word and the file left as it was.
enum class Outcome { Stored, Refused, Ignored };
} // namespace

Q_DECLARE_METATYPE(Where)
Q_DECLARE_METATYPE(Outcome)

class TestBadInputs : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> db;

    // Enters the input; `stored` becomes the file as the input, once stored, leaves it.
    void enter(Where where, const QString& input, const QJsonValue& value, ListState& stored)
    {
        QVERIFY(Module1::Main());
        DataGrid* grid = mainWindow().grdList;
        const int newRow = grid->model()->rowCount() - 1;
        const auto intoCell = [&](int row, const char* field) {
            QWidget* editor = openCell(grid, row, gridColumn(grid, QString::fromLatin1(field)));
            paste(editor, input);
            endEdit(grid, editor);
        };
        const QJsonValue none;
        switch (where) {
        case Where::ListItem:
            stored.selected[0][ListState::ListItem] = value;
            return intoCell(0, "Item");
        case Where::ListQuantity:
            stored.selected[0][ListState::ListQuantity] = value;
            return intoCell(0, "Quantity");
        case Where::ListDate:
            stored.selected[0][ListState::ListDate] = value;
            return intoCell(0, "Date");
        case Where::EmptyCell:
            stored.selected[1][ListState::ListCategory] = value;
            return intoCell(1, "Category");
        case Where::NewRowItem:
            stored.selected << QJsonArray{3, value, none, none, none, none};
            return intoCell(newRow, "Item");
        case Where::NewRowDate:
            stored.selected << QJsonArray{3, none, none, none, none, value};
            return intoCell(newRow, "Date");
        case Where::DeleteCategory:
            stored.categories.removeOne(input);
            clickEntry(mainWindow().lstCat, input);
            TestSession::answer(MessageBox::Answer::Yes);
            return click(mainWindow().cmdDelCat);
        case Where::EditorItem:
            stored.cartstock << QJsonArray{2, value, none, none};
            break;
        case Where::EditorAisle:
            stored.cartstock << QJsonArray{2, none, none, value};
            break;
        case Where::NewCategory:
            stored.categories << input;
            stored.categories.sort();
            break;
        }
        chooseFromMenu(mainWindow(), QStringLiteral("Add"));
        click(editor().cmdAdd);
        if (where == Where::NewCategory) {
            enterInCombo(editor().cboCat, input);
            return click(editor().cmdCancel);
        }
        paste(editor().txtFields.at(where == Where::EditorItem ? 3 : 0), input);
        click(editor().cmdUpdate);
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
        // Every text goes to the file through one bound parameter: one row for each kind of
        // text that a conversion on the way could change.
        kept("item: quotes and SQL", Where::ListItem, QStringLiteral("O'Brien's \"tea\"'); DROP TABLE Selected;--"));
        kept("item: emoji family", Where::ListItem, QStringLiteral("👨‍👩‍👧‍👦"));
        kept("item: combining accent", Where::ListItem, QStringLiteral("e\u0301clair"));
        kept("item: control characters", Where::ListItem, QStringLiteral("a\u0001b\tc\nd"));
        kept("item: NUL character", Where::ListItem, QStringLiteral("nul") + QChar(0) + QStringLiteral("inside"));
        kept("item: spaces at both ends", Where::ListItem, QStringLiteral("  Milk  "));
        kept("item: the word NULL", Where::ListItem, QStringLiteral("NULL"));
        kept("item: emptied", Where::ListItem, QString(""));

        kept("quantity: beyond a double", Where::ListQuantity, QStringLiteral("1e309"));
        kept("quantity: leading zeros", Where::ListQuantity, QStringLiteral("007"));
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

        row("new row date: spaces around", Where::NewRowDate, QStringLiteral(" 2026-12-05 "), Outcome::Stored,
            QStringLiteral("2026-12-05"));
        kept("new row date: last day of 9999", Where::NewRowDate, QStringLiteral("9999-12-31"));
        row("new row date: no such day", Where::NewRowDate, QStringLiteral("2026-02-30"), Outcome::Refused);
        row("new row date: year zero", Where::NewRowDate, QStringLiteral("0000-01-01"), Outcome::Refused);
        row("new row date: with a time", Where::NewRowDate, QStringLiteral("2026-12-05T10:00:00"), Outcome::Refused);
        row("new row date: SQL", Where::NewRowDate, QStringLiteral("'; DROP TABLE Selected;--"), Outcome::Refused);
        row("new row date: empty", Where::NewRowDate, QString(), Outcome::Ignored);

        kept("new row item: spaces only", Where::NewRowItem, QStringLiteral("   "));
        row("new row item: empty", Where::NewRowItem, QString(), Outcome::Ignored);

        kept("editor item: SQL", Where::EditorItem, QStringLiteral("Robert'); DROP TABLE Cartstock;--"));
        kept("editor aisle: leading zeros", Where::EditorAisle, QStringLiteral("007"));

        kept("new category: apostrophe", Where::NewCategory, QStringLiteral("Children's"));
        row("new category: empty", Where::NewCategory, QString(), Outcome::Ignored);
        row("new category: one there in other case", Where::NewCategory, QStringLiteral("dAIRY"), Outcome::Ignored);

        // A category is deleted through a criteria text: quotes in its name must not change
        // which rows that text names.
        row("delete category: apostrophe", Where::DeleteCategory, QStringLiteral("Kid's"), Outcome::Stored);
        row("delete category: SQL always true", Where::DeleteCategory, QStringLiteral("x' OR '1'='1"), Outcome::Stored);
        row("delete category: quotes", Where::DeleteCategory, QStringLiteral("\"Frozen\""), Outcome::Stored);
    }

    // Whatever the text, the file holds exactly what was entered (or, for a date, the date it
    // names) and nothing else changes; or the input is refused with a message, or ignored, and
    // the file is as it was. The windows then show what the file holds.
    void eachInputIsStoredExactlyOrLeavesTheFileAsItWas()
    {
        QFETCH(Where, where);
        QFETCH(QString, input);
        QFETCH(Outcome, outcome);
        QFETCH(QVariant, stored);
        if (where == Where::DeleteCategory)
            db->exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES (?)"), {input});
        const ListState before = ListState::read(db->path());
        ListState expected = before;
        if (outcome == Outcome::Refused)
            TestSession::answer(MessageBox::Answer::Ok);
        try {
            enter(where, input, ListState::plain(stored), expected);
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        const ListState after = ListState::read(db->path());
        if (outcome != Outcome::Stored)
            expected = before;
        QVERIFY2(after == expected, qPrintable(after.differences(expected)));
        QCOMPARE(TestSession::messages().size(),
                 int(where == Where::DeleteCategory) + int(outcome == Outcome::Refused));
        QVERIFY2(shownButNotHeld(after).isEmpty(), qPrintable(shownButNotHeld(after)));
    }
};

QTEST_MAIN(TestBadInputs)
#include "tst_bad_inputs.moc"
