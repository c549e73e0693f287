#pragma once

#include <QObject>

// An Alt chord is a command, never text: a key pressed with Alt that no access key or
// shortcut claimed is dropped instead of being typed into the focused box. Shortcuts are
// matched before the key press is delivered, so the access keys of visible buttons still
// press them. Ctrl chords are already never typed by Qt's text boxes, except together with
// Alt, which this covers too.
class ChordGuard : public QObject {
    Q_OBJECT
public:
    // Guards every window of the application from here on; calling it again does nothing.
    static void install();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    using QObject::QObject;
};
