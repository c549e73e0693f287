#include "PrintDialog.h"

#include "ChordGuard.h"
#include "FileDialog.h"

#include <QDir>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QQueue>

namespace {
constexpr int MaxPages = 9999;

struct Script {
    bool active = false;
    QQueue<PrintDialog::Answer> answers;
    int unexpected = 0;
    int shownPageCount = 0;
};

Script& script()
{
    static Script s;
    return s;
}

// What the dialog does with the printer when the user presses Print.
void apply(const PrintDialog::Answer& answer, QPrinter& printer)
{
    if (!answer.printer.isEmpty())
        printer.setPrinterName(answer.printer);
    // A printer chosen leaves no file name behind, as the dialog's choice of a printer does.
    if (!answer.printToFile.isEmpty())
        printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(answer.printToFile);
    switch (answer.range) {
    case PrintDialog::Answer::Range::All:
        printer.setPrintRange(QPrinter::AllPages);
        printer.setFromTo(0, 0);
        break;
    case PrintDialog::Answer::Range::FromTo:
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(answer.fromPage, qMax(answer.fromPage, answer.toPage));
        break;
    case PrintDialog::Answer::Range::Current:
        printer.setPrintRange(QPrinter::CurrentPage);
        printer.setFromTo(0, 0);
        break;
    }
    printer.setCopyCount(answer.copies);
    printer.setCollateCopies(answer.collate);
    printer.setPageOrder(answer.reverse ? QPrinter::LastPageFirst : QPrinter::FirstPageFirst);
}
} // namespace

bool PrintDialog::exec(QPrinter& printer, int pageCount, QWidget* parent, const QString& startFile)
{
    const int last = qMax(1, pageCount);
    printer.setPrintRange(QPrinter::AllPages);
    // The "Pages from ... to ..." boxes start on the whole document.
    printer.setFromTo(1, last);
    Script& s = script();
    s.shownPageCount = pageCount;
    if (!s.active) {
        // Its "..." button opens a Qt file dialog.
        FileDialog::keepDialogStateInMemory();
        QPrintDialog dialog(&printer, parent);
        ChordGuard::install(dialog);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                          QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize |
                          QAbstractPrintDialog::PrintCurrentPage);
        // Other paper or orientation chosen in the dialog gives the report more pages than
        // the preview has: the range reaches them, and pages past the end print nothing.
        dialog.setMinMax(1, qMax(last, MaxPages));
        // Without a file of the printer's, the dialog would offer one in the home folder. A file
        // set on the printer would choose Print to File for the user instead: the box gets it.
        if (printer.outputFileName().isEmpty() && !startFile.isEmpty()) {
            if (auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("filename")))
                box->setText(QDir::toNativeSeparators(startFile));
        }
        return dialog.exec() == QDialog::Accepted;
    }

    if (s.answers.isEmpty()) {
        ++s.unexpected;
        return false;
    }
    const Answer answer = s.answers.dequeue();
    if (answer.accepted)
        apply(answer, printer);
    return answer.accepted;
}

void PrintDialog::startScripting() { script() = Script{true, {}, 0, 0}; }

void PrintDialog::stopScripting() { script() = Script{}; }

void PrintDialog::queueAnswer(bool accepted, const QString& printToFile)
{
    Answer answer;
    answer.accepted = accepted;
    answer.printToFile = printToFile;
    queueAnswer(answer);
}

void PrintDialog::queueAnswer(const Answer& answer) { script().answers.enqueue(answer); }

int PrintDialog::pendingAnswers() { return int(script().answers.size()); }

int PrintDialog::unexpectedCalls() { return script().unexpected; }

int PrintDialog::shownPageCount() { return script().shownPageCount; }
