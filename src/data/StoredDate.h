#pragma once

#include <QVariant>

// Calendar dates are stored as ISO text "YYYY-MM-DD" and handled in memory as QDate.
class StoredDate {
public:
    // A stored value as the program sees it: a QDate, null, or the raw value when the file
    // holds something that is not a date (kept, so nothing is lost).
    static QVariant fromStored(const QVariant& value);
    // What goes into the file for a value from the program.
    static QVariant toStored(const QVariant& value);
    // A value typed or chosen by the user: a QDate, null for empty input, or an invalid
    // QVariant when the input is not a date.
    static QVariant fromInput(const QVariant& value);
};
