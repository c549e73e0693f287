#include "Startup.h"

#include "AppFolder.h"
#include "DataEnvironment.h"
#include "DataError.h"
#include "MessageBox.h"
#include "SetConnections.h"
#include "StoreCheck.h"
#include "StoreProblem.h"
#include "frmCartstock.h"

#include <QGuiApplication>

namespace Startup {

QVariant HighestID;

namespace {
// A wait cursor while start-up reads the file, so a slow start shows a sign of life;
// taken away before any message and before the window shows: a window made with it would
// load the desktop's wait cursor (on X, every size of its every frame) only to drop it again
// before it is on screen.
class BusyCursor {
public:
    BusyCursor()
    {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            m_on = true;
        }
    }
    ~BusyCursor() { release(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
    void release()
    {
        if (m_on)
            QGuiApplication::restoreOverrideCursor();
        m_on = false;
    }

private:
    bool m_on = false;
};
} // namespace

QString StartupFailureText(const QString& description)
{
    return StoreProblem(StoreProblem::Kind::Other, databaseFilePath(), description).startupText();
}

QString StartupFailureText(const DataError& error)
{
    if (const auto* store = dynamic_cast<const StoreError*>(&error))
        return store->problem().startupText();
    return StartupFailureText(error.description());
}

bool Main()
{
    BusyCursor busy;
    try {
        // What is wrong with the file is found and told before any window is built.
        if (const QString folder = AppFolder::unusableName(); !folder.isEmpty())
            throw StoreError(StoreProblem(StoreProblem::Kind::FolderName, databaseFilePath(), folder));
        StoreCheck::requireUsable(databaseFilePath());
        SetConnections(1);
        DECartstock().run(QStringLiteral("TopListID"));
        ResultSet& top = DECartstock().resultSet(QStringLiteral("rsTopListID"));
        HighestID = top.rows().value(QStringLiteral("Highest"));
        top.close();
        busy.release();
        frmCartstock::load().show();
        return true;
    } catch (const DataError& e) {
        busy.release();
        if (frmCartstock* window = frmCartstock::loaded())
            window->unload();
        MessageBox::show(StartupFailureText(e));
        return false;
    }
}

void ListNewItems()
{
    frmCartstock* window = frmCartstock::loaded();
    if (!window)
        return;
    Recordset& rs = window->catalogueRecords();
    if (rs.recordCount() < 1)
        return;
    rs.moveFirst();
    const int n = rs.recordCount();
    for (int i = 0; i < n; ++i) {
        if (!HighestID.isNull() && rs.value(QStringLiteral("ID")).toLongLong() > HighestID.toLongLong())
            window->addRecentItem(rs.value(QStringLiteral("Item")).toString());
        rs.moveNext();
    }
    rs.moveFirst();
}

} // namespace Startup
