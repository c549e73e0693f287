#include "ReportPreview.h"

#include "ChordGuard.h"
#include "FileDialog.h"
#include "FocusMark.h"
#include "MessageBox.h"
#include "PageScroll.h"
#include "PageSource.h"
#include "PageView.h"
#include "PrintDialog.h"
#include "PrintSystem.h"
#include "QrCodeWindow.h"
#include "ReportPaper.h"
#include "ReportRenderer.h"
#include "ReportText.h"
#include "ReturnPressesButton.h"
#include "Twips.h"
#include "UserAction.h"
#include "UserFile.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPrinter>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {
constexpr double ZoomStep = 1.25;
constexpr double MinZoom = 0.1;
constexpr double MaxZoom = 5.0;
// One notch of a mouse wheel.
constexpr int WheelNotch = 120;
// How far each further preview opens from the one before.
constexpr int CascadeStep = 32;

// The last file a preview wrote (exported, printed to), for the rest of the run: every file
// dialog starts in its folder (the program keeps no other record of it). After a print to a
// file, the print dialog chooses Print to File again.
QString& lastFile()
{
    static QString file;
    return file;
}
bool& printedToFile()
{
    static bool toFile = false;
    return toFile;
}

// Where a dialog for a file ending in `suffix` starts: the last file written when it is one,
// else the report's name in that file's folder, the home folder at first.
QString startFile(const QString& caption, const QString& suffix)
{
    const QString& last = lastFile();
    if (last.endsWith(u'.' + suffix, Qt::CaseInsensitive))
        return last;
    const QDir folder = last.isEmpty() ? QDir::home() : QFileInfo(last).dir();
    return folder.filePath(caption + u'.' + suffix);
}
// The file the user chose to write, `suffix` added to a name without it; the dialog starts
// where the last file went, and the choice is the last file from then on.
QString askFile(QWidget* parent, const QString& caption, const QString& name, const QString& filter,
                const QString& suffix)
{
    const QString file = FileDialog::getSaveFileName(parent, caption, startFile(name, suffix), filter, suffix);
    if (!file.isEmpty())
        lastFile() = file;
    return file;
}

QToolButton* button(QWidget* parent, const QString& name, const QString& text, const QString& tip = {})
{
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    // An access key's mark is not part of what the button is called.
    const QString called = tip.isEmpty() ? QString(text).remove(QLatin1Char('&')) : tip;
    b->setToolTip(called);
    // What a screen reader says: the meaning, also for a button that shows only a picture.
    b->setAccessibleName(called);
    return b;
}
} // namespace

