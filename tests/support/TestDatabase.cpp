#include "TestDatabase.h"

#include "AppFolder.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

#include <stdexcept>

TestDatabase::TestDatabase(DatabaseMaker::Content content)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    DatabaseMaker::create(path(), content);
    AppFolder::setPath(m_dir.path());
    static int counter = 0;
    m_connection = QStringLiteral("test-db-%1").arg(++counter);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
    db.setDatabaseName(path());
    db.open();
}

TestDatabase::~TestDatabase()
{
    QSqlDatabase::database(m_connection, false).close();
    QSqlDatabase::removeDatabase(m_connection);
    AppFolder::reset();
}

QString TestDatabase::path() const { return m_dir.filePath(QStringLiteral("Cartstock.mdb")); }

QString TestDatabase::connectionString() const
{
    return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path() +
           QStringLiteral(";Persist Security Info=False");
}

QSqlQuery TestDatabase::run(const QString& sql, const QVariantList& values)
{
    QSqlQuery q(QSqlDatabase::database(m_connection));
    q.prepare(sql);
    for (const QVariant& v : values)
        q.addBindValue(v);
    if (!q.exec())
        QTest::qFail(qPrintable(q.lastError().text() + QStringLiteral(" in ") + sql), __FILE__, __LINE__);
    return q;
}

QVariant TestDatabase::exec(const QString& sql, const QVariantList& values) { return run(sql, values).lastInsertId(); }

QVariantList TestDatabase::column(const QString& sql, const QVariantList& values)
{
    QSqlQuery q = run(sql, values);
    QVariantList out;
    while (q.next())
        out << (q.value(0).isNull() ? QVariant() : q.value(0));
    return out;
}

QVariant TestDatabase::scalar(const QString& sql, const QVariantList& values) { return column(sql, values).value(0); }

int TestDatabase::count(const QString& table)
{
    return scalar(QStringLiteral("SELECT count(*) FROM ") + table).toInt();
}

namespace {
template <typename Work> void withConnection(const QString& file, Work work)
{
    static int counter = 0;
    const QString name = QStringLiteral("test-file-%1").arg(++counter);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open())
            QTest::qFail(qPrintable(db.lastError().text()), __FILE__, __LINE__);
        work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
} // namespace

void TestDatabase::execIn(const QString& file, const QStringList& statements)
{
    withConnection(file, [&](QSqlDatabase& db) {
        for (const QString& sql : statements) {
            QSqlQuery q(db);
            if (!q.exec(sql))
                QTest::qFail(qPrintable(q.lastError().text() + QStringLiteral(" in ") + sql), __FILE__, __LINE__);
        }
    });
}

QVariantList TestDatabase::columnIn(const QString& file, const QString& sql)
{
    QVariantList out;
    withConnection(file, [&](QSqlDatabase& db) {
        QSqlQuery q(db);
        if (!q.exec(sql))
            QTest::qFail(qPrintable(q.lastError().text() + QStringLiteral(" in ") + sql), __FILE__, __LINE__);
        while (q.next())
            out << (q.value(0).isNull() ? QVariant() : q.value(0));
    });
    return out;
}

void TestDatabase::makeWithItems(const QString& file, const QStringList& items)
{
    DatabaseMaker::create(file, DatabaseMaker::Content::Empty);
    QStringList inserts;
    for (QString item : items)
        inserts << QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES ('%1', 'Test', '1')")
                       .arg(item.replace(u'\'', QStringLiteral("''")));
    execIn(file, inserts);
}
