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

void DataControl::setConnectionString(const QString& text, const QString& filePath)
{
    m_connectionString = text;
    m_filePath = filePath;
    Q_EMIT connectionSet();
}

void DataControl::refresh()
{
    if (m_connectionString.isEmpty())
        throw DataError(QStringLiteral("Data control \"%1\" has no connection string.").arg(m_caption));
    if (!m_connection || m_connection->connectionString() != m_connectionString ||
        m_connectionPath != m_filePath) {
        auto connection = std::make_shared<Connection>(m_connectionString, m_filePath);
        connection->open();
        m_connection = std::move(connection);
        m_connectionPath = m_filePath;
    }
    m_recordset.open(m_connection, m_recordSource);
}
