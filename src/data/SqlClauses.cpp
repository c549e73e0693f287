#include "SqlClauses.h"

namespace {
// The text with everything inside quotes, brackets and parentheses blanked out, so that
// keywords are only found at the top level. Positions stay those of the original.
QString topLevel(const QString& sql)
{
    QString out = sql;
    int depth = 0;
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            out[i] = u'_';
            continue;
        }
        if (c == u'\'' || c == u'"' || c == u'`') {
            quote = c;
            out[i] = u'_';
        } else if (c == u'[') {
            quote = u']';
            out[i] = u'_';
        } else if (c == u'(') {
            ++depth;
            out[i] = u'_';
        } else if (c == u')') {
            depth = std::max(0, depth - 1);
            out[i] = u'_';
        } else if (depth > 0) {
            out[i] = u'_';
        }
    }
    return out;
}

// SQL's own spelling rules, read by hand: start-up reads the record sources' clauses before
// the window shows, and a compiled pattern would cost more than all the reading.
bool isWordChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

bool isSpace(QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

qsizetype skipSpace(const QString& text, qsizetype i)
{
    while (i < text.size() && isSpace(text[i]))
        ++i;
    return i;
}

// The keyword at `i` as a whole word, in any case.
bool wordAt(const QString& text, qsizetype i, QLatin1StringView word)
{
    if (i > 0 && isWordChar(text[i - 1]))
        return false;
    if (QStringView(text).mid(i, word.size()).compare(word, Qt::CaseInsensitive) != 0)
        return false;
    const qsizetype after = i + word.size();
    return after == text.size() || !isWordChar(text[after]);
}

// The text of a clause starting with `keyword` BY up to the next top-level clause keyword;
// `at` gets where the keyword starts.
QString clause(const QString& sql, QLatin1StringView keyword, bool* limited = nullptr, qsizetype* at = nullptr,
               qsizetype* until = nullptr)
{
    const QString masked = topLevel(sql);
    qsizetype from = -1;
    // The last one counts: a statement's own clause follows any inside it.
    for (qsizetype i = 0; i < masked.size(); ++i) {
        if (!wordAt(masked, i, keyword))
            continue;
        const qsizetype by = skipSpace(masked, i + keyword.size());
        if (by == i + keyword.size() || !wordAt(masked, by, QLatin1StringView("BY")))
            continue;
        if (at)
            *at = i;
        from = by + 2;
        i = from - 1;
    }
    if (from < 0)
        return {};
    static constexpr QLatin1StringView Clauses[] = {QLatin1StringView("ORDER"),     QLatin1StringView("GROUP"),
                                                    QLatin1StringView("HAVING"),    QLatin1StringView("LIMIT"),
                                                    QLatin1StringView("OFFSET"),    QLatin1StringView("WINDOW"),
                                                    QLatin1StringView("UNION"),     QLatin1StringView("EXCEPT"),
                                                    QLatin1StringView("INTERSECT"), QLatin1StringView("FETCH")};
    qsizetype end = sql.size();
    bool another = false;
    for (qsizetype i = from; i < masked.size() && end == sql.size(); ++i) {
        if (masked[i] == u';') {
            end = i;
        } else {
            for (QLatin1StringView word : Clauses) {
                if (wordAt(masked, i, word)) {
                    end = i;
                    another = true;
                    break;
                }
            }
        }
    }
    if (limited)
        *limited = another;
    if (until)
        *until = end;
    return sql.mid(from, end - from);
}

QStringList splitTopLevel(const QString& text)
{
    const QString masked = topLevel(text);
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= masked.size(); ++i) {
        if (i == masked.size() || masked[i] == u',') {
            parts << text.mid(start, i - start);
            start = i + 1;
        }
    }
    return parts;
}

QString unquoted(const QString& name)
{
    if (name.size() >= 2) {
        const QChar first = name.front(), last = name.back();
        if ((first == u'"' && last == u'"') || (first == u'`' && last == u'`') || (first == u'[' && last == u']')) {
            QString inner = name.mid(1, name.size() - 2);
            if (first != u'[')
                inner.replace(QString(2, first), QString(first));
            return inner;
        }
    }
    return name;
}

