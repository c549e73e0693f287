#include "AppFolder.h"
#include "Connection.h"
#include "ConnectionString.h"
#include "DataControl.h"
#include "DataEnvironment.h"
#include "DataError.h"
#include "DataSession.h"
#include "RowWriter.h"
#include "SetConnections.h"
#include "StoreCheck.h"
#include "StoreProblem.h"
#include "TestDatabase.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSqlQuery>
#include <QTest>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

class TestConnection : public QObject {
    Q_OBJECT
    std::unique_ptr<DataSession> session;

private Q_SLOTS:
    void init() { session = std::make_unique<DataSession>(); }
    void cleanup() { session.reset(); }
    // Whatever the program's folder is called, it opens exactly <folder>/Cartstock.mdb:
    // never a file the connection text could be misread to name (made here as a decoy).
    void everyFolderNameOpensItsOwnFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("mode with spaces") << "lists;Mode=Share Deny None";
        QTest::newRow("another data source") << "x;Data Source=y";
        QTest::newRow("another provider") << "p;Provider=SQLOLEDB;Data Provider=z";
        QTest::newRow("quotes") << "say \"hi\" it's";
        QTest::newRow("newline") << "two\nlines";
        QTest::newRow("letters of every language") << QStringLiteral("Ünïcødé 日本 😀 e\u0301");
        QTest::newRow("what a URI would read") << "q?mode=ro#frag %41 &x";
        QTest::newRow("ends in a semicolon") << "trailing;";
        QTest::newRow("spaces around") << " spaced ";
        QTest::newRow("semicolon, percent and hash") << "my list; 100% #2";
    }
    void everyFolderNameOpensItsOwnFile()
    {
        QFETCH(QString, name);
        TestDatabase db;
        const QString folder = db.folder() + u'/' + name;
        QVERIFY(QDir().mkpath(folder));
        const QString real = folder + QStringLiteral("/Cartstock.mdb");
        TestDatabase::makeWithItems(real, {QStringLiteral("Real")});
        AppFolder::setPath(folder);
        DataControl control(QStringLiteral("c"), QStringLiteral("Select * From Cartstock Order By Item"));
        struct : ConnectionTargets {
            DataControl* control;
            ConnectionTarget mainWindowTarget() override { return {{}, {control}}; }
        } targets;
        targets.control = &control;
        setConnectionTargets(&targets);
        SetConnections(1);
        const QString misread = ConnectionString(ConnString).filePath();
        const QString decoy =
            misread != real && QFileInfo(misread).dir().exists() && !QFile::exists(misread) ? misread : QString();
        if (!decoy.isEmpty())
            TestDatabase::makeWithItems(decoy, {QStringLiteral("Decoy")});

        QCOMPARE(databaseFilePath(), real);
        control.refresh();
        Recordset& rs = control.recordset();
        QCOMPARE(rs.recordCount(), 1);
        QCOMPARE(rs.value(QStringLiteral("Item")).toString(), QStringLiteral("Real"));
        rs.addNew();
        rs.setValue(QStringLiteral("Item"), QStringLiteral("Written"));
        rs.setValue(QStringLiteral("Category"), QStringLiteral("Test"));
        rs.update();
        DECartstock().run(QStringLiteral("All_Grouping"));
        QCOMPARE(DECartstock().resultSet(QStringLiteral("rsAll_Grouping")).children(0).rows.size(), 2);
        QCOMPARE(DECartstock().cnCart().filePath(), real);
        QCOMPARE(TestDatabase::columnIn(real, QStringLiteral("SELECT Item FROM Cartstock ORDER BY ID")),
                 (QVariantList{QStringLiteral("Real"), QStringLiteral("Written")}));
        if (!decoy.isEmpty()) {
            QCOMPARE(TestDatabase::columnIn(decoy, QStringLiteral("SELECT Item FROM Cartstock")),
                     QVariantList{QStringLiteral("Decoy")});
        }
    }

    // The selector names the one window whose controls, and whose dialog's help file, are
    // pointed at the file; another selector reaches none, and neither do targets gone.
    void eachSelectorReachesOnlyItsWindow_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<bool>("wired");
        QTest::addColumn<QStringList>("reached");
        QTest::newRow("main window") << 1 << true << QStringList{"main"};
        QTest::newRow("editor") << 2 << true << QStringList{"editor"};
        QTest::newRow("neither") << 0 << true << QStringList();
        QTest::newRow("targets gone") << 1 << false << QStringList();
    }
    void eachSelectorReachesOnlyItsWindow()
    {
        QFETCH(int, which);
        QFETCH(bool, wired);
        QFETCH(QStringList, reached);
        DataControl main(QStringLiteral("main"), QStringLiteral("Cartstock"));
        DataControl editor(QStringLiteral("editor"), QStringLiteral("Cartstock"));
        QStringList helped;
        struct Windows : ConnectionTargets {
            Windows(DataControl* m, DataControl* e, QStringList* h)
                : main(m)
                , editor(e)
                , helped(h)
            {
            }
            DataControl *main, *editor;
            QStringList* helped;
            ConnectionTarget mainWindowTarget() override
            {
                return {[this](auto) { *helped << "main"; }, {main}};
            }
            ConnectionTarget editorTarget() override
            {
                return {[this](auto) { *helped << "editor"; }, {editor}};
            }
        };
        auto windows = std::make_unique<Windows>(&main, &editor, &helped);
        setConnectionTargets(windows.get());
        if (!wired)
            windows.reset();
        SetConnections(short(which));
        QStringList set;
        for (DataControl* control : {&main, &editor}) {
            if (!control->connectionString().isEmpty())
                set << control->caption();
        }
        QCOMPARE(set, reached);
        QCOMPARE(helped, reached);
    }

    // A connection works on the file at its path: one moved away or deleted fails every
    // statement and takes no write, until a file is at the path again; one put in its place
    // (a restored backup) is the file used from then on.
    void worksOnTheFileAtItsPath_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("deleted") << "deleted";
        QTest::newRow("moved and back") << "moved";
        QTest::newRow("replaced") << "replaced";
    }
    void worksOnTheFileAtItsPath()
    {
        QFETCH(QString, how);
        TestDatabase db;
        db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Tea')"));
        Connection c(db.connectionString(), db.path());
        c.open();
        const Connection::Version before = c.version();
        const QString moved = db.folder() + QStringLiteral("/moved.mdb");
        if (how == QStringLiteral("deleted"))
            QVERIFY(QFile::remove(db.path()));
        else
            QVERIFY(QFile::rename(db.path(), moved));
        if (how == QStringLiteral("replaced"))
            DatabaseMaker::create(db.path(), DatabaseMaker::Content::Empty);
        const QString insert = QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Coffee')");
        if (how != QStringLiteral("replaced")) {
            for (const QString& sql : {insert, QStringLiteral("SELECT count(*) FROM Cartstock")}) {
                try {
                    c.run(sql);
                    QFAIL("a statement ran on a file no longer at its place");
                } catch (const StoreError& e) {
                    QCOMPARE(e.problem().kind(), StoreProblem::Kind::Missing);
                }
            }
            QVERIFY(!QFile::exists(db.path()));
        }
        if (how == QStringLiteral("moved")) {
            QCOMPARE(TestDatabase::columnIn(moved, QStringLiteral("SELECT Item FROM Cartstock")),
                     QVariantList{QStringLiteral("Tea")});
            QVERIFY(QFile::rename(moved, db.path()));
        }
        if (how == QStringLiteral("deleted"))
            return;
        // Rows read before the file went are not trusted, though nothing was written since.
        QVERIFY(!(c.version() == before));
        c.run(insert);
        const QVariantList expected =
            how == QStringLiteral("replaced") ? QVariantList{QStringLiteral("Coffee")} : QVariantList{"Tea", "Coffee"};
        QCOMPARE(TestDatabase::columnIn(db.path(), QStringLiteral("SELECT Item FROM Cartstock ORDER BY ID")), expected);
        if (how == QStringLiteral("replaced"))
            QCOMPARE(TestDatabase::columnIn(moved, QStringLiteral("SELECT Item FROM Cartstock")),
                     QVariantList{QStringLiteral("Tea")});
    }

    // A file set right while the program runs is used at the next try, without a restart.
    void aFileSetRightIsUsedAtTheNextTry_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("emptied in place, then restored") << "emptied";
        QTest::newRow("read-only, then writable") << "read-only";
    }
    void aFileSetRightIsUsedAtTheNextTry()
    {
        QFETCH(QString, how);
        if (how == QStringLiteral("read-only") && ::geteuid() == 0)
            QSKIP("Running as root: file permissions do not stop root from writing a file.");
        TestDatabase db;
        Connection c(db.connectionString(), db.path());
        const QString insert = QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Tea')");
        QFile file(db.path());
        QByteArray content;
        if (how == QStringLiteral("emptied")) {
            c.run(insert);
            QVERIFY(file.open(QIODevice::ReadWrite));
            content = file.readAll();
            QVERIFY(file.resize(0));
        } else {
            QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
        }
        QString told;
        try {
            c.run(insert);
            QFAIL("wrote to a file that cannot take it");
        } catch (const DataError& e) {
            told = e.description();
        }
        if (how == QStringLiteral("emptied")) {
            QVERIFY(file.seek(0) && file.write(content) == content.size());
            file.close();
        } else {
            // Told in plain words, with a command that sets it right.
            const qsizetype at = told.indexOf(QStringLiteral("    chmod "));
            QVERIFY2(told.contains(QStringLiteral("read-only for you")) && at > 0, qPrintable(told));
            const QString command = told.mid(at, told.indexOf(u'\n', at) - at).trimmed();
            QCOMPARE(QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}), 0);
        }
        c.run(insert);
        QCOMPARE(TestDatabase::columnIn(db.path(), QStringLiteral("SELECT count(*) FROM Cartstock")),
                 QVariantList{how == QStringLiteral("emptied") ? 2 : 1});
    }

    // A change cut off beside a file the user may not write is told as what it is, and the
    // advised command lets the engine undo it.
    void interruptedChangeIsToldAndTheAdviceWorks()
    {
        if (::geteuid() == 0)
            QSKIP("Running as root: file permissions do not stop root from writing a file.");
        TestDatabase db;
        db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Tea')"));
        {
            // A writer that dies mid-change: its journal is live and the file half-written.
            QProcess writer;
            writer.start(QStringLiteral("python3"),
                         {QStringLiteral("-c"),
                          QStringLiteral("import sqlite3, os\n"
                                         "c = sqlite3.connect('%1', isolation_level=None)\n"
                                         "c.execute('PRAGMA cache_size=1'); c.execute('BEGIN')\n"
                                         "c.execute(\"UPDATE Cartstock SET Item = hex(randomblob(3000))\")\n"
                                         "os._exit(0)")
                              .arg(db.path())});
            if (!writer.waitForFinished() || writer.exitCode() != 0)
                QSKIP("No python3 with sqlite3 to interrupt a change.");
        }
        QVERIFY(QFile::setPermissions(db.path(), QFileDevice::ReadOwner));
        Connection c(db.connectionString(), db.path());
        QString advice;
        try {
            c.run(QStringLiteral("SELECT Item FROM Cartstock"));
            QFAIL("read a file with a change left half-made");
        } catch (const StoreError& e) {
            QCOMPARE(e.problem().kind(), StoreProblem::Kind::Interrupted);
            advice = e.description();
        }
        const qsizetype at = advice.indexOf(QStringLiteral("    chmod "));
        QVERIFY2(at > 0, qPrintable(advice));
        const QString command = advice.mid(at, advice.indexOf(u'\n', at) - at).trimmed();
        QCOMPARE(QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}), 0);
        QCOMPARE(c.run(QStringLiteral("SELECT Item FROM Cartstock")).next(), true);
        QCOMPARE(TestDatabase::columnIn(db.path(), QStringLiteral("SELECT Item FROM Cartstock")), QVariantList{"Tea"});
    }

    // The file check reads the file through the engine alone: a handle of its own, once
    // closed, would drop the locks the program's other connections hold, and another program
    // could write under a read still going on.
    void theFileCheckLeavesTheProgramsLocksInPlace()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        Connection reader(db.connectionString(), db.path());
        QSqlQuery reading = reader.run(QStringLiteral("SELECT Item FROM Cartstock"));
        QVERIFY(reading.next());
        StoreCheck::requireUsable(db.path());
        const int writer =
            QProcess::execute(QStringLiteral("python3"),
                              {QStringLiteral("-c"),
                               QStringLiteral("import sqlite3, sys\n"
                                              "c = sqlite3.connect(sys.argv[1], timeout=0, isolation_level=None)\n"
                                              "try:\n"
                                              "    c.execute('DELETE FROM Cartstock')\n"
                                              "except sqlite3.OperationalError as e:\n"
                                              "    sys.exit(3 if 'locked' in str(e) else 4)\n"),
                               db.path()});
        if (writer != 0 && writer != 3)
            QSKIP("No python3 with sqlite3 to write as another program.");
        QCOMPARE(writer, 3);
        reading = QSqlQuery();
        QVERIFY(db.count(QStringLiteral("Cartstock")) > 0);
    }

    // A file found sound once is checked whole again after any change, even one that leaves
    // its size, its header and its modification time as they were.
    void damageAfterASoundCheckIsFound()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        StoreCheck::requireUsable(db.path());
        const QByteArray path = QFile::encodeName(db.path());
        struct stat before {};
        QVERIFY(::stat(path.constData(), &before) == 0);
        QFile file(db.path());
        constexpr int Page = 4096;
        QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() - Page));
        QCOMPARE(file.write(QByteArray(Page, '\xA5')), Page);
        file.close();
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
        try {
            StoreCheck::requireUsable(db.path());
            QFAIL("a damaged file passed the check");
        } catch (const StoreError& e) {
            QCOMPARE(e.problem().kind(), StoreProblem::Kind::Damaged);
        }
    }

    // Fault: with no home folder, Qt names one at the file system's root, and the check kept
    // its state in /.cache there.
    void withoutAHomeFolderTheCheckKeepsNothing()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        const QString atRoot = QDir::rootPath() + QStringLiteral(".cache/cartlist/sound-files");
        const auto written = [&] {
            const QFileInfo file(atRoot);
            return file.exists() ? file.lastModified() : QDateTime();
        };
        const QDateTime before = written();
        const QByteArray home = qgetenv("HOME"), cache = qgetenv("XDG_CACHE_HOME");
        qunsetenv("HOME");
        qunsetenv("XDG_CACHE_HOME");
        const auto back = qScopeGuard([&] {
            qputenv("HOME", home);
            if (!cache.isNull())
                qputenv("XDG_CACHE_HOME", cache);
        });
        StoreCheck::requireUsable(db.path());
        StoreCheck::requireUsable(db.path());
        QCOMPARE(written(), before);
    }

    // A row is located by the values read for it, exactly: another program's change of case
    // alone, or values read for other columns than the writer's, locate nothing.
    void aWriteFindsOnlyTheRowAsRead_data()
    {
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<int>("valuesRead");
        QTest::newRow("changed only in case") << "UPDATE Cartstock SET Item = 'TEA'" << 2;
        QTest::newRow("read for no column") << "" << 0;
        QTest::newRow("read for one column of two") << "" << 1;
    }
    void aWriteFindsOnlyTheRowAsRead()
    {
        QFETCH(QString, meanwhile);
        QFETCH(int, valuesRead);
        TestDatabase db;
        const qint64 rowid =
            db.exec(QStringLiteral("INSERT INTO Cartstock (Item, Category) VALUES ('Tea', 'Drinks')")).toLongLong();
        Connection c(db.connectionString(), db.path());
        RowWriter writer(c, QStringLiteral("Cartstock"), {QStringLiteral("Item"), QStringLiteral("Category")});
        const QVariantList read = writer.reload(rowid).value().mid(0, valuesRead);
        if (!meanwhile.isEmpty())
            TestDatabase::execIn(db.path(), {meanwhile});
        const QVariantList before = db.column(QStringLiteral("SELECT Item || Category FROM Cartstock"));
        QVERIFY_THROWS_EXCEPTION(RowConflict, writer.update(rowid, read, {QStringLiteral("Category")}, {"Food"}));
        QVERIFY_THROWS_EXCEPTION(RowConflict, writer.remove(rowid, read));
        QCOMPARE(db.column(QStringLiteral("SELECT Item || Category FROM Cartstock")), before);
    }

    // The file is followed between statements only: one being read is read to its end though
    // another program puts a file in its place meanwhile, and the next reads the new file.
    void aStatementBeingReadIsReadToItsEnd()
    {
        TestDatabase db;
        for (const char* item : {"Tea", "Milk", "Eggs"})
            db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES (?)"), {item});
        Connection c(db.connectionString(), db.path());
        QSqlQuery rows = c.run(QStringLiteral("SELECT Item FROM Cartstock ORDER BY ID"));
        QVERIFY(rows.next());
        QVariantList read{rows.value(0)};
        const QString restored = db.folder() + QStringLiteral("/restored.mdb");
        TestDatabase::makeWithItems(restored, {QStringLiteral("Bread")});
        QCOMPARE(std::rename(QFile::encodeName(restored).constData(), QFile::encodeName(db.path()).constData()), 0);
        QVERIFY(c.run(QStringLiteral("PRAGMA table_info(Cartstock)")).next());
        while (rows.next())
            read << rows.value(0);
        QCOMPARE(read, (QVariantList{"Tea", "Milk", "Eggs"}));
        rows = QSqlQuery();
        QSqlQuery now = c.run(QStringLiteral("SELECT group_concat(Item) FROM Cartstock"));
        QVERIFY(now.next());
        QCOMPARE(now.value(0).toString(), QStringLiteral("Bread"));
    }

    // A copy put over the file in place after this program's own write, its change counter the
    // same as the file's, is read afresh: the pages the connection keeps are of the file before.
    void aCopyOverTheFileAfterAnOwnWriteIsReadAfresh()
    {
        TestDatabase db;
        db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Tea')"));
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray common = file.readAll();
        file.close();
        db.exec(QStringLiteral("UPDATE Cartstock SET Item = 'Backup'"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray backup = file.readAll();
        QVERIFY(file.seek(0) && file.write(common) == common.size());
        file.close();
        Connection c(db.connectionString(), db.path());
        c.run(QStringLiteral("UPDATE Cartstock SET Item = 'Own'"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(backup) == backup.size());
        file.close();
        QSqlQuery now = c.run(QStringLiteral("SELECT Item FROM Cartstock"));
        QVERIFY(now.next());
        QCOMPARE(now.value(0).toString(), QStringLiteral("Backup"));
    }
};

CARTLIST_TEST_MAIN(TestConnection)
#include "tst_connection.moc"
