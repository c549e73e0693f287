#include "FileDialog.h"

#include <QFileDialog>
#include <QFileInfo>
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

QString FileDialog::getSaveFileName(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
                                    const QString& defaultSuffix)
{
    Script& s = script();
    if (!s.active) {
        QFileDialog dialog(parent, caption, dir, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(defaultSuffix);
        // Qt's own dialog: a desktop's native one asks about replacing the name as typed, and
        // the suffix is added only after it has closed.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        return dialog.selectedFiles().value(0);
    }

    const QString call = caption + QStringLiteral(" | ") + filter;
    s.asked << call;
    if (s.answers.isEmpty()) {
        s.unexpected << call;
        return {};
    }
    QString answer = s.answers.dequeue();
    // As the dialog does with a name typed without a suffix.
    const QFileInfo typed(answer);
    if (!answer.isEmpty() && !defaultSuffix.isEmpty() && typed.suffix().isEmpty() && !typed.isDir())
        answer += QLatin1Char('.') + defaultSuffix;
    return answer;
}

void FileDialog::startScripting() { script() = Script{true, {}, {}, {}}; }

void FileDialog::stopScripting() { script() = Script{}; }

void FileDialog::queueAnswer(const QString& fileName) { script().answers.enqueue(fileName); }

int FileDialog::pendingAnswers() { return int(script().answers.size()); }

QStringList FileDialog::askedDialogs() { return script().asked; }

QStringList FileDialog::unexpectedCalls() { return script().unexpected; }
