#include "HelpFile.h"
#include "HelpViewer.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

namespace {
const QString Sample = QStringLiteral("# A comment.\n\n"
                                      "== 10 The list window\n\n"
                                      "First paragraph,\nwrapped.\n\n"
                                      "- One item\n  continued.\n- Two\n\n"
                                      "== 11 The \"Ø\" button\n"
                                      "Clears the ticks.\n");

QString shownTitle() { return HelpViewer::current()->findChild<QLabel*>("lblTitle")->text(); }
QString shownText() { return HelpViewer::current()->findChild<QTextEdit*>("txtTopic")->toPlainText(); }
QListWidget* topicList() { return HelpViewer::current()->findChild<QListWidget*>("lstTopics"); }
} // namespace

class TestHelp : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    QString writeFile(const QByteArray& content, const QString& name = "Cartstock.hlp")
    {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) < 0)
            qFatal("cannot write %s", qPrintable(file.fileName()));
        return file.fileName();
    }

private Q_SLOTS:
    void cleanup()
    {
        HelpViewer::closeViewer();
        HelpViewer::stopScripting();
    }

    // The format

    void linesThatMakeNoSenseAreLeftOutAndNamedUnderTheText_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QStringList>("topics");
        QTest::addColumn<QString>("problem");
        QTest::newRow("text before the first topic")
            << "stray\n# still left out\n== 10 A\none" << QStringList{"A"} << "Line 1: text before the first topic";
        QTest::newRow("no number") << "== 10 A\none\n== x B\nlost\n== 11 C\ntwo" << QStringList{"A", "C"}
                                   << "Line 3: \"== x B\" does not start a topic";
        QTest::newRow("number twice") << "== 10 A\none\n\n== 10 B\nlost" << QStringList{"A"}
                                      << "Line 4: topic 10 is already on line 1";
        QTest::newRow("empty file") << "" << QStringList{} << "";
    }

    // What follows a line left out never ends up in the topic before it.
    void linesThatMakeNoSenseAreLeftOutAndNamedUnderTheText()
    {
        QFETCH(QString, content);
        QFETCH(QStringList, topics);
        QFETCH(QString, problem);
        HelpViewer::showTopic(writeFile(content.toUtf8()), 10);
        QStringList listed;
        for (int i = 0; i < topicList()->count(); ++i)
            listed << topicList()->item(i)->text();
        QCOMPARE(listed, topics);
        QVERIFY2(topics.isEmpty() || (shownText().startsWith("one") && !shownText().contains("lost")),
                 qPrintable(shownText()));
        QVERIFY2(problem.isEmpty() ? !shownText().contains("Line ") : shownText().contains(problem),
                 qPrintable(shownText()));
    }

    // The copy beside the executable is the current one and reads without a problem; every
    // topic a control of either window carries for F1 is in it, with text to read, and a
    // button's topic is titled with its caption.
    void shippedHelpIsCurrentAndHasEveryTopicTheWindowsAskFor()
    {
        QFile source(CARTLIST_HELP_SOURCE);
        QFile copy(CARTLIST_HELP_BESIDE_EXECUTABLE);
        QVERIFY(source.open(QIODevice::ReadOnly) && copy.open(QIODevice::ReadOnly));
        QVERIFY(source.readAll() == copy.readAll());
        const HelpFile help = HelpFile::read(CARTLIST_HELP_BESIDE_EXECUTABLE);
        QVERIFY2(help.isReadable() && help.problems().isEmpty(), qPrintable(help.problems().join('\n')));
        TestSession session;
        TestDatabase db;
        for (const int topic : {frmCartstock::HelpTopic, frmAdding::HelpTopic})
            QVERIFY2(help.lookUp(topic).topic, qPrintable(help.lookUp(topic).failure));
        const auto lookUpTopicsOf = [&](QWidget& window) {
            for (QWidget* control : window.findChildren<QWidget*>()) {
                const int topic = control->property("helpContextID").toInt();
                const HelpFile::Lookup lookup = help.lookUp(topic);
                if (topic == 0)
                    continue;
                QVERIFY2(lookup.topic && lookup.topic->text.size() > 120, qPrintable(control->objectName()));
                if (auto* button = qobject_cast<QAbstractButton*>(control); button && !button->text().isEmpty())
                    QVERIFY2(lookup.topic->title.contains(button->text().remove(u'&')),
                             qPrintable(lookup.topic->title));
            }
        };
        lookUpTopicsOf(frmCartstock::load());
        lookUpTopicsOf(frmAdding::load());
        QVERIFY2(session.problems().isEmpty(), qPrintable(session.problems()));
    }

    // The viewer

    void showsTheTopicAsWritten_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        const QString paragraphs = QStringLiteral("First paragraph, wrapped.\nOne item continued.\nTwo");
        QTest::newRow("paragraphs and a list") << Sample.toUtf8() << 10 << "The list window" << paragraphs;
        QTest::newRow("Windows line ends and stray blanks")
            << QString(Sample).replace("\n", "  \r\n").toUtf8() << 10 << "The list window" << paragraphs;
        QTest::newRow("markup") << QByteArray("== 10 <b>Title</b>\nPress <Enter> & go.") << 10 << "<b>Title</b>"
                                << "Press <Enter> & go.";
        QTest::newRow("no title") << QByteArray("== 42") << 42 << QStringLiteral("Topic 42") << QString();
        QTest::newRow("comment line in a topic")
            << QByteArray("# comment\n== 1 A\n# kept") << 1 << QStringLiteral("A") << QStringLiteral("# kept");
        for (const char* encoded : {"\xEF\xBB\xBF== 15 The \xC3\x98 button\nx", "== 15 The \xD8 button\nx"})
            QTest::newRow(encoded[0] == '=' ? "Latin-1" : "UTF-8 with a byte order mark")
                << QByteArray(encoded) << 15 << QStringLiteral("The Ø button") << QStringLiteral("x");
    }

    void showsTheTopicAsWritten()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, number);
        QFETCH(QString, title);
        QFETCH(QString, text);
        HelpViewer::showTopic(writeFile(file), number);
        QVERIFY(HelpViewer::isViewerOpen());
        QCOMPARE((QStringList{shownTitle(), shownText()}), (QStringList{title, text}));
    }

    // One window, never modal and belonging to none, shows each topic asked for or clicked,
    // read afresh, until Escape closes it.
    void oneWindowShowsEachTopicAskedForOrClickedInItsList()
    {
        QWidget mainWindow;
        mainWindow.show();
        const QString path = writeFile(Sample.toUtf8());
        HelpViewer::showTopic(path, 10, &mainWindow);
        HelpViewer* first = HelpViewer::current();
        QVERIFY(!first->isModal() && QApplication::activeModalWidget() == nullptr && first->parent() == nullptr);
        // A reader lands in the text, named by its topic, read-only, where keys move a caret.
        QVERIFY(QTest::qWaitForWindowActive(first));
        auto* text = first->findChild<QTextEdit*>("txtTopic");
        QCOMPARE(QApplication::focusWidget(), text);
        QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(text);
        QVERIFY(heard->text(QAccessible::Name) == shownTitle() && heard->state().readOnly);
        QTest::keyClick(text, Qt::Key_End);
        QVERIFY(heard->textInterface()->cursorPosition() > 0);
        QListWidget* list = topicList();
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentRow(), 0);
        UserMoves::click(list->viewport(), list->visualItemRect(list->item(1)).center());
        QCOMPARE((QStringList{shownTitle(), shownText()}), (QStringList{"The \"Ø\" button", "Clears the ticks."}));
        HelpViewer::showTopic(path, 10, &mainWindow);
        QCOMPARE(HelpViewer::current(), first);
        QCOMPARE(shownTitle(), QStringLiteral("The list window"));

        // The file is read again for every topic.
        writeFile("== 11 Changed\nNew text.");
        HelpViewer::showTopic(path, 11);
        QCOMPARE(shownText(), QStringLiteral("New text."));
        QCOMPARE(list->count(), 1);

        // Escape and closeViewer close it.
        QTest::keyClick(first, Qt::Key_Escape);
        QVERIFY(!HelpViewer::isViewerOpen());
        HelpViewer::showTopic(path, 10);
        QVERIFY(HelpViewer::isViewerOpen());
        HelpViewer::closeViewer();
        QVERIFY(!HelpViewer::isViewerOpen() && HelpViewer::current() == nullptr);
    }

    void missingFileOrTopicIsSaidAndTheOthersCanStillBeChosen_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<int>("topics");
        QTest::newRow("no file") << "gone.hlp" << 10 << "The help file %1 could not be opened: " << 0;
        QTest::newRow("a folder") << "" << 10 << "The help file %1 could not be opened: " << 0;
        QTest::newRow("no topic") << "Cartstock.hlp" << 99 << "Help topic 99 is not in %1." << 2;
    }

    void missingFileOrTopicIsSaidAndTheOthersCanStillBeChosen()
    {
        QFETCH(QString, name);
        QFETCH(int, number);
        QFETCH(QString, sentence);
        QFETCH(int, topics);
        writeFile(Sample.toUtf8());
        const QString path = name.isEmpty() ? dir.path() : dir.filePath(name);
        HelpViewer::showTopic(path, number);
        // Nothing chooses a topic in the list by itself once the window is up.
        QVERIFY(QTest::qWaitForWindowActive(HelpViewer::current()));
        QVERIFY2(shownText().startsWith(sentence.arg(path)), qPrintable(shownText()));
        QCOMPARE(topicList()->count(), topics);
        QVERIFY(topicList()->currentItem() == nullptr);
    }

    void openHelpDoesNotKeepTheProgramRunning()
    {
        auto* mainWindow = new QWidget;
        mainWindow->setAttribute(Qt::WA_DeleteOnClose);
        mainWindow->show();
        HelpViewer::showTopic(writeFile(Sample.toUtf8()), 10, mainWindow);
        QTimer::singleShot(0, mainWindow, &QWidget::close);
        QTimer stillRunning;
        connect(&stillRunning, &QTimer::timeout, qApp, [] { QApplication::exit(1); });
        stillRunning.start(5000);
        QCOMPARE(QApplication::exec(), 0);
    }
};

CARTLIST_TEST_MAIN(TestHelp)
#include "tst_help.moc"
