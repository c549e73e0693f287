#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every message the program shows goes through here: titled with the application title,
// no icon. Tests queue the answers they expect instead of a box appearing; a box that
// nobody answered is recorded so the test can fail on it.
class MessageBox {
public:
    enum class Buttons { Ok, OkCancel, YesNo };
    enum class Answer { Ok, Cancel, Yes, No };

    static inline const QString Title = QStringLiteral("Cartlist");

    static Answer show(const QString& text, Buttons buttons = Buttons::Ok, QWidget* parent = nullptr);

    // Test seam.
    static void startScripting();
    static void stopScripting();
    static void queueAnswer(Answer answer);
    static int pendingAnswers();
    static QStringList shownTexts();
    static QStringList unexpectedTexts();
};
