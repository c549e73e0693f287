#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Acts on the next modal T (a message box, a font, colour, file or print dialog) once it is up,
// from the event loop it runs, as a user who looks at it first does. The wait ends with
// `owner`, or after ten seconds; the test then fails on what the window should have done.
template <typename T> void whenModal(std::function<void(T&)> act, QObject* owner = qApp)
{
    auto* poll = new QTimer(owner);
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [=] {
        T* shown = qobject_cast<T*>(QApplication::activeModalWidget());
        const bool up = shown && shown->isVisible();
        if (up || deadline.hasExpired()) {
            poll->stop();
            poll->deleteLater();
        }
        if (up)
            act(*shown);
    });
    poll->start(10);
}
