#pragma once

// The one place for trimming and integer parsing of user input.

#include <QString>
#include <QStringView>

#include <optional>

namespace halvo {

/// The text without blanks, other Unicode space separators and tabs at either end. A line break is content.
QString trimmed(QStringView text);

/// The text read as a whole decimal integer: optional "+" or "-", at least one digit, nothing else,
/// within 64 bits. None for anything else (blanks included).
std::optional<qint64> parseWholeInteger(QStringView text);

/// Case-insensitive substring test of the search text (untrimmed) in a value; an empty search matches all.
bool matchesSearch(QStringView value, QStringView searchText);

} // namespace halvo
