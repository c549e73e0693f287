#include "MessageBox.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QQueue>
#include <QStyle>

namespace {
// Room on one side of a title for the title bar's buttons, in title-bar heights. A title
// drawn by the program (Wayland) is centred, so the same room is kept on the other side.
constexpr int TitleBarButtons = 4;

struct Script {
    bool active = false;
    QQueue<MessageBox::Answer> answers;
    QStringList shown;
    QStringList unexpected;
};

Script& script()
{
    static Script s;
    return s;
}

// What closing the box without choosing means: the answer that does not go on.
MessageBox::Answer escapeAnswer(MessageBox::Buttons buttons)
{
    switch (buttons) {
    case MessageBox::Buttons::OkCancel:
        return MessageBox::Answer::Cancel;
    case MessageBox::Buttons::YesNo:
        return MessageBox::Answer::No;
    case MessageBox::Buttons::Ok:
        break;
    }
    return MessageBox::Answer::Ok;
}

MessageBox::Answer scriptedAnswer(const QString& text, MessageBox::Buttons buttons)
{
    Script& s = script();
    s.shown << text;
    if (s.answers.isEmpty()) {
        s.unexpected << text;
        return escapeAnswer(buttons);
    }
    return s.answers.dequeue();
}
} // namespace

MessageBox::Answer MessageBox::show(const QString& text, Buttons buttons, QWidget* parent)
{
    if (script().active)
        return scriptedAnswer(text, buttons);

    // A box with no window to belong to opens wherever the desktop likes (on Wayland, far
    // from the program): a caller that names none gets the window the user is in.
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(QMessageBox::NoIcon, Title, text, QMessageBox::NoButton, parent);
    // A short text makes a narrow box, and a title bar drawn by the program (Wayland) has
    // room for its centred title only between its buttons: the box is never narrower.
    const int titleBar = box.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &box);
    const int titleWidth = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(Title);
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(titleWidth + 2 * TitleBarButtons * titleBar, 0), grid->rowCount(), 0, 1,
                      grid->columnCount());
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        box.setEscapeButton(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    // Closing the box by its title bar or Escape gives the escape button's answer.
    switch (box.exec()) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    default:
        return escapeAnswer(buttons);
    }
}

void MessageBox::startScripting() { script() = Script{true, {}, {}, {}}; }

void MessageBox::stopScripting() { script() = Script{}; }

void MessageBox::queueAnswer(Answer answer) { script().answers.enqueue(answer); }

int MessageBox::pendingAnswers() { return int(script().answers.size()); }

QStringList MessageBox::shownTexts() { return script().shown; }

QStringList MessageBox::unexpectedTexts() { return script().unexpected; }
