#pragma once

#include "ReportBand.h"
#include "ReportControl.h"

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

// A report laid out on pages: which band and control print where, with what text. Places
// are twips from the top left corner of the paper. Computed once, then painted on screen,
// printer or PDF alike.
struct PageList {
    struct Item {
        // The control as designed, its font resolved.
        ReportControl control;
        QString text;
        QRect rect;
    };
    struct Band {
        ReportBand::Kind kind = ReportBand::Kind::Detail;
        QString name;
        QRect rect;
        QList<Item> items;
        // The group and child row the band prints; -1 where it has none.
        int group = -1;
        int row = -1;
    };
    struct Page {
        QList<Band> bands;
    };

    QSize paper;
    QList<Page> pages;

    int pageCount() const { return int(pages.size()); }
};
