#pragma once

#include <QByteArray>
#include <QString>

class Connection;

// The files the start-up check found sound, kept so that one not changed since by any
// program is not read whole again: PRAGMA quick_check reads every page, and its cost grows
// with the file. Measured gain: 10 ms of an 81 ms start with 50,000 items (medians of 41
// paired starts, spread 5-7 ms); within the spread with 10,000 items and the sample
// (docs/speed.md). Each file's state (size, times, inode and the header, whose change
// counter every commit moves) is kept after a good check, a few files' worth, in the user's
// cache folder; any write, even one that puts the modification time back, changes the
// inode's change time.
class SoundFiles {
public:
    // The state of the file at `path`, open on `connection`.
    SoundFiles(const QString& path, Connection& connection);
    // The file is as it was when last found sound.
    bool foundBefore() const;
    // Best effort: a cache folder that cannot be written only means the next start checks again.
    void keep() const;

private:
    QByteArray m_line; // the file's name and its state, both hashed; empty when unreadable
};
