#include "RealMessageBox.h"

#include "MessageBox.h"
#include "UserMoves.h"
#include "WhenShown.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

RealMessageBox::RealMessageBox() { MessageBox::stopScripting(); }

RealMessageBox::~RealMessageBox() { MessageBox::startScripting(); }

void RealMessageBox::then(std::function<void(QMessageBox&)> answer)
{
    m_answers << std::move(answer);
    if (m_answers.size() == 1)
        waitForNext();
}

void RealMessageBox::thenClick(const QString& buttonText)
{
    then([buttonText](QMessageBox& box) {
        for (QAbstractButton* button : box.buttons()) {
            if (button->text().remove(u'&') == buttonText)
                return UserMoves::click(button);
        }
        closeUnanswered(&box);
        QFAIL(qPrintable(QStringLiteral("the box has no button ") + buttonText));
    });
}

void RealMessageBox::waitForNext()
{
    whenModal<QMessageBox>(
        [this](QMessageBox& box) {
            m_texts << box.text();
            m_titles << box.windowTitle();
            m_icons << box.icon();
            m_answers.takeFirst()(box);
            if (!m_answers.isEmpty())
                waitForNext();
        },
        &m_waits);
}
