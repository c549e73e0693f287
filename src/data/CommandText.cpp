#include "CommandText.h"

#include "DataError.h"

#include <QRegularExpression>

#include <algorithm>

CommandText::CommandText(const QString& text, const QStringList& parameters)
{
    static const QRegularExpression shape(
        QStringLiteral("^\\s*SHAPE\\s*\\{(.*)\\}\\s*AS\\s+(\\w+)\\s+COMPUTE\\s+(\\w+)\\s+BY\\s+'([^']+)'\\s*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    if (!text.trimmed().startsWith(QStringLiteral("SHAPE"), Qt::CaseInsensitive)) {
        bindParameters(text, parameters);
        return;
    }
    const auto m = shape.match(text);
    if (!m.hasMatch() || m.captured(2).compare(m.captured(3), Qt::CaseInsensitive) != 0)
        throw DataError(QStringLiteral("The grouped command text \"%1\" cannot be read.").arg(text));
    m_childName = m.captured(2);
    m_groupColumn = m.captured(4);
    bindParameters(m.captured(1), parameters);
}

void CommandText::bindParameters(const QString& text, const QStringList& parameters)
{
    QString out;
    qsizetype i = 0;
    const auto copyQuoted = [&](QChar close) {
        out += text[i++];
        while (i < text.size()) {
            const QChar c = text[i++];
            out += c;
            if (c == close) {
                if (close != u']' && i < text.size() && text[i] == close) {
                    out += text[i++];
                    continue;
                }
                return;
            }
        }
    };
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == u'\'' || c == u'"' || c == u'`') {
            copyQuoted(c);
        } else if (c == u'[') {
            copyQuoted(u']');
        } else if (c.isLetter() || c == u'_') {
            const qsizetype start = i;
            while (i < text.size() && (text[i].isLetterOrNumber() || text[i] == u'_'))
                ++i;
            const QString word = text.mid(start, i - start);
            const bool qualified = out.trimmed().endsWith(u'.');
            const auto p = std::find_if(parameters.begin(), parameters.end(), [&](const QString& name) {
                return name.compare(word, Qt::CaseInsensitive) == 0;
            });
            if (p != parameters.end() && !qualified) {
                out += u'?';
                m_bindOrder << *p;
            } else {
                out += word;
            }
        } else {
            out += c;
            ++i;
        }
    }
    m_sql = out;
}
