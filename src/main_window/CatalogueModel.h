#pragma once

#include "Recordset.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <vector>

// The catalogue view's rows: a record set's visible rows as they stood at the last fill,
// shown as item ("-" for none), category and aisle. Every row has a tick box and a bold
// mark; a fill drops both. A fill copies nothing per row: the rows are read where they stand.
class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The columns' titles; there are no columns before they are set.
    void setHeaders(const QStringList& titles);
    // Shows these rows, the three fields as the three columns, none ticked or bold.
    void fill(const Recordset::Snapshot& rows, int itemField, int categoryField, int aisleField);
    void clear() { fill({}, -1, -1, -1); }

    // What a row shows in a column: 0 the item, 1 its category, 2 its aisle.
    QString text(int row, int column) const;
    bool isChecked(int row) const { return m_checked.at(row); }
    void setChecked(int row, bool checked);
    QList<int> checkedRows() const;
    void setBold(int row, bool bold);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QStringList m_headers;
    Recordset::Snapshot m_rows;
    int m_fields[3] = {-1, -1, -1};
    std::vector<bool> m_checked;
    std::vector<bool> m_bold;
};
