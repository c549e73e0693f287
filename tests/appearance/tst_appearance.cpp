#include "Appearance.h"
#include "CommonDialog.h"
#include "DataCombo.h"
#include "DataGrid.h"
#include "DataList.h"
#include "DesignFont.h"
#include "MenuClicks.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "frmAdding.h"
#include "frmCartstock.h"

#include <QApplication>
#include <QColorDialog>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

namespace {
const QColor Cream(255, 255, 224);
const QColor Navy(0, 0, 128);

QColor base(const QWidget* w) { return w->palette().color(QPalette::Base); }
QColor text(const QWidget* w) { return w->palette().color(QPalette::Text); }

frmCartstock& reloadMain()
{
    if (frmCartstock* w = frmCartstock::loaded())
        delete w;
    return frmCartstock::load();
}

frmAdding& reloadEditor()
{
    if (frmAdding* w = frmAdding::loaded())
        delete w;
    return frmAdding::load();
}
} // namespace

class TestAppearance : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> db;

    void setRow(const QString& table, const QVariantList& values)
    {
        db->exec(QStringLiteral("UPDATE %1 SET FontName = ?, FontSize = ?, FontIt = ?, FontBo = ?, BackColor = ?, "
                                "ForeColor = ?")
                     .arg(table),
                 values);
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

    void prefixesChooseControlsCaseSensitively_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("label") << "lblCount" << true;
        QTest::newRow("capital") << "LblCount" << false;
        QTest::newRow("date picker") << "DTPick" << true;
        QTest::newRow("small dt") << "dtPick" << false;
        QTest::newRow("bare prefix") << "lst" << true;
        QTest::newRow("inside") << "myLabel" << false;
    }
    void prefixesChooseControlsCaseSensitively()
    {
        QFETCH(QString, name);
        QFETCH(bool, chosen);
        QCOMPARE(Appearance::matches(name, {"lst*", "lbl*", "DT*"}), chosen);
    }

    void coloursKeepRedInTheLowestByte()
    {
        QCOMPARE(Appearance::storedFromColor(QColor(1, 2, 3)), 0x030201);
        QCOMPARE(Appearance::colorFromStored(0x030201), QColor(1, 2, 3));
        QVERIFY(!Appearance::colorFromStored(QVariant()).isValid());
    }

    void mainWindowLoadStylesItsListsButNotItsButtons()
    {
        setRow(QStringLiteral("Settings"), {QStringLiteral("Courier"), 12.0, 1, 1, 14745599, 8388608});
        frmCartstock& w = frmCartstock::load();
        for (QWidget* c : QList<QWidget*>{w.lstCat, w.lstRecent, w.lvwItems, w.grdList}) {
            QCOMPARE(c->font().family(), QStringLiteral("Courier"));
            QVERIFY(c->font().bold() && c->font().italic());
            QCOMPARE(c->font().pointSizeF(), 12.0);
            QCOMPARE(base(c), Cream);
            QCOMPARE(text(c), Navy);
        }
        QCOMPARE(w.lblCount->palette().color(QPalette::Window), Cream);
        QCOMPARE(w.lblCount->palette().color(QPalette::WindowText), Navy);
        QCOMPARE(Appearance::windowBackColor(w), Navy);
        QCOMPARE(w.cmdAll->font().family(), QStringLiteral("Souvenir Lt BT"));
        QCOMPARE(w.DTPick->font().family(), QStringLiteral("Souvenir Lt BT"));
        QVERIFY(w.cmdAll->palette().color(QPalette::Button) != Cream);
    }

    void nullColumnsGiveArialTenAndLeaveColoursAsDesigned()
    {
        setRow(QStringLiteral("Settings"), {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()});
        auto* stray = new QLabel;
        frmCartstock& w = frmCartstock::load();
        const QColor designed = base(w.lstCat);
        QCOMPARE(w.lstCat->font().family(), QStringLiteral("Arial"));
        QCOMPARE(w.lstCat->font().pointSizeF(), 10.0);
        QVERIFY(!w.lstCat->font().bold() && !w.lstCat->font().italic());
        QCOMPARE(base(w.lstCat), designed);
        QVERIFY(!w.centralWidget()->autoFillBackground());

        // A control named with a capital where the rule has a small letter is not chosen.
        stray->setParent(w.centralWidget());
        stray->setObjectName(QStringLiteral("LblNote"));
        w.CheckSettings();
        QCOMPARE(stray->font().family(), w.font().family());
    }

    void emptyTableLeavesTheDesignAndOnlyTheFirstRowCounts()
    {
        db->exec(QStringLiteral("DELETE FROM Settings"));
        frmCartstock& w = frmCartstock::load();
        QCOMPARE(w.lstCat->font().family(), QStringLiteral("Souvenir Lt BT"));
        // Choosing with no row to store it in says so and stores nothing.
        CommonDialog::queueColor(Qt::red);
        TestSession::answer(MessageBox::Answer::Ok);
        w.mnuBackColor->trigger();
        QCOMPARE(TestSession::messages().size(), 1);
        QCOMPARE(db->count(QStringLiteral("Settings")), 0);

        db->exec(QStringLiteral("INSERT INTO Settings VALUES ('Courier', 11, 0, 0, 255, 0)"));
        db->exec(QStringLiteral("INSERT INTO Settings VALUES ('Symbol', 30, 1, 1, 65280, 16711680)"));
        frmCartstock& again = reloadMain();
        QCOMPARE(again.lstCat->font().family(), QStringLiteral("Courier"));
        QCOMPARE(base(again.lstCat), QColor(Qt::red));
        CommonDialog::queueColor(QColor(0, 0, 255));
        again.mnuBackColor->trigger();
        QCOMPARE(db->column(QStringLiteral("SELECT BackColor FROM Settings ORDER BY rowid")),
                 (QVariantList{16711680, 65280}));
    }

    void editorLabelsSwapAndButtonsKeepTheirText()
    {
        setRow(QStringLiteral("Settings2"), {QStringLiteral("Courier"), 9.0, 0, 0, 14745599, 8388608});
        frmAdding& e = frmAdding::load();
        const QColor buttonText = QApplication::palette().color(QPalette::ButtonText);
        QCOMPARE(e.cmdAdd->palette().color(QPalette::Button), Cream);
        QCOMPARE(e.cmdAdd->palette().color(QPalette::ButtonText), buttonText);
        QCOMPARE(e.cmdFirst->font().family(), QStringLiteral("Courier"));
        for (QLabel* label : QList<QLabel*>{e.lblLabels[0], e.lblLabels[3], e.lblStatus, e.lblSearchBox}) {
            QCOMPARE(label->palette().color(QPalette::Window), Navy);
            QCOMPARE(label->palette().color(QPalette::WindowText), Cream);
        }
        QCOMPARE(base(e.txtFields[3]), Cream);
        QCOMPARE(text(e.cboFind), Navy);
        QCOMPARE(Appearance::windowBackColor(e), Navy);
        QVERIFY(e.picButtons->palette().color(QPalette::Window) != Navy);
    }

    void chosenFontIsStoredAndComesBackAtTheNextLoad()
    {
        frmCartstock& w = frmCartstock::load();
        CommonDialog::queueFont({QStringLiteral("Courier"), 14.25, true, false});
        w.mnuFont->trigger();
        // The dialog opened on the window's design font.
        QCOMPARE(CommonDialog::shownWith(), QStringList{"Souvenir Lt BT 9.75"});
        QCOMPARE(w.cmdAll->font().family(), QStringLiteral("Courier"));
        QCOMPARE(w.DTPick->font().pointSizeF(), 14.25);
        QCOMPARE(db->column(QStringLiteral(
                     "SELECT FontName || '/' || FontSize || '/' || FontBo || '/' || FontIt FROM Settings")),
                 QVariantList{"Courier/14.25/1/0"});
        QCOMPARE(db->scalar(QStringLiteral("SELECT FontName FROM Settings2")).toString(), QStringLiteral("Arial"));

        frmCartstock& again = reloadMain();
        QCOMPARE(again.lstCat->font().family(), QStringLiteral("Courier"));
        QVERIFY(again.lstCat->font().bold());
        QCOMPARE(again.cmdAll->font().family(), QStringLiteral("Souvenir Lt BT"));
        QCOMPARE(again.DTPick->font().family(), QStringLiteral("Souvenir Lt BT"));
        // Opening the dialog again starts from the design font, not the chosen one.
        CommonDialog::queueCancel();
        again.mnuFont->trigger();
        QCOMPARE(CommonDialog::shownWith().last(), QStringLiteral("Souvenir Lt BT 9.75"));

        frmAdding& editor = frmAdding::load();
        QCOMPARE(editor.txtFields[3]->font().family(), QStringLiteral("Arial"));
    }

    void designFacesAreReadFromTheirOpenTypeCopies()
    {
        // An OpenType copy holds its outlines in a CFF table; a Type 1 file has no tables.
        for (const char* design : {"Souvenir Lt BT", "Arial", "AvantGarde Bk BT", "Benguiat Bk BT"}) {
            const QRawFont raw = QRawFont::fromFont(DesignFont::make(QString::fromLatin1(design), 9.75, true));
            QVERIFY2(raw.isValid(), design);
            QVERIFY2(!raw.fontTable("CFF ").isEmpty(), design);
        }
        // No family is lost by leaving the Type 1 copies out.
        // A family with faces from two foundries is listed once for each, as "Family [Foundry]".
        QStringList families;
        for (const QString& listed : QFontDatabase::families())
            families << listed.section(QStringLiteral(" ["), 0, 0);
        for (const char* family : {"C059", "Nimbus Mono PS", "Nimbus Roman", "Nimbus Sans", "Nimbus Sans Narrow",
                                   "P052", "URW Bookman", "URW Gothic", "Z003"})
            QVERIFY2(families.contains(QString::fromLatin1(family)), family);
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
        QMainWindow& window = editor ? static_cast<QMainWindow&>(reloadEditor()) : reloadMain();
        window.show();
        CommonDialog::stopScripting();
        QFont shown;
        // The user looks at the dialog and presses OK at once.
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll.stop();
            shown = dialog->currentFont();
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        poll.start();
        chooseFromMenu(window, QStringLiteral("Options"), QStringLiteral("Font"));
        CommonDialog::startScripting();

        const bool italic = !editor;
        const QFont design = DesignFont::make(QStringLiteral("Souvenir Lt BT"), 9.75, italic);
        QCOMPARE(shown.family(), QFontInfo(design).family());
        QCOMPARE(shown.pointSize(), 10);
        QCOMPARE(shown.italic(), italic);
        const QString table = editor ? QStringLiteral("Settings2") : QStringLiteral("Settings");
        QCOMPARE(db->scalar(QStringLiteral("SELECT FontName FROM ") + table).toString(),
                 QStringLiteral("Souvenir Lt BT"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT FontSize FROM ") + table).toDouble(), 9.75);
        QCOMPARE(db->scalar(QStringLiteral("SELECT FontIt FROM ") + table).toBool(), italic);
    }

    void realColourDialogStoresWhatIsChosenAndCancelKeepsTheRow()
    {
        frmCartstock& w = reloadMain();
        w.show();
        const QVariant stored = db->scalar(QStringLiteral("SELECT BackColor FROM Settings"));
        CommonDialog::stopScripting();
        QString title;
        QDialogButtonBox::StandardButton press = QDialogButtonBox::Cancel;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll.stop();
            title = dialog->windowTitle();
            dialog->setCurrentColor(QColor(0, 128, 255));
            QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(press), Qt::LeftButton);
        });
        poll.start();
        chooseFromMenu(w, QStringLiteral("Options"), QStringLiteral("Back Color"));
        QCOMPARE(title, QStringLiteral("BackColor"));
        QCOMPARE(db->scalar(QStringLiteral("SELECT BackColor FROM Settings")), stored);

        press = QDialogButtonBox::Ok;
        poll.start();
        chooseFromMenu(w, QStringLiteral("Options"), QStringLiteral("Back Color"));
        CommonDialog::startScripting();
        QCOMPARE(db->scalar(QStringLiteral("SELECT BackColor FROM Settings")).toLongLong(),
                 0xFF8000); // blue 255, green 128, red 0
        QCOMPARE(base(w.lstCat), QColor(0, 128, 255));
    }

    void chosenColoursApplyAtOnceAndAreStored()
    {
        frmCartstock& w = frmCartstock::load();
        CommonDialog::queueColor(QColor(10, 20, 30));
        w.mnuFontColor->trigger();
        QCOMPARE(Appearance::windowBackColor(w), QColor(10, 20, 30));
        QCOMPARE(text(w.lvwItems), QColor(10, 20, 30));
        QCOMPARE(db->scalar(QStringLiteral("SELECT ForeColor FROM Settings")).toLongLong(), 30 * 65536 + 20 * 256 + 10);
        CommonDialog::queueColor(QColor(200, 210, 220));
        w.mnuBackColor->trigger();
        QCOMPARE(w.cmdAll->palette().color(QPalette::Button), QColor(200, 210, 220));
        QCOMPARE(base(w.grdList), QColor(200, 210, 220));
        QCOMPARE(Appearance::windowBackColor(w), QColor(10, 20, 30));
        QCOMPARE(CommonDialog::shownWith(), (QStringList{"ForeColor", "BackColor"}));

        frmAdding& e = reloadEditor();
        CommonDialog::queueColor(QColor(40, 50, 60));
        e.mnuFontColor->trigger();
        QCOMPARE(e.lblStatus->palette().color(QPalette::Window), QColor(40, 50, 60));
        QCOMPARE(e.cmdAdd->palette().color(QPalette::ButtonText), QApplication::palette().color(QPalette::ButtonText));
        CommonDialog::queueColor(QColor(250, 240, 230));
        e.mnuBackColor->trigger();
        QCOMPARE(e.lblStatus->palette().color(QPalette::WindowText), QColor(250, 240, 230));
        QCOMPARE(e.cmdAdd->palette().color(QPalette::Button), QColor(250, 240, 230));
        QCOMPARE(db->scalar(QStringLiteral("SELECT BackColor FROM Settings2")).toLongLong(),
                 230 * 65536 + 240 * 256 + 250);
        QCOMPARE(db->scalar(QStringLiteral("SELECT ForeColor FROM Settings")).toLongLong(), 30 * 65536 + 20 * 256 + 10);

        frmAdding& again = reloadEditor();
        QCOMPARE(again.lblLabels[1]->palette().color(QPalette::WindowText), QColor(250, 240, 230));
        QCOMPARE(Appearance::windowBackColor(again), QColor(40, 50, 60));
    }

    void cancelChangesNothingAndStoresNothing()
    {
        frmCartstock& w = frmCartstock::load();
        const QFont before = w.lstCat->font();
        const QColor ground = Appearance::windowBackColor(w);
        CommonDialog::queueCancel();
        w.mnuFont->trigger();
        CommonDialog::queueCancel();
        w.mnuFontColor->trigger();
        CommonDialog::queueCancel();
        w.mnuBackColor->trigger();
        QCOMPARE(w.lstCat->font(), before);
        QCOMPARE(Appearance::windowBackColor(w), ground);
        QCOMPARE(db->column(QStringLiteral("SELECT FontName || FontSize || BackColor || ForeColor FROM Settings")),
                 QVariantList{"Arial10.0147455998388608"});
    }
};

QTEST_MAIN(TestAppearance)
#include "tst_appearance.moc"
