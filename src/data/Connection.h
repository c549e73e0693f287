#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>

class QSqlQuery;

// One open handle on the database file, named by a connection string.
// The file is opened read-write and never created: a missing file is an error.
//
// The file opened is the one given with the string when there is one (the program
// passes the path it computed, so no folder name, whatever it holds, can change which
// file is opened); otherwise the string's "Data Source" names it.
//
// Every connection writes durably: rollback journal on the file, synchronous=FULL.
// Writes go only to the file that was opened: once that file has been moved, deleted or
// replaced, every write is refused (StoreProblem::Kind::Replaced).
class Connection {
public:
    explicit Connection(const QString& connectionString = {}, const QString& filePath = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString connectionString() const { return m_connectionString; }
    // Changing the string or the path of an open connection is refused; setting the
    // same ones again is harmless.
    void setConnectionString(const QString& text, const QString& filePath = {});

    // How long a statement waits for another program's lock before it fails; set before opening.
    void setBusyTimeout(int milliseconds) { m_busyTimeout = milliseconds; }
    static constexpr int DefaultBusyTimeout = 5000;

    // Failures throw StoreError where the cause is known, DataError otherwise.
    void open();
    void close();
    bool isOpen() const;
    // The database file, as a clean absolute path.
    QString filePath() const;

    // Runs one statement with positional values; throws DataError with the engine's text,
    // or StoreError for a failure that says something about the file.
    QSqlQuery run(const QString& sql, const QVariantList& values = {});
    QSqlDatabase& database();

    // Test seam: sees every statement as it is prepared, with its bound values.
    using StatementObserver = std::function<void(const QString& sql, const QVariantList& values)>;
    static void setStatementObserver(StatementObserver observer);

private:
    void requireSameFile();

    QString m_connectionString;
    QString m_filePath;
    QString m_name;
    QSqlDatabase m_db;
    int m_busyTimeout = DefaultBusyTimeout;
    // The identity (device, inode) of the file opened; writes check it is still at the path.
    quint64 m_device = 0;
    quint64 m_inode = 0;
    bool m_replaced = false;
};
