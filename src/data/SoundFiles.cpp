#include "SoundFiles.h"

#include "Connection.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <QStandardPaths>

#include <sys/stat.h>

namespace {
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

QList<QByteArray> keptStates()
{
    QFile file(statesFile());
    if (file.fileName().isEmpty() || !file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}
} // namespace

SoundFiles::SoundFiles(const QString& path, Connection& connection)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    struct stat st {};
    const QByteArray header = connection.header(100);
    if (::stat(QFile::encodeName(absolute).constData(), &st) != 0 || header.isEmpty())
        return;
    QCryptographicHash state(QCryptographicHash::Sha256);
    for (const long long part :
         {(long long)st.st_dev, (long long)st.st_ino, (long long)st.st_size, (long long)st.st_mtim.tv_sec,
          (long long)st.st_mtim.tv_nsec, (long long)st.st_ctim.tv_sec, (long long)st.st_ctim.tv_nsec})
        state.addData(QByteArrayView(reinterpret_cast<const char*>(&part), sizeof part));
    state.addData(header);
    m_line =
        QCryptographicHash::hash(absolute.toUtf8(), QCryptographicHash::Sha256).toHex() + ' ' + state.result().toHex();
}

bool SoundFiles::foundBefore() const { return !m_line.isEmpty() && keptStates().contains(m_line); }

void SoundFiles::keep() const
{
    if (m_line.isEmpty() || statesFile().isEmpty())
        return;
    const QByteArray name = m_line.left(m_line.indexOf(' ') + 1);
    QList<QByteArray> lines{m_line};
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
