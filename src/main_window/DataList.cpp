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
    const bool confirm =
        event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
    if (confirm && currentIndex().isValid() && !selectedEntry().isValid())
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect);
    const QModelIndex after = selectedEntry();
    if (after.isValid() && (confirm || after != QModelIndex(before))) {
        event->accept();
        Q_EMIT chosen(after);
    }
}
