#include "Connection.h"
#include "DataControl.h"
#include "DataError.h"
#include "DataSession.h"
#include "ReadAhead.h"
#include "Recordset.h"
#include "RowWriter.h"
#include "StoredDate.h"
#include "TestDatabase.h"

#include <QDate>
#include <QFile>
#include <QLocale>
#include <QTest>

#include <cstdio>
#include <future>
#include <memory>

namespace {
const QString CatalogueQuery = QStringLiteral("Select * From Cartstock Order By Item");

QStringList items(Recordset& rs)
{
    QStringList out;
    const int item = rs.fieldIndex(QStringLiteral("Item"));
    for (int i = 0; i < rs.recordCount(); ++i)
        out << rs.rowValue(i, item).toString();
    return out;
}
} // namespace

class TestRecordset : public QObject {
    Q_OBJECT
    std::unique_ptr<DataSession> session;
    std::unique_ptr<TestDatabase> db;
    std::shared_ptr<Connection> connection;

    void addItem(const QString& item, const QVariant& category, const QVariant& aisle = QVariant())
    {
        db->exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, ?)"),
                 {item, category, aisle});
    }

    std::unique_ptr<Recordset> open(const QString& source)
    {
        auto rs = std::make_unique<Recordset>();
        rs->open(connection, source);
        return rs;
    }

