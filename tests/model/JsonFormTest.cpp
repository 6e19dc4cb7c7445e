#include "model/Account.h"
#include "model/JsonRead.h"
#include "storage/CredentialStore.h"
#include "store/DemoData.h"
#include "support/CaseNames.h"
#include "support/QtPrinters.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <cctype>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

using halvo::json::fromJson;
using halvo::json::toJson;

const QDateTime kNow = QDateTime(QDate(2025, 6, 14), QTime(9, 30, 15, 250), Qt::UTC);

QJsonObject objectOf(const QByteArray& json) {
    return QJsonDocument::fromJson(json).object();
}
QByteArray textOf(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

/// Replaces (or, with an undefined value, removes) the value at a path of keys and array indices.
QJsonValue withValueAt(QJsonValue node, QList<QVariant> path, const QJsonValue& value) {
    if (path.isEmpty())
        return value;
    const QVariant step = path.takeFirst();
    if (step.typeId() == QMetaType::Int) {
        QJsonArray array = node.toArray();
        const int index = step.toInt();
        if (path.isEmpty() && value.isUndefined())
            array.removeAt(index);
        else
            array[index] = withValueAt(array.at(index), path, value);
        return array;
    }
    QJsonObject object = node.toObject();
    const QString key = step.toString();
    if (path.isEmpty() && value.isUndefined())
        object.remove(key);
    else
        object[key] = withValueAt(object.value(key), path, value);
    return object;
}

TEST(JsonForm, EveryDemoRecordSurvivesARoundTripUnchanged) {
    const auto demo = halvo::demo::build(kNow);
    for (const HalvoAccount& account : demo.accounts) {
        const auto back = fromJson<HalvoAccount>(toJson(account));
        ASSERT_TRUE(back.has_value()) << account.label.toStdString();
        EXPECT_EQ(*back, account);
    }
    for (const HalvoAccountSnapshot& snapshot : demo.snapshots) {
        const QByteArray json = toJson(snapshot);
        const auto back = fromJson<HalvoAccountSnapshot>(json);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, snapshot);
        // A second trip yields the same text: nothing drifts (times, numbers, key order).
        EXPECT_EQ(toJson(*back), json);
    }
}

TEST(JsonForm, KeysAreTheFieldNamesAndOptionalsAreLeftOutWhenAbsent) {
    HalvoDomain domain;
    domain.domain = QStringLiteral("example.com");
    QJsonObject object = objectOf(toJson(domain));
    EXPECT_FALSE(object.contains(QStringLiteral("expiration")));
    const QStringList expected{QStringLiteral("domain"),
                               QStringLiteral("nameServerType"),
                               QStringLiteral("dnssecSupported"),
                               QStringLiteral("dnssecEnabled"),
                               QStringLiteral("transferLockStatus"),
                               QStringLiteral("whoisOwner"),
                               QStringLiteral("lastUpdate"),
                               QStringLiteral("dnsRecords"),
                               QStringLiteral("nameServers"),
                               QStringLiteral("pulsenameSupported"),
                               QStringLiteral("glueRecordSupported"),
                               QStringLiteral("pulsenames"),
                               QStringLiteral("glueRecords")};
    QStringList keys = object.keys();
    QStringList sortedExpected = expected;
    keys.sort();
    sortedExpected.sort();
    EXPECT_EQ(keys, sortedExpected);

    // An empty text is a value, not an absence.
    domain.expiration = QString();
    object = objectOf(toJson(domain));
    ASSERT_TRUE(object.contains(QStringLiteral("expiration")));
    EXPECT_EQ(object.value(QStringLiteral("expiration")).toString(), QString());
    EXPECT_EQ(fromJson<HalvoDomain>(toJson(domain))->expiration, std::optional<QString>(QString()));

    const QJsonObject credentials = objectOf(toJson(KeychainCredentials{QStringLiteral("s"), QStringLiteral("c")}));
    EXPECT_EQ(credentials.value(QStringLiteral("appSecret")).toString(), QStringLiteral("s"));
    EXPECT_EQ(credentials.value(QStringLiteral("consumerKey")).toString(), QStringLiteral("c"));
}

