#include "AppFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <climits>
#include <unistd.h>

namespace {
QString& overridden()
{
    static QString folder;
    return folder;
}

// The executable's folder as the system names it; empty when it cannot be read.
QByteArray executableFolder()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || n == ssize_t(sizeof buffer))
        return {};
    QByteArray folder(buffer, n);
    folder.truncate(folder.lastIndexOf('/'));
    return folder;
}
} // namespace

QString AppFolder::path()
{
    if (!overridden().isEmpty())
        return overridden();
    // Work that overlaps the application's start asks before Qt can answer.
    if (!QCoreApplication::instance())
        return QFile::decodeName(executableFolder());
    return QCoreApplication::applicationDirPath();
}

QString AppFolder::unusableName()
{
    if (!overridden().isEmpty())
        return {};
    const QByteArray folder = executableFolder();
    if (folder.isEmpty() || QFile::encodeName(QFile::decodeName(folder)) == folder)
        return {};
    return QString::fromUtf8(folder);
}

void AppFolder::setPath(const QString& folder) { overridden() = folder; }

void AppFolder::reset() { overridden().clear(); }
