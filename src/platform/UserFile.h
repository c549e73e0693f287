#pragma once

#include <QString>

#include <functional>

class QIODevice;

// Every file the program writes for the user (PDF, print to file, text) is written here: into a
// temporary file beside it, each write and the final flush checked, and renamed into place only
// when whole. A failure leaves the file that was there as it was, and no part of the new one.
class UserFile {
public:
    // `fill` writes the content and returns why it could not, else nothing. The reason the file
    // was not written, else empty.
    static QString write(const QString& fileName, const std::function<QString(QIODevice&)>& fill);
    static QString write(const QString& fileName, const QByteArray& content);
};
