#include "EditBuffer.h"

#include "DataError.h"
#include "RowCursor.h"
#include "StoredDate.h"

#include <QLocale>

EditBuffer::EditBuffer(RecordSource& source, RowCursor& cursor)
    : m_src(source)
    , m_cursor(cursor)
{
}

void EditBuffer::setValue(int column, const QVariant& value)
{
    const QVariant v = normalized(column, value);
    if (m_mode == Mode::None) {
        // Fetched first: a row that cannot be fetched now starts no change.
        m_values = m_cursor.current().values;
        m_mode = Mode::InProgress;
        m_changed = QList<bool>(m_src.columns().size(), false);
    }
    m_values[column] = v;
    m_changed[column] = true;
    m_cursor.tellRowChanged();
}

// What a column can hold, checked before anything reaches the file.
QVariant EditBuffer::normalized(int column, const QVariant& value) const
{
    if (!m_src.columns().at(column).isDate)
        return value.isNull() ? QVariant() : value;
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

void EditBuffer::saveBeforeLeaving()
{
    if (m_mode == Mode::Add && !isDirty()) {
        discard();
        m_cursor.dropAt(m_cursor.pos());
        return;
    }
    if (m_mode != Mode::None)
        update();
}

void EditBuffer::addNew()
{
    saveBeforeLeaving();
    m_posBeforeAdd = m_cursor.hasCurrent() ? m_cursor.pos() : -1;
    m_cursor.appendNew([this] {
        m_mode = Mode::Add;
        m_values = QVariantList(m_src.columns().size());
        m_changed = QList<bool>(m_src.columns().size(), false);
    });
    m_cursor.tellMoved();
}

QVariantList EditBuffer::storedValues(const QList<int>& columns) const
{
    QVariantList values;
    for (int c : columns)
        values << (m_src.columns().at(c).isDate ? StoredDate::toStored(m_values.at(c)) : m_values.at(c));
    return values;
}

void EditBuffer::update()
{
    if (m_mode == Mode::None)
        return;
    m_cursor.requireCurrent();
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
        const bool held = rereadAfterConflict();
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
bool EditBuffer::rereadAfterConflict()
{
    m_src.forgetMatch();
    const QList<qint64> nearest = m_cursor.rowidsFromCurrent();
    QList<Row> rows;
    try {
        rows = m_cursor.read();
    } catch (const std::exception&) {
        returnToStored();
        return m_cursor.hasCurrent();
    }
    m_cursor.reset([&](QList<Row>& current, QString&) {
        discard();
        current = std::move(rows);
    });
    return m_cursor.moveToFirstOf(nearest) == 0;
}

// The values a refused change would have stored, one line each: where the user reads again
// what they typed.
QString EditBuffer::notStoredText(const QList<int>& changed) const
{
    constexpr int Longest = 200;
    QStringList lines;
    const QVariantList values = storedValues(changed);
    for (int i = 0; i < changed.size(); ++i) {
        const int column = changed.at(i);
        if (m_values.at(column) == m_cursor.current().values.at(column))
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

void EditBuffer::writeCurrent(const QList<int>& changed)
{
    const bool matchedBefore = m_src.matchesFile();
    const bool adding = m_mode == Mode::Add;
    Row& row = m_cursor.current();
    QStringList names;
    for (int c : changed)
        names << m_src.columns().at(c).name;
    if (adding) {
        row.rowid = m_src.writer().insert(names, storedValues(changed));
        row.isNew = false;
    } else if (changed.isEmpty()) {
        discard();
        return;
    } else {
        m_src.writer().update(row.rowid, row.read, names, storedValues(changed));
    }
    row.values = m_values;
    discard();
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
    m_cursor.tellRowChanged();
}

void EditBuffer::returnToStored()
{
    if (m_mode == Mode::Add) {
        // As after a delete: no current row, so nothing typed next goes into another row.
        discard();
        m_cursor.dropAt(m_cursor.pos());
        m_cursor.tellMoved();
        return;
    }
    discard();
    bool stored = true;
    try {
        stored = m_src.reload(m_cursor.current());
    } catch (const std::exception&) {
        // The file cannot be read either: the row keeps the values last read from it.
    }
    if (stored)
        m_cursor.tellRowChanged();
    else
        m_cursor.dropAt(m_cursor.pos());
}

void EditBuffer::discard()
{
    m_mode = Mode::None;
    m_values.clear();
    m_changed.clear();
}

void EditBuffer::cancel()
{
    if (m_mode == Mode::None)
        return;
    const bool adding = m_mode == Mode::Add;
    discard();
    if (adding) {
        // The cursor goes back to where it was before adding.
        m_cursor.dropAt(m_cursor.pos());
        m_cursor.returnTo(m_posBeforeAdd);
    } else {
        m_cursor.tellRowChanged();
    }
}

void EditBuffer::deleteCurrent()
{
    if (m_mode == Mode::Add) {
        discard();
        m_cursor.dropAt(m_cursor.pos());
        return;
    }
    const bool matchedBefore = m_src.matchesFile();
    m_src.forgetMatch();
    try {
        m_src.writer().remove(m_cursor.current().rowid, m_cursor.current().read);
    } catch (const RowConflict&) {
        rereadAfterConflict();
        throw;
    }
    discard();
    m_cursor.dropAt(m_cursor.pos());
    m_src.keepMatchAfterWrite(matchedBefore, {}, false);
}
