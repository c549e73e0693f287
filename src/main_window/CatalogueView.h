#pragma once

#include <QTreeView>

// The catalogue: a tree view whose tick boxes a screen reader hears change. Qt's views draw
// a changed tick but tell the desktop's accessibility bridge nothing of it, so a blind user
// would not know whether Space ticked the row or took the tick away. A click on a tick box
// makes its row current, as a click elsewhere in the row does.
class CatalogueView : public QTreeView {
    Q_OBJECT
public:
    explicit CatalogueView(QWidget* parent = nullptr);

protected:
    void dataChanged(const QModelIndex& topLeft, const QModelIndex& bottomRight, const QList<int>& roles) override;
    void mousePressEvent(QMouseEvent* event) override;
};
