#include "DatabaseMaker.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>

#include <atomic>
#include <stdexcept>

namespace {
[[noreturn]] void fail(const QString& path, const QString& why)
{
    throw std::runtime_error(QStringLiteral("Cannot make the database \"%1\": %2").arg(path, why).toStdString());
}

QString readResource(const QString& name)
{
    QFile f(name);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error(("missing resource " + name).toStdString());
    return QString::fromUtf8(f.readAll());
}

QString runScript(const QString& file, const QString& script)
{
    static std::atomic<int> counter{0};
    const QString name = QStringLiteral("cartlist-maker-%1").arg(++counter);
    QString failure;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(file);
        if (!db.open()) {
            failure = db.lastError().text();
        } else {
            for (const QString& statement : DatabaseMaker::statements(script)) {
                QSqlQuery q(db);
                if (!q.exec(statement)) {
                    failure = q.lastError().text() + QStringLiteral(" in: ") + statement;
                    break;
                }
            }
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return failure;
}
} // namespace

QStringList DatabaseMaker::statements(const QString& script)
{
    QStringList out;
    QString current;
    bool inQuote = false;
    for (qsizetype i = 0; i < script.size(); ++i) {
        const QChar c = script[i];
        if (!inQuote && c == u'-' && i + 1 < script.size() && script[i + 1] == u'-') {
            while (i < script.size() && script[i] != u'\n')
                ++i;
            current += u'\n';
            continue;
        }
        if (c == u'\'')
            inQuote = !inQuote;
        if (!inQuote && c == u';') {
            if (!current.trimmed().isEmpty())
                out << current.trimmed();
            current.clear();
            continue;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

void DatabaseMaker::create(const QString& path, Content content)
{
    if (QFileInfo::exists(path))
        fail(path, QStringLiteral("a file of that name is already there, and it is left as it is"));

    // Build beside the target and move into place, so a failure leaves no half-made file.
    // A name no longer than the file's: a path the engine can open is the most it can make.
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/.XXXXXX"));
    if (!temp.open())
        fail(path, temp.errorString());
    temp.close();

    QString script = readResource(QStringLiteral(":/sql/src/data/schema.sql"));
    if (content == Content::Sample)
        script += u'\n' + readResource(QStringLiteral(":/sql/resources/sample_data.sql"));
    if (const QString failure = runScript(temp.fileName(), script); !failure.isEmpty())
        fail(path, failure);
    if (!QFile::rename(temp.fileName(), path))
        fail(path, QStringLiteral("it could not be moved into place"));
    temp.setAutoRemove(false);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ReadOther);
}
