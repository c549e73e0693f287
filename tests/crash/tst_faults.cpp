#include "AppFolder.h"
#include "Appearance.h"
#include "CommonDialog.h"
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

#include <QApplication>
#include <QDateEdit>
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

// The file holds what it held before with `change` made, and nothing else; it is the new before.
void expectOnly(const QString& path, ListState& before, const std::function<void(ListState&)>& change = {})
{
    if (QTest::currentTestFailed())
        return;
    ListState expected = before;
    if (change)
        change(expected);
    before = ListState::read(path);
    QVERIFY2(before == expected, qPrintable(before.differences(expected)));
}

// A colour chosen from the Options menu; the file holds it in the column given.
void chooseColour(QMainWindow& window, const QString& item, const QColor& colour, ListState& before,
                  const QString& path, bool editor)
{
    CommonDialog::queueColor(colour);
    chooseFromMenu(window, QStringLiteral("Options"), item);
    const QJsonValue stored = (editor ? ListState::read(path).settings2 : ListState::read(path).settings).at(4);
    QCOMPARE(Appearance::colorFromStored(stored.toVariant()), colour);
    expectOnly(path, before, [&](ListState& s) { (editor ? s.settings2 : s.settings)[4] = stored; });
}
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
        ListState file = ListState::read(path);
        click(mainWindow().cmdRef);
        chooseFromMenu(mainWindow(), QStringLiteral("Print"), QStringLiteral("Cartlist"));
        expectOnly(path, file);

        editCell(mainWindow().grdList, 0, gridColumn(mainWindow().grdList, QStringLiteral("Quantity")), "9");
        const QJsonValue id = listShown(mainWindow()).at(0).at(ListState::ListId);
        expectOnly(path, file, [&](ListState& s) {
            for (QJsonArray& row : s.selected) {
                if (row.at(ListState::ListId) == id)
                    row[ListState::ListQuantity] = QStringLiteral("9");
            }
        });
        chooseColour(mainWindow(), QStringLiteral("Back Color"), QColor(200, 100, 50), file, path, false);

        const QTreeWidgetItem* item = mainWindow().lvwItems->topLevelItem(0);
        const QJsonArray row{item->text(0), item->text(1), item->text(2), QStringLiteral("1"),
                             mainWindow().DTPick->date().toString(Qt::ISODate)};
        tickAndAdd({0});
        expectOnly(path, file, [&](ListState& s) {
            QJsonArray added = row;
            added.prepend(listShown(mainWindow()).last().at(ListState::ListId));
            s.selected << added;
        });
    }

    void laterEditorCommandsWriteOnlyTheirOwn(const QString& path)
    {
        ListState file = ListState::read(path);
        click(editor().cmdRefresh);
        click(editor().cmdRefreshCombo);
        click(editor().cmdNext);
        expectOnly(path, file);
        chooseColour(editor(), QStringLiteral("Back Color (text background areas & buttons)"), QColor(20, 100, 50),
                     file, path, true);

        click(editor().cmdAdd);
        enterInCombo(editor().cboCat, QStringLiteral("Herbs"));
        click(editor().cmdCancel);
        expectOnly(path, file, [](ListState& s) {
            s.categories << QStringLiteral("Herbs");
            s.categories.sort();
        });

        click(editor().cmdFirst);
        click(editor().cmdEdit);
        paste(editor().txtFields.at(3), QStringLiteral("Renamed later"));
        const QJsonArray record = recordShown(editor());
        click(editor().cmdUpdate);
        expectOnly(path, file, [&](ListState& s) {
            for (QJsonArray& row : s.cartstock) {
                if (row.at(ListState::ItemId) == record.at(ListState::ItemId))
                    row = record;
            }
        });
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
            ListState file = ListState::read(folder->file());
            QStringList ticked;
            for (int row : {1, 4})
                ticked << mainWindow().lvwItems->topLevelItem(row)->text(0);
            {
                // Far shorter than the program's wait for a lock.
                LockHolder lock(folder->file(), 500);
                QVERIFY(lock.holding());
                tickAndAdd({1, 4});
            }
            QCOMPARE(TestSession::messages(), QStringList());
            const QList<QJsonArray> shown = listShown(mainWindow());
            QCOMPARE(shown.size(), file.selected.size() + 2);
            QCOMPARE((QStringList{shown.at(3).at(ListState::ListItem).toString(),
                                  shown.at(4).at(ListState::ListItem).toString()}),
                     ticked);
            expectOnly(folder->file(), file, [&](ListState& s) { s.selected = shown; });
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
    return runEachTestAlone(test, argc, argv);
}

#include "tst_faults.moc"
