#pragma once

#include <QCollator>
#include <QHash>
#include <QList>
#include <QLocale>
#include <QString>
#include <QVariant>

#include <optional>

// The one rule by which the program orders and compares text, wherever it shows an
// ordering, a grouping or a match: the catalogue and every list read with ORDER BY, the
// category list, the editor's lists, the report groups and their items, filter, find and
// the combo's "list match".
//
// - It follows the user's language (the collation locale of QLocale()): é beside e and
//   Ö beside O in English or German, Ö after Z in Swedish. The C/POSIX locale names no
//   language; there the language-neutral Unicode order (as for English) is used.
// - Case is ignored: "éclairs" equals "Éclairs", "milk" equals "MILK".
// - Accents are not ignored: "Eclairs" and "Éclairs" sort side by side but are different
//   texts. In many languages an accent makes another word (French pêche / péché, Spanish
//   año / ano, German Müll / Mull), so a filter for one must not return the other; only
//   case, which never changes the word, is folded. Composed and decomposed forms of the
//   same letter are the same text.
// - Runs of digits compare as numbers: aisle "2" before aisle "10"; "02" equals "2".
//
// Two texts are equal exactly when neither orders before the other, so filtering,
// finding, grouping and list-matching agree with the order shown.
//
// The file is not involved: its schema keeps SQLite's built-in NOCASE, and the program
// re-orders what it reads by this rule in memory.
class TextOrder {
public:
    // The rule for the user's language as it is now; rebuilt when the default locale changes.
    static const TextOrder& current();

    int compare(QStringView a, QStringView b) const { return m_collator.compare(a, b); }
    bool less(QStringView a, QStringView b) const { return compare(a, b) < 0; }
    bool equal(QStringView a, QStringView b) const { return compare(a, b) == 0; }
    // Keys compare as the texts do; cheaper than comparing texts when each is used often.
    QCollatorSortKey key(const QString& text) const { return m_collator.sortKey(text); }
    // The locale whose order this is.
    QLocale locale() const { return m_collator.locale(); }
    // Changes whenever the rule is rebuilt for another locale; key caches check it.
    int generation() const { return m_generation; }

    // Shorthands on the current rule.
    static int compareTexts(QStringView a, QStringView b) { return current().compare(a, b); }
    static bool lessText(const QString& a, const QString& b) { return current().less(a, b); }
    static bool equalTexts(QStringView a, QStringView b) { return current().equal(a, b); }

    // Keys made once and kept while they are used: re-reading a list whose texts mostly
    // did not change costs a lookup per text, not a new key. A batch is one pass over a
    // list; keys no batch used lately are dropped so the cache stays the size of the lists.
    class KeyCache {
    public:
        void startBatch(const TextOrder& rule);
        // Valid until the next call that adds a key.
        const QCollatorSortKey& key(const QString& text);

        // True when the two texts are equal by the rule, using and keeping their keys.
        bool equal(const QString& a, const QString& b)
        {
            const QCollatorSortKey first = key(a); // a copy: making b's key may move a's
            return first.compare(key(b)) == 0;
        }

    private:
        struct Entry {
            QCollatorSortKey key;
            quint32 batch;
        };
        const TextOrder* m_rule = nullptr;
        int m_generation = -1;
        quint32 m_batch = 0;
        qsizetype m_used = 0;
        QHash<QString, Entry> m_keys;
    };

private:
    TextOrder(const QLocale& locale, int generation);

    QCollator m_collator;
    int m_generation;
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

    // What the last ordering of a list read again and again found: when the same values
    // come in the same places, the order is the same, found without comparing.
    class Memory {
    public:
        bool remembers(int rowCount, const QList<Term>& terms, int generation) const
        {
            return m_generation == generation && m_rowCount == rowCount && m_terms == terms;
        }
        void keep(int rowCount, const QList<Term>& terms, int generation, QList<QVariant> values, QList<int> order)
        {
            m_rowCount = rowCount;
            m_terms = terms;
            m_generation = generation;
            m_values = std::move(values);
            m_order = std::move(order);
        }
        const QList<QVariant>& values() const { return m_values; }
        const QList<int>& order() const { return m_order; }

    private:
        int m_rowCount = -1;
        int m_generation = -1;
        QList<Term> m_terms;
        QList<QVariant> m_values;
        QList<int> m_order;
    };

    // The permutation that puts `rows` in order, or an empty list when they already are.
    // `valueAt(row, column)` gives a value; `cache` (optional) keeps text keys across calls;
    // `memory` (optional) knows the last order of the same list.
    template <typename ValueAt>
    static QList<int> permutation(int rowCount, const QList<Term>& terms, ValueAt valueAt,
                                  TextOrder::KeyCache* cache = nullptr, Memory* memory = nullptr);

    // One value ready to be compared: its class and its number or text key.
    struct SortValue {
        int rank = 0; // 0 null, 1 number, 2 text, 3 other
        double number = 0;
        qsizetype key = -1; // into the keys list
        const QVariant* raw = nullptr;
    };
    static QString textOf(const QVariant& value);
    static int rankOf(const QVariant& value);
    // The very same value: same type and content (texts compared exactly).
    static bool same(const QVariant& a, const QVariant& b);

private:
    static QList<int> permutationOf(int rowCount, const QList<Term>& terms, const QList<SortValue>& values,
                                    const QList<QCollatorSortKey>& keys);
};

template <typename ValueAt>
QList<int> RowOrder::permutation(int rowCount, const QList<Term>& terms, ValueAt valueAt, TextOrder::KeyCache* cache,
                                 Memory* memory)
{
    if (terms.isEmpty() || rowCount < 2)
        return {};
    const TextOrder& rule = TextOrder::current();
    if (memory && memory->remembers(rowCount, terms, rule.generation())) {
        const QList<QVariant>& before = memory->values();
        bool unchanged = true;
        qsizetype i = 0;
        for (int r = 0; r < rowCount && unchanged; ++r) {
            for (const Term& t : terms) {
                if (!same(valueAt(r, t.column), before.at(i++))) {
                    unchanged = false;
                    break;
                }
            }
        }
        if (unchanged)
            return memory->order();
    }
    TextOrder::KeyCache local;
    TextOrder::KeyCache& keys = cache ? *cache : local;
    keys.startBatch(rule);
    QList<SortValue> values(qsizetype(rowCount) * terms.size());
    QList<QCollatorSortKey> textKeys;
    QList<QVariant> seen;
    if (memory)
        seen.reserve(values.size());
    qsizetype i = 0;
    for (int r = 0; r < rowCount; ++r) {
        for (const Term& t : terms) {
            const QVariant& v = valueAt(r, t.column);
            if (memory)
                seen.append(v);
            SortValue& s = values[i++];
            s.rank = rankOf(v);
            if (s.rank == 1) {
                s.number = v.toDouble();
            } else if (s.rank == 2) {
                s.key = textKeys.size();
                textKeys.append(keys.key(textOf(v)));
            } else if (s.rank == 3) {
                s.raw = &v;
            }
        }
    }
    QList<int> order = permutationOf(rowCount, terms, values, textKeys);
    if (memory)
        memory->keep(rowCount, terms, rule.generation(), std::move(seen), order);
    return order;
}
