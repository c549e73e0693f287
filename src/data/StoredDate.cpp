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
// Two-digit years are this century's: a shopping list is for days near today.
int fullYear(int year, qsizetype digits) { return digits <= 2 ? 2000 + year : year; }

// Day, month and year in numbers, in the order the locale's short form writes them, as people
// write dates by hand: "1/2/27", "01.02.2027". Leading zeros may be there or not, the year has
// two or four digits. An ambiguous date is read in the locale's own order, never guessed.
QDate handWritten(const QLocale& locale, const QString& text)
{
    const QString format = locale.dateFormat(QLocale::ShortFormat);
    QList<QChar> order;
    for (const QChar c : format) {
        const QChar field = c == u'd' ? u'd' : c == u'M' ? u'M' : c == u'y' ? u'y' : QChar();
        if (!field.isNull() && !order.contains(field))
            order << field;
    }
    if (order.size() != 3)
        return {};
    // The numbers and what stands between them: one mark, with spaces around it or not (a
    // trailing mark, as in "1.2.27.", is part of some locales' form).
    QList<QStringView> numbers;
    const QStringView all(text);
    qsizetype i = 0;
    while (i < all.size()) {
        const qsizetype start = i;
        while (i < all.size() && all[i].isDigit() && all[i].unicode() < 128)
            ++i;
        if (i == start)
            return {};
        numbers << all.sliced(start, i - start);
        while (i < all.size() && all[i].isSpace())
            ++i;
        if (i < all.size() && (all[i] == u'/' || all[i] == u'.' || all[i] == u'-'))
            ++i;
        while (i < all.size() && all[i].isSpace())
            ++i;
        if (numbers.size() == 3)
            break;
    }
    if (numbers.size() != 3 || i != all.size())
        return {};
    int day = 0, month = 0, year = 0;
    for (int f = 0; f < 3; ++f) {
        const QStringView n = numbers.at(f);
        const int value = n.toInt();
        if (order.at(f) == u'y') {
            if (n.size() != 2 && n.size() != 4)
                return {};
            year = fullYear(value, n.size());
        } else if (n.size() > 2) {
            return {};
        } else {
            (order.at(f) == u'd' ? day : month) = value;
        }
    }
    return QDate(year, month, day);
}

// The locale's short form where it names the month ("31 Dec 2026").
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
    for (const QDate& date : {exactIso(text), handWritten(locale, text), shortForm(locale, text),
                              locale.toDate(text, QLocale::LongFormat)}) {
        if (date.isValid())
            return date;
    }
    return {};
}
