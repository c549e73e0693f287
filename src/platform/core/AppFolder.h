#pragma once

#include <QString>

// The folder of the executable, where the database and the help file live.
// Tests point it at a temporary folder in code.
class AppFolder {
public:
    static QString path();
    // The executable's folder as best it reads, when its name is not text a path can be made
    // of (bytes that are not UTF-8): path() cannot name it then. Empty when all is well.
    static QString unusableName();
    static void setPath(const QString& folder);
    static void reset();
};
