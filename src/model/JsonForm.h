#pragma once

// One field list per record drives both directions of its JSON form.
//
// A record declares `static constexpr auto fields()` returning a tuple of `field("key", &Record::member)`.
// `toJson` writes every field under its key (an empty optional is left out); `fromJson` reads them back,
// ignores unknown keys and fails as a whole when a required field is missing or of the wrong type.

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <concepts>
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

inline QJsonValue encode(const QString& v) {
    return v;
}
inline QJsonValue encode(bool v) {
    return v;
}
inline QJsonValue encode(double v) {
    return v;
}
inline QJsonValue encode(qint64 v) {
    return v;
}
inline QJsonValue encode(int v) {
    return v;
}
inline QJsonValue encode(const QUuid& v) {
    return v.toString(QUuid::WithoutBraces);
}
inline QJsonValue encode(const QDateTime& v) {
    return v.toUTC().toString(Qt::ISODateWithMs);
}
template <RawValueEnum E> QJsonValue encode(E v) {
    return rawValue(v);
}
template <JsonRecord R> QJsonValue encode(const R& record);
template <class T> QJsonValue encode(const QList<T>& list) {
    QJsonArray array;
    for (const auto& item : list)
        array.append(encode(item));
    return array;
}

template <JsonRecord R> QJsonObject toJsonObject(const R& record) {
    QJsonObject object;
    std::apply(
        [&](const auto&... f) {
            (
                [&] {
                    const auto& value = record.*(f.member);
                    using M = std::remove_cvref_t<decltype(value)>;
                    if constexpr (IsOptional<M>::value) {
                        if (value)
                            object.insert(QLatin1StringView(f.key), encode(*value));
                    } else {
                        object.insert(QLatin1StringView(f.key), encode(value));
                    }
                }(),
                ...);
        },
        R::fields());
    return object;
}

template <JsonRecord R> QJsonValue encode(const R& record) {
    return toJsonObject(record);
}

// ---- decoding -------------------------------------------------------------------------------------------

inline bool decode(const QJsonValue& v, QString& out) {
    if (!v.isString())
        return false;
    out = v.toString();
    return true;
}
inline bool decode(const QJsonValue& v, bool& out) {
    if (!v.isBool())
        return false;
    out = v.toBool();
    return true;
}
inline bool decode(const QJsonValue& v, double& out) {
    if (!v.isDouble())
        return false;
    out = v.toDouble();
    return true;
}
inline bool decode(const QJsonValue& v, qint64& out) {
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
inline bool decode(const QJsonValue& v, int& out) {
    qint64 wide = 0;
    if (!decode(v, wide) || wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(wide);
    return true;
}
inline bool decode(const QJsonValue& v, QUuid& out) {
    if (!v.isString())
        return false;
    out = QUuid::fromString(v.toString());
    return !out.isNull();
}
inline bool decode(const QJsonValue& v, QDateTime& out) {
    if (!v.isString())
        return false;
    out = QDateTime::fromString(v.toString(), Qt::ISODateWithMs);
    if (!out.isValid())
        return false;
    out = out.toUTC();
    return true;
}
template <RawValueEnum E> bool decode(const QJsonValue& v, E& out) {
    return v.isString() && fromRawValue(v.toString(), out);
}
template <JsonRecord R> bool decode(const QJsonValue& v, R& out);
template <class T> bool decode(const QJsonValue& v, QList<T>& out) {
    if (!v.isArray())
        return false;
    const QJsonArray array = v.toArray();
    QList<T> result;
    result.reserve(array.size());
    for (const QJsonValue& item : array) {
        T element{};
        if (!decode(item, element))
            return false;
        result.append(std::move(element));
    }
    out = std::move(result);
    return true;
}

template <JsonRecord R> std::optional<R> fromJsonObject(const QJsonObject& object) {
    R record{};
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
                    typename M::value_type inner{};
                    if (!decode(value, inner))
                        return false;
                    target = std::move(inner);
                    return true;
                } else {
                    return decode(value, target);
                }
            }() && ...);
        },
        R::fields());
    if (!ok)
        return std::nullopt;
    return record;
}

template <JsonRecord R> bool decode(const QJsonValue& v, R& out) {
    if (!v.isObject())
        return false;
    auto record = fromJsonObject<R>(v.toObject());
    if (!record)
        return false;
    out = std::move(*record);
    return true;
}

/// The compact JSON text of a record.
template <JsonRecord R> QByteArray toJson(const R& record) {
    return QJsonDocument(toJsonObject(record)).toJson(QJsonDocument::Compact);
}

/// The record read from JSON text; none when the text is not JSON or the record does not decode.
template <JsonRecord R> std::optional<R> fromJson(const QByteArray& text) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return fromJsonObject<R>(document.object());
}

} // namespace halvo::json

#define HALVO_FIELD(Record, name) ::halvo::json::field(#name, &Record::name)
