#pragma once

#include <QAbstractTableModel>

class Recordset;

// Serves a record set to the views bound to it: one column per field, one row per visible
// row, and optionally a trailing new-row line that appends a row when typed into.
// Edits set the field on the record set and announce it; writing the row is left to the
// owner's afterColUpdate handler (or to the record set's save on leaving the row).
// Screen readers hear a date as the views show it, and each row's header by its number.
class RecordsetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordsetModel(Recordset& recordset, QObject* parent = nullptr);

    void setEditable(bool editable) { m_editable = editable; }
    // Serves only that field, as its one column: a list of names shows, and tells screen
    // readers, nothing of the record set's other fields.
    void showOnly(const QString& field);
    void setNewRowLine(bool on);
    bool isNewRowLine(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // A cell's new value is in the current row of the record set.
    void afterColUpdate(int column);
    // A row typed into the new-row line has been stored.
    void afterInsert();
    // An edit the record set refused; the stored row is unchanged. `fileUnusable` says the
    // file is no Cartlist database any more.
    void editRejected(const QString& description, bool fileUnusable);

private:
    // The record set's field behind a column of this model, or -1.
    int fieldOf(int column) const;

    Recordset& m_recordset;
    QString m_onlyField;
    bool m_editable = false;
    bool m_newRowLine = false;
};
