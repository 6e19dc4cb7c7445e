// The request builder: path segments and ordered JSON bodies.

#include "api/HalvoRequest.h"

#include "support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

using namespace halvo::api;

struct SegmentCase {
    const char* name;
    QString value;
    QString encoded;
};

class PathSegment : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(PathSegment, StaysOneSegmentAndDecodesBackToTheValue) {
    const SegmentCase& c = GetParam();
    const QString segment = pathSegment(c.value);
    EXPECT_EQ(segment, c.encoded);
    EXPECT_FALSE(segment.contains(QLatin1Char('/')));
    EXPECT_FALSE(segment.contains(QLatin1Char('?')));
    EXPECT_FALSE(segment.contains(QLatin1Char('#')));
    EXPECT_EQ(QUrl::fromPercentEncoding(segment.toLatin1()), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Values, PathSegment,
    ::testing::Values(SegmentCase{"plain", QStringLiteral("web-01.example.org"), QStringLiteral("web-01.example.org")},
                      SegmentCase{"cidr", QStringLiteral("192.0.2.0/29"), QStringLiteral("192.0.2.0%2F29")},
                      SegmentCase{"ipv6", QStringLiteral("2001:db8::/56"), QStringLiteral("2001:db8::%2F56")},
                      SegmentCase{"mac", QStringLiteral("02:00:00:0a:ff:10"), QStringLiteral("02:00:00:0a:ff:10")},
                      SegmentCase{"query", QStringLiteral("a?b=c&d#e"), QStringLiteral("a%3Fb%3Dc%26d%23e")},
                      SegmentCase{"percent", QStringLiteral("50%2F"), QStringLiteral("50%252F")},
                      SegmentCase{"blank", QStringLiteral("a b"), QStringLiteral("a%20b")},
                      SegmentCase{"quotes", QStringLiteral("\"x\\y'\n"), QStringLiteral("%22x%5Cy%27%0A")},
                      SegmentCase{"umlaut", QStringLiteral("bücher"), QStringLiteral("b%C3%BCcher")}),
    [](const ::testing::TestParamInfo<SegmentCase>& info) { return std::string(info.param.name); });

TEST(ApiPath, FixedPartsStayAndValuesAreEncoded) {
    EXPECT_EQ(ApiPath("ip")
                  .value(QStringLiteral("192.0.2.0/29"))
                  .fixed("firewall")
                  .value(QStringLiteral("192.0.2.0"))
                  .fixed("rule")
                  .value(qint64(-5))
                  .toString(),
              QStringLiteral("/ip/192.0.2.0%2F29/firewall/192.0.2.0/rule/-5"));
    EXPECT_EQ(ApiPath("domain/zone").value(QStringLiteral("a/../b")).fixed("refresh").toString(),
              QStringLiteral("/domain/zone/a%2F..%2Fb/refresh"));
}

TEST(PathSegment, TextThatUtf8CannotHoldStaysApartAndIsRefused) {
    const QString high = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");
    const QString low = QStringLiteral("x") + QChar(0xDC00) + QStringLiteral("y");
    const QStringList others{high, low, QStringLiteral("x\uFFFDy"), QStringLiteral("x?y"), QStringLiteral("xy")};
    QSet<QString> segments;
    for (const QString& value : others)
        segments.insert(pathSegment(value));
    EXPECT_EQ(segments.size(), others.size()) << "two values share one segment";
    for (const QString& value : {high, low})
        EXPECT_TRUE(pathFault(ApiPath("domain").value(value).fixed("glueRecord").toString()).has_value());
    EXPECT_FALSE(pathFault(ApiPath("domain").value(QStringLiteral("x\U0001F600y")).toString()).has_value());
}

TEST(PathFault, EmptySegmentsAndUndecodableTextAreFaults) {
    struct Case {
        const char* path;
        bool fault;
    };
    const Case cases[] = {
        {"/domain/example.org", false},
        {"/ip/192.0.2.0%2F29/reverse/192.0.2.1", false},
        {"/domain/b%C3%BCcher", false},
        {"/x/%2F", false},
        {"/domain/", true},
        {"/ip//reverse/", true},
        {"//evil.example/x", true},
        {"/", true},
        {"", true},
        {"/domain/b%C3", true},
        {"/domain/%FF", true},
        {"/domain/x%ED%A0%80y", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pathFault(QString::fromLatin1(c.path)).has_value(), c.fault) << c.path;
}

TEST(ReadablePath, ShowsTheRawValues) {
    EXPECT_EQ(readablePath(ApiPath("meshbay").value(QStringLiteral("pn 1")).fixed("dedicatedServer").toString()),
              QStringLiteral("/meshbay/pn 1/dedicatedServer"));
    EXPECT_EQ(readablePath(ApiPath("ip").value(QStringLiteral("192.0.2.0/29")).fixed("move").toString()),
              QStringLiteral("/ip/192.0.2.0/29/move"));
    EXPECT_EQ(readablePath(ApiPath("x").value(QStringLiteral("50%2F bücher")).toString()),
              QStringLiteral("/x/50%2F bücher"));
}

TEST(OrderedJsonObject, KeepsInsertionOrderAndEscapesValues) {
    OrderedJsonObject body{
        {"zeta", QStringLiteral("\"quoted\" \\ back\nline\ttab")}, {"alpha", qint64(3600)}, {"mid", true}};
    body.insert("list", QJsonArray{QStringLiteral("x"), 2});
    body.insert("nested", OrderedJsonObject{{"to", qint64(2)}, {"from", qint64(1)}});

    const QByteArray text = body.toJson();
    EXPECT_EQ(text, QByteArrayLiteral(R"({"zeta":"\"quoted\" \\ back\nline\ttab","alpha":3600,"mid":true,)"
                                      R"("list":["x",2],"nested":{"to":2,"from":1}})"));

    QJsonParseError error{};
    const QJsonObject parsed = QJsonDocument::fromJson(text, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(parsed.value(QStringLiteral("zeta")).toString(), QStringLiteral("\"quoted\" \\ back\nline\ttab"));
    EXPECT_EQ(parsed.value(QStringLiteral("nested")).toObject().value(QStringLiteral("from")).toInt(), 1);
}

TEST(OrderedJsonObject, EmptyObjectAndControlCharacters) {
    EXPECT_EQ(OrderedJsonObject().toJson(), QByteArrayLiteral("{}"));
    const QByteArray text = OrderedJsonObject{{"k", QString(QString(QChar(0x01)) + QStringLiteral("ü"))}}.toJson();
    const QJsonDocument parsed = QJsonDocument::fromJson(text);
    ASSERT_TRUE(parsed.isObject()) << text.constData();
    EXPECT_EQ(parsed.object().value(QStringLiteral("k")).toString(), QString(QChar(0x01)) + QStringLiteral("ü"));
}

} // namespace
