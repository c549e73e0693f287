#pragma once

#include <QDate>

// Today's date; tests fix it so that date-dependent results are repeatable.
class Today {
public:
    static QDate date();
    static void setForTests(const QDate& date);
    static void reset();
};
