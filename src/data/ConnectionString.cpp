#include "ConnectionString.h"

#include <QDir>
#include <QFileInfo>

namespace {
bool isKnownKey(QStringView key)
{
    static const QStringList keys = {
        QStringLiteral("provider"),
        QStringLiteral("data provider"),
        QStringLiteral("data source"),
        QStringLiteral("persist security info"),
        QStringLiteral("user id"),
        QStringLiteral("password"),
        QStringLiteral("mode"),
        QStringLiteral("extended properties"),
        QStringLiteral("locale identifier"),
    };
    const QString k = key.trimmed().toString().toLower();
    return keys.contains(k) || k.startsWith(QStringLiteral("jet oledb:"));
}

// True when `rest` (the text after a ';') is empty or starts another known "key=".
bool startsNextPair(QStringView rest)
{
    if (rest.trimmed().isEmpty())
        return true;
    const qsizetype eq = rest.indexOf(u'=');
    return eq > 0 && isKnownKey(rest.left(eq));
}
} // namespace

ConnectionString::ConnectionString(const QString& text)
{
    const QStringView s(text);
    qsizetype pos = 0;
    while (pos < s.size()) {
        while (pos < s.size() && (s[pos] == u';' || s[pos].isSpace()))
            ++pos;
        if (pos >= s.size())
            break;
        const qsizetype eq = s.indexOf(u'=', pos);
        if (eq < 0)
            break;
        const QString key = s.mid(pos, eq - pos).trimmed().toString();
        qsizetype start = eq + 1;
        while (start < s.size() && s[start] == u' ')
            ++start;

        QString value;
        if (start < s.size() && (s[start] == u'"' || s[start] == u'\'')) {
            // Quoted value; a doubled quote stands for one.
            const QChar quote = s[start];
            qsizetype i = start + 1;
            while (i < s.size()) {
                if (s[i] == quote) {
                    if (i + 1 < s.size() && s[i + 1] == quote) {
                        value += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += s[i++];
            }
            pos = s.indexOf(u';', i);
            pos = pos < 0 ? s.size() : pos + 1;
        } else {
            qsizetype end = s.indexOf(u';', start);
            while (end >= 0 && !startsNextPair(s.mid(end + 1)))
                end = s.indexOf(u';', end + 1);
            if (end < 0)
                end = s.size();
            value = s.mid(start, end - start).toString();
            pos = end + 1;
        }
        m_pairs.append({key, value});
    }
}

QString ConnectionString::value(const QString& key) const
{
    for (const auto& [k, v] : m_pairs) {
        if (k.compare(key, Qt::CaseInsensitive) == 0)
            return v.isNull() ? QStringLiteral("") : v;
    }
    return {};
}

QString ConnectionString::filePath() const
{
    const QString source = value(QStringLiteral("Data Source"));
    if (source.isEmpty())
        return {};
    // cleanPath folds the doubled separator that a root application folder produces.
    return QDir::cleanPath(QFileInfo(source).absoluteFilePath());
}

bool ConnectionString::providerSupported() const
{
    const auto is = [](const QString& v, const char* name) {
        return v.trimmed().compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
    };
    const QString provider = value(QStringLiteral("Provider"));
    if (is(provider, "Microsoft.Jet.OLEDB.4.0"))
        return true;
    return is(provider, "MSDataShape") && is(value(QStringLiteral("Data Provider")), "Microsoft.Jet.OLEDB.4.0");
}
