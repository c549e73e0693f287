#include "RecordsetModel.h"

#include "StoreProblem.h"

#include "DataError.h"
#include "Recordset.h"

#include <QLocale>

RecordsetModel::RecordsetModel(Recordset& recordset, QObject* parent)
    : QAbstractTableModel(parent)
    , m_recordset(recordset)
{
    connect(&recordset.cursor(), &RowCursor::aboutToReset, this, &RecordsetModel::beginResetModel);
    connect(&recordset.cursor(), &RowCursor::wasReset, this, &RecordsetModel::endResetModel);
    // A row appended from the new-row line takes that line's place and a new line opens below
    // it, so the cell being edited stays on the row it made.
    connect(&recordset.cursor(), &RowCursor::aboutToInsertRow, this, [this](int row) {
        const int at = m_newRowLine && row == m_recordset.recordCount() ? row + 1 : row;
        beginInsertRows({}, at, at);
    });
    connect(&recordset.cursor(), &RowCursor::rowInserted, this, &RecordsetModel::endInsertRows);
    connect(&recordset.cursor(), &RowCursor::aboutToRemoveRow, this,
            [this](int row) { beginRemoveRows({}, row, row); });
    connect(&recordset.cursor(), &RowCursor::rowRemoved, this, &RecordsetModel::endRemoveRows);
    connect(&recordset.cursor(), &RowCursor::rowChanged, this, [this](int row) {
        if (columnCount() > 0)
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
    });
}

void RecordsetModel::setNewRowLine(bool on)
{
    beginResetModel();
    m_newRowLine = on;
    endResetModel();
}

void RecordsetModel::showOnly(const QString& field)
{
    beginResetModel();
    m_onlyField = field;
    endResetModel();
}

int RecordsetModel::fieldOf(int column) const
{
    if (m_onlyField.isEmpty())
        return column;
    return column == 0 ? m_recordset.fieldIndex(m_onlyField) : -1;
}

bool RecordsetModel::isNewRowLine(int row) const { return m_newRowLine && row == m_recordset.recordCount(); }

int RecordsetModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_recordset.isOpen())
        return 0;
    return m_recordset.recordCount() + (m_newRowLine ? 1 : 0);
}

int RecordsetModel::columnCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    if (!m_onlyField.isEmpty())
        return 1;
    return int(m_recordset.fieldNames().size());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const
{
    if (role == Qt::AccessibleTextRole) {
        // A date is said as the views show it, in the locale's short form, not as stored.
        const QVariant value = data(index, Qt::DisplayRole);
        return value.typeId() == QMetaType::QDate ? QLocale().toString(value.toDate(), QLocale::ShortFormat)
                                                  : QVariant();
    }
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole) || isNewRowLine(index.row()))
        return {};
    const int field = fieldOf(index.column());
    return field < 0 ? QVariant() : m_recordset.rowValue(index.row(), field);
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // A row's header shows no number, yet a screen reader names it.
    if (role == Qt::AccessibleTextRole && orientation == Qt::Vertical)
        return isNewRowLine(section) ? QStringLiteral("New row") : QStringLiteral("Row %1").arg(section + 1);
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return isNewRowLine(section) ? QVariant(QStringLiteral("*")) : QVariant();
    return m_recordset.fieldNames().value(fieldOf(section));
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_editable && index.isValid())
        f |= Qt::ItemIsEditable;
    return f;
}

bool RecordsetModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !m_editable || fieldOf(index.column()) < 0)
        return false;
    const bool newRow = isNewRowLine(index.row());
    if (newRow && (value.isNull() || value.toString().isEmpty()))
        return false;
    // A cell left as it was is not a change: nor is one that held nothing and was left
    // empty, though its editor hands back an empty text.
    const QVariant stored = data(index, Qt::EditRole);
    if (!newRow && (stored == value || (stored.isNull() && value.toString().isEmpty())))
        return true;
    try {
        if (newRow)
            m_recordset.addNew();
        else
            m_recordset.moveTo(index.row());
        m_recordset.setValue(fieldOf(index.column()), value);
    } catch (const DataError& e) {
        if (newRow)
            m_recordset.cancelUpdate();
        Q_EMIT editRejected(e.description(), StoreError::unusable(e));
        return false;
    }
    Q_EMIT afterColUpdate(fieldOf(index.column()));
    if (newRow && m_recordset.editMode() == Recordset::EditMode::None)
        Q_EMIT afterInsert();
    return true;
}
