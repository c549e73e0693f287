#include "Connection.h"

#include "ConnectionString.h"
#include "DataError.h"
#include "SqlClauses.h"
#include "SqliteLibrary.h"
#include "StoreCheck.h"
#include "StoreProblem.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

#include <atomic>
#include <optional>
#include <sqlite3.h>
#include <sys/stat.h>

namespace {
QString engineText(const QSqlError& error)
{
    const QString db = error.databaseText().trimmed();
    return db.isEmpty() ? error.text().trimmed() : db;
}

int engineCode(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? code & 0xff : -1;
}

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("cartlist-%1").arg(++counter);
}

Connection::StatementObserver& observer()
{
    static Connection::StatementObserver o;
    return o;
}

QString cleanAbsolute(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

// Until when the program's statements on a file do not wait for a lock: a lock met once in
// an action is not waited out again by the reads that show what the file holds.
QHash<QString, QDeadlineTimer>& lockMet()
{
    static QHash<QString, QDeadlineTimer> files;
    return files;
}

sqlite3* engineHandle(const QSqlDatabase& db)
{
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3* const*>(handle.constData());
}
} // namespace

std::optional<Connection::Stamp> Connection::stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    const auto ns = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return Stamp{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), ns(st.st_mtim), ns(st.st_ctim)};
}

Connection::Connection(const QString& connectionString, const QString& filePath)
    : m_connectionString(connectionString)
    , m_filePath(filePath)
{
}

Connection::~Connection() { close(); }

void Connection::setConnectionString(const QString& text, const QString& filePath)
{
    if (text == m_connectionString && filePath == m_filePath)
        return;
    if (isOpen())
        throw DataError(QStringLiteral("Operation is not allowed when the object is open."));
    m_connectionString = text;
    m_filePath = filePath;
}

QString Connection::filePath() const
{
    if (!m_filePath.isEmpty())
        return cleanAbsolute(m_filePath);
    return ConnectionString(m_connectionString).filePath();
}

bool Connection::isOpen() const { return m_db.isValid() && m_db.isOpen(); }

