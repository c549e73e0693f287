#pragma once

#include <QString>

// The application-wide help file, as the connection set-up records it.
class ApplicationHelp {
public:
    static QString helpFile();
    static void setHelpFile(const QString& path);
};
