#include "TestSession.h"

#include "AppFolder.h"
#include "DataEnvironment.h"
#include "SetConnections.h"
#include "Today.h"
#include "WindowWiring.h"
#include "frmCartstock.h"

#include <QApplication>
#include <QDate>

TestSession::TestSession()
{
    MessageBox::startScripting();
    DataEnvironment::resetInstance();
    clearConnectionTargets();
    WindowWiring::install();
    Today::setForTests(QDate(2026, 12, 5));
}

TestSession::~TestSession()
{
    if (frmCartstock* w = frmCartstock::loaded())
        delete w;
    // Windows closed during the case are deleted later; finish that before the next case.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DataEnvironment::resetInstance();
    clearConnectionTargets();
    MessageBox::stopScripting();
    Today::reset();
    AppFolder::reset();
}

QString TestSession::problems() const
{
    QStringList out;
    for (const QString& text : MessageBox::unexpectedTexts())
        out << QStringLiteral("unanswered message box: ") + text;
    if (MessageBox::pendingAnswers() > 0)
        out << QStringLiteral("%1 queued answer(s) never asked for").arg(MessageBox::pendingAnswers());
    return out.join(u'\n');
}
