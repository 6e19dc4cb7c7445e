#pragma once

// One field list per record drives both directions of its JSON form.
//
// A record declares `static constexpr auto fields()` returning a tuple of `field("key", &Record::member)`.
// `toJson` writes every field under its key (an empty optional is left out); `fromJson` reads them back,
// ignores unknown keys and fails as a whole when a required field is missing or of the wrong type.
// "model/JsonRead.h" reads the same records faster, for large texts.

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <concepts>
#include <cstring>
#include <limits>
#include <optional>
#include <tuple>
#include <type_traits>

namespace halvo::json {

template <class Record, class Member> struct Field {
    const char* key;
    Member Record::*member;
};

template <class Record, class Member> constexpr Field<Record, Member> field(const char* key, Member Record::*member) {
    return {key, member};
}

template <class T>
concept JsonRecord = requires {
    T::fields();
};

/// An enumeration with a text raw value: `rawValue(e)` and `fromRawValue(text, e&)` found by lookup.
template <class T>
concept RawValueEnum = std::is_enum_v<T> && requires(T e, const QString& s) {
    { rawValue(e) } -> std::convertible_to<QString>;
    { fromRawValue(s, e) } -> std::same_as<bool>;
};

template <class T> struct IsOptional : std::false_type {};
template <class T> struct IsOptional<std::optional<T>> : std::true_type {};

// ---- encoding -------------------------------------------------------------------------------------------

/// Writes JSON text in one pass straight into its output: compact, keys in field order, non-ASCII text as
/// UTF-8, a lone UTF-16 surrogate and U+FEFF as a "\\uXXXX" escape. Optionally stops early
/// when a flag is raised, for a caller that no longer needs the text.
class JsonWriter {
public:
    explicit JsonWriter(const std::atomic<bool>* stop = nullptr)
        : m_stop(stop) {}

    /// Whether writing was given up because the stop flag was raised; the text is then incomplete.
    bool stopped() const { return m_stopped; }
    QByteArray take() {
        m_buffer.resize(m_size);
        m_size = 0;
        return std::move(m_buffer);
    }

    void write(const QString& v) { writeString(v); }
    void write(bool v) { v ? append("true", 4) : append("false", 5); }
    void write(qint64 v) { writeInteger(v); }
    void write(int v) { writeInteger(v); }
    void write(double v) {
        // As QJsonDocument writes numbers; JSON has no text for infinities or NaN.
        if (!std::isfinite(v)) {
            append("null", 4);
            return;
        }
        const QByteArray text = QByteArray::number(v, 'g', QLocale::FloatingPointShortest);
        append(text.constData(), text.size());
    }
    void write(const QUuid& v) {
        const QByteArray text = v.toByteArray(QUuid::WithoutBraces);
        char* out = reserve(text.size() + 2);
        out[0] = '"';
        std::memcpy(out + 1, text.constData(), size_t(text.size()));
        out[text.size() + 1] = '"';
        m_size += text.size() + 2;
    }
    void write(const QDateTime& v) { writeString(v.toUTC().toString(Qt::ISODateWithMs)); }
    template <RawValueEnum E> void write(E v) { writeString(rawValue(v)); }
    template <class T> void write(const QList<T>& list) {
        append("[", 1);
        bool first = true;
        for (const T& item : list) {
            if (shouldStop())
                return;
            if (!first)
                append(",", 1);
            first = false;
            write(item);
        }
        append("]", 1);
    }
    template <JsonRecord R> void write(const R& record) {
        append("{", 1);
        bool first = true;
        std::apply(
            [&](const auto&... f) {
                (
                    [&] {
                        const auto& value = record.*(f.member);
                        using M = std::remove_cvref_t<decltype(value)>;
                        if constexpr (IsOptional<M>::value) {
                            if (value) {
                                writeKey(f.key, first);
                                write(*value);
                            }
                        } else {
                            writeKey(f.key, first);
                            write(value);
                        }
                    }(),
                    ...);
            },
            R::fields());
        append("}", 1);
    }

private:
    bool shouldStop() {
        if (m_stop && !m_stopped && m_stop->load(std::memory_order_relaxed))
            m_stopped = true;
        return m_stopped;
    }

