#pragma once

#include <QString>

// The folder of the executable, where the database and the help file live.
// Tests point it at a temporary folder in code.
class AppFolder {
public:
    static QString path();
    static void setPath(const QString& folder);
    static void reset();
};
