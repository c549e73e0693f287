#include "Paginator.h"

#include "ReportData.h"
#include "ReportLayout.h"

namespace {
class Run {
public:
    Run(const ReportLayout& layout, const ReportData& data, const QSize& paper)
        : m_layout(layout)
        , m_data(data)
    {
        m_out.paper = paper;
        const ReportBand* footer = layout.band(ReportBand::Kind::PageFooter);
        m_bodyBottom = paper.height() - layout.margins.bottom() - (footer ? qMax(0, footer->height) : 0);
    }

    void newPage(bool first)
    {
        m_out.pages.append(PageList::Page{});
        m_y = m_layout.margins.top();
        if (first)
            put(ReportBand::Kind::ReportHeader, -1, -1);
        put(ReportBand::Kind::PageHeader, -1, -1);
        m_bodyTop = m_y;
    }

    // `keepWith` is the height that must fit below the band on the same page.
    void flow(ReportBand::Kind kind, int group, int row, int keepWith = 0)
    {
        const ReportBand* band = m_layout.band(kind);
        if (!band || band->height <= 0)
            return;
        // A band that does not fit starts the next page, unless it already starts this one:
        // a band taller than a page overruns it rather than moving on forever.
        if (m_y + band->height + keepWith > m_bodyBottom && m_y > m_bodyTop) {
            finishPage();
            newPage(false);
        }
        put(kind, group, row);
    }

    PageList finish()
    {
        finishPage();
        return m_out;
    }

private:
    void finishPage()
    {
        m_y = m_bodyBottom;
        put(ReportBand::Kind::PageFooter, -1, -1);
    }

    void put(ReportBand::Kind kind, int group, int row)
    {
        const ReportBand* band = m_layout.band(kind);
        if (!band || band->height <= 0)
            return;
        PageList::Band placed{kind, band->name, QRect(m_layout.margins.left(), m_y, m_layout.width, band->height),
                              {},   group,      row};
        for (const ReportControl& control : band->controls) {
            PageList::Item item{control, m_data.text(control, group, row),
                                control.place.translated(placed.rect.topLeft())};
            if (!item.control.font)
                item.control.font = m_layout.font;
            placed.items << item;
        }
        m_out.pages.last().bands << placed;
        m_y += band->height;
    }

    const ReportLayout& m_layout;
    const ReportData& m_data;
    PageList m_out;
    int m_y = 0;
    int m_bodyTop = 0;
    int m_bodyBottom = 0;
};
} // namespace

PageList Paginator::paginate(const ReportLayout& layout, const ReportData& data, const QSize& paper)
{
    Run run(layout, data, paper);
    run.newPage(true);
    const ReportBand* detail = layout.band(ReportBand::Kind::Detail);
    const int detailHeight = detail ? qMax(0, detail->height) : 0;
    for (int g = 0; g < data.groupCount(); ++g) {
        // A heading never stays alone at the foot of a page: it keeps its first row with it.
        run.flow(ReportBand::Kind::GroupHeader, g, -1, data.children.at(g).rows.isEmpty() ? 0 : detailHeight);
        for (qsizetype r = 0; r < data.children.at(g).rows.size(); ++r)
            run.flow(ReportBand::Kind::Detail, g, int(r));
        run.flow(ReportBand::Kind::GroupFooter, g, -1);
    }
    run.flow(ReportBand::Kind::ReportFooter, -1, -1);
    return run.finish();
}
