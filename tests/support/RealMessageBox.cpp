#include "RealMessageBox.h"

#include "MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

RealMessageBox::RealMessageBox()
    : m_timer(new QTimer)
{
    MessageBox::stopScripting();
    m_timer->setInterval(10);
    QObject::connect(m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer->start();
}

RealMessageBox::~RealMessageBox()
{
    delete m_timer;
    MessageBox::startScripting();
}

void RealMessageBox::then(std::function<void(QMessageBox&)> answer) { m_answers << std::move(answer); }

void RealMessageBox::thenClick(const QString& buttonText)
{
    then([buttonText](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text().remove(u'&') == buttonText) {
                QTest::mouseClick(button, Qt::LeftButton);
                return;
            }
        }
        QFAIL(qPrintable(QStringLiteral("the box has no button ") + buttonText));
    });
}

void RealMessageBox::poll()
{
    if (m_answers.isEmpty())
        return;
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    m_texts << box->text();
    m_titles << box->windowTitle();
    const auto answer = m_answers.takeFirst();
    answer(*box);
}
