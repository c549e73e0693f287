#include "Recordset.h"

#include "Connection.h"
#include "Criteria.h"
#include "DataError.h"
#include "StoredDate.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

#include <optional>

namespace {
QString noCurrentRecord()
{
    return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                          "Requested operation requires a current record.");
}

QVariant normalizedNull(const QVariant& v) { return v.isNull() ? QVariant() : v; }
} // namespace

Recordset::Recordset(QObject* parent)
    : QObject(parent)
{
}

Recordset::~Recordset() = default;

void Recordset::open(std::shared_ptr<Connection> connection, const QString& source)
{
    if (m_open)
        saveBeforeLeaving();
    if (m_open && m_src.isFrom(connection, source) && m_src.matchesFile()) {
        // The same rows as a fresh read: open them again without reading.
        if (m_filter.isEmpty())
            backToFirstRow();
        else
            resetTo([&] { m_filter.clear(); });
        return;
    }
    resetTo([&] {
        m_src.open(std::move(connection), source);
        m_filter.clear();
        m_open = false;
        m_rows = m_src.read(m_nextSerial);
        m_open = true;
    });
}

void Recordset::openRows(const RowTable& table)
{
    resetTo([&] {
        m_src.openColumns(table.columns);
        m_filter.clear();
        m_rows.clear();
        for (const QVariantList& values : table.rows)
            m_rows.append({0, m_nextSerial++, values, {}, false});
        m_open = true;
    });
}

void Recordset::close()
{
    if (!m_open)
        return;
    resetTo([&] {
        m_open = false;
        m_rows.clear();
        m_filter.clear();
        m_src.close();
    });
}

void Recordset::requery()
{
    if (!m_open)
        throw DataError(QStringLiteral("Operation is not allowed when the object is closed."));
    saveBeforeLeaving();
    if (!m_src.hasConnection())
        return;
    if (m_src.matchesFile()) {
        if (m_filter.isEmpty())
            backToFirstRow();
        else
            resetTo([] {});
        return;
    }
    // Read before anything changes: a source that cannot be read now (its file gone) keeps
    // the rows read before in the views, and the error says why.
    QList<Row> rows = m_src.read(m_nextSerial);
    resetTo([&] { m_rows = std::move(rows); });
}

// What a re-read ends with when it gives the rows already shown, all of them: the cursor on
// the first row. The views keep their rows, so nothing is laid out again.
void Recordset::backToFirstRow()
{
    m_editMode = EditMode::None;
    m_edit.clear();
    m_changed.clear();
    m_currentDeleted = false;
    m_pos = m_visible.isEmpty() ? -1 : 0;
    Q_EMIT moveComplete();
}

// Replaces the content and starts over on the first visible row; views are told once.
void Recordset::resetTo(const std::function<void()>& change)
{
    Q_EMIT aboutToReset();
    m_editMode = EditMode::None;
    m_edit.clear();
    m_changed.clear();
    m_currentDeleted = false;
    try {
        change();
    } catch (...) {
        m_rows.clear();
        m_open = false;
        applyFilter();
        Q_EMIT wasReset();
        throw;
    }
    applyFilter();
    Q_EMIT wasReset();
    Q_EMIT moveComplete();
}

void Recordset::applyFilter()
{
    m_visible.clear();
    std::optional<Criteria> criteria;
    int column = -1;
    if (!m_filter.isEmpty()) {
        criteria = Criteria::parse(m_filter);
        column = fieldIndex(criteria->column());
    }
    for (int i = 0; i < m_rows.size(); ++i) {
        if (!criteria || (column >= 0 && criteria->matches(m_rows.at(i).values.at(column))))
            m_visible.append(i);
    }
    m_pos = m_visible.isEmpty() ? -1 : 0;
}

QStringList Recordset::fieldNames() const
{
    QStringList names;
    for (const RecordSource::Column& c : m_src.columns())
        names << c.name;
    return names;
}

int Recordset::fieldIndex(const QString& name) const { return m_src.fieldIndex(name); }

bool Recordset::isFieldUpdatable(int column) const
{
    return column >= 0 && column < m_src.columns().size() && m_src.columns().at(column).updatable;
}

void Recordset::requireCurrent() const
{
    if (!m_open)
        throw DataError(QStringLiteral("Operation is not allowed when the object is closed."));
    if (!hasCurrent())
        throw DataError(noCurrentRecord());
}

void Recordset::requireUpdatable() const
{
    if (!isUpdatable())
        throw DataError(QStringLiteral("The record set cannot be updated: its source \"%1\" does not "
                                       "read one table row by row.")
                            .arg(m_src.source()));
}

Recordset::Row& Recordset::currentRowData() { return m_rows[m_visible.at(m_pos)]; }

