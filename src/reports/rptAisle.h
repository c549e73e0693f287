#pragma once

#include "SingleReport.h"

// The shopping list of one date, grouped by shop aisle.
class rptAisle : public SingleReport<rptAisle> {
private:
    friend class SingleReport<rptAisle>;
    rptAisle();
};
