#pragma once

#include "PageList.h"

#include <QSize>
#include <QWidget>

// One page of a report on a grey ground, at a zoom where 1 is the paper's own size on screen.
class PageView : public QWidget {
    Q_OBJECT
public:
    // Grey around the page, in pixels.
    static constexpr int Gutter = 12;

    explicit PageView(QWidget* parent = nullptr);

    void setPage(const PageList::Page* page, const QSize& paperTwips);
    void setZoom(double zoom);
    double zoom() const { return m_zoom; }
    // The zoom at which the page fills a view this wide.
    double zoomToFit(int viewWidth) const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSizeF pageSize() const;

    const PageList::Page* m_page = nullptr;
    QSize m_paper;
    double m_zoom = 1.0;
};
