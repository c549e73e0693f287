#include "AppFolder.h"
#include "ApplicationSetup.h"
#include "DataCombo.h"
#include "DataEnvironment.h"
#include "DataList.h"
#include "ReportPreview.h"
#include "Startup.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"
#include "rptAll.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProcess>
#include <QProxyStyle>
#include <QSqlDatabase>
#include <QTest>
#include <QTreeView>

#include <cstdio>
#include <unistd.h>

#include <memory>

using namespace UserMoves;

namespace {
// What the item editor's closing steps do: show the main window anew, then list.
void returnToMainWindow()
{
    if (frmCartstock* w = frmCartstock::loaded())
        delete w;
    frmCartstock::load().show();
    Startup::ListNewItems();
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;

private Q_SLOTS:
    void init() { session = std::make_unique<TestSession>(); }
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
        CARTLIST_CHECK_SESSION(session);
    }

    // Each cause is told as it is, with advice that can work; the file is left as it was.
    void eachFileProblemIsToldByItsCause_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("missing") << "missing" << QStringList{"is not there", "cartlist-makedb"};
        QTest::newRow("zero bytes") << "empty"
                                    << QStringList{"not a usable Cartlist database", "it is empty (0 bytes)"};
        QTest::newRow("text file") << "text" << QStringList{"not a usable Cartlist database", "not a database file"};
        QTest::newRow("truncated database")
            << "truncated" << QStringList{"not a usable Cartlist database", "it is damaged"};
        QTest::newRow("another program's database")
            << "foreign"
            << QStringList{"not one made for Cartlist",
                           "the tables Cartstock, Categories, Selected, Settings and Settings2"};
        QTest::newRow("a column missing")
            << "column" << QStringList{"not one made for Cartlist", "the column Quantity in Selected"};
    }
    void eachFileProblemIsToldByItsCause()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, told);
        TestDatabase db(DatabaseMaker::Content::Sample);
        QFile file(db.path());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray sample = file.readAll();
        file.close();
        QByteArray content;
        if (kind == QStringLiteral("text"))
            content = "Shopping: milk, eggs, bread\n";
        else if (kind == QStringLiteral("truncated"))
            content = sample.left(sample.size() / 2);
        if (kind == QStringLiteral("foreign")) {
            QFile::remove(db.path());
            TestDatabase::execIn(db.path(), {QStringLiteral("CREATE TABLE Recipes (Name TEXT)")});
        } else if (kind == QStringLiteral("column")) {
            db.exec(QStringLiteral("ALTER TABLE Selected DROP COLUMN Quantity"));
        } else if (kind != QStringLiteral("foreign")) {
            QFile::remove(db.path());
            if (kind != QStringLiteral("missing")) {
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(content);
                file.close();
            }
        }
        // The advice is for a folder of any name, one with a quote in it too.
        const QString folder = db.folder() + QStringLiteral("/Bob's list");
        const QString path = folder + QStringLiteral("/Cartstock.mdb");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(kind == QStringLiteral("missing") || QFile::rename(db.path(), path));
        AppFolder::setPath(folder);
        file.setFileName(path);
        QByteArray before;
        if (file.open(QIODevice::ReadOnly)) {
            before = file.readAll();
            file.close();
        }
        // What two earlier rounds of the same advice set aside.
        const QStringList setAsideBefore{path + QStringLiteral(".old"), path + QStringLiteral(".old2")};
        for (const QString& aside : setAsideBefore)
            TestDatabase::execIn(aside, {QStringLiteral("CREATE TABLE Kept (x)")});

        TestSession::answer(MessageBox::Answer::Ok);
        QVERIFY(!Startup::Main());
        QCOMPARE(TestSession::messages().size(), 1);
        const QString text = TestSession::messages().first();
        QVERIFY2(text.contains(path), qPrintable(text));
        for (const QString& phrase : told)
            QVERIFY2(text.contains(phrase), qPrintable(phrase + QStringLiteral(" not in:\n") + text));
        QCOMPARE(frmCartstock::loaded(), nullptr);
        if (kind == QStringLiteral("missing")) {
            QVERIFY(!QFile::exists(path));
            return;
        }
        // A file is there: making one over it cannot work, so it is set aside first, and the
        // command told does that without touching what was set aside before.
        QVERIFY2(text.contains(QStringLiteral("left the file as it is")), qPrintable(text));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
        file.close();
        const qsizetype setAside = text.indexOf(QStringLiteral("    mv "));
        QVERIFY2(setAside > 0 && setAside < text.indexOf(QStringLiteral("cartlist-makedb")), qPrintable(text));
        const QString command = text.mid(setAside, text.indexOf(u'\n', setAside) - setAside).trimmed();
        QCOMPARE(QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command}), 0);
        QVERIFY(!QFile::exists(path));
        QVERIFY(QFile::exists(path + QStringLiteral(".old3")));
        for (const QString& aside : setAsideBefore)
            QCOMPARE(TestDatabase::columnIn(aside, QStringLiteral("SELECT name FROM sqlite_master")),
                     QVariantList{"Kept"});
    }

    // Another program holding the file: told within about a second, not after a long silence.
    void lockedFileIsToldAtOnce()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        db.exec(QStringLiteral("BEGIN EXCLUSIVE"));
        TestSession::answer(MessageBox::Answer::Ok);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!Startup::Main());
        const qint64 waited = timer.elapsed();
        db.exec(QStringLiteral("ROLLBACK"));
        QVERIFY2(waited < 2000, qPrintable(QStringLiteral("told after %1 ms").arg(waited)));
        // The wait cursor shown while the file was read is gone again.
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
        QCOMPARE(TestSession::messages().size(), 1);
        const QString text = TestSession::messages().first();
        QVERIFY2(text.contains(QStringLiteral("in use by another program")) &&
                     text.contains(QStringLiteral("Close the other program")) && text.contains(db.path()) &&
                     !text.contains(QStringLiteral("cartlist-makedb")),
                 qPrintable(text));
        QCOMPARE(frmCartstock::loaded(), nullptr);
    }

    void unreadableFileIsToldAsSuch()
    {
        if (::geteuid() == 0)
            QSKIP("Running as root: file permissions do not stop root from reading a file.");
        TestDatabase db(DatabaseMaker::Content::Sample);
        QVERIFY(QFile::setPermissions(db.path(), QFileDevice::Permissions()));
        TestSession::answer(MessageBox::Answer::Ok);
        QVERIFY(!Startup::Main());
        QFile::setPermissions(db.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QString text = TestSession::messages().value(0);
        QVERIFY2(text.contains(QStringLiteral("not allowed to read")) && text.contains(QStringLiteral("chmod")) &&
                     !text.contains(QStringLiteral("cartlist-makedb")),
                 qPrintable(text));
    }

    // The engine opens no file whose path is longer than it can hold: that is what is told.
    void folderPathTooLongForTheEngineIsTold()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        QString folder = db.folder();
        while (folder.toUtf8().size() < 520)
            folder += u'/' + QString(100, u'd');
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(db.path(), folder + QStringLiteral("/Cartstock.mdb")));
        AppFolder::setPath(folder);
        TestSession::answer(MessageBox::Answer::Ok);
        QVERIFY(!Startup::Main());
        const QString text = TestSession::messages().value(0);
        QVERIFY2(text.contains(QStringLiteral("path too long for its database engine")) &&
                     text.contains(QStringLiteral("at most 504 bytes")) &&
                     !text.contains(QStringLiteral("cartlist-makedb")),
                 qPrintable(text));

        // At the longest path the engine opens, the maker the "not there" advice names works.
        folder = db.folder();
        const int longest = 504 - int(sizeof "/Cartstock.mdb") + 1;
        while (folder.toUtf8().size() < longest)
            folder += u'/' + QString(std::min(100, longest - int(folder.toUtf8().size()) - 1), u'e');
        QVERIFY(QDir().mkpath(folder));
        AppFolder::setPath(folder);
        TestSession::answer(MessageBox::Answer::Ok);
        QVERIFY(!Startup::Main());
        QVERIFY(TestSession::messages().value(1).contains(QStringLiteral("cartlist-makedb")));
        DatabaseMaker::create(folder + QStringLiteral("/Cartstock.mdb"), DatabaseMaker::Content::Sample);
        QVERIFY(Startup::Main());
        DECartstock().run(QStringLiteral("ClearList")); // a write needs the journal's longer path too
    }

    // The one rule orders every window and report: é beside e, Ö beside O.
    void accentedTextSortsBesideItsLetterInEveryList()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        TestDatabase db;
        const QStringList items{"Trash bags", QStringLiteral("Éclairs"), "eggs", QStringLiteral("Ölive oil"), "Oats"};
        const QStringList categories{"Trash", QStringLiteral("Épicerie"), "Eggs", QStringLiteral("Öle"), "Oats"};
        for (int i = 0; i < items.size(); ++i) {
            db.exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, '1')"),
                    {items.at(i), categories.at(i)});
            db.exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES (?)"), {categories.at(i)});
        }
        db.exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES ('Aisle 9')"));
        const QStringList itemOrder{QStringLiteral("Éclairs"), "eggs", "Oats", QStringLiteral("Ölive oil"),
                                    "Trash bags"};
        const QStringList categoryOrder{"Aisle 9", "Eggs", QStringLiteral("Épicerie"), "Oats", QStringLiteral("Öle"),
                                        "Trash"};
        QVERIFY(Startup::Main());
        frmCartstock* window = frmCartstock::loaded();
        QCOMPARE(entries(control<QTreeView>(*window, "lvwItems")), itemOrder);
        QCOMPARE(entries(control<DataList>(*window, "lstCat")), categoryOrder);
        choose(*window, "mnuAdd");
        frmAdding* editor = frmAdding::loaded();
        QCOMPARE(entries(control<DataCombo>(*editor, "cboFind")->list()), itemOrder);
        QCOMPARE(entries(control<DataCombo>(*editor, "cboCat")->list()), categoryOrder);
        QCOMPARE(control<QLineEdit>(*editor, "txtFields", frmAdding::ItemField)->text(), itemOrder.first());
        // The list match takes the same text only: case folded, accents and digits not.
        for (const auto& [typed, matched] : {std::pair{QStringLiteral("ÉPICERIE"), true},
                                             {"Epicerie", false},
                                             {"aisle 9", true},
                                             {"aisle 09", false}}) {
            control<DataCombo>(*editor, "cboCat")->setText(typed);
            QVERIFY2(control<DataCombo>(*editor, "cboCat")->matchedWithList() == matched, qPrintable(typed));
        }
    }

    // Listed once, under the name they have now; a catalogue empty at the start lists nothing.
    void itemsAddedDuringTheRunAreListedOnceUnderTheirCurrentName_data()
    {
        QTest::addColumn<bool>("sample");
        QTest::newRow("sample") << true;
        QTest::newRow("empty at the start") << false;
    }
    void itemsAddedDuringTheRunAreListedOnceUnderTheirCurrentName()
    {
        QFETCH(bool, sample);
        TestDatabase db(sample ? DatabaseMaker::Content::Sample : DatabaseMaker::Content::Empty);
        QVERIFY(Startup::Main());
        QCOMPARE(Startup::HighestID.isNull(), !sample);
        db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Zucchini')"));
        const QVariant kale = db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Kale')"));
        db.exec(QStringLiteral("INSERT INTO Cartstock (Item) VALUES ('Basil')"));
        db.exec(QStringLiteral("DELETE FROM Cartstock WHERE ID = ?"), {kale});
        db.exec(QStringLiteral("UPDATE Cartstock SET Item = 'Rice noodles' WHERE Item = 'Rice'"));
        returnToMainWindow();
        QCOMPARE(entries(control<QListWidget>(*frmCartstock::loaded(), "lstRecent")),
                 sample ? (QStringList{"Basil", "Zucchini"}) : QStringList());
    }

    // Fault: after the item editor, the main window came back wherever a new window is put,
    // at the screen's edge.
    void theMainWindowComesBackWhereItWas()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        QVERIFY(Startup::Main());
        frmCartstock& before = mainWindow();
        before.move(before.pos() + QPoint(37, 23));
        const QRect place = before.geometry();
        choose(before, "mnuAdd");
        choose(editor(), "mnuExit");
        QCOMPARE(mainWindow().geometry(), place);
    }

    void shutDownLeavesNoConnectionOpen()
    {
        // Connections left to static destruction outlive Qt's own registry of them.
        TestDatabase db(DatabaseMaker::Content::Sample);
        const QStringList before = QSqlDatabase::connectionNames();
        QVERIFY(Startup::Main());
        choose(*frmCartstock::loaded(), "mnuPrintFull");
        QVERIFY(rptAll::existing());
        ApplicationSetup::shutDown();
        QCOMPARE(frmCartstock::loaded(), nullptr);
        QCOMPARE(rptAll::existing(), nullptr);
        QCOMPARE(QSqlDatabase::connectionNames(), before);
    }

    // Every window shows the cart, and the menu bar is drawn in the program's style, whatever
    // style the desktop or a -style option names.
    void everyWindowShowsTheCartInOneStyle()
    {
        TestDatabase db(DatabaseMaker::Content::Sample);
        ApplicationSetup::setUp();
        QVERIFY(Startup::Main());
        frmCartstock* main = frmCartstock::loaded();
        const auto* menuStyle = qobject_cast<QProxyStyle*>(main->menuBar()->style());
        QCOMPARE(menuStyle->baseStyle()->name(), QApplication::style()->name());
        choose(*main, "mnuPrintFull");
        choose(*main, "mnuAdd");
        QVERIFY(!QApplication::windowIcon().isNull());
        for (QWidget* window :
             {static_cast<QWidget*>(frmAdding::loaded()), static_cast<QWidget*>(rptAll::existing()->previewWindow())})
            QCOMPARE(window->windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
    }
};

CARTLIST_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
