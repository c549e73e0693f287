#include "PageView.h"

#include "ReportRenderer.h"
#include "Twips.h"

#include <QPainter>
#include <QtMath>

PageView::PageView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("pageView"));
}

void PageView::setPage(const PageList::Page* page, const QSize& paperTwips)
{
    m_page = page;
    m_paper = paperTwips;
    resize(sizeHint());
    update();
}

void PageView::setZoom(double zoom)
{
    m_zoom = zoom;
    resize(sizeHint());
    update();
}

double PageView::zoomToFit(int viewWidth) const
{
    const double paperWidth = m_paper.width() / Twips::PerPixel;
    return paperWidth > 0 ? qMax(1.0, double(viewWidth - 2 * Gutter)) / paperWidth : 1.0;
}

QSizeF PageView::pageSize() const { return QSizeF(m_paper) * (m_zoom / Twips::PerPixel); }

QSize PageView::sizeHint() const
{
    const QSizeF page = pageSize();
    return QSize(qCeil(page.width()) + 2 * Gutter, qCeil(page.height()) + 2 * Gutter);
}

void PageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(128, 128, 128));
    const QRectF page(QPointF(Gutter, Gutter), pageSize());
    painter.fillRect(page.translated(3, 3), QColor(64, 64, 64));
    painter.fillRect(page, Qt::white);
    if (m_page)
        ReportRenderer::paintPage(painter, *m_page, page.topLeft(), m_zoom / Twips::PerPixel);
}
