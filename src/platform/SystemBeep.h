#pragma once

// The system beep; tests count beeps instead of hearing them.
class SystemBeep {
public:
    static void beep();
    static int count();
    static void resetCount();
};
