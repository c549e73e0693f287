#pragma once

#include <QString>

// Orders text as people read it: without regard to case, and with runs of digits compared
// as numbers, so aisle "2" comes before aisle "10".
class NaturalOrder {
public:
    static int compare(const QString& a, const QString& b);
    static bool less(const QString& a, const QString& b) { return compare(a, b) < 0; }
};
