#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The save-file dialog. Tests queue the file names a user would choose (an empty name
// is a cancelled dialog); a dialog nobody answered is recorded so the test can fail on it.
class FileDialog {
public:
    // The chosen file, or an empty string when the user cancelled. A name that does not end
    // in `defaultSuffix` (in any case) gets it inside the dialog, so the question whether to
    // replace an existing file is asked about the very file returned. The dialog writes no
    // file of its own.
    static QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                                   const QString& defaultSuffix = {});

    // Keeps what Qt's file dialogs remember (their own and the one the print dialog opens)
    // in memory instead of a settings file under the home folder.
    static void keepDialogStateInMemory();

    // Test seam.
    static void startScripting();
    static void stopScripting();
    static void queueAnswer(const QString& fileName);
    static int pendingAnswers();
    // The caption and filter of every dialog asked for while scripting, as "caption | filter".
    static QStringList askedDialogs();
    static QStringList unexpectedCalls();
};
