#include "CatalogueModel.h"

#include <QFont>

void CatalogueModel::setHeaders(const QStringList& titles)
{
    beginResetModel();
    m_headers = titles;
    endResetModel();
}

void CatalogueModel::fill(const Recordset::Snapshot& rows, int itemField, int categoryField, int aisleField)
{
    beginResetModel();
    m_rows = rows;
    m_fields[0] = itemField;
    m_fields[1] = categoryField;
    m_fields[2] = aisleField;
    m_checked.assign(rows.count(), false);
    m_bold.assign(rows.count(), false);
    endResetModel();
}

QString CatalogueModel::text(int row, int column) const
{
    const QVariant& value = m_rows.value(row, m_fields[column]);
    if (column == 0 && value.isNull())
        return QStringLiteral("-");
    return value.toString();
}

void CatalogueModel::setChecked(int row, bool checked)
{
    if (m_checked.at(row) == checked)
        return;
    m_checked[row] = checked;
    Q_EMIT dataChanged(index(row, 0), index(row, 0), {Qt::CheckStateRole});
}

QList<int> CatalogueModel::checkedRows() const
{
    QList<int> rows;
    for (int r = 0; r < int(m_checked.size()); ++r) {
        if (m_checked[r])
            rows << r;
    }
    return rows;
}

// Only a row whose look changes is touched: every change makes the view draw it again.
void CatalogueModel::setBold(int row, bool bold)
{
    if (m_bold.at(row) == bold)
        return;
    m_bold[row] = bold;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1), {Qt::FontRole});
}

int CatalogueModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_rows.count(); }

int CatalogueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_headers.size());
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const bool first = index.column() == 0;
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::CheckStateRole:
        return first ? QVariant(m_checked.at(index.row()) ? Qt::Checked : Qt::Unchecked) : QVariant();
    case Qt::FontRole:
        if (m_bold.at(index.row())) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

bool CatalogueModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.column() != 0 || role != Qt::CheckStateRole)
        return false;
    setChecked(index.row(), value.toInt() == Qt::Checked);
    return true;
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return m_headers.value(section);
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // A row never has rows under it: the view lays out a long catalogue without asking each.
    const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    return index.column() == 0 ? flags | Qt::ItemIsUserCheckable : flags;
}
