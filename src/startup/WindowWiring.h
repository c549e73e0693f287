#pragma once

// Connects the windows to the routines that reach them by selector or by name: the
// connection set-up's targets, and the ways from one window to the other.
class WindowWiring {
public:
    static void install();
};
