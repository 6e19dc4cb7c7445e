// The status line of the store: one line of bounded length, no credential in it, and its kind.

#include "support/FakeHalvoServer.h"
#include "support/QtPrinters.h"
#include "support/StoreHarness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using halvo::test::FakeHalvoServer;
using halvo::test::StoreHarness;

constexpr qsizetype kMax = AppStateStore::kMaxMessageLength;
const QString kAppKey = QStringLiteral("test-application-key");

HalvoAccountSnapshot seed() {
    HalvoAccountSnapshot s;
    s.updatedAt = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
    HalvoIPBlock block;
    block.ipBlock = QStringLiteral("192.0.2.0/29");
    s.ipBlocks = {block};
    return s;
}

QString repeated(QChar c, qsizetype count) {
    return QString(count, c);
}

struct LineCase {
    const char* name;
    QString text;
    QString shown;
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class StoreStatusLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(StoreStatusLine, IsOneBoundedLine) {
    const auto harness = StoreHarness::withSnapshot(seed());
    harness->store().setLastActionMessage(GetParam().text);
    EXPECT_EQ(harness->store().lastActionMessage(), GetParam().shown);
}

const QString kHigh = QString(QChar(0xD83D));
const QString kSmiley = QStringLiteral("\U0001F600");

INSTANTIATE_TEST_SUITE_P(
    All, StoreStatusLine,
    ::testing::Values(
        LineCase{"plain", QStringLiteral("IP-Subnetz 192.0.2.0/29 kopiert."),
                 QStringLiteral("IP-Subnetz 192.0.2.0/29 kopiert.")},
        LineCase{"lineBreaksAndTabsAreOneBlank", QStringLiteral("a\r\nb\tc\n\nd\u2028e"), QStringLiteral("a b c d e")},
        LineCase{"otherControlsGo", QStringLiteral("a\x01\x1b[31mb\x7f") + QChar(0x9b) + QStringLiteral("c"),
                 QStringLiteral("a[31mbc")},
        LineCase{"blankBeforeBreakStaysOne", QStringLiteral("Zone \ngesperrt"), QStringLiteral("Zone gesperrt")},
        LineCase{"exactlyTheLimit", repeated(u'a', kMax), repeated(u'a', kMax)},
        LineCase{"oneBeyond", repeated(u'a', kMax + 1), repeated(u'a', kMax - 1) + QStringLiteral("…")},
        LineCase{"megabyte", repeated(u'b', 1024 * 1024), repeated(u'b', kMax - 1) + QStringLiteral("…")},
        LineCase{"controlsDoNotCount", repeated(u'a', kMax - 1) + QStringLiteral("\x01\x02") + QStringLiteral("b"),
                 repeated(u'a', kMax - 1) + QStringLiteral("b")},
        // A cut never splits a character outside the BMP in half.
        LineCase{"pairAtTheCut", repeated(u'a', kMax - 2) + kSmiley + QStringLiteral("tail"),
                 repeated(u'a', kMax - 2) + QStringLiteral("…")},
        LineCase{"pairBeforeTheCut", repeated(u'a', kMax - 3) + kSmiley + QStringLiteral("tail"),
                 repeated(u'a', kMax - 3) + kSmiley + QStringLiteral("…")},
        LineCase{"applicationKey", QStringLiteral("echo: X-Halvo-Application: ") + kAppKey + QStringLiteral(" ok"),
                 QStringLiteral("echo: X-Halvo-Application: … ok")},
        // A key that starts within the shown part goes whole, even where the cut would fall inside it.
        LineCase{"keyAcrossTheCut", repeated(u'a', kMax - 10) + kAppKey + repeated(u'b', 100),
                 repeated(u'a', kMax - 10) + QStringLiteral("…") + repeated(u'b', 8) + QStringLiteral("…")},
        LineCase{"keySplitByALineBreakIsNoKey", QStringLiteral("test-appli\ncation-key"),
                 QStringLiteral("test-appli cation-key")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoreStatusLine, HugeTextsAreBoundedWhereTheStoreSetsThem) {
    const auto harness = StoreHarness::withSnapshot(seed());
    AppStateStore& store = harness->store();
    QSignalSpy changed(&store, &AppStateStore::lastActionMessageChanged);

    // 64 MiB of body text, as a hostile server's error body would make it.
    const QString body = repeated(u'x', 32 * 1024 * 1024) + QStringLiteral("\n") + kAppKey;
    store.setLastActionMessage(QStringLiteral("API Rückmeldung (GET /me): ") + body,
                               AppStateStore::MessageKind::failure);
    EXPECT_EQ(store.lastActionMessage().size(), kMax);
    EXPECT_TRUE(store.lastActionMessage().endsWith(QStringLiteral("…")));
    EXPECT_EQ(changed.count(), 1);

    // Nothing but control characters after the first line: still one bounded line.
    store.setLastActionMessage(QStringLiteral("Kopf") + repeated(QChar(0x01), 8 * 1024 * 1024));
    EXPECT_TRUE(store.lastActionMessage().startsWith(QStringLiteral("Kopf")));
    EXPECT_LE(store.lastActionMessage().size(), kMax);
}

TEST(StoreStatusLine, KindChangesWithTheSentence) {
    const auto harness = StoreHarness::withSnapshot(seed());
    AppStateStore& store = harness->store();
    EXPECT_EQ(store.lastActionMessageKind(), AppStateStore::MessageKind::report);
    QSignalSpy changed(&store, &AppStateStore::lastActionMessageChanged);

    const QString sentence = QStringLiteral("API Rückmeldung (GET /me): Unknown Halvo API Error");
    store.setLastActionMessage(sentence, AppStateStore::MessageKind::failure);
    EXPECT_EQ(store.lastActionMessageKind(), AppStateStore::MessageKind::failure);
    EXPECT_EQ(changed.count(), 1);
    // The same text as a report is a change of its own.
    store.setLastActionMessage(sentence);
    EXPECT_EQ(store.lastActionMessageKind(), AppStateStore::MessageKind::report);
    EXPECT_EQ(changed.count(), 2);
    store.setLastActionMessage(sentence);
    EXPECT_EQ(changed.count(), 2);
}

TEST(StoreStatusLine, CredentialsReadForARequestNeverShowLater) {
    FakeHalvoServer server;
    const auto harness = StoreHarness::withSnapshot(seed(), server.baseUrl());
    AppStateStore& store = harness->store();
    const KeychainCredentials secrets{QStringLiteral("AS-very-secret-4711"), QStringLiteral("CK-very-secret-0815")};
    harness->credentials().items.insert(*store.activeAccountId(), secrets);

    store.toggleEdgeFirewall(QStringLiteral("192.0.2.0/29"));
    ASSERT_TRUE(harness->waitUntilRequestsSettled());
    ASSERT_EQ(server.apiRequests().size(), 1);

    // Whatever text reaches the status line afterwards: a copied value, a view's sentence.
    store.setLastActionMessage(secrets.consumerKey + QStringLiteral(" kopiert."));
    EXPECT_EQ(store.lastActionMessage(), QStringLiteral("… kopiert."));
    store.setLastActionMessage(QStringLiteral("AS=") + secrets.appSecret + QStringLiteral(", CK=") +
                               secrets.consumerKey);
    EXPECT_EQ(store.lastActionMessage(), QStringLiteral("AS=…, CK=…"));
}

} // namespace
