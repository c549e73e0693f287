#include "PrintDialog.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QQueue>

namespace {
struct Answer {
    bool accepted = false;
    QString printToFile;
};

struct Script {
    bool active = false;
    QQueue<Answer> answers;
    int unexpected = 0;
};

Script& script()
{
    static Script s;
    return s;
}
} // namespace

bool PrintDialog::exec(QPrinter& printer, QWidget* parent)
{
    Script& s = script();
    if (!s.active) {
        QPrintDialog dialog(&printer, parent);
        return dialog.exec() == QDialog::Accepted;
    }

    if (s.answers.isEmpty()) {
        ++s.unexpected;
        return false;
    }
    const Answer answer = s.answers.dequeue();
    if (answer.accepted && !answer.printToFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(answer.printToFile);
    }
    return answer.accepted;
}

void PrintDialog::startScripting() { script() = Script{true, {}, 0}; }

void PrintDialog::stopScripting() { script() = Script{}; }

void PrintDialog::queueAnswer(bool accepted, const QString& printToFile)
{
    script().answers.enqueue(Answer{accepted, printToFile});
}

int PrintDialog::pendingAnswers() { return int(script().answers.size()); }

int PrintDialog::unexpectedCalls() { return script().unexpected; }
