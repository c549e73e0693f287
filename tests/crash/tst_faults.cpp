#include "AppFolder.h"
#include "CommonDialog.h"
#include "DataCombo.h"
#include "DataGrid.h"
#include "DataList.h"
#include "FileDialog.h"
#include "ListState.h"
#include "MenuClicks.h"
#include "PrintDialog.h"
#include "ReportPreview.h"
#include "Startup.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTreeView>

#include <functional>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <tuple>
#include <unistd.h>

using namespace UserMoves;

namespace {
// Whether this process has mount points of its own, where it may mount a small tmpfs that
// nobody else sees and that goes when the process ends. Set in main, before Qt starts a thread.
bool privateMounts = false;

enum class Fault { ReadOnly, Full, Locked };

// Another program's connection, holding the file's write lock until it lets go: after a
// while, or when it ends.
class LockHolder {
public:
    explicit LockHolder(const QString& file, int lettingGoAfterMs = -1)
        : m_thread(QThread::create([this, file, lettingGoAfterMs] {
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("lock"));
                db.setDatabaseName(file);
                QSqlQuery query(db);
                m_holding = db.open() && query.exec(QStringLiteral("BEGIN IMMEDIATE"));
                m_locked.release();
                m_letGo.tryAcquire(1, lettingGoAfterMs);
                query.exec(QStringLiteral("ROLLBACK"));
            }
            QSqlDatabase::removeDatabase(QStringLiteral("lock"));
        }))
    {
        m_thread->start();
        m_locked.acquire();
    }
    ~LockHolder()
    {
        m_letGo.release();
        m_thread->wait();
    }
    bool holding() const { return m_holding; }

private:
    std::unique_ptr<QThread> m_thread;
    QSemaphore m_locked, m_letGo;
    bool m_holding = false;
};

