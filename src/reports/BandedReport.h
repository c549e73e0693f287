#pragma once

#include "Connection.h"
#include "PageSource.h"
#include "ReportData.h"
#include "ReportLayout.h"

#include <memory>

class ReportPreview;

// A banded report bound to a grouped command of DECartstock, with its own preview window.
// The report lives while its window is open: closing the window makes it go away.
class BandedReport : public PageSource {
    Q_OBJECT
public:
    ~BandedReport() override;

    const ReportLayout& layout() const { return m_layout; }
    QString caption() const override { return m_layout.caption; }
    const PageList& pages() const override { return m_pages; }
    QString text() const override;
    PageList pagesFor(const QSize& paperTwips) const override;
    bool isCurrent() override;
    // Runs the command again with the date it last ran with, then refreshes.
    void reread() override;

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
    // The argument the command ran with: the list's date, none for the catalogue.
    QVariant m_date;
    // The file's version when the rows were read.
    Connection::Version m_readAt;
    bool m_read = false;
    bool m_gone = false;
    std::unique_ptr<ReportPreview> m_preview;
};
