#pragma once

// Reads a record from JSON text straight into its fields, in one pass and without a document tree, driven by
// the same field list as "model/JsonForm.h". It yields exactly what `fromJson` yields: whenever the fast
// reader does not accept a text (a syntax error, a missing field, a value of another type, a lone surrogate
// escape, a whole number written with a fraction or an exponent, ...), `fromJson` reads it instead and has
// the last word. Only large texts need this; it is kept out of JsonForm.h because of the parser's size.

#include "model/JsonForm.h"

#include <QByteArray>
#include <QThread>

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <simdjson.h>
#include <string_view>
#include <utility>
#include <vector>

namespace halvo::json {

namespace fast {

using simdjson::ondemand::value;

/// One text of the input as a string, shared with the same text met before: a snapshot repeats many short
/// texts (each record's zone, the record types, common host names and targets), and each repeat then costs
/// no allocation. Only texts without escapes are kept, as pointers into the input, which outlives the reader.
class TextCache {
public:
    /// Room for about one text in every few hundred bytes of a text of the given length.
    explicit TextCache(std::size_t inputBytes)
        : m_slots(std::bit_ceil(std::clamp<std::size_t>(inputBytes / 256, 16, 2048))) {}

    QString text(std::string_view utf8) {
        if (utf8.empty() || utf8.size() > kMaxLength)
            return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        Slot& slot = m_slots[std::hash<std::string_view>{}(utf8) & (m_slots.size() - 1)];
        if (slot.utf8 != utf8) {
            slot.utf8 = utf8;
            slot.text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        }
        return slot.text;
    }

private:
    static constexpr std::size_t kMaxLength = 96;
    struct Slot {
        std::string_view utf8;
        QString text;
    };
    std::vector<Slot> m_slots;
};

class ListBatch;

/// What one reader (one thread) carries through a text: where the text is, from its start to the end of its
/// padding, so that every part of it can be read again alone; the texts met so far; and, for the outermost
/// record, the lists left for several threads.
struct Context {
    const char* begin = nullptr;
    const char* end = nullptr;
    ListBatch* batch = nullptr;
    TextCache texts{std::size_t(end - begin)};
};

/// The content of a string written without escapes, straight from the input; none for any other value.
inline std::optional<std::string_view> plainString(value& v) {
    const std::string_view token = v.raw_json_token();
    if (token.size() < 2 || token.front() != '"')
        return std::nullopt;
    // The token runs to the next value or punctuation: the string's closing quote and perhaps blanks.
    const std::size_t close = token.rfind('"');
    if (close == 0)
        return std::nullopt;
    const std::string_view content = token.substr(1, close - 1);
    if (content.find('\\') != std::string_view::npos)
        return std::nullopt;
    return content;
}

inline bool read(value v, QString& out, Context& context) {
    // QJsonDocument drops a byte order mark at the start of a text written unescaped, and keeps an escaped
    // one; that is told apart there.
    static constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (const std::optional<std::string_view> plain = plainString(v)) {
        simdjson::ondemand::raw_json_string raw;
        // Moves past the string; the check of the whole text (UTF-8, control characters) happened before.
        if (v.get_raw_json_string().get(raw) || plain->starts_with(kByteOrderMark))
            return false;
        out = context.texts.text(*plain);
        return true;
    }
    std::string_view text;
    if (v.get_string().get(text) || text.starts_with(kByteOrderMark))
        return false;
    out = QString::fromUtf8(text.data(), qsizetype(text.size()));
    return true;
}
inline bool read(value v, bool& out, Context&) {
    return !v.get_bool().get(out);
}
inline bool read(value v, double& out, Context&) {
    return !v.get_double().get(out);
}
inline bool read(value v, qint64& out, Context&) {
    int64_t number = 0;
    if (v.get_int64().get(number))
        return false;
    out = number;
    return true;
}
inline bool read(value v, int& out, Context& context) {
    qint64 wide = 0;
    if (!read(v, wide, context) || wide < std::numeric_limits<int>::min() || wide > std::numeric_limits<int>::max())
        return false;
    out = static_cast<int>(wide);
    return true;
}
inline bool read(value v, QUuid& out, Context&) {
    std::string_view text;
    if (v.get_string().get(text))
        return false;
    out = QUuid::fromString(QLatin1StringView(text.data(), qsizetype(text.size())));
    return !out.isNull();
}
inline bool read(value v, QDateTime& out, Context& context) {
    QString text;
    if (!read(v, text, context))
        return false;
    out = QDateTime::fromString(text, Qt::ISODateWithMs);
    if (!out.isValid())
        return false;
    out = out.toUTC();
    return true;
}
template <RawValueEnum E> bool read(value v, E& out, Context& context) {
    QString text;
    return read(v, text, context) && fromRawValue(text, out);
}
template <JsonRecord R> bool read(value v, R& out, Context& context);
template <class T> bool read(value v, QList<T>& out, Context& context) {
    simdjson::ondemand::array array;
    if (v.get_array().get(array))
        return false;
    // Not sized beforehand: counting the elements first costs a pass over them, more than the growth saves.
    QList<T> result;
    for (auto item : array) {
        value element;
        if (std::move(item).get(element) || !read(element, result.emplace_back(), context))
            return false;
    }
    out = std::move(result);
    return true;
}

template <class M> bool readMember(value v, M& target, Context& context) {
    if constexpr (IsOptional<M>::value) {
        bool null = false;
        if (v.is_null().get(null))
            return false;
        if (null) {
            target.reset();
            return true;
        }
        typename M::value_type present{};
        if (!read(v, present, context))
            return false;
        target = std::move(present);
        return true;
    } else {
        return read(v, target, context);
    }
}

template <JsonRecord R> constexpr std::size_t kFieldCount = std::tuple_size_v<decltype(R::fields())>;

template <class T> struct IsRecordList : std::false_type {};
template <JsonRecord T> struct IsRecordList<QList<T>> : std::true_type {};

template <JsonRecord R, bool parallel = false>
bool readObject(simdjson::ondemand::object object, R& out, Context& context);

/// The long lists of records of the outermost record, read after it on several threads: its pass over the
/// text finds where their elements are, then each thread reads a share of all of them, element by element
/// with its own parser, and the lists are filled once every element has read.
class ListBatch {
public:
    template <JsonRecord T> bool collect(value v, QList<T>& target) {
        simdjson::ondemand::array array;
        if (v.get_array().get(array))
            return false;
        auto list = std::make_unique<ListOf<T>>(target);
        std::size_t index = 0;
        for (auto item : array) {
            value element;
            simdjson::ondemand::object object;
            std::string_view text;
            if (std::move(item).get(element) || element.get_object().get(object) || object.raw_json().get(text))
                return false;
            m_elements.push_back({text, list.get(), index++});
            m_bytes += text.size();
        }
        list->result.resize(qsizetype(index));
        m_lists.push_back(std::move(list));
        return true;
    }

