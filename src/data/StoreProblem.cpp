#include "StoreProblem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// SQLite's primary result codes, as the driver reports them.
enum EngineCode {
    Perm = 3,
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    Corrupt = 11,
    CantOpen = 14,
    Auth = 23,
    NotADb = 26,
};

QString indented(const QString& path) { return QStringLiteral("    ") + QDir::toNativeSeparators(path); }

QString makerCommand(const QString& path)
{
    const QString maker = QFileInfo(path).absolutePath() + QStringLiteral("/cartlist-makedb");
    return QStringLiteral("    ") + StoreProblem::shellQuoted(maker) + u' ' + StoreProblem::shellQuoted(path);
}

int pathBytes(const QString& path) { return int(QFile::encodeName(path).size()); }

bool writable(const QString& path) { return ::access(QFile::encodeName(path).constData(), W_OK) == 0; }

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// A change cut off (a crash, a full disk) leaves its journal beside the file; the engine must
// undo it before anyone reads the file, and undoing it writes the file and the folder.
bool interruptedChangeStuck(const QString& path)
{
    if (writable(path) && writable(folderOf(path)))
        return false;
    // A journal whose change was finished or undone starts otherwise (zeros, or nothing).
    QFile journal(path + QStringLiteral("-journal"));
    static const QByteArray live("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8);
    return journal.open(QIODevice::ReadOnly) && journal.read(8) == live;
}

// Who may change the permissions of a file or folder: its owner, or whoever looks after the
// computer. The name of the owner when that is another user.
QString otherOwner(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || st.st_uid == ::geteuid())
        return {};
    if (const passwd* pw = ::getpwuid(st.st_uid))
        return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(st.st_uid);
}

// How to give yourself a permission on files or folders: chmod where they are yours;
// otherwise only their owner (or whoever looks after this computer) can.
QString permissionAdvice(const QStringList& paths, const QString& mode, const QString& what)
{
    QStringList quoted;
    for (const QString& path : paths) {
        if (const QString owner = otherOwner(path); !owner.isEmpty())
            return QStringLiteral("\"%1\" belongs to the user %2, so only %2 (or whoever looks after this "
                                  "computer) can let you %3 it")
                .arg(QDir::toNativeSeparators(path), owner, what);
        quoted << StoreProblem::shellQuoted(path);
    }
    return QStringLiteral("Give yourself permission to %1 %2, for example with\n\n    chmod %3 %4\n\n"
                          "(or ask whoever looks after this computer)")
        .arg(what, paths.size() > 1 ? QStringLiteral("both") : QStringLiteral("it"), mode, quoted.join(u' '));
}

// The file, its folder, or both, where the user may not write.
QStringList readOnlyParts(const QString& path)
{
    QStringList parts;
    if (!writable(path))
        parts << path;
    if (!writable(folderOf(path)))
        parts << folderOf(path);
    return parts.isEmpty() ? QStringList{path} : parts;
}

QString named(const QStringList& parts, const QString& path)
{
    if (parts.size() > 1)
        return QStringLiteral("the file and the folder it is in are");
    return parts.first() == path ? QStringLiteral("the file is") : QStringLiteral("the folder it is in is");
}

// A name beside the file that nothing has yet, so setting the file aside keeps whatever was
// set aside before.
QString asideName(const QString& path)
{
    QString name = path + QStringLiteral(".old");
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = path + QStringLiteral(".old%1").arg(n);
    return name;
}

bool tooLong(const QString& path)
{
    if (pathBytes(path) > StoreProblem::EngineMaxPathBytes)
        return true;
    // The engine opens the file by its real path, symbolic links resolved.
    const QString real = QFileInfo(path).canonicalFilePath();
    return !real.isEmpty() && pathBytes(real) > StoreProblem::EngineMaxPathBytes;
}
} // namespace

StoreProblem::StoreProblem(Kind kind, const QString& path, const QString& detail)
    : m_kind(kind)
    , m_path(QDir::cleanPath(path))
    , m_detail(detail)
{
}

QString StoreProblem::shellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

