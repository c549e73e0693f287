#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The check made before the program starts on its database file: the file opens, is not
// locked, is a whole database, and holds the tables and columns Cartlist keeps its data
// in. It only reads; the file is left exactly as it was. A file found sound before and not
// changed since is not read whole again (SoundFiles).
namespace StoreCheck {
// Each table Cartlist uses with the columns it reads and writes, as schema.sql makes them.
const QList<std::pair<QString, QStringList>>& requiredColumns();

// How long the check waits for another program's lock: short, so a locked file is
// reported at once rather than after the usual wait.
constexpr int LockWait = 750;

// Throws StoreError saying what is wrong.
void requireUsable(const QString& path);
// After the engine said a statement names a table or column the file lacks (emptied, or replaced
// by another database, while the program runs): throws StoreError saying what is wrong, as start-up does.
void explainMissingPart(const QString& path, const QString& engineText);
} // namespace StoreCheck
