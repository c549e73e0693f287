#include "CatalogueView.h"

#include "CatalogueAccessible.h"
#include "ViewHeader.h"

#include <QMouseEvent>

CatalogueView::CatalogueView(QWidget* parent)
    : QTreeView(parent)
{
    CatalogueAccessible::install();
    ViewHeader::replaceIn(*this);
}

void CatalogueView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    QTreeView::dataChanged(topLeft, bottomRight, roles);
    if (!QAccessible::isActive() || !roles.contains(Qt::CheckStateRole))
        return;
    auto* face = dynamic_cast<CatalogueAccessible*>(QAccessible::queryAccessibleInterface(this));
    if (!face)
        return;
    QAccessible::State checked;
    checked.checked = true;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        for (int column = topLeft.column(); column <= bottomRight.column(); ++column) {
            if (QAccessibleInterface* cell = face->cell(row, column)) {
                QAccessibleStateChangeEvent event(cell, checked);
                QAccessible::updateAccessibility(&event);
            }
        }
    }
}

void CatalogueView::mousePressEvent(QMouseEvent* event)
{
    // A press on a tick box makes no row current in Qt's views, and a screen reader hears of
    // a tick only on the row it was told of: the row clicked becomes current first.
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid() && event->button() == Qt::LeftButton && currentIndex().row() != at.row())
        setCurrentIndex(at.siblingAtColumn(0));
    QTreeView::mousePressEvent(event);
}
