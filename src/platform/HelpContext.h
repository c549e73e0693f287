#pragma once

class QWidget;

// Help topic numbers carried by controls, for F1.
class HelpContext {
public:
    static void set(QWidget* control, int topic);
    // The topic of the focused control (or of the control it is part of), else the window's.
    static int forFocus(const QWidget* window, int windowTopic);
};