ReportPreview::ReportPreview(PageSource& source, const QSize& clientTwips)
    : m_source(source)
{
    setObjectName(QStringLiteral("ReportPreview"));
    ChordGuard::install(*this);
    ReturnPressesButton::install(*this);
    // Tool buttons and the zoom show no focus of their own.
    FocusMark::install(*this);
    // A top-level window of its own: screen readers list it as a window by its caption.
    setWindowFlag(Qt::Window);
    setWindowTitle(source.caption());
    setAccessibleName(source.caption());
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    cmdFirst = button(client, QStringLiteral("cmdFirst"), QString(), QStringLiteral("First page"));
    cmdPrevious = button(client, QStringLiteral("cmdPrevious"), QString(), QStringLiteral("Previous page"));
    cmdNext = button(client, QStringLiteral("cmdNext"), QString(), QStringLiteral("Next page"));
    cmdLast = button(client, QStringLiteral("cmdLast"), QString(), QStringLiteral("Last page"));
    cmdFirst->setIcon(style()->standardIcon(QStyle::SP_MediaSkipBackward));
    cmdPrevious->setIcon(style()->standardIcon(QStyle::SP_MediaSeekBackward));
    cmdNext->setIcon(style()->standardIcon(QStyle::SP_MediaSeekForward));
    cmdLast->setIcon(style()->standardIcon(QStyle::SP_MediaSkipForward));
    lblPageCaption = new QLabel(QStringLiteral("&Page"), client);
    lblPageCaption->setObjectName(QStringLiteral("lblPageCaption"));
    lblPageCaption->setContentsMargins(6, 0, 0, 0);
    txtPage = new QSpinBox(client);
    txtPage->setObjectName(QStringLiteral("txtPage"));
    txtPage->setToolTip(QStringLiteral("Go to page (Ctrl+G)"));
    txtPage->setButtonSymbols(QAbstractSpinBox::NoButtons);
    txtPage->setAlignment(Qt::AlignRight);
    // A typed number goes to its page at Enter, not digit by digit.
    txtPage->setKeyboardTracking(false);
    lblPageCaption->setBuddy(txtPage);
    lblPage = new QLabel(client);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    lblPage->setContentsMargins(0, 0, 6, 0);
    cmdFitWidth = button(client, QStringLiteral("cmdFitWidth"), QStringLiteral("Fit Width"));
    cmdActualSize = button(client, QStringLiteral("cmdActualSize"), QStringLiteral("Actual Size"));
    cmdZoomIn = button(client, QStringLiteral("cmdZoomIn"), QStringLiteral("+"), QStringLiteral("Zoom in"));
    cmdZoomOut = button(client, QStringLiteral("cmdZoomOut"), QStringLiteral("-"), QStringLiteral("Zoom out"));
    lblZoom = new QLabel(client);
    lblZoom->setObjectName(QStringLiteral("lblZoom"));
    lblZoom->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblZoom->setMinimumWidth(lblZoom->fontMetrics().horizontalAdvance(QStringLiteral(" 500%")));
    // Reached with Tab, so a screen reader user hears the zoom.
    lblZoom->setFocusPolicy(Qt::TabFocus);
    cmdPrint = button(client, QStringLiteral("cmdPrint"), QStringLiteral("Print..."));
    cmdPrint->setShortcut(QKeySequence::Print);
    cmdExportPdf = button(client, QStringLiteral("cmdExportPdf"), QStringLiteral("Export PDF..."));
    cmdCopyText = button(client, QStringLiteral("cmdCopyText"), QStringLiteral("&Copy Text"));
    cmdSaveText = button(client, QStringLiteral("cmdSaveText"), QStringLiteral("&Save Text..."));
    cmdPhone = button(client, QStringLiteral("cmdPhone"), QStringLiteral("P&hone..."));
    cmdCopyText->setToolTip(QStringLiteral("Copy Text (Ctrl+C)"));
    cmdPhone->setToolTip(QStringLiteral("Show the text as QR codes for a phone's camera"));

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(6, 4, 6, 4);
    bar->setSpacing(2);
    for (QWidget* w : {static_cast<QWidget*>(cmdFirst), static_cast<QWidget*>(cmdPrevious),
                       static_cast<QWidget*>(lblPageCaption), static_cast<QWidget*>(txtPage),
                       static_cast<QWidget*>(lblPage), static_cast<QWidget*>(cmdNext), static_cast<QWidget*>(cmdLast)})
        bar->addWidget(w);
    bar->addSpacing(12);
    for (QToolButton* b : {cmdFitWidth, cmdActualSize, cmdZoomOut})
        bar->addWidget(b);
    bar->addWidget(lblZoom);
    bar->addWidget(cmdZoomIn);
    bar->addStretch();
    // The commands on a row of their own: one row would widen the window past its size.
    auto* commands = new QHBoxLayout;
    commands->setContentsMargins(6, 0, 6, 4);
    commands->setSpacing(2);
    for (QToolButton* b : {cmdPrint, cmdExportPdf, cmdCopyText, cmdSaveText, cmdPhone})
        commands->addWidget(b);
    commands->addStretch();

    m_view = new PageView;
    m_scroll = new PageScroll(client);
    m_scroll->setObjectName(QStringLiteral("scrollPages"));
    m_scroll->setAccessibleName(QStringLiteral("Page"));
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setFocusPolicy(Qt::StrongFocus);
    m_scroll->setWidget(m_view);
    m_scroll->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bar);
    layout->addLayout(commands);
    layout->addWidget(m_scroll, 1);
    // As the bar reads, the page right after its number.
    QWidget* previous = cmdFirst;
    for (QWidget* w :
         {static_cast<QWidget*>(cmdPrevious), static_cast<QWidget*>(txtPage), static_cast<QWidget*>(m_scroll),
          static_cast<QWidget*>(cmdNext), static_cast<QWidget*>(cmdLast), static_cast<QWidget*>(cmdFitWidth),
          static_cast<QWidget*>(cmdActualSize), static_cast<QWidget*>(cmdZoomOut), static_cast<QWidget*>(lblZoom),
          static_cast<QWidget*>(cmdZoomIn), static_cast<QWidget*>(cmdPrint), static_cast<QWidget*>(cmdExportPdf),
          static_cast<QWidget*>(cmdCopyText), static_cast<QWidget*>(cmdSaveText), static_cast<QWidget*>(cmdPhone)}) {
        setTabOrder(previous, w);
        previous = w;
    }
    m_scroll->setFocus();

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
    connect(cmdCopyText, &QToolButton::clicked, this, guarded(&ReportPreview::cmdCopyTextClicked));
    connect(cmdSaveText, &QToolButton::clicked, this, guarded(&ReportPreview::cmdSaveTextClicked));
    connect(cmdPhone, &QToolButton::clicked, this, guarded(&ReportPreview::cmdPhoneClicked));
    connect(txtPage, &QSpinBox::valueChanged, this, [this](int page) { showPage(page - 1); });

    // The keys of desktop viewers, wherever the focus is in the window (a box being typed
    // in keeps Home and End for its text).
    const auto key = [this](const QKeySequence& keys, void (ReportPreview::*handler)()) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, UserAction::slot(this, handler));
    };
    key(QKeySequence(Qt::Key_PageDown), &ReportPreview::pageDown);
    key(QKeySequence(Qt::Key_PageUp), &ReportPreview::pageUp);
    key(QKeySequence(Qt::Key_Home), &ReportPreview::cmdFirstClicked);
    key(QKeySequence(Qt::CTRL | Qt::Key_Home), &ReportPreview::cmdFirstClicked);
    key(QKeySequence(Qt::Key_End), &ReportPreview::goToEnd);
    key(QKeySequence(Qt::CTRL | Qt::Key_End), &ReportPreview::goToEnd);
    key(QKeySequence(QKeySequence::ZoomIn), &ReportPreview::cmdZoomInClicked);
    key(QKeySequence(Qt::CTRL | Qt::Key_Equal), &ReportPreview::cmdZoomInClicked);
    key(QKeySequence(QKeySequence::ZoomOut), &ReportPreview::cmdZoomOutClicked);
    key(QKeySequence(Qt::CTRL | Qt::Key_0), &ReportPreview::cmdActualSizeClicked);
    // The page box keeps Ctrl+C for the number it shows.
    key(QKeySequence(QKeySequence::Copy), &ReportPreview::cmdCopyTextClicked);
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
    auto* goTo = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_G), this);
    connect(goTo, &QShortcut::activated, this, [this] {
        txtPage->setFocus(Qt::ShortcutFocusReason);
        txtPage->selectAll();
    });

    resize(Twips::size(clientTwips.width(), clientTwips.height()));
    connect(&source, &PageSource::pagesChanged, this, &ReportPreview::reload);
    reload();
}

