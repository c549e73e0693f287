#include "RowCursor.h"

#include "Criteria.h"
#include "DataError.h"
#include "KeyedRead.h"

#include <numeric>
#include <optional>

namespace {
[[noreturn]] void throwNoCurrentRecord()
{
    throw DataError(QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                                   "Requested operation requires a current record."));
}
} // namespace

RowCursor::RowCursor(RecordSource& source)
    : m_src(source)
{
}

void RowCursor::requireCurrent() const
{
    if (!hasCurrent())
        throwNoCurrentRecord();
}

void RowCursor::reset(const std::function<void(QList<Row>& rows, QString& filter)>& change)
{
    Q_EMIT aboutToReset();
    m_currentDeleted = false;
    try {
        change(m_rows, m_filter);
    } catch (...) {
        m_rows.clear();
        applyFilter();
        Q_EMIT wasReset();
        throw;
    }
    applyFilter();
    Q_EMIT wasReset();
    Q_EMIT moveComplete();
}

const QVariantList& RowCursor::valuesAt(int visibleRow) const
{
    const Row& row = rowAt(visibleRow);
    if (row.loaded || !m_src.fetch())
        return row.values;
    return m_src.fetch()->valuesAt(m_rows, m_visible, visibleRow);
}

RowCursor::Row& RowCursor::current()
{
    if (m_src.fetch())
        m_src.fetch()->load(m_rows, m_visible.at(m_pos));
    return m_rows[m_visible.at(m_pos)];
}

void RowCursor::loadColumn(int column)
{
    const std::shared_ptr<const KeyedRead>& fetch = m_src.fetch();
    if (!fetch || column < 0)
        return;
    if (m_columnsOf.lock() != fetch) {
        m_columnsLoaded.clear();
        m_columnsOf = fetch;
    }
    if (m_columnsLoaded.contains(column))
        return;
    fetch->loadColumn(m_rows, column);
    m_columnsLoaded << column;
}

void RowCursor::applyFilter()
{
    m_visible.clear();
    std::optional<Criteria> criteria;
    int column = -1;
    if (!m_filter.isEmpty()) {
        criteria = Criteria::parse(m_filter);
        column = m_src.fieldIndex(criteria->column());
        loadColumn(column);
    }
    if (!criteria) {
        m_visible.resize(m_rows.size());
        std::iota(m_visible.begin(), m_visible.end(), 0);
    } else if (column >= 0) {
        for (int i = 0; i < m_rows.size(); ++i) {
            if (criteria->matches(m_rows.at(i).values.at(column)))
                m_visible.append(i);
        }
    }
    m_pos = m_visible.isEmpty() ? -1 : 0;
}

// What a re-read ends with when it gives the rows already shown, all of them: the cursor on
// the first row. The views keep their rows, so nothing is laid out again.
void RowCursor::toFirstRow()
{
    m_currentDeleted = false;
    m_pos = m_visible.isEmpty() ? -1 : 0;
    Q_EMIT moveComplete();
}

// Like every move, also one onto the current row reports the move, so views showing the
// current row catch up.
void RowCursor::moveTo(int row)
{
    if (row < 0 || row >= m_visible.size())
        throwNoCurrentRecord();
    m_pos = row;
    m_currentDeleted = false;
    Q_EMIT moveComplete();
}

void RowCursor::moveNext()
{
    if (m_currentDeleted) {
        // The row after a deleted one already stands at its place.
        m_currentDeleted = false;
        Q_EMIT moveComplete();
        return;
    }
    if (eof())
        throwNoCurrentRecord();
    ++m_pos;
    Q_EMIT moveComplete();
}

void RowCursor::movePrevious()
{
    if (!m_currentDeleted && bof())
        throwNoCurrentRecord();
    m_currentDeleted = false;
    m_pos = std::max(-1, m_pos - 1);
    Q_EMIT moveComplete();
}

void RowCursor::find(const Criteria& criteria, int column)
{
    loadColumn(column);
    int row = m_currentDeleted ? m_pos : std::max(0, m_pos);
    while (row < m_visible.size() && !criteria.matches(rowAt(row).values.at(column)))
        ++row;
    m_pos = std::min<int>(row, int(m_visible.size()));
    m_currentDeleted = false;
    Q_EMIT moveComplete();
}

int RowCursor::indexOfSerial(quint64 serial) const
{
    for (int i = 0; i < m_visible.size(); ++i) {
        if (rowAt(i).serial == serial)
            return i;
    }
    return -1;
}

QList<qint64> RowCursor::rowidsFromCurrent() const
{
    QList<qint64> rowids{rowAt(m_pos).rowid};
    for (int i = m_pos + 1; i < m_visible.size(); ++i)
        rowids << rowAt(i).rowid;
    for (int i = std::min<int>(m_pos, int(m_visible.size())) - 1; i >= 0; --i)
        rowids << rowAt(i).rowid;
    return rowids;
}

int RowCursor::moveToFirstOf(const QList<qint64>& rowids)
{
    QHash<qint64, int> visibleAt;
    for (int i = 0; i < m_visible.size(); ++i)
        visibleAt.insert(rowAt(i).rowid, i);
    for (int i = 0; i < rowids.size(); ++i) {
        if (const auto found = visibleAt.constFind(rowids.at(i)); found != visibleAt.constEnd()) {
            m_pos = found.value();
            Q_EMIT moveComplete();
            return i;
        }
    }
    return -1;
}

void RowCursor::appendNew(const std::function<void()>& asNew)
{
    const int row = int(m_visible.size());
    Q_EMIT aboutToInsertRow(row);
    m_rows.append({0, m_nextSerial++, QVariantList(m_src.columns().size()), {}, true});
    m_visible.append(int(m_rows.size()) - 1);
    m_pos = row;
    m_currentDeleted = false;
    asNew();
    Q_EMIT rowInserted(row);
}

void RowCursor::dropAt(int visibleRow)
{
    Q_EMIT aboutToRemoveRow(visibleRow);
    const int index = m_visible.at(visibleRow);
    m_rows.removeAt(index);
    m_visible.removeAt(visibleRow);
    for (int& i : m_visible) {
        if (i > index)
            --i;
    }
    m_currentDeleted = true;
    Q_EMIT rowRemoved(visibleRow);
}

void RowCursor::returnTo(int row)
{
    m_currentDeleted = false;
    m_pos = row >= 0 && row < m_visible.size() ? row : (m_visible.isEmpty() ? -1 : int(m_visible.size()));
    Q_EMIT moveComplete();
}
