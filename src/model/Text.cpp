#include "model/Text.h"

#include <QChar>

#include <algorithm>
#include <limits>
#include <unicode/unorm2.h>
#include <unicode/ustring.h>

namespace halvo {

namespace {

bool isTrimmable(QChar c) {
    return c == QLatin1Char('\t') || c.category() == QChar::Separator_Space;
}

bool isAscii(QStringView text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// Runs an ICU conversion that writes UTF-16 into a buffer, growing the buffer once when the first guess
// was short. The text itself stands in when ICU fails, so search degrades to an exact comparison.
template <class Convert> QString convertWithIcu(QStringView text, Convert convert) {
    const auto length = static_cast<int32_t>(std::min<qsizetype>(text.size(), std::numeric_limits<int32_t>::max() / 4));
    QString out(length + length / 2 + 8, Qt::Uninitialized);
    UErrorCode status = U_ZERO_ERROR;
    int32_t written =
        convert(text.utf16(), length, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        out.resize(written);
        status = U_ZERO_ERROR;
        written = convert(text.utf16(), length, reinterpret_cast<UChar*>(out.data()), written, &status);
    }
    if (U_FAILURE(status))
        return text.toString();
    out.resize(written);
    return out;
}

QString normalized(QStringView text, const UNormalizer2* (*instance)(UErrorCode*)) {
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* normalizer = instance(&status);
    if (U_FAILURE(status))
        return text.toString();
    return convertWithIcu(
        text, [normalizer](const UChar* src, int32_t length, UChar* dest, int32_t capacity, UErrorCode* error) {
            return unorm2_normalize(normalizer, src, length, dest, capacity, error);
        });
}

QString caseFolded(QStringView text) {
    return convertWithIcu(text, [](const UChar* src, int32_t length, UChar* dest, int32_t capacity, UErrorCode* error) {
        return u_strFoldCase(dest, capacity, src, length, U_FOLD_CASE_DEFAULT, error);
    });
}

// A combining mark belongs to the character before it, so a match may not end in front of one.
bool startsWithCombiningMark(QStringView text) {
    if (text.isEmpty())
        return false;
    char32_t code = text[0].unicode();
    if (text[0].isHighSurrogate() && text.size() > 1 && text[1].isLowSurrogate())
        code = QChar::surrogateToUcs4(text[0], text[1]);
    switch (QChar::category(code)) {
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
        return true;
    default:
        return false;
    }
}

} // namespace

QString trimmed(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isTrimmable(text[begin]))
        ++begin;
    while (end > begin && isTrimmable(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

std::optional<qint64> parseWholeInteger(QStringView text) {
    if (text.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    bool negative = false;
    if (text[0] == QLatin1Char('+') || text[0] == QLatin1Char('-')) {
        negative = text[0] == QLatin1Char('-');
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulate towards the negative side so that the smallest 64-bit value reads too.
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (value < (std::numeric_limits<qint64>::min() + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == std::numeric_limits<qint64>::min())
            return std::nullopt;
        value = -value;
    }
    return value;
}

QString searchKey(QStringView text) {
    if (isAscii(text)) {
        // Folding and composition leave ASCII as its lower case.
        QString key(text.size(), Qt::Uninitialized);
        QChar* out = key.data();
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            *out++ = QChar(u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u);
        }
        return key;
    }
    // Decomposing first lets folding see every mark on its own (a composed letter can fold to one that
    // composes differently); composing afterwards makes "u" + U+0308 and "ü" one character.
    return normalized(caseFolded(normalized(text, unorm2_getNFDInstance)), unorm2_getNFCInstance);
}

bool searchKeyContains(QStringView fieldKey, QStringView searchTextKey) {
    if (searchTextKey.isEmpty())
        return true;
    for (qsizetype from = 0;;) {
        const qsizetype at = fieldKey.indexOf(searchTextKey, from);
        if (at < 0)
            return false;
        if (!startsWithCombiningMark(fieldKey.mid(at + searchTextKey.size())))
            return true;
        from = at + 1;
    }
}

bool matchesSearch(QStringView value, QStringView searchText) {
    if (searchText.isEmpty())
        return true;
    if (isAscii(value) && isAscii(searchText))
        return value.contains(searchText, Qt::CaseInsensitive);
    return searchKeyContains(searchKey(value), searchKey(searchText));
}

} // namespace halvo
