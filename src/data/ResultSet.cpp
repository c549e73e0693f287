#include "ResultSet.h"

void ResultSet::close()
{
    m_rows.close();
    m_children.clear();
    m_childMember.clear();
}

const RowTable& ResultSet::children(int parentRow) const
{
    static const RowTable none;
    return parentRow >= 0 && parentRow < m_children.size() ? m_children.at(parentRow) : none;
}

void ResultSet::openFlat(const RowTable& rows)
{
    m_children.clear();
    m_childMember.clear();
    m_rows.openRows(rows);
}

void ResultSet::openGrouped(const RowTable& parents, const QString& childMember, const QList<RowTable>& children)
{
    m_children = children;
    m_childMember = childMember;
    m_rows.openRows(parents);
}
