#pragma once

#include <QVariant>

// The routines that belong to no window.
namespace Module1 {
// The highest catalogue identifier when the program started (null for an empty
// catalogue); items above it were added during this run.
extern QVariant HighestID;

// Start-up. Returns false when the database could not be read; the user has been told
// which file and how to get a sample one.
bool Main();

// Lists in the main window's lstRecent every catalogue item added during this run.
void ListNewItems();

// The message shown when start-up cannot read the database.
QString StartupFailureText(const QString& description);
} // namespace Module1
