#include "StoredDate.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>

QVariant StoredDate::fromStored(const QVariant& value)
{
    if (value.isNull())
        return {};
    const QDate date = QDate::fromString(value.toString(), Qt::ISODate);
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
    for (const QDate& date : {QDate::fromString(text, Qt::ISODate), locale.toDate(text, QLocale::ShortFormat),
                              locale.toDate(text, QLocale::LongFormat)}) {
        if (date.isValid())
            return date;
    }
    return {};
}
