#include "TextOrder.h"

#include <QDate>

#include <algorithm>
#include <memory>
#include <numeric>
#include <optional>

namespace {
// The locale whose collation the user asked for; the C locale has none of its own.
QLocale wantedLocale()
{
    const QLocale collation = QLocale().collation();
    if (collation.language() == QLocale::C || collation.language() == QLocale::AnyLanguage)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return collation;
}

bool isLetter(char16_t c) { return (c | 0x20) >= u'a' && (c | 0x20) <= u'z'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
int sign(qsizetype d) { return d < 0 ? -1 : (d > 0 ? 1 : 0); }

// The English order of two ASCII texts where it is plain: at their first difference, case
// aside, two letters in alphabetical order, two runs of digits by their numbers, or digits
// before a letter. Nothing where anything else decides (other characters, the same number
// written with other zeros, a difference of case only): the collator answers those.
std::optional<int> asciiOrder(QStringView a, QStringView b)
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
} // namespace

TextOrder::TextOrder(const QLocale& locale, int generation)
    : m_collator(locale)
    , m_generation(generation)
    , m_asciiShortcut(locale.language() == QLocale::English)
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    m_collator.setNumericMode(true);
    m_collator.setIgnorePunctuation(false);
}

int TextOrder::compare(QStringView a, QStringView b) const
{
    if (m_asciiShortcut) {
        if (const std::optional<int> order = asciiOrder(a, b))
            return *order;
    }
    return m_collator.compare(a, b);
}

QString TextOrder::sameKey(const QString& text) { return text.normalized(QString::NormalizationForm_C).toCaseFolded(); }

bool TextOrder::sameText(const QString& a, const QString& b)
{
    if (a.compare(b, Qt::CaseInsensitive) == 0)
        return true;
    // Only letters beyond ASCII can be written in more than one way (composed or not), so
    // two ASCII texts that differ in more than case differ: most of a filter's rows.
    const auto ascii = [](const QString& s) {
        return std::all_of(s.begin(), s.end(), [](QChar c) { return c.unicode() < 0x80; });
    };
    if (ascii(a) && ascii(b))
        return false;
    return sameKey(a) == sameKey(b);
}

const TextOrder& TextOrder::current()
{
    static std::unique_ptr<TextOrder> rule;
    static int generation = 0;
    const QLocale wanted = wantedLocale();
    if (!rule || rule->locale() != wanted)
        rule.reset(new TextOrder(wanted, ++generation));
    return *rule;
}

bool RowOrder::isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

int RowOrder::rankOf(const QVariant& value)
{
    if (value.isNull())
        return 0;
    if (isNumber(value))
        return 1;
    if (value.typeId() == QMetaType::QByteArray)
        return 3;
    return 2;
}

// Dates read as QDate order by their ISO text, which is their calendar order.
int RowOrder::compare(const QVariant& a, const QVariant& b, const TextOrder& rule)
{
    // Two texts, the usual case, compared where they stand rather than copied out.
    if (a.typeId() == QMetaType::QString && b.typeId() == QMetaType::QString && !a.isNull() && !b.isNull())
        return rule.compare(*static_cast<const QString*>(a.constData()), *static_cast<const QString*>(b.constData()));
    const int ra = rankOf(a), rb = rankOf(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    switch (ra) {
    case 1: {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (y < x ? 1 : 0);
    }
    case 2:
        return rule.compare(textOf(a), textOf(b));
    case 3:
        return a.toByteArray().compare(b.toByteArray());
    default:
        return 0;
    }
}

QString RowOrder::textOf(const QVariant& value)
{
    return value.typeId() == QMetaType::QDate ? value.toDate().toString(Qt::ISODate) : value.toString();
}

QList<int> RowOrder::permutationOf(int rowCount, const QList<Term>& terms, const QList<SortValue>& values,
                                   const QList<QCollatorSortKey>& keys)
{
    const qsizetype width = terms.size();
    const auto compare = [&](const SortValue& a, const SortValue& b) {
        if (a.rank != b.rank)
            return a.rank < b.rank ? -1 : 1;
        switch (a.rank) {
        case 1:
            return a.number < b.number ? -1 : (b.number < a.number ? 1 : 0);
        case 2:
            return keys.at(a.key).compare(keys.at(b.key));
        case 3:
            return a.raw->toByteArray().compare(b.raw->toByteArray());
        default:
            return 0;
        }
    };
    const auto rowLess = [&](int x, int y) {
        for (qsizetype t = 0; t < width; ++t) {
            int c = compare(values.at(x * width + t), values.at(y * width + t));
            if (terms.at(t).descending)
                c = -c;
            if (c != 0)
                return c < 0;
        }
        return false;
    };
    QList<int> order(rowCount);
    std::iota(order.begin(), order.end(), 0);
    if (std::is_sorted(order.begin(), order.end(), rowLess))
        return {};
    std::stable_sort(order.begin(), order.end(), rowLess);
    return order;
}
