#pragma once

#include <QTableView>

// The list grid: a table view over a record set model whose open cell edit can be
// committed on demand, so nothing typed is lost when a command re-reads the list.
// Tab moves from cell to cell and leaves the grid after its last cell (Shift+Tab before its
// first); Ctrl+Tab always leaves it, as in desktop grids. A cell takes text of any length.
// A letter composed with a dead key or the compose key starts an edit as a typed one does.
// F10 or Alt takes the keyboard to the menu bar without ending an edit; Escape returns to it.
class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    // Commits the cell being edited, if any; true when there was one.
    bool commitPendingEdit();

protected:
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    friend class GridDelegate;
    // True when the current cell is the last (forward) or first (backward) of the grid.
    bool atEdge(bool forward) const;
    // Moves the focus to the window's next or previous control in tab order.
    void leave(bool forward);
};
