#include "FileDialog.h"

#include <QFileDialog>
#include <QQueue>

namespace {
struct Script {
    bool active = false;
    QQueue<QString> answers;
    QStringList asked;
    QStringList unexpected;
};

Script& script()
{
    static Script s;
    return s;
}
} // namespace

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter)
{
    Script& s = script();
    if (!s.active)
        return QFileDialog::getSaveFileName(parent, caption, dir, filter);

    const QString call = caption + QStringLiteral(" | ") + filter;
    s.asked << call;
    if (s.answers.isEmpty()) {
        s.unexpected << call;
        return {};
    }
    return s.answers.dequeue();
}

void FileDialog::startScripting() { script() = Script{true, {}, {}, {}}; }

void FileDialog::stopScripting() { script() = Script{}; }

void FileDialog::queueAnswer(const QString& fileName) { script().answers.enqueue(fileName); }

int FileDialog::pendingAnswers() { return int(script().answers.size()); }

QStringList FileDialog::askedDialogs() { return script().asked; }

QStringList FileDialog::unexpectedCalls() { return script().unexpected; }
