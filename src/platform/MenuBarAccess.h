#pragma once

class QMainWindow;

// A window's menu bar as desktop users reach it: a lone Alt press or F10 puts it in keyboard
// mode (arrow keys move, Return or Down opens, Escape returns to the control that had the
// focus), and its titles show in the desktop's menu font, not the window's design font.
// The captions keep their text: no access keys are added.
class MenuBarAccess {
public:
    static void setUp(QMainWindow& window);
};
