#include "StoredDate.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

namespace {
// A stored or typed date is exactly YYYY-MM-DD (Qt's ISO reading would take trailing text
// too). Read digit by digit: a list of a year's entries is read at every start.
QDate exactIso(const QString& text)
{
    if (text.size() != 10 || text[4] != u'-' || text[7] != u'-')
        return {};
    const auto number = [&](int from, int length) {
        int n = 0;
        for (int i = from; i < from + length; ++i) {
            const char16_t c = text[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            n = n * 10 + (c - u'0');
        }
        return n;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    if (year < 0 || month < 0 || day < 0)
        return {};
    return QDate(year, month, day);
}
// The locale's short form, as the list shows dates. Where it writes the year in two digits
// ("12/31/26"), the engine reads them as 19xx; a shopping list's dates are this century's.
QDate shortForm(const QLocale& locale, const QString& text)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    const QDate date = locale.toDate(text, format);
    return date.isValid() && !format.contains(QStringLiteral("yyyy")) ? date.addYears(100) : date;
}
} // namespace

QVariant StoredDate::fromStored(const QVariant& value)
{
    if (value.isNull())
        return {};
    const QDate date = exactIso(value.toString());
    return date.isValid() ? QVariant(date) : value;
}

QVariant StoredDate::toStored(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(Qt::ISODate);
    return value;
}

QVariant StoredDate::fromInput(const QVariant& value)
{
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().isValid() ? value : QVariant();
    if (value.typeId() == QMetaType::QDateTime)
        return value.toDateTime().date();
    const QString text = value.toString().trimmed();
    if (text.isEmpty())
        return {};
    const QLocale locale;
    for (const QDate& date : {exactIso(text), shortForm(locale, text), locale.toDate(text, QLocale::LongFormat)}) {
        if (date.isValid())
            return date;
    }
    return {};
}
