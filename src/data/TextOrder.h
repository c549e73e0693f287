#pragma once

#include <QCollator>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QVariant>

#include <optional>

// The two rules by which the program orders text and tells the same text, wherever it
// shows an ordering, a grouping or a match: the catalogue and every list read with ORDER BY,
// the category list, the editor's lists, the report groups and their items, filter, find and
// the combo's "list match".
//
// Ordering:
// - It follows the user's language (the collation locale of QLocale()): é beside e and
//   Ö beside O in English or German, Ö after Z in Swedish. The C/POSIX locale names no
//   language; there the language-neutral Unicode order (as for English) is used.
// - Case does not order: "éclairs" and "Éclairs" stand together.
// - Runs of digits order as numbers: aisle "2" before aisle "10".
//
// Sameness (sameText), for filter, find, list match and grouping: two texts are the same
// when they differ at most in case. Nothing else is folded. Accents make other words
// (French pêche / péché, German Müll / Mull), and "aisle 09" is not "aisle 9" even though
// the two order side by side: a filter for one must not return the other, and a list that
// holds one must still take the other. Composed and decomposed forms of the same letter
// are the same text.
//
// The file is not involved: its schema keeps SQLite's built-in NOCASE, and the program
// re-orders what it reads by this rule in memory.
class TextOrder {
public:
    // The rule for the user's language as it is now; rebuilt when the default locale changes.
    static const TextOrder& current();

    int compare(QStringView a, QStringView b) const;
    bool less(QStringView a, QStringView b) const { return compare(a, b) < 0; }
    // Keys compare as the texts do; cheaper than comparing texts when each is used often.
    QCollatorSortKey key(const QString& text) const { return m_collator.sortKey(text); }
    // The locale whose order this is.
    QLocale locale() const { return m_collator.locale(); }
    // Changes whenever the rule is rebuilt for another locale: rows sorted by an older one are stale.
    int generation() const { return m_generation; }

    // Shorthands on the current rule.
    static int compareTexts(QStringView a, QStringView b) { return current().compare(a, b); }
    static bool lessText(const QString& a, const QString& b) { return current().less(a, b); }

    // What two texts share exactly when they are the same text: usable as a hash or map key.
    static QString sameKey(const QString& text);
    static bool sameText(const QString& a, const QString& b);

private:
    TextOrder(const QLocale& locale, int generation);

    QCollator m_collator;
    int m_generation;
    bool m_asciiShortcut = false; // English: AsciiOrder first
};

// Orders rows of values by columns, as SQLite's ORDER BY does but with the text rule:
// NULL first, then numbers by value, then text by TextOrder, then anything else by bytes.
// A stable order: rows that compare equal keep the order they came in.
class RowOrder {
public:
    struct Term {
        int column = -1;
        bool descending = false;
        bool operator==(const Term&) const = default;
    };

    // The permutation that puts `rows` in order, or an empty list when they already are.
    // `valueAt(row, column)` gives a value.
    template <typename ValueAt> static QList<int> permutation(int rowCount, const QList<Term>& terms, ValueAt valueAt);

    // One value ready to be compared: its class and its number or text key.
    struct SortValue {
        int rank = 0; // 0 null, 1 number, 2 text, 3 other
        double number = 0;
        qsizetype key = -1; // into the keys list
        const QVariant* raw = nullptr;
    };
    static QString textOf(const QVariant& value);
    // Held as a number (not text that reads as one).
    static bool isNumber(const QVariant& value);
    static int rankOf(const QVariant& value);
    // Two values in this order: below zero when `a` comes first.
    static int compare(const QVariant& a, const QVariant& b, const TextOrder& rule);

private:
    static QList<int> permutationOf(int rowCount, const QList<Term>& terms, const QList<SortValue>& values,
                                    const QList<QCollatorSortKey>& keys);
};

template <typename ValueAt> QList<int> RowOrder::permutation(int rowCount, const QList<Term>& terms, ValueAt valueAt)
{
    if (terms.isEmpty() || rowCount < 2)
        return {};
    const TextOrder& rule = TextOrder::current();
    // Rows read in the file's own order mostly are in this one already: a pass comparing
    // neighbours costs far less than a key for every text.
    bool ordered = true;
    for (int r = 1; r < rowCount && ordered; ++r) {
        for (const Term& t : terms) {
            int c = compare(valueAt(r - 1, t.column), valueAt(r, t.column), rule);
            if (t.descending)
                c = -c;
            if (c != 0) {
                ordered = c < 0;
                break;
            }
        }
    }
    if (ordered)
        return {};
    QList<SortValue> values(qsizetype(rowCount) * terms.size());
    QList<QCollatorSortKey> textKeys;
    qsizetype i = 0;
    for (int r = 0; r < rowCount; ++r) {
        for (const Term& t : terms) {
            const QVariant& v = valueAt(r, t.column);
            SortValue& s = values[i++];
            s.rank = rankOf(v);
            if (s.rank == 1) {
                s.number = v.toDouble();
            } else if (s.rank == 2) {
                s.key = textKeys.size();
                textKeys.append(rule.key(textOf(v)));
            } else if (s.rank == 3) {
                s.raw = &v;
            }
        }
    }
    return permutationOf(rowCount, terms, values, textKeys);
}
