#pragma once

#include "DataSession.h"
#include "MessageBox.h"

#include <QStringList>

// What every window test case starts from and is checked against at its end: a data session,
// no windows, message boxes answered by script.
class TestSession {
public:
    TestSession();
    ~TestSession();

    // Message boxes that appeared with no answer queued, and answers nobody asked for.
    QString problems() const;

    static void answer(MessageBox::Answer a) { MessageBox::queueAnswer(a); }
    static QStringList messages() { return MessageBox::shownTexts(); }

private:
    DataSession m_data;
};

// In a test class: init() makes a session, cleanup() checks and ends it.
#define CARTLIST_CHECK_SESSION(session)                                                                                \
    do {                                                                                                               \
        const QString problems = (session)->problems();                                                                \
        (session).reset();                                                                                             \
        QVERIFY2(problems.isEmpty(), qPrintable(problems));                                                            \
    } while (false)
