#pragma once

#include "SingleReport.h"

// The whole item catalogue, grouped by category.
class rptAll : public SingleReport<rptAll> {
protected:
    // Frees the command's result so the next full-catalogue print can run it again.
    void terminate() override;

private:
    friend class SingleReport<rptAll>;
    rptAll();
};
