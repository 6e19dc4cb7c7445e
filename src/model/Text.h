#pragma once

// The one place for trimming and integer parsing of user input.

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace halvo {

/// The text without blanks, other Unicode space separators and tabs at either end. A line break is content.
QString trimmed(QStringView text);

/// The text read as a whole decimal integer: optional "+" or "-", at least one digit, nothing else,
/// within 64 bits. None for anything else (blanks included).
std::optional<qint64> parseWholeInteger(QStringView text);

/// The form in which search compares texts: canonically decomposed, fully case-folded (Unicode's default
/// folding, the one every language of the interface uses) and composed again, so that "STRASSE" and
/// "straße", or a decomposed and a precomposed "ü", give equal keys. A list keeps the key of each searched field and
/// folds only the search text on a key press.
QString searchKey(QStringView text);

/// Whether the key of a field holds the key of a search text as a substring that ends on a character
/// boundary (never in front of a combining mark of the field); an empty search key matches all.
bool searchKeyContains(QStringView fieldKey, QStringView searchTextKey);

/// The search keys of a list's texts, kept between key presses: `update` folds only the texts that differ
/// from the ones at the same position last time (a text shared with the last one costs a pointer compare),
/// so a key press folds the search text alone and a change of one record folds one text.
class SearchKeys {
public:
    /// Brings the keys in line with `count` texts, the i-th given by `textAt(i)`.
    template <class TextAt> void update(qsizetype count, TextAt textAt) {
        m_texts.resize(count);
        m_keys.resize(count);
        for (qsizetype i = 0; i < count; ++i) {
            const QString& text = textAt(i);
            // A new position holds no text and no key, which is right for an empty text too.
            if (m_texts[i] == text)
                continue;
            m_texts[i] = text;
            m_keys[i] = searchKey(text);
        }
    }
    qsizetype size() const { return m_keys.size(); }
    /// Whether the i-th text holds the search text whose key is given.
    bool matches(qsizetype i, QStringView searchTextKey) const { return searchKeyContains(m_keys[i], searchTextKey); }

private:
    QList<QString> m_texts;
    QList<QString> m_keys;
};

/// Locale-aware, case-insensitive substring test of the search text (untrimmed) in a value: full case
/// folding and canonical equivalence. An empty search matches all.
bool matchesSearch(QStringView value, QStringView searchText);

} // namespace halvo
