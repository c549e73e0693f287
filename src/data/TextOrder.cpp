#include "TextOrder.h"

#include "AsciiOrder.h"

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
        if (const std::optional<int> order = AsciiOrder::compare(a, b))
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
