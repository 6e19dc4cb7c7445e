// The request step of the store: when it sends, in which order, and how failures end in the status line.

#include "support/FakeHalvoServer.h"
#include "support/QtPrinters.h"
#include "support/StoreHarness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using halvo::test::FakeHalvoServer;
using halvo::test::MemoryCredentialStore;
using halvo::test::StoreHarness;

const QString kBlock = QStringLiteral("192.0.2.0/29");
const QString kDomain = QStringLiteral("example.org");
const QString kFirewallSentence = QStringLiteral("IP-Block 192.0.2.0/29: Edge-Firewall aktiviert.");
const QString kFirewallPath = QStringLiteral("/ip/192.0.2.0%2F29/firewall/192.0.2.0");

HalvoAccountSnapshot seed() {
    HalvoAccountSnapshot s;
    s.updatedAt = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
    HalvoIPBlock block;
    block.ipBlock = kBlock;
    s.ipBlocks = {block};
    HalvoDomain domain;
    domain.domain = kDomain;
    s.domains = {domain};
    return s;
}

const KeychainCredentials kComplete{QStringLiteral("test-application-secret"), QStringLiteral("ck")};

bool firewallOn(const AppStateStore& store) {
    return store.activeSnapshot().ipBlocks.value(0).firewallEnabled;
}

struct CredentialCase {
    const char* name;
    std::optional<KeychainCredentials> credentials;
};

class StoreWithoutCompleteCredentials : public ::testing::TestWithParam<CredentialCase> {};

TEST_P(StoreWithoutCompleteCredentials, SendsNothingReportsNothingKeepsTheChange) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    AppStateStore& store = harness->store();
    if (GetParam().credentials)
        harness->credentials().items.insert(*store.activeAccountId(), *GetParam().credentials);

    store.toggleEdgeFirewall(kBlock);
    store.performAPIAction(QStringLiteral("GET"), QStringLiteral("/me"), std::nullopt);
    QTest::qWait(200);

    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(store.lastActionMessage(), kFirewallSentence);
    EXPECT_TRUE(firewallOn(store));
}

