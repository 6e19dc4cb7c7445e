#pragma once

// The one builder of the provider's writing requests: paths whose values are each one percent-encoded
// segment, and JSON bodies whose keys keep the order in which they were added.

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <optional>
#include <utility>

namespace halvo::api {

/// One request of an action: method, path below the region's base address, optional JSON body.
struct HalvoRequest {
    QString method;
    QString path;
    std::optional<QByteArray> body;

    bool operator==(const HalvoRequest&) const = default;
};

/// The value as one path segment: everything but unreserved characters, ":" and "@" is percent-encoded,
/// so "/", "?", "#", "%" and blanks stay inside the segment. The encoding keeps every value apart: a lone
/// surrogate, which UTF-8 cannot hold, keeps its own three bytes (no valid UTF-8), so `pathFault` refuses
/// the path instead of the request reaching a different resource.
QString pathSegment(QStringView value);

/// Why the encoded path (below the base address, starting with "/") must not be sent, as a German text, or
/// none: a segment is empty (a value was empty) or holds text that does not decode as UTF-8 (a value that
/// does not encode losslessly).
std::optional<QString> pathFault(QStringView encodedPath);

/// The path with its percent-escapes decoded: the raw values, as status sentences show them.
QString readablePath(QStringView encodedPath);

/// A path built from fixed parts and values: fixed parts are taken as written (they may hold "/"),
/// values become one encoded segment each. `ApiPath("domain").value(name).fixed("glueRecord")` reads
/// "/domain/<name>/glueRecord".
class ApiPath {
public:
    /// `root` is a string literal without leading "/".
    explicit ApiPath(const char* root) { fixed(root); }

    /// Appends "/" and the fixed text (a string literal), unchanged.
    ApiPath& fixed(const char* text);
    /// Appends "/" and the value as one encoded segment.
    ApiPath& value(QStringView text);
    ApiPath& value(qint64 number);

    QString toString() const { return m_path; }
    operator QString() const { return m_path; }

private:
    QString m_path;
};

/// The compact JSON text of a single value (a string with its quotes and escapes, a number, ...).
QByteArray encodeJsonValue(const QJsonValue& value);

/// A JSON object written with its keys in insertion order (QJsonObject sorts them). Keys are string
/// literals.
class OrderedJsonObject {
public:
    OrderedJsonObject() = default;
    OrderedJsonObject(std::initializer_list<std::pair<const char*, QJsonValue>> members);

    OrderedJsonObject& insert(const char* key, const QJsonValue& value);
    OrderedJsonObject& insert(const char* key, const OrderedJsonObject& object);

    QByteArray toJson() const;
    operator std::optional<QByteArray>() const { return toJson(); }

private:
    QList<std::pair<const char*, QByteArray>> m_members; ///< key, encoded value
};

} // namespace halvo::api