const Recordset::Row& Recordset::currentRowData() const { return m_rows.at(m_visible.at(m_pos)); }

QVariant Recordset::value(const QString& name) const
{
    requireCurrent();
    const int column = fieldIndex(name);
    if (column < 0)
        throw DataError(QStringLiteral("The record set has no field named \"%1\".").arg(name));
    return rowValue(m_pos, column);
}

QVariant Recordset::rowValue(int row, int column) const
{
    if (row == m_pos && m_editMode != EditMode::None && !m_currentDeleted)
        return m_edit.at(column);
    return m_rows.at(m_visible.at(row)).values.at(column);
}

Recordset::Snapshot Recordset::snapshot() const
{
    Snapshot rows;
    rows.m_rows = m_rows;
    rows.m_visible = m_visible;
    return rows;
}

void Recordset::setValue(const QString& name, const QVariant& value)
{
    const int column = fieldIndex(name);
    if (column < 0) {
        if (m_editMode == EditMode::Add && hasCurrent())
            returnToStored();
        throw DataError(QStringLiteral("The record set has no field named \"%1\".").arg(name));
    }
    setValue(column, value);
}

void Recordset::setValue(int column, const QVariant& value)
{
    requireCurrent();
    requireUpdatable();
    if (!isFieldUpdatable(column)) {
        throw DataError(QStringLiteral("Field \"%1\" cannot be updated: the database assigns it.")
                            .arg(m_src.columns().at(column).name));
    }
    const QVariant v = normalized(column, value);
    if (m_editMode == EditMode::None) {
        m_editMode = EditMode::InProgress;
        m_edit = currentRowData().values;
        m_changed = QList<bool>(m_src.columns().size(), false);
    }
    m_edit[column] = v;
    m_changed[column] = true;
    Q_EMIT rowChanged(m_pos);
}

// What a column can hold, checked before anything reaches the file.
QVariant Recordset::normalized(int column, const QVariant& value) const
{
    if (!m_src.columns().at(column).isDate)
        return normalizedNull(value);
    const QVariant date = StoredDate::fromInput(value);
    if (!value.isNull() && !value.toString().trimmed().isEmpty() && date.isNull()) {
        const QDate example(2026, 12, 31);
        throw DataError(QStringLiteral("\"%1\" is not a date: field \"%2\" holds calendar dates. Type one whole, as "
                                       "the list shows dates (%3) or as year-month-day (%4).")
                            .arg(value.toString(), m_src.columns().at(column).name,
                                 QLocale().toString(example, QLocale::ShortFormat), example.toString(Qt::ISODate)));
    }
    return date;
}

bool Recordset::isDirty() const { return m_editMode != EditMode::None && m_changed.contains(true); }

int Recordset::absolutePosition() const
{
    if (bof())
        return PosBOF;
    if (eof())
        return PosEOF;
    return m_pos + 1;
}

void Recordset::setAbsolutePosition(int position)
{
    if (position < 1 || position > recordCount()) {
        throw DataError(
            QStringLiteral("Position %1 is outside the record set (1 to %2).").arg(position).arg(recordCount()));
    }
    moveTo(position - 1);
}

quint64 Recordset::bookmark() const
{
    requireCurrent();
    return currentRowData().serial;
}

void Recordset::setBookmark(quint64 bookmark)
{
    for (int i = 0; i < m_visible.size(); ++i) {
        if (m_rows.at(m_visible.at(i)).serial == bookmark) {
            moveTo(i);
            return;
        }
    }
    throw DataError(QStringLiteral("The bookmarked row is no longer in the record set."));
}

// A row the user changed is written before the cursor leaves it; a new row nobody
// filled in is dropped instead of being stored empty.
void Recordset::saveBeforeLeaving()
{
    if (m_editMode == EditMode::Add && !isDirty()) {
        finishEdit();
        dropRowAt(m_pos);
        return;
    }
    if (m_editMode != EditMode::None)
        update();
}

void Recordset::moveFirst()
{
    saveBeforeLeaving();
    if (m_visible.isEmpty())
        throw DataError(noCurrentRecord());
    moveTo(0);
}

void Recordset::moveLast()
{
    saveBeforeLeaving();
    if (m_visible.isEmpty())
        throw DataError(noCurrentRecord());
    moveTo(int(m_visible.size()) - 1);
}

void Recordset::moveNext()
{
    saveBeforeLeaving();
    if (m_currentDeleted) {
        // The row after a deleted one already stands at its place.
        m_currentDeleted = false;
        Q_EMIT moveComplete();
        return;
    }
    if (eof())
        throw DataError(noCurrentRecord());
    ++m_pos;
    Q_EMIT moveComplete();
}

