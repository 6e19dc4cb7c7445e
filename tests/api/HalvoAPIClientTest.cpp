// The signed API client against the loopback fake provider.

#include "api/HalvoAPIClient.h"

#include "support/FakeHalvoServer.h"
#include "support/QtPrinters.h"

#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using halvo::test::FakeHalvoServer;

const QString kSecret = QStringLiteral("test-application-secret");
const QString kConsumer = QStringLiteral("consumer-key-1");
constexpr qint64 kLocalSeconds = 1'600'000'000;

HalvoAccount accountIn(HalvoRegion region) {
    HalvoAccount account;
    account.id = QUuid::createUuid();
    account.region = region;
    account.appKey = QStringLiteral("app-key-1");
    return account;
}

HalvoAPIClient::BaseUrls allRegionsAt(const QUrl& base) {
    return {{HalvoRegion::eu, base}, {HalvoRegion::ca, base}, {HalvoRegion::us, base}};
}

QUrl closedPortBase() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1/1.0").arg(port));
}

/// Sends one request and waits for its outcome.
HalvoAPIResult send(HalvoAPIClient& client, const HalvoAccount& account, const QString& method, const QString& path,
                    const std::optional<QByteArray>& body = std::nullopt, const QString& consumer = kConsumer) {
    std::optional<HalvoAPIResult> outcome;
    client.signedRequest(account, kSecret, consumer, method, path, body,
                         [&outcome](const HalvoAPIResult& result) { outcome = result; });
    // Never inside the call itself.
    EXPECT_FALSE(outcome.has_value());
    EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 10000));
    return outcome.value_or(HalvoAPIResult{});
}

class ApiClient : public ::testing::Test {
protected:
    ApiClient()
        : client(allRegionsAt(server.baseUrl())) {
        client.setClock([] { return QDateTime::fromSecsSinceEpoch(kLocalSeconds, Qt::UTC); });
    }

    FakeHalvoServer server;
    HalvoAPIClient client;
};

TEST(ApiSignature, MatchesTheDescribedDigest) {
    // Digests computed independently of this code base.
    EXPECT_EQ(HalvoAPIClient::signature(QStringLiteral("secret-ä"), QStringLiteral("ck-1"), QStringLiteral("POST"),
                                        "https://eu.api.halvo.com/1.0/ip/192.0.2.0%2F29/move", R"({"to":"ns1"})",
                                        1700000123),
              QStringLiteral("$1$dd48b2a5cde4159240a4b6df5d7f4107128bfddf"));
    EXPECT_EQ(HalvoAPIClient::signature(QStringLiteral("AS"), QStringLiteral("CK"), QStringLiteral("GET"),
                                        "https://eu.api.halvo.com/1.0/me", {}, 1),
              QStringLiteral("$1$d5ddfa3515574cd3813d14552a500f9dd0d11fef"));
}

TEST_F(ApiClient, SignedRequestCarriesHeadersBodyAndServerTime) {
    server.setServerTime(1'700'000'000);
    const QByteArray body = R"({"description":"a \"b\" \\ c\nd"})";
    const HalvoAPIResult result =
        send(client, accountIn(HalvoRegion::eu), QStringLiteral("PUT"), QStringLiteral("/ip/192.0.2.0%2F29"), body);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.status, 200);

    const QList<FakeHalvoServer::Request> requests = server.apiRequests();
    ASSERT_EQ(requests.size(), 1);
    const FakeHalvoServer::Request& r = requests.first();
    EXPECT_EQ(r.method, "PUT");
    EXPECT_EQ(r.target, "/1.0/ip/192.0.2.0%2F29");
    EXPECT_EQ(r.body, body);
    EXPECT_EQ(r.header("Content-Type"), "application/json");
    EXPECT_EQ(r.header("X-Halvo-Application"), "app-key-1");
    EXPECT_EQ(r.header("X-Halvo-Consumer"), "consumer-key-1");
    // The local clock is fixed, so the server time is exactly its own.
    EXPECT_EQ(r.header("X-Halvo-Timestamp"), "1700000000");
    EXPECT_TRUE(server.signatureValid(r));
    EXPECT_TRUE(r.header("Cookie").isEmpty());

    server.setAppSecret(QStringLiteral("another secret"));
    EXPECT_FALSE(server.signatureValid(r));
}

