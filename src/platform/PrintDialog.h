#pragma once

#include <QString>

class QPrinter;
class QWidget;

// The printer choice before printing. Tests queue the user's answer instead of a dialog
// appearing; an accepted answer may send the output to a PDF file, as a user choosing
// "print to file" would, and may choose pages, copies and order as the dialog's options
// do. A dialog nobody answered is recorded and counts as cancelled.
class PrintDialog {
public:
    // Shown for a document of `pageCount` pages: its page range starts on 1 to that count
    // and may go past it (on other paper the document has other pages), all pages chosen; "Current page", copies,
    // collation and order are offered. True when the user chose to print; the printer then carries the user's choices.
    // Print to File offers the printer's file, or else `startFile`.
    static bool exec(QPrinter& printer, int pageCount, QWidget* parent = nullptr, const QString& startFile = {});

    // Test seam.
    struct Answer {
        bool accepted = false;
        QString printToFile;
        // A printer chosen by its queue's name; empty keeps the printer's own.
        QString printer;
        enum class Range { All, FromTo, Current };
        Range range = Range::All;
        int fromPage = 0;
        int toPage = 0;
        int copies = 1;
        bool collate = true;
        bool reverse = false;
    };
    static void startScripting();
    static void stopScripting();
    static void queueAnswer(bool accepted, const QString& printToFile = {});
    static void queueAnswer(const Answer& answer);
    static int pendingAnswers();
    static int unexpectedCalls();
    // The page count the last dialog was shown with.
    static int shownPageCount();
};
