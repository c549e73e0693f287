#include "BandedReport.h"
#include "DataEnvironment.h"
#include "FileDialog.h"
#include "Paginator.h"
#include "PrintDialog.h"
#include "ReportPaper.h"
#include "ReportPreview.h"
#include "ReportRenderer.h"
#include "SetConnections.h"
#include "TestDatabase.h"
#include "TestSession.h"
#include "rptAisle.h"
#include "rptAll.h"
#include "rptPrint.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {
const QDate ListDate(2026, 12, 5);

QString commandOf(const QString& report)
{
    if (report == QLatin1String("rptPrint"))
        return QStringLiteral("ListPrint_Grouping");
    if (report == QLatin1String("rptAisle"))
        return QStringLiteral("ListPrintAisle_Grouping");
    return QStringLiteral("All_Grouping");
}

BandedReport& reportNamed(const QString& report)
{
    if (report == QLatin1String("rptPrint"))
        return rptPrint::instance();
    if (report == QLatin1String("rptAisle"))
        return rptAisle::instance();
    return rptAll::instance();
}

// What the Print menu does: a fresh run of the command, then the report re-reads it.
BandedReport& printed(const QString& report, const QDate& date = ListDate)
{
    const QString command = commandOf(report);
    ResultSet& rs = DECartstock().resultSet(QStringLiteral("rs") + command);
    if (rs.state() == 1)
        rs.close();
    if (report == QLatin1String("rptAll"))
        DECartstock().run(command);
    else
        DECartstock().run(command, date);
    BandedReport& r = reportNamed(report);
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

int pdfPageCount(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = file.readAll();
    if (!pdf.startsWith("%PDF-"))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    return int(QString::fromLatin1(pdf).count(page));
}

QList<ReportPreview*> previewWindows()
{
    QList<ReportPreview*> out;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* preview = qobject_cast<ReportPreview*>(w); preview && preview->isVisible())
            out << preview;
    }
    return out;
}

template <class Button = QToolButton> void click(QWidget* window, const char* name)
{
    auto* button = window->findChild<Button*>(QString::fromLatin1(name));
    QVERIFY2(button, name);
    QTest::mouseClick(button, Qt::LeftButton);
}
} // namespace

class TestReports : public QObject {
    Q_OBJECT
    std::unique_ptr<TestSession> session;
    std::unique_ptr<TestDatabase> db;
    std::unique_ptr<QTemporaryDir> out;

    void addEntry(const QString& item, const QVariant& category, const QVariant& aisle, const QString& quantity,
                  const QDate& date = ListDate)
    {
        db->exec(QStringLiteral("INSERT INTO Selected (Item, Category, Aisle, Quantity, Date) "
                                "VALUES (?, ?, ?, ?, ?)"),
                 {item, category, aisle, quantity, date.toString(Qt::ISODate)});
    }
    void addItem(const QString& item, const QVariant& category, const QString& aisle)
    {
        db->exec(QStringLiteral("INSERT INTO Cartstock (Item, Category, Aisle) VALUES (?, ?, ?)"),
                 {item, category, aisle});
    }
    void addFixture()
    {
        addEntry(QStringLiteral("Milk"), QStringLiteral("Dairy"), QStringLiteral("3"), QStringLiteral("2"));
        addEntry(QStringLiteral("Apples"), QStringLiteral("Produce"), QStringLiteral("1"), QStringLiteral("6"));
        addEntry(QStringLiteral("Cheese"), QStringLiteral("dairy"), QStringLiteral("3"), QStringLiteral("1"));
        addEntry(QStringLiteral("Bread"), QStringLiteral("Bakery"), QStringLiteral("12"), QStringLiteral("1"));
        addEntry(QStringLiteral("Foil"), QVariant(), QStringLiteral("10"), QStringLiteral("1"));
        addEntry(QStringLiteral("Pears"), QStringLiteral("Produce"), QStringLiteral("1"), QStringLiteral("4"),
                 ListDate.addDays(1));
        addItem(QStringLiteral("Tea"), QStringLiteral("Drinks"), QStringLiteral("8"));
        addItem(QStringLiteral("Coffee"), QStringLiteral("Drinks"), QStringLiteral("8"));
        addItem(QStringLiteral("Tea"), QStringLiteral("Drinks"), QStringLiteral("8"));
        addItem(QStringLiteral("Tea"), QStringLiteral("Drinks"), QStringLiteral("9"));
        addItem(QStringLiteral("Soap"), QVariant(), QStringLiteral("10"));
        addItem(QStringLiteral("Bread"), QStringLiteral("Bakery"), QStringLiteral("1"));
    }
    // Entries in seven categories, numbered so their order shows.
    void addManyEntries(int count)
    {
        for (int i = 0; i < count; ++i) {
            addEntry(QStringLiteral("Item %1").arg(i, 3, 10, QLatin1Char('0')),
                     QStringLiteral("Category %1").arg(i % 7), QString::number(i % 12), QStringLiteral("1"));
        }
    }
    QString outFile(const QString& name) const { return out->filePath(name); }

private Q_SLOTS:
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

