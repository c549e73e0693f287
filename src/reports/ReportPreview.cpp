#include "ReportPreview.h"

#include "BandedReport.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "PageView.h"
#include "PrintDialog.h"
#include "ReportPaper.h"
#include "ReportRenderer.h"
#include "Twips.h"
#include "UserAction.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QScrollArea>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
constexpr double ZoomStep = 1.25;
constexpr double MinZoom = 0.1;
constexpr double MaxZoom = 5.0;

QToolButton* button(QWidget* parent, const QString& name, const QString& text, const QString& tip = {})
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setToolTip(tip.isEmpty() ? text : tip);
    return b;
}
} // namespace

ReportPreview::ReportPreview(BandedReport& report)
    : m_report(report)
{
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(report.layout().caption);

    cmdFirst = button(this, QStringLiteral("cmdFirst"), QString(), QStringLiteral("First page"));
    cmdPrevious = button(this, QStringLiteral("cmdPrevious"), QString(), QStringLiteral("Previous page"));
    cmdNext = button(this, QStringLiteral("cmdNext"), QString(), QStringLiteral("Next page"));
    cmdLast = button(this, QStringLiteral("cmdLast"), QString(), QStringLiteral("Last page"));
    cmdFirst->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
    cmdPrevious->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    cmdNext->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    cmdLast->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
    lblPage = new QLabel(this);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblPage->setContentsMargins(6, 0, 6, 0);
    cmdFitWidth = button(this, QStringLiteral("cmdFitWidth"), QStringLiteral("Fit Width"));
    cmdActualSize =
        button(this, QStringLiteral("cmdActualSize"), QStringLiteral("100%"), QStringLiteral("Actual size"));
    cmdZoomIn = button(this, QStringLiteral("cmdZoomIn"), QStringLiteral("+"), QStringLiteral("Zoom in"));
    cmdZoomOut = button(this, QStringLiteral("cmdZoomOut"), QStringLiteral("-"), QStringLiteral("Zoom out"));
    cmdPrint = button(this, QStringLiteral("cmdPrint"), QStringLiteral("Print..."));
    cmdPrint->setShortcut(QKeySequence::Print);
    cmdExportPdf = button(this, QStringLiteral("cmdExportPdf"), QStringLiteral("Export PDF..."));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    for (QWidget* w : {static_cast<QWidget*>(cmdFirst), static_cast<QWidget*>(cmdPrevious),
                       static_cast<QWidget*>(lblPage), static_cast<QWidget*>(cmdNext), static_cast<QWidget*>(cmdLast)})
        bar->addWidget(w);
    bar->addSpacing(12);
    for (QToolButton* b : {cmdFitWidth, cmdActualSize, cmdZoomIn, cmdZoomOut})
        bar->addWidget(b);
    bar->addStretch();
    bar->addWidget(cmdPrint);
    bar->addWidget(cmdExportPdf);

    m_view = new PageView;
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrollPages"));
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    // Each button is one user action: a failure reaches the user in a message box.
    const auto guarded = [this](void (ReportPreview::*handler)()) { return UserAction::slot(this, handler); };
    connect(cmdFirst, &QToolButton::clicked, this, guarded(&ReportPreview::cmdFirstClicked));
    connect(cmdPrevious, &QToolButton::clicked, this, guarded(&ReportPreview::cmdPreviousClicked));
    connect(cmdNext, &QToolButton::clicked, this, guarded(&ReportPreview::cmdNextClicked));
    connect(cmdLast, &QToolButton::clicked, this, guarded(&ReportPreview::cmdLastClicked));
    connect(cmdFitWidth, &QToolButton::clicked, this, guarded(&ReportPreview::cmdFitWidthClicked));
    connect(cmdActualSize, &QToolButton::clicked, this, guarded(&ReportPreview::cmdActualSizeClicked));
    connect(cmdZoomIn, &QToolButton::clicked, this, guarded(&ReportPreview::cmdZoomInClicked));
    connect(cmdZoomOut, &QToolButton::clicked, this, guarded(&ReportPreview::cmdZoomOutClicked));
    connect(cmdPrint, &QToolButton::clicked, this, guarded(&ReportPreview::cmdPrintClicked));
    connect(cmdExportPdf, &QToolButton::clicked, this, guarded(&ReportPreview::cmdExportPdfClicked));

    const QSize client = report.layout().previewClientSize;
    resize(Twips::size(client.width(), client.height()));
    reload();
}

