#include "Appearance.h"
#include "CommonDialog.h"
#include "DataList.h"
#include "DesignFont.h"
#include "MenuClicks.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "WhenShown.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QColorDialog>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QTest>
#include <QTreeView>

#include <memory>

using namespace UserMoves;

namespace {
DataList* lstCat(const QWidget& window) { return control<DataList>(window, "lstCat"); }

// The window loaded afresh, as the next start shows it.
template <typename Window> Window& reload()
{
    delete Window::loaded();
    Window& w = Window::load();
    w.show();
    return w;
}

// What the user sees of a control, taken from its window as painted.
QImage seen(QWidget* control)
{
    return control->window()->grab().toImage().copy(
        QRect(control->mapTo(control->window(), QPoint()), control->size()));
}

// The colour of the control's ground: the one most of a line three quarters down is painted in
// (a line, as a button's ground is shaded from top to bottom).
QColor ground(QWidget* control)
{
    const QImage shot = seen(control);
    QHash<QRgb, int> count;
    for (int x = 0; x < shot.width(); ++x)
        ++count[shot.pixel(x, shot.height() * 3 / 4)];
    return QColor::fromRgb(std::max_element(count.cbegin(), count.cend()).key());
}

// Fusion shades a button's ground a little from top to bottom, and text is smoothed at its edges.
bool nearly(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) < 40;
}

// Whether some of the control's text is painted in this colour.
bool writesIn(QWidget* control, const QColor& colour)
{
    const QImage shot = seen(control);
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (nearly(shot.pixelColor(x, y), colour))
                return true;
        }
    }
    return false;
}

// The window's own ground: a point of its client area that no control covers.
QColor windowGround(QMainWindow& window)
{
    QWidget* client = window.centralWidget();
    const QImage shot = seen(client);
    for (int y = 2; y < client->height(); y += 4) {
        for (int x = 2; x < client->width(); x += 4) {
            if (!client->childAt(x, y))
                return shot.pixelColor(x, y);
        }
    }
    return {};
}

// The contrast of a button's caption on its ground, as painted: its most contrasting pixel
// inside the frame against the ground.
double captionContrast(QWidget* button)
{
    const QColor on = ground(button);
    const QImage inside = seen(button).copy(button->rect().adjusted(4, 4, -4, -4));
    double best = 1;
    for (int y = 0; y < inside.height(); ++y) {
        for (int x = 0; x < inside.width(); ++x)
            best = std::max(best, Appearance::contrast(inside.pixelColor(x, y), on));
    }
    return best;
}
} // namespace

class TestAppearance : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> db;

    QVariant row(const QString& table)
    {
        return db->scalar(
            QStringLiteral("SELECT quote(FontName) || quote(FontSize) || quote(FontIt) || quote(FontBo) || "
                           "quote(BackColor) || quote(ForeColor) FROM ") +
            table);
    }