    void reportsGroupTheirRowsAndWritePdf_data()
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
    void reportsGroupTheirRowsAndWritePdf()
    {
        QFETCH(QString, report);
        QFETCH(QStringList, expected);
        addFixture();
        BandedReport& r = printed(report);
        QCOMPARE(outline(r.pages()), expected);
        QCOMPARE(r.pages().pageCount(), 1);
        QCOMPARE(r.pages().paper, ReportPaper::twips(ReportPaper::defaultSize()));

        const QString pdf = outFile(report + QStringLiteral(".pdf"));
        QCOMPARE(ReportRenderer::writePdf(r.pages(), pdf, r.layout().caption), QString());
        QCOMPARE(pdfPageCount(pdf), 1);
    }

    void emptyDateGivesPageHeadingsOnly_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QRect>("firstLabel");
        QTest::newRow("rptPrint") << "rptPrint" << QStringList{"Item:", "Aisle:", "Quantity:"}
                                  << QRect(1440 + 432, 1440 + 144, 3456, 300);
        QTest::newRow("rptAisle") << "rptAisle" << QStringList{"Item:", "Quantity:"}
                                  << QRect(1440 + 432, 1440 + 144, 3600, 300);
    }
    void emptyDateGivesPageHeadingsOnly()
    {
        QFETCH(QString, report);
        QFETCH(QStringList, labels);
        QFETCH(QRect, firstLabel);
        addFixture();
        const PageList& pages = printed(report, ListDate.addYears(1)).pages();
        QCOMPARE(pages.pageCount(), 1);
        QCOMPARE(pages.pages.first().bands.size(), 1);
        const PageList::Band& header = pages.pages.first().bands.first();
        QCOMPARE(header.kind, ReportBand::Kind::PageHeader);
        QStringList shown;
        for (const PageList::Item& item : header.items)
            shown << item.text;
        QCOMPARE(shown, labels);
        QCOMPARE(header.items.first().rect, firstLabel);
        QVERIFY(header.items.first().control.font->italic);
        QVERIFY(inkIn(rendered(pages, 0, 0.1), QRect(firstLabel.topLeft() / 10, firstLabel.size() / 10)) > 0);
    }

    void emptyHeadingIsDrawnWithItsBackground_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QColor>("bar");
        QTest::newRow("rptPrint: pink bar") << "rptPrint" << QColor(255, 192, 192);
        QTest::newRow("rptAisle: blue bar") << "rptAisle" << QColor(192, 192, 255);
        QTest::newRow("rptAll: plain heading") << "rptAll" << QColor(Qt::white);
    }
    void emptyHeadingIsDrawnWithItsBackground()
    {
        QFETCH(QString, report);
        QFETCH(QColor, bar);
        addEntry(QStringLiteral("Napkins"), QStringLiteral(""), QStringLiteral(""), QStringLiteral("1"));
        addEntry(QStringLiteral("Milk"), QStringLiteral("Dairy"), QStringLiteral("3"), QStringLiteral("1"));
        addItem(QStringLiteral("Napkins"), QStringLiteral(""), QStringLiteral(""));
        const PageList& pages = printed(report).pages();

        const PageList::Band* heading = nullptr;
        for (const PageList::Band& band : pages.pages.first().bands) {
            if (band.kind == ReportBand::Kind::GroupHeader) {
                heading = &band;
                break;
            }
        }
        QVERIFY(heading);
        QCOMPARE(heading->items.size(), 1);
        QCOMPARE(heading->items.first().text, QString());
        const double scale = 0.1;
        const QImage image = rendered(pages, 0, scale);
        const QRect box = heading->items.first().rect;
        QCOMPARE(QColor(image.pixel((QPointF(box.center()) * scale).toPoint())), bar);
        QCOMPARE(QColor(image.pixel((QPointF(box.topLeft()) * scale).toPoint() + QPoint(2, 2))), bar);
    }

    // Bands of 100 twips on paper 1000 high: the page footer takes the last 100, the page
    // header the first (after the report header on page one). Each page reads as its bands'
    // letters: Report header, Page header, Group header, Detail, rEport footer, Footer.
    void paginationPlacesBands_data()
    {
        QTest::addColumn<QList<int>>("groupSizes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("no groups") << QList<int>{} << QStringList{"RPEF"};
        QTest::newRow("one short group") << QList<int>{3} << QStringList{"RPGDDDEF"};
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
            int y = 0;
            for (const PageList::Band& b : page.bands) {
                letters += b.name;
                // Bands follow one another; the footer sits at the foot of the paper.
                QCOMPARE(b.rect.top(), b.name == QLatin1String("F") ? 900 : y);
                QCOMPARE(b.items.first().rect, QRect(0, b.rect.top(), 50, 100));
                y = b.rect.bottom() + 1;
            }
            shown << letters;
        }
        QCOMPARE(shown, expected);
    }

    void longValueIsCutAtItsBox()
    {
        const QString name = QStringLiteral("Worcestershire sauce, the extra large family bottle with a pouring spout");
        addEntry(name, QStringLiteral("Sauces"), QString(), QString());
        const PageList& pages = printed(QStringLiteral("rptPrint")).pages();
        const PageList::Band& detail = pages.pages.first().bands.last();
        QCOMPARE(detail.kind, ReportBand::Kind::Detail);
        const PageList::Item* item = itemNamed(detail, QStringLiteral("txtItem"));
        QVERIFY(item);
        QCOMPARE(item->text, name);

        const double scale = 0.1;
        const QImage image = rendered(pages, 0, scale);
        const int boxRight = qFloor((item->rect.right() + 1) * scale);
        const int top = qCeil(detail.rect.top() * scale);
        const int bottom = qFloor((detail.rect.bottom() + 1) * scale) - 1;
        // The text runs to the box's edge and not one pixel beyond, into the aisle column.
        QVERIFY(inkIn(image, QRect(QPoint(boxRight - 15, top), QPoint(boxRight - 1, bottom))) > 0);
        QCOMPARE(inkIn(image, QRect(QPoint(boxRight + 1, top), QPoint(image.width() - 1, bottom))), 0);
    }

    void manyEntriesPaginateWithoutSplittingBands_data()
    {
        QTest::addColumn<QString>("report");
        QTest::addColumn<QPageSize>("paper");
        QTest::newRow("rptPrint on Letter") << "rptPrint" << QPageSize(QPageSize::Letter);
        QTest::newRow("rptPrint on A4") << "rptPrint" << QPageSize(QPageSize::A4);
        QTest::newRow("rptAisle on A4") << "rptAisle" << QPageSize(QPageSize::A4);
    }
    void manyEntriesPaginateWithoutSplittingBands()
    {
        QFETCH(QString, report);
        QFETCH(QPageSize, paper);
        addManyEntries(200);
        BandedReport& r = printed(report);
        const PageList pages = r.pagesFor(ReportPaper::twips(paper));
        const QMargins margins = r.layout().margins;
        const int limit = pages.paper.height() - margins.bottom();
        QVERIFY(pages.pageCount() > 3);

        int details = 0;
        bool groupRunsOn = false;
        for (int p = 0; p < pages.pageCount(); ++p) {
            const QList<PageList::Band>& bands = pages.pages.at(p).bands;
            QVERIFY(bands.size() > 1);
            QCOMPARE(bands.first().kind, ReportBand::Kind::PageHeader);
            QCOMPARE(bands.first().rect.top(), margins.top());
            QCOMPARE(bands.first().items.size(), report == QLatin1String("rptPrint") ? 3 : 2);
            for (qsizetype b = 0; b < bands.size(); ++b) {
                const QRect& rect = bands.at(b).rect;
                QCOMPARE(rect.left(), margins.left());
                QVERIFY2(rect.bottom() < limit,
                         qPrintable(QStringLiteral("page %1 band %2 crosses the bottom").arg(p).arg(b)));
                if (b > 0)
                    QCOMPARE(rect.top(), bands.at(b - 1).rect.bottom() + 1);
                for (const PageList::Item& item : bands.at(b).items)
                    QVERIFY(rect.contains(item.rect));
                details += bands.at(b).kind == ReportBand::Kind::Detail;
            }
            // A heading is never the last thing on a page.
            QVERIFY(bands.last().kind != ReportBand::Kind::GroupHeader);
            if (p > 0) {
                // The page before was full: what opens this page, a heading with its first
                // row, did not fit there.
                int needed = bands.at(1).rect.height();
                if (bands.at(1).kind == ReportBand::Kind::GroupHeader)
                    needed += bands.at(2).rect.height();
                QVERIFY(pages.pages.at(p - 1).bands.last().rect.bottom() + needed >= limit);
                groupRunsOn |= bands.at(1).kind == ReportBand::Kind::Detail;
            }
        }
        QCOMPARE(details, 200);
        QVERIFY(groupRunsOn);
        QCOMPARE(outline(pages), outline(r.pages()));

        const QString pdf = outFile(QStringLiteral("many.pdf"));
        QCOMPARE(ReportRenderer::writePdf(pages, pdf, r.layout().caption), QString());
        QCOMPARE(pdfPageCount(pdf), pages.pageCount());
    }

    void fullListBulletsEveryItemUnderUnderlinedHeadings()
    {
        addFixture();
        for (int i = 0; i < 120; ++i)
            addItem(QStringLiteral("Spice %1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("Spices"),
                    QStringLiteral("7"));
        const PageList& pages = printed(QStringLiteral("rptAll")).pages();
        QVERIFY(pages.pageCount() > 1);
        const double scale = 0.1;
        int titles = 0;
        for (int p = 0; p < pages.pageCount(); ++p) {
            const QImage image = rendered(pages, p, scale);
            for (const PageList::Band& band : pages.pages.at(p).bands) {
                titles += band.kind == ReportBand::Kind::ReportHeader;
                if (band.kind == ReportBand::Kind::GroupHeader)
                    QVERIFY(band.items.first().control.font->underline);
                if (band.kind != ReportBand::Kind::Detail)
                    continue;
                const PageList::Item* bullet = itemNamed(band, QStringLiteral("Shape1"));
                const PageList::Item* item = itemNamed(band, QStringLiteral("txtItem"));
                QVERIFY(bullet && item);
                QVERIFY(bullet->rect.right() < item->rect.left());
                QCOMPARE(QColor(image.pixel((QPointF(bullet->rect.center()) * scale).toPoint())),
                         QColor(192, 192, 255));
            }
        }
        QCOMPARE(titles, 1);
        QCOMPARE(pages.pages.first().bands.first().items.first().text, QStringLiteral("Full List"));
        QCOMPARE(pages.pages.first().bands.first().rect.topLeft(), QPoint(720, 720));
        QCOMPARE(pages.pages.at(1).bands.first().rect.topLeft(), QPoint(720, 720));
    }

    void fullListFreesItsResultWhenItGoesAway()
    {
        addFixture();
        BandedReport& all = printed(QStringLiteral("rptAll"));
        all.show();
        BandedReport& list = printed(QStringLiteral("rptPrint"));
        list.show();
        QCOMPARE(previewWindows().size(), 2);
        ResultSet& rsAll = DECartstock().resultSet(QStringLiteral("rsAll_Grouping"));
        ResultSet& rsList = DECartstock().resultSet(QStringLiteral("rsListPrint_Grouping"));

        QVERIFY(all.previewWindow()->close());
        QCOMPARE(rptAll::existing(), nullptr);
        QCOMPARE(rsAll.state(), 0);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(previewWindows().size(), 1);

        // Another report going away leaves its result alone.
        QVERIFY(list.previewWindow()->close());
        QCOMPARE(rptPrint::existing(), nullptr);
        QCOMPARE(rsList.state(), 1);

        // A fresh report finds its command closed and runs it again.
        rptAll::instance().refresh();
        QCOMPARE(rsAll.state(), 1);
        QCOMPARE(outline(rptAll::instance().pages()).size(), 8);
        BandedReport::closeAll();
        QCOMPARE(rsAll.state(), 0);
        QCOMPARE(rptAll::existing(), nullptr);
    }

    void showingAgainKeepsOneWindowWithTheLatestData()
    {
        addFixture();
        printed(QStringLiteral("rptPrint")).show();
        ReportPreview* window = rptPrint::existing()->previewWindow();
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Cartlist"));
        QCOMPARE(window->size(), QSize(669, 412));

        addEntry(QStringLiteral("Butter"), QStringLiteral("Dairy"), QStringLiteral("3"), QStringLiteral("1"));
        BandedReport& again = printed(QStringLiteral("rptPrint"));
        again.show();
        QCOMPARE(&again, static_cast<BandedReport*>(rptPrint::existing()));
        QCOMPARE(previewWindows(), QList<ReportPreview*>{window});
        QVERIFY(outline(again.pages()).contains(QStringLiteral("Butter | 3 | 1")));

        printed(QStringLiteral("rptPrint"), ListDate.addDays(1)).show();
        QCOMPARE(previewWindows(), QList<ReportPreview*>{window});
        QCOMPARE(outline(rptPrint::existing()->pages()), (QStringList{"# Produce", "Pears | 1 | 4"}));

        printed(QStringLiteral("rptAll")).show();
        QCOMPARE(previewWindows().size(), 2);
        QCOMPARE(rptAll::existing()->previewWindow()->windowTitle(), QStringLiteral("Full List"));
        QCOMPARE(rptAll::existing()->previewWindow()->size(), QSize(653, 343));
    }

    void previewPagesAndZooms()
    {
        addManyEntries(200);
        BandedReport& r = printed(QStringLiteral("rptAisle"));
        r.show();
        ReportPreview* window = r.previewWindow();
        const int count = r.pages().pageCount();
        auto* page = window->findChild<QLabel*>(QStringLiteral("lblPage"));
        QVERIFY(page);
        QCOMPARE(page->text(), QStringLiteral("Page 1 of %1").arg(count));
        QVERIFY(!window->findChild<QToolButton*>(QStringLiteral("cmdPrevious"))->isEnabled());

        click(window, "cmdNext");
        QCOMPARE(page->text(), QStringLiteral("Page 2 of %1").arg(count));
        click(window, "cmdLast");
        QCOMPARE(window->currentPage(), count - 1);
        QVERIFY(!window->findChild<QToolButton*>(QStringLiteral("cmdNext"))->isEnabled());
        click(window, "cmdFirst");
        QCOMPARE(window->currentPage(), 0);

        click(window, "cmdActualSize");
        QCOMPARE(window->zoom(), 1.0);
        click(window, "cmdZoomIn");
        QCOMPARE(window->zoom(), 1.25);
        click(window, "cmdFitWidth");
        QVERIFY(window->zoom() < 1.0);
        // Fit width follows the window.
        const double fitted = window->zoom();
        window->resize(window->width() + 200, window->height());
        QVERIFY(window->zoom() > fitted);

        // New data starts again at its first page.
        click(window, "cmdLast");
        printed(QStringLiteral("rptAisle"), ListDate.addYears(1));
        QCOMPARE(page->text(), QStringLiteral("Page 1 of 1"));
    }

    void exportPdfWritesTheShownPages()
    {
        addManyEntries(60);
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        ReportPreview* window = r.previewWindow();

        FileDialog::queueAnswer(QString());
        click(window, "cmdExportPdf");
        QCOMPARE(QDir(out->path()).entryList(QDir::Files), QStringList());

        FileDialog::queueAnswer(outFile(QStringLiteral("list")));
        click(window, "cmdExportPdf");
        QCOMPARE(FileDialog::askedDialogs().last(), QStringLiteral("Export PDF | PDF files (*.pdf)"));
        QCOMPARE(pdfPageCount(outFile(QStringLiteral("list.pdf"))), r.pages().pageCount());

        const QString unwritable = outFile(QStringLiteral("no such folder/list.pdf"));
        FileDialog::queueAnswer(unwritable);
        TestSession::answer(MessageBox::Answer::Ok);
        click(window, "cmdExportPdf");
        QCOMPARE(TestSession::messages().size(), 1);
        QVERIFY(TestSession::messages().first().contains(QDir::toNativeSeparators(unwritable)));
    }

    void printGoesToThePrinterChosen()
    {
        addManyEntries(60);
        BandedReport& r = printed(QStringLiteral("rptPrint"));
        r.show();
        ReportPreview* window = r.previewWindow();

        const QString file = outFile(QStringLiteral("printed.pdf"));
        PrintDialog::queueAnswer(false, file);
        click(window, "cmdPrint");
        QVERIFY(!QFile::exists(file));

        PrintDialog::queueAnswer(true, file);
        click(window, "cmdPrint");
        QCOMPARE(pdfPageCount(file), r.pages().pageCount());
    }
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
