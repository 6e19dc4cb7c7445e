#pragma once

// A real store for tests: a temporary SQLite cache, an in-memory credential store and an API client
// pointed at a loopback address. Nothing leaves the machine.

#include "api/HalvoAPIClient.h"
#include "model/Account.h"
#include "storage/CredentialStore.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"

#include <QHash>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

namespace halvo::test {

/// Credentials kept in memory; callbacks run on the next turn of the event loop, like the keychain's.
class MemoryCredentialStore final : public CredentialStore {
public:
    void save(const QUuid& accountId, const Credentials& credentials, std::function<void(bool)> done) override;
    void read(const QUuid& accountId, std::function<void(std::optional<Credentials>)> done) override;
    void remove(const QUuid& accountId, std::function<void(bool)> done) override;

    QHash<QUuid, Credentials> items;
};

class StoreHarness {
public:
    /// A store started on an empty cache, so it uses the demonstration data. `apiBase` is the loopback
    /// address every region points to (default: a closed local port, so nothing is ever answered).
    explicit StoreHarness(const QUrl& apiBase = QUrl(QStringLiteral("http://127.0.0.1:9/1.0")));
    /// A store started on a cache that holds one account (the returned store's active account) with the
    /// given snapshot; its `accountId` is set to that account.
    static std::unique_ptr<StoreHarness>
    withSnapshot(HalvoAccountSnapshot snapshot, const QUrl& apiBase = QUrl(QStringLiteral("http://127.0.0.1:9/1.0")),
                 const HalvoAPILimits& limits = {});

    AppStateStore& store() { return *m_store; }
    /// Runs the event loop until every request of the store's actions so far has been answered (or found
    /// that it cannot be sent); after that, nothing more of them reaches the server.
    bool waitUntilRequestsSettled(int timeoutMs = 5000);
    SQLiteCacheEngine& cache() { return *m_cache; }
    MemoryCredentialStore& credentials() { return m_credentials; }
    HalvoAPIClient& api() { return *m_api; }
    QString cachePath() const;

private:
    StoreHarness(const QUrl& apiBase, const std::optional<HalvoAccountSnapshot>& seed, const HalvoAPILimits& limits);

    QTemporaryDir m_dir;
    std::unique_ptr<SQLiteCacheEngine> m_cache;
    MemoryCredentialStore m_credentials;
    std::unique_ptr<HalvoAPIClient> m_api;
    std::unique_ptr<AppStateStore> m_store;
};

} // namespace halvo::test
