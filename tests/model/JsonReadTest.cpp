// The one-pass writer and the fast reader against the QJsonDocument reader: what toJson writes, QJsonDocument
// reads back exactly (as it read the texts of the tree-based writer before), and readJson reads every text
// exactly as fromJson does.

#include "model/JsonRead.h"

#include "model/Account.h"
#include "store/DemoData.h"
#include "support/CaseNames.h"
#include "support/QtPrinters.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>

#include <gtest/gtest.h>

namespace {

using halvo::json::fromJson;
using halvo::json::readJson;
using halvo::json::toJson;

const QDateTime kNow = QDateTime(QDate(2025, 6, 14), QTime(9, 30, 15, 250), Qt::UTC);

bool isUtf8(const QByteArray& text) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(text);
    return !decoder.hasError();
}

/// A domain whose texts (plain, in a list, optional, in a nested record) all carry `text`.
HalvoDomain domainCarrying(const QString& text) {
    HalvoDomain domain;
    domain.domain = text;
    domain.whoisOwner = QStringLiteral("vor ") + text + QStringLiteral(" nach");
    domain.expiration = text;
    domain.nameServers = {text, QStringLiteral("ns1.example.net"), text + text};
    domain.dnsRecords = {{.id = 1,
                          .zone = text,
                          .subDomain = text,
                          .fieldType = QStringLiteral("TXT"),
                          .target = QLatin1Char('"') + text + QLatin1Char('"'),
                          .ttl = 60}};
    domain.glueRecords = {{text, {text}}};
    return domain;
}

QString units(std::initializer_list<char16_t> codes) {
    QString text;
    for (const char16_t code : codes)
        text.append(QChar(code));
    return text;
}

struct HostileText {
    const char* name;
    QString text;
};

void PrintTo(const HostileText& c, std::ostream* os) {
    *os << c.name;
}

QString allControlCharacters() {
    QString text;
    for (char16_t c = 0; c < 0x20; ++c)
        text.append(QChar(c));
    return text + QChar(0x7f);
}

class HostileTexts : public ::testing::TestWithParam<HostileText> {};

TEST_P(HostileTexts, SurviveTheWriterAndBothReadersExactly) {
    const HalvoDomain domain = domainCarrying(GetParam().text);
    const QByteArray json = toJson(domain);
    EXPECT_TRUE(isUtf8(json)) << json.toHex().toStdString();

    // QJsonDocument, the reader of every cache written so far, reads the text and sees the same value.
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    EXPECT_EQ(document.object().value(QStringLiteral("domain")).toString(), GetParam().text);

    EXPECT_EQ(fromJson<HalvoDomain>(json), domain);
    EXPECT_EQ(readJson<HalvoDomain>(json), domain);
    // A second trip writes the same text.
    EXPECT_EQ(toJson(*readJson<HalvoDomain>(json)), json);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HostileTexts,
    ::testing::Values(HostileText{"empty", QString()}, HostileText{"quotes", QStringLiteral("\"v=spf1\" \"a b\"")},
                      HostileText{"backslashes", QStringLiteral("C:\\pfad\\\\ende\\")},
                      HostileText{"escape lookalikes", QStringLiteral("\\u0041 \\n \\\" \\/")},
                      HostileText{"control characters", allControlCharacters()},
                      HostileText{"nul inside", units({u'a', 0, u'b'})},
                      HostileText{"line separators", QStringLiteral("a\u2028b\u2029c")},
                      HostileText{"umlauts and sharp s", QStringLiteral("Grüße aus Köln, STRASSE")},
                      HostileText{"non-BMP characters", QStringLiteral("\U0001F600 \U00010348 \U0010FFFD")},
                      HostileText{"lone high surrogate", units({u'x', 0xd800, u'y'})},
                      HostileText{"lone low surrogate", units({u'x', 0xdc00, u'y'})},
                      HostileText{"surrogates reversed", units({0xdc00, 0xd800})},
                      HostileText{"high surrogate at the end", units({u'a', 0xdbff})},
                      HostileText{"noncharacters and BOM", units({0xfeff, 0xfffe, 0xffff})},
                      HostileText{"markup", QStringLiteral("</script><!-- \x26amp; -->")},
                      HostileText{"long", QString(70000, QLatin1Char('x')) + QStringLiteral("ä\U0001F600")}),
    NamedByItsName());

