#pragma once

#include <QList>
#include <QString>

#include <utility>

// Reads an OLE DB style connection string ("Key=value;Key=value").
// Values are taken as written: a data source path may hold ';', '=' or spaces, so a value
// only ends at a ';' that is followed by another known key or by the end of the string.
class ConnectionString {
public:
    explicit ConnectionString(const QString& text);

    // The value of a key (case-insensitive), or a null string when the key is absent.
    QString value(const QString& key) const;

    // The database file named by "Data Source", as a clean absolute path.
    QString filePath() const;

    // True when the providers named select the engine this program runs on.
    bool providerSupported() const;

private:
    QList<std::pair<QString, QString>> m_pairs;
};