TEST(JsonForm, TimesAreWrittenAsIso8601InUtc) {
    const QDateTime berlin(QDate(2025, 3, 30), QTime(1, 59, 59, 7), QTimeZone("Europe/Berlin"));
    HalvoAccount account;
    account.id = QUuid::createUuid();
    account.lastSyncedAt = berlin;
    const QJsonObject object = objectOf(toJson(account));
    EXPECT_EQ(object.value(QStringLiteral("lastSyncedAt")).toString(), QStringLiteral("2025-03-30T00:59:59.007Z"));

    const auto back = fromJson<HalvoAccount>(toJson(account));
    ASSERT_TRUE(back && back->lastSyncedAt);
    EXPECT_EQ(back->lastSyncedAt->toMSecsSinceEpoch(), berlin.toMSecsSinceEpoch());

    // A time with an offset reads as the same instant.
    const auto offset = fromJson<HalvoAccount>(
        textOf(withValueAt(object, {QStringLiteral("lastSyncedAt")}, QStringLiteral("2025-03-30T02:59:59.007+02:00"))
                   .toObject()));
    ASSERT_TRUE(offset && offset->lastSyncedAt);
    EXPECT_EQ(offset->lastSyncedAt->toMSecsSinceEpoch(), berlin.toMSecsSinceEpoch());
}

TEST(JsonForm, EnumerationsAreStoredByTheirRawValue) {
    for (const HalvoAccountCategory category : kAllAccountCategories) {
        for (const HalvoRegion region : kAllRegions) {
            HalvoAccount account;
            account.id = QUuid::createUuid();
            account.category = category;
            account.region = region;
            const QJsonObject object = objectOf(toJson(account));
            EXPECT_EQ(object.value(QStringLiteral("category")).toString(), rawValue(category));
            EXPECT_EQ(object.value(QStringLiteral("region")).toString(), rawValue(region));
            EXPECT_EQ(fromJson<HalvoAccount>(toJson(account)), account);
        }
    }
    EXPECT_EQ(rawValue(HalvoAccountCategory::subAccount), QStringLiteral("Sub-Account / Reseller"));
}

TEST(JsonForm, IntegersKeepAll64Bits) {
    for (const qint64 value : {std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min(),
                               qint64(9007199254740993), qint64(-9007199254740993), qint64(0)}) {
        HalvoIPBlock block;
        block.ipBlock = QStringLiteral("2001:db8::/32");
        block.usableHostsCount = value;
        const auto back = fromJson<HalvoIPBlock>(toJson(block));
        ASSERT_TRUE(back.has_value()) << value;
        EXPECT_EQ(back->usableHostsCount, value);
    }
    // A whole number written as a double is still a whole number.
    HalvoDNSRecord dns;
    dns.id = 1;
    dns.ttl = 60;
    const QJsonObject record = objectOf(toJson(dns));
    const auto written = fromJson<HalvoDNSRecord>(textOf(record).replace("\"ttl\":60", "\"ttl\":6.0e1"));
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(written->ttl, 60);
}

TEST(JsonForm, UnknownKeysAreIgnoredAtEveryLevel) {
    const HalvoAccountSnapshot snapshot = halvo::demo::build(kNow).snapshots.first();
    QJsonValue root = objectOf(toJson(snapshot));
    root = withValueAt(root, {QStringLiteral("schemaVersion")}, 7);
    root = withValueAt(root, {QStringLiteral("domains"), 0, QStringLiteral("registrar")}, QStringLiteral("x"));
    root = withValueAt(root, {QStringLiteral("domains"), 0, QStringLiteral("dnsRecords"), 0, QStringLiteral("weight")},
                       QJsonArray{1, 2});
    root = withValueAt(root, {QStringLiteral("meProfile"), QStringLiteral("currency"), QStringLiteral("rate")}, 1.1);
    const auto back = fromJson<HalvoAccountSnapshot>(textOf(root.toObject()));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, snapshot);
}

struct BrokenCase {
    const char* name;
    QList<QVariant> path;
    QJsonValue value; ///< undefined: the key is removed
};

class BrokenSnapshot : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenSnapshot, DoesNotDecodeAtAll) {
    const BrokenCase& c = GetParam();
    const HalvoAccountSnapshot snapshot = halvo::demo::build(kNow).snapshots.first();
    const QJsonValue broken = withValueAt(objectOf(toJson(snapshot)), c.path, c.value);
    ASSERT_NE(broken.toObject(), objectOf(toJson(snapshot))) << "the case must change the JSON";
    EXPECT_FALSE(fromJson<HalvoAccountSnapshot>(textOf(broken.toObject())).has_value());
    EXPECT_FALSE(halvo::json::readJson<HalvoAccountSnapshot>(textOf(broken.toObject())).has_value());
}

