#include "CatalogueView.h"

#include "CatalogueAccessible.h"
#include "ViewHeader.h"

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
