#include "WhenShown.h"

#include <QDeadlineTimer>
#include <QTimer>

void whenFound(const std::function<QWidget*()>& find, const std::function<void(QWidget&)>& act, QObject* owner)
{
    auto* poll = new QTimer(owner);
    const QDeadlineTimer deadline(10000);
    QObject::connect(poll, &QTimer::timeout, [=] {
        QWidget* shown = find();
        if (shown && shown->isVisible()) {
            poll->deleteLater();
            poll->stop();
            act(*shown);
        } else if (deadline.hasExpired()) {
            poll->deleteLater();
            poll->stop();
        }
    });
    poll->start(10);
}