// Where an identifier starting at `i` can end, the longest reading first: a bare word, or a
// name in double quotes or backquotes (the quote doubled inside) or in brackets.
QList<qsizetype> identifierEnds(const QString& text, qsizetype i)
{
    if (i >= text.size())
        return {};
    const QChar first = text[i];
    if ((first >= u'a' && first <= u'z') || (first >= u'A' && first <= u'Z') || first == u'_') {
        qsizetype j = i + 1;
        while (j < text.size() && isWordChar(text[j]))
            ++j;
        return {j};
    }
    if (first == u'[') {
        const qsizetype close = text.indexOf(u']', i + 1);
        return close > i + 1 ? QList<qsizetype>{close + 1} : QList<qsizetype>{};
    }
    if (first != u'"' && first != u'`')
        return {};
    // A doubled quote may also be read as the closing quote with one more after it.
    QList<qsizetype> ends;
    qsizetype j = i + 1;
    while (j < text.size()) {
        if (text[j] != first) {
            ++j;
            continue;
        }
        if (j > i + 1)
            ends.prepend(j + 1);
        if (j + 1 < text.size() && text[j + 1] == first)
            j += 2;
        else
            break;
    }
    return ends;
}

// "name", "table.name" (any quoting) -> name; empty when the term is anything else.
QString columnOf(const QString& term, QString* rest)
{
    const qsizetype start = skipSpace(term, 0);
    const QList<qsizetype> firstEnds = identifierEnds(term, start);
    if (firstEnds.isEmpty())
        return {};
    for (qsizetype tableEnd : firstEnds) {
        const qsizetype dot = skipSpace(term, tableEnd);
        if (dot == term.size() || term[dot] != u'.')
            continue;
        const qsizetype column = skipSpace(term, dot + 1);
        const QList<qsizetype> ends = identifierEnds(term, column);
        if (!ends.isEmpty()) {
            if (rest)
                *rest = term.mid(ends.first());
            return unquoted(term.mid(column, ends.first() - column));
        }
    }
    if (rest)
        *rest = term.mid(firstEnds.first());
    return unquoted(term.mid(start, firstEnds.first() - start));
}

// After a column: an optional COLLATE name, then an optional ASC or DESC, and nothing else.
// Whether it reads so, and whether it is DESC.
bool readOrderTail(const QString& rest, bool* descending)
{
    qsizetype i = skipSpace(rest, 0);
    if (QStringView(rest).mid(i, 7).compare(QLatin1StringView("COLLATE"), Qt::CaseInsensitive) == 0) {
        qsizetype name = skipSpace(rest, i + 7);
        qsizetype j = name;
        while (j < rest.size() && isWordChar(rest[j]))
            ++j;
        if (name > i + 7 && j > name)
            i = skipSpace(rest, j);
    }
    *descending = false;
    for (QLatin1StringView word : {QLatin1StringView("ASC"), QLatin1StringView("DESC")}) {
        if (QStringView(rest).mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0 &&
            skipSpace(rest, i + word.size()) == rest.size()) {
            *descending = word.size() == 4;
            return true;
        }
    }
    return skipSpace(rest, i) == rest.size();
}
} // namespace

namespace SqlClauses {

QList<OrderTerm> orderBy(const QString& sql)
{
    bool limited = false;
    const QString text = clause(sql, QLatin1StringView("ORDER"), &limited);
    if (text.trimmed().isEmpty() || limited)
        return {};
    QList<OrderTerm> terms;
    for (const QString& part : splitTopLevel(text)) {
        QString rest;
        const QString name = columnOf(part, &rest);
        bool descending = false;
        if (name.isEmpty() || !readOrderTail(rest, &descending))
            return {};
        terms.append({name, descending});
    }
    return terms;
}

QStringList groupBy(const QString& sql)
{
    const QString text = clause(sql, QLatin1StringView("GROUP"));
    if (text.trimmed().isEmpty())
        return {};
    QStringList columns;
    for (const QString& part : splitTopLevel(text)) {
        QString rest;
        const QString name = columnOf(part, &rest);
        if (name.isEmpty() || !rest.trimmed().isEmpty())
            return {};
        columns << name;
    }
    return columns;
}

bool onlyReads(const QString& sql)
{
    const qsizetype start = skipSpace(sql, 0);
    const auto startsWith = [&](qsizetype at, QLatin1StringView word) {
        return QStringView(sql).mid(at, word.size()).compare(word, Qt::CaseInsensitive) == 0;
    };
    if (startsWith(start, QLatin1StringView("SELECT")) || startsWith(start, QLatin1StringView("EXPLAIN")))
        return true;
    if (!startsWith(start, QLatin1StringView("PRAGMA")))
        return false;
    // A name, then a value in parentheses, the statement's end or nothing: no "= value".
    const qsizetype name = skipSpace(sql, start + 6);
    qsizetype i = name;
    while (i < sql.size() && isWordChar(sql[i]))
        ++i;
    if (name == start + 6 || i == name)
        return false;
    i = skipSpace(sql, i);
    return i == sql.size() || sql[i] == u'(' || sql[i] == u';';
}

QString quotedName(const QString& identifier)
{
    QString s = identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

} // namespace SqlClauses
