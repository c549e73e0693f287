#include "StoredDate.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

namespace {
// Qt's ISO reading accepts trailing text after the date; a stored or typed date must be
// exactly YYYY-MM-DD.
QDate exactIso(const QString& text)
{
    if (text.size() != 10)
        return {};
    return QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
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
    for (const QDate& date :
         {exactIso(text), locale.toDate(text, QLocale::ShortFormat), locale.toDate(text, QLocale::LongFormat)}) {
        if (date.isValid())
            return date;
    }
    return {};
}
