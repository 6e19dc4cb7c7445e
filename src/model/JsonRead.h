#pragma once

// Reads a record from JSON text straight into its fields, in one pass and without a document tree, driven by
// the same field list as "model/JsonForm.h". It yields exactly what `fromJson` yields: whenever the fast
// reader does not accept a text (a syntax error, a missing field, a value of another type, a lone surrogate
// escape, a whole number written with a fraction or an exponent, ...), `fromJson` reads it instead and has
// the last word. Only large texts need this; it is kept out of JsonForm.h because of the parser's size.

#include "model/JsonForm.h"

#include <QByteArray>

#include <algorithm>
#include <array>
#include <future>
#include <simdjson.h>
#include <string_view>
#include <utility>
#include <vector>

namespace halvo::json {

namespace fast {

using simdjson::ondemand::value;

inline bool read(value v, QString& out) {
    std::string_view text;
    // QJsonDocument drops a byte order mark at the start of a text written unescaped, and keeps an escaped
    // one; that is told apart there.
    if (v.get_string().get(text) || text.starts_with("\xEF\xBB\xBF"))
        return false;
    out = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return true;
}
inline bool read(value v, bool& out) {
    return !v.get_bool().get(out);
}
inline bool read(value v, double& out) {
    return !v.get_double().get(out);
}
inline bool read(value v, qint64& out) {
    int64_t number = 0;
    if (v.get_int64().get(number))
        return false;
    out = number;
    return true;
}
inline bool read(value v, int& out) {
    qint64 wide = 0;
    if (!read(v, wide) || wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(wide);
    return true;
}
inline bool read(value v, QUuid& out) {
    std::string_view text;
    if (v.get_string().get(text))
        return false;
    out = QUuid::fromString(QLatin1StringView(text.data(), qsizetype(text.size())));
    return !out.isNull();
}
inline bool read(value v, QDateTime& out) {
    QString text;
    if (!read(v, text))
        return false;
    out = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!out.isValid())
        return false;
    out = out.toUTC();
    return true;
}
template <RawValueEnum E> bool read(value v, E& out) {
    QString text;
    return read(v, text) && fromRawValue(text, out);
}
template <JsonRecord R> bool read(value v, R& out);
template <class T> bool read(value v, QList<T>& out) {
    simdjson::ondemand::array array;
    if (v.get_array().get(array))
        return false;
    QList<T> result;
    for (auto item : array) {
        value element;
        if (std::move(item).get(element) || !read(element, result.emplace_back()))
            return false;
    }
    out = std::move(result);
    return true;
}

template <class M> bool readMember(value v, M& target) {
    if constexpr (IsOptional<M>::value) {
        bool null = false;
        if (v.is_null().get(null))
            return false;
        if (null) {
            target.reset();
            return true;
        }
        typename M::value_type present{};
        if (!read(v, present))
            return false;
        target = std::move(present);
        return true;
    } else {
        return read(v, target);
    }
}

template <JsonRecord R> constexpr std::size_t kFieldCount = std::tuple_size_v<decltype(R::fields())>;

template <class T> struct IsRecordList : std::false_type {};
template <JsonRecord T> struct IsRecordList<QList<T>> : std::true_type {};

/// The text being read, from its start to the end of its padding: every part of it can be read again alone.
struct Input {
    const char* begin = nullptr;
    const char* end = nullptr;
};

template <JsonRecord R, bool parallel = false>
bool readObject(simdjson::ondemand::object object, R& out, const Input& input);

/// Reads the elements of a long list of records on several threads, each element on its own: one pass
/// finds where they are, then each thread reads a share of them with its own parser.
template <JsonRecord T> bool readInParallel(value v, QList<T>& out, const Input& input) {
    simdjson::ondemand::array array;
    if (v.get_array().get(array))
        return false;
    std::vector<std::string_view> elements;
    std::size_t bytes = 0;
    for (auto item : array) {
        value element;
        simdjson::ondemand::object object;
        std::string_view text;
        if (std::move(item).get(element) || element.get_object().get(object) || object.raw_json().get(text))
            return false;
        elements.push_back(text);
        bytes += text.size();
    }
    QList<T> result(qsizetype(elements.size()));
    const auto readShare = [&](std::size_t first, std::size_t last) {
        simdjson::ondemand::parser parser;
        for (std::size_t i = first; i < last; ++i) {
            const std::string_view text = elements[i];
            const simdjson::padded_string_view view(text.data(), text.size(), size_t(input.end - text.data()));
            simdjson::ondemand::document document;
            simdjson::ondemand::object object;
            if (parser.iterate(view).get(document) || document.get_object().get(object) ||
                !readObject(object, result[qsizetype(i)], input))
                return false;
        }
        return true;
    };
    // Below a few hundred kilobytes the threads cost more than they save.
    const std::size_t shares = std::clamp<std::size_t>(bytes / (256 * 1024), 1, 4);
    std::vector<std::future<bool>> others;
    for (std::size_t share = 1; share < shares; ++share)
        others.push_back(std::async(std::launch::async, readShare, elements.size() * share / shares,
                                    elements.size() * (share + 1) / shares));
    bool ok = readShare(0, elements.size() / shares);
    for (std::future<bool>& other : others)
        ok = other.get() && ok;
    if (ok)
        out = std::move(result);
    return ok;
}

template <JsonRecord R, std::size_t I, bool parallel> bool readField(value v, R& record, const Input& input) {
    constexpr auto f = std::get<I>(R::fields());
    auto& target = record.*(f.member);
    if constexpr (parallel && IsRecordList<std::remove_cvref_t<decltype(target)>>::value)
        return readInParallel(v, target, input);
    else
        return readMember(v, target);
}

template <JsonRecord R, std::size_t I> constexpr bool isRequired() {
    constexpr auto f = std::get<I>(R::fields());
    return !IsOptional<std::remove_cvref_t<decltype(std::declval<R&>().*(f.member))>>::value;
}

/// Per field, in field order: its key, how to read it into the record and whether it must be present.
template <JsonRecord R, bool parallel> struct FieldTable {
    using Reader = bool (*)(value, R&, const Input&);
    std::array<std::string_view, kFieldCount<R>> keys;
    std::array<Reader, kFieldCount<R>> readers;
    std::array<bool, kFieldCount<R>> required;
};

template <JsonRecord R, bool parallel, std::size_t... I>
constexpr FieldTable<R, parallel> makeFieldTable(std::index_sequence<I...>) {
    return {
        {std::string_view(std::get<I>(R::fields()).key)...}, {&readField<R, I, parallel>...}, {isRequired<R, I>()...}};
}

template <JsonRecord R, bool parallel>
inline constexpr FieldTable<R, parallel>
    kFieldTable = makeFieldTable<R, parallel>(std::make_index_sequence<kFieldCount<R>>());

template <JsonRecord R, bool parallel> bool readObject(simdjson::ondemand::object object, R& out, const Input& input) {
    constexpr const FieldTable<R, parallel>& table = kFieldTable<R, parallel>;
    constexpr std::size_t count = kFieldCount<R>;
    std::array<bool, count> seen{};
    // Texts written by toJson hold the fields in field order, so the next field is looked at first.
    std::size_t next = 0;
    for (auto member : object) {
        simdjson::ondemand::field field;
        std::string_view key;
        if (std::move(member).get(field) || field.unescaped_key().get(key))
            return false;
        std::size_t index = count;
        for (std::size_t step = 0; step < count; ++step) {
            const std::size_t candidate = (next + step) % count;
            if (table.keys[candidate] == key) {
                index = candidate;
                break;
            }
        }
        if (index == count)
            continue; // an unknown key: its value is skipped
        if (!table.readers[index](field.value(), out, input))
            return false;
        seen[index] = true;
        next = index + 1;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (table.required[i] && !seen[i])
            return false;
    }
    return true;
}

template <JsonRecord R> bool read(value v, R& out) {
    simdjson::ondemand::object object;
    return !v.get_object().get(object) && readObject(object, out, Input{});
}

/// The record, or none when the fast reader does not accept the text (which says nothing about the text).
/// The lists of records directly in the record are read in parallel when they are long.
template <JsonRecord R> std::optional<R> tryRead(const QByteArray& text) {
    // The parser reads a few bytes past the end of the text; a text without that room is copied.
    simdjson::padded_string copy;
    simdjson::padded_string_view input;
    if (text.capacity() - text.size() >= qsizetype(simdjson::SIMDJSON_PADDING)) {
        input = simdjson::padded_string_view(text.constData(), size_t(text.size()), size_t(text.capacity()));
    } else {
        copy = simdjson::padded_string(text.constData(), size_t(text.size()));
        input = copy;
    }
    const Input whole{input.data(), input.data() + input.capacity()};
    simdjson::ondemand::parser parser;
    simdjson::ondemand::document document;
    simdjson::ondemand::object object;
    R record{};
    if (parser.iterate(input).get(document) || document.get_object().get(object) ||
        !readObject<R, true>(object, record, whole))
        return std::nullopt;
    // Nothing may follow the record: the position after it is past the end of the text.
    const char* rest = nullptr;
    if (document.current_location().get(rest) != simdjson::OUT_OF_BOUNDS)
        return std::nullopt;
    return record;
}

} // namespace fast

/// The record read from JSON text, exactly as `fromJson(text, skipped)` reads it, at a fraction of the cost
/// for texts the fast reader accepts (all that toJson writes). A text with room for
/// `simdjson::SIMDJSON_PADDING` bytes behind its end (see `QByteArray::capacity`) is not copied.
template <JsonRecord R> std::optional<R> readJson(const QByteArray& text, SkipCounter skipped = nullptr) {
    if (auto record = fast::tryRead<R>(text))
        return record;
    return fromJson<R>(text, skipped);
}

} // namespace halvo::json
