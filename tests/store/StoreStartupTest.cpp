// Start-up, reading, navigation and confirmation of the store.

#include "store/DemoData.h"
#include "support/QtPrinters.h"
#include "support/StoreHarness.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

using halvo::test::StoreHarness;

HalvoAccountSnapshot snapshotWithDomain(const QString& name) {
    HalvoAccountSnapshot snapshot;
    snapshot.updatedAt = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);
    HalvoDomain domain;
    domain.domain = name;
    snapshot.domains.append(domain);
    return snapshot;
}

TEST(StoreStartup, EmptyCacheGetsTheDemonstrationDataSavedAndActive) {
    StoreHarness harness;
    AppStateStore& store = harness.store();

    ASSERT_FALSE(store.accounts().isEmpty());
    ASSERT_TRUE(store.activeAccountId().has_value());
    EXPECT_EQ(*store.activeAccountId(), store.accounts().first().id);
    EXPECT_EQ(store.activeAccount()->id, store.accounts().first().id);
    EXPECT_EQ(store.snapshots().size(), store.accounts().size());
    EXPECT_EQ(store.activeSnapshot().accountId, store.accounts().first().id);
    EXPECT_EQ(store.selectedSection(), NavigationSection::domains);
    EXPECT_EQ(store.lastActionMessage(), QStringLiteral("Bereit – Halvo Live API v1 & SQLite3 Instant-Cache"));
    EXPECT_TRUE(store.searchText().isEmpty());
    EXPECT_FALSE(store.pendingConfirmation().has_value());

    // What the store uses is what a second start finds in the cache.
    harness.cache().flush();
    SQLiteCacheEngine reopened(harness.cachePath());
    EXPECT_EQ(reopened.loadAccounts(), store.accounts());
    EXPECT_EQ(reopened.loadSnapshots(), store.snapshots());
}

TEST(StoreStartup, CachedAccountIsUsedWithoutDemonstrationData) {
    const auto harness = StoreHarness::withSnapshot(snapshotWithDomain(QStringLiteral("example.org")));
    const AppStateStore& store = harness->store();

    ASSERT_EQ(store.accounts().size(), 1);
    EXPECT_EQ(store.accounts().first().label, QStringLiteral("Test-Account"));
    const HalvoAccountSnapshot active = store.activeSnapshot();
    EXPECT_EQ(active.accountId, store.accounts().first().id);
    ASSERT_EQ(active.domains.size(), 1);
    EXPECT_EQ(active.domains.first().domain, QStringLiteral("example.org"));
}

TEST(StoreStartup, ActiveAccountWithoutSnapshotReadsAsEmptySnapshotDatedNow) {
    // An account in the cache, but no snapshot row for it.
    QTemporaryDir dir;
    SQLiteCacheEngine cache(dir.filePath(QStringLiteral("c.sqlite3")));
    HalvoAccount account;
    account.id = QUuid::createUuid();
    account.label = QStringLiteral("Ohne Snapshot");
    ASSERT_TRUE(cache.saveAccounts({account}));
    halvo::test::MemoryCredentialStore credentials;
    HalvoAPIClient api(HalvoAPIClient::BaseUrls{});
    AppStateStore store(cache, credentials, api);
    const QDateTime now = QDateTime::fromSecsSinceEpoch(1'650'000'000, Qt::UTC);
    store.setClock([now] { return now; });

    QSignalSpy changed(&store, &AppStateStore::snapshotsChanged);
    const HalvoAccountSnapshot empty = store.activeSnapshot();
    EXPECT_EQ(empty.updatedAt, now);
    EXPECT_TRUE(empty.domains.isEmpty() && empty.vpsList.isEmpty() && empty.dedicatedServers.isEmpty() &&
                empty.ipBlocks.isEmpty());
    // Reading changes nothing.
    EXPECT_TRUE(store.snapshots().isEmpty());
    EXPECT_EQ(changed.count(), 0);
}

TEST(StoreNavigation, SettersPublishOnlyRealChanges) {
    StoreHarness harness;
    AppStateStore& store = harness.store();
    QSignalSpy section(&store, &AppStateStore::selectedSectionChanged);
    QSignalSpy search(&store, &AppStateStore::searchTextChanged);
    QSignalSpy message(&store, &AppStateStore::lastActionMessageChanged);

    store.setSelectedSection(NavigationSection::ipRdns);
    store.setSelectedSection(NavigationSection::ipRdns);
    EXPECT_EQ(store.selectedSection(), NavigationSection::ipRdns);
    EXPECT_EQ(section.count(), 1);

    // The search text is kept exactly, blanks included.
    store.setSearchText(QStringLiteral("  Web "));
    EXPECT_EQ(store.searchText(), QStringLiteral("  Web "));
    store.setSearchText(QStringLiteral("  Web "));
    EXPECT_EQ(search.count(), 1);

    store.setLastActionMessage(QStringLiteral("Kopiert."));
    EXPECT_EQ(store.lastActionMessage(), QStringLiteral("Kopiert."));
    EXPECT_EQ(message.count(), 1);
}

TEST(StoreConfirmation, NewRequestReplacesThePendingOneAndClearingTakesItAway) {
    StoreHarness harness;
    AppStateStore& store = harness.store();
    QSignalSpy pending(&store, &AppStateStore::pendingConfirmationChanged);
    int ran = 0;

    HalvoConfirmRequest first;
    first.title = QStringLiteral("Erste");
    first.action = [&ran] { ran += 1; };
    HalvoConfirmRequest second;
    second.title = QStringLiteral("Zweite");
    second.variant = HalvoButtonVariant::danger;
    second.action = [&ran] { ran += 10; };

    store.requestConfirmation(first);
    store.requestConfirmation(second);
    ASSERT_TRUE(store.pendingConfirmation().has_value());
    EXPECT_EQ(store.pendingConfirmation()->title, QStringLiteral("Zweite"));
    EXPECT_EQ(store.pendingConfirmation()->id, second.id);
    EXPECT_EQ(pending.count(), 2);
    // Publishing runs nothing; the sheet does, on confirmation.
    EXPECT_EQ(ran, 0);
    store.pendingConfirmation()->action();
    EXPECT_EQ(ran, 10);

    store.clearPendingConfirmation();
    EXPECT_FALSE(store.pendingConfirmation().has_value());
    store.clearPendingConfirmation();
    EXPECT_EQ(pending.count(), 3);
}

} // namespace