private Q_SLOTS:
    void init()
    {
        session = std::make_unique<TestSession>();
        db = std::make_unique<TestDatabase>();
    }
    void cleanup()
    {
        db.reset();
        CARTLIST_CHECK_SESSION(session);
    }

    // No row leaves the design, and a choice made then is stored nowhere; a row of nulls gives
    // Arial 10 and the designed colours; of two rows the first counts.
    void settingsThatHoldNothingLeaveTheDesignAndOnlyTheFirstRowCounts()
    {
        db->exec(QStringLiteral("DELETE FROM Settings"));
        frmCartstock& designed = reload<frmCartstock>();
        QCOMPARE(lstCat(designed)->font().family(), QStringLiteral("Souvenir Lt BT"));
        const QColor list = ground(lstCat(designed)), window = windowGround(designed);
        CommonDialog::queueColor(Qt::red);
        TestSession::answer(MessageBox::Answer::Ok);
        choose(designed, "mnuBackColor");
        QCOMPARE(TestSession::messages().size(), 1);
        QCOMPARE(db->count(QStringLiteral("Settings")), 0);

        db->exec(QStringLiteral("INSERT INTO Settings VALUES (NULL, NULL, NULL, NULL, NULL, NULL)"));
        frmCartstock& w = reload<frmCartstock>();
        QCOMPARE(lstCat(w)->font().family(), QStringLiteral("Arial"));
        QCOMPARE(lstCat(w)->font().pointSizeF(), 10.0);
        QVERIFY(!lstCat(w)->font().bold() && !lstCat(w)->font().italic());
        QCOMPARE(ground(lstCat(w)), list);
        QCOMPARE(windowGround(w), window);

        db->exec(QStringLiteral("DELETE FROM Settings"));
        db->exec(QStringLiteral("INSERT INTO Settings VALUES ('Courier', 11, 0, 0, 255, 0)"));
        db->exec(QStringLiteral("INSERT INTO Settings VALUES ('Symbol', 30, 1, 1, 65280, 16711680)"));
        frmCartstock& again = reload<frmCartstock>();
        QCOMPARE(lstCat(again)->font().family(), QStringLiteral("Courier"));
        QCOMPARE(ground(lstCat(again)), QColor(Qt::red));
        const QVariantList second = db->column(QStringLiteral("SELECT BackColor FROM Settings WHERE rowid = 2"));
        CommonDialog::queueColor(Qt::blue);
        choose(again, "mnuBackColor");
        QCOMPARE(ground(lstCat(reload<frmCartstock>())), QColor(Qt::blue));
        QCOMPARE(db->column(QStringLiteral("SELECT BackColor FROM Settings WHERE rowid = 2")), second);
    }

    void chosenFontIsStoredAndComesBackAtTheNextLoad()
    {
        frmCartstock& w = reload<frmCartstock>();
        CommonDialog::queueFont({QStringLiteral("Courier"), 14.25, true, false});
        choose(w, "mnuFont");
        QCOMPARE(control(w, "cmdAll")->font().family(), QStringLiteral("Courier"));
        QCOMPARE(control(w, "DTPick")->font().pointSizeF(), 14.25);
        const QVariant editorRow = row(QStringLiteral("Settings2"));

        frmCartstock& again = reload<frmCartstock>();
        QCOMPARE(lstCat(again)->font().family(), QStringLiteral("Courier"));
        QVERIFY(lstCat(again)->font().bold() && !lstCat(again)->font().italic());
        QCOMPARE(lstCat(again)->font().pointSizeF(), 14.25);
        QCOMPARE(control(again, "cmdAll")->font().family(), QStringLiteral("Souvenir Lt BT"));
        QCOMPARE(control(again, "DTPick")->font().family(), QStringLiteral("Souvenir Lt BT"));
        // Opening the dialog again starts from the design font, not the chosen one.
        const QVariant chosen = row(QStringLiteral("Settings"));
        CommonDialog::queueCancel();
        choose(again, "mnuFont");
        QCOMPARE(row(QStringLiteral("Settings")), chosen);
        QCOMPARE(lstCat(again)->font().family(), QStringLiteral("Courier"));
        QCOMPARE(CommonDialog::shownWith().last(), QStringLiteral("Souvenir Lt BT 9.75"));
        QCOMPARE(row(QStringLiteral("Settings2")), editorRow);
    }

    void realFontDialogOpensOnTheDesignFaceAndOkKeepsIt_data()
    {
        QTest::addColumn<bool>("editor");
        QTest::newRow("main window") << false;
        QTest::newRow("item editor") << true;
    }

    void realFontDialogOpensOnTheDesignFaceAndOkKeepsIt()
    {
        QFETCH(bool, editor);
        QMainWindow& window = editor ? static_cast<QMainWindow&>(reload<frmAdding>()) : reload<frmCartstock>();
        CommonDialog::stopScripting();
        QFont shown;
        // The user looks at the dialog and presses OK at once.
        whenModal<QFontDialog>([&](QFontDialog& dialog) {
            shown = dialog.currentFont();
            click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        });
        chooseFromMenu(window, QStringLiteral("Options"), QStringLiteral("Font"));
        CommonDialog::startScripting();

        const bool italic = !editor;
        const QFont design = DesignFont::make(QStringLiteral("Souvenir Lt BT"), 9.75, italic);
        QCOMPARE(shown.family(), QFontInfo(design).family());
        QCOMPARE(shown.pointSize(), 10);
        QCOMPARE(shown.italic(), italic);
        QWidget* list = editor ? control(reload<frmAdding>(), "txtFields", frmAdding::ItemField)
                               : control(reload<frmCartstock>(), "lstCat");
        QCOMPARE(list->font().family(), QStringLiteral("Souvenir Lt BT"));
        QCOMPARE(list->font().pointSizeF(), 9.75);
        QCOMPARE(list->font().italic(), italic);
    }

    void realColourDialogPaintsWhatIsChosenAndCancelKeepsTheLook()
    {
        frmCartstock* w = &reload<frmCartstock>();
        const QColor before = ground(lstCat(*w));
        const QVariant stored = row(QStringLiteral("Settings"));
        CommonDialog::stopScripting();
        QString title;
        for (const auto press : {QDialogButtonBox::Cancel, QDialogButtonBox::Ok}) {
            whenModal<QColorDialog>([&](QColorDialog& dialog) {
                title = dialog.windowTitle();
                dialog.setCurrentColor(QColor(0, 128, 255));
                click(dialog.findChild<QDialogButtonBox*>()->button(press));
            });
            chooseFromMenu(*w, QStringLiteral("Options"), QStringLiteral("Back Color"));
            QCOMPARE(title, QStringLiteral("BackColor"));
            QCOMPARE(ground(lstCat(*w)), press == QDialogButtonBox::Ok ? QColor(0, 128, 255) : before);
            if (press == QDialogButtonBox::Cancel)
                QCOMPARE(row(QStringLiteral("Settings")), stored);
            w = &reload<frmCartstock>();
            QCOMPARE(ground(lstCat(*w)), press == QDialogButtonBox::Ok ? QColor(0, 128, 255) : before);
        }
        CommonDialog::startScripting();
    }

    void chosenColoursArePaintedAtOnceAndAtTheNextLoad()
    {
        frmCartstock& w = reload<frmCartstock>();
        CommonDialog::queueColor(QColor(10, 20, 30));
        choose(w, "mnuFontColor");
        CommonDialog::queueColor(QColor(200, 210, 220));
        choose(w, "mnuBackColor");
        QCOMPARE(CommonDialog::shownWith(), (QStringList{"ForeColor", "BackColor"}));
        // At once, the buttons too; at the next load, the lists and labels only.
        QVERIFY(nearly(ground(control(w, "cmdAll")), QColor(200, 210, 220)));
        for (frmCartstock* main : {&w, static_cast<frmCartstock*>(nullptr)}) {
            frmCartstock& shown = main ? *main : reload<frmCartstock>();
            for (const char* name : {"lstCat", "lstRecent", "lvwItems", "lblCount"})
                QCOMPARE(ground(control(shown, name)), QColor(200, 210, 220));
            // The count's border, one pixel inside its ground, shows on a window of its text colour.
            const QImage count = seen(control(shown, "lblCount"));
            QCOMPARE(count.pixelColor(0, count.height() / 2), QColor(200, 210, 220));
            QCOMPARE(count.pixelColor(1, count.height() / 2), QColor(10, 20, 30));
            QCOMPARE(windowGround(shown), QColor(10, 20, 30));
        }
        QVERIFY(!nearly(ground(control(*frmCartstock::loaded(), "cmdAll")), QColor(200, 210, 220)));

        frmAdding& e = reload<frmAdding>();
        const QColor buttonText = control(e, "cmdAdd")->palette().color(QPalette::ButtonText);
        CommonDialog::queueColor(QColor(40, 50, 60));
        choose(e, "mnuFontColor");
        CommonDialog::queueColor(QColor(250, 240, 230));
        choose(e, "mnuBackColor");
        // The editor's labels show the two colours the other way round.
        for (frmAdding* shown : {&e, static_cast<frmAdding*>(nullptr)}) {
            frmAdding& editor = shown ? *shown : reload<frmAdding>();
            for (const char* label : {"lblLabels", "lblStatus", "lblSearchBox"}) {
                QCOMPARE(ground(control(editor, label)), QColor(40, 50, 60));
                QVERIFY(writesIn(control(editor, label), QColor(250, 240, 230)));
            }
            QVERIFY(nearly(ground(control(editor, "cmdAdd")), QColor(250, 240, 230)));
            QVERIFY(writesIn(control(editor, "cmdAdd"), buttonText));
            QCOMPARE(ground(control(editor, "txtFields", frmAdding::ItemField)), QColor(250, 240, 230));
            QCOMPARE(windowGround(editor), QColor(40, 50, 60));
            QVERIFY(ground(control(editor, "picButtons")) != QColor(40, 50, 60));
        }
        QCOMPARE(windowGround(reload<frmCartstock>()), QColor(10, 20, 30));
    }

    void captionsOnAStoredGroundReadOnAnyDesktop_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("dark desktop") << true;
        QTest::newRow("light desktop") << false;
    }

    // Light text of a dark desktop on a light stored ground turns dark; a light desktop's stays.
    void captionsOnAStoredGroundReadOnAnyDesktop()
    {
        QFETCH(bool, dark);
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        // A dark button colour gives white text on dark grounds, as dark desktops have.
        const QPalette desktop = dark ? QPalette(QColor(53, 53, 53)) : before;
        QApplication::setPalette(desktop);
        // Light yellow, at load in the editor, where buttons take no text colour.
        db->exec(QStringLiteral("UPDATE Settings2 SET BackColor = ?"),
                 {Appearance::storedFromColor(QColor(255, 255, 192))});
        frmAdding& e = reload<frmAdding>();
        QVERIFY(captionContrast(control(e, "cmdAdd")) >= Appearance::ReadableContrast);
        if (!dark)
            QCOMPARE(control(e, "cmdAdd")->palette().color(QPalette::ButtonText), desktop.color(QPalette::ButtonText));
        // Light blue, chosen in the main window.
        frmCartstock& w = reload<frmCartstock>();
        CommonDialog::queueColor(QColor(173, 216, 230));
        choose(w, "mnuBackColor");
        QVERIFY(captionContrast(control(w, "cmdAll")) >= Appearance::ReadableContrast);
        if (!dark)
            QCOMPARE(control(w, "cmdAll")->palette().color(QPalette::ButtonText), desktop.color(QPalette::ButtonText));
    }

    // Fault: with a dark back colour and no text colour stored, the editor's labels (the back
    // colour is their text) were painted in it on a ground of it.
    void editorLabelsReadWithOnlyABackColour()
    {
        QFETCH(bool, dark);
        const QPalette before = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        QApplication::setPalette(dark ? QPalette(QColor(53, 53, 53)) : before);
        const QColor navy(0, 0, 128);
        db->exec(QStringLiteral("UPDATE Settings2 SET BackColor = ?, ForeColor = NULL"),
                 {Appearance::storedFromColor(navy)});
        for (const bool chosen : {false, true}) {
            frmAdding& e = reload<frmAdding>();
            if (chosen) {
                CommonDialog::queueColor(navy);
                choose(e, "mnuBackColor");
            }
            QList<QWidget*> labels{control(e, "lblSearchBox"), control(e, "lblCatList"), control(e, "lblStatus")};
            for (int i = 0; i < 4; ++i)
                labels << control(e, "lblLabels", i);
            for (QWidget* label : labels)
                QVERIFY2(captionContrast(label) >= Appearance::ReadableContrast, qPrintable(label->objectName()));
        }
    }
    void editorLabelsReadWithOnlyABackColour_data() { captionsOnAStoredGroundReadOnAnyDesktop_data(); }
};

CARTLIST_TEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
