#pragma once

#include "RecordSource.h"

#include <QList>
#include <QVariant>

class RowCursor;

// The change to a record set's current row not stored yet, or the row being added, and its
// write to the file: through RowWriter, which finds the row by the rowid it came from and
// every value read for it, so a row changed by anyone else since it was read is not
// written. A write the file refuses leaves nothing pending: a new row is dropped, leaving no
// current row, as a delete does; a changed row shows its stored values, or goes if the file
// no longer has it; after a conflict the rows are read again so the user sees what the file
// holds, and the message names what was not stored.
class EditBuffer {
public:
    enum class Mode { None, InProgress, Add };

    EditBuffer(RecordSource& source, RowCursor& cursor);

    Mode mode() const { return m_mode; }
    bool isDirty() const { return m_mode != Mode::None && m_changed.contains(true); }
    // A column of the current row as edited; only while editing.
    const QVariant& value(int column) const { return m_values.at(column); }

    // Checks what the column can hold, then keeps the value for the current row.
    void setValue(int column, const QVariant& value);
    void addNew();
    void update();
    // A row the user changed is written before the cursor leaves it; a new row nobody
    // filled in is dropped instead of being stored empty.
    void saveBeforeLeaving();
    void cancel();
    void deleteCurrent();
    // After the file refused a write, nothing of it stays.
    void returnToStored();
    // Forgets the pending change; for when the rows are replaced.
    void discard();

private:
    using Row = RecordSource::Row;

    void writeCurrent(const QList<int>& changed);
    bool rereadAfterConflict();
    QString notStoredText(const QList<int>& changed) const;
    QVariant normalized(int column, const QVariant& value) const;
    QVariantList storedValues(const QList<int>& columns) const;

    RecordSource& m_src;
    RowCursor& m_cursor;
    // While m_mode is not None the edit is of the cursor's current row, which exists:
    // m_values holds every column of it as edited and m_changed which of them were set (both
    // are empty otherwise). With Add that row is the new one, appended last, and
    // m_posBeforeAdd is where the cursor stood before it (-1 for no row), to go back to when
    // it is cancelled. The cursor never leaves the row, nor are the rows replaced, before
    // the edit ends (saved, dropped or discarded), so typed values never reach another row.
    Mode m_mode = Mode::None;
    QVariantList m_values;
    QList<bool> m_changed;
    int m_posBeforeAdd = -1;
};
