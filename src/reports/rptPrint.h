#pragma once

#include "SingleReport.h"

// The shopping list of one date, grouped by category.
class rptPrint : public SingleReport<rptPrint> {
private:
    friend class SingleReport<rptPrint>;
    rptPrint();
};
