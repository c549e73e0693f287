#include "MessageBox.h"
#include "RealMessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QStyle>
#include <QTest>

using Buttons = MessageBox::Buttons;
using Answer = MessageBox::Answer;
Q_DECLARE_METATYPE(Buttons)
Q_DECLARE_METATYPE(Answer)

// The real box, without an icon, answered with the mouse, the keyboard or its title bar.
class TestMessageBox : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void realBoxGivesTheAnswerOfWhatTheUserDid_data()
    {
        QTest::addColumn<Buttons>("buttons");
        QTest::addColumn<QString>("action");
        QTest::addColumn<Answer>("expected");
        QTest::newRow("OK alone, Escape") << Buttons::Ok << "Escape" << Answer::Ok;
        QTest::newRow("OK/Cancel, OK clicked") << Buttons::OkCancel << "OK" << Answer::Ok;
        QTest::newRow("OK/Cancel, Return") << Buttons::OkCancel << "Return" << Answer::Ok;
        QTest::newRow("OK/Cancel, Cancel clicked") << Buttons::OkCancel << "Cancel" << Answer::Cancel;
        QTest::newRow("OK/Cancel, Escape") << Buttons::OkCancel << "Escape" << Answer::Cancel;
        QTest::newRow("Yes/No, Yes clicked") << Buttons::YesNo << "Yes" << Answer::Yes;
        QTest::newRow("Yes/No, No clicked") << Buttons::YesNo << "No" << Answer::No;
        QTest::newRow("Yes/No, Escape") << Buttons::YesNo << "Escape" << Answer::No;
        QTest::newRow("Yes/No, title bar") << Buttons::YesNo << "close" << Answer::No;
    }

    void realBoxGivesTheAnswerOfWhatTheUserDid()
    {
        QFETCH(Buttons, buttons);
        QFETCH(QString, action);
        QFETCH(Answer, expected);
        RealMessageBox user;
        const Qt::Key key = action == QLatin1String("Escape") ? Qt::Key_Escape : Qt::Key_Return;
        if (action == QLatin1String("close"))
            user.then([](QMessageBox& box) { box.close(); });
        else if (action == QLatin1String("Escape") || action == QLatin1String("Return"))
            user.then([key](QMessageBox& box) { QTest::keyClick(&box, key); });
        else
            user.thenClick(action);
        QCOMPARE(MessageBox::show(QStringLiteral("Go on?"), buttons), expected);
        QVERIFY(user.allAnswered());
        QCOMPARE(user.titles(), QStringList{"Cartlist"});
        QCOMPARE(user.icons(), QList<QMessageBox::Icon>{QMessageBox::NoIcon});
    }

    // On Wayland the program draws the box's title bar: its title must fit beside the buttons.
    void theBoxIsWideEnoughForItsTitleAndOverItsWindow()
    {
        RealMessageBox user;
        int width = 0;
        // Opened with no window named, the box belongs to the one the user is in: the desktop
        // opens it over that window.
        QWidget window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget* owner = nullptr;
        user.then([&](QMessageBox& box) {
            width = box.width();
            owner = box.parentWidget();
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        MessageBox::show(QStringLiteral("Version: 2.2.1"));
        QCOMPARE(owner, &window);
        const int title =
            QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(MessageBox::Title);
        // Centred, the title has the buttons' room on both sides.
        QVERIFY(width >= title + 2 * 4 * QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
    }
};

CARTLIST_TEST_MAIN(TestMessageBox)
#include "tst_message_box.moc"
