#pragma once

#include <QString>

// Creates a new database file from the schema, optionally with the sample catalogue.
// It never replaces a file that is already there.
class DatabaseMaker {
public:
    enum class Content { Empty, Sample };
    // Throws std::runtime_error naming the file and the reason.
    static void create(const QString& path, Content content);
    // The SQL statements of a script, split at the semicolons that end them.
    static QStringList statements(const QString& script);
};
