// The request step of the store: when it sends, in which order, and how failures end in the status line.

#include "support/FakeHalvoServer.h"
#include "support/QtPrinters.h"
#include "support/StoreHarness.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
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
/// The same path with its raw values, as status sentences show it.
const QString kFirewallShownPath = QStringLiteral("/ip/192.0.2.0/29/firewall/192.0.2.0");

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
    EXPECT_TRUE(store.hasPendingRequests());
    ASSERT_TRUE(harness->waitUntilRequestsSettled());

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

    QSignalSpy settled(&store, &AppStateStore::requestsSettled);
    store.toggleEdgeFirewall(kBlock);
    ASSERT_TRUE(settled.wait(5000));
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
    ASSERT_TRUE(harness.waitUntilRequestsSettled());

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
        QStringLiteral("API Rückmeldung (PUT ") + kFirewallShownPath + QStringLiteral("): ") + GetParam().description;
    EXPECT_TRUE(QTest::qWaitFor([&] { return store.lastActionMessage() == expected; }, 5000))
        << store.lastActionMessage().toStdString();
    EXPECT_EQ(store.lastActionMessageKind(), AppStateStore::MessageKind::failure);
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
    const QString prefix = QStringLiteral("API Rückmeldung (PUT ") + kFirewallShownPath + QStringLiteral("): ");
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

HalvoAccountSnapshot seedWithVpsAndServer() {
    HalvoAccountSnapshot s = seed();
    HalvoVPS first;
    first.name = QStringLiteral("vps-1");
    first.state = QStringLiteral("running");
    HalvoVPS second;
    second.name = QStringLiteral("vps-2");
    s.vpsList = {first, second};
    HalvoServer server;
    server.name = QStringLiteral("ns3001");
    s.dedicatedServers = {server};
    return s;
}

struct ItemOrderCase {
    const char* name;
    FakeHalvoServer::Answer firstAnswer;
};

class StoreRequestOrderPerItem : public ::testing::TestWithParam<ItemOrderCase> {};

TEST_P(StoreRequestOrderPerItem, LaterActionOnTheSameItemWaitsForEveryAnswerOfTheEarlier) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seedWithVpsAndServer(), server.baseUrl());
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);
    server.answerOnce("PUT", "/vps/vps-1", GetParam().firstAnswer);

    store.performVPSPowerAction(QStringLiteral("vps-1"), QStringLiteral("rescue"));
    store.performVPSPowerAction(QStringLiteral("vps-1"), QStringLiteral("stop"));
    ASSERT_TRUE(server.waitForApiRequests(3));
    ASSERT_TRUE(harness->waitUntilRequestsSettled());

    const auto requests = server.apiRequests();
    ASSERT_EQ(requests.size(), 3);
    const auto line = [&](int i) { return QByteArray(requests[i].method + ' ' + requests[i].path()); };
    EXPECT_EQ(line(0), "PUT /vps/vps-1");
    EXPECT_EQ(requests[0].body, R"({"netbootMode":"rescue"})");
    EXPECT_EQ(line(1), "POST /vps/vps-1/reboot");
    EXPECT_EQ(line(2), "POST /vps/vps-1/stop");
    // Each one reached the server only after the answer to the one before had gone out.
    EXPECT_EQ(requests[1].answersSentBefore, requests[0].answersSentBefore + 1);
    EXPECT_EQ(requests[2].answersSentBefore, requests[1].answersSentBefore + 1);
    EXPECT_EQ(store.activeSnapshot().vpsList.first().state, QStringLiteral("stopped"));
}

INSTANTIATE_TEST_SUITE_P(All, StoreRequestOrderPerItem,
                         ::testing::Values(ItemOrderCase{"slowSuccess", FakeHalvoServer::Answer(200, "null", 300)},
                                           ItemOrderCase{"slowFailure", FakeHalvoServer::Answer(500, "busy", 300)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StoreRequestOrder, OtherItemsAreNotHeldBack) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seedWithVpsAndServer(), server.baseUrl());
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);
    server.answer("PUT", "/vps/vps-1", FakeHalvoServer::Answer::never());

    store.performVPSPowerAction(QStringLiteral("vps-1"), QStringLiteral("rescue"));
    ASSERT_TRUE(server.waitForApiRequests(1));
    store.performVPSPowerAction(QStringLiteral("vps-1"), QStringLiteral("stop"));
    store.toggleVPSSLAMonitoring(QStringLiteral("vps-2"));
    store.toggleEdgeFirewall(kBlock);
    ASSERT_TRUE(server.waitForApiRequests(3));

    // The two other items went out while the first VPS still waits for its answer; its reboot and its stop
    // wait behind it.
    QList<QByteArray> paths;
    for (const auto& request : server.apiRequests())
        paths.append(QByteArray(request.method + ' ' + request.path()));
    ASSERT_EQ(paths.size(), 3);
    EXPECT_EQ(paths[0], "PUT /vps/vps-1");
    EXPECT_EQ(QSet<QByteArray>(paths.begin() + 1, paths.end()),
              (QSet<QByteArray>{"PUT /vps/vps-2", "PUT " + kFirewallPath.toLatin1()}))
        << paths.join(", ").constData();
    EXPECT_TRUE(store.hasPendingRequests());
}