void ReportPreview::placeAmongWindows()
{
    QWidget* anchor = QApplication::activeWindow();
    if (!anchor || qobject_cast<ReportPreview*>(anchor)) {
        anchor = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && qobject_cast<QMainWindow*>(w) && !qobject_cast<ReportPreview*>(w)) {
                anchor = w;
                break;
            }
        }
    }
    QScreen* screen = anchor ? anchor->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen->availableGeometry();
    // Below the menu bar, so the main window's commands stay in reach.
    QPoint corner = room.topLeft();
    if (anchor) {
        const auto* main = qobject_cast<QMainWindow*>(anchor);
        const QWidget* menu = main && main->menuWidget() ? main->menuWidget() : nullptr;
        corner = menu ? menu->mapToGlobal(QPoint(0, menu->height())) : anchor->mapToGlobal(QPoint(0, 0));
    }
    int others = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        others += w != this && w->isVisible() && qobject_cast<ReportPreview*>(w);
    corner += QPoint(others * CascadeStep, others * CascadeStep);

    // The frame (title bar and borders) counts: an estimate until the window has one.
    const QSize frame = frameGeometry().size() - size();
    const QSize extra = frame.isEmpty() ? QSize(8, 32) : frame;
    QSize client = size().boundedTo(room.size() - extra);
    const int roomBelow = room.bottom() + 1 - corner.y() - extra.height();
    if (client.height() > roomBelow)
        client.setHeight(qMax(roomBelow, client.height() / 2));
    resize(client);
    corner.setX(qBound(room.left(), corner.x(), room.right() + 1 - client.width() - extra.width()));
    corner.setY(qBound(room.top(), corner.y(), room.bottom() + 1 - client.height() - extra.height()));
    move(corner);
}

void ReportPreview::reload()
{
    if (m_keepPlace) {
        const int top = m_scroll->verticalScrollBar()->value();
        showPage(m_page);
        m_scroll->verticalScrollBar()->setValue(top);
        return;
    }
    m_fitWidth = true;
    showPage(0);
    m_scroll->horizontalScrollBar()->setValue(m_scroll->horizontalScrollBar()->minimum());
}

void ReportPreview::makeCurrent()
{
    if (!m_source.isCurrent()) {
        m_keepPlace = true;
        const auto back = qScopeGuard([this] { m_keepPlace = false; });
        m_source.reread();
    }
    m_readFailed = false;
}

