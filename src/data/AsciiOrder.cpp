#include "AsciiOrder.h"

#include <algorithm>

namespace {
bool isLetter(char16_t c) { return (c | 0x20) >= u'a' && (c | 0x20) <= u'z'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
int sign(qsizetype d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }
} // namespace

std::optional<int> AsciiOrder::compare(QStringView a, QStringView b)
{
    // What the two share exactly decides nothing: look from where they part, or from the
    // start of the run of digits they part in. Names read in order share most of themselves.
    const qsizetype shorter = std::min(a.size(), b.size());
    qsizetype same = 0;
    while (same < shorter && a[same] == b[same]) {
        if (a[same].unicode() >= 0x80)
            return std::nullopt;
        ++same;
    }
    qsizetype run = same;
    while (run > 0 && isDigit(a[run - 1].unicode()))
        --run;
    if (same < shorter && isDigit(a[same].unicode()) && isDigit(b[same].unicode())) {
        // Runs of digits of one length order as their first differing digits do.
        qsizetype endA = same, endB = same;
        while (endA < a.size() && isDigit(a[endA].unicode()))
            ++endA;
        while (endB < b.size() && isDigit(b[endB].unicode()))
            ++endB;
        if (endA == endB && endA - run <= 30)
            return sign(int(a[same].unicode()) - int(b[same].unicode()));
    }
    qsizetype i = run, j = run;
    while (i < a.size() && j < b.size()) {
        const char16_t x = a[i].unicode(), y = b[j].unicode();
        if (x >= 0x80 || y >= 0x80)
            return std::nullopt;
        if (isDigit(x) && isDigit(y)) {
            qsizetype endA = i, endB = j;
            while (endA < a.size() && isDigit(a[endA].unicode()))
                ++endA;
            while (endB < b.size() && isDigit(b[endB].unicode()))
                ++endB;
            qsizetype startA = i, startB = j;
            while (startA < endA - 1 && a[startA] == u'0')
                ++startA;
            while (startB < endB - 1 && b[startB] == u'0')
                ++startB;
            if (endA - startA > 30 || endB - startB > 30)
                return std::nullopt;
            if (endA - startA != endB - startB)
                return sign((endA - startA) - (endB - startB));
            if (const int c = a.sliced(startA, endA - startA).compare(b.sliced(startB, endB - startB)); c != 0)
                return sign(c);
            if (endA - i != endB - j)
                return std::nullopt;
            i = endA;
            j = endB;
            continue;
        }
        if (isLetter(x) && isLetter(y)) {
            if ((x | 0x20) != (y | 0x20))
                return sign(int(x | 0x20) - int(y | 0x20));
        } else if ((isDigit(x) && isLetter(y)) || (isLetter(x) && isDigit(y))) {
            return isDigit(x) ? -1 : 1;
        } else if (x != y) {
            return std::nullopt;
        }
        ++i;
        ++j;
    }
    // One is the beginning of the other: the shorter first, where what follows counts.
    const QStringView rest = i < a.size() ? a.sliced(i) : b.sliced(j);
    if (rest.isEmpty() || !(isLetter(rest[0].unicode()) || isDigit(rest[0].unicode())))
        return std::nullopt;
    return i < a.size() ? 1 : -1;
}
