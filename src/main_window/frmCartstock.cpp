#include "frmCartstock.h"

#include "Twips.h"

#include <QListWidget>

namespace {
frmCartstock* s_loaded = nullptr;
}

frmCartstock* frmCartstock::loaded() { return s_loaded; }

frmCartstock& frmCartstock::load()
{
    if (s_loaded)
        return *s_loaded;
    // Registered as loaded before its load sequence runs: the sequence's own connection
    // set-up asks for this window again and must find it.
    auto* window = new frmCartstock;
    s_loaded = window;
    try {
        window->formLoad();
    } catch (...) {
        s_loaded = nullptr;
        delete window;
        throw;
    }
    return *window;
}

frmCartstock::frmCartstock()
    : adoCartstock(QStringLiteral("Cartstock"), QStringLiteral("Select * From Cartstock Order By Item"))
    , adoList(QStringLiteral("List"), QStringLiteral("Selected"))
    , adoCat(QStringLiteral("Category List"),
             QStringLiteral("SELECT Categories, ID\r\nFROM Categories\r\nORDER BY Categories"))
    , adoSettings(QStringLiteral("Settings"), QStringLiteral("Settings"))
{
    setObjectName(QStringLiteral("frmCartstock"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Cartlist"));
    adoCartstock.setObjectName(QStringLiteral("adoCartstock"));
    adoList.setObjectName(QStringLiteral("adoList"));
    adoCat.setObjectName(QStringLiteral("adoCat"));
    adoSettings.setObjectName(QStringLiteral("adoSettings"));

    auto* client = new QWidget(this);
    client->setFixedSize(Twips::size(11985, 8940));
    setCentralWidget(client);
    lstRecent = new QListWidget(client);
    lstRecent->setObjectName(QStringLiteral("lstRecent"));
    lstRecent->setGeometry(Twips::rect(7440, 5280, 3015, 780));
}

frmCartstock::~frmCartstock()
{
    if (s_loaded == this)
        s_loaded = nullptr;
}

void frmCartstock::unload()
{
    if (s_loaded == this)
        s_loaded = nullptr;
    close();
}

ConnectionTarget frmCartstock::connectionTarget()
{
    return {[this](const QString& path) { m_helpFile = path; }, {&adoCat, &adoCartstock, &adoList, &adoSettings}};
}

void frmCartstock::formLoad()
{
    SetConnections(1);
    adoList.refresh();
    adoCat.refresh();
    adoCartstock.refresh();
    adoCartstock.recordset().setFilter(QString());
}