TEST_F(ApiClient, ServerTimeIsAskedOncePerRegionEvenForConcurrentRequests) {
    int finished = 0;
    for (int i = 0; i < 3; ++i) {
        client.signedRequest(accountIn(HalvoRegion::eu), kSecret, kConsumer, QStringLiteral("POST"),
                             QStringLiteral("/vps/v%1/reboot").arg(i), std::nullopt,
                             [&finished](const HalvoAPIResult&) { ++finished; });
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished == 3; }, 10000));
    send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("/me"));
    EXPECT_EQ(server.timeRequestCount(), 1);

    send(client, accountIn(HalvoRegion::ca), QStringLiteral("GET"), QStringLiteral("/me"));
    EXPECT_EQ(server.timeRequestCount(), 2);
    for (const auto& r : server.apiRequests())
        EXPECT_TRUE(server.signatureValid(r)) << r.target.constData();
}

TEST_F(ApiClient, FailedServerTimeSignsWithLocalClockAndIsAskedAgain) {
    server.answerOnce("GET", "/auth/time", {503, {}});
    send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("/me"));
    send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("/me"));
    send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("/me"));

    EXPECT_EQ(server.timeRequestCount(), 2);
    const auto requests = server.apiRequests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[0].header("X-Halvo-Timestamp"), QByteArray::number(kLocalSeconds));
    EXPECT_EQ(requests[1].header("X-Halvo-Timestamp"), QByteArray::number(FakeHalvoServer::kDefaultServerTime));
    EXPECT_EQ(requests[2].header("X-Halvo-Timestamp"), QByteArray::number(FakeHalvoServer::kDefaultServerTime));
    EXPECT_TRUE(server.signatureValid(requests[0]));
}

TEST_F(ApiClient, ServerTimeThatIsNoNumberCountsAsFailure) {
    server.answerOnce("GET", "/auth/time", {200, "soon"});
    send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("/me"));
    send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("/me"));
    EXPECT_EQ(server.timeRequestCount(), 2);
    EXPECT_EQ(server.apiRequests().first().header("X-Halvo-Timestamp"), QByteArray::number(kLocalSeconds));
}

TEST_F(ApiClient, HttpStatusErrorsCarryStatusAndBody) {
    struct Case {
        int status;
        QByteArray body;
        QString description;
    };
    const QList<Case> cases{
        {404, R"({"message":"The requested object does not exist"})",
         QStringLiteral(R"({"message":"The requested object does not exist"})")},
        {403, "Zugriff verweigert: ä", QStringLiteral("Zugriff verweigert: ä")},
        {500, {}, QStringLiteral("Unknown Halvo API Error")},
    };
    for (const Case& c : cases) {
        server.answerOnce("POST", "/vps/v1/stop", {c.status, c.body});
        const HalvoAPIResult result =
            send(client, accountIn(HalvoRegion::eu), QStringLiteral("POST"), QStringLiteral("/vps/v1/stop"));
        ASSERT_TRUE(result.error.has_value()) << c.status;
        EXPECT_EQ(result.error->domain, QStringLiteral("HalvoAPI"));
        EXPECT_EQ(result.error->code, c.status);
        EXPECT_EQ(result.error->description, c.description);
    }
}

TEST_F(ApiClient, RedirectIsNotFollowed) {
    FakeHalvoServer::Answer redirect(302);
    redirect.headers.append({QByteArrayLiteral("Location"), QByteArrayLiteral("/1.0/elsewhere")});
    server.answerOnce("GET", "/me", redirect);
    server.answer("GET", "/elsewhere", {200, "{}"});
    const HalvoAPIResult result =
        send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("/me"));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->code, 302);
    EXPECT_EQ(server.apiRequests().size(), 1);
}

TEST(ApiTransport, RefusedConnectionKeepsItsOwnDescription) {
    HalvoAPIClient client(allRegionsAt(closedPortBase()));
    const HalvoAPIResult result =
        send(client, accountIn(HalvoRegion::us), QStringLiteral("GET"), QStringLiteral("/me"));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->domain, QStringLiteral("QNetworkReply"));
    EXPECT_EQ(result.error->code, int(QNetworkReply::ConnectionRefusedError));
    EXPECT_TRUE(result.error->description.contains(QStringLiteral("refused"), Qt::CaseInsensitive))
        << result.error->description.toStdString();
}

