#pragma once

class QWidget;

// Return and the keypad's Enter press the focused push button of a window, as they do on
// Linux desktops; Qt presses a button to Return only inside dialogs. Keys typed into any
// other control are left to it.
class ReturnPressesButton {
public:
    // For this window and every button it holds, now or later; it ends with the window.
    static void install(QWidget& window);
};
