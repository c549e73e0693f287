#pragma once

#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <functional>
#include <optional>

class QSqlQuery;
class StoreProblem;

// One open handle on the database file, named by a connection string.
// The file is opened read-write and never created: a missing file is an error.
//
// The file opened is the one given with the string when there is one (the program
// passes the path it computed, so no folder name, whatever it holds, can change which
// file is opened); otherwise the string's "Data Source" names it.
//
// Every connection writes durably: rollback journal on the file (DELETE), synchronous=EXTRA,
// so the folder is synced once the journal's deletion has committed a change: a write that
// returned is on the disk, and stays there through a power cut.
// The file used is always the one at the path: when the file opened was moved, deleted or
// replaced (a restored backup put in its place, or copied over it in place), the next
// statement opens what the path holds now, or fails when it holds nothing. So every window
// and report of the program works on one file, the one the user sees in the folder; rows
// read from the file before are never written into the new one unseen, as record sets
// locate each row they write by every value they read for it (RowWriter).
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
    // Once a statement was refused for a lock, the program's statements on that file do not wait
    // again until the program is back in its event loop (at most as long again): one action
    // meets the lock once, and tells it once.
    void setBusyTimeout(int milliseconds) { m_busyTimeout = milliseconds; }
    static constexpr int DefaultBusyTimeout = 2000;

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
    // The file's first `size` bytes (its header), read through the engine's own handle on the
    // file: a handle of the program's own, once closed, would drop the locks every connection
    // of the program holds on the file. Empty when they cannot be read; opens the connection.
    QByteArray header(int size);

    // Tells whether rows read earlier still are what the file holds: SQLite changes the data
    // version when another connection (or program) commits, and counts this connection's
    // own changes; `file` counts the files this connection opened at its path. Equal
    // versions mean nothing was written in between.
    struct Version {
        qint64 data = -1;
        qint64 changes = -1;
        int file = 0;
        bool operator==(const Version&) const = default;
    };
    Version version();

    // A file's identity, size and change times: equal stamps mean the same file, not
    // written to, copied over or replaced in between (to the clock's grain).
    struct Stamp {
        quint64 device = 0, inode = 0;
        qint64 size = -1, modified = -1, changed = -1;
        bool operator==(const Stamp&) const = default;
    };
    static std::optional<Stamp> stampOf(const QString& path);

    // Test seam: sees every statement as it is prepared, with its bound values.
    using StatementObserver = std::function<void(const QString& sql, const QVariantList& values)>;
    static void setStatementObserver(StatementObserver observer);

private:
    // Opens the path anew when the file there is no longer as this connection left it, unless
    // a statement of this connection is still being read: closing would cut it short.
    void followFile(const QString& path);
    bool reading() const;
    // How long a statement waits for a lock: not at all while a lock met on the file is recent.
    int lockWait(const QString& path) const;
    void noteLock(const QString& path, const StoreProblem& problem) const;

    QString m_connectionString;
    QString m_filePath;
    QString m_name;
    QSqlDatabase m_db;
    int m_busyTimeout = DefaultBusyTimeout;
    // The file as this connection last saw it; taken when opening and right after each of
    // this connection's own writes.
    Stamp m_stamp;
    int m_waiting = -1;
    int m_file = 0;
};
