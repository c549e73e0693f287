#include "AppFolder.h"
#include "ApplicationHelp.h"
#include "Connection.h"
#include "ConnectionString.h"
#include "DataControl.h"
#include "DataEnvironment.h"
#include "DataError.h"
#include "SetConnections.h"
#include "TestDatabase.h"
#include "TestSession.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTest>

#include <memory>

class TestConnection : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;

private Q_SLOTS:
    void init() { session = std::make_unique<TestSession>(); }
    void cleanup() { CARTLIST_CHECK_SESSION(session); }

    void dataSourceIsReadWhole_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/ann/Cartstock.mdb;"
                                  "Persist Security Info=False"
                               << "/home/ann/Cartstock.mdb";
        QTest::newRow("spaces") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/ann/my lists/Cartstock.mdb;"
                                   "Persist Security Info=False"
                                << "/home/ann/my lists/Cartstock.mdb";
        QTest::newRow("semicolon in folder") << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/home/ann/a;b=c; "
                                                "d/Cartstock.mdb;Persist Security Info=False"
                                             << "/home/ann/a;b=c; d/Cartstock.mdb";
        QTest::newRow("root folder doubles the separator")
            << "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=//Cartstock.mdb;Persist Security Info=False"
            << "/Cartstock.mdb";
        QTest::newRow("last pair with trailing semicolon")
            << "PROVIDER=MSDataShape;DATA PROVIDER=MICROSOFT.JET.OLEDB.4.0;Data Source=/x/Cartstock.mdb;"
               "Persist Security Info=False;"
            << "/x/Cartstock.mdb";
        QTest::newRow("quoted") << "Provider=Microsoft.Jet.OLEDB.4.0;data source=\"/x/say \"\"hi\"\";/Cartstock.mdb\""
                                << "/x/say \"hi\";/Cartstock.mdb";
    }
    void dataSourceIsReadWhole()
    {
        QFETCH(QString, text);
        QFETCH(QString, path);
        QCOMPARE(ConnectionString(text).filePath(), path);
    }

    void providersSelectOurEngine()
    {
        QVERIFY(
            ConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a")).providerSupported());
        QVERIFY(ConnectionString(
                    QStringLiteral("PROVIDER=MSDataShape;DATA PROVIDER=MICROSOFT.JET.OLEDB.4.0;Data Source=/a"))
                    .providerSupported());
        QVERIFY(!ConnectionString(QStringLiteral("PROVIDER=MSDataShape;Data Source=/a")).providerSupported());
        QVERIFY(!ConnectionString(QStringLiteral("Provider=SQLOLEDB;Data Source=/a")).providerSupported());
    }

    void missingFileIsAnErrorAndNeverCreated()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Cartstock.mdb"));
        Connection c(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        try {
            c.open();
            QFAIL("opened a missing file");
        } catch (const DataError& e) {
            QVERIFY2(e.description().contains(path), qPrintable(e.description()));
        }
        QVERIFY(!QFile::exists(path));
        QVERIFY(!c.isOpen());
    }

    void fileThatIsNoDatabaseIsAnErrorAndLeftAlone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Cartstock.mdb"));
        const QByteArray junk(4096, 'x');
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(junk);
        f.close();
        Connection c(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
        QVERIFY_THROWS_EXCEPTION(DataError, c.open());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), junk);
    }

    void folderWithSpacesAndSemicolonOpens()
    {
        TestDatabase db;
        const QString folder = db.folder() + QStringLiteral("/my list; 100% #2");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(db.path(), folder + QStringLiteral("/Cartstock.mdb")));
        AppFolder::setPath(folder);
        SetConnections(3);
        DECartstock().run(QStringLiteral("TopListID"));
        QCOMPARE(DECartstock().cnCart().filePath(), folder + QStringLiteral("/Cartstock.mdb"));
        // A doubled separator, as a root folder gives, names the same file.
        Connection doubled(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/") + folder +
                           QStringLiteral("//Cartstock.mdb;Persist Security Info=False"));
        QCOMPARE(doubled.run(QStringLiteral("SELECT count(*) FROM Settings")).next(), true);
    }

    void openConnectionKeepsItsString()
    {
        TestDatabase db;
        Connection c(db.connectionString());
        c.open();
        c.setConnectionString(db.connectionString());
        QVERIFY_THROWS_EXCEPTION(DataError, c.setConnectionString(QStringLiteral("Provider=x;Data Source=/y")));
        QCOMPARE(c.connectionString(), db.connectionString());
    }

    void setConnectionsPointsEveryTargetAtTheFile()
    {
        TestDatabase db;
        clearConnectionTargets();
        DataControl a(QStringLiteral("a"), QStringLiteral("Cartstock")),
            b(QStringLiteral("b"), QStringLiteral("Selected"));
        QStringList order;
        QString help;
        int loads = 0;
        registerConnectionTarget(1, [&] {
            ++loads;
            return ConnectionTarget{[&](const QString& p) {
                                        help = p;
                                        order << QStringLiteral("help");
                                    },
                                    {&a, &b}};
        });
        SetConnections(1);
        SetConnections(1);
        QCOMPARE(loads, 2);
        QCOMPARE(ConnString, QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + db.folder() +
                                 QStringLiteral("/Cartstock.mdb;Persist Security Info=False"));
        QCOMPARE(a.connectionString(), ConnString);
        QCOMPARE(b.connectionString(), ConnString);
        QCOMPARE(help, db.folder() + QStringLiteral("/Cartstock.hlp"));
        QCOMPARE(ApplicationHelp::helpFile(), help);
        QCOMPARE(DECartstock().cnCart().connectionString(),
                 QStringLiteral("PROVIDER=MSDataShape;DATA PROVIDER=MICROSOFT.JET.OLEDB.4.0;Data Source=") +
                     db.folder() + QStringLiteral("/Cartstock.mdb;Persist Security Info=False;"));
        a.refresh();
        QCOMPARE(a.recordset().recordCount(), 0);
    }

    void setConnectionsSkipsFailingStepsAndOtherSelectors()
    {
        TestDatabase db;
        clearConnectionTargets();
        DataControl a(QStringLiteral("a"), QStringLiteral("Cartstock"));
        registerConnectionTarget(2, [&] {
            return ConnectionTarget{[](const QString&) { throw DataError(QStringLiteral("no dialog")); }, {&a}};
        });
        registerConnectionTarget(1, []() -> ConnectionTarget { throw DataError(QStringLiteral("load failed")); });
        SetConnections(1);
        QVERIFY(a.connectionString().isEmpty());
        SetConnections(7);
        QVERIFY(a.connectionString().isEmpty());
        SetConnections(2);
        QCOMPARE(a.connectionString(), ConnString);
        // cnCart is open now that a command has run; re-pointing it at the same file is harmless.
        DECartstock().run(QStringLiteral("ClearList"));
        SetConnections(2);
        QVERIFY(DECartstock().cnCart().isOpen());
    }
};

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
