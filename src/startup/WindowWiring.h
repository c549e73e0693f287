#pragma once

// Connects the windows to the routines that reach them by selector or by name: the
// connection set-up's targets, and the ways from one window to the other.
class WindowWiring {
public:
    // What the whole program draws with, set once before any window: one style on every
    // desktop, the faces that stand in for the design fonts, and no cache of drawn pieces.
    static void setUpApplication();
    static void install();
    // Ends the run's windows, reports and data environment while Qt is still there to
    // close their connections; the program calls it once its event loop has ended.
    static void shutDown();
};
