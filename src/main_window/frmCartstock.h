#pragma once

#include "DataControl.h"
#include "SetConnections.h"

#include <QMainWindow>

class QListWidget;

// The shopping-list window.
class frmCartstock : public QMainWindow {
    Q_OBJECT
public:
    // The loaded window, or nullptr.
    static frmCartstock* loaded();
    // The window, loading it (and running its load sequence) when it is not loaded.
    static frmCartstock& load();
    // Closes the window and deletes it with everything it owns.
    void unload();
    ~frmCartstock() override;

    ConnectionTarget connectionTarget();

    DataControl adoCartstock;
    DataControl adoList;
    DataControl adoCat;
    DataControl adoSettings;
    QListWidget* lstRecent = nullptr;

private:
    frmCartstock();
    void formLoad();

    QString m_helpFile;
};
