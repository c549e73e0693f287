#pragma once

// What the whole program runs with, apart from its windows: the work that may overlap the
// application's own start, the look every window shares, and the orderly end of the run.
class ApplicationSetup {
public:
    // Work that needs no QApplication and may overlap its start (the font configuration, the
    // keys of the main window's long sources); before it is constructed, the folder set.
    static void beforeApplication();
    // Set once before any window: one style on every desktop, the program's icon, the faces
    // that stand in for the design fonts, and no cache of drawn pieces.
    static void setUp();
    // Ends the run's windows, reports and data environment while Qt is still there to close
    // their connections, and the windows' wiring; the program calls it once its event loop
    // has ended.
    static void shutDown();
};
