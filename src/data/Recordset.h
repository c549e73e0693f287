#pragma once

#include "Connection.h"
#include "RowTable.h"
#include "RowWriter.h"
#include "SqlClauses.h"
#include "TextOrder.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class Connection;

// An ordered set of rows with a current row: a client-side static snapshot of a table or
// query, read whole at open and requery. A source's ORDER BY is applied to the rows read
// with the program's text rule (TextOrder), so every list orders text the same way.
// Writes go to the file at once through RowWriter, which finds each row by the rowid it came
// from and every value read for it: a row changed by anyone else since it was read is not
// written, and the record set reads its source again so the user sees what the file holds.
// A changed current row is saved before the cursor leaves it. A write the file refuses
// leaves nothing pending: the record set returns to what the file holds (a new row is
// dropped, leaving no current row, as a delete does; a changed row shows its stored values,
// or goes if the file no longer has it). Filter and find criteria are evaluated here, on the
// snapshot, with TextOrder's sameness.
class Recordset : public QObject {
    Q_OBJECT
public:
    enum class EditMode { None, InProgress, Add };
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
    int state() const { return m_open ? 1 : 0; }
    QString source() const { return m_source; }
    // Saves a pending change, then reads the source again. The filter stays and applies to
    // the rows read; the cursor starts on the first visible row. (DataControl::refresh is
    // the one that clears the filter.)
    void requery();

    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const;
    bool isUpdatable() const { return !m_table.isEmpty(); }
    bool isFieldUpdatable(int column) const;

    // Current row, by name; throws without a current row or for an unknown name.
    QVariant value(const QString& name) const;
    // An unknown name while adding also drops the new row: it could never be stored as meant.
    void setValue(const QString& name, const QVariant& value);
    void setValue(int column, const QVariant& value);
    // Any visible row, pending changes included; for views.
    QVariant rowValue(int row, int column) const;

    int recordCount() const { return int(m_visible.size()); }
    bool bof() const { return m_visible.isEmpty() || m_pos < 0; }
    bool eof() const { return m_visible.isEmpty() || m_pos >= m_visible.size(); }
    bool hasCurrent() const { return !bof() && !eof() && !m_currentDeleted; }
    // 0-based index of the current row among the visible rows, or -1.
    int currentRow() const { return hasCurrent() ? m_pos : -1; }
    int absolutePosition() const;
    void setAbsolutePosition(int position);
    quint64 bookmark() const;
    void setBookmark(quint64 bookmark);

    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrevious();
    void moveTo(int row);

    QString filter() const { return m_filter; }
    void setFilter(const QString& criteria);
    void find(const QString& criteria);

    EditMode editMode() const { return m_editMode; }
    bool isDirty() const;
    void addNew();
    void update();
    // Writes every pending change; a changed row is saved on leaving it, so only the
    // current row can still be pending.
    void updateBatch() { update(); }
    void cancelUpdate();
    void deleteCurrent();

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
    struct Row {
        qint64 rowid = 0;
        quint64 serial = 0;
        QVariantList values;
        // The table's columns as the file held them when last read: what finds the row again.
        QVariantList read;
        bool isNew = false;
    };
    struct Column {
        QString name;
        bool inTable = false;
        bool updatable = false;
        bool isDate = false;
    };

    void load();
    void readRows();
    // True when the rows are what a re-read of the source would give now.
    bool matchesFile() const;
    // After an own write: the snapshot still matches the file if it did before the write
    // and the write left the rows in the order a re-read gives.
    void keepMatchAfterWrite(bool matchedBefore, bool orderKept);
    void applyFilter();
    void resetTo(const std::function<void()>& change);
    void backToFirstRow();
    void requireCurrent() const;
    void requireUpdatable() const;
    void saveBeforeLeaving();
    void dropRowAt(int visibleRow);
    void writeCurrent(const QList<int>& changed);
    RowWriter writer() const;
    void rereadAfterConflict(qint64 rowid);
    bool reloadRow(Row& row);
    void returnToStored();
    void dropNewRow();
    void finishEdit();
    QVariant normalized(int column, const QVariant& value) const;
    QVariantList storedValues(const QList<int>& columns) const;
    Row& currentRowData();
    const Row& currentRowData() const;
    QVariant convertRead(int column, const QVariant& value) const;

    std::shared_ptr<Connection> m_connection;
    QString m_source;
    QString m_table;
    QString m_selectSql;
    QList<SqlClauses::OrderTerm> m_order;
    TextOrder::KeyCache m_orderKeys; // for the ORDER BY columns
    RowOrder::Memory m_orderMemory;
    // The file's version when the snapshot last matched it: a re-read at that same version
    // would give these very rows, so it is skipped. Cleared when an own write makes the
    // snapshot differ from a re-read (a row added to an ordered source sits at its end).
    std::optional<Connection::Version> m_matchesFileAt;
    int m_orderGeneration = -1; // the text rule the rows were sorted by
    bool m_open = false;

    QList<Column> m_columns;
    QList<int> m_tableColumns; // those of m_columns that are the table's, in Row::read's order
    QList<Row> m_rows;
    QList<int> m_visible;
    int m_pos = -1;
    bool m_currentDeleted = false;
    quint64 m_nextSerial = 1;

    QString m_filter;
    EditMode m_editMode = EditMode::None;
    QVariantList m_edit;
    QList<bool> m_changed;
    int m_posBeforeAdd = -1;
};
