#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

// Modal boxes a test is waiting for that have not come yet; a session that ends with some
// fails (see TestSession::problems).
inline int& awaitedModals()
{
    static int count = 0;
    return count;
}

// Closes a modal box the test could not answer, so that the run goes on to report the failure
// instead of waiting for a user who is not there.
inline void closeUnanswered(QWidget* box)
{
    if (auto* dialog = qobject_cast<QDialog*>(box))
        dialog->done(QDialog::Rejected);
    else
        box->close();
}

// Acts on the next modal T (a message box, a font, colour, file or print dialog) once it is up,
// from the event loop it runs, as a user who looks at it first does. When none has come within
// ten seconds the test fails, and a modal box of another kind that is up is closed.
template <typename T> void whenModal(std::function<void(T&)> act, QObject* owner = qApp)
{
    auto* poll = new QTimer(owner);
    const QDeadlineTimer deadline(10000);
    ++awaitedModals();
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        T* shown = qobject_cast<T*>(modal);
        if (shown && shown->isVisible()) {
            poll->stop();
            poll->deleteLater();
            --awaitedModals();
            act(*shown);
        } else if (deadline.hasExpired()) {
            poll->stop();
            poll->deleteLater();
            if (modal)
                closeUnanswered(modal);
            QFAIL(qPrintable(QStringLiteral("the awaited %1 never came").arg(T::staticMetaObject.className())));
        }
    });
    poll->start(10);
}
