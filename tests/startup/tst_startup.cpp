#include "DataEnvironment.h"
#include "Module1.h"
#include "SetConnections.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "WindowWiring.h"
#include "frmCartstock.h"
#include "rptAll.h"

#include <QFile>
#include <QListWidget>
#include <QSqlDatabase>
#include <QTest>

#include <memory>

namespace {
QStringList recent()
{
    QStringList out;
    QListWidget* list = frmCartstock::loaded()->lstRecent;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}

// What the item editor's closing steps do: show the main window anew, then list.
void returnToMainWindow()
{
    if (frmCartstock* w = frmCartstock::loaded())
        delete w;
    frmCartstock::load().show();
    Module1::ListNewItems();
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;

private Q_SLOTS:
    void init() { session = std::make_unique<TestSession>(); }
    void cleanup() { CARTLIST_CHECK_SESSION(session); }

    void startsOnTheSampleDatabase()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        QVERIFY(Module1::Main());
        QCOMPARE(Module1::HighestID, db.scalar(QStringLiteral("SELECT MAX(ID) FROM Cartstock")));
        QCOMPARE(DECartstock().resultSet(QStringLiteral("rsTopListID")).state(), 0);
        frmCartstock* window = frmCartstock::loaded();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Cartlist"));
        QCOMPARE(window->centralWidget()->size(), QSize(799, 596));
        for (DataControl* control : window->connectionTarget().dataControls)
            QCOMPARE(control->connectionString(), ConnString);
        QCOMPARE(window->adoCartstock.recordset().recordCount(), db.count(QStringLiteral("Cartstock")));
        QVERIFY(window->lstRecent->count() == 0);
    }

    void unreadableDatabaseIsReportedOnceAndNothingIsCreated_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("not a database") << QByteArray(2048, '\x7f') << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }
    void unreadableDatabaseIsReportedOnceAndNothingIsCreated()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        TestDatabase db;
        QFile::remove(db.path());
        if (exists) {
            QFile f(db.path());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        TestSession::answer(MessageBox::Answer::Ok);
        QVERIFY(!Module1::Main());
        QCOMPARE(TestSession::messages().size(), 1);
        const QString text = TestSession::messages().first();
        QVERIFY2(text.contains(db.path()) && text.contains(QStringLiteral("cartlist-makedb")), qPrintable(text));
        QCOMPARE(frmCartstock::loaded(), nullptr);
        QCOMPARE(QFile::exists(db.path()), exists);
        if (exists) {
            QFile f(db.path());
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), content);
        }
    }

    void failingWindowLoadIsReportedOnce()
    {
        TestDatabase db;
        db.exec(QStringLiteral("DROP TABLE Selected"));
        TestSession::answer(MessageBox::Answer::Ok);
        QVERIFY(!Module1::Main());
        QCOMPARE(TestSession::messages().size(), 1);
        QVERIFY(TestSession::messages().first().contains(QStringLiteral("Selected")));
        QCOMPARE(frmCartstock::loaded(), nullptr);
    }

    void itemsAddedDuringTheRunAreListedOnceUnderTheirCurrentName()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        QVERIFY(Module1::Main());
        const QVariant zucchini = db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Zucchini')"));
        const QVariant kale = db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Kale')"));
        db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Basil')"));
        db.exec(QStringLiteral("DELETE FROM Cartstock WHERE ID = ?"), {kale});
        db.exec(QStringLiteral("UPDATE Cartstock SET Item = 'Rice noodles' WHERE Item = 'Rice'"));
        returnToMainWindow();
        QCOMPARE(recent(), (QStringList{"Basil", "Zucchini"}));

        db.exec(QStringLiteral("UPDATE Cartstock SET Item = 'Courgette' WHERE ID = ?"), {zucchini});
        returnToMainWindow();
        QCOMPARE(recent(), (QStringList{"Basil", "Courgette"}));
        QCOMPARE(frmCartstock::loaded()->adoCartstock.recordset().absolutePosition(), 1);
    }

    void shutDownLeavesNoConnectionOpen()
    {
        // Connections left to static destruction outlive Qt's own registry of them.
        TestDatabase db(DatabaseMaker::Content::Sample);
        const QStringList before = QSqlDatabase::connectionNames();
        QVERIFY(Module1::Main());
        frmCartstock::loaded()->mnuPrintFull->trigger();
        QVERIFY(rptAll::existing());
        WindowWiring::shutDown();
        QCOMPARE(frmCartstock::loaded(), nullptr);
        QCOMPARE(rptAll::existing(), nullptr);
        QCOMPARE(QSqlDatabase::connectionNames(), before);
    }

    void emptyCatalogueAtStartListsNothingAllRun()
    {
        TestDatabase db;
        QVERIFY(Module1::Main());
        QVERIFY(Module1::HighestID.isNull());
        returnToMainWindow();
        QVERIFY(recent().isEmpty());
        db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Tea')"));
        returnToMainWindow();
        QVERIFY(recent().isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
