#pragma once

#include <QString>

class QPrinter;
class QWidget;

// The printer choice before printing. Tests queue the user's answer instead of a dialog
// appearing; an accepted answer may send the output to a PDF file, as a user choosing
// "print to file" would. A dialog nobody answered is recorded and counts as cancelled.
class PrintDialog {
public:
    // True when the user chose to print; the printer then carries the user's choices.
    static bool exec(QPrinter& printer, QWidget* parent = nullptr);

    // Test seam.
    static void startScripting();
    static void stopScripting();
    static void queueAnswer(bool accepted, const QString& printToFile = {});
    static int pendingAnswers();
    static int unexpectedCalls();
};