TEST(JsonRead, EveryDemoRecordReadsAsTheQtReaderReadsIt) {
    const auto demo = halvo::demo::build(kNow);
    for (const HalvoAccount& account : demo.accounts) {
        const QByteArray json = toJson(account);
        EXPECT_EQ(readJson<HalvoAccount>(json), account);
        EXPECT_EQ(fromJson<HalvoAccount>(json), account);
    }
    for (const HalvoAccountSnapshot& snapshot : demo.snapshots) {
        const QByteArray json = toJson(snapshot);
        EXPECT_EQ(readJson<HalvoAccountSnapshot>(json), snapshot);
        EXPECT_EQ(fromJson<HalvoAccountSnapshot>(json), snapshot);
    }
}

TEST(JsonRead, IntegersKeepAll64Bits) {
    for (const qint64 value : {std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min(),
                               qint64(9007199254740993), qint64(-9007199254740993), qint64(0)}) {
        HalvoIPBlock block;
        block.usableHostsCount = value;
        const auto back = readJson<HalvoIPBlock>(toJson(block));
        ASSERT_TRUE(back.has_value()) << value;
        EXPECT_EQ(back->usableHostsCount, value);
    }
}

struct Variant {
    const char* name;
    QByteArray json;
};

void PrintTo(const Variant& c, std::ostream* os) {
    *os << c.name;
}

class TextsOtherWritersMayHaveWritten : public ::testing::TestWithParam<Variant> {};

/// Texts toJson does not write but a reader may meet: the fast reader leaves them to the Qt reader, or reads
/// them the same way.
TEST_P(TextsOtherWritersMayHaveWritten, ReadAsTheQtReaderReadsThem) {
    const QByteArray& json = GetParam().json;
    const auto expected = fromJson<HalvoDNSRecord>(json);
    EXPECT_EQ(readJson<HalvoDNSRecord>(json), expected);
    qsizetype skippedQt = 0;
    qsizetype skippedFast = 0;
    EXPECT_EQ(readJson<HalvoDNSRecord>(json, &skippedFast), fromJson<HalvoDNSRecord>(json, &skippedQt));
    EXPECT_EQ(skippedFast, skippedQt);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TextsOtherWritersMayHaveWritten,
    ::testing::Values(
        Variant{"fields in another order",
                R"({"ttl":60,"target":"t","fieldType":"A","subDomain":"s","zone":"z","id":7})"},
        Variant{"blanks and line breaks",
                " {\n\t\"id\" : 7 ,\r\n\"zone\":\"z\",\"subDomain\":\"s\",\"fieldType\":\"A\",\"target\":\"t\","
                "\"ttl\":60 }\n "},
        Variant{"a whole number with a fraction part",
                R"({"id":7.0,"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":6.0e1})"},
        Variant{"a key written with escapes",
                R"({"\u0069d":7,"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":60})"},
        Variant{"a key twice, the last one counts",
                R"({"id":7,"id":8,"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":60})"},
        Variant{"a broken first of two keys",
                R"({"id":"x","id":8,"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":60})"},
        Variant{"a raw tab inside a text",
                "{\"id\":7,\"zone\":\"a\tb\",\"subDomain\":\"s\",\"fieldType\":\"A\",\"target\":\"t\",\"ttl\":60}"},
        Variant{"a byte order mark starting a text, unescaped",
                "{\"id\":7,\"zone\":\"\xEF\xBB\xBFz\",\"subDomain\":\"s\",\"fieldType\":\"A\",\"target\":\"t\","
                "\"ttl\":60}"},
        Variant{"a lone surrogate escape",
                R"({"id":7,"zone":"a\udc00b","subDomain":"\ud800","fieldType":"A","target":"t","ttl":60})"},
        Variant{
            "unknown keys with nested values",
            R"({"id":7,"x":{"y":[1,{"z":null}]},"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":60})"},
        Variant{"an integer beyond 64 bits",
                R"({"id":9223372036854775808,"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":60})"},
        Variant{"a fraction", R"({"id":7,"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":3600.5})"},
        Variant{"null for a required text",
                R"({"id":7,"zone":null,"subDomain":"s","fieldType":"A","target":"t","ttl":60})"},
        Variant{"invalid UTF-8", "{\"id\":7,\"zone\":\"\xff\",\"subDomain\":\"s\",\"fieldType\":\"A\",\"target\":\"t\","
                                 "\"ttl\":60}"},
        Variant{"something after the record",
                R"({"id":7,"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":60} {})"},
        Variant{"not closed", R"({"id":7,"zone":"z","subDomain":"s","fieldType":"A","target":"t","ttl":60)"}),
    NamedByItsName());

