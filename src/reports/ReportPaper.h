#pragma once

#include <QPageLayout>
#include <QPageSize>
#include <QSize>

// The paper reports are laid out on, in twips. Preview and PDF use the locale's paper so
// what the user sees is what the file holds; printing follows the printer's choice.
class ReportPaper {
public:
    // Letter where the locale measures in inches, A4 elsewhere.
    static QPageSize defaultSize();
    static QSize twips(const QPageSize& size);
    // The oriented paper of a page layout.
    static QSize twips(const QPageLayout& layout);
    // Paper of that size, in the orientation its sides give, with no margins: reports
    // place their own.
    static QPageLayout pageLayout(const QSize& twips);
};