void Connection::open()
{
    if (isOpen())
        return;
    const ConnectionString cs(m_connectionString);
    if (!cs.providerSupported())
        throw DataError(QStringLiteral("Provider cannot be found. It may not be properly installed."));
    const QString path = filePath();
    if (path.isEmpty())
        throw DataError(QStringLiteral("The connection string names no data source."));

    // mode=rw: SQLite refuses to create a file that is not there.
    QUrl url = QUrl::fromLocalFile(path);
    url.setQuery(QStringLiteral("mode=rw"));

    m_name = nextConnectionName();
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    try {
        SqliteLibrary::requireSameAsDriver(*m_db.driver());
    } catch (...) {
        close();
        throw;
    }
    m_waiting = lockWait(path);
    m_db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1").arg(m_waiting));
    m_db.setDatabaseName(url.toString(QUrl::FullyEncoded));

    std::optional<StoreProblem> problem;
    if (!m_db.open()) {
        problem = StoreProblem::ofOpening(path, engineCode(m_db.lastError()), engineText(m_db.lastError()));
    } else {
        // Opening is lazy: only the first read tells a database from any other file.
        QSqlQuery probe(m_db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            problem = StoreProblem::ofOpening(path, engineCode(probe.lastError()), engineText(probe.lastError()));
    }
    if (!problem) {
        // Durability is the program's choice, not the engine's default: every change is on
        // the disk before a write returns, through a rollback journal (or a write-ahead log
        // where the file was set to one). EXTRA syncs the folder after the journal's deletion,
        // which is the commit: under FULL a power cut could bring the journal back, and with
        // it the change undone.
        QSqlQuery pragma(m_db);
        QString mode;
        if (pragma.exec(QStringLiteral("PRAGMA journal_mode")) && pragma.next())
            mode = pragma.value(0).toString().toLower();
        if (mode == QStringLiteral("memory") || mode == QStringLiteral("off"))
            pragma.exec(QStringLiteral("PRAGMA journal_mode = DELETE"));
        if (!pragma.exec(QStringLiteral("PRAGMA synchronous = EXTRA")))
            problem = StoreProblem::ofOpening(path, engineCode(pragma.lastError()), engineText(pragma.lastError()));
    }
    const std::optional<Stamp> stamp = problem ? std::nullopt : stampOf(path);
    if (!problem && !stamp)
        problem = StoreProblem(StoreProblem::Kind::Missing, path);
    if (problem) {
        close();
        noteLock(path, *problem);
        throw StoreError(*problem);
    }
    m_stamp = *stamp;
    ++m_file;
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

void Connection::setStatementObserver(StatementObserver o) { observer() = std::move(o); }

QByteArray Connection::header(int size)
{
    open();
    sqlite3_file* file = nullptr;
    sqlite3* db = engineHandle(m_db);
    if (!db || sqlite3_file_control(db, "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK || !file ||
        !file->pMethods)
        return {};
    QByteArray bytes(size, '\0');
    if (file->pMethods->xRead(file, bytes.data(), size, 0) != SQLITE_OK)
        return {};
    return bytes;
}

Connection::Version Connection::version()
{
    QSqlQuery query = run(QStringLiteral("SELECT data_version, total_changes() FROM pragma_data_version"));
    if (!query.next())
        return {};
    return {query.value(0).toLongLong(), query.value(1).toLongLong(), m_file};
}

// The engine trusts the pages it keeps while the file's change counter reads the same, and a
// copy put over the file in place (cp, a restored backup) may carry the very same counter:
// a file changed since this connection last saw it, itself included, is opened afresh, its
// pages read anew. Another connection of the program writing costs one reopening.
void Connection::followFile(const QString& path)
{
    if (isOpen() && reading())
        return;
    const std::optional<Stamp> now = stampOf(path);
    if (isOpen() && now && *now == m_stamp)
        return;
    close();
    open();
}

bool Connection::reading() const
{
    sqlite3* db = engineHandle(m_db);
    for (sqlite3_stmt* s = db ? sqlite3_next_stmt(db, nullptr) : nullptr; s; s = sqlite3_next_stmt(db, s)) {
        if (sqlite3_stmt_busy(s))
            return true;
    }
    return false;
}

int Connection::lockWait(const QString& path) const
{
    const auto met = lockMet().constFind(path);
    return met != lockMet().constEnd() && !met->hasExpired() ? 0 : m_busyTimeout;
}

void Connection::noteLock(const QString& path, const StoreProblem& problem) const
{
    if (problem.kind() != StoreProblem::Kind::Locked)
        return;
    lockMet().insert(path, QDeadlineTimer(m_busyTimeout));
    // The action ends when the program is back in its event loop: the next one waits again.
    if (QCoreApplication* app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [path] { lockMet().remove(path); }, Qt::QueuedConnection);
}

QSqlQuery Connection::run(const QString& sql, const QVariantList& values)
{
    const QString path = filePath();
    followFile(path);
    QSqlDatabase& db = m_db;
    if (const int wait = lockWait(path); wait != m_waiting) {
        if (sqlite3* handle = engineHandle(db))
            sqlite3_busy_timeout(handle, wait);
        m_waiting = wait;
    }
    const bool writing = !SqlClauses::onlyReads(sql);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    QVariantList bound;
    for (const QVariant& v : values) {
        // The driver binds a null QString as NULL; an empty text is meant as an empty text.
        if (v.typeId() == QMetaType::QString && v.toString().isNull())
            bound << QStringLiteral("");
        else
            bound << v;
    }
    if (observer())
        observer()(sql, bound);
    const auto fail = [&](const QSqlError& error) {
        const StoreProblem problem = StoreProblem::ofStatement(path, engineCode(error), engineText(error), writing);
        // The engine keeps what it found about the file for as long as it has it open (read-only,
        // the tables it had when the file was emptied): closing lets the next statement find
        // the file as the user has set it right meanwhile.
        query = QSqlQuery();
        close();
        noteLock(path, problem);
        if (problem.kind() == StoreProblem::Kind::Other) {
            StoreCheck::explainMissingPart(path, engineText(error));
            throw DataError(problem.description());
        }
        throw StoreError(problem);
    };
    if (!query.prepare(sql))
        fail(query.lastError());
    for (const QVariant& v : bound)
        query.addBindValue(v);
    if (!query.exec())
        fail(query.lastError());
    // What this connection wrote is in the pages it keeps: the file as its commit left it.
    if (writing)
        m_stamp = stampOf(path).value_or(m_stamp);
    return query;
}
