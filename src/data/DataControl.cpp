#include "DataControl.h"

#include "Connection.h"
#include "DataError.h"

DataControl::DataControl(const QString& caption, const QString& recordSource, QObject* parent)
    : QObject(parent)
    , m_caption(caption)
    , m_recordSource(recordSource)
{
}

DataControl::~DataControl() { m_recordset.close(); }

void DataControl::refresh()
{
    if (m_connectionString.isEmpty())
        throw DataError(QStringLiteral("Data control \"%1\" has no connection string.").arg(m_caption));
    if (!m_connection || m_connection->connectionString() != m_connectionString) {
        auto connection = std::make_shared<Connection>(m_connectionString);
        connection->open();
        m_connection = std::move(connection);
    }
    m_recordset.open(m_connection, m_recordSource);
}
