#pragma once

#include <QAccessibleWidget>
#include <QHash>

class CatalogueView;

// What a screen reader reads of the catalogue. Qt's own face for a tree view makes a new
// object for a cell each time one is asked for, so the cell whose tick changed is never the
// one the reader has in focus, and it names the tick's action "Toggle", which readers do not
// take for a tick box. Here each cell is one object for as long as the rows stand, and only a
// tick box has the "toggle" action.
class CatalogueAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit CatalogueAccessible(CatalogueView* view);
    ~CatalogueAccessible() override;

    // Gives every catalogue view this face; once is enough.
    static void install();

    void* interface_cast(QAccessible::InterfaceType type) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // The cell showing this model index; the view's own events count cells the same way.
    QAccessibleInterface* cell(int row, int column) const;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override { return cell(row, column); }
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override;
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    CatalogueView* view() const;
    void dropCells();

    // Cells by their place in the child list, which starts with the column headers.
    mutable QHash<int, QAccessible::Id> m_cells;
};