TEST(JsonRead, TextsThatRepeatOrNearlyRepeatReadEachAsWritten) {
    // Equal texts may share their copy; texts that differ in one character, in length, in an escape or only
    // beyond the first hundred bytes must each read as written.
    const QString longText = QString(120, QLatin1Char('x'));
    const QStringList texts = {QStringLiteral("www"),
                               QStringLiteral("www "),
                               QStringLiteral("ww"),
                               QStringLiteral("wwx"),
                               QString(),
                               QStringLiteral("w\"w"),
                               QStringLiteral("w\\w"),
                               QStringLiteral("wäw"),
                               longText,
                               longText + QLatin1Char('y'),
                               longText.left(119) + QLatin1Char('y')};
    HalvoDomain domain;
    domain.domain = QStringLiteral("example.com");
    for (int round = 0; round < 3; ++round) {
        for (qsizetype i = 0; i < texts.size(); ++i)
            domain.dnsRecords.append({.id = round * 100 + i,
                                      .zone = domain.domain,
                                      .subDomain = texts[i],
                                      .fieldType = texts[(i + round) % texts.size()],
                                      .target = texts[texts.size() - 1 - i],
                                      .ttl = 60});
    }
    EXPECT_EQ(readJson<HalvoDomain>(toJson(domain)), domain);
}

/// A snapshot large enough that its lists are read on several threads.
HalvoAccountSnapshot largeSnapshot() {
    HalvoAccountSnapshot snapshot = halvo::demo::build(kNow).snapshots.first();
    const HalvoDomain base = snapshot.domains.first();
    snapshot.domains.clear();
    for (int d = 0; d < 1500; ++d) {
        HalvoDomain domain = base;
        domain.domain = QStringLiteral("kunde-%1.example.com").arg(d);
        domain.dnsRecords.clear();
        for (int r = 0; r < 20; ++r)
            domain.dnsRecords.append({.id = d * 100 + r,
                                      .zone = domain.domain,
                                      .subDomain = QString::number(r),
                                      .fieldType = QStringLiteral("A"),
                                      .target = QStringLiteral("192.0.2.1"),
                                      .ttl = 3600});
        snapshot.domains.append(domain);
    }
    return snapshot;
}

TEST(JsonRead, ALargeSnapshotReadsWholeAndInOrder) {
    const HalvoAccountSnapshot snapshot = largeSnapshot();
    const QByteArray json = toJson(snapshot);
    ASSERT_GT(json.size(), 2 * 1024 * 1024) << "large enough for several threads";
    EXPECT_EQ(readJson<HalvoAccountSnapshot>(json), snapshot);
}

TEST(JsonRead, ALongListGivenTwiceInALargeSnapshotReadsAsTheQtReaderReadsIt) {
    const HalvoAccountSnapshot snapshot = largeSnapshot();
    QByteArray json = toJson(snapshot);
    const QList<HalvoDomain> second = snapshot.domains.mid(7, 3);
    halvo::json::JsonWriter writer;
    writer.write(second);
    // The same key again at the end of the text: its second list counts.
    json.insert(json.size() - 1, ",\"domains\":" + writer.take());
    const auto expected = fromJson<HalvoAccountSnapshot>(json);
    ASSERT_TRUE(expected.has_value());
    EXPECT_EQ(expected->domains, second);
    EXPECT_EQ(readJson<HalvoAccountSnapshot>(json), expected);
}

TEST(JsonRead, OneBadValueInALargeSnapshotFailsItWholeOrSkipsOnlyItsRecord) {
    HalvoAccountSnapshot snapshot = largeSnapshot();
    QByteArray json = toJson(snapshot);
    // The last record of domain 1234: its ttl becomes a fraction.
    const QByteArray record = toJson(snapshot.domains[1234].dnsRecords.last());
    const qsizetype at = json.indexOf(record);
    ASSERT_GE(at, 0);
    json.replace(at, record.size(), QByteArray(record).replace("\"ttl\":3600", "\"ttl\":3600.5"));

    EXPECT_FALSE(readJson<HalvoAccountSnapshot>(json).has_value());
    qsizetype skipped = 0;
    const auto lenient = readJson<HalvoAccountSnapshot>(json, &skipped);
    ASSERT_TRUE(lenient.has_value());
    EXPECT_EQ(skipped, 1);
    snapshot.domains[1234].dnsRecords.removeLast();
    EXPECT_EQ(*lenient, snapshot);
}

