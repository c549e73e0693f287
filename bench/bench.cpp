// Prints how long the store takes for the work a household-sized catalogue asks of it,
// on a 10,000-item catalogue: well above what a household keeps.
#include "Connection.h"
#include "DataControl.h"
#include "DatabaseMaker.h"
#include "Recordset.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
constexpr int Items = 10000;
constexpr int Categories = 40;
constexpr int Runs = 5;

void fill(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(path);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, ?)"));
        for (int i = 0; i < Items; ++i) {
            q.addBindValue(QStringLiteral("Item %1").arg(i, 5, 10, QLatin1Char('0')));
            q.addBindValue(QStringLiteral("Category %1").arg(i % Categories));
            q.addBindValue(QString::number(i % 17));
            q.exec();
        }
        db.commit();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("fill"));
}

// Median wall time of a few runs, in milliseconds.
double measure(const std::function<void()>& work)
{
    std::vector<double> times;
    for (int r = 0; r < Runs; ++r) {
        QElapsedTimer t;
        t.start();
        work();
        times.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Cartstock.mdb"));
    DatabaseMaker::create(path, DatabaseMaker::Content::Empty);
    fill(path);
    const QString cs = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
                       QStringLiteral(";Persist Security Info=False");

    DataControl catalogue(QStringLiteral("Cartstock"), QStringLiteral("Select * From Cartstock Order By Item"));
    catalogue.setConnectionString(cs);
    Recordset& rs = catalogue.recordset();

    const double open = measure([&] { catalogue.refresh(); });
    const double requery = measure([&] { rs.requery(); });

    int shown = 0;
    const double filter = measure([&] {
        rs.setFilter(QStringLiteral("Category = 'Category 7'"));
        // Refill as the catalogue view does: every visible row's three texts.
        const int item = rs.fieldIndex(QStringLiteral("Item")), cat = rs.fieldIndex(QStringLiteral("Category")),
                  aisle = rs.fieldIndex(QStringLiteral("Aisle"));
        shown = 0;
        for (int i = 0; i < rs.recordCount(); ++i)
            shown += int(rs.rowValue(i, item).toString().size() + rs.rowValue(i, cat).toString().size() +
                         rs.rowValue(i, aisle).toString().size()) > 0;
        rs.setFilter(QString());
    });

    DataControl list(QStringLiteral("List"), QStringLiteral("Selected"));
    list.setConnectionString(cs);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 100; ++i) {
        // As adding ticked items does: re-read, append, write at once, re-read.
        list.refresh();
        Recordset& l = list.recordset();
        l.addNew();
        l.setValue(QStringLiteral("Quantity"), QStringLiteral("1"));
        l.setValue(QStringLiteral("Item"), QStringLiteral("Item %1").arg(i));
        l.setValue(QStringLiteral("Category"), QStringLiteral("Category 1"));
        l.setValue(QStringLiteral("Aisle"), QStringLiteral("3"));
        l.setValue(QStringLiteral("Date"), QDate(2026, 12, 5));
        l.updateBatch();
        l.update();
        l.requery();
    }
    const double add100 = double(t.nsecsElapsed()) / 1e6;

    std::printf("catalogue of %d items, median of %d runs\n", Items, Runs);
    std::printf("open (refresh) catalogue      %8.1f ms\n", open);
    std::printf("requery catalogue             %8.1f ms\n", requery);
    std::printf("filter to one category+refill %8.1f ms (%d rows shown)\n", filter, shown);
    std::printf("100 list rows added one by one%8.1f ms (%.2f ms a row, each written at once)\n", add100, add100 / 100);
    return 0;
}