void ReportPreview::showPage(int index)
{
    const PageList& pages = m_source.pages();
    m_page = qBound(0, index, qMax(0, pages.pageCount() - 1));
    m_view->setPage(pages.pageCount() > 0 ? &pages.pages.at(m_page) : nullptr, pages.paper);
    m_scroll->setText(pages.pageCount() > 0 ? ReportText::page(pages.pages.at(m_page)) : QString());
    if (m_fitWidth)
        fitWidth();
    m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->minimum());
    m_wheelPastEnd = 0;
    updateControls();
}

double ReportPreview::zoom() const { return m_view->zoom(); }

void ReportPreview::cmdLastClicked() { showPage(m_source.pages().pageCount() - 1); }

void ReportPreview::cmdFitWidthClicked()
{
    m_fitWidth = true;
    fitWidth();
}

void ReportPreview::cmdZoomInClicked() { setZoom(zoom() * ZoomStep); }

void ReportPreview::cmdZoomOutClicked() { setZoom(zoom() / ZoomStep); }

void ReportPreview::pageDown()
{
    QScrollBar* bar = m_scroll->verticalScrollBar();
    if (bar->value() < bar->maximum())
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    else if (m_page < m_source.pages().pageCount() - 1)
        showPage(m_page + 1);
}

void ReportPreview::pageUp()
{
    QScrollBar* bar = m_scroll->verticalScrollBar();
    if (bar->value() > bar->minimum()) {
        bar->triggerAction(QAbstractSlider::SliderPageStepSub);
    } else if (m_page > 0) {
        showPage(m_page - 1);
        bar->setValue(bar->maximum());
    }
}

void ReportPreview::goToEnd()
{
    showPage(m_source.pages().pageCount() - 1);
    m_scroll->verticalScrollBar()->setValue(m_scroll->verticalScrollBar()->maximum());
}

bool ReportPreview::wheel(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return false;
    if (event->modifiers() & Qt::ControlModifier) {
        // A notch a zoom step, however finely the wheel reports it.
        m_wheelZoom += delta;
        while (qAbs(m_wheelZoom) >= WheelNotch) {
            if (m_wheelZoom > 0)
                cmdZoomInClicked();
            else
                cmdZoomOutClicked();
            m_wheelZoom -= m_wheelZoom > 0 ? WheelNotch : -WheelNotch;
        }
        return true;
    }
    QScrollBar* bar = m_scroll->verticalScrollBar();
    const bool atEnd = delta < 0 ? bar->value() >= bar->maximum() : bar->value() <= bar->minimum();
    if (!atEnd) {
        m_wheelPastEnd = 0;
        return false;
    }
    // Turned on at the page's end: a whole notch turns the page.
    if ((m_wheelPastEnd < 0) != (delta < 0))
        m_wheelPastEnd = 0;
    m_wheelPastEnd += delta;
    if (qAbs(m_wheelPastEnd) < WheelNotch)
        return true;
    if (delta < 0 && m_page < m_source.pages().pageCount() - 1) {
        showPage(m_page + 1);
    } else if (delta > 0 && m_page > 0) {
        showPage(m_page - 1);
        bar->setValue(bar->maximum());
    }
    m_wheelPastEnd = 0;
    return true;
}

int ReportPreview::shownPageIn(const PageList& pages) const
{
    const PageList& shown = m_source.pages();
    if (pages.paper == shown.paper || shown.pageCount() == 0)
        return qBound(0, m_page, qMax(0, pages.pageCount() - 1));
    // On other paper: the page that holds the first row this window shows.
    for (const PageList::Band& first : shown.pages.at(m_page).bands) {
        if (first.group < 0)
            continue;
        for (int p = 0; p < pages.pageCount(); ++p) {
            for (const PageList::Band& band : pages.pages.at(p).bands) {
                if (band.kind == first.kind && band.group == first.group && band.row == first.row)
                    return p;
            }
        }
    }
    return qBound(0, m_page, qMax(0, pages.pageCount() - 1));
}

