#include "Recordset.h"

#include "Connection.h"
#include "Criteria.h"
#include "DataError.h"
#include "StoredDate.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

#include <optional>

namespace {
const QString RowidColumn = QStringLiteral("__rowid__");

QString noCurrentRecord()
{
    return QStringLiteral("Either BOF or EOF is True, or the current record has been deleted. "
                          "Requested operation requires a current record.");
}

struct SourcePlan {
    QString table; // empty: read-only
    QString sql;
};

// Decides whether a source reads one table row by row, so its rows can be written back by
// rowid, and if so adds the rowid to what it selects.
SourcePlan planSource(const QString& source)
{
    const QString text = source.trimmed();
    static const QRegularExpression bareTable(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (bareTable.match(text).hasMatch())
        return {text, QStringLiteral("SELECT rowid AS %1, * FROM %2").arg(RowidColumn, SqlClauses::quotedName(text))};

    static const QRegularExpression select(QStringLiteral("^SELECT\\s+(.+?)\\s+FROM\\s+([A-Za-z_][A-Za-z0-9_]*)(.*)$"),
                                           QRegularExpression::CaseInsensitiveOption |
                                               QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression plainList(QStringLiteral("^(?!(DISTINCT|ALL)\\b)[^()]+$"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression plainRest(
        QStringLiteral("^\\s*((WHERE|ORDER\\s+BY)\\b(?!.*\\b(JOIN|GROUP|UNION|HAVING|SELECT)\\b).*)?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    const auto m = select.match(text);
    if (m.hasMatch() && plainList.match(m.captured(1)).hasMatch() && plainRest.match(m.captured(3)).hasMatch()) {
        const QString table = m.captured(2);
        return {table, QStringLiteral("SELECT %1.rowid AS %2, %3")
                           .arg(SqlClauses::quotedName(table), RowidColumn, text.mid(m.capturedStart(1)))};
    }
    return {{}, text};
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
    if (m_open && connection == m_connection && source == m_source && matchesFile()) {
        // The same rows as a fresh read: open them again without reading.
        if (m_filter.isEmpty())
            backToFirstRow();
        else
            resetTo([&] { m_filter.clear(); });
        return;
    }
    const SourcePlan plan = planSource(source);
    resetTo([&] {
        m_connection = std::move(connection);
        m_source = source;
        m_table = plan.table;
        m_order = SqlClauses::orderBy(source);
        // The order is the program's (TextOrder), applied once the rows are read. Read in
        // the file's order for the same columns, they mostly need no sorting at all.
        m_selectSql = plan.sql;
        m_filter.clear();
        m_open = false;
        load();
        m_open = true;
    });
}

void Recordset::openRows(const RowTable& table)
{
    resetTo([&] {
        m_connection.reset();
        m_matchesFileAt.reset();
        m_source.clear();
        m_table.clear();
        m_selectSql.clear();
        m_order.clear();
        m_filter.clear();
        m_columns.clear();
        m_tableColumns.clear();
        for (const QString& name : table.columns)
            m_columns.append({name, false, false, false});
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
        m_columns.clear();
        m_filter.clear();
        m_connection.reset();
        m_matchesFileAt.reset();
    });
}

void Recordset::requery()
{
    if (!m_open)
        throw DataError(QStringLiteral("Operation is not allowed when the object is closed."));
    saveBeforeLeaving();
    if (!m_connection)
        return;
    if (matchesFile()) {
        if (m_filter.isEmpty())
            backToFirstRow();
        else
            resetTo([] {});
        return;
    }
    resetTo([&] { load(); });
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

bool Recordset::matchesFile() const
{
    if (!m_connection || !m_matchesFileAt)
        return false;
    // Sorted by another language's rule, the rows would come back in another order.
    if (!m_order.isEmpty() && m_orderGeneration != TextOrder::current().generation())
        return false;
    try {
        return *m_matchesFileAt == m_connection->version();
    } catch (const std::exception&) {
        return false;
    }
}

void Recordset::keepMatchAfterWrite(bool matchedBefore, bool orderKept)
{
    m_matchesFileAt.reset();
    if (matchedBefore && orderKept) {
        try {
            m_matchesFileAt = m_connection->version();
        } catch (const std::exception&) {
        }
    }
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

void Recordset::load()
{
    m_matchesFileAt.reset();
    // The version before the rows: a write committed in between makes the next check re-read.
    const Connection::Version before = m_connection->version();
    readRows();
    m_matchesFileAt = before;
    m_orderGeneration = TextOrder::current().generation();
}

// Reads the rows and puts them in the source's order; where that order names a column the
// rows do not have, they stay as the query gave them.
void Recordset::readRows()
{
    QList<Column> columns;
    QList<Row> rows;
    {
        QSqlQuery query = m_connection->run(m_selectSql);
        const QSqlRecord record = query.record();
        const int first = m_table.isEmpty() ? 0 : 1;

        QHash<QString, std::pair<QString, bool>> tableColumns; // lower name -> type, is rowid
        if (!m_table.isEmpty()) {
            QSqlQuery info =
                m_connection->run(QStringLiteral("PRAGMA table_info(%1)").arg(SqlClauses::quotedName(m_table)));
            QList<std::tuple<QString, QString, int>> found;
            int keyColumns = 0;
            while (info.next()) {
                found.append({info.value(1).toString(), info.value(2).toString().toUpper(), info.value(5).toInt()});
                keyColumns += info.value(5).toInt() > 0 ? 1 : 0;
            }
            for (const auto& [name, type, pk] : found)
                tableColumns.insert(name.toLower(),
                                    {type, pk > 0 && keyColumns == 1 && type == QStringLiteral("INTEGER")});
        }
        for (int i = first; i < record.count(); ++i) {
            const QString name = record.fieldName(i);
            const auto it = tableColumns.constFind(name.toLower());
            const bool inTable = it != tableColumns.constEnd();
            columns.append(
                {name, inTable, inTable && !it->second, inTable && it->first.startsWith(QStringLiteral("DATE"))});
        }
        m_columns = columns;
        m_tableColumns.clear();
        for (int c = 0; c < columns.size(); ++c) {
            if (columns.at(c).inTable)
                m_tableColumns << c;
        }
        while (query.next()) {
            Row row;
            row.serial = m_nextSerial++;
            if (first == 1)
                row.rowid = query.value(0).toLongLong();
            row.values.reserve(record.count() - first);
            for (int i = first; i < record.count(); ++i)
                row.values.append(convertRead(i - first, query.value(i)));
            row.read.reserve(m_tableColumns.size());
            for (int c : m_tableColumns)
                row.read.append(normalizedNull(query.value(c + first)));
            rows.append(std::move(row));
        }
    }
    // The source's ORDER BY once more, by the program's rule: the file orders by its own.
    QList<RowOrder::Term> terms;
    for (const SqlClauses::OrderTerm& t : m_order) {
        const int column = fieldIndex(t.column);
        if (column < 0) {
            terms.clear();
            break;
        }
        terms.append({column, t.descending});
    }
    const QList<int> order = RowOrder::permutation(
        int(rows.size()), terms, [&](int r, int c) -> const QVariant& { return rows.at(r).values.at(c); }, &m_orderKeys,
        &m_orderMemory);
    if (!order.isEmpty()) {
        QList<Row> sorted;
        sorted.reserve(rows.size());
        for (int i : order)
            sorted.append(std::move(rows[i]));
        rows = std::move(sorted);
    }
    m_rows = std::move(rows);
}

QVariant Recordset::convertRead(int column, const QVariant& value) const
{
    if (m_columns.at(column).isDate)
        return StoredDate::fromStored(value);
    return normalizedNull(value);
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
    for (const Column& c : m_columns)
        names << c.name;
    return names;
}

int Recordset::fieldIndex(const QString& name) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool Recordset::isFieldUpdatable(int column) const
{
    return column >= 0 && column < m_columns.size() && m_columns.at(column).updatable;
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
                            .arg(m_source));
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
        throw DataError(
            QStringLiteral("Field \"%1\" cannot be updated: the database assigns it.").arg(m_columns.at(column).name));
    }
    const QVariant v = normalized(column, value);
    if (m_editMode == EditMode::None) {
        m_editMode = EditMode::InProgress;
        m_edit = currentRowData().values;
        m_changed = QList<bool>(m_columns.size(), false);
    }
    m_edit[column] = v;
    m_changed[column] = true;
    Q_EMIT rowChanged(m_pos);
}

// What a column can hold, checked before anything reaches the file.
QVariant Recordset::normalized(int column, const QVariant& value) const
{
    if (!m_columns.at(column).isDate)
        return normalizedNull(value);
    const QVariant date = StoredDate::fromInput(value);
    if (!value.isNull() && !value.toString().trimmed().isEmpty() && date.isNull()) {
        throw DataError(QStringLiteral("\"%1\" is not a date: field \"%2\" holds calendar dates.")
                            .arg(value.toString(), m_columns.at(column).name));
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
    m_rows.append({0, m_nextSerial++, QVariantList(m_columns.size()), {}, true});
    m_visible.append(int(m_rows.size()) - 1);
    m_pos = row;
    m_currentDeleted = false;
    m_editMode = EditMode::Add;
    m_edit = QVariantList(m_columns.size());
    m_changed = QList<bool>(m_columns.size(), false);
    Q_EMIT rowInserted(row);
    Q_EMIT moveComplete();
}

QVariantList Recordset::storedValues(const QList<int>& columns) const
{
    QVariantList values;
    for (int c : columns)
        values << (m_columns.at(c).isDate ? StoredDate::toStored(m_edit.at(c)) : m_edit.at(c));
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
    } catch (const RowConflict&) {
        rereadAfterConflict(currentRowData().rowid);
        throw;
    } catch (...) {
        m_matchesFileAt.reset();
        returnToStored();
        throw;
    }
}

RowWriter Recordset::writer() const
{
    QStringList names;
    for (int c : m_tableColumns)
        names << m_columns.at(c).name;
    return RowWriter(*m_connection, m_table, names);
}

// The snapshot no longer is what the file holds (another program wrote, or another file was
// put in its place): it is read again whole, and the cursor stays on the row written where
// the file still has it. Should the file not be readable now, the rows read before stay.
void Recordset::rereadAfterConflict(qint64 rowid)
{
    m_matchesFileAt.reset();
    resetTo([&] {
        try {
            load();
        } catch (const std::exception&) {
        }
    });
    for (int i = 0; i < m_visible.size(); ++i) {
        if (m_rows.at(m_visible.at(i)).rowid == rowid) {
            m_pos = i;
            Q_EMIT moveComplete();
            return;
        }
    }
}

void Recordset::writeCurrent(const QList<int>& changed)
{
    const bool matchedBefore = matchesFile();
    // A re-read puts a new row, or one whose ordering value changed, in its sorted place.
    bool orderKept = m_order.isEmpty() || m_editMode != EditMode::Add;
    for (const SqlClauses::OrderTerm& term : m_order) {
        for (int c : changed)
            orderKept = orderKept && m_columns.at(c).name.compare(term.column, Qt::CaseInsensitive) != 0;
    }
    Row& row = currentRowData();
    QStringList names;
    for (int c : changed)
        names << m_columns.at(c).name;
    if (m_editMode == EditMode::Add) {
        row.rowid = writer().insert(names, storedValues(changed));
        row.isNew = false;
    } else if (changed.isEmpty()) {
        finishEdit();
        return;
    } else {
        writer().update(row.rowid, row.read, names, storedValues(changed));
    }
    row.values = m_edit;
    finishEdit();
    try {
        reloadRow(row);
        keepMatchAfterWrite(matchedBefore, orderKept);
    } catch (const std::exception&) {
        // Stored; only reading it back failed: the row shows what was written.
        m_matchesFileAt.reset();
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
        stored = reloadRow(currentRowData());
    } catch (const std::exception&) {
        // The file cannot be read either: the row keeps the values last read from it.
    }
    if (stored)
        Q_EMIT rowChanged(m_pos);
    else
        dropRowAt(m_pos);
}

// Reads a written row back, so the snapshot shows what the file holds: the identifier the
// database assigned, and each value as the column stored it. False when the file no longer
// has the row.
bool Recordset::reloadRow(Row& row)
{
    const std::optional<QVariantList> stored = writer().reload(row.rowid);
    if (!stored)
        return false;
    row.read = *stored;
    for (int i = 0; i < m_tableColumns.size(); ++i)
        row.values[m_tableColumns.at(i)] = convertRead(m_tableColumns.at(i), stored->at(i));
    return true;
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
    const bool matchedBefore = matchesFile();
    m_matchesFileAt.reset();
    try {
        writer().remove(currentRowData().rowid, currentRowData().read);
    } catch (const RowConflict&) {
        rereadAfterConflict(currentRowData().rowid);
        throw;
    }
    finishEdit();
    dropRowAt(m_pos);
    keepMatchAfterWrite(matchedBefore, true);
}
