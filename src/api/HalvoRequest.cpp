#include "api/HalvoRequest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

namespace halvo::api {

QString pathSegment(QStringView value) {
    // ":" and "@" are allowed inside a segment and appear in MAC and IPv6 addresses, which the provider
    // expects as written.
    return QString::fromLatin1(QUrl::toPercentEncoding(value.toString(), QByteArrayLiteral(":@")));
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
