#pragma once

#include "Connection.h"
#include "ResultSet.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <map>
#include <memory>

// The program-wide data environment: the connection cnCart and the six named commands
// run over it, with their result sets.
class DataEnvironment {
public:
    struct Command {
        QString name;
        QString text;
        QStringList parameters;
        QDate parameterDefault;
        bool returnsRows;
    };
    static const QList<Command>& commands();

    DataEnvironment();

    Connection& cnCart() { return m_cnCart; }

    // Runs a command by name; `dt` is the date for the commands that take one.
    // A row-returning command whose result set is still open is refused.
    void run(const QString& name, const QVariant& dt = {});
    // By the name "rs" + command name.
    ResultSet& resultSet(const QString& name);

    // The one instance, created on first use. Tests start each case from a new one.
    static DataEnvironment& instance();
    static void resetInstance();

private:
    const Command& command(const QString& name) const;

    Connection m_cnCart;
    std::map<QString, std::unique_ptr<ResultSet>> m_resultSets;
};

inline DataEnvironment& DECartstock() { return DataEnvironment::instance(); }
