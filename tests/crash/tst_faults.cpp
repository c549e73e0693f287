#include "AppFolder.h"
#include "Appearance.h"
#include "CommonDialog.h"
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

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeWidget>

#include <functional>
#include <memory>
#include <optional>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

using namespace UserMoves;

namespace {
// Whether this process has mount points of its own, where it may mount a small tmpfs that
// nobody else sees and that goes when the process ends. Set in main, before Qt starts a
// thread.
bool privateMounts = false;

const QString NoMounts = QStringLiteral("needs a small tmpfs of its own, and mounting one needs root (CAP_SYS_ADMIN) "
                                        "in a mount namespace of its own, which this run could not enter");

// A folder for the database: on a tmpfs of its own when a size is given, else an ordinary
// temporary folder.
class FaultFolder {
public:
    explicit FaultFolder(const QString& sample, int tmpfsKiB = 0)
    {
        if (tmpfsKiB > 0) {
            const QByteArray options = "size=" + QByteArray::number(tmpfsKiB) + "k";
            m_mounted =
                ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
        }
        QFile::copy(sample, file());
        QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    ~FaultFolder()
    {
        QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    QString path() const { return m_dir.path(); }
    QString file() const { return m_dir.filePath(QStringLiteral("Cartstock.mdb")); }

    // Root writes any file whatever its permissions: for root the whole tmpfs goes read-only.
    bool makeReadOnly()
    {
        if (::geteuid() != 0)
            return QFile::setPermissions(file(), QFileDevice::ReadOwner);
        return m_mounted && ::mount(nullptr, QFile::encodeName(m_dir.path()).constData(), nullptr,
                                    MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

    // Fills the tmpfs until not one byte more fits.
    bool fill()
    {
        QFile filler(m_dir.filePath(QStringLiteral("filler")));
        if (!m_mounted || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        for (const int chunk : {65536, 4096, 1}) {
            const QByteArray bytes(chunk, 'f');
            while (filler.write(bytes) == chunk) {
            }
        }
        return QStorageInfo(m_dir.path()).bytesAvailable() == 0;
    }
    void makeRoom() { QFile::remove(m_dir.filePath(QStringLiteral("filler"))); }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

// Another program's connection, holding the file's write lock until it lets go: after a
// while, or when told to.
class LockHolder {
public:
    explicit LockHolder(const QString& file, int lettingGoAfterMs = -1)
    {
        m_thread.reset(QThread::create([this, file, lettingGoAfterMs] {
            const QString name = QStringLiteral("lock-holder");
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(file);
                QSqlQuery query(db);
                m_holding = db.open() && query.exec(QStringLiteral("BEGIN IMMEDIATE"));
                m_locked.release();
                m_letGo.tryAcquire(1, lettingGoAfterMs);
                query.exec(QStringLiteral("ROLLBACK"));
                db.close();
            }
            QSqlDatabase::removeDatabase(name);
        }));
        m_thread->start();
        m_locked.acquire();
    }
    ~LockHolder()
    {
        letGo();
        m_thread->wait();
    }
    bool holding() const { return m_holding; }
    void letGo() { m_letGo.release(); }

private:
    std::unique_ptr<QThread> m_thread;
    QSemaphore m_locked;
    QSemaphore m_letGo;
    bool m_holding = false;
};

// A write a user makes, and the number of questions it asks before writing.
struct Write {
    QString name;
    int questions;
    std::function<void()> make;
};

// A move that does not take hold throws: the test fails with its words.
void failOnThrow(const std::function<void()>& steps)
{
    try {
        steps();
    } catch (const std::exception& e) {
        QTest::qFail(e.what(), __FILE__, __LINE__);
    }
}

frmCartstock& mainWindow()
{
    if (!frmCartstock::loaded())
        throw std::runtime_error("the shopping-list window is not there");
    return *frmCartstock::loaded();
}

frmAdding& editor()
{
    if (!frmAdding::loaded())
        throw std::runtime_error("the item editor is not there");
    return *frmAdding::loaded();
}

void chooseFont(QMainWindow& window)
{
    CommonDialog::queueFont({QStringLiteral("Courier New"), 14.25, true, false});
    chooseFromMenu(window, QStringLiteral("Options"), QStringLiteral("Font"));
}

void tickAndAdd(const QList<int>& rows)
{
    tick(mainWindow().lvwItems, rows);
    click(mainWindow().cmdAddToList);
}

const QList<Write> MainWindowWrites = {
    {QStringLiteral("Add Checked Items"), 0,
     [] {
         tickAndAdd({1, 4});
         click(mainWindow().cmdSelNone);
     }},
    {QStringLiteral("a quantity typed into the grid"), 0,
     [] { editCell(mainWindow().grdList, 0, gridColumn(mainWindow().grdList, QStringLiteral("Quantity")), "7"); }},
    {QStringLiteral("a row typed into the new-row line"), 0,
     [] {
         DataGrid* grid = mainWindow().grdList;
         editCell(grid, grid->model()->rowCount() - 1, gridColumn(grid, QStringLiteral("Item")), "Bread");
     }},
    {QStringLiteral("Change dates below"), 1,
     [] {
         enterDate(mainWindow().DTPick, QDate(2027, 1, 9));
         click(mainWindow().cmdChangeDates);
     }},
    {QStringLiteral("Delete All"), 1, [] { click(mainWindow().cmdClearAll); }},
    {QStringLiteral("Delete Category"), 1,
     [] {
         clickEntry(mainWindow().lstCat, 2);
         click(mainWindow().cmdDelCat);
     }},
    {QStringLiteral("a font"), 0, [] { chooseFont(mainWindow()); }},
    {QStringLiteral("a back colour"), 0,
     [] {
         CommonDialog::queueColor(QColor(10, 20, 30));
         chooseFromMenu(mainWindow(), QStringLiteral("Options"), QStringLiteral("Back Color"));
     }},
};

// Back to browsing after a refused write, where the editor is still adding or editing.
void cancelWhatIsLeft()
{
    if (editor().cmdCancel->isVisible())
        click(editor().cmdCancel);
}

const QList<Write> EditorWrites = {
    {QStringLiteral("a new category"), 0,
     [] {
         click(editor().cmdAdd);
         enterInCombo(editor().cboCat, QStringLiteral("Spices"));
         cancelWhatIsLeft();
     }},
    {QStringLiteral("Add and Update"), 0,
     [] {
         click(editor().cmdAdd);
         paste(editor().txtFields.at(3), QStringLiteral("Saffron"));
         click(editor().cmdUpdate);
         cancelWhatIsLeft();
     }},
    {QStringLiteral("Edit and Update"), 0,
     [] {
         click(editor().cmdFirst);
         click(editor().cmdEdit);
         paste(editor().txtFields.at(3), QStringLiteral("Renamed"));
         click(editor().cmdUpdate);
         cancelWhatIsLeft();
     }},
    {QStringLiteral("Delete"), 1, [] { click(editor().cmdDelete); }},
    {QStringLiteral("a font in the editor"), 0, [] { chooseFont(editor()); }},
};

// The file as read at first, then as each action since should have left it.
class FileSince {
public:
    explicit FileSince(const QString& path)
        : m_path(path)
        , m_state(ListState::read(path))
    {
    }
    const ListState& state() const { return m_state; }
    // The file shows this action done, and nothing else since the last.
    void expectDone(const Intent& intent)
    {
        if (QTest::currentTestFailed())
            return;
        const ListState now = ListState::read(m_path);
        QString why;
        QVERIFY2(intent.judge(m_state, now, &why) == Intent::Verdict::Done, qPrintable(why));
        m_state = now;
    }

private:
    QString m_path;
    ListState m_state;
};
} // namespace

class TestFaults : public QObject {
    Q_OBJECT
    std::unique_ptr<TestDatabase> sample;
    std::unique_ptr<FaultFolder> folder;
    std::unique_ptr<TestSession> session;

    // Starts the program on the database in the fault folder.
    void start()
    {
        AppFolder::setPath(folder->path());
        QVERIFY2(Module1::Main(), qPrintable(TestSession::messages().join(u' ')));
    }

    // Each write is refused: it says so in a message, the file stays as it was, and the
    // window shows what the file holds, nothing of the refused change.
    void everyWriteIsRefused(const QList<Write>& writes, const QString& file)
    {
        for (const Write& write : writes) {
            const ListState before = ListState::read(file);
            const qsizetype shown = TestSession::messages().size();
            for (int i = 0; i < write.questions; ++i)
                TestSession::answer(MessageBox::Answer::Yes);
            TestSession::answer(MessageBox::Answer::Ok);
            try {
                write.make();
            } catch (const std::exception& e) {
                QFAIL(qPrintable(write.name + QStringLiteral(": ") + QString::fromUtf8(e.what())));
            }
            QVERIFY2(MessageBox::pendingAnswers() == 0 && TestSession::messages().size() == shown + write.questions + 1,
                     qPrintable(write.name + QStringLiteral(": no message said the change was not saved")));
            const ListState after = ListState::read(file);
            QVERIFY2(after == before,
                     qPrintable(write.name + QStringLiteral(" changed the file:\n") + after.differences(before)));
            if (frmCartstock* w = frmCartstock::loaded()) {
                QVERIFY2(listShown(*w) == before.selected,
                         qPrintable(write.name + QStringLiteral(": the grid shows what the file does not hold")));
                QCOMPARE(entriesShown(w->lstCat), before.categories);
            }
            if (frmAdding* e = frmAdding::loaded()) {
                QCOMPARE(entriesShown(e->cboCat->list()), before.categories);
                QCOMPARE(qsizetype(e->cboFind->list()->model()->rowCount()), before.cartstock.size());
                QVERIFY2(recordShown(*e) == QJsonArray({0, QJsonValue(), QJsonValue(), QJsonValue()}) ||
                             before.cartstock.contains(recordShown(*e)),
                         qPrintable(write.name + QStringLiteral(": the editor shows a record the file does not hold")));
            }
        }
    }

    // Every write a user can make, refused one after the other, in both windows.
    void everyWriteInBothWindowsIsRefused(const QString& file)
    {
        everyWriteIsRefused(MainWindowWrites, file);
        if (QTest::currentTestFailed())
            return;
        chooseFromMenu(mainWindow(), QStringLiteral("Add"));
        everyWriteIsRefused(EditorWrites, file);
        if (!QTest::currentTestFailed())
            click(editor().cmdQuit);
    }

    // Once the fault is gone, commands that re-read and write again store their own change
    // and nothing a refused one left behind in the window.
    void laterMainCommandsWriteOnlyTheirOwn(const QString& path)
    {
        FileSince file(path);
        click(mainWindow().cmdRef);
        chooseFromMenu(mainWindow(), QStringLiteral("Print"), QStringLiteral("Cartlist"));
        file.expectDone(Intent::none(QStringLiteral("re-reading and printing the list")));

        const double id = listShown(mainWindow()).at(0).at(ListState::ListId).toDouble();
        editCell(mainWindow().grdList, 0, gridColumn(mainWindow().grdList, QStringLiteral("Quantity")), "9");
        file.expectDone(Intent::editCell(id, ListState::ListQuantity, QStringLiteral("9")));

        QJsonArray settings = file.state().settings;
        settings[4] = double(Appearance::storedFromColor(QColor(200, 100, 50)));
        CommonDialog::queueColor(QColor(200, 100, 50));
        chooseFromMenu(mainWindow(), QStringLiteral("Options"), QStringLiteral("Back Color"));
        file.expectDone(Intent::settings(false, settings));

        const QTreeWidgetItem* item = mainWindow().lvwItems->topLevelItem(0);
        const QJsonArray row{item->text(0), item->text(1), item->text(2), QStringLiteral("1"),
                             mainWindow().DTPick->date().toString(Qt::ISODate)};
        tickAndAdd({0});
        file.expectDone(Intent::addRows({row}));
    }

    void laterEditorCommandsWriteOnlyTheirOwn(const QString& path)
    {
        FileSince file(path);
        click(editor().cmdRefresh);
        click(editor().cmdRefreshCombo);
        click(editor().cmdNext);
        file.expectDone(Intent::none(QStringLiteral("re-reading the catalogue")));

        QJsonArray settings = file.state().settings2;
        settings[4] = double(Appearance::storedFromColor(QColor(20, 100, 50)));
        CommonDialog::queueColor(QColor(20, 100, 50));
        chooseFromMenu(editor(), QStringLiteral("Options"),
                       QStringLiteral("Back Color (text background areas & buttons)"));
        file.expectDone(Intent::settings(true, settings));

        click(editor().cmdAdd);
        enterInCombo(editor().cboCat, QStringLiteral("Herbs"));
        click(editor().cmdCancel);
        file.expectDone(Intent::addCategory(QStringLiteral("Herbs")));

        click(editor().cmdFirst);
        click(editor().cmdEdit);
        paste(editor().txtFields.at(3), QStringLiteral("Renamed later"));
        QJsonArray record = recordShown(editor());
        const double id = record.takeAt(0).toDouble();
        click(editor().cmdUpdate);
        file.expectDone(Intent::editItem(id, record));
    }

private Q_SLOTS:
    void init()
    {
        session = std::make_unique<TestSession>();
        sample = std::make_unique<TestDatabase>(DatabaseMaker::Content::Sample);
        for (const char* item : {"Milk", "Tea", "Rye bread"}) {
            sample->exec(QStringLiteral("INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) "
                                        "VALUES (?, 'Dairy', '3', '2', '2026-12-05')"),
                         {QString::fromUtf8(item)});
        }
    }
    void cleanup()
    {
        CARTLIST_CHECK_SESSION(session);
        folder.reset();
        sample.reset();
    }

    void readOnlyFileRefusesEveryWrite()
    {
        failOnThrow([&] {
            folder = std::make_unique<FaultFolder>(sample->path(), privateMounts ? 4096 : 0);
            if (!folder->makeReadOnly())
                QSKIP(qPrintable(QStringLiteral("A read-only file for root ") + NoMounts));
            start();
            everyWriteInBothWindowsIsRefused(folder->file());
        });
    }

    void fullFileSystemRefusesEveryWriteAndLeavesNothingPending()
    {
        failOnThrow([&] {
            if (!privateMounts)
                QSKIP(qPrintable(QStringLiteral("A full file system ") + NoMounts));
            folder = std::make_unique<FaultFolder>(sample->path(), 1024);
            start();
            QVERIFY(folder->fill());
            everyWriteIsRefused(MainWindowWrites, folder->file());
            if (QTest::currentTestFailed())
                return;
            folder->makeRoom();
            laterMainCommandsWriteOnlyTheirOwn(folder->file());
            if (QTest::currentTestFailed())
                return;

            QVERIFY(folder->fill());
            chooseFromMenu(mainWindow(), QStringLiteral("Add"));
            everyWriteIsRefused(EditorWrites, folder->file());
            if (QTest::currentTestFailed())
                return;
            folder->makeRoom();
            laterEditorCommandsWriteOnlyTheirOwn(folder->file());
        });
    }

    void lockHeldPastTheWaitRefusesAndLeavesNothingPending()
    {
        failOnThrow([&] {
            folder = std::make_unique<FaultFolder>(sample->path());
            start();
            {
                // Each refused write waits out the whole busy timeout: a list row and a
                // settings row only.
                LockHolder lock(folder->file());
                QVERIFY(lock.holding());
                everyWriteIsRefused({MainWindowWrites.at(0), MainWindowWrites.at(6)}, folder->file());
                if (QTest::currentTestFailed())
                    return;
            }
            laterMainCommandsWriteOnlyTheirOwn(folder->file());
        });
    }

    void lockLetGoWithinTheWaitLetsTheWriteThrough()
    {
        failOnThrow([&] {
            folder = std::make_unique<FaultFolder>(sample->path());
            start();
            const ListState before = ListState::read(folder->file());
            const auto rowOf = [](const QTreeWidgetItem* item) {
                return QJsonArray{item->text(0), item->text(1), item->text(2), QStringLiteral("1"),
                                  QStringLiteral("2026-12-05")};
            };
            const Intent adding = Intent::addRows(
                {rowOf(mainWindow().lvwItems->topLevelItem(1)), rowOf(mainWindow().lvwItems->topLevelItem(4))});
            {
                // Far shorter than the program's wait for a lock.
                LockHolder lock(folder->file(), 500);
                QVERIFY(lock.holding());
                tickAndAdd({1, 4});
            }
            QCOMPARE(TestSession::messages(), QStringList());
            QString why;
            QVERIFY2(adding.judge(before, ListState::read(folder->file()), &why) == Intent::Verdict::Done,
                     qPrintable(why));
            QCOMPARE(listShown(mainWindow()), ListState::read(folder->file()).selected);
        });
    }

    void fileGoneMidRunRefusesEveryWrite_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("deleted") << QStringLiteral("deleted");
        QTest::newRow("moved") << QStringLiteral("moved");
        QTest::newRow("replaced") << QStringLiteral("replaced");
    }

    // The program writes only to the file it opened: once that file is gone from its place,
    // every write is refused, and nothing is written to it, or to whatever is there now.
    void fileGoneMidRunRefusesEveryWrite()
    {
        failOnThrow([&] {
            QFETCH(QString, how);
            folder = std::make_unique<FaultFolder>(sample->path());
            start();
            const QString kept = folder->path() + QStringLiteral("/kept.mdb");
            // A second name for the file the program opened, to see what became of it.
            QVERIFY(::link(QFile::encodeName(folder->file()).constData(), QFile::encodeName(kept).constData()) == 0);
            if (how == QStringLiteral("moved"))
                QVERIFY(QFile::rename(folder->file(), folder->path() + QStringLiteral("/Moved.mdb")));
            else
                QVERIFY(QFile::remove(folder->file()));
            std::optional<ListState> replacement;
            if (how == QStringLiteral("replaced")) {
                DatabaseMaker::create(folder->file(), DatabaseMaker::Content::Empty);
                replacement = ListState::read(folder->file());
            }

            // The editor cannot open on a file that is not there; only the main window stays.
            everyWriteIsRefused(MainWindowWrites, kept);
            if (replacement)
                QCOMPARE(ListState::read(folder->file()), *replacement);
            else
                QCOMPARE(QDir(folder->path()).entryList({QStringLiteral("Cartstock.mdb*")}, QDir::Files),
                         QStringList());
            QVERIFY2(TestSession::messages().last().contains(QStringLiteral("Cartstock.mdb")),
                     "the message names the file");
        });
    }
};

int main(int argc, char** argv)
{
    // A process enters a mount namespace of its own while it has only one thread; the mounts
    // made there must not reach the rest of the system.
    privateMounts = ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    TestFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults.moc"