void Recordset::movePrevious()
{
    saveBeforeLeaving();
    if (!m_currentDeleted && bof())
        throw DataError(noCurrentRecord());
    m_currentDeleted = false;
    m_pos = std::max(-1, m_pos - 1);
    Q_EMIT moveComplete();
}

// Like every move, also one onto the current row saves its pending change and reports
// the move, so views showing the current row catch up.
void Recordset::moveTo(int row)
{
    saveBeforeLeaving();
    if (row < 0 || row >= m_visible.size())
        throw DataError(noCurrentRecord());
    m_pos = row;
    m_currentDeleted = false;
    Q_EMIT moveComplete();
}

void Recordset::setFilter(const QString& criteria)
{
    const QString text = criteria.trimmed();
    if (!text.isEmpty()) {
        const Criteria parsed = Criteria::parse(text);
        if (fieldIndex(parsed.column()) < 0) {
            throw DataError(QStringLiteral("Invalid criteria \"%1\": the record set has no field named "
                                           "\"%2\".")
                                .arg(text, parsed.column()));
        }
    }
    if (m_open)
        saveBeforeLeaving();
    resetTo([&] { m_filter = text; });
}

void Recordset::find(const QString& criteria)
{
    const Criteria parsed = Criteria::parse(criteria);
    const int column = fieldIndex(parsed.column());
    if (column < 0) {
        throw DataError(QStringLiteral("Invalid criteria \"%1\": the record set has no field named \"%2\".")
                            .arg(criteria, parsed.column()));
    }
    saveBeforeLeaving();
    int row = m_currentDeleted ? m_pos : std::max(0, m_pos);
    while (row < m_visible.size() && !parsed.matches(m_rows.at(m_visible.at(row)).values.at(column)))
        ++row;
    m_pos = std::min<int>(row, int(m_visible.size()));
    m_currentDeleted = false;
    Q_EMIT moveComplete();
}

void Recordset::addNew()
{
    if (!m_open)
        throw DataError(QStringLiteral("Operation is not allowed when the object is closed."));
    requireUpdatable();
    saveBeforeLeaving();
    m_posBeforeAdd = hasCurrent() ? m_pos : -1;
    const int row = int(m_visible.size());
    Q_EMIT aboutToInsertRow(row);
    m_rows.append({0, m_nextSerial++, QVariantList(m_src.columns().size()), {}, true});
    m_visible.append(int(m_rows.size()) - 1);
    m_pos = row;
    m_currentDeleted = false;
    m_editMode = EditMode::Add;
    m_edit = QVariantList(m_src.columns().size());
    m_changed = QList<bool>(m_src.columns().size(), false);
    Q_EMIT rowInserted(row);
    Q_EMIT moveComplete();
}

QVariantList Recordset::storedValues(const QList<int>& columns) const
{
    QVariantList values;
    for (int c : columns)
        values << (m_src.columns().at(c).isDate ? StoredDate::toStored(m_edit.at(c)) : m_edit.at(c));
    return values;
}

void Recordset::update()
{
    if (m_editMode == EditMode::None)
        return;
    requireCurrent();
    QList<int> changed;
    for (int c = 0; c < m_changed.size(); ++c) {
        if (m_changed.at(c))
            changed << c;
    }
    try {
        writeCurrent(changed);
    } catch (const RowConflict& conflict) {
        // Nothing of the change stays pending, so no later write can put it on another row:
        // the message names what was not stored.
        const QString notStored = notStoredText(changed);
        const bool held = rereadAfterConflict(currentRowData().rowid);
        throw RowConflict(conflict.description() +
                              (held ? QString() : QStringLiteral("\n\nThe file no longer holds this record.")) +
                              notStored,
                          !held);
    } catch (...) {
        m_src.forgetMatch();
        returnToStored();
        throw;
    }
}

// The snapshot no longer is what the file holds (another program wrote, or another file was
// put in its place): it is read again whole, and the cursor stays on the row written where
// the file still has it, else goes to the nearest row after it (before it, at the end).
// Should the file not be readable now, the rows read before stay. True when the row is held.
bool Recordset::rereadAfterConflict(qint64 rowid)
{
    m_src.forgetMatch();
    QList<qint64> nearest{rowid};
    for (int i = m_pos + 1; i < m_visible.size(); ++i)
        nearest << m_rows.at(m_visible.at(i)).rowid;
    for (int i = std::min<int>(m_pos, int(m_visible.size())) - 1; i >= 0; --i)
        nearest << m_rows.at(m_visible.at(i)).rowid;
    QList<Row> rows;
    try {
        rows = m_src.read(m_nextSerial);
    } catch (const std::exception&) {
        returnToStored();
        return hasCurrent();
    }
    resetTo([&] { m_rows = std::move(rows); });
    QHash<qint64, int> visibleAt;
    for (int i = 0; i < m_visible.size(); ++i)
        visibleAt.insert(m_rows.at(m_visible.at(i)).rowid, i);
    for (qint64 near : nearest) {
        if (const auto found = visibleAt.constFind(near); found != visibleAt.constEnd()) {
            m_pos = found.value();
            Q_EMIT moveComplete();
            return near == rowid;
        }
    }
    return false;
}

