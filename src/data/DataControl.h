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
    // Used from the next refresh on.
    void setConnectionString(const QString& text) { m_connectionString = text; }
    QString recordSource() const { return m_recordSource; }
    void setRecordSource(const QString& source) { m_recordSource = source; }

    // Re-runs the record source over the connection string: rows written through any
    // source become visible; no filter remains.
    void refresh();
    Recordset& recordset() { return m_recordset; }

private:
    QString m_caption;
    QString m_recordSource;
    QString m_connectionString;
    std::shared_ptr<Connection> m_connection;
    Recordset m_recordset;
};