StoreProblem StoreProblem::ofOpening(const QString& path, int code, const QString& engineText)
{
    if (tooLong(path))
        return {Kind::PathTooLong, path};
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &st) != 0) {
        if (errno == EACCES)
            return {Kind::Unreadable, path};
        if (errno == ENAMETOOLONG)
            return {Kind::PathTooLong, path};
        return {Kind::Missing, path};
    }
    if (S_ISDIR(st.st_mode))
        return {Kind::NotADatabase, path, QStringLiteral("it is a folder, not a file")};
    if (::access(name.constData(), R_OK) != 0 || code == Perm || code == Auth)
        return {Kind::Unreadable, path};
    if (interruptedChangeStuck(path))
        return {Kind::Interrupted, path};
    switch (code) {
    case Busy:
    case Locked:
        return {Kind::Locked, path};
    case NotADb:
        return {Kind::NotADatabase, path};
    case Corrupt:
        return {Kind::Damaged, path, engineText};
    default:
        return {Kind::Other, path,
                QStringLiteral("Cannot open the database file \"%1\": %2").arg(QDir::cleanPath(path), engineText)};
    }
}

StoreProblem StoreProblem::ofStatement(const QString& path, int code, const QString& engineText, bool writing)
{
    if (interruptedChangeStuck(path))
        return {Kind::Interrupted, path};
    switch (code) {
    case Busy:
    case Locked:
        return {Kind::Locked, path};
    case Corrupt:
        return {Kind::Damaged, path, engineText};
    case NotADb:
        return {Kind::NotADatabase, path};
    case ReadOnly:
        return {Kind::ReadOnly, path};
    case CantOpen:
        // A write needs a journal beside the file: a folder that may not be written refuses it.
        if (writing && !writable(folderOf(path)))
            return {Kind::ReadOnly, path};
        return {Kind::Other, path, engineText};
    default:
        return {Kind::Other, path, engineText};
    }
}

namespace {
QString unusableReason(StoreProblem::Kind kind, const QString& detail)
{
    switch (kind) {
    case StoreProblem::Kind::Empty:
        return QStringLiteral("it is empty (0 bytes)");
    case StoreProblem::Kind::NotADatabase:
        return detail.isEmpty() ? QStringLiteral("it is not a database file") : detail;
    case StoreProblem::Kind::Damaged:
        return QStringLiteral("it is damaged (the database engine says: %1)").arg(detail);
    case StoreProblem::Kind::NotCartlist:
        return QStringLiteral("it is a database, but not one made for Cartlist: it lacks %1").arg(detail);
    default:
        return detail;
    }
}
} // namespace

bool StoreProblem::unusable() const
{
    return m_kind == Kind::Empty || m_kind == Kind::NotADatabase || m_kind == Kind::Damaged ||
           m_kind == Kind::NotCartlist;
}

QString StoreProblem::unusableText(const QString& opening) const
{
    return QStringLiteral("%1\n\n%2\n\nis not a usable Cartlist database: %3.\n\n"
                          "Cartlist has left the file as it is. To start afresh, set it aside and make a new "
                          "one. First rename it, or move it to another folder, for example with\n\n"
                          "    mv %4 %5\n\n"
                          "then make a new database with the sample catalogue:\n\n%6\n\n"
                          "Keep the file you set aside until you are sure you need nothing from it.")
        .arg(opening, indented(m_path), unusableReason(m_kind, m_detail), shellQuoted(m_path),
             shellQuoted(asideName(m_path)), makerCommand(m_path));
}

