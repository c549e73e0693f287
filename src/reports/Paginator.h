#pragma once

#include "PageList.h"

#include <QSize>

struct ReportData;
struct ReportLayout;

// Lays a banded report out on pages of the given paper (twips): the report header once at
// the start, the page header at the top of every page and the page footer at its bottom,
// then group header, detail rows and group footer for each group, and the report footer.
// A band never splits: one that does not fit goes to the next page, so groups run on; a
// group header goes along when its first row would not fit beside it.
class Paginator {
public:
    static PageList paginate(const ReportLayout& layout, const ReportData& data, const QSize& paper);
};
