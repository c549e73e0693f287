#include "CatalogueView.h"

#include <QAccessible>

void CatalogueView::dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles)
{
    QTreeView::dataChanged(topLeft, bottomRight, roles);
    if (!QAccessible::isActive() || !roles.contains(Qt::CheckStateRole))
        return;
    QAccessibleInterface* view = QAccessible::queryAccessibleInterface(this);
    QAccessibleTableInterface* table = view ? view->tableInterface() : nullptr;
    if (!table)
        return;
    QAccessible::State checked;
    checked.checked = true;
    for (int row = topLeft.row(); row <= bottomRight.row(); ++row) {
        for (int column = topLeft.column(); column <= bottomRight.column(); ++column) {
            if (QAccessibleInterface* cell = table->cellAt(row, column)) {
                QAccessibleStateChangeEvent event(cell, checked);
                QAccessible::updateAccessibility(&event);
            }
        }
    }
}
