#include "SetConnections.h"

#include "AppFolder.h"
#include "ApplicationHelp.h"
#include "DataControl.h"
#include "DataEnvironment.h"

QString ConnString;

namespace {
ConnectionTargets* handedIn = nullptr;

// The folder is used as it is: a root folder gives a doubled separator, which the
// file layer folds.
QString inAppFolder(const QString& file) { return AppFolder::path() + u'/' + file; }

template <typename Step> void skipOnFailure(Step step)
{
    try {
        step();
    } catch (...) {
    }
}
} // namespace

ConnectionTargets::~ConnectionTargets()
{
    if (handedIn == this)
        handedIn = nullptr;
}

void setConnectionTargets(ConnectionTargets* targets) { handedIn = targets; }

QString databaseFilePath() { return inAppFolder(QStringLiteral("Cartstock.mdb")); }

QString helpFilePath() { return inAppFolder(QStringLiteral("Cartstock.hlp")); }

void SetConnections(short which)
{
    ConnString = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + databaseFilePath() +
                 QStringLiteral(";Persist Security Info=False");

    // The texts are kept as they always were; the path travels beside them, so which file
    // is opened never depends on reading it back out of a text (a folder may be called
    // "w;Mode=1").
    skipOnFailure([] {
        DECartstock().cnCart().setConnectionString(
            QStringLiteral("PROVIDER=MSDataShape;DATA PROVIDER=MICROSOFT.JET.OLEDB.4.0;Data Source=") +
                databaseFilePath() + QStringLiteral(";Persist Security Info=False;"),
            databaseFilePath());
    });
    const QString help = helpFilePath();
    skipOnFailure([&] { ApplicationHelp::setHelpFile(help); });

    if ((which != 1 && which != 2) || !handedIn)
        return;
    ConnectionTarget target;
    try {
        target = which == 1 ? handedIn->mainWindowTarget() : handedIn->editorTarget();
    } catch (...) {
        return;
    }
    skipOnFailure([&] {
        if (target.setHelpFile)
            target.setHelpFile(help);
    });
    for (DataControl* control : target.dataControls)
        skipOnFailure([&] { control->setConnectionString(ConnString, databaseFilePath()); });
}
