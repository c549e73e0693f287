#pragma once

#include <QMessageBox>
#include <QObject>
#include <QStringList>

#include <functional>

// Answers the real message boxes a test brings up, as a user does: by clicking a button,
// pressing a key or closing the box by its title bar. Message-box scripting is off while an
// instance lives, so the program shows real QMessageBox windows.
class RealMessageBox {
public:
    RealMessageBox();
    ~RealMessageBox();

    // What to do to the next box once it is shown; boxes are answered in the order queued.
    void then(std::function<void(QMessageBox&)> answer);
    void thenClick(const QString& buttonText);

    // Texts, titles and icons of the boxes answered so far; whether every queued answer was used.
    QStringList texts() const { return m_texts; }
    QStringList titles() const { return m_titles; }
    QList<QMessageBox::Icon> icons() const { return m_icons; }
    bool allAnswered() const { return m_answers.isEmpty(); }

private:
    void waitForNext();

    QList<std::function<void(QMessageBox&)>> m_answers;
    QStringList m_texts, m_titles;
    QList<QMessageBox::Icon> m_icons;
    QObject m_waits;
};