TEST_F(ApiClient, SilentServerEndsInTheTransferTimeout) {
    client.setTransferTimeout(300);
    server.answer("DELETE", "/domain/zone/example.org/record/7", FakeHalvoServer::Answer::never());
    const HalvoAPIResult result = send(client, accountIn(HalvoRegion::eu), QStringLiteral("DELETE"),
                                       QStringLiteral("/domain/zone/example.org/record/7"));
    ASSERT_FALSE(result.ok());
    EXPECT_EQ(result.error->domain, QStringLiteral("QNetworkReply"));
    EXPECT_EQ(result.error->description, QStringLiteral("Zeitüberschreitung: 0.3 s lang keine Antwort vom Server."));
}

TEST_F(ApiClient, PathsThatWouldLeaveTheRegionAreNeverSent) {
    const QStringList paths{
        QStringLiteral("/../other"),
        QStringLiteral("/meshbay/../dedicatedServer"),
        QStringLiteral("/./me"),
        QStringLiteral("/meshbay/%2E%2E/x"),
        QStringLiteral("@evil.example/x"),
        QStringLiteral("me"),
        QStringLiteral("/a b"),
    };
    for (const QString& path : paths) {
        const HalvoAPIResult result = send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), path);
        ASSERT_FALSE(result.ok()) << path.toStdString();
        EXPECT_EQ(result.error->code, 400);
    }
    // A doubled slash stays on the same host and below the base path.
    EXPECT_TRUE(
        send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("//evil.example/x")).ok());
    ASSERT_EQ(server.apiRequests().size(), 1);
    EXPECT_EQ(server.apiRequests().first().target, "/1.0//evil.example/x");
}

TEST_F(ApiClient, HeaderBreakingCredentialsAndMethodsAreRefused) {
    EXPECT_FALSE(send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET"), QStringLiteral("/me"), std::nullopt,
                      QStringLiteral("ck\r\nX-Evil: 1"))
                     .ok());
    HalvoAccount account = accountIn(HalvoRegion::eu);
    account.appKey = QStringLiteral("ak\n");
    EXPECT_FALSE(send(client, account, QStringLiteral("GET"), QStringLiteral("/me")).ok());
    EXPECT_FALSE(
        send(client, accountIn(HalvoRegion::eu), QStringLiteral("GET /x HTTP/1.1\r\n"), QStringLiteral("/me")).ok());
    EXPECT_TRUE(server.requests().isEmpty());
}

TEST(ApiRegions, RequestGoesOnlyToTheAccountsRegion) {
    FakeHalvoServer europe;
    FakeHalvoServer canada;
    HalvoAPIClient client({{HalvoRegion::eu, europe.baseUrl()}, {HalvoRegion::ca, canada.baseUrl()}});
    send(client, accountIn(HalvoRegion::ca), QStringLiteral("POST"), QStringLiteral("/vps/v1/start"));
    EXPECT_TRUE(europe.requests().isEmpty());
    ASSERT_EQ(canada.apiRequests().size(), 1);
    EXPECT_EQ(canada.apiRequests().first().target, "/1.0/vps/v1/start");

    // A region without an address sends nothing anywhere.
    EXPECT_FALSE(send(client, accountIn(HalvoRegion::us), QStringLiteral("GET"), QStringLiteral("/me")).ok());
    EXPECT_TRUE(europe.requests().isEmpty());
    EXPECT_EQ(canada.requests().size(), 2);
}

TEST(ApiLifetime, DestroyedClientReportsNothing) {
    FakeHalvoServer server;
    server.answer("GET", "/me", FakeHalvoServer::Answer::never());
    bool called = false;
    {
        HalvoAPIClient client(allRegionsAt(server.baseUrl()));
        client.signedRequest(accountIn(HalvoRegion::eu), kSecret, kConsumer, QStringLiteral("GET"),
                             QStringLiteral("/me"), std::nullopt, [&called](const HalvoAPIResult&) { called = true; });
        ASSERT_TRUE(server.waitForApiRequests(1));
    }
    QTest::qWait(50);
    EXPECT_FALSE(called);
}

} // namespace