    /// Reads every element collected; fills the lists, in the order they were met, only when all read.
    bool run(const char* begin, const char* end) {
        const auto readShare = [&](std::size_t first, std::size_t last) {
            simdjson::ondemand::parser parser;
            Context share{begin, end};
            for (std::size_t i = first; i < last; ++i) {
                const Element& element = m_elements[i];
                const simdjson::padded_string_view view(element.text.data(), element.text.size(),
                                                        std::size_t(end - element.text.data()));
                simdjson::ondemand::document document;
                simdjson::ondemand::object object;
                if (parser.iterate(view).get(document) || document.get_object().get(object) ||
                    !element.list->read(element.index, object, share))
                    return false;
            }
            return true;
        };
        // Shares of about equal size; below a few hundred kilobytes a thread costs more than it saves.
        // The cores this process may run on, not all the machine has: more threads than those only take turns.
        const std::size_t cores = std::size_t(std::max(1, QThread::idealThreadCount()));
        const std::size_t shares = std::clamp<std::size_t>(m_bytes / (256 * 1024), 1, std::min<std::size_t>(cores, 6));
        std::vector<std::size_t> starts{0};
        std::size_t bytes = 0;
        for (std::size_t i = 0; i < m_elements.size() && starts.size() < shares; ++i) {
            bytes += m_elements[i].text.size();
            if (bytes >= m_bytes * starts.size() / shares)
                starts.push_back(i + 1);
        }
        starts.push_back(m_elements.size());
        std::vector<std::future<bool>> others;
        for (std::size_t share = 1; share + 1 < starts.size(); ++share)
            others.push_back(std::async(std::launch::async, readShare, starts[share], starts[share + 1]));
        bool ok = readShare(starts[0], starts[1]);
        for (std::future<bool>& other : others)
            ok = other.get() && ok;
        if (!ok)
            return false;
        for (const std::unique_ptr<List>& list : m_lists)
            list->fill();
        return true;
    }

private:
    struct List {
        virtual ~List() = default;
        virtual bool read(std::size_t index, simdjson::ondemand::object object, Context& context) = 0;
        virtual void fill() = 0;
    };
    template <JsonRecord T> struct ListOf final : List {
        explicit ListOf(QList<T>& target)
            : target(target) {}
        bool read(std::size_t index, simdjson::ondemand::object object, Context& context) override {
            return readObject(object, result[qsizetype(index)], context);
        }
        void fill() override { target = std::move(result); }
        QList<T>& target;
        QList<T> result;
    };
    struct Element {
        std::string_view text;
        List* list = nullptr;
        std::size_t index = 0;
    };
    std::vector<std::unique_ptr<List>> m_lists;
    std::vector<Element> m_elements;
    std::size_t m_bytes = 0;
};

template <JsonRecord R, std::size_t I, bool parallel> bool readField(value v, R& record, Context& context) {
    constexpr auto f = std::get<I>(R::fields());
    auto& target = record.*(f.member);
    if constexpr (parallel && IsRecordList<std::remove_cvref_t<decltype(target)>>::value)
        return context.batch ? context.batch->collect(v, target) : readMember(v, target, context);
    else
        return readMember(v, target, context);
}

template <JsonRecord R, std::size_t I> constexpr bool isRequired() {
    constexpr auto f = std::get<I>(R::fields());
    return !IsOptional<std::remove_cvref_t<decltype(std::declval<R&>().*(f.member))>>::value;
}

/// Per field, in field order: its key, how to read it into the record and whether it must be present.
template <JsonRecord R, bool parallel> struct FieldTable {
    using Reader = bool (*)(value, R&, Context&);
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

template <JsonRecord R, bool parallel> bool readObject(simdjson::ondemand::object object, R& out, Context& context) {
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
        if (!table.readers[index](field.value(), out, context))
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

template <JsonRecord R> bool read(value v, R& out, Context& context) {
    simdjson::ondemand::object object;
    return !v.get_object().get(object) && readObject(object, out, context);
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
    ListBatch lists;
    Context whole{input.data(), input.data() + input.capacity(), &lists};
    simdjson::ondemand::parser parser;
    simdjson::ondemand::document document;
    simdjson::ondemand::object object;
    R record{};
    if (parser.iterate(input).get(document) || document.get_object().get(object) ||
        !readObject<R, true>(object, record, whole))
        return std::nullopt;
    // Nothing may follow the record: the position after it is past the end of the text.
    const char* rest = nullptr;
    if (document.current_location().get(rest) != simdjson::OUT_OF_BOUNDS || !lists.run(whole.begin, whole.end))
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
