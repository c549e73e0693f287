#include "BandedReport.h"

#include "DataEnvironment.h"
#include "DataError.h"
#include "Paginator.h"
#include "ReportPaper.h"
#include "ReportPreview.h"
#include "ReportText.h"

namespace {
QList<BandedReport*>& liveReports()
{
    static QList<BandedReport*> reports;
    return reports;
}
} // namespace

BandedReport::BandedReport(ReportLayout layout)
    : m_layout(std::move(layout))
{
    liveReports() << this;
}

BandedReport::~BandedReport() { liveReports().removeOne(this); }

PageList BandedReport::pagesFor(const QSize& paperTwips) const
{
    return Paginator::paginate(m_layout, m_data, paperTwips);
}

QString BandedReport::text() const
{
    // The list reports print no date: their text says which day's list it is.
    const QString date = ReportData::generalFormat(m_date);
    return ReportText::make(m_layout, m_data, date.isEmpty() ? caption() : caption() + QLatin1Char(' ') + date);
}

void BandedReport::refresh()
{
    ResultSet& rs = DECartstock().resultSet(QStringLiteral("rs") + m_layout.dataMember);
    if (rs.state() != Recordset::StateOpen)
        DECartstock().run(m_layout.dataMember);
    if (rs.childMember().compare(m_layout.childMember, Qt::CaseInsensitive) != 0) {
        throw DataError(QStringLiteral("The report's detail is bound to %1, which %2 does not have.")
                            .arg(m_layout.childMember, rs.name()));
    }
    m_data = ReportData::fromResultSet(rs);
    m_date = rs.parameter();
    m_readAt = DECartstock().cnCart().version();
    m_pages = pagesFor(ReportPaper::twips(ReportPaper::defaultSize()));
    m_read = true;
    Q_EMIT pagesChanged();
}

bool BandedReport::isCurrent()
{
    // The connection's version counts its own writes (Delete All, a date change) as well as
    // every other connection's commits (the grid's edits).
    try {
        return m_read && DECartstock().cnCart().version() == m_readAt;
    } catch (const std::exception&) {
        return false;
    }
}

void BandedReport::reread()
{
    ResultSet& rs = DECartstock().resultSet(QStringLiteral("rs") + m_layout.dataMember);
    const QVariant dt = rs.parameter();
    if (rs.state() == Recordset::StateOpen)
        rs.close();
    DECartstock().run(m_layout.dataMember, dt);
    refresh();
}

void BandedReport::show()
{
    if (!m_read)
        refresh();
    if (!m_preview) {
        m_preview = std::make_unique<ReportPreview>(*this, m_layout.previewClientSize);
        m_preview->placeAmongWindows();
        connect(m_preview.get(), &ReportPreview::closed, this, &BandedReport::previewClosed);
    }
    m_preview->setWindowState(m_preview->windowState() & ~Qt::WindowMinimized);
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
}

void BandedReport::closeAll()
{
    const QList<BandedReport*> reports = liveReports();
    for (BandedReport* report : reports) {
        report->goAway();
        delete report;
    }
}

void BandedReport::goAway()
{
    if (m_gone)
        return;
    m_gone = true;
    detach();
    terminate();
}

void BandedReport::previewClosed()
{
    goAway();
    // The window is still inside its close handling: free it once that is done.
    deleteLater();
}
