#include "TestSession.h"

#include "AppFolder.h"
#include "CommonDialog.h"
#include "DataEnvironment.h"
#include "DesignFont.h"
#include "HelpViewer.h"
#include "SetConnections.h"
#include "Today.h"
#include "SystemBeep.h"
#include "WindowWiring.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QApplication>
#include <QDate>

TestSession::TestSession()
{
    DesignFont::installSubstitutes();
    MessageBox::startScripting();
    HelpViewer::startScripting();
    CommonDialog::startScripting();
    SystemBeep::resetCount();
    DataEnvironment::resetInstance();
    clearConnectionTargets();
    WindowWiring::install();
    Today::setForTests(QDate(2026, 12, 5));
}

TestSession::~TestSession()
{
    if (frmAdding* w = frmAdding::loaded())
        delete w;
    if (frmCartstock* w = frmCartstock::loaded())
        delete w;
    // Windows closed during the case are deleted later; finish that before the next case.
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    DataEnvironment::resetInstance();
    clearConnectionTargets();
    MessageBox::stopScripting();
    HelpViewer::stopScripting();
    CommonDialog::stopScripting();
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
    if (CommonDialog::unexpectedDialogs() > 0)
        out << QStringLiteral("%1 font or colour dialog(s) nobody answered").arg(CommonDialog::unexpectedDialogs());
    if (CommonDialog::pendingAnswers() > 0)
        out << QStringLiteral("%1 dialog answer(s) never asked for").arg(CommonDialog::pendingAnswers());
    return out.join(u'\n');
}
