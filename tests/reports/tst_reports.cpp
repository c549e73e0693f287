#include "BandedReport.h"
#include "DataEnvironment.h"
#include "FileDialog.h"
#include "Paginator.h"
#include "PrintDialog.h"
#include "PrintSystem.h"
#include "QrCode.h"
#include "QrCodeWindow.h"
#include "ReportPreview.h"
#include "ReportRenderer.h"
#include "SetConnections.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "UserMoves.h"
#include "WhenShown.h"
#include "rptAisle.h"
#include "rptAll.h"
#include "rptPrint.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDate>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include <memory>

#include <cups/cups.h>

using UserMoves::click;
using UserMoves::control;
using UserMoves::DialogPart;
using UserMoves::part;
using UserMoves::previewWindows;

namespace {
const QDate ListDate(2026, 12, 5);

// What the Print menu does: a fresh run of the command, then the report re-reads it.
BandedReport& printed(const QString& report, const QDate& date = ListDate)
{
    BandedReport& r = report == QLatin1String("rptPrint")   ? static_cast<BandedReport&>(rptPrint::instance())
                      : report == QLatin1String("rptAisle") ? static_cast<BandedReport&>(rptAisle::instance())
                                                            : static_cast<BandedReport&>(rptAll::instance());
    ResultSet& rs = DECartstock().resultSet(QStringLiteral("rs") + r.layout().dataMember);
    if (rs.state() == 1)
        rs.close();
    DECartstock().run(r.layout().dataMember, report == QLatin1String("rptAll") ? QVariant() : QVariant(date));
    r.refresh();
    return r;
}

// Group headings as "# heading", detail rows as their text boxes' texts joined by " | ".
QStringList outline(const PageList& pages)
{
    QStringList out;
    for (const PageList::Page& page : pages.pages) {
        for (const PageList::Band& band : page.bands) {
            QStringList texts;
            for (const PageList::Item& item : band.items) {
                if (item.control.kind == ReportControl::Kind::TextBox)
                    texts << item.text;
            }
            if (band.kind == ReportBand::Kind::GroupHeader)
                out << QStringLiteral("# ") + texts.join(QString());
            else if (band.kind == ReportBand::Kind::Detail)
                out << texts.join(QStringLiteral(" | "));
        }
    }
    return out;
}

const PageList::Item* itemNamed(const PageList::Band& band, const QString& name)
{
    for (const PageList::Item& item : band.items) {
        if (item.control.name == name)
            return &item;
    }
    return nullptr;
}

QImage rendered(const PageList& pages, int page, double scale)
{
    QImage image((QSizeF(pages.paper) * scale).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ReportRenderer::paintPage(painter, pages.pages.at(page), QPointF(), scale);
    return image;
}

int inkIn(const QImage& image, const QRect& area)
{
    int ink = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                ++ink;
        }
    }
    return ink;
}

// The output of a poppler-utils tool (installed by tools/install-deps).
QByteArray poppler(const char* tool, const QStringList& args)
{
    QProcess run;
    run.start(QStandardPaths::findExecutable(QString::fromLatin1(tool)), args);
    run.waitForFinished(30000);
    return run.readAllStandardOutput();
}

// The text of a PDF as pdftotext reads it, of one page or, with page 0, of all.
QString pdfText(const QString& fileName, int page = 0)
{
    const QString n = QString::number(page);
    const QStringList pages = page > 0 ? QStringList{QStringLiteral("-f"), n, QStringLiteral("-l"), n} : QStringList();
    return QString::fromUtf8(poppler("pdftotext", pages + QStringList{fileName, QStringLiteral("-")}));
}

// A PDF page as a picture, `dpi` dots an inch.
QImage pdfPicture(const QString& fileName, int page, double dpi)
{
    const QString n = QString::number(page);
    return QImage::fromData(poppler("pdftoppm", {QStringLiteral("-f"), n, QStringLiteral("-l"), n, QStringLiteral("-r"),
                                                 QString::number(dpi), QStringLiteral("-png"), fileName}),
                            "PNG");
}

// The first detail row of a page, as its item's text.
QString firstItemOf(const PageList::Page& page)
{
    for (const PageList::Band& band : page.bands) {
        if (band.kind == ReportBand::Kind::Detail)
            return itemNamed(band, QStringLiteral("txtItem"))->text;
    }
    return {};
}

// A wheel turned over a widget as Qt delivers one from the mouse: to the widget under the
// pointer, then up its parents while they ignore it. (A wheel event a test sends is not
// passed on to the parents by Qt 6, so the walk is done here.)
void turnWheel(QWidget* under, int angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPoint spot = under->mapToGlobal(under->rect().center());
    for (QWidget* target = under; target; target = target->isWindow() ? nullptr : target->parentWidget()) {
        QWheelEvent event(QPointF(target->mapFromGlobal(spot)), QPointF(spot), QPoint(), QPoint(0, angle), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
        if (event.isAccepted())
            return;
    }
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

QByteArray fileContent(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(not there)");
}

// The code window a preview opened.
QrCodeWindow* codeWindow()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<QrCodeWindow*>(w); window && window->isVisible())
            return window;
    }
    return nullptr;
}

// What a phone's camera reads from the code the window shows (zbarimg adds a line break).
QByteArray scanned(QrCodeWindow& window, const QString& folder)
{
    const QString png = QDir(folder).filePath(QStringLiteral("code.png"));
    if (!window.findChild<QWidget*>(QStringLiteral("picCode"))->grab().save(png))
        return "(not saved)";
    QProcess zbar;
    zbar.start(QStandardPaths::findExecutable(QStringLiteral("zbarimg")),
               {QStringLiteral("--raw"), QStringLiteral("-q"), png});
    zbar.waitForFinished(30000);
    QByteArray out = zbar.readAllStandardOutput();
    if (out.endsWith('\n'))
        out.chop(1);
    return out;
}
} // namespace