    /// Room for `n` more bytes at the end of the text; the caller adds what it wrote to m_size.
    char* reserve(qsizetype n) {
        if (m_buffer.size() - m_size < n)
            m_buffer.resize(std::max(m_size + n, m_buffer.size() * 2 + 4096));
        return m_buffer.data() + m_size;
    }
    void append(const char* text, qsizetype n) {
        std::memcpy(reserve(n), text, size_t(n));
        m_size += n;
    }
    template <class I> void writeInteger(I v) {
        char* out = reserve(24);
        m_size += std::to_chars(out, out + 24, v).ptr - out;
    }
    void writeKey(const char* key, bool& first) {
        const qsizetype length = qsizetype(std::strlen(key));
        char* out = reserve(length + 4);
        qsizetype n = 0;
        if (!first)
            out[n++] = ',';
        first = false;
        out[n++] = '"';
        std::memcpy(out + n, key, size_t(length)); // keys are field names: plain ASCII
        n += length;
        out[n++] = '"';
        out[n++] = ':';
        m_size += n;
    }
    void writeString(QStringView text) {
        static constexpr char hex[] = "0123456789abcdef";
        // At most six bytes per UTF-16 unit (an escape), plus the quotes.
        char* const begin = reserve(text.size() * 6 + 2);
        char* out = begin;
        *out++ = '"';
        const char16_t* in = text.utf16();
        const char16_t* const end = in + text.size();
        while (in < end) {
            const char16_t c = *in++;
            if (c < 0x80) {
                if (c >= 0x20 && c != u'"' && c != u'\\') {
                    *out++ = char(c);
                    continue;
                }
                *out++ = '\\';
                switch (c) {
                case u'"':
                    *out++ = '"';
                    break;
                case u'\\':
                    *out++ = '\\';
                    break;
                case u'\b':
                    *out++ = 'b';
                    break;
                case u'\f':
                    *out++ = 'f';
                    break;
                case u'\n':
                    *out++ = 'n';
                    break;
                case u'\r':
                    *out++ = 'r';
                    break;
                case u'\t':
                    *out++ = 't';
                    break;
                default:
                    *out++ = 'u';
                    *out++ = '0';
                    *out++ = '0';
                    *out++ = hex[c >> 4];
                    *out++ = hex[c & 0xf];
                }
            } else if (c < 0x800) {
                *out++ = char(0xc0 | (c >> 6));
                *out++ = char(0x80 | (c & 0x3f));
            } else if (QChar::isHighSurrogate(c) && in < end && QChar::isLowSurrogate(*in)) {
                const char32_t u = QChar::surrogateToUcs4(c, *in++);
                *out++ = char(0xf0 | (u >> 18));
                *out++ = char(0x80 | ((u >> 12) & 0x3f));
                *out++ = char(0x80 | ((u >> 6) & 0x3f));
                *out++ = char(0x80 | (u & 0x3f));
            } else if (QChar::isSurrogate(c) || c == 0xfeff) {
                // A lone surrogate is not representable in UTF-8, and QJsonDocument drops a byte order mark
                // that starts a text: both are kept exactly as an escape.
                *out++ = '\\';
                *out++ = 'u';
                *out++ = hex[c >> 12];
                *out++ = hex[(c >> 8) & 0xf];
                *out++ = hex[(c >> 4) & 0xf];
                *out++ = hex[c & 0xf];
            } else {
                *out++ = char(0xe0 | (c >> 12));
                *out++ = char(0x80 | ((c >> 6) & 0x3f));
                *out++ = char(0x80 | (c & 0x3f));
            }
        }
        *out++ = '"';
        m_size += out - begin;
    }

