#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

// The check made before the program starts on its database file: the file opens, is not
// locked, is a whole database, and holds the tables and columns Cartlist keeps its data
// in. It only reads; the file is left exactly as it was.
namespace StoreCheck {
// Each table Cartlist uses with the columns it reads and writes, as schema.sql makes them.
const QList<std::pair<QString, QStringList>>& requiredColumns();

// How long the check waits for another program's lock: short, so a locked file is
// reported at once rather than after the usual wait.
constexpr int LockWait = 750;

// Throws StoreError saying what is wrong.
void requireUsable(const QString& path);
} // namespace StoreCheck
