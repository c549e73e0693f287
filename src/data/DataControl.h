#pragma once

#include "Recordset.h"

#include <QObject>
#include <QString>

#include <memory>

class Connection;

// A window's bound record source: a connection string, a record source (a query text or
// a table name) and the record set that refresh opens over them. Views bind to its
// record set, which stays the same object across refreshes.
class DataControl : public QObject {
    Q_OBJECT
public:
    DataControl(const QString& caption, const QString& recordSource, QObject* parent = nullptr);
    ~DataControl() override;

    QString caption() const { return m_caption; }
    QString connectionString() const { return m_connectionString; }
    // The database file the next refresh opens: `filePath` when given, else the one the
    // string names. Used from the next refresh on.
    void setConnectionString(const QString& text, const QString& filePath = {});
    QString filePath() const { return m_filePath; }
    QString recordSource() const { return m_recordSource; }

    // Re-runs the record source over the connection string: rows written through any
    // source become visible; no filter remains.
    void refresh();
    Recordset& recordset() { return m_recordset; }

Q_SIGNALS:
    // The connection string or file was set (to the same or another).
    void connectionSet();

private:
    QString m_caption;
    QString m_recordSource;
    QString m_connectionString;
    QString m_filePath;
    QString m_connectionPath; // the path m_connection was made with
    std::shared_ptr<Connection> m_connection;
    Recordset m_recordset;
};
