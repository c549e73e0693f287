#pragma once

#include "PageList.h"

#include <QObject>
#include <QSize>
#include <QString>

// What a preview shows and prints: laid-out pages that can say whether the file still
// holds what they were read from. The preview asks; the source never knows who shows it.
class PageSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual QString caption() const = 0;
    // The pages as the preview shows them and an exported PDF holds them.
    virtual const PageList& pages() const = 0;
    // The report as text, whole, in its order (see ReportText).
    virtual QString text() const = 0;
    // The same rows laid out on other paper, for a printer the user chose.
    virtual PageList pagesFor(const QSize& paperTwips) const = 0;
    // False once something was written to the file since the pages were read.
    virtual bool isCurrent() = 0;
    // Reads the rows again, as they were asked for, and lays them out anew.
    virtual void reread() = 0;

Q_SIGNALS:
    // New pages: the ones shown before are gone.
    void pagesChanged();
};
