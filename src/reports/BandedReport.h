#pragma once

#include "PageList.h"
#include "ReportData.h"
#include "ReportLayout.h"

#include <QObject>
#include <QSize>

#include <memory>

class ReportPreview;

// A banded report bound to a grouped command of DECartstock, with its own preview window.
// The report lives while its window is open: closing the window makes it go away.
class BandedReport : public QObject {
    Q_OBJECT
public:
    ~BandedReport() override;

    const ReportLayout& layout() const { return m_layout; }
    // The pages as the preview shows them and an exported PDF holds them.
    const PageList& pages() const { return m_pages; }
    // The same rows laid out on other paper, for a printer the user chose.
    PageList pagesFor(const QSize& paperTwips) const;

    // Re-reads the command's current result set. A closed one is opened by running the
    // command with its stored default, as a report bound to a command does.
    void refresh();
    // Shows the preview window, not modal, and brings it forward; one window per report.
    void show();
    ReportPreview* previewWindow() const { return m_preview.get(); }

    // Ends every report at once, windows and all: the program is ending.
    static void closeAll();

protected:
    explicit BandedReport(ReportLayout layout);
    // Runs once as the report goes away.
    virtual void terminate() {}

private:
    // Stops being the report that instance() hands out.
    virtual void detach() = 0;
    void goAway();
    void previewClosed();

    ReportLayout m_layout;
    ReportData m_data;
    PageList m_pages;
    bool m_read = false;
    bool m_gone = false;
    std::unique_ptr<ReportPreview> m_preview;
};
