#include "FileDialog.h"

#include "ChordGuard.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QQueue>
#include <QSettings>

namespace {
// `name` ending in ".suffix" (in any case): "Shopping 07.12.2026" and "dotted.v2" get it too.
QString withSuffix(const QString& name, const QString& suffix)
{
    const QString ending = QLatin1Char('.') + suffix;
    if (suffix.isEmpty() || name.isEmpty() || name.endsWith(ending, Qt::CaseInsensitive) || QFileInfo(name).isDir())
        return name;
    return name + ending;
}

// Qt's dialog adds a default suffix only to a name with no dot at all. This one adds it to
// every name without it before the dialog checks the name, so the question whether to
// replace a file is asked about the file that will be written.
class SaveDialog : public QFileDialog {
public:
    SaveDialog(QWidget* parent, const QString& caption, const QString& dir, const QString& filter,
               const QString& suffix)
        : QFileDialog(parent, caption, dir, filter)
        , m_suffix(suffix)
    {
    }

    void accept() override
    {
        // The name box holds the user's word. A file the list still selects from when the
        // dialog opened (its folder is read in the background) would otherwise win over it.
        const auto* box = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        const QString typed =
            box && !box->text().isEmpty() ? directory().absoluteFilePath(box->text()) : selectedFiles().value(0);
        const QString file = withSuffix(typed, m_suffix);
        if (file != selectedFiles().value(0)) {
            // The dialog leaves the name box alone while it has the focus.
            if (QWidget* focus = focusWidget())
                focus->clearFocus();
            selectFile(file);
        }
        QFileDialog::accept();
    }

private:
    QString m_suffix;
};

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
        keepDialogStateInMemory();
        SaveDialog dialog(parent, caption, dir, filter, defaultSuffix);
        ChordGuard::install(dialog);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // Qt's own dialog: a desktop's native one asks about replacing the name as typed, and
        // the suffix is added only after it has closed.
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        // The file the dialog approved (and asked about), whatever the list selects later.
        QString chosen;
        QObject::connect(&dialog, &QFileDialog::fileSelected, [&chosen](const QString& file) { chosen = file; });
        return dialog.exec() == QDialog::Accepted ? chosen : QString();
    }

    const QString call = caption + QStringLiteral(" | ") + filter;
    s.asked << call;
    if (s.answers.isEmpty()) {
        s.unexpected << call;
        return {};
    }
    // As the dialog does with a name typed without the suffix.
    return withSuffix(s.answers.dequeue(), defaultSuffix);
}

// A Qt file dialog keeps its state (folder history, view, sizes) in QSettings' user file
// QtProject.conf as it goes away, and reads it as it opens. The program keeps nothing
// outside its database: the user scope points at a place where no file can be made
// (a folder under a device), so the dialog's settings stay in memory.
void FileDialog::keepDialogStateInMemory()
{
    static const bool done = [] {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("/dev/null"));
        return true;
    }();
    Q_UNUSED(done);
}

void FileDialog::startScripting() { script() = Script{true, {}, {}, {}}; }

void FileDialog::stopScripting() { script() = Script{}; }

void FileDialog::queueAnswer(const QString& fileName) { script().answers.enqueue(fileName); }

int FileDialog::pendingAnswers() { return int(script().answers.size()); }

QStringList FileDialog::askedDialogs() { return script().asked; }

QStringList FileDialog::unexpectedCalls() { return script().unexpected; }
