#include "UserFile.h"

#include <QSaveFile>

QString UserFile::write(const QString& fileName, const std::function<QString(QIODevice&)>& fill)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QString reason = fill(file);
    // A content smaller than the file's buffer reaches the disk only at the flush: commit()
    // would not tell its failure, and the empty temporary file would replace the user's. A
    // failed write is the reason, before what it made the content's maker say.
    if (file.error() != QFileDevice::NoError || !file.flush() || !reason.isEmpty()) {
        const QString error = file.error() != QFileDevice::NoError ? file.errorString() : reason;
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString UserFile::write(const QString& fileName, const QByteArray& content)
{
    return write(fileName, [&content](QIODevice& file) {
        return file.write(content) == content.size() ? QString() : file.errorString();
    });
}