// The values a refused change would have stored, one line each: where the user reads again
// what they typed.
QString Recordset::notStoredText(const QList<int>& changed) const
{
    constexpr int Longest = 200;
    QStringList lines;
    const QVariantList values = storedValues(changed);
    for (int i = 0; i < changed.size(); ++i) {
        const int column = changed.at(i);
        if (m_edit.at(column) == currentRowData().values.at(column))
            continue;
        QString text = values.at(i).toString();
        if (text.size() > Longest)
            text = QStringLiteral("%1\u2026 (%2 characters)").arg(text.left(Longest)).arg(text.size());
        lines << QStringLiteral("    %1: %2")
                     .arg(m_src.columns().at(column).name,
                          text.isEmpty() ? QStringLiteral("(empty)") : u'"' + text + u'"');
    }
    return lines.isEmpty() ? QString() : QStringLiteral("\n\nNot stored:\n") + lines.join(u'\n');
}

void Recordset::writeCurrent(const QList<int>& changed)
{
    const bool matchedBefore = m_src.matchesFile();
    const bool adding = m_editMode == EditMode::Add;
    Row& row = currentRowData();
    QStringList names;
    for (int c : changed)
        names << m_src.columns().at(c).name;
    if (m_editMode == EditMode::Add) {
        row.rowid = m_src.writer().insert(names, storedValues(changed));
        row.isNew = false;
    } else if (changed.isEmpty()) {
        finishEdit();
        return;
    } else {
        m_src.writer().update(row.rowid, row.read, names, storedValues(changed));
    }
    row.values = m_edit;
    finishEdit();
    try {
        // A row gone before it was read back keeps no values to locate it by: the next write
        // to it is refused, and the next check reads the file again.
        if (m_src.reload(row))
            m_src.keepMatchAfterWrite(matchedBefore, changed, adding);
        else
            m_src.forgetMatch();
    } catch (const std::exception&) {
        // Stored; only reading it back failed: the row shows what was written.
        m_src.forgetMatch();
    }
    Q_EMIT rowChanged(m_pos);
}

// After the file refused a write, nothing of it stays: the new row is dropped, a changed
// row shows what the file holds, or goes when the file no longer has it.
void Recordset::returnToStored()
{
    if (m_editMode == EditMode::Add) {
        // As after a delete: no current row, so nothing typed next goes into another row.
        finishEdit();
        dropRowAt(m_pos);
        Q_EMIT moveComplete();
        return;
    }
    finishEdit();
    bool stored = true;
    try {
        stored = m_src.reload(currentRowData());
    } catch (const std::exception&) {
        // The file cannot be read either: the row keeps the values last read from it.
    }
    if (stored)
        Q_EMIT rowChanged(m_pos);
    else
        dropRowAt(m_pos);
}

void Recordset::finishEdit()
{
    m_editMode = EditMode::None;
    m_edit.clear();
    m_changed.clear();
}

void Recordset::cancelUpdate()
{
    if (m_editMode == EditMode::None)
        return;
    if (m_editMode != EditMode::Add) {
        finishEdit();
        Q_EMIT rowChanged(m_pos);
        return;
    }
    dropNewRow();
}

// Takes the row being added out; the cursor goes back to where it was before adding.
void Recordset::dropNewRow()
{
    finishEdit();
    dropRowAt(m_pos);
    m_currentDeleted = false;
    m_pos = m_posBeforeAdd >= 0 && m_posBeforeAdd < m_visible.size()
                ? m_posBeforeAdd
                : (m_visible.isEmpty() ? -1 : int(m_visible.size()));
    Q_EMIT moveComplete();
}

// Takes a row out of the snapshot; the cursor stays where it was, on the row that
// followed, as after a delete.
void Recordset::dropRowAt(int visibleRow)
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

void Recordset::deleteCurrent()
{
    requireCurrent();
    requireUpdatable();
    if (m_editMode == EditMode::Add) {
        finishEdit();
        dropRowAt(m_pos);
        return;
    }
    const bool matchedBefore = m_src.matchesFile();
    m_src.forgetMatch();
    try {
        m_src.writer().remove(currentRowData().rowid, currentRowData().read);
    } catch (const RowConflict&) {
        rereadAfterConflict(currentRowData().rowid);
        throw;
    }
    finishEdit();
    dropRowAt(m_pos);
    m_src.keepMatchAfterWrite(matchedBefore, {}, false);
}
