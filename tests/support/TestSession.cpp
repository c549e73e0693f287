#include "TestSession.h"
#include "ApplicationSetup.h"

#include "CommonDialog.h"
#include "DesignFont.h"
#include "FileDialog.h"
#include "HelpViewer.h"
#include "PrintDialog.h"
#include "SystemBeep.h"
#include "WhenShown.h"
#include "WindowWiring.h"

#include <QCoreApplication>
#include <QTimer>

TestSession::TestSession()
{
    DesignFont::installSubstitutes();
    MessageBox::startScripting();
    HelpViewer::startScripting();
    CommonDialog::startScripting();
    FileDialog::startScripting();
    PrintDialog::startScripting();
    SystemBeep::resetCount();
    awaitedModals() = 0;
    WindowWiring::install();
    // A case that ended the program (EXIT) leaves Qt refusing to run any event loop, so a real
    // dialog would return at once; running the application's loop once resets that.
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    QCoreApplication::exec();
}

TestSession::~TestSession()
{
    ApplicationSetup::shutDown();
    MessageBox::stopScripting();
    HelpViewer::stopScripting();
    CommonDialog::stopScripting();
    FileDialog::stopScripting();
    PrintDialog::stopScripting();
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
    if (!FileDialog::unexpectedCalls().isEmpty() || FileDialog::pendingAnswers() > 0)
        out << QStringLiteral("file dialog: unexpected or unused answers");
    if (awaitedModals() > 0)
        out << QStringLiteral("%1 awaited dialog(s) never came").arg(awaitedModals());
    if (PrintDialog::unexpectedCalls() > 0 || PrintDialog::pendingAnswers() > 0)
        out << QStringLiteral("print dialog: unexpected or unused answers");
    return out.join(u'\n');
}
