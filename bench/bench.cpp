// Measures the real windows on the offscreen platform, each figure beside a floor measured in
// the same run: what the same work costs in plain Qt or plain SQLite (for start-up, a process
// showing a bare main window with a menu bar's titles). The ratio is what means
// something on a busy machine. Runs on databases it generates in a temporary folder:
// 10,000 items over 40 categories with 2,000 list rows over 60 dates, 50,000 items with
// 10,000 list rows for start-up, and 5,000 items for the Full List. Start-up runs on the
// platform the environment names (QT_QPA_PLATFORM=xcb under Xvfb: X, where its targets
// hold), offscreen otherwise. `bench --quick` is a smoke run: one round of each, few memory
// rounds; `bench --startup` times start-up alone; `bench --make-databases <folder>` writes the
// start-up databases (sample, big, large) that bench/startup_pairs.py times two builds on.
#include "AppFolder.h"
#include "ApplicationSetup.h"
#include "BandedReport.h"
#include "DataEnvironment.h"
#include "DataGrid.h"
#include "DataList.h"
#include "DatabaseMaker.h"
#include "DesignFont.h"
#include "MessageBox.h"
#include "ReportPreview.h"
#include "ReportRenderer.h"
#include "Startup.h"
#include "Today.h"
#include "WindowWiring.h"
#include "frmAdding.h"
#include "frmCartstock.h"
#include "rptAll.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

namespace {
// A window's control by the name the appearance rules select it by.
template <class T> T* named(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("%s has no control %s", qPrintable(window.objectName()), name);
    return found;
}

constexpr int Items = 10000;
constexpr int Categories = 40;
constexpr int ListRows = 2000;
constexpr int LargeItems = 50000;
constexpr int LargeListRows = 10000;
constexpr int ListDates = 60;
constexpr int FullListItems = 5000;
constexpr int Ticked = 50;
const QDate FirstDate(2026, 1, 5);

struct Options {
    int runs = 5;
    int memoryRounds = 500;
};

QString category(int i) { return QStringLiteral("Category %1").arg(i % Categories, 2, 10, QLatin1Char('0')); }

// One plain connection to a database file, with the program's durability settings: a rollback
// journal and synchronous writes.
class Plain {
public:
    explicit Plain(const QString& path)
        : m_name(QStringLiteral("plain-%1").arg(++s_count))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.open();
        exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
        // The program's own durability: a commit survives a power cut only once the folder
        // is synced after the journal goes, which a floor must pay too to be the same work.
        exec(QStringLiteral("PRAGMA synchronous = EXTRA"));
    }
    ~Plain()
    {
        QSqlDatabase::database(m_name, false).close();
        QSqlDatabase::removeDatabase(m_name);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(m_name); }
    void exec(const QString& sql, const QVariantList& values = {}) const
    {
        QSqlQuery q(db());
        q.prepare(sql);
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec())
            std::fprintf(stderr, "bench: %s\n", qPrintable(sql));
    }
    // Reads every row and column of a query, as a data source's re-read does.
    int readAll(const QString& sql) const
    {
        QSqlQuery q(db());
        q.setForwardOnly(true);
        q.exec(sql);
        int rows = 0;
        while (q.next()) {
            for (int c = 0; c < q.record().count(); ++c)
                q.value(c);
            ++rows;
        }
        return rows;
    }

private:
    QString m_name;
    static inline int s_count = 0;
};

void addListRows(const Plain& db, int count)
{
    db.db().transaction();
    for (int i = 0; i < count; ++i) {
        db.exec(QStringLiteral("INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) VALUES (?, ?, ?, '1', ?)"),
                {QStringLiteral("Item %1").arg(i * 7 % Items, 5, 10, QLatin1Char('0')), category(i),
                 QString::number(i % 17), FirstDate.addDays(i % ListDates * 7).toString(Qt::ISODate)});
    }
    db.db().commit();
}