private Q_SLOTS:
    void init()
    {
        session = std::make_unique<DataSession>();
        db = std::make_unique<TestDatabase>();
        connection = std::make_shared<Connection>(db->connectionString());
        addItem(QStringLiteral("milk"), QStringLiteral("Dairy"), QStringLiteral("3"));
        addItem(QStringLiteral("Apples"), QStringLiteral("Produce"), QStringLiteral("1"));
        addItem(QStringLiteral("apricots"), QStringLiteral("Produce"));
        addItem(QStringLiteral("Crayons"), QStringLiteral("Kid's"), QStringLiteral("7"));
        addItem(QStringLiteral("Butter"), QVariant());
    }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        connection.reset();
        db.reset();
        session.reset();
    }

    void cursorMovesAndStopsAtBothEnds()
    {
        auto rs = open(CatalogueQuery);
        QCOMPARE(rs->absolutePosition(), 1);
        QVERIFY_THROWS_EXCEPTION(DataError, rs->value(QStringLiteral("Price")));
        rs->moveLast();
        QCOMPARE(rs->absolutePosition(), 5);
        rs->moveNext();
        QVERIFY(rs->eof() && !rs->bof());
        QVERIFY_THROWS_EXCEPTION(DataError, rs->moveNext());
        QVERIFY_THROWS_EXCEPTION(DataError, rs->value(QStringLiteral("Item")));
        rs->moveFirst();
        rs->movePrevious();
        QVERIFY(rs->bof());
        QVERIFY_THROWS_EXCEPTION(DataError, rs->movePrevious());
        rs->setAbsolutePosition(3);
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Butter"));
        QVERIFY(rs->value(QStringLiteral("Category")).isNull());
        const quint64 mark = rs->bookmark();
        rs->moveFirst();
        rs->setBookmark(mark);
        QCOMPARE(rs->absolutePosition(), 3);
        QVERIFY_THROWS_EXCEPTION(DataError, rs->setAbsolutePosition(6));
    }

    void filterShowsMatchingRows_data()
    {
        QTest::addColumn<QString>("criteria");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("apostrophe") << "Category = 'Kid''s'" << QStringList{"Crayons"};
        QTest::newRow("number against text") << "Aisle = 3" << QStringList{"milk"};
        QTest::newRow("null never matches") << "Category = ''" << QStringList{};
    }
    void filterShowsMatchingRows()
    {
        QFETCH(QString, criteria);
        QFETCH(QStringList, expected);
        auto rs = open(CatalogueQuery);
        rs->moveLast();
        rs->setFilter(criteria);
        QCOMPARE(items(*rs), expected);
        if (expected.isEmpty())
            QVERIFY(rs->bof() && rs->eof());
        else
            QCOMPARE(rs->absolutePosition(), 1);
    }
    void addedRowsGetNewIdentifiersFromTheDatabase()
    {
        auto rs = open(CatalogueQuery);
        const qlonglong highest = db->scalar(QStringLiteral("SELECT MAX(ID) FROM Cartstock")).toLongLong();
        rs->moveLast();
        rs->deleteCurrent();
        rs->addNew();
        rs->setValue(QStringLiteral("Item"), QStringLiteral("Eggs"));
        rs->update();
        // Above every identifier the table ever held, the deleted highest one included.
        QVERIFY(rs->value(QStringLiteral("ID")).toLongLong() > highest);
        QCOMPARE(rs->absolutePosition(), rs->recordCount());
        QCOMPARE(
            db->scalar(QStringLiteral("SELECT Item FROM Cartstock WHERE ID = ?"), {rs->value(QStringLiteral("ID"))})
                .toString(),
            QStringLiteral("Eggs"));
    }

    // A write lands only on the row read: when another program changed or deleted it, or a
    // backup was copied over the file in place (same inode, other rows at the same rowids),
    // nothing is written, the user is told, and the set shows what the file holds now.
    void writesLandOnlyOnTheRowRead_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<bool>("deleting");
        QTest::addColumn<QStringList>("shownAfter");
        const QStringList changed{"Apples", "apricots", "Butter", "Crayons", "milk"};
        const QStringList gone{"apricots", "Butter", "Crayons", "milk"};
        const QStringList backup{"apricots", "Butter", "Crayons", "milk", "Pears"};
        for (bool deleting : {false, true}) {
            const char* how = deleting ? "delete" : "update";
            QTest::addRow("%s after another program changed the row", how)
                << "UPDATE Cartstock SET Aisle = '5' WHERE Item = 'Apples'" << deleting << changed;
            QTest::addRow("%s after another program deleted the row", how)
                << "DELETE FROM Cartstock WHERE Item = 'Apples'" << deleting << gone;
            QTest::addRow("%s after a backup was copied over the file", how) << "backup" << deleting << backup;
        }
    }
    void writesLandOnlyOnTheRowRead()
    {
        QFETCH(QString, meanwhile);
        QFETCH(bool, deleting);
        QFETCH(QStringList, shownAfter);
        // A copy put over the file in place (cp keeps its inode); its change counter, by which
        // the engine trusts the pages it keeps, reads the same as the open file's: one write
        // each since a common copy.
        // What the file holds, and the file written over in place, as cp does.
        const auto held = [&] {
            QFile file(db->path());
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        };
        const auto copyOver = [&](const QByteArray& content) {
            QFile file(db->path());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(content) == content.size());
        };
        QByteArray backup;
        if (meanwhile == QStringLiteral("backup")) {
            const QByteArray common = held();
            db->exec(QStringLiteral("UPDATE Cartstock SET Item = 'Pears' WHERE Item = 'Apples'"));
            backup = held();
            copyOver(common);
            db->exec(QStringLiteral("UPDATE Cartstock SET Aisle = 'Crafts' WHERE Item = 'Crayons'"));
        }
        auto rs = open(CatalogueQuery);
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Apples"));
        if (backup.isEmpty())
            db->exec(meanwhile);
        else
            copyOver(backup);
        // Read afresh: a connection kept open could trust the pages it has, as the fault does.
        const QString rows = QStringLiteral("SELECT Item || ' ' || ifnull(Aisle, '-') FROM Cartstock ORDER BY ID");
        const QVariantList before = TestDatabase::columnIn(db->path(), rows);
        try {
            if (deleting) {
                rs->deleteCurrent();
            } else {
                rs->setValue(QStringLiteral("Aisle"), QStringLiteral("9"));
                rs->update();
            }
            QFAIL("a write to a row changed since it was read reported success");
        } catch (const DataError& e) {
            // An update names what it did not store, and says when the row is gone.
            const QString gone = meanwhile.startsWith("DELETE") ? "\n\nThe file no longer holds this record." : "";
            QCOMPARE(e.description(), QStringLiteral("Row cannot be located for %1. Some values may have been changed "
                                                     "since it was last read.%2")
                                          .arg(deleting ? "deletion" : "updating",
                                               deleting ? "" : gone + "\n\nNot stored:\n    Aisle: \"9\""));
        }
        QCOMPARE(TestDatabase::columnIn(db->path(), rows), before);
        QCOMPARE(rs->editMode(), Recordset::EditMode::None);
        QCOMPARE(items(*rs), shownAfter);
        if (meanwhile.startsWith(QStringLiteral("UPDATE"))) {
            // Still on the row, now as stored: the next write to it goes through.
            QCOMPARE(rs->value(QStringLiteral("Aisle")).toString(), QStringLiteral("5"));
            rs->setValue(QStringLiteral("Aisle"), QStringLiteral("6"));
            rs->update();
            QCOMPARE(db->scalar(QStringLiteral("SELECT Aisle FROM Cartstock WHERE Item = 'Apples'")).toString(),
                     QStringLiteral("6"));
        }
    }

    void storedDatesAreExactlyIsoCalendarDays_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QDate>("date");
        QTest::newRow("leap day") << "2024-02-29" << QDate(2024, 2, 29);
        QTest::newRow("no such day") << "2026-02-29" << QDate();
        QTest::newRow("trailing text") << "2026-12-05x" << QDate();
        QTest::newRow("other separators") << "2026/12/05" << QDate();
    }

    void storedDatesAreExactlyIsoCalendarDays()
    {
        QFETCH(QString, stored);
        QFETCH(QDate, date);
        const QVariant read = StoredDate::fromStored(stored);
        // What is not a date is kept as it was, so nothing read is lost.
        QCOMPARE(read, date.isValid() ? QVariant(date) : QVariant(stored));
    }

    void datesAreTakenAsPeopleWriteThemByHand_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QDate>("date"); // invalid: refused
        const auto row = [](const char* locale, const char* typed, QDate date) {
            QTest::addRow("%s %s", locale, typed) << QString::fromLatin1(locale) << QString::fromLatin1(typed) << date;
        };
        const QDate feb1(2027, 2, 1), jan2(2027, 1, 2);
        for (const char* typed : {"1/2/2027", "1/2/27", "01/02/2027", "01/02/27"}) {
            row("en_GB", typed, feb1);
            row("fr_FR", typed, feb1);
            // Ambiguous: read in the locale's own order, never guessed.
            row("en_US", typed, jan2);
        }
        for (const char* typed : {"1.2.27", "01.02.2027", "1.2.2027", "1. 2. 27"})
            row("de_DE", typed, feb1);
        // A leap day of a year written in two digits is this century's.
        row("en_US", "2/29/00", QDate(2000, 2, 29));
        row("en_US", "2/29/01", QDate());
        row("en_US", "13/1/27", QDate());
        row("en_GB", "1/2/027", QDate());
        row("en_GB", "1/2", QDate());
        row("en_GB", "1/2/27/3", QDate());
        row("de_DE", "1..2.27", QDate());
        row("de_DE", "2027-02-01", feb1);
    }

    void datesAreTakenAsPeopleWriteThemByHand()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QDate, date);
        QLocale::setDefault(QLocale(locale));
        QCOMPARE(StoredDate::fromInput(typed), date.isValid() ? QVariant(date) : QVariant());
    }

    void valuesTheColumnCannotHoldAreRefused()
    {
        db->exec(QStringLiteral("INSERT INTO Selected (Item, Quantity, Date) VALUES ('Tea', '1', '2026-12-05')"));
        auto rs = open(QStringLiteral("Selected"));
        QCOMPARE(rs->value(QStringLiteral("Date")), QVariant(QDate(2026, 12, 5)));
        QVERIFY_THROWS_EXCEPTION(DataError, rs->setValue(QStringLiteral("ID"), 99));
        QVERIFY_THROWS_EXCEPTION(DataError, rs->setValue(QStringLiteral("Date"), QStringLiteral("2026-02-30")));
        QCOMPARE(rs->editMode(), Recordset::EditMode::None);

        rs->setValue(QStringLiteral("Date"), QDate(2027, 1, 2));
        rs->setValue(QStringLiteral("Quantity"), 3);
        rs->update();
        QCOMPARE(db->scalar(QStringLiteral("SELECT Date FROM Selected")).toString(), QStringLiteral("2027-01-02"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT typeof(Quantity) FROM Selected")).toString(),
                 QStringLiteral("text"));
        // The file itself refuses a date that is not one, whoever writes it.
        QVERIFY_THROWS_EXCEPTION(DataError, connection->run(QStringLiteral("UPDATE Selected SET Date = 'soon'")));
    }

    // Filter and find: case is folded, accents and digits are not, composed and decomposed
    // letters are one.
    void filterAndFindFoldCaseButNotAccents()
    {
        addItem(QStringLiteral("Cake"), QStringLiteral("Éclairs"));
        addItem(QStringLiteral("Tart"), QStringLiteral("e\u0301clairs"));
        addItem(QStringLiteral("Bun"), QStringLiteral("Eclairs"));
        addItem(QStringLiteral("item 09"), QStringLiteral("Misc"));
        addItem(QStringLiteral("Item 9"), QStringLiteral("Misc"));
        auto rs = open(CatalogueQuery);
        rs->find(QStringLiteral("Item = 'item 9'"));
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Item 9"));
        rs->setFilter(QStringLiteral("Category = 'ÉCLAIRS'"));
        QCOMPARE(items(*rs), (QStringList{"Cake", "Tart"}));
        rs->setFilter(QStringLiteral("Category = 'eclairs'"));
        QCOMPARE(items(*rs), QStringList{"Bun"});
        rs->setFilter(QString());
        rs->moveFirst();
        rs->find(QStringLiteral("Category = '\u00e9clairs'"));
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Cake"));
        rs->moveNext();
        rs->find(QStringLiteral("Category = '\u00e9clairs'"));
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Tart"));
        // A find starts at the current row: the row shown is found where it is.
        rs->find(QStringLiteral("Category = '\u00e9clairs'"));
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Tart"));
    }

    // What the windows rely on: requery keeps the filter and applies it to what it reads;
    // a data control's refresh clears it.
    void requeryKeepsTheFilterAndRefreshClearsIt()
    {
        DataControl control(QStringLiteral("Cartstock"), CatalogueQuery);
        QVERIFY_THROWS_EXCEPTION(DataError, control.refresh());
        control.setConnectionString(db->connectionString());
        control.refresh();
        Recordset& rs = control.recordset();
        rs.setFilter(QStringLiteral("Category = 'Produce'"));
        addItem(QStringLiteral("Pears"), QStringLiteral("Produce"));
        addItem(QStringLiteral("Soap"), QStringLiteral("Household"));
        rs.requery();
        QCOMPARE(rs.filter(), QStringLiteral("Category = 'Produce'"));
        QCOMPARE(items(rs), (QStringList{"Apples", "apricots", "Pears"}));
        QCOMPARE(rs.absolutePosition(), 1);
        control.refresh();
        QCOMPARE(rs.filter(), QString());
        QCOMPARE(rs.recordCount(), 7);
    }

    // A row being added that cannot be written (the file refuses it, or lacks one of its
    // columns) goes, and nothing empty or refused is written later.
    void rowBeingAddedGoesWhenItCannotBeWritten_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::newRow("refused")
            << "CREATE TRIGGER NoNew BEFORE INSERT ON Selected BEGIN SELECT RAISE(ABORT, 'no'); END";
        QTest::newRow("a column missing") << "ALTER TABLE Selected DROP COLUMN Quantity";
    }
    void rowBeingAddedGoesWhenItCannotBeWritten()
    {
        QFETCH(QString, meanwhile);
        db->exec(meanwhile);
        auto list = open(QStringLiteral("Selected"));
        list->addNew();
        list->setValue(QStringLiteral("Item"), QStringLiteral("Tea"));
        QVERIFY_THROWS_EXCEPTION(DataError, {
            list->setValue(QStringLiteral("Quantity"), QStringLiteral("1"));
            list->update();
        });
        QCOMPARE(list->recordCount(), 0);
        QCOMPARE(list->editMode(), Recordset::EditMode::None);
        QVERIFY(!list->hasCurrent());
        db->exec(QStringLiteral("DROP TRIGGER IF EXISTS NoNew"));
        list->update();
        list->requery();
        QCOMPARE(db->count(QStringLiteral("Selected")), 0);
    }

    // A row gone before it was read back (a trigger of the file's takes it) keeps no values to
    // locate it by: a later change to it is refused, and the row put at its rowid meanwhile kept.
    void rowGoneBeforeItWasReadBackTakesNoLaterWrite()
    {
        db->exec(QStringLiteral("CREATE TRIGGER Gone AFTER INSERT ON Cartstock "
                                "BEGIN DELETE FROM Cartstock WHERE rowid = new.rowid; END"));
        auto rs = open(CatalogueQuery);
        rs->addNew();
        rs->setValue(QStringLiteral("Item"), QStringLiteral("Pears"));
        rs->update();
        db->exec(QStringLiteral("DROP TRIGGER Gone"));
        addItem(QStringLiteral("Figs"), QStringLiteral("Produce"));
        rs->setValue(QStringLiteral("Aisle"), QStringLiteral("9"));
        QVERIFY_THROWS_EXCEPTION(RowConflict, rs->update());
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Aisle = '9'")), 0);
    }

    // A table's rows are read by key and fetched as they are first asked for: a row fetched
    // after another program's write shows the file as it is then, in the set and in a
    // snapshot taken before, and a row deleted before it was fetched takes no write.
    void rowsFetchedLaterShowTheFileAsItIsThen()
    {
        db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                                "INSERT INTO Cartstock (Item, Category, Aisle) "
                                "SELECT printf('Z%04d', i), CASE i % 2 WHEN 0 THEN 'Even' ELSE 'Odd' END, '1' FROM n"));
        auto rs = open(CatalogueQuery);
        const Recordset::Snapshot snapshot = rs->snapshot();
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Apples"));
        const int aisle = rs->fieldIndex(QStringLiteral("Aisle"));
        const int item = rs->fieldIndex(QStringLiteral("Item"));
        db->exec(QStringLiteral("UPDATE Cartstock SET Aisle = '8' WHERE Item = 'Z1500'"));
        db->exec(QStringLiteral("DELETE FROM Cartstock WHERE Item = 'Z1600'"));
        const int changed = 5 + 1499, gone = 5 + 1599;
        QCOMPARE(rs->rowValue(changed, aisle).toString(), QStringLiteral("8"));
        QCOMPARE(snapshot.value(changed, aisle).toString(), QStringLiteral("8"));
        QCOMPARE(snapshot.value(changed, item).toString(), QStringLiteral("Z1500"));
        QVERIFY(rs->rowValue(gone, item).isNull());

        rs->setAbsolutePosition(gone + 1);
        rs->setValue(QStringLiteral("Aisle"), QStringLiteral("9"));
        QVERIFY_THROWS_EXCEPTION(RowConflict, rs->update());
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Aisle = '9'")), 0);
        QCOMPARE(rs->recordCount(), 2004);
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Z1601"));

        rs->setFilter(QStringLiteral("Category = 'Even'"));
        QCOMPARE(rs->recordCount(), 999);
        rs->moveLast();
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Z2000"));
    }

    // Keys read ahead while the program starts stand in for a read only while the file is as
    // they were read from: after a commit, or with another file put in its place, the source
    // reads the file itself. Either way it shows what the file holds.
    void keysReadAheadAreTakenOnlyForTheFileAsItIs_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("expected");
        const QStringList read = {"Apples", "apricots", "Butter", "Crayons", "milk"};
        QStringList other;
        for (int i = 0; i < 300; ++i)
            other << QStringLiteral("Other %1").arg(i, 3, 10, QLatin1Char('0'));
        QTest::newRow("unchanged") << QString() << read;
        QTest::newRow("row added") << "add"
                                   << QStringList{"Apples", "apricots", "Bananas", "Butter", "Crayons", "milk"};
        QTest::newRow("row renamed") << "rename" << QStringList{"Apples", "apricots", "Butter", "Crayons", "Zucchini"};
        QTest::newRow("file replaced") << "replace" << other;
        QTest::newRow("copied over in place") << "copy" << other;
        // No thread could be had for the reading.
        QTest::newRow("reading never ran") << "drop" << read;
    }
    void keysReadAheadAreTakenOnlyForTheFileAsItIs()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, expected);
        std::packaged_task<void()> job = ReadAhead::reading(db->path(), {CatalogueQuery, QStringLiteral("Categories")});
        if (change == QStringLiteral("drop"))
            job = {};
        std::future<void> reading = job.valid() ? std::async(std::launch::async, std::move(job)) : std::future<void>();
        // Asking for a statement it did not read waits for the reading to end: the change
        // comes after it.
        QVERIFY(!ReadAhead::take(db->path(), QStringLiteral("SELECT 1")));
        const QString otherFile = db->folder() + QStringLiteral("/other.mdb");
        if (change == QStringLiteral("add"))
            addItem(QStringLiteral("Bananas"), QStringLiteral("Produce"));
        if (change == QStringLiteral("rename"))
            db->exec(QStringLiteral("UPDATE Cartstock SET Item = 'Zucchini' WHERE Item = 'milk'"));
        if (change == QStringLiteral("replace") || change == QStringLiteral("copy"))
            TestDatabase::makeWithItems(otherFile, expected);
        if (change == QStringLiteral("replace")) {
            QVERIFY(std::rename(QFile::encodeName(otherFile).constData(), QFile::encodeName(db->path()).constData()) ==
                    0);
        }
        if (change == QStringLiteral("copy")) {
            QFile other(otherFile), file(db->path());
            QVERIFY(other.open(QIODevice::ReadOnly) && file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QVERIFY(file.write(other.readAll()) > 0);
        }
        // Opens the catalogue; whether the set ran the statement that reads its keys itself.
        const auto readsKeysItself = [&](std::unique_ptr<Recordset>& rs) {
            bool ran = false;
            Connection::setStatementObserver([&](const QString& sql, const QVariantList&) {
                ran = ran || sql.startsWith(QStringLiteral("SELECT \"Cartstock\".rowid, \"Cartstock\".\"Item\" FROM"));
            });
            rs = open(CatalogueQuery);
            Connection::setStatementObserver({});
            return ran;
        };
        std::unique_ptr<Recordset> rs;
        QCOMPARE(readsKeysItself(rs), !change.isEmpty());
        QCOMPARE(items(*rs), expected);
        // Taken once: a second read is the source's own.
        QVERIFY(readsKeysItself(rs));
        QCOMPARE(items(*rs), expected);
        ReadAhead::discard();
    }

    // A change the file refuses leaves nothing pending: the set shows what the file holds.
    void refusedChangeLeavesNothingPending()
    {
        db->exec(QStringLiteral("CREATE TRIGGER NoChange BEFORE UPDATE ON Cartstock "
                                "BEGIN SELECT RAISE(ABORT, 'the file refuses it'); END"));
        auto rs = open(CatalogueQuery);
        rs->setValue(QStringLiteral("Item"), QStringLiteral("Pears"));
        try {
            rs->moveNext();
            QFAIL("refused write reported success");
        } catch (const DataError& e) {
            QCOMPARE(e.description(), QStringLiteral("the file refuses it"));
        }
        QCOMPARE(rs->absolutePosition(), 1);
        QCOMPARE(rs->editMode(), Recordset::EditMode::None);
        QCOMPARE(rs->value(QStringLiteral("Item")).toString(), QStringLiteral("Apples"));
        rs->moveNext();
        QCOMPARE(rs->absolutePosition(), 2);
        QCOMPARE(db->count(QStringLiteral("Cartstock WHERE Item = 'Pears'")), 0);
    }
};

CARTLIST_TEST_MAIN(TestRecordset)
#include "tst_recordset.moc"