class TestReports : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<QTemporaryDir> out;
    // Where Qt's dialogs would keep their state: nothing may appear there.
    QTemporaryDir settingsHome;

    void addEntry(const QString& item, const QString& category, const QString& aisle, const QString& quantity)
    {
        db->exec(QStringLiteral("INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) "
                                "VALUES (?, ?, ?, ?, '2026-12-05')"),
                 {item, category, aisle, quantity});
    }
    // On the list date, but Pears the day after; the catalogue has Tea twice alike.
    void addFixture()
    {
        db->exec(QStringLiteral("INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) VALUES "
                                "('Milk', 'Dairy', '3', '2', '2026-12-05'), ('Apples', 'Produce', '1', '6', "
                                "'2026-12-05'), ('Cheese', 'dairy', '3', '1', '2026-12-05'), ('Bread', 'Bakery', "
                                "'12', '1', '2026-12-05'), ('Foil', NULL, '10', '1', '2026-12-05'), ('Pears', "
                                "'Produce', '1', '4', '2026-12-06')"));
        db->exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES ('Tea', 'Drinks', '8'), "
                                "('Coffee', 'Drinks', '8'), ('Tea', 'Drinks', '8'), ('Tea', 'Drinks', '9'), "
                                "('Soap', NULL, '10'), ('Bread', 'Bakery', '1')"));
    }
    // Entries in seven categories, numbered so their order shows.
    void addManyEntries(int count)
    {
        db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                                "INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) "
                                "SELECT printf('Item %03d', i), printf('Category %d', i % 7), printf('%d', i % 12), "
                                "'1', ? FROM n"),
                 {count - 1, ListDate.toString(Qt::ISODate)});
    }
    // Two categories, one item with no aisle, a name longer than its box, accents, Arabic and
    // an emoji, on the list and in the catalogue.
    void addTextFixture()
    {
        const QList<QVariantList> rows{
            {QStringLiteral("Crème brûlée"), QStringLiteral("Dairy"), QStringLiteral("3"), QStringLiteral("2")},
            {QStringLiteral("Bread"), QStringLiteral("Bakery"), QVariant(), QStringLiteral("1")},
            {QStringLiteral("حليب طازج"), QStringLiteral("Dairy"), QStringLiteral("3"), QStringLiteral("1")},
            {QStringLiteral("Rye loaf sliced thin, from the little bakery by the station"), QStringLiteral("Bakery"),
             QStringLiteral("12"), QStringLiteral("1")},
            {QStringLiteral("Cheese 🧀"), QStringLiteral("Dairy"), QStringLiteral("4"), QStringLiteral("1")}};
        for (const QVariantList& row : rows) {
            db->exec(QStringLiteral("INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) "
                                    "VALUES (?, ?, ?, ?, '2026-12-05')"),
                     row);
            db->exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, ?)"), row.mid(0, 3));
        }
    }
    QString outFile(const QString& name) const { return out->filePath(name); }