INSTANTIATE_TEST_SUITE_P(All, StoreWithoutCompleteCredentials,
                         ::testing::Values(CredentialCase{"none", std::nullopt},
                                           CredentialCase{"noSecret", KeychainCredentials{{}, QStringLiteral("ck")}},
                                           CredentialCase{"noConsumerKey",
                                                          KeychainCredentials{QStringLiteral("secret"), {}}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StoreWithoutCompleteCredentials, AccountWithoutApplicationKeySendsNothing) {
    FakeHalvoServer server;
    QTemporaryDir dir;
    SQLiteCacheEngine cache(dir.filePath(QStringLiteral("c.sqlite3")));
    HalvoAccount account;
    account.id = QUuid::createUuid();
    account.label = QStringLiteral("Ohne AK");
    HalvoAccountSnapshot snapshot = seed();
    snapshot.accountId = account.id;
    ASSERT_TRUE(cache.saveAccounts({account}));
    cache.saveSnapshot(snapshot);
    cache.flush();
    MemoryCredentialStore credentials;
    credentials.items.insert(account.id, kComplete);
    HalvoAPIClient api({{HalvoRegion::eu, server.baseUrl()}});
    AppStateStore store(cache, credentials, api);

    store.toggleEdgeFirewall(kBlock);
    QTest::qWait(200);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(store.lastActionMessage(), kFirewallSentence);
}

TEST(StoreWithoutCompleteCredentials, DemonstrationAccountsOnlyChangeTheCache) {
    FakeHalvoServer server;
    StoreHarness harness(server.baseUrl());
    AppStateStore& store = harness.store();
    const HalvoAccountSnapshot before = store.activeSnapshot();
    ASSERT_FALSE(before.domains.isEmpty());
    const QString domain = before.domains.first().domain;

    store.toggleDNSSEC(domain);
    QTest::qWait(200);

    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_NE(store.activeSnapshot().domains.first().dnssecEnabled, before.domains.first().dnssecEnabled);
    EXPECT_TRUE(store.lastActionMessage().startsWith(QStringLiteral("Domain ") + domain + QStringLiteral(": DNSSEC ")));
    harness.cache().flush();
    EXPECT_EQ(harness.cache().loadSnapshots().value(*store.activeAccountId()).domains.first().dnssecEnabled,
              store.activeSnapshot().domains.first().dnssecEnabled);
}

struct FailureCase {
    const char* name;
    FakeHalvoServer::Answer answer;
    QString description;
};

class StoreRequestFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(StoreRequestFailure, EndsAsApiFeedbackAndKeepsTheChange) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    harness->api().setTransferTimeout(300);
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);
    server.answer("PUT", kFirewallPath.toLatin1(), GetParam().answer);

    store.toggleEdgeFirewall(kBlock);
    EXPECT_EQ(store.lastActionMessage(), kFirewallSentence);
    const QString expected =
        QStringLiteral("API Rückmeldung (PUT ") + kFirewallPath + QStringLiteral("): ") + GetParam().description;
    EXPECT_TRUE(QTest::qWaitFor([&] { return store.lastActionMessage() == expected; }, 5000))
        << store.lastActionMessage().toStdString();
    EXPECT_TRUE(firewallOn(store));
    harness->cache().flush();
    EXPECT_TRUE(harness->cache().loadSnapshots().value(*store.activeAccountId()).ipBlocks.value(0).firewallEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    All, StoreRequestFailure,
    ::testing::Values(
        FailureCase{"clientErrorWithBody", FakeHalvoServer::Answer(400, R"({"message":"Invalid rule: \"x\""})"),
                    QStringLiteral(R"({"message":"Invalid rule: \"x\""})")},
        FailureCase{"serverErrorWithoutBody", FakeHalvoServer::Answer(503), QStringLiteral("Unknown Halvo API Error")},
        FailureCase{"timeout", FakeHalvoServer::Answer::never(),
                    QStringLiteral("Zeitüberschreitung: 0.3 s lang keine Antwort vom Server.")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoreRequestFailure, RefusedConnectionEndsAsApiFeedback) {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const QUrl closed(QStringLiteral("http://127.0.0.1:%1/1.0").arg(probe.serverPort()));
    probe.close();
    const auto harness = StoreHarness::withSnapshot(seed(), closed);
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);

    store.toggleEdgeFirewall(kBlock);
    const QString prefix = QStringLiteral("API Rückmeldung (PUT ") + kFirewallPath + QStringLiteral("): ");
    ASSERT_TRUE(QTest::qWaitFor([&] { return store.lastActionMessage().startsWith(prefix); }, 5000))
        << store.lastActionMessage().toStdString();
    EXPECT_TRUE(store.lastActionMessage().contains(QStringLiteral("refused"), Qt::CaseInsensitive));
    EXPECT_FALSE(store.lastActionMessage().contains(kComplete.appSecret));
    EXPECT_TRUE(firewallOn(store));
}

TEST(StoreRequestOrder, SecondRequestFollowsTheAnswerToTheFirstWhateverItWas) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);
    server.answer("POST", "/domain/zone/example.org/record", FakeHalvoServer::Answer(500, "Zone gesperrt", 300));
    store.setRandom([](quint32) { return 1u; });

    store.addDNSRecord(kDomain, QStringLiteral("www"), QStringLiteral("A"), QStringLiteral("192.0.2.80"), 60);
    ASSERT_TRUE(server.waitForApiRequests(2));

    const auto requests = server.apiRequests();
    EXPECT_EQ(requests[0].path(), "/domain/zone/example.org/record");
    EXPECT_EQ(requests[1].path(), "/domain/zone/example.org/refresh");
    // Server time and the record's (failed) answer were both out before the refresh arrived.
    EXPECT_EQ(requests[1].answersSentBefore, requests[0].answersSentBefore + 1);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return store.lastActionMessage() ==
                   QStringLiteral("API Rückmeldung (POST /domain/zone/example.org/record): Zone gesperrt");
        },
        3000))
        << store.lastActionMessage().toStdString();
}

TEST(StoreRequestOrder, FailureOfTheSecondRequestIsTheLastWord) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);
    server.answer("POST", "/domain/zone/example.org/refresh", FakeHalvoServer::Answer(404, "Zone unbekannt"));

    store.deleteDNSRecord(kDomain, 5);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            return store.lastActionMessage() ==
                   QStringLiteral("API Rückmeldung (POST /domain/zone/example.org/refresh): Zone unbekannt");
        },
        3000))
        << store.lastActionMessage().toStdString();
    EXPECT_EQ(server.apiRequests().size(), 2);
}

