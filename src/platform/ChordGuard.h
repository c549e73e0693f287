#pragma once

class QWidget;

// An Alt chord is a command, never text: a key pressed with Alt that no access key or
// shortcut claimed is dropped instead of being typed into the window's focused box. Shortcuts
// are matched before the key press is delivered, so the access keys of visible buttons still
// press them. Ctrl chords are already never typed by Qt's text boxes, except together with
// Alt, which this covers too.
class ChordGuard {
public:
    // For this window and every box it holds, now or later; it ends with the window.
    static void install(QWidget& window);
};