// The database in a folder of its own, on a small tmpfs of its own where one may be mounted,
// where a fault comes and goes.
class FaultFolder {
public:
    explicit FaultFolder(const QString& sample)
    {
        m_mounted = privateMounts && ::mount("tmpfs", name(), "tmpfs", 0, "size=1024k") == 0;
        QFile::copy(sample, file());
        QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    ~FaultFolder()
    {
        clear();
        if (m_mounted)
            ::umount2(name(), MNT_DETACH);
    }
    QString path() const { return m_dir.path(); }
    QString file() const { return m_dir.filePath(QStringLiteral("Cartstock.mdb")); }

    // False when this run cannot make the fault.
    bool set(Fault fault)
    {
        m_fault = fault;
        switch (fault) {
        case Fault::ReadOnly:
            // Root writes any file whatever its permissions: for root the whole tmpfs goes read-only.
            if (::geteuid() != 0)
                return QFile::setPermissions(file(), QFileDevice::ReadOwner);
            return m_mounted && ::mount(nullptr, name(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        case Fault::Full: {
            // Filled until not one byte more fits.
            QFile filler(m_dir.filePath(QStringLiteral("filler")));
            if (!m_mounted || !filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
                return false;
            for (const int chunk : {65536, 4096, 1}) {
                while (filler.write(QByteArray(chunk, 'f')) == chunk) {
                }
            }
            return QStorageInfo(m_dir.path()).bytesAvailable() == 0;
        }
        case Fault::Locked:
            m_lock = std::make_unique<LockHolder>(file());
            return m_lock->holding();
        }
        return false;
    }
    void clear()
    {
        if (m_fault == Fault::ReadOnly && m_mounted)
            ::mount(nullptr, name(), nullptr, MS_REMOUNT, nullptr);
        QFile::setPermissions(file(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFile::remove(m_dir.filePath(QStringLiteral("filler")));
        m_lock.reset();
    }

private:
    const char* name() const { return m_name.constData(); }
    QTemporaryDir m_dir;
    const QByteArray m_name = QFile::encodeName(m_dir.path());
    bool m_mounted = false;
    Fault m_fault = Fault::Full;
    std::unique_ptr<LockHolder> m_lock;
};

// A write a user makes, and the number of questions it asks before writing.
struct Write {
    QString name;
    int questions;
    std::function<void()> make;
};

// Every kind of write in each window (a font stands for the settings row, which a colour
// writes the same way). With a lock held, each refusal waits out the whole busy timeout: the
// first of each window only.
const QList<Write> MainWindowWrites = {
    {QStringLiteral("Add Checked Items"), 0,
     [] {
         tick(control<QTreeView>(mainWindow(), "lvwItems"), {1, 4});
         click(mainWindow(), "cmdAddToList");
         click(mainWindow(), "cmdSelNone");
     }},
    {QStringLiteral("a quantity typed into the grid"), 0,
     [] { editCell(control<DataGrid>(mainWindow(), "grdList"), 0, QStringLiteral("Quantity"), "7"); }},
    {QStringLiteral("a row typed into the new-row line"), 0,
     [] {
         DataGrid* grid = control<DataGrid>(mainWindow(), "grdList");
         editCell(grid, grid->model()->rowCount() - 1, QStringLiteral("Item"), "Bread");
     }},
    {QStringLiteral("Change dates below"), 1,
     [] {
         enterDate(control<QDateEdit>(mainWindow(), "DTPick"), QDate(2027, 1, 9));
         click(mainWindow(), "cmdChangeDates");
     }},
    {QStringLiteral("Delete All"), 1, [] { click(mainWindow(), "cmdClearAll"); }},
    {QStringLiteral("Delete Category"), 1,
     [] {
         clickEntry(control<DataList>(mainWindow(), "lstCat"), QStringLiteral("Dairy"));
         click(mainWindow(), "cmdDelCat");
     }},
    {QStringLiteral("a font"), 0,
     [] {
         CommonDialog::queueFont({QStringLiteral("Courier New"), 14.25, true, false});
         chooseFromMenu(mainWindow(), QStringLiteral("Options"), QStringLiteral("Font"));
     }},
};

const QList<Write> EditorWrites = {
    {QStringLiteral("Add and Update"), 0,
     [] {
         click(editor(), "cmdAdd");
         paste(control<QLineEdit>(editor(), "txtFields", frmAdding::ItemField), QStringLiteral("Saffron"));
         click(editor(), "cmdUpdate");
     }},
    {QStringLiteral("a new category"), 0,
     [] {
         click(editor(), "cmdAdd");
         enterInCombo(control<DataCombo>(editor(), "cboCat"), QStringLiteral("Spices"));
     }},
    {QStringLiteral("Edit and Update"), 0,
     [] {
         click(editor(), "cmdFirst");
         click(editor(), "cmdEdit");
         paste(control<QLineEdit>(editor(), "txtFields", frmAdding::ItemField), QStringLiteral("Renamed"));
         click(editor(), "cmdUpdate");
     }},
    {QStringLiteral("Delete"), 1, [] { click(editor(), "cmdDelete"); }},
};

// The file holds what it held before with `change` made, and the windows show it.
void expectOnly(const QString& path, const ListState& before, const std::function<void(ListState&)>& change)
{
    ListState expected = before;
    change(expected);
    const ListState now = ListState::read(path);
    QVERIFY2(now == expected, qPrintable(now.differences(expected)));
    QVERIFY2(shownButNotHeld(now).isEmpty(), qPrintable(shownButNotHeld(now)));
}

// What becomes of it: stored exactly as expected, refused with a message and the file left
// as it was, or ignored without a word and the file left as it was.
enum class Outcome { Stored, Refused, Ignored };
// The identifier the file gives the next row of a table.
double nextId(const QList<QJsonArray>& rows) { return rows.isEmpty() ? 1 : rows.last().at(0).toDouble() + 1; }
} // namespace

Q_DECLARE_METATYPE(Fault)
Q_DECLARE_METATYPE(Outcome)

class TestFaults : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> sample;
    std::unique_ptr<FaultFolder> folder;

    void start()
    {
        AppFolder::setPath(folder->path());
        QVERIFY2(Startup::Main(), qPrintable(TestSession::messages().join(u' ')));
    }

    // Each write is refused: it says so in a message, the file stays as it was, and the
    // windows show what the file holds, nothing of the refused change. A read-only file
    // stays so for the connection that opened it: that fault is made once, before the start.
    void everyWriteIsRefused(QList<Write> writes, Fault fault)
    {
        if (fault == Fault::Locked)
            writes = writes.mid(0, 1);
        if (fault != Fault::ReadOnly)
            QVERIFY(folder->set(fault));
        const ListState before = ListState::read(folder->file());
        for (const Write& write : writes) {
            const qsizetype shown = TestSession::messages().size();
            for (int i = 0; i < write.questions; ++i)
                TestSession::answer(MessageBox::Answer::Yes);
            TestSession::answer(MessageBox::Answer::Ok);
            try {
                write.make();
                // Back to browsing, where the editor is still adding or editing.
                if (frmAdding::loaded() && control(editor(), "cmdCancel")->isVisible())
                    click(editor(), "cmdCancel");
            } catch (const std::exception& e) {
                QFAIL(qPrintable(write.name + QStringLiteral(": ") + QString::fromUtf8(e.what())));
            }
            QVERIFY2(MessageBox::pendingAnswers() == 0 && TestSession::messages().size() == shown + write.questions + 1,
                     qPrintable(write.name + QStringLiteral(": no message said the change was not saved")));
            const ListState after = ListState::read(folder->file());
            QVERIFY2(after == before,
                     qPrintable(write.name + QStringLiteral(" changed the file:\n") + after.differences(before)));
            QVERIFY2(shownButNotHeld(after).isEmpty(), qPrintable(write.name + u' ' + shownButNotHeld(after)));
        }
        if (fault != Fault::ReadOnly)
            folder->clear();
    }

    // Enters the input where the user does: "list <row> <field>", a cell of the first list row
    // (the second's Category holds nothing) or of the grid's "new"-row line; "editor <box>", a
    // box of a new record in the item editor; "new category", typed into the editor's list;
    // "deleted category", one of that name. `stored` becomes the file as the input, once
    // stored, leaves it.
    void enter(const QString& where, const QString& input, const QJsonValue& value, ListState& stored)
    {
        start();
        const QStringList at = where.split(u' ');
        const QJsonValue none;
        if (at[0] == QLatin1String("list")) {
            static const QStringList fields = {"ID", "Item", "Category", "Aisle", "Quantity", "Date"};
            DataGrid* grid = control<DataGrid>(mainWindow(), "grdList");
            const bool added = at[1] == QLatin1String("new");
            if (added)
                stored.selected << QJsonArray{nextId(stored.selected), none, none, none, none, none};
            stored.selected[added ? stored.selected.size() - 1 : at[1].toInt()][fields.indexOf(at[2])] = value;
            return editCell(grid, added ? grid->model()->rowCount() - 1 : at[1].toInt(), at[2], input);
        }
        if (where == QLatin1String("deleted category")) {
            stored.categories.removeOne(input);
            clickEntry(control<DataList>(mainWindow(), "lstCat"), input);
            TestSession::answer(MessageBox::Answer::Yes);
            return click(mainWindow(), "cmdDelCat");
        }
        chooseFromMenu(mainWindow(), QStringLiteral("Add"));
        click(editor(), "cmdAdd");
        if (where == QLatin1String("new category")) {
            stored.categories << input;
            stored.categories.sort();
            enterInCombo(control<DataCombo>(editor(), "cboCat"), input);
            return click(editor(), "cmdCancel");
        }
        // The editor's boxes: Aisle, Category, ID, Item.
        const bool item = at[1] == QLatin1String("Item");
        stored.cartstock << QJsonArray{nextId(stored.cartstock), item ? value : none, none, item ? none : value};
        paste(control<QLineEdit>(editor(), "txtFields", item ? frmAdding::ItemField : frmAdding::AisleField), input);
        click(editor(), "cmdUpdate");
    }

private Q_SLOTS:
    void init()
    {
        session = std::make_unique<TestSession>();
        sample = std::make_unique<TestDatabase>(DatabaseMaker::Content::Sample);
        // The second list row has no category.
        sample->exec(
            QStringLiteral("INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) VALUES "
                           "('Milk', 'Dairy', '3', '2', '2026-12-05'), ('Milk', NULL, '3', '2', '2026-12-05'), "
                           "('Milk', 'Dairy', '3', '2', '2026-12-05')"));
        folder = std::make_unique<FaultFolder>(sample->path());
    }
    void cleanup()
    {
        CARTLIST_CHECK_SESSION(session);
        folder.reset();
        sample.reset();
    }

    void everyWriteIsRefusedAndLaterWritesStoreOnlyTheirOwn_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::newRow("read-only file") << Fault::ReadOnly;
        QTest::newRow("full file system") << Fault::Full;
        QTest::newRow("lock held past the wait") << Fault::Locked;
    }

    // Once the fault is gone, a write stores its own change and nothing a refused one left
    // behind in the window; so does one through a lock held for a moment.
    void everyWriteIsRefusedAndLaterWritesStoreOnlyTheirOwn()
    {
        QFETCH(Fault, fault);
        if (!FaultFolder(sample->path()).set(fault))
            QSKIP("needs a small tmpfs of its own, and mounting one needs root (CAP_SYS_ADMIN) in a mount namespace "
                  "of its own, which this run could not enter");
        if (fault == Fault::ReadOnly)
            QVERIFY(folder->set(fault));
        start();
        try {
            everyWriteIsRefused(MainWindowWrites, fault);
            if (fault == Fault::ReadOnly) {
                chooseFromMenu(mainWindow(), QStringLiteral("Add"));
                return everyWriteIsRefused(EditorWrites, fault);
            }
            ListState before = ListState::read(folder->file());
            click(mainWindow(), "cmdRef");
            {
                // A lock let go well within the program's wait for it lets the write through.
                const auto lock = fault == Fault::Locked ? std::make_unique<LockHolder>(folder->file(), 500) : nullptr;
                QVERIFY(!lock || lock->holding());
                editCell(control<DataGrid>(mainWindow(), "grdList"), 0, QStringLiteral("Quantity"), "9");
            }
            const QJsonValue id = listShown(mainWindow()).at(0).at(ListState::ListId);
            expectOnly(folder->file(), before, [&](ListState& s) {
                for (QJsonArray& row : s.selected) {
                    if (row.at(ListState::ListId) == id)
                        row[ListState::ListQuantity] = QStringLiteral("9");
                }
            });

            chooseFromMenu(mainWindow(), QStringLiteral("Add"));
            everyWriteIsRefused(EditorWrites, fault);
            before = ListState::read(folder->file());
            click(editor(), "cmdRefresh");
            click(editor(), "cmdFirst");
            click(editor(), "cmdEdit");
            paste(control<QLineEdit>(editor(), "txtFields", frmAdding::ItemField), QStringLiteral("Renamed later"));
            const QJsonArray record = recordShown(editor());
            click(editor(), "cmdUpdate");
            expectOnly(folder->file(), before, [&](ListState& s) {
                for (QJsonArray& row : s.cartstock) {
                    if (row.at(ListState::ItemId) == record.at(ListState::ItemId))
                        row = record;
                }
            });
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
    }

    void aFileThatDoesNotFitLeavesTheFileItReplacesWhole_data()
    {
        QTest::addColumn<QString>("report");
        // Many pages are written while they are drawn; a few fit the file's buffer and reach
        // the disk only at its last flush.
        QTest::newRow("long report") << QStringLiteral("Full List");
        QTest::newRow("short report") << QStringLiteral("Cartlist");
    }

    // Faults: on a full disk, Export PDF and Print to File left a part-written (a long report)
    // or empty (a short one) file in place of the one they replaced; Save Text must not.
    void aFileThatDoesNotFitLeavesTheFileItReplacesWhole()
    {
        QFETCH(QString, report);
        start();
        const QString pdf = QDir(folder->path()).filePath(QStringLiteral("old.pdf"));
        const QString txt = QDir(folder->path()).filePath(QStringLiteral("old.txt"));
        const QByteArray old = QByteArray(12 * 1024, 'p').prepend("%PDF-1.4\n");
        for (const QString& name : {pdf, txt}) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        }
        if (!folder->set(Fault::Full))
            QSKIP("needs a small tmpfs of its own (root, in a mount namespace of its own)");
        chooseFromMenu(mainWindow(), QStringLiteral("Print"), report);
        const ReportPreview& preview = previewWindow(report);
        FileDialog::queueAnswer(pdf);
        PrintDialog::queueAnswer(true, pdf);
        FileDialog::queueAnswer(txt);
        for (const auto& [command, name, kind] :
             {std::tuple{"cmdExportPdf", pdf, "PDF"}, std::tuple{"cmdPrint", pdf, "PDF"},
              std::tuple{"cmdSaveText", txt, "text"}}) {
            const qsizetype shown = TestSession::messages().size();
            TestSession::answer(MessageBox::Answer::Ok);
            click(preview, QString::fromLatin1(command));
            QCOMPARE(TestSession::messages().mid(shown),
                     QStringList{QStringLiteral("The %1 file %2 could not be written: No space left on device")
                                     .arg(QLatin1String(kind), name)});
            QFile file(name);
            QVERIFY(file.open(QIODevice::ReadOnly) && file.readAll() == old);
            QCOMPARE(QDir(folder->path()).entryList(QDir::Files | QDir::Hidden),
                     (QStringList{QStringLiteral("Cartstock.mdb"), QStringLiteral("filler"), QStringLiteral("old.pdf"),
                                  QStringLiteral("old.txt")}));
        }
    }

    void eachInputIsStoredExactlyOrLeavesTheFileAsItWas_data()
    {
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("input");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QVariant>("stored");
        const auto row = [](const char* name, const char* where, const QString& input, Outcome outcome,
                            const QVariant& stored = {}) {
            QTest::newRow(name) << QString::fromLatin1(where) << input << outcome << stored;
        };
        const auto kept = [&](const char* name, const char* where, const QString& input) {
            row(name, where, input, Outcome::Stored, input);
        };
        // Every text goes to the file through one bound parameter: one row for each kind of
        // text that a conversion on the way could change.
        kept("item: quotes and SQL", "list 0 Item", QStringLiteral("O'Brien's \"tea\"'); DROP TABLE Selected;--"));
        // Control characters would cut the text where other programs and the reports read it.
        row("item: NUL character", "list 0 Item", QStringLiteral("nul") + QChar(0) + QStringLiteral("inside"),
            Outcome::Refused);
        kept("item: spaces at both ends", "list 0 Item", QStringLiteral("  Milk  "));
        kept("item: emptied", "list 0 Item", QString(""));

        kept("quantity: leading zeros", "list 0 Quantity", QStringLiteral("007"));
        kept("quantity: with a unit", "list 0 Quantity", QStringLiteral("2 kg"));

        row("empty cell: left empty", "list 1 Category", QString(), Outcome::Ignored);
        kept("empty cell: spaces", "list 1 Category", QStringLiteral("   "));

        row("date box: as it shows dates", "list 0 Date", QStringLiteral("24 Dec 2026"), Outcome::Stored,
            QStringLiteral("2026-12-24"));

        row("new row date: spaces around", "list new Date", QStringLiteral(" 2026-12-05 "), Outcome::Stored,
            QStringLiteral("2026-12-05"));
        row("new row date: no such day", "list new Date", QStringLiteral("2026-02-30"), Outcome::Refused);
        row("new row date: with a time", "list new Date", QStringLiteral("2026-12-05T10:00:00"), Outcome::Refused);

        kept("new row item: spaces only", "list new Item", QStringLiteral("   "));
        row("new row item: empty", "list new Item", QString(), Outcome::Ignored);

        kept("editor item: SQL", "editor Item", QStringLiteral("Robert'); DROP TABLE Cartstock;--"));
        kept("editor aisle: leading zeros", "editor Aisle", QStringLiteral("007"));

        row("new category: empty", "new category", QString(), Outcome::Ignored);
        row("new category: one there in other case", "new category", QStringLiteral("dAIRY"), Outcome::Ignored);

        // A category is deleted through a criteria text: quotes in its name must not change
        // which rows that text names.
        row("delete category: apostrophe", "deleted category", QStringLiteral("Kid's"), Outcome::Stored);
        row("delete category: quotes", "deleted category", QStringLiteral("\"Frozen\""), Outcome::Stored);
    }

    // Whatever the text, the file holds exactly what was entered (or, for a date, the date it
    // names) and nothing else changes; or the input is refused with a message, or ignored, and
    // the file is as it was. The windows then show what the file holds.
    void eachInputIsStoredExactlyOrLeavesTheFileAsItWas()
    {
        QFETCH(QString, where);
        QFETCH(QString, input);
        QFETCH(Outcome, outcome);
        QFETCH(QVariant, stored);
        if (where == QLatin1String("deleted category"))
            TestDatabase::execIn(folder->file(), {QStringLiteral("INSERT INTO Categories (Categories) VALUES ('%1')")
                                                      .arg(QString(input).replace(u'\'', QStringLiteral("''")))});
        const ListState before = ListState::read(folder->file());
        ListState expected = before;
        if (outcome == Outcome::Refused)
            TestSession::answer(MessageBox::Answer::Ok);
        try {
            enter(where, input, ListState::plain(stored), expected);
        } catch (const std::exception& e) {
            QFAIL(e.what());
        }
        const ListState after = ListState::read(folder->file());
        if (outcome != Outcome::Stored)
            expected = before;
        QVERIFY2(after == expected, qPrintable(after.differences(expected)));
        QCOMPARE(TestSession::messages().size(),
                 int(where == QLatin1String("deleted category")) + int(outcome == Outcome::Refused));
        QVERIFY2(shownButNotHeld(after).isEmpty(), qPrintable(shownButNotHeld(after)));
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
