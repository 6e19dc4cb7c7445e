#include "support/StoreHarness.h"

#include <QCoreApplication>
#include <QTest>

namespace halvo::test {

namespace {

/// Runs `job` on the next turn of the event loop, as the keychain's jobs finish.
template <class Job> void later(Job job) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(job), Qt::QueuedConnection);
}

HalvoAPIClient::BaseUrls everyRegionAt(const QUrl& apiBase) {
    HalvoAPIClient::BaseUrls urls;
    for (const HalvoRegion region : kAllRegions)
        urls.insert(region, apiBase);
    return urls;
}

} // namespace

void MemoryCredentialStore::save(const QUuid& accountId, const Credentials& credentials,
                                 std::function<void(bool)> done) {
    items.insert(accountId, credentials);
    later([done = std::move(done)] { done(true); });
}

void MemoryCredentialStore::read(const QUuid& accountId, std::function<void(std::optional<Credentials>)> done) {
    std::optional<Credentials> found;
    if (const auto it = items.constFind(accountId); it != items.constEnd())
        found = *it;
    later([done = std::move(done), found] { done(found); });
}

void MemoryCredentialStore::remove(const QUuid& accountId, std::function<void(bool)> done) {
    const bool removed = items.remove(accountId) > 0;
    later([done = std::move(done), removed] { done(removed); });
}

StoreHarness::StoreHarness(const QUrl& apiBase)
    : StoreHarness(apiBase, std::nullopt, {}) {}

std::unique_ptr<StoreHarness> StoreHarness::withSnapshot(HalvoAccountSnapshot snapshot, const QUrl& apiBase,
                                                         const HalvoAPILimits& limits) {
    return std::unique_ptr<StoreHarness>(new StoreHarness(apiBase, std::move(snapshot), limits));
}

StoreHarness::StoreHarness(const QUrl& apiBase, const std::optional<HalvoAccountSnapshot>& seed,
                           const HalvoAPILimits& limits) {
    m_cache = std::make_unique<SQLiteCacheEngine>(cachePath());
    if (seed) {
        HalvoAccount account;
        account.id = QUuid::createUuid();
        account.label = QStringLiteral("Test-Account");
        account.nichandle = QStringLiteral("te12345-halvo");
        account.email = QStringLiteral("test@example.org");
        account.organisation = QStringLiteral("Beispiel GmbH");
        account.region = HalvoRegion::eu;
        account.appKey = QStringLiteral("test-application-key");
        HalvoAccountSnapshot snapshot = *seed;
        snapshot.accountId = account.id;
        // A snapshot without a date would not survive the cache's JSON form.
        if (!snapshot.updatedAt.isValid())
            snapshot.updatedAt = QDateTime::currentDateTimeUtc();
        m_cache->saveAccounts({account});
        m_cache->saveSnapshot(snapshot);
        m_cache->flush();
    }
    m_api = std::make_unique<HalvoAPIClient>(everyRegionAt(apiBase), limits);
    m_store = std::make_unique<AppStateStore>(*m_cache, m_credentials, *m_api);
}

bool StoreHarness::waitUntilRequestsSettled(int timeoutMs) {
    return QTest::qWaitFor([this] { return !m_store->hasPendingRequests(); }, timeoutMs);
}

QString StoreHarness::cachePath() const {
    return m_dir.filePath(QStringLiteral("halvo_instant_cache.sqlite3"));
}

} // namespace halvo::test
