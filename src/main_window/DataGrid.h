#pragma once

#include <QTableView>

// The list grid: a table view over a record set model whose open cell edit can be
// committed on demand, so nothing typed is lost when the program ends.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;

    // Commits the cell being edited, if any; true when there was one.
    bool commitPendingEdit();
};
