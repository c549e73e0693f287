#include "DataList.h"

#include "RecordsetModel.h"

#include <QKeyEvent>

DataList::DataList(Recordset& rowSource, const QString& listField, QWidget* parent)
    : QListView(parent)
{
    auto* model = new RecordsetModel(rowSource, this);
    model->showOnly(listField);
    setModel(model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListView::clicked, this, &DataList::chosen);
}

QModelIndex DataList::selectedEntry() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() && selectionModel()->isSelected(current) ? current : QModelIndex();
}

QString DataList::text() const { return selectedEntry().data().toString(); }

void DataList::keyPressEvent(QKeyEvent* event)
{
    const QPersistentModelIndex before = selectedEntry();
    QListView::keyPressEvent(event);
    const int key = event->key();
    const bool confirm = key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
    // The list marks an entry current without selecting it when it takes the focus; a
    // movement key that stays on that entry (Home on the first) still chooses it.
    const bool moves = key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_Home || key == Qt::Key_End ||
                       key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    if ((confirm || moves) && currentIndex().isValid() && !selectedEntry().isValid())
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
    const QModelIndex after = selectedEntry();
    if (after.isValid() && (confirm || after != QModelIndex(before))) {
        event->accept();
        Q_EMIT chosen(after);
    }
}