private Q_SLOTS:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(settingsHome.path())); }
    void init()
    {
        session = std::make_unique<TestSession>();
        db = std::make_unique<TestDatabase>();
        out = std::make_unique<QTemporaryDir>();
        SetConnections(0);
    }
    void cleanup()
    {
        BandedReport::closeAll();
        QVERIFY(previewWindows().isEmpty());
        out.reset();
        db.reset();
        CARTLIST_CHECK_SESSION(session);
    }

    void reportsGroupTheirRows_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("rptPrint by category")
            << "rptPrint" << QStringList{"# ",           "Foil | 10 | 1",  "# Bakery",  "Bread | 12 | 1", "# Dairy",
                                         "Milk | 3 | 2", "Cheese | 3 | 1", "# Produce", "Apples | 1 | 6"};
        QTest::newRow("rptAisle by aisle")
            << "rptAisle"
            << QStringList{"# 1",  "Apples | 6 | Produce", "# 3",  "Milk | 2 | Dairy",  "Cheese | 1 | dairy",
                           "# 10", "Foil | 1 | ",          "# 12", "Bread | 1 | Bakery"};
        QTest::newRow("rptAll, duplicates once")
            << "rptAll"
            << QStringList{"# ", "Soap | 10", "# Bakery", "Bread | 1", "# Drinks", "Coffee | 8", "Tea | 8", "Tea | 9"};
    }
    void reportsGroupTheirRows()
    {
        QFETCH(QString, report);
        QFETCH(QStringList, expected);
        addFixture();
        QCOMPARE(outline(printed(report).pages()), expected);
    }

    // Bands of 100 twips on paper 1000 high: the page footer takes the last 100, the page
    // header the first (after the report header on page one). Each page reads as its bands'
    // letters: Report header, Page header, Group header, Detail, rEport footer, Footer.
    void paginationPlacesBands_data()
    {
        QTest::addColumn<QList<int>>("groupSizes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no groups") << QList<int>{} << QStringList{"RPEF"};
        QTest::newRow("group runs on") << QList<int>{8} << QStringList{"RPGDDDDDDF", "PDDEF"};
        QTest::newRow("full page, report footer on the next") << QList<int>{6} << QStringList{"RPGDDDDDDF", "PEF"};
        QTest::newRow("heading keeps its first row") << QList<int>{5, 2} << QStringList{"RPGDDDDDF", "PGDDEF"};
        QTest::newRow("heading without rows stays") << QList<int>{5, 0} << QStringList{"RPGDDDDDGF", "PEF"};
    }
    void paginationPlacesBands()
    {
        QFETCH(QList<int>, groupSizes);
        QFETCH(QStringList, expected);
        const auto band = [](ReportBand::Kind kind, int height, const QString& name) {
            return ReportBand{kind, name, height, {ReportControl::label(name, name, QRect(0, 0, 50, height))}};
        };
        ReportLayout layout;
        layout.width = 500;
        layout.bands = {band(ReportBand::Kind::ReportHeader, 100, QStringLiteral("R")),
                        band(ReportBand::Kind::PageHeader, 100, QStringLiteral("P")),
                        band(ReportBand::Kind::GroupHeader, 100, QStringLiteral("G")),
                        band(ReportBand::Kind::Detail, 100, QStringLiteral("D")),
                        band(ReportBand::Kind::GroupFooter, 0, QStringLiteral("X")),
                        band(ReportBand::Kind::PageFooter, 100, QStringLiteral("F")),
                        band(ReportBand::Kind::ReportFooter, 100, QStringLiteral("E"))};
        ReportData data;
        data.parents.columns = QStringList{QStringLiteral("Group")};
        for (int size : groupSizes) {
            data.parents.rows << QVariantList{QStringLiteral("g")};
            data.children << RowTable{{QStringLiteral("Item")}, QList<QVariantList>(size, QVariantList{1})};
        }

        const PageList pages = Paginator::paginate(layout, data, QSize(800, 1000));
        QStringList shown;
        for (const PageList::Page& page : pages.pages) {
            QString letters;
            for (const PageList::Band& b : page.bands)
                letters += b.name;
            shown << letters;
        }
        QCOMPARE(shown, expected);
    }

    // Faults: a second preview opened over the main window's title and menu bar.
    void previewsOpenBelowTheMenuBarClearOfEachOther()
    {
        QMainWindow main;
        main.menuBar()->addMenu(QStringLiteral("&Print"));
        main.setGeometry(40, 40, 700, 500);
        main.show();
        QVERIFY(QTest::qWaitForWindowActive(&main));
        addFixture();
        printed(QStringLiteral("rptPrint")).show();
        QCOMPARE(rptPrint::existing()->previewWindow()->windowTitle(), QStringLiteral("Cartlist"));
        printed(QStringLiteral("rptAll")).show();
        QCOMPARE(rptAll::existing()->previewWindow()->windowTitle(), QStringLiteral("Full List"));
        // Below the menu bar, one clear of the other, on the screen.
        const QList<ReportPreview*> previews = previewWindows();
        QCOMPARE(previews.size(), 2);
        for (ReportPreview* preview : previews) {
            QVERIFY(preview->frameGeometry().top() >=
                    main.menuBar()->mapToGlobal(QPoint(0, main.menuBar()->height())).y());
            QVERIFY(main.screen()->availableGeometry().contains(preview->frameGeometry()));
        }
        QVERIFY(previews.first()->pos() != previews.last()->pos());
    }

    // Fault: after Delete All, with the preview open, Print and Export PDF put out every
    // deleted row. Whatever changed the file, the preview puts out what it holds now.
    void previewPutsOutWhatTheFileHoldsNow()
    {
        addFixture();
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        // A quantity changed by another connection, then printed.
        db->exec(QStringLiteral("UPDATE Selected SET Quantity = '77' WHERE Item = 'Apples'"));
        const QString printedFile = outFile(QStringLiteral("printed.pdf"));
        PrintDialog::queueAnswer(true, printedFile);
        click(*r.previewWindow(), "cmdPrint");
        const QString printedText = pdfText(printedFile);
        QVERIFY2(printedText.contains(QStringLiteral("Apples")) && printedText.contains(QStringLiteral("77")),
                 qPrintable(printedText));
        QVERIFY(outline(r.pages()).contains(QStringLiteral("Apples | 1 | 77")));

        // Delete All, then exported.
        DECartstock().run(QStringLiteral("ClearList"));
        FileDialog::queueAnswer(outFile(QStringLiteral("exported.pdf")));
        click(*r.previewWindow(), "cmdExportPdf");
        const QString text = pdfText(outFile(QStringLiteral("exported.pdf")));
        QVERIFY2(text.contains(QStringLiteral("Quantity:")) && !text.contains(QStringLiteral("Apples")),
                 qPrintable(text));
        QCOMPARE(outline(r.pages()), QStringList());
    }

    // Fault: the last row of a group lost the bottoms of g, y, p under the next group's bar.
    void lastRowOfAGroupKeepsItsDescenders()
    {
        // The preview at 100%.
        const double scale = 1.0 / 15;
        addEntry(QStringLiteral("gypsy quay"), QStringLiteral("Dairy"), QStringLiteral("3"), QStringLiteral("gyp"));
        addEntry(QStringLiteral("Apples"), QStringLiteral("Produce"), QStringLiteral("4"), QStringLiteral("6"));
        const PageList& pages = printed(QStringLiteral("rptPrint")).pages();
        const QList<PageList::Band>& bands = pages.pages.first().bands;
        qsizetype row = -1;
        for (qsizetype b = 0; b < bands.size(); ++b)
            row = firstItemOf(PageList::Page{{bands.at(b)}}) == QLatin1String("gypsy quay") ? b : row;
        QVERIFY(row > 0 && row + 1 < bands.size());
        QCOMPARE(bands.at(row + 1).kind, ReportBand::Kind::GroupHeader);

        // The row alone, and the whole page: every dot of the row's ink is still ink.
        PageList alone = pages;
        alone.pages = {PageList::Page{{bands.at(row)}}};
        const QImage own = rendered(alone, 0, scale);
        const QImage page = rendered(pages, 0, scale);
        const QRect band((QPointF(bands.at(row).rect.topLeft()) * scale).toPoint(),
                         (QSizeF(bands.at(row).rect.size()) * scale).toSize());
        int ink = 0, covered = 0;
        for (int y = 0; y < own.height(); ++y) {
            for (int x = 0; x < own.width(); ++x) {
                ink += qGray(own.pixel(x, y)) < 128;
                covered += qGray(own.pixel(x, y)) < 128 && qGray(page.pixel(x, y)) >= 128;
            }
        }
        QVERIFY(ink > 0);
        QCOMPARE(covered, 0);
        // The descenders are there: ink in the lowest fifth of the row.
        QVERIFY(inkIn(own, QRect(band.left(), band.bottom() - band.height() / 5, band.width(), band.height() / 5)) > 0);
    }

    // Faults: a value cut at its box came out whole in the PDF's text; at its default zoom the
    // preview cut long names a letter earlier than the paper ("...piggy-ba" on screen,
    // "...piggy-bag" printed); ligatures came out as ligature letters ("Co\ufb00ee"); a letter
    // the report's face lacks (an emoji, Hebrew) printed as a blank: it comes from a face that has it.
    void pdfAndPreviewShowWhatThePageShows()
    {
        const QStringList longNames = {
            QStringLiteral("Worcestershire sauce, the extra large family bottle with a pouring spout"),
            QStringLiteral("Reusable shopping bags, the folding piggy-bag kind"),
            QStringLiteral("Illy whole-bean espresso, medium roast, twin tin pack"),
            QStringLiteral("Mild mature cheddar, thinly sliced, resealable pack")};
        for (const QString& name : longNames)
            addEntry(name, QStringLiteral("Long"), QStringLiteral("Aisle 7"), QStringLiteral("1"));
        const QStringList names = {
            QStringLiteral("Coffee"),           QStringLiteral("Waffles"),
            QStringLiteral("Office fliers"),    QStringLiteral("Affine fish fillet"),
            QStringLiteral("Fruit \U0001F34E"), QStringLiteral("\u062e\u0628\u0632 \u0639\u0631\u0628\u064a")};
        for (const QString& name : names)
            addEntry(name, QStringLiteral("Staples"), QStringLiteral("5"), QStringLiteral("\u05d0"));
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        const QImage screen = r.previewWindow()->findChild<QScrollArea*>()->widget()->grab().toImage();
        const double scale = r.previewWindow()->zoom() / 15;
        const QString pdf = outFile(QStringLiteral("text.pdf"));
        QCOMPARE(ReportRenderer::writePdf(r.pages(), pdf, r.layout().caption), QString());
        const QString text = pdfText(pdf);
        // Qt 6.4's PDF writer maps a face's glyphs back to letters from the face's own table,
        // over U+0000 to U+FFFF only: an emoji has no text, and joined Arabic letters read back
        // as presentation forms. They are drawn right (below), not searchable.
        for (const QString& name : names.first(4))
            QVERIFY2(text.count(name) == 1, qPrintable(name + QStringLiteral(" in ") + text));
        for (QChar ligature = QChar(0xfb00); ligature <= QChar(0xfb06); ligature = QChar(ligature.unicode() + 1))
            QVERIFY2(!text.contains(ligature), qPrintable(text));
        // The long value: what shows, once, and nothing of what its box cuts off.
        QCOMPARE(text.count(QStringLiteral("Worcestershire")), 1);
        QVERIFY2(!text.contains(QStringLiteral("spout")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Aisle 7")));

        const QImage paper = pdfPicture(pdf, 1, 144);
        for (const PageList::Band& band : r.pages().pages.first().bands) {
            for (const PageList::Item& item : band.items) {
                if (item.control.kind == ReportControl::Kind::TextBox && !item.text.isEmpty())
                    QVERIFY2(inkIn(paper, QRect(item.rect.topLeft() / 10, item.rect.size() / 10)) > 20,
                             qPrintable(item.text));
            }
        }

        // Each long name ends, on the preview fitted to its width and on the PDF drawn at that
        // scale, at the same place, inside its box.
        const QImage atScale = pdfPicture(pdf, 1, qRound(scale * 1440 * 1000) / 1000.0);
        // The right end of the ink in an item's box, and beyond it to the next column.
        const auto inkEnd = [&](const QImage& image, const QRect& box, const QPoint& at) {
            const QRect area = QRectF(QPointF(box.topLeft()) * scale, QSizeF(box.size()) * scale).toRect();
            int end = -1;
            for (int x = area.left(); x <= area.right() + 5; ++x) {
                if (inkIn(image, QRect(at + QPoint(x, area.top() + 2), QSize(1, area.height() - 4))) > 0)
                    end = x;
            }
            return end - area.right();
        };
        int compared = 0;
        for (const PageList::Band& band : r.pages().pages.first().bands) {
            const PageList::Item* item = itemNamed(band, QStringLiteral("txtItem"));
            if (!item || !longNames.contains(item->text))
                continue;
            const int onScreen = inkEnd(screen, item->rect, QPoint(12, 12));
            const int onPaper = inkEnd(atScale, item->rect, QPoint());
            QVERIFY2(
                qAbs(onScreen - onPaper) <= 2 && onPaper <= 0 && onPaper > -25,
                qPrintable(QStringLiteral("%1: %2 on screen, %3 on paper").arg(item->text).arg(onScreen).arg(onPaper)));
            ++compared;
        }
        QCOMPARE(compared, longNames.size());
    }

    // Faults: a right-to-left value too long for its box showed its first letter alone, a piece
    // of its middle, or nothing; the same code draws the preview and the paper.
    void rightToLeftValueCutAtItsBoxKeepsItsBeginning()
    {
        for (const char* category : {"مواد غذائية عربية", "مواد غذائية مستوردة من الشرق الأوسط"})
            addEntry(QStringLiteral("زيت زيتون بكر ممتاز في عبوة عائلية كبيرة 2 لتر"), QString::fromUtf8(category),
                     QStringLiteral("4"), QStringLiteral("1"));
        const PageList& pages = printed(QStringLiteral("rptAisle")).pages();
        const QImage page = rendered(pages, 0, 0.2);
        int cut = 0;
        for (const PageList::Band& band : pages.pages.first().bands) {
            for (const PageList::Item& shown :
                 band.kind == ReportBand::Kind::Detail ? band.items : QList<PageList::Item>()) {
                if (shown.control.kind != ReportControl::Kind::TextBox || shown.text.size() < 2)
                    continue;
                const ReportRenderer::TextLine line = ReportRenderer::textLine(shown, QRectF(shown.rect), page, 1.0);
                cut += line.visible != shown.text;
                // Its beginning fills the box from the right edge.
                const double width = QFontMetricsF(line.font, &page).horizontalAdvance(line.visible);
                QVERIFY2(!line.visible.isEmpty() && shown.text.startsWith(line.visible) &&
                             qAbs(line.origin.x() + width - shown.rect.right()) < 30 &&
                             width > shown.rect.width() * 0.7,
                         qPrintable(line.visible));
                // Drawn as laid out: ink at the box's right end.
                const QRect box = QRectF(QPointF(shown.rect.topLeft()) * 0.2, QSizeF(shown.rect.size()) * 0.2).toRect();
                QVERIFY(inkIn(page, QRect(box.right() - box.width() / 10, box.top(), box.width() / 10, box.height())) >
                        0);
            }
        }
        QCOMPARE(cut, 4);
    }

    // Faults: a job the print system refused, or could not take, was lost without a word; one
    // left waiting in a paused queue was not told, nor was the queue's own message.
    void whatBecomesOfAJobIsTold()
    {
        addFixture();
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        const auto print = [&](bool told) {
            PrintDialog::queueAnswer(true);
            if (told)
                TestSession::answer(MessageBox::Answer::Ok);
            click(*r.previewWindow(), "cmdPrint");
        };
        PrintSystem::startScripting();
        const QString refused = QStringLiteral("Destination \"pdfq\" is not accepting jobs.");
        const QString paper = QStringLiteral("Out of paper");
        const QString pdfq = QStringLiteral("pdfq");
        for (const PrintSystem::Answer& answer :
             {PrintSystem::Answer{refused, pdfq, false, {}}, PrintSystem::Answer{refused, pdfq, false, paper},
              PrintSystem::Answer{{}, pdfq, true, {}}, PrintSystem::Answer{{}, pdfq, true, paper},
              PrintSystem::Answer{{}, pdfq, false, paper}}) {
            PrintSystem::queueAnswer(answer);
            print(answer.paused || !answer.refusal.isEmpty());
        }
        const int jobs = PrintSystem::jobCount();
        PrintSystem::stopScripting();
        QCOMPARE(jobs, 5);
        // A real printer with no print system to reach.
        cupsSetServer("/nonexistent/cups.sock");
        print(true);
        cupsSetServer(nullptr);
        const QString paused = QStringLiteral("The printer \"pdfq\" is paused: the job waits in its queue.");
        QCOMPARE(
            TestSession::messages(),
            (QStringList{
                QStringLiteral("The report could not be printed: ") + refused,
                QStringLiteral("The report could not be printed: %1 The printer says: \"Out of paper\".").arg(refused),
                paused, paused + QStringLiteral(" The printer says: \"Out of paper\"."),
                QStringLiteral("The report could not be printed: The printer could not be opened.")}));
    }

    // The same through a real CUPS queue, paused with a message, where this run may make one.
    void aJobInAPausedQueueIsTold()
    {
        const QString queue = QStringLiteral("cartlist-test-paused");
        const auto run = [](const QString& program, const QStringList& args) {
            QProcess p;
            p.start(program, args);
            return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
        };
        if (QStandardPaths::findExecutable(QStringLiteral("lpadmin")).isEmpty() ||
            !run(QStringLiteral("lpadmin"), {QStringLiteral("-p"), queue, QStringLiteral("-E"), QStringLiteral("-v"),
                                             QStringLiteral("socket://127.0.0.1:9")}))
            QSKIP("needs a running CUPS (package cups) and the right to add a queue (root)");
        const auto removed = qScopeGuard([&] {
            run(QStringLiteral("cancel"), {QStringLiteral("-a"), queue});
            run(QStringLiteral("lpadmin"), {QStringLiteral("-x"), queue});
        });
        QVERIFY(run(QStringLiteral("cupsdisable"), {QStringLiteral("-r"), QStringLiteral("Out of paper"), queue}));
        addFixture();
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        PrintDialog::Answer answer;
        answer.accepted = true;
        answer.printer = queue;
        PrintDialog::queueAnswer(answer);
        TestSession::answer(MessageBox::Answer::Ok);
        click(*r.previewWindow(), "cmdPrint");
        QCOMPARE(TestSession::messages(),
                 QStringList{QStringLiteral("The printer \"%1\" is paused: the job waits in its queue. The printer "
                                            "says: \"Out of paper\".")
                                 .arg(queue)});
    }

    // Faults: a name typed without ".pdf" replaced that file without asking; a name with a
    // dot in it ("Shopping 07.12.2026") was written without ".pdf"; the dialog started in the
    // home folder every time and left its state in ~/.config/QtProject.conf.
    void exportPdfWritesTheFileItAsksAbout_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("a date with dots")
            << QStringLiteral("Shopping 07.12.2026") << QStringLiteral("Shopping 07.12.2026.pdf");
        QTest::newRow("suffix in capitals") << QStringLiteral("LIST.PDF") << QStringLiteral("LIST.PDF");
    }
    void exportPdfWritesTheFileItAsksAbout()
    {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        addFixture();
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        const QString file = outFile(written);
        QFile existing(file);
        QVERIFY(existing.open(QIODevice::WriteOnly) && existing.write("keep me") == 7);
        existing.close();
        // First a file that is not there yet, in another folder than the last one.
        FileDialog::queueAnswer(outFile(QStringLiteral("first.pdf")));
        click(*r.previewWindow(), "cmdExportPdf");
        FileDialog::stopScripting();
        QStringList asked, startedAt;
        // Types the name and answers whether to replace the file; No leaves the dialog open.
        const auto exportAs = [&](QMessageBox::StandardButton answer) {
            whenModal<QFileDialog>([&](QFileDialog& dialog) {
                auto* name = part<QLineEdit>(dialog, DialogPart::FileName);
                startedAt << dialog.directory().filePath(name->text());
                // The dialog leaves the name box alone while it has the focus.
                QVERIFY(QTest::qWaitForWindowActive(&dialog));
                name->setFocus();
                name->setText(typed);
                QTest::keyClick(name, Qt::Key_Return);
            });
            whenModal<QMessageBox>([&asked, answer](QMessageBox& box) {
                asked << box.text();
                click(box.button(answer));
                // No leaves the file dialog open: then it is cancelled.
                QTimer::singleShot(0, [] {
                    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                        dialog->reject();
                });
            });
            click(*r.previewWindow(), "cmdExportPdf");
        };
        exportAs(QMessageBox::No);
        QCOMPARE(QFileInfo(file).size(), 7);
        exportAs(QMessageBox::Yes);
        FileDialog::startScripting();
        // Each time asked about the file it then writes.
        QVERIFY2(asked.size() == 2 && asked.filter(written).size() == 2, qPrintable(asked.join(u'|')));
        // pdftotext ends each page with a form feed.
        QCOMPARE(pdfText(file).count(u'\f'), r.pages().pageCount());
        QCOMPARE(QDir(out->path()).entryList(QDir::Files).size(), 2);
        // Each dialog starts where the last file was written, with its name.
        QCOMPARE(startedAt, QStringList(2, outFile(QStringLiteral("first.pdf"))));
        QCOMPARE(QDir(settingsHome.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // Fault: after Export PDF, the print dialog's Print to File still offered the home folder.
    void printToFileStartsWhereTheLastFileWent()
    {
        addFixture();
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        FileDialog::queueAnswer(outFile(QStringLiteral("exported.pdf")));
        click(*r.previewWindow(), "cmdExportPdf");
        PrintDialog::stopScripting();
        QString offered;
        whenModal<QPrintDialog>([&](QPrintDialog& dialog) {
            offered = part<QLineEdit>(dialog, DialogPart::PrintFile)->text();
            dialog.reject();
        });
        click(*r.previewWindow(), "cmdPrint");
        PrintDialog::startScripting();
        QCOMPARE(offered, outFile(QStringLiteral("exported.pdf")));
    }

    // The dialog's choices as words: a range ("all", "2-3"), then "xN" copies,
    // "uncollated", "reversed", "duplex", "cups:1,3-4" and "set:even" as a CUPS dialog leaves them.
    void printSequenceKeepsTheDialogsWord_data()
    {
        QTest::addColumn<QString>("choices");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("pages 2-3, 2 copies uncollated") << "2-3 x2 uncollated" << QList<int>{1, 1, 2, 2};
        QTest::newRow("reversed") << "all reversed" << QList<int>{4, 3, 2, 1, 0};
        QTest::newRow("range past the end") << "4-9" << QList<int>{3, 4};
        QTest::newRow("range beyond the last page") << "6-9" << QList<int>{};
        QTest::newRow("two-sided, odd pages: each copy on fresh sheets")
            << "1-3 x2 duplex" << QList<int>{0, 1, 2, -1, 0, 1, 2};
        QTest::newRow("CUPS page list") << "all cups:1,3-4" << QList<int>{0, 2, 3};
        QTest::newRow("CUPS even pages") << "all set:even" << QList<int>{1, 3};
    }
    void printSequenceKeepsTheDialogsWord()
    {
        QFETCH(QString, choices);
        QFETCH(QList<int>, expected);
        using Range = ReportRenderer::PrintChoice::Range;
        ReportRenderer::PrintChoice choice;
        for (const QString& word : choices.split(QLatin1Char(' '))) {
            const QStringList ends = word.split(QLatin1Char('-'));
            if (ends.size() == 2)
                std::tie(choice.range, choice.fromPage, choice.toPage) =
                    std::tuple(Range::FromTo, ends[0].toInt(), ends[1].toInt());
            choice.copies = word.startsWith(QLatin1Char('x')) ? word.mid(1).toInt() : choice.copies;
            choice.collate &= word != QLatin1String("uncollated");
            choice.reverse |= word == QLatin1String("reversed");
            choice.duplex |= word == QLatin1String("duplex");
            choice.pageRanges += word.startsWith(QLatin1String("cups:")) ? word.mid(5) : QString();
            choice.pageSet += word.startsWith(QLatin1String("set:")) ? word.mid(4) : QString();
        }
        QCOMPARE(ReportRenderer::sequence(5, choice), expected);
    }

    // The real print dialog, printing to a file. Faults: Landscape chosen in it printed as
    // "Current Page" a page the preview never showed, and its range could not reach the
    // pages that paper has beyond the preview's count.
    void realPrintDialogPrintsThePagesChosen_data()
    {
        QTest::addColumn<bool>("landscape");
        // "Pages from ... to", 0 for "Current Page" (the preview shows the third page).
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("copies");
        // The sheets put out, as pages (0-based) of the report on that paper: 5 portrait, 8 landscape.
        QTest::addColumn<QList<int>>("sheets");
        QTest::newRow("pages 2 to 3, two copies") << false << 2 << 3 << 2 << QList<int>{1, 2, 1, 2};
        QTest::newRow("landscape, current page: the one with its top row") << true << 0 << 0 << 1 << QList<int>{3};
        QTest::newRow("landscape, past the preview's pages") << true << 6 << 8 << 1 << QList<int>{5, 6, 7};
    }
    void realPrintDialogPrintsThePagesChosen()
    {
        QFETCH(bool, landscape);
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, copies);
        QFETCH(QList<int>, sheets);
        addManyEntries(200);
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        r.previewWindow()->showPage(2);
        const PageList paper = landscape ? r.pagesFor(r.pages().paper.transposed()) : r.pages();
        const QString file = outFile(QStringLiteral("dialog.pdf"));
        PrintDialog::stopScripting();
        QStringList seen;
        whenModal<QPrintDialog>([&](QPrintDialog& dialog) {
            auto* fromBox = part<QSpinBox>(dialog, DialogPart::FromPage);
            auto* toBox = part<QSpinBox>(dialog, DialogPart::ToPage);
            auto* printers = part<QComboBox>(dialog, DialogPart::Printers);
            seen << QStringLiteral("%1-%2").arg(fromBox->value()).arg(toBox->value());
            printers->setCurrentIndex(printers->count() - 1);
            part<QLineEdit>(dialog, DialogPart::PrintFile)->setText(file);
            if (landscape) {
                whenModal<QDialog>([](QDialog& properties) {
                    // The middle of the wide radio button is beyond its label, where a mouse click misses.
                    part<QRadioButton>(properties, DialogPart::Landscape)->click();
                    click(properties.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
                });
                click(part<QPushButton>(dialog, DialogPart::Properties));
            }
            part<QRadioButton>(dialog, from ? DialogPart::PageRange : DialogPart::CurrentPage)->setChecked(true);
            toBox->setValue(to);
            fromBox->setValue(from);
            part<QSpinBox>(dialog, DialogPart::Copies)->setValue(copies);
            click(dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok));
        });
        click(*r.previewWindow(), "cmdPrint");
        PrintDialog::startScripting();
        QCOMPARE(seen, QStringList{QStringLiteral("1-5")});
        QCOMPARE(pdfText(file).count(u'\f'), sheets.size());
        for (int p = 1; p <= sheets.size(); ++p) {
            QVERIFY(pdfText(file, p).contains(firstItemOf(paper.pages.at(sheets.at(p - 1))) + QLatin1Char('\n')));
            const QImage sheet = pdfPicture(file, p, 10);
            QCOMPARE(sheet.width() > sheet.height(), landscape);
        }
    }

    // Columns as they read across the page, whole where the page cuts them, the list's date
    // in the title; no page heading; the Arabic name isolated, so its row does not turn round.
    void textHoldsTheReportWhole_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QString>("expected");
        const QString date = QLocale().toString(ListDate, QLocale::ShortFormat);
        const QString rye = QStringLiteral("Rye loaf sliced thin, from the little bakery by the station");
        QTest::newRow("rptPrint") << "rptPrint"
                                  << QStringLiteral(
                                         "Cartlist %1\n\nBakery\n  [ ] Bread |  | 1\n  [ ] %2 | 12 | 1\n"
                                         "Dairy\n  [ ] Crème brûlée | 3 | 2\n  [ ] \u2068حليب طازج\u2069 | 3 | 1\n"
                                         "  [ ] Cheese 🧀 | 4 | 1\n")
                                         .arg(date, rye);
        QTest::newRow("rptAisle")
            << "rptAisle"
            << QStringLiteral("Cartlist %1\n\n\n  [ ] Bread | Bakery | 1\n3\n  [ ] Crème brûlée | Dairy | 2\n"
                              "  [ ] \u2068حليب طازج\u2069 | Dairy | 1\n4\n  [ ] Cheese 🧀 | Dairy | 1\n"
                              "12\n  [ ] %2 | Bakery | 1\n")
                   .arg(date, rye);
        QTest::newRow("rptAll") << "rptAll"
                                << QStringLiteral("Full List\n\nBakery\n  Bread\n  %1 | 12\nDairy\n  Cheese 🧀 | 4\n"
                                                  "  Crème brûlée | 3\n  \u2068حليب طازج\u2069 | 3\n")
                                       .arg(rye);
    }
    // Copy Text and Save Text put out the same text; a name typed without ".txt" gets it.
    void textHoldsTheReportWhole()
    {
        QFETCH(QString, report);
        QFETCH(QString, expected);
        addTextFixture();
        BandedReport& r = printed(report);
        r.show();
        QApplication::clipboard()->clear();
        click(*r.previewWindow(), "cmdCopyText");
        QCOMPARE(QApplication::clipboard()->text(), expected);
        FileDialog::queueAnswer(outFile(QStringLiteral("list")));
        click(*r.previewWindow(), "cmdSaveText");
        QCOMPARE(fileContent(outFile(QStringLiteral("list.txt"))), expected.toUtf8());
        QCOMPARE(FileDialog::askedDialogs(), QStringList{QStringLiteral("Save Text | Text files (*.txt)")});
    }

    // Faults: Orca said only "Page." on a preview, and "Page number 1" without the count; the
    // zoom and the commands beside Print could not be reached without the mouse.
    void previewIsReadAndWorkedFromTheKeyboard()
    {
        addTextFixture();
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        ReportPreview* window = r.previewWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QAccessibleInterface* page = QAccessible::queryAccessibleInterface(QApplication::focusWidget());
        QVERIFY(page->textInterface());
        const QString read = page->textInterface()->text(0, page->textInterface()->characterCount());
        for (const QString& line : {QStringLiteral("Item:\tAisle:\tQuantity:\n"), QStringLiteral("\nDairy\n"),
                                    QStringLiteral("\nCrème brûlée\t3\t2\n"), QStringLiteral("\nحليب طازج\t3\t1\n")})
            QVERIFY2(read.contains(line), qPrintable(read));
        // Down moves the reader's caret a line, to the first row.
        press(Qt::Key_Down);
        press(Qt::Key_Down);
        int start = 0, end = 0;
        QCOMPARE(page->textInterface()->textAtOffset(page->textInterface()->cursorPosition(), QAccessible::LineBoundary,
                                                     &start, &end),
                 QStringLiteral("Bread\t\t1\n"));
        QCOMPARE(QAccessible::queryAccessibleInterface(control(*window, "txtPage"))->text(QAccessible::Name),
                 QStringLiteral("Page 1 of 1"));

        QStringList reached;
        for (int i = 0; i < 10; ++i) {
            press(Qt::Key_Tab);
            reached << QAccessible::queryAccessibleInterface(QApplication::focusWidget())->text(QAccessible::Name);
        }
        QCOMPARE(reached, (QStringList{"Fit Width", "Actual Size", "Zoom out",
                                       "Zoom " + control<QLabel>(*window, "lblZoom")->text(), "Zoom in", "Print...",
                                       "Export PDF...", "Copy Text", "Save Text...", "Phone..."}));

        // Ctrl+C and the access keys, from the page and from a button.
        window->findChild<QWidget*>(QStringLiteral("scrollPages"))->setFocus();
        for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_C, Qt::ALT | Qt::Key_C}) {
            QApplication::clipboard()->clear();
            press(keys.key(), keys.keyboardModifiers());
            // An access key presses its button as a click would look, a moment later.
            QTRY_COMPARE(QApplication::clipboard()->text(), r.text());
        }
        FileDialog::queueAnswer(outFile(QStringLiteral("keys.txt")));
        press(Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(fileContent(outFile(QStringLiteral("keys.txt"))), r.text().toUtf8());
        press(Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(codeWindow());
        QrCodeWindow* codes = codeWindow();
        QVERIFY(QTest::qWaitForWindowActive(codes));
        press(Qt::Key_Escape);
        QVERIFY(!codes->isVisible());
        QVERIFY(window->isVisible());
    }

    // The code a phone reads is the text byte for byte, in black on white whatever the
    // window's colours; a longer text is read from numbered codes that page with the keys.
    void qrCodesReadAsTheText_data()
    {
        QTest::addColumn<int>("entries");
        QTest::addColumn<int>("codes");
        QTest::newRow("one code") << 0 << 1;
        QTest::newRow("three codes") << 55 << 3;
    }
    void qrCodesReadAsTheText()
    {
        QFETCH(int, entries);
        QFETCH(int, codes);
        if (QStandardPaths::findExecutable(QStringLiteral("zbarimg")).isEmpty())
            QSKIP("zbarimg is missing: tools/install-deps --test installs zbar-tools");
        addTextFixture();
        if (entries > 0)
            addManyEntries(entries);
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        click(*r.previewWindow(), "cmdPhone");
        QrCodeWindow* window = codeWindow();
        QVERIFY(window);
        window->setPalette(QPalette(Qt::black));
        QVERIFY(QTest::qWaitForWindowActive(window));
        QCOMPARE(window->codeCount(), codes);
        const QByteArray text = r.text().toUtf8();
        if (codes == 1) {
            QCOMPARE(scanned(*window, out->path()), text);
            return;
        }
        const QByteArray title = text.left(text.indexOf('\n'));
        QByteArray rest;
        for (int n = 1; n <= codes; ++n) {
            const QByteArray part = scanned(*window, out->path());
            const QString of = QStringLiteral("%1 of %2").arg(n).arg(codes);
            QVERIFY2(part.startsWith(title + " (" + of.toUtf8() + ")\n\n"), part.constData());
            QCOMPARE(window->lblCode->text(), QStringLiteral("Code ") + of);
            QCOMPARE(QAccessible::queryAccessibleInterface(window)->text(QAccessible::Name),
                     QStringLiteral("QR code of the list, ") + of);
            QCOMPARE(window->txtCode->toPlainText().toUtf8(), part);
            rest += part.mid(part.indexOf("\n\n") + 2);
            press(Qt::Key_PageDown);
        }
        QCOMPARE(title + "\n\n" + rest, text);
        press(Qt::Key_PageUp);
        QCOMPARE(window->currentCode(), codes - 2);
    }

    // The parts are cut to what one code of version 20 holds, no more.
    void aCodeHoldsWhatASplitPartHolds()
    {
        QCOMPARE(QrCode(QByteArray(QrCode::MaxBytes, '\xff')).size(), 97);
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, QrCode(QByteArray(QrCode::MaxBytes + 1, 'x')));
    }

    // Faults: the preview paged only by its buttons, and closed only by Alt+F4.
    void previewPagesAndZoomsLikeAViewer()
    {
        addManyEntries(520);
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        ReportPreview* window = r.previewWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        const int count = r.pages().pageCount();
        auto* scroll = window->findChild<QScrollArea*>(QStringLiteral("scrollPages"));
        QScrollBar* bar = scroll->verticalScrollBar();
        auto* of = window->findChild<QLabel*>(QStringLiteral("lblPage"));
        auto* zoom = window->findChild<QLabel*>(QStringLiteral("lblZoom"));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(scroll));

        // Page Down: a screen at a time, then the next page from its top.
        int presses = 0;
        while (window->currentPage() == 0 && presses++ < 20)
            press(Qt::Key_PageDown);
        QVERIFY(presses > 1);
        QCOMPARE(bar->value(), bar->minimum());
        // Page Up at a page's top: the previous page, seen from its bottom.
        press(Qt::Key_PageUp);
        QCOMPARE(window->currentPage(), 0);
        QCOMPARE(bar->value(), bar->maximum());
        press(Qt::Key_End);
        QCOMPARE(window->currentPage(), count - 1);
        QVERIFY(!window->findChild<QToolButton*>(QStringLiteral("cmdNext"))->isEnabled());
        press(Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(window->currentPage(), 0);

        // The wheel scrolls inside a page, and a whole notch turned on at its end turns the page.
        QWidget* page = scroll->widget();
        turnWheel(page, -120);
        QCOMPARE(window->currentPage(), 0);
        QVERIFY(bar->value() > bar->minimum());
        bar->setValue(bar->maximum());
        turnWheel(page, -60);
        QCOMPARE(window->currentPage(), 0);
        turnWheel(page, -60);
        QCOMPARE(window->currentPage(), 1);
        turnWheel(page, 120);
        QCOMPARE(window->currentPage(), 0);

        // Ctrl with the wheel, plus or minus zooms, and the zoom is shown as it changes.
        const double fitted = window->zoom();
        turnWheel(page, 120, Qt::ControlModifier);
        QCOMPARE(window->zoom(), fitted * 1.25);
        press(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(window->zoom(), fitted);
        press(Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(zoom->text(), QStringLiteral("100%"));
        QCOMPARE(QAccessible::queryAccessibleInterface(zoom)->text(QAccessible::Name), QStringLiteral("Zoom 100%"));
        // Fit width follows the window.
        click(*window, "cmdFitWidth");
        QVERIFY(window->zoom() < 1.0);
        window->resize(window->width() + 200, window->height());
        QVERIFY(window->zoom() > fitted);

        // Ctrl+G and a typed number go to that page.
        press(Qt::Key_G, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
        QCOMPARE(window->currentPage(), 0);
        press(Qt::Key_Return);
        QCOMPARE(window->currentPage(), 6);
        // Return and keypad Enter press the focused button.
        window->findChild<QToolButton*>(QStringLiteral("cmdNext"))->setFocus();
        press(Qt::Key_Return);
        QCOMPARE(window->currentPage(), 7);
        press(Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(window->currentPage(), 8);

        // Printed again from as far in as it zooms: the new data from the top of its first
        // page, fitted to the window, its headings in view.
        while (window->findChild<QToolButton*>(QStringLiteral("cmdZoomIn"))->isEnabled())
            click(*window, "cmdZoomIn");
        bar->setValue(bar->maximum());
        // Shown again, in the one window.
        printed(QStringLiteral("rptPrint"), ListDate.addYears(1)).show();
        QCOMPARE(previewWindows(), QList<ReportPreview*>{window});
        QCOMPARE(window->findChild<QSpinBox*>(QStringLiteral("txtPage"))->value(), 1);
        QCOMPARE(of->text(), QStringLiteral("of 1"));
        QVERIFY(window->zoom() < 1.25);
        QCOMPARE(bar->value(), bar->minimum());

        // Escape and Ctrl+W close it.
        for (const QKeyCombination close : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W}) {
            press(close.key(), close.keyboardModifiers());
            QVERIFY(!window->isVisible());
            QCOMPARE(rptPrint::existing(), nullptr);
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            printed(QStringLiteral("rptPrint")).show();
            window = rptPrint::existing()->previewWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
        }
    }
};

CARTLIST_TEST_MAIN(TestReports)
#include "tst_reports.moc"
