#include "Connection.h"

#include "ConnectionString.h"
#include "DataError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>

namespace {
QString engineText(const QSqlError& error)
{
    const QString db = error.databaseText().trimmed();
    return db.isEmpty() ? error.text().trimmed() : db;
}

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("cartlist-%1").arg(++counter);
}
} // namespace

Connection::Connection(const QString& connectionString)
    : m_connectionString(connectionString)
{
}

Connection::~Connection() { close(); }

void Connection::setConnectionString(const QString& text)
{
    if (text == m_connectionString)
        return;
    if (isOpen())
        throw DataError(QStringLiteral("Operation is not allowed when the object is open."));
    m_connectionString = text;
}

QString Connection::filePath() const { return ConnectionString(m_connectionString).filePath(); }

bool Connection::isOpen() const { return m_db.isValid() && m_db.isOpen(); }

void Connection::open()
{
    if (isOpen())
        return;
    const ConnectionString cs(m_connectionString);
    if (!cs.providerSupported())
        throw DataError(QStringLiteral("Provider cannot be found. It may not be properly installed."));
    const QString path = cs.filePath();
    if (path.isEmpty())
        throw DataError(QStringLiteral("The connection string names no data source."));

    // mode=rw: SQLite refuses to create a file that is not there.
    QUrl url = QUrl::fromLocalFile(path);
    url.setQuery(QStringLiteral("mode=rw"));

    m_name = nextConnectionName();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=5000"));
    m_db.setDatabaseName(url.toString(QUrl::FullyEncoded));

    QString failure;
    if (!m_db.open()) {
        failure = engineText(m_db.lastError());
    } else {
        // Opening is lazy: only the first read tells a database from any other file.
        QSqlQuery probe(m_db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            failure = engineText(probe.lastError());
    }
    if (!failure.isEmpty()) {
        close();
        throw DataError(QStringLiteral("Cannot open the database file \"%1\": %2").arg(path, failure));
    }
}

void Connection::close()
{
    if (m_name.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
}

QSqlDatabase& Connection::database()
{
    open();
    return m_db;
}

QSqlQuery Connection::run(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw DataError(engineText(query.lastError()));
    for (const QVariant& v : values) {
        // The driver binds a null QString as NULL; an empty text is meant as an empty text.
        if (v.typeId() == QMetaType::QString && v.toString().isNull())
            query.addBindValue(QStringLiteral(""));
        else
            query.addBindValue(v);
    }
    if (!query.exec())
        throw DataError(engineText(query.lastError()));
    return query;
}
