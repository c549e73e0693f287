#pragma once

#include <QFont>
#include <QString>

#include <future>

// The fonts the windows and reports are designed in. Where the system lacks a designed
// face, Qt substitutes the nearest installed one of the same kind, size and weight.
class DesignFont {
public:
    static QFont make(const QString& family, double pointSize, bool italic = false, bool bold = false);
    // The desktop's font for a kind of widget, whole: set on a control, it keeps nothing of
    // the window's design font (a partly set font would still take its italic from the window).
    static QFont desktop(const char* widgetClass);
    // The reading of the system's font configuration, a job to run once on another thread
    // while the application connects to the display; before the QApplication, once per run.
    // installSubstitutes takes what it read, or reads it itself if the job was dropped unrun.
    static std::packaged_task<void()> configurationReading();
    // Names the nearest faces for the designed ones; once per run, before any window.
    static void installSubstitutes();
};
