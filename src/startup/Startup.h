#pragma once

#include <QVariant>

class DataError;

// The routines that belong to no window.
namespace Startup {
// The highest catalogue identifier when the program started (null for an empty
// catalogue); items above it were added during this run.
extern QVariant HighestID;

// Start-up. Returns false when the database cannot be used; the user has been told which
// file, what is wrong with it and what to do. A wait cursor shows while the file is read.
bool Main();

// Lists in the main window's lstRecent every catalogue item added during this run.
void ListNewItems();

// The message shown when start-up cannot use the database: worded by StoreProblem for a
// known cause, else the failure's description with the file's name.
QString StartupFailureText(const DataError& error);
QString StartupFailureText(const QString& description);
} // namespace Startup
