#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The help file: plain text that anyone can edit. Comment lines starting with "#" come
// first; a line "== <number> <title>" starts a topic, and the topic's text runs to the next
// "==" line. A file that cannot be read, a topic that is not there and lines that make no
// sense are all values with a sentence the help viewer shows, never a failure of the program.
class HelpFile {
public:
    struct Topic {
        int contextNumber = 0;
        QString title;
        QString text;
    };

    // A topic to show, or the sentence that says why there is none.
    struct Lookup {
        std::optional<Topic> topic;
        QString failure;
    };

    static HelpFile read(const QString& path);
    static HelpFile parse(const QString& content, const QString& path);

    QString path() const { return m_path; }
    bool isReadable() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QList<Topic> topics() const { return m_topics; }
    Lookup lookUp(int contextNumber) const;

    // Lines that were left out, each with its line number, for whoever edits the file.
    QStringList problems() const { return m_problems; }

private:
    qsizetype indexOf(int contextNumber) const;

    QString m_path;
    QString m_error;
    QList<Topic> m_topics;
    QStringList m_problems;
};
