#pragma once

#include <QList>
#include <QString>

#include <functional>

class DataControl;

// What the connection set-up points at the file for one window: its dialog's help file
// and its data controls, in the order they are set.
struct ConnectionTarget {
    std::function<void(const QString&)> setHelpFile;
    QList<DataControl*> dataControls;
};

// Where the connection set-up finds each window's target: startup's wiring of the windows
// hands itself in. Asking for a target may load its window, which runs that window's load
// sequence. A window the targets do not give is skipped.
class ConnectionTargets {
public:
    // Handed in targets stop being used when they go.
    virtual ~ConnectionTargets();
    virtual ConnectionTarget mainWindowTarget() { return {}; }
    virtual ConnectionTarget editorTarget() { return {}; }
};
// The targets SetConnections uses from now on; none skips every window.
void setConnectionTargets(ConnectionTargets* targets);
inline void clearConnectionTargets() { setConnectionTargets(nullptr); }

// The connection string every data control gets, as the last SetConnections built it.
// The file it names is databaseFilePath(), which goes with it to every connection.
extern QString ConnString;

// The one place that says which file the program keeps its data in.
QString databaseFilePath();
QString helpFilePath();

// Points the data environment and one window's data controls at Cartstock.mdb in the
// application folder and sets the help file. Every step after the string is built is
// skipped silently when it fails.
void SetConnections(short which);
