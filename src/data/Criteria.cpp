#include "Criteria.h"

#include "DataError.h"
#include "TextOrder.h"

#include <QDate>

#include <optional>

namespace {
class Parser {
public:
    explicit Parser(const QString& text)
        : m_text(text)
    {
    }

    [[noreturn]] void fail(const QString& what) const
    {
        throw DataError(QStringLiteral("Invalid criteria \"%1\": %2 at position %3.").arg(m_text, what).arg(m_pos + 1));
    }

    void skipSpace()
    {
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
    }

    bool atEnd() const { return m_pos >= m_text.size(); }

    QString column()
    {
        skipSpace();
        if (atEnd())
            fail(QStringLiteral("a column name is missing"));
        if (m_text[m_pos] == u'[') {
            const qsizetype close = m_text.indexOf(u']', m_pos + 1);
            if (close < 0)
                fail(QStringLiteral("the column name has no closing ']'"));
            const QString name = m_text.mid(m_pos + 1, close - m_pos - 1).trimmed();
            if (name.isEmpty())
                fail(QStringLiteral("the column name is empty"));
            m_pos = close + 1;
            return name;
        }
        const qsizetype start = m_pos;
        while (!atEnd() && (m_text[m_pos].isLetterOrNumber() || m_text[m_pos] == u'_'))
            ++m_pos;
        if (m_pos == start || m_text[start].isDigit())
            fail(QStringLiteral("a column name is expected"));
        return m_text.mid(start, m_pos - start);
    }

    void equals()
    {
        skipSpace();
        if (atEnd() || m_text[m_pos] != u'=')
            fail(QStringLiteral("'=' is expected"));
        ++m_pos;
    }

    QVariant literal()
    {
        skipSpace();
        if (atEnd())
            fail(QStringLiteral("a value is missing"));
        if (m_text[m_pos] == u'\'')
            return quoted();
        const qsizetype start = m_pos;
        while (!atEnd() && !m_text[m_pos].isSpace())
            ++m_pos;
        bool ok = false;
        const double number = m_text.mid(start, m_pos - start).toDouble(&ok);
        if (!ok) {
            m_pos = start;
            fail(QStringLiteral("a quoted text or a number is expected"));
        }
        return number;
    }

    void end()
    {
        skipSpace();
        if (!atEnd())
            fail(QStringLiteral("unexpected text after the value"));
    }

private:
    QVariant quoted()
    {
        const qsizetype open = m_pos++;
        QString value;
        while (!atEnd()) {
            const QChar c = m_text[m_pos++];
            if (c != u'\'') {
                value += c;
                continue;
            }
            if (!atEnd() && m_text[m_pos] == u'\'') {
                value += c;
                ++m_pos;
                continue;
            }
            return value;
        }
        m_pos = open;
        fail(QStringLiteral("the quoted value has no closing apostrophe"));
    }

    QString m_text;
    qsizetype m_pos = 0;
};

std::optional<double> asNumber(const QVariant& v)
{
    if (RowOrder::isNumber(v))
        return v.toDouble();
    bool ok = false;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

QString asText(const QVariant& v)
{
    if (v.typeId() == QMetaType::QDate)
        return v.toDate().toString(Qt::ISODate);
    return v.toString();
}
} // namespace

QString Criteria::quoted(const QString& value)
{
    QString v = value;
    v.replace(u'\'', QStringLiteral("''"));
    return u'\'' + v + u'\'';
}

Criteria Criteria::parse(const QString& text)
{
    Parser p(text);
    Criteria c;
    c.m_column = p.column();
    p.equals();
    c.m_literal = p.literal();
    p.end();
    return c;
}

bool Criteria::matches(const QVariant& value) const
{
    if (value.isNull())
        return false;
    if (m_literal.typeId() == QMetaType::QString && !RowOrder::isNumber(value))
        return TextOrder::sameText(asText(value), m_literal.toString());
    const auto left = asNumber(value);
    const auto right = asNumber(m_literal);
    return left && right && *left == *right;
}