TEST(StoreRequestStep, FailureSentenceShowsThePathWithItsRawValues) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seedWithVpsAndServer(), server.baseUrl());
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);
    server.answer("POST", "/meshbay/pn%201/dedicatedServer", FakeHalvoServer::Answer(404, "Meshbay unbekannt"));

    store.toggleDedicatedServerMeshbay(QStringLiteral("ns3001"), QStringLiteral("pn 1"));
    ASSERT_TRUE(harness->waitUntilRequestsSettled());
    ASSERT_EQ(server.apiRequests().size(), 1);
    EXPECT_EQ(server.apiRequests().first().target, "/1.0/meshbay/pn%201/dedicatedServer");
    EXPECT_EQ(store.lastActionMessage(),
              QStringLiteral("API Rückmeldung (POST /meshbay/pn 1/dedicatedServer): Meshbay unbekannt"));
    EXPECT_EQ(store.lastActionMessageKind(), AppStateStore::MessageKind::failure);

    // The next action's own sentence is no failure.
    store.toggleEdgeFirewall(kBlock);
    EXPECT_EQ(store.lastActionMessage(), kFirewallSentence);
    EXPECT_EQ(store.lastActionMessageKind(), AppStateStore::MessageKind::report);
}

struct UnsendableCase {
    const char* name;
    std::function<void(AppStateStore&)> act;
    QString sentence;
};

void PrintTo(const UnsendableCase& c, std::ostream* os) {
    *os << c.name;
}

const QString kLoneSurrogateName = QStringLiteral("x") + QChar(0xD800) + QStringLiteral("y");

class StoreUnsendablePath : public ::testing::TestWithParam<UnsendableCase> {};

TEST_P(StoreUnsendablePath, IsNotSentAndTheSentenceSaysItFailed) {
    HalvoAccountSnapshot s = seed();
    HalvoDomain unnamed;
    s.domains.append(unnamed);
    HalvoVPS odd;
    odd.name = kLoneSurrogateName;
    s.vpsList = {odd};
    s.ipBlocks[0].reverseEntries = {{QString(), QStringLiteral("host.example.org.")}};
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(s, server.baseUrl());
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);

    GetParam().act(store);
    ASSERT_TRUE(harness->waitUntilRequestsSettled());
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_TRUE(store.lastActionMessage().startsWith(GetParam().sentence)) << store.lastActionMessage().toStdString();
    EXPECT_EQ(store.lastActionMessageKind(), AppStateStore::MessageKind::failure);
}

const QString kEmptySegment = QStringLiteral("Anfrage nicht gesendet – leerer Abschnitt im Pfad.");

