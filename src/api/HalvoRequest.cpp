#include "api/HalvoRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

namespace halvo::api {

namespace {

/// The UTF-8 bytes of the text, where a lone surrogate is written as its own three bytes instead of the
/// replacement character, so that two different texts never give the same bytes.
QByteArray bytesOf(QStringView text) {
    if (text.isValidUtf16())
        return text.toUtf8();
    QByteArray bytes;
    bytes.reserve(text.size() * 3);
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += text.sliced(i, 2).toUtf8();
            i += 2;
            continue;
        }
        if (c.isSurrogate()) {
            const char16_t unit = c.unicode();
            bytes += char(0xE0 | (unit >> 12));
            bytes += char(0x80 | ((unit >> 6) & 0x3F));
            bytes += char(0x80 | (unit & 0x3F));
        } else {
            bytes += text.sliced(i, 1).toUtf8();
        }
        ++i;
    }
    return bytes;
}

} // namespace

QString pathSegment(QStringView value) {
    // ":" and "@" are allowed inside a segment and appear in MAC and IPv6 addresses, which the provider
    // expects as written.
    return QString::fromLatin1(bytesOf(value).toPercentEncoding(QByteArrayLiteral(":@")));
}

std::optional<QString> pathFault(QStringView encodedPath) {
    QStringView rest = encodedPath;
    if (rest.startsWith(QLatin1Char('/')))
        rest = rest.sliced(1);
    for (const QStringView segment : rest.tokenize(QLatin1Char('/'))) {
        if (segment.isEmpty())
            return QStringLiteral("Anfrage nicht gesendet – leerer Abschnitt im Pfad.");
        if (!QByteArray::fromPercentEncoding(bytesOf(segment)).isValidUtf8())
            return QStringLiteral(
                "Anfrage nicht gesendet – der Pfad enthält Text, der sich nicht verlustfrei kodieren lässt.");
    }
    return std::nullopt;
}

QString readablePath(QStringView encodedPath) {
    return QUrl::fromPercentEncoding(encodedPath.toUtf8());
}

ApiPath& ApiPath::fixed(const char* text) {
    m_path += QLatin1Char('/') + QLatin1StringView(text);
    return *this;
}

ApiPath& ApiPath::value(QStringView text) {
    m_path += QLatin1Char('/') + pathSegment(text);
    return *this;
}

ApiPath& ApiPath::value(qint64 number) {
    m_path += QLatin1Char('/') + QString::number(number);
    return *this;
}

QByteArray encodeJsonValue(const QJsonValue& value) {
    // QJsonDocument writes only arrays and objects; a one-element array carries the value's own encoding.
    const QByteArray wrapped = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}

OrderedJsonObject::OrderedJsonObject(std::initializer_list<std::pair<const char*, QJsonValue>> members) {
    for (const auto& [key, value] : members)
        insert(key, value);
}

OrderedJsonObject& OrderedJsonObject::insert(const char* key, const QJsonValue& value) {
    m_members.append({key, encodeJsonValue(value)});
    return *this;
}

OrderedJsonObject& OrderedJsonObject::insert(const char* key, const OrderedJsonObject& object) {
    m_members.append({key, object.toJson()});
    return *this;
}

QByteArray OrderedJsonObject::toJson() const {
    QByteArray text = QByteArrayLiteral("{");
    for (qsizetype i = 0; i < m_members.size(); ++i) {
        if (i > 0)
            text += ',';
        text += encodeJsonValue(QJsonValue(QString::fromLatin1(m_members[i].first)));
        text += ':';
        text += m_members[i].second;
    }
    text += '}';
    return text;
}

} // namespace halvo::api
