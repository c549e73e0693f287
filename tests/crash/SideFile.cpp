#include "SideFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace {
[[noreturn]] void fail(const QString& path, const char* what)
{
    throw std::runtime_error(QStringLiteral("%1: %2: %3")
                                 .arg(path, QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)))
                                 .toStdString());
}
} // namespace

SideFile::SideFile(const QString& path)
    : m_path(path)
    , m_fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644))
{
    if (m_fd < 0)
        fail(path, "cannot open");
}

SideFile::~SideFile() { ::close(m_fd); }

void SideFile::append(const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            fail(m_path, "cannot write");
        done += n;
    }
    if (::fsync(m_fd) != 0)
        fail(m_path, "cannot sync");
}