void makeDatabase(const QString& path, int items, int listRows)
{
    DatabaseMaker::create(path, DatabaseMaker::Content::Empty);
    Plain db(path);
    db.db().transaction();
    for (int i = 0; i < items; ++i) {
        db.exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, ?)"),
                {QStringLiteral("Item %1").arg(i, 5, 10, QLatin1Char('0')), category(i), QString::number(i % 17)});
    }
    for (int c = 0; c < Categories; ++c)
        db.exec(QStringLiteral("INSERT INTO Categories (Categories) VALUES (?)"), {category(c)});
    db.db().commit();
    addListRows(db, listRows);
}

double msSince(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Median of runs of `work`, each after an untimed `prepare`.
double measure(int runs, const std::function<void()>& work, const std::function<void()>& prepare = {})
{
    std::vector<double> times;
    for (int r = 0; r < runs; ++r) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(msSince(t));
    }
    return median(times);
}

struct Timed {
    std::function<void()> work;
    std::function<void()> prepare = {};
};

// The median of each of `parts`, run in turn `runs` times over: a figure and its floor then
// meet the machine in the same state, which on a busy machine matters more than the count.
std::vector<double> measureInTurns(int runs, const std::vector<Timed>& parts)
{
    std::vector<std::vector<double>> times(parts.size());
    for (int r = 0; r < runs; ++r) {
        for (std::size_t p = 0; p < parts.size(); ++p) {
            if (parts[p].prepare)
                parts[p].prepare();
            QElapsedTimer t;
            t.start();
            parts[p].work();
            times[p].push_back(msSince(t));
        }
    }
    std::vector<double> medians;
    for (const std::vector<double>& v : times)
        medians.push_back(median(v));
    return medians;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

// Shows a window and waits until the platform has put it on screen.
void waitExposed(QWidget& window)
{
    window.show();
    QWindow* handle = window.windowHandle();
    QElapsedTimer t;
    t.start();
    while (handle && !handle->isExposed() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Row {
    QString figure;
    double value;
    std::optional<double> floor;
    double target; // a ratio when there is a floor, milliseconds or a ratio of sizes otherwise
    QString unit;
    // Why the figure is not held to its target here, if it is not: the start-up targets are
    // set on X, and a single round is a smoke run, not a median.
    QString unjudged = {};
};

// Prints the rows; returns how many are over their targets. A single round judges nothing.
int print(QList<Row> rows, bool oneRound)
{
    if (oneRound) {
        for (Row& r : rows)
            r.unjudged = QStringLiteral("one round");
    }
    int over = 0;
    std::printf("%-58s %10s %10s %7s %8s\n", "figure (median)", "value", "floor", "ratio", "target");
    for (const Row& r : rows) {
        const QString value =
            QStringLiteral("%1 %2").arg(r.value, 0, 'f', r.unit == QStringLiteral("x") ? 2 : 1).arg(r.unit);
        const double measured = r.floor ? (*r.floor > 0 ? r.value / *r.floor : 0) : r.value;
        const bool within = measured <= r.target;
        over += within || !r.unjudged.isEmpty() ? 0 : 1;
        const QString verdict = !r.unjudged.isEmpty() ? QStringLiteral("(%1)").arg(r.unjudged)
                                                      : QString::fromLatin1(within ? "ok" : "OVER");
        if (r.floor) {
            std::printf("%-58s %10s %7.1f %-2s %6.2fx %7.2fx %s\n", qPrintable(r.figure), qPrintable(value), *r.floor,
                        qPrintable(r.unit), measured, r.target, qPrintable(verdict));
        } else {
            const QString target = QStringLiteral("%1 %2").arg(r.target).arg(r.unit);
            std::printf("%-58s %10s %10s %7s %8s %s\n", qPrintable(r.figure), qPrintable(value), "", "",
                        qPrintable(target), qPrintable(verdict));
        }
    }
    if (oneRound)
        std::printf("\nOne round: figures to look at, not held to their targets; a full run judges them.\n");
    if (over > 0)
        std::printf("\n%d figure(s) OVER target: each is a fault to find, or a target to argue for in the README.\n",
                    over);
    return over;
}

// ---- start-up, in child processes so that each pays the whole cost of a program start ----

int startupChild(const QString& mode, const QString& folder)
{
    // Quick exits: what is measured ends when the window is on screen.
    if (mode == QStringLiteral("bare")) {
        // Bare but for the titles of a menu bar: like any window with words in it, it starts
        // the font system, which a window with nothing to draw would never do.
        QMainWindow window;
        for (const char* title : {"Add", "Options", "Print", "Help"})
            window.menuBar()->addMenu(QString::fromLatin1(title));
        waitExposed(window);
        std::_Exit(0);
    }
    ApplicationSetup::setUp();
    AppFolder::setPath(folder);
    WindowWiring::install();
    if (!Startup::Main())
        std::_Exit(1);
    waitExposed(*frmCartstock::loaded());
    std::_Exit(0);
}

double startProcess(const QStringList& arguments)
{
    QElapsedTimer t;
    t.start();
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    child.waitForFinished(60000);
    if (child.exitCode() != 0)
        std::fprintf(stderr, "bench: start-up child %s failed\n", qPrintable(arguments.join(u' ')));
    return msSince(t);
}

// ---- the main window ----

frmCartstock& loadMain()
{
    frmCartstock& w = frmCartstock::load();
    waitExposed(w);
    return w;
}

void unloadAll()
{
    BandedReport::closeAll();
    delete frmAdding::loaded();
    delete frmCartstock::loaded();
    settle();
}

void tickFirst(frmCartstock& w, int count)
{
    QAbstractItemModel* rows = named<QTreeView>(w, "lvwItems")->model();
    for (int i = 0; i < count && i < rows->rowCount(); ++i)
        rows->setData(rows->index(i, 0), Qt::Checked, Qt::CheckStateRole);
}

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    // Start-up is timed on the platform the environment names; everything else offscreen.
    const QString startupPlatform = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
                                        ? QStringLiteral("offscreen")
                                        : qEnvironmentVariable("QT_QPA_PLATFORM");
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The offscreen platform says what it cannot do with every window shown; that is not news here.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (!message.startsWith(QStringLiteral("This plugin does not support")))
            std::fprintf(stderr, "%s%s\n", type == QtDebugMsg ? "" : "bench: ", qPrintable(message));
    });
    // The bench's files are not the user's: the states of files found sound that it keeps go to
    // a cache folder of its own, which its start-up children inherit, and not in among the
    // user's own (a few are kept; each new one pushes out the oldest).
    const bool isStartupChild = argc >= 2 && std::strcmp(argv[1], "--startup-child") == 0;
    std::optional<QTemporaryDir> cache;
    if (!isStartupChild) {
        cache.emplace();
        qputenv("XDG_CACHE_HOME", QFile::encodeName(cache->path()));
    }
    // A start-up child starts as the program does.
    if (argc >= 4 && std::strcmp(argv[1], "--startup-child") == 0 && std::strcmp(argv[2], "cartlist") == 0) {
        AppFolder::setPath(QFile::decodeName(argv[3]));
        ApplicationSetup::beforeApplication();
    }
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() >= 3 && args.at(1) == QStringLiteral("--startup-child"))
        return startupChild(args.at(2), args.value(3));

    // The start-up databases in a folder of their own, to time starts of other builds against them.
    if (args.size() >= 3 && args.at(1) == QStringLiteral("--make-databases")) {
        for (const char* f : {"sample", "big", "large"})
            QDir().mkpath(args.at(2) + u'/' + QLatin1String(f));
        DatabaseMaker::create(args.at(2) + QStringLiteral("/sample/Cartstock.mdb"), DatabaseMaker::Content::Sample);
        makeDatabase(args.at(2) + QStringLiteral("/big/Cartstock.mdb"), Items, ListRows);
        makeDatabase(args.at(2) + QStringLiteral("/large/Cartstock.mdb"), LargeItems, LargeListRows);
        return 0;
    }

    Options options;
    const bool quick = args.contains(QStringLiteral("--quick"));
    if (quick)
        options = {1, 5};
    ApplicationSetup::setUp();
    MessageBox::startScripting();
    Today::setForTests(FirstDate);

    QTemporaryDir dir;
    const QString sampleFolder = dir.filePath(QStringLiteral("sample"));
    const QString bigFolder = dir.filePath(QStringLiteral("big"));
    const QString largeFolder = dir.filePath(QStringLiteral("large"));
    const QString fullFolder = dir.filePath(QStringLiteral("full"));
    for (const QString& f : {sampleFolder, bigFolder, largeFolder, fullFolder})
        QDir().mkpath(f);
    const QString bigDb = bigFolder + QStringLiteral("/Cartstock.mdb");
    DatabaseMaker::create(sampleFolder + QStringLiteral("/Cartstock.mdb"), DatabaseMaker::Content::Sample);
    makeDatabase(bigDb, Items, ListRows);
    makeDatabase(largeFolder + QStringLiteral("/Cartstock.mdb"), LargeItems, LargeListRows);
    makeDatabase(fullFolder + QStringLiteral("/Cartstock.mdb"), FullListItems, 0);
    std::printf("Cartlist bench: %d items over %d categories, %d list rows over %d dates; %d runs a figure\n\n", Items,
                Categories, ListRows, ListDates, options.runs);
    // Every desktop session has a session bus. Without one each start runs dbus-launch to
    // find or start a bus, a wait of several milliseconds that falls on different steps of
    // the two starts compared.
    if (startupPlatform == QStringLiteral("xcb") && qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        std::printf("No session bus: each start runs dbus-launch, which no desktop session does; start-up is "
                    "timed as users meet it under dbus-run-session.\n\n");

    QList<Row> rows;
    const int runs = options.runs;

    // Start-up: the whole program start to its main window on screen, against a bare window
    // started in turn with it. A start is short and its time varies most, so it is taken
    // three times as often.
    const auto child = [&](const QStringList& arguments) {
        return Timed{[arguments, &startupPlatform] {
            startProcess(QStringList{QStringLiteral("--startup-child")} + arguments +
                         QStringList{QStringLiteral("-platform"), startupPlatform});
        }};
    };
    const std::vector<double> starts = measureInTurns(
        3 * runs, {child({QStringLiteral("bare"), QString()}), child({QStringLiteral("cartlist"), sampleFolder}),
                   child({QStringLiteral("cartlist"), bigFolder}), child({QStringLiteral("cartlist"), largeFolder})});
    const QString on = QStringLiteral(" (%1)").arg(startupPlatform);
    // The start-up targets are set on X; elsewhere the rows are shown, not judged.
    const QString offX = startupPlatform == QStringLiteral("xcb") ? QString() : QStringLiteral("target on X");
    const auto startRow = [&](const QString& figure, double value, double target) {
        return Row{figure + on, value, starts[0], target, QStringLiteral("ms"), offX};
    };
    rows << startRow(QStringLiteral("start-up to the main window shown, sample database"), starts[1], 1.45);
    rows << startRow(QStringLiteral("start-up, %1 items / %2 list rows").arg(Items).arg(ListRows), starts[2], 1.5);
    rows << startRow(QStringLiteral("start-up, %1 items / %2 list rows").arg(LargeItems).arg(LargeListRows), starts[3],
                     2.0);
    if (args.contains(QStringLiteral("--startup")))
        return print(rows, quick) > 0 ? 1 : 0;

    WindowWiring::install();
    AppFolder::setPath(bigFolder);
    Plain plain(bigDb);
    frmCartstock* w = &loadMain();

    // Adding ticked items: the program's writes and re-reads against the bare inserts.
    const std::vector<double> add = measureInTurns(
        runs, {{[&] { named<QPushButton>(*w, "cmdAddToList")->click(); }, [&] { tickFirst(*w, Ticked); }}, {[&] {
                   for (int i = 0; i < Ticked; ++i) {
                       plain.exec(
                           QStringLiteral(
                               "INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) VALUES (?, ?, ?, '1', ?)"),
                           {QStringLiteral("Floor %1").arg(i), category(i), QStringLiteral("3"),
                            FirstDate.toString(Qt::ISODate)});
                   }
               }}});
    rows << Row{QStringLiteral("\"Add Checked Items\" with %1 ticked, list of %2").arg(Ticked).arg(ListRows), add[0],
                add[1], 1.5, QStringLiteral("ms")};
    plain.exec(QStringLiteral("DELETE FROM Selected WHERE Item LIKE 'Floor %'"));
    named<QPushButton>(*w, "cmdRef")->click();

    // Rows of one commit take a few milliseconds, most of them waiting for the disk, whose wait
    // varies most: they are taken three times as often.
    const int commitRuns = 3 * runs;

    // A grid edit, stored when the user leaves the cell.
    int edit = 0;
    DataGrid* grid = named<DataGrid>(*w, "grdList");
    QAbstractItemModel* list = grid->model();
    QWidget* editor = nullptr;
    int floorEdit = 0;
    const std::vector<double> gridEdit =
        measureInTurns(commitRuns, {{[&] {
                                         QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
                                         QApplication::sendEvent(editor, &tab);
                                     },
                                     [&] {
                                         const QModelIndex quantity = list->index(ListRows / 2 + edit, 3);
                                         grid->setCurrentIndex(quantity);
                                         grid->edit(quantity);
                                         editor = grid->indexWidget(quantity);
                                         if (auto* line = qobject_cast<QLineEdit*>(editor))
                                             line->setText(QString::number(++edit + 1));
                                     }},
                                    {[&] {
                                        plain.exec(QStringLiteral("UPDATE Selected SET Quantity = ? WHERE ID = ?"),
                                                   {QString::number(1000 + ++floorEdit), 1});
                                    }}});
    rows << Row{QStringLiteral("grid edit stored on leaving the cell, list of %1").arg(ListRows), gridEdit[0],
                gridEdit[1], 2.0, QStringLiteral("ms")};

    // The catalogue view against a bare tree filled with the same checkable rows.
    QTreeWidget bareTree;
    bareTree.resize(named<QTreeView>(*w, "lvwItems")->size());
    bareTree.setColumnCount(3);
    waitExposed(bareTree);
    const auto fillBare = [&](int count) {
        bareTree.clear();
        QList<QTreeWidgetItem*> items;
        for (int i = 0; i < count; ++i) {
            auto* item = new QTreeWidgetItem(QStringList{QStringLiteral("Item %1").arg(i, 5, 10, QLatin1Char('0')),
                                                         category(i), QString::number(i % 17)});
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(0, Qt::Unchecked);
            items << item;
        }
        bareTree.addTopLevelItems(items);
        settle();
    };
    const QModelIndex firstCategory = named<DataList>(*w, "lstCat")->model()->index(0, 0);
    // Each click starts from the other view: a category after all items, all after a category.
    const std::vector<double> views =
        measureInTurns(runs, {{[&] {
                                  Q_EMIT named<DataList>(*w, "lstCat")->chosen(firstCategory);
                                  settle();
                              }},
                              {[&] { fillBare(Items / Categories); }},
                              {[&] {
                                  named<QPushButton>(*w, "cmdAll")->click();
                                  settle();
                              }},
                              {[&] { fillBare(Items); }}});
    rows << Row{QStringLiteral("category click, %1 of %2 items").arg(Items / Categories).arg(Items), views[0], views[1],
                2.0, QStringLiteral("ms")};
    rows << Row{QStringLiteral("\"View All\", %1 items").arg(Items), views[2], views[3], 2.0, QStringLiteral("ms")};

    // Whole-list commands against their one statement and one read of the list.
    const auto restoreList = [&] {
        plain.exec(QStringLiteral("DELETE FROM Selected"));
        addListRows(plain, ListRows);
        named<QPushButton>(*w, "cmdRef")->click();
    };
    const auto statementAndRead = [&](const QString& sql, const QVariantList& values) {
        return [&, sql, values] {
            plain.exec(sql, values);
            plain.readAll(QStringLiteral("SELECT * FROM Selected"));
        };
    };
    const std::vector<double> changeDates = measureInTurns(
        runs, {{[&] {
                    MessageBox::queueAnswer(MessageBox::Answer::Yes);
                    named<QPushButton>(*w, "cmdChangeDates")->click();
                },
                [&] {
                    QDateEdit* picker = named<QDateEdit>(*w, "DTPick");
                    picker->setDate(picker->date().addDays(1));
                }},
               {statementAndRead(QStringLiteral("UPDATE Selected SET Date = ?"), {FirstDate.toString(Qt::ISODate)})}});
    rows << Row{QStringLiteral("\"Change dates below\", list of %1").arg(ListRows), changeDates[0], changeDates[1], 2.0,
                QStringLiteral("ms")};
    const std::vector<double> deleteAll = measureInTurns(
        commitRuns,
        {{[&] {
              MessageBox::queueAnswer(MessageBox::Answer::Yes);
              named<QPushButton>(*w, "cmdClearAll")->click();
          },
          restoreList},
         {statementAndRead(QStringLiteral("DELETE FROM Selected"), {}), [&] { addListRows(plain, ListRows); }}});
    rows << Row{QStringLiteral("\"Delete All\", list of %1").arg(ListRows), deleteAll[0], deleteAll[1], 2.0,
                QStringLiteral("ms")};
    restoreList();

    // The editor, opened from "Add" and left by its Exit, back to a loaded main window.
    const auto editorRound = [&] {
        named<QAction>(*w, "mnuAdd")->trigger();
        frmAdding* editor = frmAdding::loaded();
        waitExposed(*editor);
        named<QAction>(*editor, "mnuExit")->trigger();
        settle();
        w = frmCartstock::loaded();
        waitExposed(*w);
    };
    rows << Row{QStringLiteral("open the editor and come back, %1 items").arg(Items),
                measure(runs, editorRound),
                {},
                250,
                QStringLiteral("ms")};

    // Resident memory over many rounds of what a long session repeats.
    const auto memoryRound = [&] {
        named<QPushButton>(*w, "cmdAll")->click();
        editorRound();
        named<QAction>(*w, "mnuPrint")->trigger();
        settle();
    };
    memoryRound();
    const long first = residentKiB();
    for (int i = 1; i < options.memoryRounds; ++i)
        memoryRound();
    const long last = residentKiB();
    rows << Row{QStringLiteral("resident memory after %1 rounds / after the first").arg(options.memoryRounds),
                first > 0 ? double(last) / double(first) : 0,
                {},
                1.1,
                QStringLiteral("x")};
    unloadAll();

    // The Full List of a 5,000-item catalogue: the preview shown, and its PDF.
    AppFolder::setPath(fullFolder);
    DataEnvironment::resetInstance();
    w = &loadMain();
    const double preview = measure(
        runs,
        [&] {
            named<QAction>(*w, "mnuPrintFull")->trigger();
            waitExposed(*rptAll::existing()->previewWindow());
        },
        [&] { BandedReport::closeAll(); });
    const QString pdf = dir.filePath(QStringLiteral("full.pdf"));
    const double export_ =
        measure(runs, [&] { ReportRenderer::writePdf(rptAll::existing()->pages(), pdf, QStringLiteral("Full List")); });
    const int pages = rptAll::existing()->pages().pageCount();
    rows << Row{QStringLiteral("Full List preview shown, %1 items (%2 pages)").arg(FullListItems).arg(pages),
                preview,
                {},
                300,
                QStringLiteral("ms")};
    rows << Row{
        QStringLiteral("Full List exported to PDF, %1 pages").arg(pages), export_, {}, 1000, QStringLiteral("ms")};
    unloadAll();
    ApplicationSetup::shutDown();

    // A quick round is one sample a figure: too few to call a figure over its target.
    return print(rows, quick) > 0 ? 1 : 0;
}
