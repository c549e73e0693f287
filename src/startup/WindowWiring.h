#pragma once

// Connects the windows to the routines that reach them by selector or by name: the
// connection set-up's targets, and the ways from one window to the other.
class WindowWiring {
public:
    static void install();
    // Ends the run's windows, reports and data environment while Qt is still there to
    // close their connections; the program calls it once its event loop has ended.
    static void shutDown();
};
