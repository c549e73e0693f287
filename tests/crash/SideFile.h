#pragma once

#include <QByteArray>
#include <QString>

// A file appended to durably: each append is on the disk (written and synced) before it
// returns, so what it says survives the writer being killed at any moment after.
class SideFile {
public:
    // Starts the file afresh.
    explicit SideFile(const QString& path);
    ~SideFile();
    SideFile(const SideFile&) = delete;
    SideFile& operator=(const SideFile&) = delete;

    void append(const QByteArray& bytes);

private:
    QString m_path;
    int m_fd = -1;
};
