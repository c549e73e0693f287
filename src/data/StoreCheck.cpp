#include "StoreCheck.h"

#include "Connection.h"
#include "DataError.h"
#include "StoreProblem.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlQuery>
#include <QStandardPaths>

#include <sys/stat.h>

namespace StoreCheck {

const QList<std::pair<QString, QStringList>>& requiredColumns()
{
    static const QList<std::pair<QString, QStringList>> tables = {
        {QStringLiteral("Cartstock"), {"ID", "Item", "Category", "Aisle"}},
        {QStringLiteral("Categories"), {"Categories", "ID"}},
        {QStringLiteral("Selected"), {"Item", "Category", "Aisle", "Quantity", "Date", "ID"}},
        {QStringLiteral("Settings"), {"FontName", "FontSize", "FontIt", "FontBo", "BackColor", "ForeColor"}},
        {QStringLiteral("Settings2"), {"FontName", "FontSize", "FontIt", "FontBo", "BackColor", "ForeColor"}},
    };
    return tables;
}

namespace {
QString listed(const QStringList& items)
{
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") + items.last();
}

// What the file lacks, in words: "the table Selected and the column Quantity of Selected".
QString missingParts(Connection& connection)
{
    QStringList tables, columns;
    for (const auto& [table, wanted] : requiredColumns()) {
        QSqlQuery info = connection.run(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
        QStringList present;
        while (info.next())
            present << info.value(1).toString();
        if (present.isEmpty()) {
            tables << table;
            continue;
        }
        for (const QString& column : wanted) {
            if (!present.contains(column, Qt::CaseInsensitive))
                columns << QStringLiteral("%1 in %2").arg(column, table);
        }
    }
    QStringList parts;
    if (!tables.isEmpty())
        parts << (tables.size() == 1 ? QStringLiteral("the table ") : QStringLiteral("the tables ")) + listed(tables);
    if (!columns.isEmpty())
        parts << (columns.size() == 1 ? QStringLiteral("the column ") : QStringLiteral("the columns ")) +
                     listed(columns);
    return listed(parts);
}

// A whole-file check reads every page, so its cost grows with the file. A file found sound
// and not changed since by any program need not be read again: its state (size, times,
// inode and the header, whose change counter every commit moves) is kept after each good
// check, a few files' worth, in the user's cache folder. Any write, even one that puts the
// modification time back, changes the inode's change time.
constexpr int KeptStates = 8;

QString statesFile()
{
    // Where no home folder is known, Qt names one at the file system's root: no cache then.
    if (!QDir::isAbsolutePath(qEnvironmentVariable("XDG_CACHE_HOME")) &&
        !QDir::isAbsolutePath(qEnvironmentVariable("HOME")))
        return {};
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/cartlist/sound-files");
}

// One line: the file's name and its state, both hashed; empty when the state cannot be read.
QByteArray stateLine(const QString& path, Connection& connection)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    struct stat st {};
    const QByteArray header = connection.header(100);
    if (::stat(QFile::encodeName(absolute).constData(), &st) != 0 || header.isEmpty())
        return {};
    QCryptographicHash state(QCryptographicHash::Sha256);
    for (const long long part :
         {(long long)st.st_dev, (long long)st.st_ino, (long long)st.st_size, (long long)st.st_mtim.tv_sec,
          (long long)st.st_mtim.tv_nsec, (long long)st.st_ctim.tv_sec, (long long)st.st_ctim.tv_nsec})
        state.addData(QByteArrayView(reinterpret_cast<const char*>(&part), sizeof part));
    state.addData(header);
    return QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex() + ' ' +
           state.result().toHex();
}

QList<QByteArray> keptStates()
{
    QFile file(statesFile());
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

bool foundSoundBefore(const QByteArray& line) { return !line.isEmpty() && keptStates().contains(line); }

// Best effort: a cache folder that cannot be written only means the next start checks again.
void keepSound(const QByteArray& line)
{
    if (line.isEmpty() || statesFile().isEmpty())
        return;
    const QByteArray name = line.left(line.indexOf(' ') + 1);
    QList<QByteArray> lines{line};
    for (const QByteArray& kept : keptStates()) {
        if (!kept.isEmpty() && !kept.startsWith(name) && lines.size() < KeptStates)
            lines << kept;
    }
    QDir().mkpath(QFileInfo(statesFile()).path());
    QSaveFile file(statesFile());
    if (file.open(QIODevice::WriteOnly)) {
        file.write(lines.join('\n'));
        file.commit();
    }
}
} // namespace

void requireUsable(const QString& path)
{
    const QFileInfo file(path);
    if (file.exists() && file.isFile() && file.size() == 0)
        throw StoreError(StoreProblem(StoreProblem::Kind::Empty, path));

    Connection connection(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0"), path);
    connection.setBusyTimeout(LockWait);
    connection.open();
    try {
        // Damage anywhere in the file, not only in the part read so far.
        const QByteArray state = stateLine(path, connection);
        const bool known = foundSoundBefore(state);
        if (!known) {
            QSqlQuery check = connection.run(QStringLiteral("PRAGMA quick_check(1)"));
            if (check.next() && check.value(0).toString() != QStringLiteral("ok"))
                throw StoreError(StoreProblem(StoreProblem::Kind::Damaged, path, check.value(0).toString()));
        }
        const QString missing = missingParts(connection);
        if (!missing.isEmpty())
            throw StoreError(StoreProblem(StoreProblem::Kind::NotCartlist, path, missing));
        if (!known)
            keepSound(state);
    } catch (const StoreError&) {
        throw;
    } catch (const DataError& e) {
        throw StoreError(StoreProblem(StoreProblem::Kind::Other, path, e.description()));
    }
}

void explainMissingPart(const QString& path, const QString& engineText)
{
    if (engineText.startsWith(QStringLiteral("no such table:")) ||
        engineText.startsWith(QStringLiteral("no such column:")))
        requireUsable(path);
}

} // namespace StoreCheck
