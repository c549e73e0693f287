#pragma once

#include <QList>
#include <QMainWindow>
#include <QPointer>

class PageScroll;
class PageSource;
class PageView;
class QLabel;
class QrCodeWindow;
class QSpinBox;
class QToolButton;
class QWheelEvent;
struct PageList;

// A report's preview window: its pages one at a time, page by page and at any zoom, with
// printing, export to PDF, and the report as text: copied (also Ctrl+C), saved to a file or
// shown as QR codes for a phone. It pages as desktop viewers do: Page Down and Page Up scroll
// a screen and go on to the next or previous page at a page's end, Home and End (with or
// without Ctrl) go to the first and last page, the wheel turned on at a page's end turns
// the page, a page number typed in the page box goes there; Ctrl with the wheel, plus or
// minus zooms; Escape and Ctrl+W close it. Before printing or exporting, and when it comes
// forward, pages the file no longer holds are read again. Closing it makes its report go away.
class ReportPreview : public QMainWindow {
    Q_OBJECT
public:
    // `clientTwips`: the size of the window's client area.
    ReportPreview(PageSource& source, const QSize& clientTwips);

    // Opens below the menu bar of the window the user works in, clear of previews already
    // open, within the screen.
    void placeAmongWindows();
    // 0-based.
    int currentPage() const { return m_page; }
    // Shows that page from its top.
    void showPage(int index);
    double zoom() const;

Q_SIGNALS:
    void closed();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // New pages from the source: a fresh report from the top of its first page at a zoom
    // that shows it, or the same place when the preview itself read the file again.
    void reload();
    // Reads the pages again when the file changed since they were read.
    void makeCurrent();
    // The key a focused button takes as a press: true when it was one.
    void cmdFirstClicked() { showPage(0); }
    void cmdPreviousClicked() { showPage(m_page - 1); }
    void cmdNextClicked() { showPage(m_page + 1); }
    void cmdLastClicked();
    void cmdFitWidthClicked();
    void cmdActualSizeClicked() { setZoom(1.0); }
    void cmdZoomInClicked();
    void cmdZoomOutClicked();
    void cmdPrintClicked();
    void cmdExportPdfClicked();
    void cmdCopyTextClicked();
    void cmdSaveTextClicked();
    void cmdPhoneClicked();
    // Tells the user when the file could not be written.
    void writePdf(const PageList& pages, const QString& file, const QList<int>& sequence = {});

    // A screen further, on to the next page's top at the end of this one; and back.
    void pageDown();
    void pageUp();
    void goToEnd();
    bool wheel(QWheelEvent* event);
    // The page of `pages` (laid out on other paper) that holds what this window shows.
    int shownPageIn(const PageList& pages) const;

    void setZoom(double zoom);
    void fitWidth();
    void updateControls();

    QToolButton* cmdFirst = nullptr;
    QToolButton* cmdPrevious = nullptr;
    QLabel* lblPageCaption = nullptr;
    QSpinBox* txtPage = nullptr;
    QLabel* lblPage = nullptr;
    QToolButton* cmdNext = nullptr;
    QToolButton* cmdLast = nullptr;
    QToolButton* cmdFitWidth = nullptr;
    QToolButton* cmdActualSize = nullptr;
    QToolButton* cmdZoomIn = nullptr;
    QToolButton* cmdZoomOut = nullptr;
    QLabel* lblZoom = nullptr;
    QToolButton* cmdPrint = nullptr;
    QToolButton* cmdExportPdf = nullptr;
    QToolButton* cmdCopyText = nullptr;
    QToolButton* cmdSaveText = nullptr;
    QToolButton* cmdPhone = nullptr;

    PageSource& m_source;
    PageScroll* m_scroll = nullptr;
    PageView* m_view = nullptr;
    int m_page = 0;
    bool m_fitWidth = true;
    bool m_keepPlace = false;
    bool m_readFailed = false;
    // Wheel turns not yet acted on: past a page's end, and with Ctrl.
    int m_wheelPastEnd = 0;
    int m_wheelZoom = 0;
    QPointer<QrCodeWindow> m_phone;
};
