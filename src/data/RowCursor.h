#pragma once

#include "RecordSource.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class Criteria;

// The rows a record set read, which of them its filter shows, and the current one; every
// change to them is told to the views from here. It knows nothing of edits: the record set
// saves a pending change before it moves the cursor.
class RowCursor : public QObject {
    Q_OBJECT
public:
    using Row = RecordSource::Row;

    // The source gives the columns the filter and find name, and the rows read.
    explicit RowCursor(RecordSource& source);

    int count() const { return int(m_visible.size()); }
    bool bof() const { return m_visible.isEmpty() || m_pos < 0; }
    bool eof() const { return m_visible.isEmpty() || m_pos >= m_visible.size(); }
    bool onDeletedRow() const { return m_currentDeleted; }
    bool hasCurrent() const { return !bof() && !eof() && !m_currentDeleted; }
    // The position among the visible rows, also where there is no current row.
    int pos() const { return m_pos; }
    // A visible row's place: its rowid and serial. Its values may not be fetched yet.
    const Row& rowAt(int visibleRow) const { return m_rows.at(m_visible.at(visibleRow)); }
    // A visible row's values, fetched first where they are not yet; null where they cannot
    // be now. For views.
    const QVariantList& valuesAt(int visibleRow) const;
    // The current row with its values, fetched first; throws what fetching them throws.
    Row& current();
    const QList<Row>& rows() const { return m_rows; }
    const QList<int>& visible() const { return m_visible; }
    QString filter() const { return m_filter; }
    // Throws the engine's text for an operation that needs a current row.
    void requireCurrent() const;

    // Reads every row of the source, numbering them on for bookmarks.
    QList<Row> read() { return m_src.read(m_nextSerial); }
    // The one way to replace the rows or the filter: the views are told once, and the
    // cursor starts over on the first visible row. Should `change` throw, no row is left.
    void reset(const std::function<void(QList<Row>& rows, QString& filter)>& change);
    // A row of values held in memory, numbered for bookmarks.
    Row numbered(const QVariantList& values) { return {0, m_nextSerial++, values, {}, false}; }
    // Back on the first visible row, with the rows the views already show.
    void toFirstRow();

    void moveTo(int row);
    void moveNext();
    void movePrevious();
    // From the current row (the one after a deleted one) on; past the end when none matches.
    void find(const Criteria& criteria, int column);
    // The visible row with that bookmark, or -1.
    int indexOfSerial(quint64 serial) const;
    // The current row's rowid, then those after it and before it, nearest first.
    QList<qint64> rowidsFromCurrent() const;
    // Onto the first of `rowids` that is visible; its index in them, or -1 with the cursor
    // where it was.
    int moveToFirstOf(const QList<qint64>& rowids);

    // Appends a new row, visible whatever the filter, and makes it current; `asNew` runs
    // once the row is in, before the views are told of it.
    void appendNew(const std::function<void()>& asNew);
    // Takes a visible row out; the cursor stays at its place, on the row that followed,
    // with no current row until it moves.
    void dropAt(int visibleRow);
    // After a dropped new row: back onto `row` where it is still a visible row, else past
    // the end.
    void returnTo(int row);

    void tellRowChanged() { Q_EMIT rowChanged(m_pos); }
    void tellMoved() { Q_EMIT moveComplete(); }

Q_SIGNALS:
    void aboutToReset();
    void wasReset();
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void moveComplete();

private:
    void applyFilter();
    // Fetches `column` of every row, once after each read; throws what fetching throws.
    void loadColumn(int column);

    RecordSource& m_src;
    // m_visible holds the indexes into m_rows of the rows m_filter matches, in order, and is
    // built again whenever either changes (a row appended by adding is visible until then).
    // m_pos indexes m_visible: -1 and below is before the first row, count() past the last.
    // m_currentDeleted says the row at m_pos was taken out and m_pos now names the row that
    // followed it: there is no current row, and the next move forward lands on m_pos itself.
    // Any move onto a row clears it.
    // Rows of a table are read by key and their values fetched as they are first asked for,
    // by views too, which only read: so the rows are mutable.
    mutable QList<Row> m_rows;
    QList<int> m_visible;
    int m_pos = -1;
    bool m_currentDeleted = false;
    QString m_filter;
    quint64 m_nextSerial = 1;
    // The columns fetched for every row, and the read they belong to.
    QList<int> m_columnsLoaded;
    std::weak_ptr<const KeyedRead> m_columnsOf;
};
