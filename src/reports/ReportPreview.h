#pragma once

#include <QWidget>

class BandedReport;
class PageView;
class QLabel;
class QScrollArea;
class QToolButton;

// A report's preview window: its pages one at a time, page by page and at any zoom, with
// printing and export to PDF. Closing it makes its report go away.
class ReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ReportPreview(BandedReport& report);

    // Shows the report's pages anew, from the first.
    void reload();
    // 0-based.
    int currentPage() const { return m_page; }
    void showPage(int index);
    double zoom() const;

    QToolButton* cmdFirst = nullptr;
    QToolButton* cmdPrevious = nullptr;
    QLabel* lblPage = nullptr;
    QToolButton* cmdNext = nullptr;
    QToolButton* cmdLast = nullptr;
    QToolButton* cmdFitWidth = nullptr;
    QToolButton* cmdActualSize = nullptr;
    QToolButton* cmdZoomIn = nullptr;
    QToolButton* cmdZoomOut = nullptr;
    QToolButton* cmdPrint = nullptr;
    QToolButton* cmdExportPdf = nullptr;

Q_SIGNALS:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
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

    void setZoom(double zoom);
    void fitWidth();
    void updateControls();

    BandedReport& m_report;
    QScrollArea* m_scroll = nullptr;
    PageView* m_view = nullptr;
    int m_page = 0;
    bool m_fitWidth = true;
};
