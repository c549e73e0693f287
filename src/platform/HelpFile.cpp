#include "HelpFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {
// People edit the file in whatever editor they have: a file that is not valid UTF-8 was
// most likely saved in the old single-byte Western encoding.
QString decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QString joinText(QStringList lines)
{
    while (!lines.isEmpty() && lines.first().isEmpty())
        lines.removeFirst();
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.join(u'\n');
}

QString trimmedRight(const QString& line)
{
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1).isSpace())
        --end;
    return line.left(end);
}
} // namespace

HelpFile HelpFile::read(const QString& path)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        HelpFile unreadable;
        unreadable.m_path = path;
        unreadable.m_error = QStringLiteral("The help file %1 could not be opened: %2.").arg(path, file.errorString());
        return unreadable;
    }
    return parse(decode(bytes), path);
}

HelpFile HelpFile::parse(const QString& content, const QString& path)
{
    static const QRegularExpression header(QStringLiteral("^==\\s*(\\d+)(?:\\s+(.*))?$"));

    HelpFile help;
    help.m_path = path;
    // Where the lines being read go: nowhere before the first topic and after a header
    // that was left out (so its text cannot end up in the topic before it).
    enum class Into { Preamble, Topic, Nowhere } into = Into::Preamble;
    QStringList lines;
    QList<int> firstLines;
    const auto finishTopic = [&] {
        if (into == Into::Topic)
            help.m_topics.last().text = joinText(lines);
        lines.clear();
    };

    const QStringList all = content.split(u'\n');
    for (qsizetype i = 0; i < all.size(); ++i) {
        const int lineNumber = int(i) + 1;
        const QString line = trimmedRight(all.at(i));
        if (line.startsWith(QStringLiteral("=="))) {
            finishTopic();
            bool isNumber = false;
            const QRegularExpressionMatch match = header.match(line);
            const int number = match.hasMatch() ? match.captured(1).toInt(&isNumber) : 0;
            const qsizetype same = isNumber ? help.indexOf(number) : -1;
            if (!isNumber) {
                help.m_problems << QStringLiteral("Line %1: \"%2\" does not start a topic: a whole "
                                                  "number must follow \"==\". Its text is left out.")
                                       .arg(lineNumber)
                                       .arg(line);
                into = Into::Nowhere;
            } else if (same >= 0) {
                help.m_problems << QStringLiteral("Line %1: topic %2 is already on line %3. This "
                                                  "one is left out.")
                                       .arg(lineNumber)
                                       .arg(number)
                                       .arg(firstLines.at(same));
                into = Into::Nowhere;
            } else {
                const QString title = match.captured(2).trimmed();
                help.m_topics << Topic{number, title.isEmpty() ? QStringLiteral("Topic %1").arg(number) : title, {}};
                firstLines << lineNumber;
                into = Into::Topic;
            }
        } else if (into == Into::Topic) {
            lines << line;
        } else if (into == Into::Preamble && !line.isEmpty() && !line.startsWith(u'#')) {
            help.m_problems << QStringLiteral("Line %1: text before the first topic is left out, "
                                              "up to the next \"==\" line.")
                                   .arg(lineNumber);
            into = Into::Nowhere;
        }
    }
    finishTopic();
    return help;
}

HelpFile::Lookup HelpFile::lookUp(int contextNumber) const
{
    if (!isReadable())
        return {std::nullopt, m_error};
    const qsizetype at = indexOf(contextNumber);
    if (at >= 0)
        return {m_topics.at(at), {}};
    return {std::nullopt, QStringLiteral("Help topic %1 is not in %2.").arg(contextNumber).arg(m_path)};
}

qsizetype HelpFile::indexOf(int contextNumber) const
{
    for (qsizetype i = 0; i < m_topics.size(); ++i) {
        if (m_topics.at(i).contextNumber == contextNumber)
            return i;
    }
    return -1;
}
