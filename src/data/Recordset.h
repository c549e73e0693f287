#pragma once

#include "EditBuffer.h"
#include "KeyedRead.h"
#include "RecordSource.h"
#include "RowCursor.h"
#include "RowTable.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

// An ordered set of rows with a current row: a client-side static snapshot of a table or
// query (RecordSource), read whole at open and requery. Two parts do the work: RowCursor
// holds the rows, the filter, the current row and tells the views; EditBuffer holds the
// change not stored yet and writes it. Writes go to the file at once; a changed current row
// is saved before the cursor leaves it. Filter and find criteria are evaluated on the
// snapshot, with TextOrder's sameness.
class Recordset : public QObject {
    Q_OBJECT
public:
    using EditMode = EditBuffer::Mode;
    // Absolute positions when there is no current row.
    static constexpr int PosBOF = -2;
    static constexpr int PosEOF = -3;

    explicit Recordset(QObject* parent = nullptr);
    ~Recordset() override;

    // A table name or a SELECT over one table gives an updatable set; any other query a
    // read-only one.
    void open(std::shared_ptr<Connection> connection, const QString& source);
    // Rows already in memory, read-only.
    void openRows(const RowTable& table);
    // Drops the rows; a pending change is discarded, not saved.
    void close();
    bool isOpen() const { return m_open; }
    // The state as the system's code asks for it: open or closed.
    static constexpr int StateClosed = 0;
    static constexpr int StateOpen = 1;
    int state() const { return m_open ? StateOpen : StateClosed; }
    QString source() const { return m_src.source(); }
    // Saves a pending change, then reads the source again. The filter stays and applies to
    // the rows read; the cursor starts on the first visible row. (DataControl::refresh is
    // the one that clears the filter.)
    void requery();

    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const;
    bool isUpdatable() const { return !m_src.table().isEmpty(); }
    bool isFieldUpdatable(int column) const;

    // Current row, by name; throws without a current row or for an unknown name.
    QVariant value(const QString& name) const;
    // An unknown name while adding also drops the new row: it could never be stored as meant.
    void setValue(const QString& name, const QVariant& value);
    void setValue(int column, const QVariant& value);
    // Any visible row, pending changes included; for views.
    QVariant rowValue(int row, int column) const;

    // The visible rows as stored now, kept as they are whatever the set does later (reads,
    // filters, edits): what a view filled once goes on showing. Taking one copies nothing;
    // rows read by key are fetched as the snapshot is first asked for them.
    class Snapshot {
    public:
        int count() const { return int(m_visible.size()); }
        const QVariant& value(int row, int column) const
        {
            const RecordSource::Row& r = m_rows.at(m_visible.at(row));
            return (r.loaded || !m_fetch ? r.values : m_fetch->valuesAt(m_rows, m_visible, row)).at(column);
        }

    private:
        friend class Recordset;
        mutable QList<RecordSource::Row> m_rows;
        QList<int> m_visible;
        std::shared_ptr<const KeyedRead> m_fetch;
    };
    Snapshot snapshot() const;

    int recordCount() const { return m_cursor.count(); }
    bool bof() const { return m_cursor.bof(); }
    bool eof() const { return m_cursor.eof(); }
    bool hasCurrent() const { return m_cursor.hasCurrent(); }
    // 0-based index of the current row among the visible rows, or -1.
    int currentRow() const { return hasCurrent() ? m_cursor.pos() : -1; }
    int absolutePosition() const;
    void setAbsolutePosition(int position);
    quint64 bookmark() const;
    void setBookmark(quint64 bookmark);

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void moveTo(int row);

    QString filter() const { return m_cursor.filter(); }
    void setFilter(const QString& criteria);
    void find(const QString& criteria);

    EditMode editMode() const { return m_edit.mode(); }
    bool isDirty() const { return m_edit.isDirty(); }
    void addNew();
    void update();
    void cancelUpdate();
    void deleteCurrent();

    // What views listen to: the cursor tells every change of the rows and every move.
    const RowCursor& cursor() const { return m_cursor; }

private:
    void resetTo(const std::function<void(QList<RecordSource::Row>& rows, QString& filter)>& change);
    void requireOpen() const;
    void requireCurrent() const;
    void requireUpdatable() const;

    RecordSource m_src;
    bool m_open = false;
    RowCursor m_cursor{m_src};
    EditBuffer m_edit{m_src, m_cursor};
};