void ReportPreview::reload()
{
    m_page = 0;
    showPage(0);
}

void ReportPreview::showPage(int index)
{
    const PageList& pages = m_report.pages();
    m_page = qBound(0, index, qMax(0, pages.pageCount() - 1));
    m_view->setPage(pages.pageCount() > 0 ? &pages.pages.at(m_page) : nullptr, pages.paper);
    if (m_fitWidth)
        fitWidth();
    updateControls();
}

double ReportPreview::zoom() const { return m_view->zoom(); }

void ReportPreview::cmdLastClicked() { showPage(m_report.pages().pageCount() - 1); }

void ReportPreview::cmdFitWidthClicked()
{
    m_fitWidth = true;
    fitWidth();
}

void ReportPreview::cmdZoomInClicked() { setZoom(zoom() * ZoomStep); }

void ReportPreview::cmdZoomOutClicked() { setZoom(zoom() / ZoomStep); }

void ReportPreview::cmdPrintClicked()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(ReportPaper::defaultSize());
    printer.setFullPage(true);
    printer.setDocName(m_report.layout().caption);
    if (!PrintDialog::exec(printer, this))
        return;

    PageList pages = m_report.pagesFor(ReportPaper::twips(printer.pageLayout()));
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0)
        pages.pages = pages.pages.mid(printer.fromPage() - 1, printer.toPage() - printer.fromPage() + 1);
    if (!ReportRenderer::print(pages, printer))
        MessageBox::show(QStringLiteral("The report could not be printed."), MessageBox::Buttons::Ok, this);
}

void ReportPreview::cmdExportPdfClicked()
{
    const QString caption = m_report.layout().caption;
    QString file = FileDialog::getSaveFileName(this, QStringLiteral("Export PDF"),
                                               QDir::home().filePath(caption + QStringLiteral(".pdf")),
                                               QStringLiteral("PDF files (*.pdf)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".pdf");
    const QString error = ReportRenderer::writePdf(m_report.pages(), file, caption);
    if (!error.isEmpty()) {
        MessageBox::show(
            QStringLiteral("The PDF file %1 could not be written: %2").arg(QDir::toNativeSeparators(file), error),
            MessageBox::Buttons::Ok, this);
    }
}

void ReportPreview::setZoom(double zoom)
{
    m_fitWidth = false;
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_view->setZoom(qBound(MinZoom, zoom, MaxZoom));
    updateControls();
}

void ReportPreview::fitWidth()
{
    // A page fitted to the width is taller than the view: fixed scroll bars keep the view
    // as wide as the page was fitted to.
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setZoom(qBound(MinZoom, m_view->zoomToFit(m_scroll->viewport()->width()), MaxZoom));
    updateControls();
}

void ReportPreview::updateControls()
{
    const int count = m_report.pages().pageCount();
    lblPage->setText(QStringLiteral("Page %1 of %2").arg(m_page + 1).arg(count));
    cmdFirst->setEnabled(m_page > 0);
    cmdPrevious->setEnabled(m_page > 0);
    cmdNext->setEnabled(m_page < count - 1);
    cmdLast->setEnabled(m_page < count - 1);
    cmdZoomIn->setEnabled(zoom() < MaxZoom);
    cmdZoomOut->setEnabled(zoom() > MinZoom);
}

void ReportPreview::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize && m_fitWidth)
        fitWidth();
    return QWidget::eventFilter(watched, event);
}
