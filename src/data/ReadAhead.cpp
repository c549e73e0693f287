#include "ReadAhead.h"

#include "Connection.h"

#include <QCoreApplication>
#include <QFile>

#include <future>
#include <sqlite3.h>

namespace {
struct Read {
    sqlite3* db = nullptr; // kept open to tell, when the keys are taken, whether anything was committed since
    qint64 dataVersion = -1;
    std::optional<Connection::Stamp> stamp;
    QList<std::pair<QString, KeyedRead::Keys>> keys;
};

struct Ahead {
    std::future<Read> reading;
    std::optional<Read> read;
};

Ahead& ahead()
{
    static Ahead a;
    return a;
}

// Changes whenever another connection, of this program or any other, commits to the file.
qint64 dataVersion(sqlite3* db)
{
    sqlite3_stmt* statement = nullptr;
    qint64 version = -1;
    if (sqlite3_prepare_v2(db, "PRAGMA data_version", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        version = sqlite3_column_int64(statement, 0);
    sqlite3_finalize(statement);
    return version;
}

Read readKeys(const QString& path, const QStringList& sources)
{
    Read read;
    // Read-only and without waiting: a file being written is left to the sources to read.
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &read.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        sqlite3_close(read.db);
        read.db = nullptr;
        return read;
    }
    // One transaction: every source's keys, the version and the stamp are of one state of the
    // file, which the first read in it holds until the end.
    if (sqlite3_exec(read.db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return read;
    read.dataVersion = dataVersion(read.db);
    read.stamp = Connection::stampOf(path);
    if (read.dataVersion >= 0 && read.stamp) {
        // Planned here too: the patterns a plan is matched with are built once, on first use,
        // and that is then not the window's thread's work.
        for (const QString& source : sources) {
            if (auto keys = KeyedRead::KeysAhead(source).readWith(read.db))
                read.keys.append(std::move(*keys));
        }
    }
    sqlite3_exec(read.db, "COMMIT", nullptr, nullptr, nullptr);
    return read;
}

void close(Read& read)
{
    sqlite3_close(read.db);
    read.db = nullptr;
    read.keys.clear();
}

// What a reading left, nothing where its job never ran.
Read ended(std::future<Read>& reading)
{
    try {
        return reading.get();
    } catch (const std::future_error&) {
        return {};
    }
}
} // namespace

std::packaged_task<void()> ReadAhead::reading(const QString& path, const QStringList& sources)
{
    discard();
    std::packaged_task<Read()> job([path, sources] { return readKeys(path, sources); });
    ahead().reading = job.get_future();
    return std::packaged_task<void()>([job = std::move(job)]() mutable { job(); });
}

std::optional<KeyedRead::Keys> ReadAhead::take(const QString& path, const QString& sql)
{
    Ahead& a = ahead();
    if (a.reading.valid()) {
        a.read = ended(a.reading);
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, &ReadAhead::discard, Qt::QueuedConnection);
    }
    if (!a.read || !a.read->db)
        return std::nullopt;
    QList<std::pair<QString, KeyedRead::Keys>>& keys = a.read->keys;
    const auto it = std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return k.first == sql; });
    if (it == keys.end())
        return std::nullopt;
    std::optional<KeyedRead::Keys> taken = std::move(it->second);
    keys.erase(it);
    // The file at the source's path is the one read, and no one committed to it since.
    if (Connection::stampOf(path) != a.read->stamp || dataVersion(a.read->db) != a.read->dataVersion)
        taken.reset();
    if (keys.isEmpty())
        close(*a.read);
    return taken;
}

void ReadAhead::discard()
{
    Ahead& a = ahead();
    if (a.reading.valid())
        a.read = ended(a.reading);
    if (a.read)
        close(*a.read);
    a.read.reset();
}
