#pragma once

class QSqlDriver;

// The data layer calls the SQLite library it was built with on the handles of Qt's SQLite
// driver: it steps the driver's statements, sets its lock wait and reads its file's header.
// That is sound only while the driver uses that very library; a Qt built with a SQLite of its
// own would have two engines work on one handle.
namespace SqliteLibrary {
// Throws DataError, naming both libraries, when the driver's engine is not the program's.
void requireSameAsDriver(const QSqlDriver& driver);
} // namespace SqliteLibrary