QString StoreProblem::startupText() const
{
    const QString file = indented(m_path);
    switch (m_kind) {
    case Kind::Missing:
        return QStringLiteral("Cartlist cannot start: its database file is not there.\n\n"
                              "Cartlist keeps its data in the file\n\n%1\n\n"
                              "and there is no file of that name. To start with the sample catalogue, run this "
                              "command:\n\n%2\n\n"
                              "(With --empty before the file name it makes a database without a catalogue.)")
            .arg(file, makerCommand(m_path));
    case Kind::PathTooLong:
        return QStringLiteral("Cartlist cannot start: the folder it is in has a path too long for its database "
                              "engine.\n\nThe path of its database file\n\n%1\n\n"
                              "is %2 bytes long, and the database engine (SQLite) opens a file only when its full "
                              "path is at most %3 bytes, so the folder Cartlist is in may have a path of at most %4 "
                              "bytes. Cartlist has left the file as it is. Move the Cartlist folder, with "
                              "Cartstock.mdb in it, to a folder with a shorter path, and start Cartlist from there.")
            .arg(file)
            .arg(pathBytes(m_path))
            .arg(EngineMaxPathBytes)
            .arg(EngineMaxPathBytes - pathBytes(QStringLiteral("/Cartstock.mdb")));
    case Kind::Unreadable:
        return QStringLiteral("Cartlist cannot start: you are not allowed to read its database file\n\n%1\n\n"
                              "The permissions of the file, or of a folder on its path, do not let you read it. "
                              "Cartlist has left the file as it is. %2, then start Cartlist again.")
            .arg(file, permissionAdvice({m_path}, QStringLiteral("u+rw"), QStringLiteral("read and write")));
    case Kind::Locked:
        return QStringLiteral("Cartlist cannot start: its database file is in use by another program.\n\n%1\n\n"
                              "Another program holds a lock on the file, so Cartlist cannot read it. Cartlist has "
                              "left the file as it is. Close the other program (or let it finish what it is "
                              "doing), then start Cartlist again.")
            .arg(file);
    case Kind::Empty:
    case Kind::NotADatabase:
    case Kind::Damaged:
    case Kind::NotCartlist:
        return unusableText(QStringLiteral("Cartlist cannot start: the file"));
    case Kind::Interrupted:
    case Kind::FolderName:
        return QStringLiteral("Cartlist cannot start.\n\n%1").arg(description());
    case Kind::ReadOnly:
    case Kind::Other:
        break;
    }
    return QStringLiteral("Cartlist cannot start: its database could not be read.\n\n%1\n\n"
                          "Cartlist keeps its data in the file\n\n%2")
        .arg(description(), file);
}

QString StoreProblem::description() const
{
    const QString path = QDir::toNativeSeparators(m_path);
    switch (m_kind) {
    case Kind::Missing:
        return QStringLiteral("Cannot open the database file \"%1\": there is no file of that name.").arg(path);
    case Kind::PathTooLong:
        return QStringLiteral("Cannot open the database file \"%1\": its path is %2 bytes long, and the database "
                              "engine opens a file only when its path is at most %3 bytes.")
            .arg(path)
            .arg(pathBytes(m_path))
            .arg(EngineMaxPathBytes);
    case Kind::Unreadable:
        return QStringLiteral("Cannot open the database file \"%1\": you are not allowed to read it.").arg(path);
    case Kind::Locked:
        return QStringLiteral("The database file \"%1\" is in use by another program, which holds a lock on it, so "
                              "Cartlist could not use it. Close the other program (or wait until it has finished), "
                              "then try again.")
            .arg(path);
    case Kind::Empty:
    case Kind::NotADatabase:
    case Kind::Damaged:
    case Kind::NotCartlist:
        // Emptied or replaced while the program runs: told as at start-up, with what to do.
        return unusableText(QStringLiteral("The file"));
    case Kind::ReadOnly: {
        // The file may be writable and its folder not: the engine writes its journal there.
        const QStringList parts = readOnlyParts(m_path);
        return QStringLiteral("Cartlist may not write to the database file \"%1\": %2 read-only for you, so the "
                              "change was not saved. %3; then try again.")
            .arg(path, named(parts, m_path), permissionAdvice(parts, QStringLiteral("u+w"), QStringLiteral("write")));
    }
    case Kind::Interrupted: {
        const QStringList parts = readOnlyParts(m_path);
        return QStringLiteral("The database file \"%1\" holds a change that was interrupted (a crash or a full disk "
                              "left its journal, \"%2\", beside it). The change must be undone before the file can "
                              "be used, and undoing it writes where Cartlist may not: %3 read-only for you. Keep "
                              "both files as they are, and do not delete the journal: it is what undoes the change. "
                              "%4; then start Cartlist again, and it will undo the change.")
            .arg(path, QFileInfo(m_path).fileName() + QStringLiteral("-journal"), named(parts, m_path),
                 permissionAdvice(parts, QStringLiteral("u+w"), QStringLiteral("write")));
    }
    case Kind::FolderName:
        return QStringLiteral("The name of the folder Cartlist is in,\n\n%1\n\nis not valid UTF-8 text, so Cartlist "
                              "cannot name its database file there. Rename the folder to a name of letters, digits and "
                              "punctuation, then start Cartlist from there.")
            .arg(indented(m_detail));
    case Kind::Other:
        break;
    }
    return m_detail;
}
