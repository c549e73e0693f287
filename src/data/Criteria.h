#pragma once

#include "TextOrder.h"

#include <QString>
#include <QVariant>

// A filter or find criteria of the form  Column = 'text'  or  Column = number.
// Parsed here and evaluated on rows in memory, never pasted into SQL. Inside quotes a
// doubled apostrophe stands for one, so "Category = 'Kid''s'" names the category Kid's.
class Criteria {
public:
    // A value as a criteria names it: in apostrophes, one inside doubled.
    static QString quoted(const QString& value);

    // Throws DataError naming the criteria and what is wrong with it.
    static Criteria parse(const QString& text);

    QString column() const { return m_column; }
    QVariant literal() const { return m_literal; }

    // Text matches the same text (TextOrder::sameText: case ignored, nothing else); a
    // number compares with a number or with text that reads as one; a null value matches
    // nothing.
    bool matches(const QVariant& value) const;

private:
    QString m_column;
    QVariant m_literal;
};