    const std::atomic<bool>* m_stop = nullptr;
    bool m_stopped = false;
    QByteArray m_buffer;
    qsizetype m_size = 0;
};

// ---- decoding -------------------------------------------------------------------------------------------
//
// This reader goes through QJsonDocument. It reads every JSON text; the storage reads large texts through
// the faster reader of "model/JsonRead.h", which yields the same records and falls back on this one.
//
// With a skip counter, an element of a list that does not decode is left out and counted instead of failing
// the whole record (the innermost list element that holds the fault goes); anything else still fails it.

/// Counts the list elements left out while reading leniently; none: read strictly.
using SkipCounter = qsizetype*;

inline bool decode(const QJsonValue& v, QString& out, SkipCounter = nullptr) {
    if (!v.isString())
        return false;
    out = v.toString();
    return true;
}
inline bool decode(const QJsonValue& v, bool& out, SkipCounter = nullptr) {
    if (!v.isBool())
        return false;
    out = v.toBool();
    return true;
}
inline bool decode(const QJsonValue& v, double& out, SkipCounter = nullptr) {
    if (!v.isDouble())
        return false;
    out = v.toDouble();
    return true;
}
inline bool decode(const QJsonValue& v, qint64& out, SkipCounter = nullptr) {
    if (!v.isDouble())
        return false;
    // Whole numbers only, all 64 bits of them: the parser keeps integer literals exact, and toInteger
    // answers its fallback for a fraction or a value outside 64 bits, so two fallbacks tell them apart.
    const qint64 first = v.toInteger(0);
    if (first != v.toInteger(1))
        return false;
    out = first;
    return true;
}
inline bool decode(const QJsonValue& v, int& out, SkipCounter = nullptr) {
    qint64 wide = 0;
    if (!decode(v, wide) || wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(wide);
    return true;
}
inline bool decode(const QJsonValue& v, QUuid& out, SkipCounter = nullptr) {
    if (!v.isString())
        return false;
    out = QUuid::fromString(v.toString());
    return !out.isNull();
}
inline bool decode(const QJsonValue& v, QDateTime& out, SkipCounter = nullptr) {
    if (!v.isString())
        return false;
    out = QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
    if (!out.isValid())
        return false;
    out = out.toUTC();
    return true;
}
template <RawValueEnum E> bool decode(const QJsonValue& v, E& out, SkipCounter = nullptr) {
    return v.isString() && fromRawValue(v.toString(), out);
}
template <JsonRecord R> bool decode(const QJsonValue& v, R& out, SkipCounter skipped = nullptr);
template <class T> bool decode(const QJsonValue& v, QList<T>& out, SkipCounter skipped = nullptr) {
    if (!v.isArray())
        return false;
    const QJsonArray array = v.toArray();
    QList<T> result;
    result.reserve(array.size());
    for (const QJsonValue& item : array) {
        T element{};
        if (decode(item, element, skipped)) {
            result.append(std::move(element));
        } else if (skipped) {
            ++*skipped;
        } else {
            return false;
        }
    }
    out = std::move(result);
    return true;
}

template <JsonRecord R> std::optional<R> fromJsonObject(const QJsonObject& object, SkipCounter skipped = nullptr) {
    R record{};
    // Elements skipped inside a field that then fails with its record are not counted: the record goes whole.
    qsizetype skippedHere = 0;
    const SkipCounter nested = skipped ? &skippedHere : nullptr;
    const bool ok = std::apply(
        [&](const auto&... f) {
            return ([&] {
                auto& target = record.*(f.member);
                using M = std::remove_cvref_t<decltype(target)>;
                const QJsonValue value = object.value(QLatin1StringView(f.key));
                if constexpr (IsOptional<M>::value) {
                    if (value.isUndefined() || value.isNull()) {
                        target.reset();
                        return true;
                    }
                    typename M::value_type present{};
                    if (!decode(value, present, nested))
                        return false;
                    target = std::move(present);
                    return true;
                } else {
                    return decode(value, target, nested);
                }
            }() && ...);
        },
        R::fields());
    if (!ok)
        return std::nullopt;
    if (skipped)
        *skipped += skippedHere;
    return record;
}

template <JsonRecord R> bool decode(const QJsonValue& v, R& out, SkipCounter skipped) {
    if (!v.isObject())
        return false;
    auto record = fromJsonObject<R>(v.toObject(), skipped);
    if (!record)
        return false;
    out = std::move(*record);
    return true;
}

/// The compact JSON text of a record.
template <JsonRecord R> QByteArray toJson(const R& record) {
    JsonWriter writer;
    writer.write(record);
    return writer.take();
}

/// The record read from JSON text; none when the text is not JSON or the record does not decode. With
/// `skipped`, list elements that do not decode are left out and counted there (see above).
template <JsonRecord R> std::optional<R> fromJson(const QByteArray& text, SkipCounter skipped = nullptr) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return fromJsonObject<R>(document.object(), skipped);
}

} // namespace halvo::json

#define HALVO_FIELD(Record, name) ::halvo::json::field(#name, &Record::name)
