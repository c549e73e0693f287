#include "Recordset.h"

#include "Connection.h"
#include "Criteria.h"
#include "DataError.h"

Recordset::Recordset(QObject* parent)
    : QObject(parent)
{
}

Recordset::~Recordset() = default;

void Recordset::open(std::shared_ptr<Connection> connection, const QString& source)
{
    if (m_open)
        m_edit.saveBeforeLeaving();
    if (m_open && m_src.isFrom(connection, source) && m_src.matchesFile()) {
        // The same rows as a fresh read: open them again without reading.
        if (m_cursor.filter().isEmpty()) {
            m_edit.discard();
            m_cursor.toFirstRow();
        } else {
            resetTo([](QList<RecordSource::Row>&, QString& filter) { filter.clear(); });
        }
        return;
    }
    resetTo([&](QList<RecordSource::Row>& rows, QString& filter) {
        m_src.open(std::move(connection), source);
        filter.clear();
        m_open = false;
        rows = m_cursor.read();
        m_open = true;
    });
}

void Recordset::openRows(const RowTable& table)
{
    resetTo([&](QList<RecordSource::Row>& rows, QString& filter) {
        m_src.openColumns(table.columns);
        filter.clear();
        rows.clear();
        for (const QVariantList& values : table.rows)
            rows.append(m_cursor.numbered(values));
        m_open = true;
    });
}

void Recordset::close()
{
    if (!m_open)
        return;
    resetTo([&](QList<RecordSource::Row>& rows, QString& filter) {
        m_open = false;
        rows.clear();
        filter.clear();
        m_src.close();
    });
}

void Recordset::requery()
{
    requireOpen();
    m_edit.saveBeforeLeaving();
    if (!m_src.hasConnection())
        return;
    if (m_src.matchesFile()) {
        if (m_cursor.filter().isEmpty()) {
            m_edit.discard();
            m_cursor.toFirstRow();
        } else {
            resetTo([](QList<RecordSource::Row>&, QString&) {});
        }
        return;
    }
    // Read before anything changes: a source that cannot be read now (its file gone) keeps
    // the rows read before in the views, and the error says why.
    QList<RecordSource::Row> read = m_cursor.read();
    resetTo([&](QList<RecordSource::Row>& rows, QString&) { rows = std::move(read); });
}

// Replaces the content; the pending change goes with the rows it was made on, and a content
// that cannot be had leaves the set closed.
void Recordset::resetTo(const std::function<void(QList<RecordSource::Row>& rows, QString& filter)>& change)
{
    m_cursor.reset([&](QList<RecordSource::Row>& rows, QString& filter) {
        m_edit.discard();
        try {
            change(rows, filter);
        } catch (...) {
            m_open = false;
            throw;
        }
    });
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

void Recordset::requireOpen() const
{
    if (!m_open)
        throw DataError(QStringLiteral("Operation is not allowed when the object is closed."));
}

void Recordset::requireCurrent() const
{
    requireOpen();
    m_cursor.requireCurrent();
}

void Recordset::requireUpdatable() const
{
    if (!isUpdatable())
        throw DataError(QStringLiteral("The record set cannot be updated: its source \"%1\" does not "
                                       "read one table row by row.")
                            .arg(m_src.source()));
}

QVariant Recordset::value(const QString& name) const
{
    requireCurrent();
    const int column = fieldIndex(name);
    if (column < 0)
        throw DataError(QStringLiteral("The record set has no field named \"%1\".").arg(name));
    return rowValue(m_cursor.pos(), column);
}

QVariant Recordset::rowValue(int row, int column) const
{
    if (row == m_cursor.pos() && m_edit.mode() != EditMode::None && !m_cursor.onDeletedRow())
        return m_edit.value(column);
    return m_cursor.valuesAt(row).at(column);
}

Recordset::Snapshot Recordset::snapshot() const
{
    Snapshot rows;
    rows.m_rows = m_cursor.rows();
    rows.m_visible = m_cursor.visible();
    rows.m_fetch = m_src.fetch();
    return rows;
}

void Recordset::setValue(const QString& name, const QVariant& value)
{
    const int column = fieldIndex(name);
    if (column < 0) {
        if (m_edit.mode() == EditMode::Add && hasCurrent())
            m_edit.returnToStored();
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
    m_edit.setValue(column, value);
}

int Recordset::absolutePosition() const
{
    if (bof())
        return PosBOF;
    if (eof())
        return PosEOF;
    return m_cursor.pos() + 1;
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
    return m_cursor.rowAt(m_cursor.pos()).serial;
}

void Recordset::setBookmark(quint64 bookmark)
{
    const int row = m_cursor.indexOfSerial(bookmark);
    if (row < 0)
        throw DataError(QStringLiteral("The bookmarked row is no longer in the record set."));
    moveTo(row);
}

void Recordset::moveFirst() { moveTo(0); }

void Recordset::moveLast()
{
    m_edit.saveBeforeLeaving();
    m_cursor.moveTo(recordCount() - 1);
}

void Recordset::moveNext()
{
    m_edit.saveBeforeLeaving();
    m_cursor.moveNext();
}

void Recordset::movePrevious()
{
    m_edit.saveBeforeLeaving();
    m_cursor.movePrevious();
}

void Recordset::moveTo(int row)
{
    m_edit.saveBeforeLeaving();
    m_cursor.moveTo(row);
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
        m_edit.saveBeforeLeaving();
    resetTo([&](QList<RecordSource::Row>&, QString& filter) { filter = text; });
}

void Recordset::find(const QString& criteria)
{
    const Criteria parsed = Criteria::parse(criteria);
    const int column = fieldIndex(parsed.column());
    if (column < 0) {
        throw DataError(QStringLiteral("Invalid criteria \"%1\": the record set has no field named \"%2\".")
                            .arg(criteria, parsed.column()));
    }
    m_edit.saveBeforeLeaving();
    m_cursor.find(parsed, column);
}

void Recordset::addNew()
{
    requireOpen();
    requireUpdatable();
    m_edit.addNew();
}

void Recordset::update() { m_edit.update(); }

void Recordset::cancelUpdate() { m_edit.cancel(); }

void Recordset::deleteCurrent()
{
    requireCurrent();
    requireUpdatable();
    m_edit.deleteCurrent();
}
