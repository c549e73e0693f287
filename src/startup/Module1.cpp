#include "Module1.h"

#include "DataEnvironment.h"
#include "DataError.h"
#include "MessageBox.h"
#include "SetConnections.h"
#include "frmCartstock.h"

#include <QDir>
#include <QListWidget>

namespace Module1 {

QVariant HighestID;

QString StartupFailureText(const QString& description)
{
    const QString path = QDir::toNativeSeparators(QDir::cleanPath(databaseFilePath()));
    return QStringLiteral("Cartlist cannot start: its database could not be read.\n\n%1\n\n"
                          "Cartlist keeps its data in the file %2. To start with the sample database, "
                          "run this command in the program's folder:\n\n"
                          "    ./cartlist-makedb \"%2\"")
        .arg(description, path);
}

bool Main()
{
    try {
        SetConnections(1);
        DECartstock().run(QStringLiteral("TopListID"));
        ResultSet& top = DECartstock().resultSet(QStringLiteral("rsTopListID"));
        HighestID = top.rows().value(QStringLiteral("Highest"));
        top.close();
        frmCartstock::load().show();
        return true;
    } catch (const DataError& e) {
        if (frmCartstock* window = frmCartstock::loaded())
            window->unload();
        MessageBox::show(StartupFailureText(e.description()));
        return false;
    }
}

void ListNewItems()
{
    frmCartstock* window = frmCartstock::loaded();
    if (!window)
        return;
    Recordset& rs = window->adoCartstock.recordset();
    if (rs.recordCount() < 1)
        return;
    rs.moveFirst();
    const int n = rs.recordCount();
    for (int i = 0; i < n; ++i) {
        if (!HighestID.isNull() && rs.value(QStringLiteral("ID")).toLongLong() > HighestID.toLongLong())
            window->lstRecent->addItem(rs.value(QStringLiteral("Item")).toString());
        rs.moveNext();
    }
    rs.moveFirst();
}

} // namespace Module1
