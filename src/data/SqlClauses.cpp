#include "SqlClauses.h"

#include <QRegularExpression>

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

// The text of a clause starting with `keyword` up to the next top-level clause keyword;
// `at` gets where the keyword starts.
QString clause(const QString& sql, const QString& keyword, bool* limited = nullptr, qsizetype* at = nullptr,
               qsizetype* until = nullptr)
{
    const QString masked = topLevel(sql);
    const QRegularExpression start(QStringLiteral("\\b%1\\s+BY\\b").arg(keyword),
                                   QRegularExpression::CaseInsensitiveOption);
    qsizetype from = -1, length = 0;
    for (auto it = start.globalMatch(masked); it.hasNext();) {
        const auto m = it.next();
        from = m.capturedEnd();
        length = m.capturedLength();
        if (at)
            *at = m.capturedStart();
    }
    if (from < 0 || length == 0)
        return {};
    static const QRegularExpression next(QStringLiteral("\\b(ORDER|GROUP|HAVING|LIMIT|OFFSET|WINDOW|UNION|EXCEPT|"
                                                        "INTERSECT|FETCH)\\b|;"),
                                         QRegularExpression::CaseInsensitiveOption);
    const auto m = next.match(masked, from);
    const qsizetype end = m.hasMatch() ? m.capturedStart() : sql.size();
    if (limited)
        *limited = m.hasMatch() && m.captured(0) != u';';
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

const QString Identifier =
    QStringLiteral("(?:[A-Za-z_][A-Za-z0-9_]*|\"(?:[^\"]|\"\")+\"|`(?:[^`]|``)+`|\\[[^\\]]+\\])");

// "name", "table.name" (any quoting) -> name; empty when the term is anything else.
QString columnOf(const QString& term, QString* rest)
{
    static const QRegularExpression column(QStringLiteral("^\\s*(?:%1\\s*\\.\\s*)?(%1)(.*)$").arg(Identifier),
                                           QRegularExpression::DotMatchesEverythingOption);
    const auto m = column.match(term);
    if (!m.hasMatch())
        return {};
    if (rest)
        *rest = m.captured(2);
    return unquoted(m.captured(1));
}
} // namespace

namespace SqlClauses {

QList<OrderTerm> orderBy(const QString& sql)
{
    bool limited = false;
    const QString text = clause(sql, QStringLiteral("ORDER"), &limited);
    if (text.trimmed().isEmpty() || limited)
        return {};
    static const QRegularExpression tail(QStringLiteral("^\\s*(?:COLLATE\\s+\\w+\\s*)?(ASC|DESC)?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QList<OrderTerm> terms;
    for (const QString& part : splitTopLevel(text)) {
        QString rest;
        const QString name = columnOf(part, &rest);
        const auto m = tail.match(rest);
        if (name.isEmpty() || !m.hasMatch())
            return {};
        terms.append({name, m.captured(1).compare(QStringLiteral("DESC"), Qt::CaseInsensitive) == 0});
    }
    return terms;
}

QStringList groupBy(const QString& sql)
{
    const QString text = clause(sql, QStringLiteral("GROUP"));
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

QString quotedName(const QString& identifier)
{
    QString s = identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

} // namespace SqlClauses