INSTANTIATE_TEST_SUITE_P(
    All, StoreUnsendablePath,
    ::testing::Values(
        UnsendableCase{"emptyDomain", [](AppStateStore& s) { s.toggleDomainTransferLock(QString()); },
                       QStringLiteral("API Rückmeldung (PUT /domain/): ") + kEmptySegment},
        UnsendableCase{"emptyAddress", [](AppStateStore& s) { s.deleteReverseDNS(kBlock, QString()); },
                       QStringLiteral("API Rückmeldung (DELETE /ip/192.0.2.0/29/reverse/): ") + kEmptySegment},
        UnsendableCase{"emptyRecordDomainStopsBeforeTheRefresh",
                       [](AppStateStore& s) { s.deleteDNSRecord(QString(), 7); },
                       QStringLiteral("API Rückmeldung (POST /domain/zone//refresh): ") + kEmptySegment},
        UnsendableCase{"loneSurrogate", [](AppStateStore& s) { s.toggleVPSSLAMonitoring(kLoneSurrogateName); },
                       QStringLiteral("API Rückmeldung (PUT /vps/x")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoreUnsendablePath, LoneSurrogateSentenceNamesTheReason) {
    HalvoAccountSnapshot s = seed();
    HalvoVPS odd;
    odd.name = kLoneSurrogateName;
    s.vpsList = {odd};
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(s, server.baseUrl());
    harness->credentials().items.insert(*harness->store().activeAccountId(), kComplete);

    harness->store().toggleVPSSLAMonitoring(kLoneSurrogateName);
    ASSERT_TRUE(harness->waitUntilRequestsSettled());
    EXPECT_TRUE(harness->store().lastActionMessage().endsWith(QStringLiteral(
        "): Anfrage nicht gesendet – der Pfad enthält Text, der sich nicht verlustfrei kodieren lässt.")))
        << harness->store().lastActionMessage().toStdString();
    EXPECT_TRUE(server.requests().isEmpty());
}

struct BoundedAnswerCase {
    const char* name;
    FakeHalvoServer::Answer answer;
    QString description;
};

class StoreBoundedAnswer : public ::testing::TestWithParam<BoundedAnswerCase> {};

TEST_P(StoreBoundedAnswer, EndsAsTheUsualFailureSentence) {
    FakeHalvoServer server;
    HalvoAPILimits limits;
    limits.maxBodyBytes = 64 * 1024;
    limits.deadlineMs = 1200;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl(), limits);
    AppStateStore& store = harness->store();
    harness->credentials().items.insert(*store.activeAccountId(), kComplete);
    server.answer("PUT", kFirewallPath.toLatin1(), GetParam().answer);

    store.toggleEdgeFirewall(kBlock);
    ASSERT_TRUE(harness->waitUntilRequestsSettled(10000));
    EXPECT_EQ(store.lastActionMessage(), QStringLiteral("API Rückmeldung (PUT ") + kFirewallShownPath +
                                             QStringLiteral("): ") + GetParam().description);
    EXPECT_EQ(store.lastActionMessageKind(), AppStateStore::MessageKind::failure);
    EXPECT_TRUE(firewallOn(store));
}

INSTANTIATE_TEST_SUITE_P(
    All, StoreBoundedAnswer,
    ::testing::Values(
        BoundedAnswerCase{"hugeBody", FakeHalvoServer::Answer::huge(1024LL * 1024 * 1024, false),
                          QStringLiteral("Antwort zu groß: mehr als 64 KiB, Übertragung abgebrochen.")},
        BoundedAnswerCase{"endlessBody", FakeHalvoServer::Answer::endless(),
                          QStringLiteral("Antwort zu groß: mehr als 64 KiB, Übertragung abgebrochen.")},
        BoundedAnswerCase{"oneByteASecond", FakeHalvoServer::Answer::trickle("null"),
                          QStringLiteral("Zeitüberschreitung: keine vollständige Antwort innerhalb von 1.2 s.")},
        // Within the limit, but far longer than a line: cut where the line ends.
        BoundedAnswerCase{
            "longErrorBody", FakeHalvoServer::Answer(400, QByteArray(60 * 1024, 'x')),
            QString(AppStateStore::kMaxMessageLength - 1 -
                        (QStringLiteral("API Rückmeldung (PUT ") + kFirewallShownPath + QStringLiteral("): ")).size(),
                    u'x') +
                QStringLiteral("…")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoreSecrets, ServerEchoingTheRequestCannotPutTheKeysIntoTheStatusLine) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    AppStateStore& store = harness->store();
    const KeychainCredentials secrets{QStringLiteral("AS-very-secret-4711"), QStringLiteral("CK-very-secret-0815")};
    harness->credentials().items.insert(*store.activeAccountId(), secrets);
    server.answer("PUT", kFirewallPath.toLatin1(), FakeHalvoServer::Answer::echo(400));

    store.toggleEdgeFirewall(kBlock);
    ASSERT_TRUE(harness->waitUntilRequestsSettled());
    const QString line = store.lastActionMessage();
    ASSERT_TRUE(line.startsWith(QStringLiteral("API Rückmeldung (PUT ") + kFirewallShownPath)) << line.toStdString();
    // The echo holds both keys, and both fall within the part of it that the line shows.
    EXPECT_TRUE(line.contains(QStringLiteral("x-halvo-application: … ")) ||
                line.contains(QStringLiteral("x-halvo-application: …x-")))
        << line.toStdString();
    EXPECT_TRUE(line.contains(QStringLiteral("x-halvo-consumer: …"))) << line.toStdString();
    EXPECT_FALSE(line.contains(secrets.consumerKey));
    EXPECT_FALSE(line.contains(QStringLiteral("test-application-key")));
    EXPECT_FALSE(line.contains(secrets.appSecret));
    EXPECT_FALSE(line.contains(QLatin1Char('\n')));
    EXPECT_FALSE(line.contains(QLatin1Char('\r')));
    EXPECT_LE(line.size(), AppStateStore::kMaxMessageLength);
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