struct SkipCase {
    const char* name;
    std::function<void(QJsonObject&)> spoil; ///< spoils the first domain of the demo snapshot
    qsizetype skipped;
    std::function<void(HalvoAccountSnapshot&)> expected; ///< what is left of the snapshot
};

void PrintTo(const SkipCase& c, std::ostream* os) {
    *os << c.name;
}

class LenientReading : public ::testing::TestWithParam<SkipCase> {};

TEST_P(LenientReading, LeavesOutOnlyTheInnermostElementThatDoesNotDecode) {
    const HalvoAccountSnapshot snapshot = halvo::demo::build(kNow).snapshots.first();
    QJsonObject root = QJsonDocument::fromJson(toJson(snapshot)).object();
    QJsonArray domains = root.value(QStringLiteral("domains")).toArray();
    QJsonObject first = domains.at(0).toObject();
    GetParam().spoil(first);
    domains[0] = first;
    root[QStringLiteral("domains")] = domains;
    const QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Compact);

    EXPECT_FALSE(fromJson<HalvoAccountSnapshot>(json).has_value()) << "read strictly, it fails";
    qsizetype skipped = 0;
    const auto read = readJson<HalvoAccountSnapshot>(json, &skipped);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(skipped, GetParam().skipped);
    HalvoAccountSnapshot expected = snapshot;
    GetParam().expected(expected);
    EXPECT_EQ(*read, expected);
}

QJsonObject withValue(QJsonObject object, const QString& key, const QJsonValue& value) {
    object[key] = value;
    return object;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LenientReading,
    ::testing::Values(SkipCase{"a record with a fractional ttl",
                               [](QJsonObject& domain) {
                                   QJsonArray records = domain.value(QStringLiteral("dnsRecords")).toArray();
                                   records[1] = withValue(records.at(1).toObject(), QStringLiteral("ttl"), 3600.5);
                                   domain[QStringLiteral("dnsRecords")] = records;
                               },
                               1, [](HalvoAccountSnapshot& s) { s.domains[0].dnsRecords.removeAt(1); }},
                      SkipCase{"two bad records",
                               [](QJsonObject& domain) {
                                   QJsonArray records = domain.value(QStringLiteral("dnsRecords")).toArray();
                                   records[0] = QStringLiteral("kein Record");
                                   records[2] =
                                       withValue(records.at(2).toObject(), QStringLiteral("id"), QStringLiteral("x"));
                                   domain[QStringLiteral("dnsRecords")] = records;
                               },
                               2,
                               [](HalvoAccountSnapshot& s) {
                                   s.domains[0].dnsRecords.removeAt(2);
                                   s.domains[0].dnsRecords.removeAt(0);
                               }},
                      SkipCase{"a name server that is a number",
                               [](QJsonObject& domain) {
                                   QJsonArray servers = domain.value(QStringLiteral("nameServers")).toArray();
                                   servers[0] = 53;
                                   domain[QStringLiteral("nameServers")] = servers;
                               },
                               1, [](HalvoAccountSnapshot& s) { s.domains[0].nameServers.removeFirst(); }},
                      SkipCase{"a bad field of the domain itself, together with a bad record in it",
                               [](QJsonObject& domain) {
                                   domain[QStringLiteral("dnssecEnabled")] = QStringLiteral("ja");
                                   QJsonArray records = domain.value(QStringLiteral("dnsRecords")).toArray();
                                   records[0] = QStringLiteral("kein Record");
                                   domain[QStringLiteral("dnsRecords")] = records;
                               },
                               1, [](HalvoAccountSnapshot& s) { s.domains.removeFirst(); }}),
    NamedByItsName());

TEST(JsonRead, AFaultOutsideEveryListFailsTheSnapshotEvenLeniently) {
    QJsonObject root = QJsonDocument::fromJson(toJson(halvo::demo::build(kNow).snapshots.first())).object();
    root[QStringLiteral("updatedAt")] = QStringLiteral("gestern");
    qsizetype skipped = 0;
    EXPECT_FALSE(readJson<HalvoAccountSnapshot>(QJsonDocument(root).toJson(), &skipped).has_value());
}

} // namespace
