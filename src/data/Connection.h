#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

class QSqlQuery;

// One open handle on the database file, named by a connection string.
// The file is opened read-write and never created: a missing file is an error.
class Connection {
public:
    explicit Connection(const QString& connectionString = {});
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    QString connectionString() const { return m_connectionString; }
    // Changing the string of an open connection is refused; setting the same one is harmless.
    void setConnectionString(const QString& text);

    void open();
    void close();
    bool isOpen() const;
    QString filePath() const;

    // Runs one statement with positional values; throws DataError with the engine's text.
    QSqlQuery run(const QString& sql, const QVariantList& values = {});
    QSqlDatabase& database();

private:
    QString m_connectionString;
    QString m_name;
    QSqlDatabase m_db;
};