TEST(StoreRequestStep, PerformApiActionSendsExactlyWhatItIsGiven) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);

    store.performAPIAction(QStringLiteral("POST"), QStringLiteral("/vps/a%20b/reboot"), QByteArray(R"({"x":1})"));
    ASSERT_TRUE(server.waitForApiRequests(1));
    const auto request = server.apiRequests().first();
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.target, "/1.0/vps/a%20b/reboot");
    EXPECT_EQ(request.body, R"({"x":1})");
    EXPECT_TRUE(server.signatureValid(request));
    // Nothing is changed or said by the request step itself.
    EXPECT_EQ(store.lastActionMessage(), AppStateStore::kInitialMessage);
}

TEST(StoreRequestStep, PathLeavingTheBaseIsNeverSent) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);

    // A service name of ".." stays one segment in the path, which a server would fold away.
    store.performAPIAction(QStringLiteral("POST"), QStringLiteral("/meshbay/../dedicatedServer"), std::nullopt);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return store.lastActionMessage().startsWith(QStringLiteral("API Rückmeldung (POST /meshbay/../")); },
        3000));
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST(StoreSecrets, NeverReachTheCacheOrTheStatusLine) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    AppStateStore& store = harness->store();
    const KeychainCredentials secrets{QStringLiteral("AS-very-secret-4711"), QStringLiteral("CK-very-secret-0815")};
    harness->credentials().items.insert(*store.activeAccountId(), secrets);
    server.answer("PUT", kFirewallPath.toLatin1(), FakeHalvoServer::Answer(403, "Invalid signature"));

    store.toggleEdgeFirewall(kBlock);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return store.lastActionMessage().startsWith(QStringLiteral("API Rückmeldung")); }, 3000));
    EXPECT_FALSE(store.lastActionMessage().contains(secrets.appSecret));
    EXPECT_FALSE(store.lastActionMessage().contains(secrets.consumerKey));

    harness->cache().flush();
    const QDir folder = QFileInfo(harness->cachePath()).dir();
    for (const QFileInfo& file : folder.entryInfoList(QDir::Files)) {
        QFile f(file.filePath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        EXPECT_FALSE(bytes.contains(secrets.appSecret.toUtf8())) << file.fileName().toStdString();
        EXPECT_FALSE(bytes.contains(secrets.consumerKey.toUtf8())) << file.fileName().toStdString();
    }
    // The consumer key travels in its header, the secret only inside the signature.
    const auto request = server.apiRequests().first();
    EXPECT_EQ(request.header("X-Halvo-Consumer"), secrets.consumerKey.toUtf8());
    for (const QByteArray& value : request.headers)
        EXPECT_FALSE(value.contains(secrets.appSecret.toUtf8()));
}

TEST(StoreIds, FullIdRangeStillGivesAnUnusedId) {
    HalvoAccountSnapshot s = seed();
    HalvoIPBlock& block = s.ipBlocks[0];
    for (qint64 id = 1000; id < 10000; ++id)
        block.gameRules.append({id, QStringLiteral("p"), 1, 1, QStringLiteral("ok")});
    const auto harness = StoreHarness::withSnapshot(s);
    AppStateStore& store = harness->store();
    store.setRandom([](quint32) -> quint32 {
        ADD_FAILURE() << "drew from an exhausted range";
        return 0;
    });

    store.addGameFirewallRule(kBlock, QStringLiteral("p"), 1, 2);
    const auto rules = store.activeSnapshot().ipBlocks.first().gameRules;
    ASSERT_EQ(rules.size(), 9001);
    EXPECT_EQ(rules.last().id, 10000);
}

TEST(StoreSnapshot, ReadersKeepTheirCopyWhenAnActionChangesTheSnapshot) {
    const auto harness = StoreHarness::withSnapshot(seed());
    AppStateStore& store = harness->store();
    const HalvoAccountSnapshot held = store.activeSnapshot();

    store.toggleEdgeFirewall(kBlock);

    EXPECT_FALSE(held.ipBlocks.first().firewallEnabled);
    EXPECT_TRUE(store.activeSnapshot().ipBlocks.first().firewallEnabled);
}

} // namespace