void ReportPreview::cmdPrintClicked()
{
    makeCurrent();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(ReportPaper::defaultSize());
    printer.setFullPage(true);
    printer.setDocName(m_source.caption());
    const QString start = startFile(m_source.caption(), QStringLiteral("pdf"));
    if (printedToFile())
        printer.setOutputFileName(start);
    if (!PrintDialog::exec(printer, m_source.pages().pageCount(), this, start))
        return;
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        lastFile() = printer.outputFileName();
    printedToFile() = printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty();
    // The file may have changed while the dialog was open.
    makeCurrent();

    const PageList pages = m_source.pagesFor(ReportPaper::twips(printer.pageLayout()));
    // Copies, order and the pages chosen are put out here, for a printer and a PDF file alike.
    const ReportRenderer::PrintChoice choice = ReportRenderer::takeChoice(printer, shownPageIn(pages));
    const QList<int> sequence = ReportRenderer::sequence(pages.pageCount(), choice);
    if (sequence.isEmpty()) {
        MessageBox::show(QStringLiteral("On this paper the report has %1 pages: none of the pages chosen was printed.")
                             .arg(pages.pageCount()),
                         MessageBox::Buttons::Ok, this);
        return;
    }
    // Qt's printer writes a file without looking at its writes: a full disk would leave a
    // part-written file where the user's was. Files are written by the program.
    if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty())
        return writePdf(pages, printer.outputFileName(), sequence);
    const PrintSystem::Outcome job = PrintSystem::print(
        printer, [&](QPagedPaintDevice& device) { return ReportRenderer::print(pages, device, sequence); });
    if (!job.refusal.isEmpty())
        MessageBox::show(QStringLiteral("The report could not be printed: %1").arg(job.refusal),
                         MessageBox::Buttons::Ok, this);
    else if (!job.waiting.isEmpty())
        MessageBox::show(job.waiting, MessageBox::Buttons::Ok, this);
}

void ReportPreview::cmdExportPdfClicked()
{
    const QString file = askFile(this, QStringLiteral("Export PDF"), m_source.caption(),
                                 QStringLiteral("PDF files (*.pdf)"), QStringLiteral("pdf"));
    if (file.isEmpty())
        return;
    makeCurrent();
    writePdf(m_source.pages(), file);
}

void ReportPreview::cmdCopyTextClicked()
{
    makeCurrent();
    QGuiApplication::clipboard()->setText(m_source.text());
}

void ReportPreview::cmdSaveTextClicked()
{
    const QString file = askFile(this, QStringLiteral("Save Text"), m_source.caption(),
                                 QStringLiteral("Text files (*.txt)"), QStringLiteral("txt"));
    if (file.isEmpty())
        return;
    makeCurrent();
    const QString error = UserFile::write(file, m_source.text().toUtf8());
    if (!error.isEmpty()) {
        MessageBox::show(
            QStringLiteral("The text file %1 could not be written: %2").arg(QDir::toNativeSeparators(file), error),
            MessageBox::Buttons::Ok, this);
    }
}

void ReportPreview::cmdPhoneClicked()
{
    makeCurrent();
    // One code window at a time, showing the report as it is now.
    delete m_phone;
    m_phone = new QrCodeWindow(m_source.text(), this);
    m_phone->show();
}

void ReportPreview::writePdf(const PageList& pages, const QString& file, const QList<int>& sequence)
{
    const QString error = ReportRenderer::writePdf(pages, file, m_source.caption(), sequence);
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
    const int count = m_source.pages().pageCount();
    {
        const QSignalBlocker quiet(txtPage);
        txtPage->setRange(1, qMax(1, count));
        txtPage->setValue(m_page + 1);
    }
    lblPage->setText(QStringLiteral("of %1").arg(count));
    // The box's label names it for a screen reader too: both say the count.
    const QString where = QStringLiteral("Page %1 of %2").arg(m_page + 1).arg(count);
    lblPageCaption->setAccessibleName(where);
    txtPage->setAccessibleName(where);
    cmdFirst->setEnabled(m_page > 0);
    cmdPrevious->setEnabled(m_page > 0);
    cmdNext->setEnabled(m_page < count - 1);
    cmdLast->setEnabled(m_page < count - 1);
    cmdZoomIn->setEnabled(zoom() < MaxZoom);
    cmdZoomOut->setEnabled(zoom() > MinZoom);
    lblZoom->setText(QStringLiteral("%1%").arg(qRound(zoom() * 100)));
    lblZoom->setAccessibleName(QStringLiteral("Zoom ") + lblZoom->text());
}

bool ReportPreview::event(QEvent* event)
{
    // Coming back to the preview after changing the list shows the list as it is now.
    // A file that cannot be read is told once, not at every return from the message box.
    if (event->type() == QEvent::WindowActivate && !m_readFailed) {
        m_readFailed = true;
        UserAction::run([this] { makeCurrent(); }, this);
    }
    return QMainWindow::event(event);
}

void ReportPreview::closeEvent(QCloseEvent* event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        Q_EMIT closed();
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport()) {
        if (event->type() == QEvent::Resize && m_fitWidth)
            fitWidth();
        if (event->type() == QEvent::Wheel && wheel(static_cast<QWheelEvent*>(event)))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
