#include "Connection.h"
#include "DataEnvironment.h"
#include "DataSession.h"
#include "SetConnections.h"
#include "TestDatabase.h"
#include "TextOrder.h"

#include <QCollator>
#include <QDate>
#include <QLocale>
#include <QTest>

#include <memory>

namespace {
// Heading and child items of every group of a grouped result set.
QStringList groups(ResultSet& rs, const QString& childColumn = QStringLiteral("Item"))
{
    QStringList out;
    Recordset& parents = rs.rows();
    for (int g = 0; g < parents.recordCount(); ++g) {
        const RowTable& children = rs.children(g);
        QStringList names;
        for (int r = 0; r < children.rows.size(); ++r)
            names << children.value(r, childColumn).toString();
        out << parents.rowValue(g, 0).toString() + QStringLiteral(": ") + names.join(QStringLiteral(", "));
    }
    return out;
}
} // namespace

class TestCommands : public QObject {
    Q_OBJECT
    std::unique_ptr<DataSession> session;
    std::unique_ptr<TestDatabase> db;

private Q_SLOTS:
    void init()
    {
        session = std::make_unique<DataSession>();
        db = std::make_unique<TestDatabase>();
        SetConnections(0);
    }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        Connection::setStatementObserver({});
        db.reset();
        session.reset();
    }
    // The one order follows the user's language and reads numbers as numbers; the C locale,
    // which has no language, gets the language-neutral order rather than code-unit order.
    void textOrderFollowsTheLanguage_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QStringList>("expected");
        const QStringList numbers{"", "2a", "02b", "10"};
        const QStringList neutral =
            numbers + QStringList{QStringLiteral("Éclairs"), "eggs", "Oats", QStringLiteral("Ölive oil"), "Zucchini"};
        QTest::newRow("English") << QLocale(QLocale::English, QLocale::UnitedStates) << neutral;
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << neutral;
        QTest::newRow("C") << QLocale::c() << neutral;
        QTest::newRow("Swedish") << QLocale(QLocale::Swedish, QLocale::Sweden)
                                 << numbers + QStringList{QStringLiteral("Éclairs"), "eggs", "Oats", "Zucchini",
                                                          QStringLiteral("Ölive oil")};
    }
    void textOrderFollowsTheLanguage()
    {
        QFETCH(QLocale, locale);
        QFETCH(QStringList, expected);
        QLocale::setDefault(locale);
        QStringList words{"Zucchini", "10", QStringLiteral("Ölive oil"), "02b", "eggs", "",
                          "Oats",     "2a", QStringLiteral("Éclairs")};
        std::stable_sort(words.begin(), words.end(), TextOrder::lessText);
        QCOMPARE(words, expected);
    }

    // English names of plain letters and digits are ordered without the collator; the order
    // must be the collator's all the same.
    void plainNamesOrderAsTheCollatorOrdersThem()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
        collator.setCaseSensitivity(Qt::CaseInsensitive);
        collator.setNumericMode(true);
        collator.setIgnorePunctuation(false);
        const QStringList names{"Item 00001", "Item 00002", "item 9",  "Item 10",  "apple", "Banana", "abc",
                                "abcd",       "a12",        "a1b",     "x1",       "xa",    "Milk",   "milk",
                                "2a",         "02b",        "Aisle 2", "aisle 10", "a-b",   "a b",    "ab",
                                "Tea",        "tea bags",   "10",      "9z",       "z9",    "",       "Ab1c",
                                "a007",       "a070",       "a0070",   "a7b",      "a7a"};
        const auto sign = [](int c) { return c < 0 ? -1 : (c > 0 ? 1 : 0); };
        for (const QString& a : names)
            for (const QString& b : names)
                QVERIFY2(sign(TextOrder::compareTexts(a, b)) == sign(collator.compare(a, b)),
                         qPrintable(a + " / " + b));
        QLocale::setDefault(QLocale::system());
    }

    // The date reaches the engine as a bound value, never as part of the statement's text.
    void dateIsBoundNeverPastedIntoTheStatement()
    {
        QList<std::pair<QString, QVariantList>> seen;
        Connection::setStatementObserver([&](const QString& sql, const QVariantList& values) {
            seen.append({sql, values});
        });
        for (const char* command : {"ChangeDates", "ListPrint_Grouping", "ListPrintAisle_Grouping"}) {
            seen.clear();
            DECartstock().run(QString::fromLatin1(command), QDate(2026, 12, 24));
            QCOMPARE(seen.size(), 1);
            const auto& [sql, values] = seen.first();
            QVERIFY2(sql.contains(QStringLiteral("`Date` = ?")) && !sql.contains(QStringLiteral("2026")) &&
                         !sql.contains(QStringLiteral("dt")),
                     qPrintable(sql));
            QCOMPARE(values, QVariantList{QStringLiteral("2026-12-24")});
        }
    }

    // The catalogue by category, rows in, groups out: a (Category, Item, Aisle) row once; null
    // and empty categories one group with an empty heading; a group is the same text (case
    // folded, accents and digits kept apart), where the text order puts it.
    void catalogueIsGroupedByCategory_data()
    {
        QTest::addColumn<QList<QStringList>>("rows"); // Item, Category (null: none), Aisle
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("aisles");
        const QString none;
        QTest::newRow("duplicates once") << QList<QStringList>{{"Tea", "Drinks", "8"}, {"Coffee", "Drinks", "8"},
                                                               {"Tea", "Drinks", "8"}, {"Tea", "Drinks", "9"},
                                                               {"Soap", none, "10"},   {"Bread", "Bakery", "1"}}
                                         << QStringList{": Soap", "Bakery: Bread", "Drinks: Coffee, Tea, Tea"}
                                         << QStringList{": 10", "Bakery: 1", "Drinks: 8, 8, 9"};
        QTest::newRow("no category is one group")
            << QList<QStringList>{{"Orphan", none, "5"}, {"Blank", "", "2"},  {"Orphan", "", "5"},
                                  {"orphan", none, "5"}, {"Orphan", "", "6"}, {"Tea", "Drinks", "8"}}
            << QStringList{": Blank, Orphan, Orphan", "Drinks: Tea"} << QStringList{": 2, 5, 6", "Drinks: 8"};
        QTest::newRow("same text") << QList<QStringList>{{"Choux", "Éclairs", "1"},      {"Cream", "éclairs", "1"},
                                                         {"Plain", "Eclairs", "1"},      {"Whole", "Milk", "1"},
                                                         {"Skim", "milk", "1"},          {"Zest", "Oranges", "1"},
                                                         {"Pressed", "Öl", "1"},         {"Nine", "Aisle 9", "1"},
                                                         {"Zero nine", "aisle 09", "1"}, {"Nine again", "aisle 9", "1"}}
                                   << QStringList{"aisle 09: Zero nine", "Aisle 9: Nine, Nine again",
                                                  "Eclairs: Plain",      QStringLiteral("Éclairs: Choux, Cream"),
                                                  "milk: Skim, Whole",   QStringLiteral("Öl: Pressed"),
                                                  "Oranges: Zest"}
                                   << QStringList();
    }
    void catalogueIsGroupedByCategory()
    {
        QFETCH(QList<QStringList>, rows);
        QFETCH(QStringList, items);
        QFETCH(QStringList, aisles);
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        for (const QStringList& row : rows)
            db->exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, ?)"),
                     {row.at(0), row.at(1).isNull() ? QVariant() : row.at(1), row.at(2)});
        DECartstock().run(QStringLiteral("All_Grouping"));
        ResultSet& rs = DECartstock().resultSet(QStringLiteral("rsAll_Grouping"));
        QCOMPARE(groups(rs), items);
        if (!aisles.isEmpty())
            QCOMPARE(groups(rs, QStringLiteral("Aisle")), aisles);
    }
};

CARTLIST_TEST_MAIN(TestCommands)
#include "tst_commands.moc"