QString k(const char* key) {
    return QString::fromLatin1(key);
}
const QJsonValue kRemoved(QJsonValue::Undefined);

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenSnapshot,
    ::testing::Values(
        BrokenCase{"missing account id", {k("accountId")}, kRemoved},
        BrokenCase{"account id not a UUID", {k("accountId")}, k("account-1")},
        BrokenCase{"time not a time", {k("updatedAt")}, k("gestern")},
        BrokenCase{"time as a number", {k("updatedAt")}, 1718357415},
        BrokenCase{"list as an object", {k("domains")}, QJsonObject{}},
        BrokenCase{"list missing", {k("vpsList")}, kRemoved},
        BrokenCase{"list element not an object", {k("domains"), 1}, k("example.net")},
        BrokenCase{"required text null", {k("domains"), 0, k("domain")}, QJsonValue(QJsonValue::Null)},
        BrokenCase{"nested required key missing", {k("domains"), 0, k("dnsRecords"), 3, k("ttl")}, kRemoved},
        BrokenCase{"integer as text", {k("domains"), 0, k("dnsRecords"), 0, k("ttl")}, k("3600")},
        BrokenCase{"integer with a fraction", {k("domains"), 0, k("dnsRecords"), 0, k("ttl")}, 3600.5},
        BrokenCase{"integer beyond 64 bits", {k("domains"), 0, k("dnsRecords"), 0, k("id")}, 9.3e18},
        BrokenCase{"integer far beyond", {k("ipBlocks"), 0, k("usableHostsCount")}, 1e300},
        BrokenCase{"flag as text", {k("domains"), 0, k("dnssecEnabled")}, k("true")},
        BrokenCase{"flag as number", {k("vpsList"), 0, k("slaMonitoring")}, 1},
        BrokenCase{"text list with a number", {k("domains"), 0, k("nameServers"), 0}, 53},
        BrokenCase{"optional of the wrong type", {k("domains"), 0, k("expiration")}, 20260101},
        BrokenCase{"optional record of the wrong type", {k("meProfile")}, k("ms4711-halvo")},
        BrokenCase{"deep optional text wrong", {k("ipBlocks"), 0, k("firewallRules"), 0, k("destinationPort")}, 22},
        BrokenCase{"text as a number", {k("dedicatedServers"), 0, k("ip")}, 3221225502.0}),
    NamedByItsName());

TEST(JsonForm, TextsThatAreNotARecordDoNotDecode) {
    const QByteArray whole = toJson(halvo::demo::build(kNow).snapshots.first());
    const QList<QByteArray> texts{"",
                                  "{",
                                  "null",
                                  "[]",
                                  "42",
                                  "\"snapshot\"",
                                  "{\"accountId\":",
                                  "{}",
                                  whole.left(whole.size() / 2),
                                  whole.left(whole.size() - 1),
                                  whole + "}",
                                  whole + "x",
                                  QByteArray(whole).replace(':', ';')};
    for (const QByteArray& text : texts) {
        EXPECT_FALSE(fromJson<HalvoAccountSnapshot>(text).has_value()) << text.left(60).toStdString();
        EXPECT_FALSE(halvo::json::readJson<HalvoAccountSnapshot>(text).has_value()) << text.left(60).toStdString();
    }
    const QByteArray account = toJson(halvo::demo::build(kNow).accounts.first());
    for (qsizetype cut = 0; cut < account.size(); ++cut) {
        EXPECT_FALSE(fromJson<HalvoAccount>(account.left(cut)).has_value()) << cut;
        EXPECT_FALSE(halvo::json::readJson<HalvoAccount>(account.left(cut)).has_value()) << cut;
    }
    EXPECT_TRUE(fromJson<HalvoAccount>(account).has_value());
    EXPECT_TRUE(halvo::json::readJson<HalvoAccount>(account).has_value());
}

TEST(JsonForm, AnUnknownRawValueDoesNotDecode) {
    const QJsonObject account = objectOf(toJson(halvo::demo::build(kNow).accounts.first()));
    for (const char* region : {"eu", "Europa", "", "EUROPA (EU.API.HALVO.COM)"})
        EXPECT_FALSE(
            fromJson<HalvoAccount>(textOf(withValueAt(account, {k("region")}, k(region)).toObject())).has_value())
            << region;
    EXPECT_FALSE(
        fromJson<HalvoAccount>(textOf(withValueAt(account, {k("category")}, k("Reseller")).toObject())).has_value());
}

} // namespace
