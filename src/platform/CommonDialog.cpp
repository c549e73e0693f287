#include "CommonDialog.h"

#include "DesignFont.h"

#include <QColorDialog>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QQueue>
#include <QStringList>

#include <variant>

namespace {
struct Cancel {};
using Answer = std::variant<Cancel, CommonDialog::FontChoice, QColor>;

struct Script {
    bool active = false;
    QQueue<Answer> answers;
    int unexpected = 0;
    QStringList shown;
};

Script& script()
{
    static Script s;
    return s;
}

// The next scripted answer; a dialog nobody answered counts against the test and cancels.
Answer nextAnswer(const QString& shownWith)
{
    Script& s = script();
    s.shown << shownWith;
    if (s.answers.isEmpty()) {
        ++s.unexpected;
        return Cancel{};
    }
    return s.answers.dequeue();
}
} // namespace

bool CommonDialog::ShowFont(QWidget* parent)
{
    const QFont preset = DesignFont::make(FontName, FontSize > 0 ? FontSize : 10, FontItalic, FontBold);

    FontChoice choice;
    if (script().active) {
        const Answer answer = nextAnswer(QStringLiteral("%1 %2").arg(FontName).arg(FontSize));
        if (!std::holds_alternative<FontChoice>(answer))
            return false;
        choice = std::get<FontChoice>(answer);
    } else {
        // The dialog lists installed faces only: it opens on the face the windows draw the
        // preset in, and a face and size left as they were keep the preset's name and size.
        const QString shownFamily = QFontInfo(preset).family();
        QFont shown = preset;
        shown.setFamily(shownFamily);
        // The dialog finds the style by its name, and a face may call its upright style
        // "Roman" rather than "Normal": name the face's own style of that slant and weight.
        for (const QString& style : QFontDatabase::styles(shownFamily)) {
            if (QFontDatabase::italic(shownFamily, style) == preset.italic() &&
                QFontDatabase::bold(shownFamily, style) == preset.bold()) {
                shown.setStyleName(style);
                break;
            }
        }
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, shown, parent, QStringLiteral("Font"));
        if (!ok)
            return false;
        const bool sameFace = font.family() == shownFamily;
        const bool sameSize = qRound(font.pointSizeF()) == qRound(preset.pointSizeF());
        choice = {sameFace ? FontName : font.family(), sameSize ? preset.pointSizeF() : font.pointSizeF(), font.bold(),
                  font.italic()};
    }
    FontName = choice.family;
    FontSize = choice.pointSize;
    FontBold = choice.bold;
    FontItalic = choice.italic;
    return true;
}

bool CommonDialog::ShowColor(QWidget* parent)
{
    QColor chosen;
    if (script().active) {
        const Answer answer = nextAnswer(DialogTitle);
        if (!std::holds_alternative<QColor>(answer))
            return false;
        chosen = std::get<QColor>(answer);
    } else {
        chosen = QColorDialog::getColor(Color.isValid() ? Color : QColor(Qt::white), parent, DialogTitle);
        if (!chosen.isValid())
            return false;
    }
    Color = chosen;
    return true;
}

void CommonDialog::startScripting() { script() = Script{true, {}, 0, {}}; }

void CommonDialog::stopScripting() { script() = Script{}; }

void CommonDialog::queueFont(const FontChoice& choice) { script().answers.enqueue(choice); }

void CommonDialog::queueColor(const QColor& color) { script().answers.enqueue(color); }

void CommonDialog::queueCancel() { script().answers.enqueue(Cancel{}); }

int CommonDialog::pendingAnswers() { return int(script().answers.size()); }

int CommonDialog::unexpectedDialogs() { return script().unexpected; }

QStringList CommonDialog::shownWith() { return script().shown; }
