#include "DataGrid.h"

bool DataGrid::commitPendingEdit()
{
    if (state() != EditingState)
        return false;
    QWidget* editor = indexWidget(currentIndex());
    if (!editor)
        return false;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}
