// The cache's write queue: snapshot saves of one account coalesce, the newest wins, nothing older is written
// after something newer, a flush still covers everything handed over before it, and a flood of saves holds
// no more than a few snapshots.

#include "model/JsonRead.h"
#include "storage/SQLiteCacheEngine.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <gtest/gtest.h>
#include <latch>
#include <mutex>
#include <sqlite3.h>
#include <thread>

namespace {

const QUuid kAccount{QStringLiteral("2c4e6a8b-1d3f-4a5b-9c7d-8e9f0a1b2c3d")};
const QUuid kOther{QStringLiteral("5f7a9b1c-3e5d-4f6a-8b9c-0d1e2f3a4b5c")};

/// Snapshot number `generation` of an account: every part carries the number, so a mix of two shows.
HalvoAccountSnapshot generationSnapshot(int generation, int domains = 200, const QUuid& account = kAccount) {
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = account;
    snapshot.updatedAt = QDateTime::fromSecsSinceEpoch(1'700'000'000 + generation, Qt::UTC);
    const QString tag = QString::number(generation);
    for (int i = 0; i < domains; ++i) {
        HalvoDomain domain;
        domain.domain = QStringLiteral("kunde-%1.example.com").arg(i);
        domain.whoisOwner = tag;
        domain.dnsRecords = {{.id = i,
                              .zone = domain.domain,
                              .subDomain = tag,
                              .fieldType = QStringLiteral("TXT"),
                              .target = QStringLiteral("generation=") + tag,
                              .ttl = generation}};
        snapshot.domains.append(domain);
    }
    return snapshot;
}

int generationOf(const HalvoAccountSnapshot& snapshot, int domains = 200) {
    const int generation = int(snapshot.updatedAt.toSecsSinceEpoch() - 1'700'000'000);
    return snapshot == generationSnapshot(generation, domains, snapshot.accountId) ? generation : -1;
}

/// A second connection to the cache file, as another reader would open it; it also logs every snapshot row
/// written, through a trigger in the file.
class Observer {
public:
    explicit Observer(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(m_db, 10000);
    }
    ~Observer() { sqlite3_close_v2(m_db); }

    void logWrites() {
        sqlite3_exec(m_db,
                     "CREATE TABLE written (account_id TEXT, updated_at REAL);"
                     "CREATE TRIGGER log_write AFTER INSERT ON snapshots BEGIN "
                     "INSERT INTO written VALUES (new.account_id, new.updated_at); END;",
                     nullptr, nullptr, nullptr);
    }

    /// The generations written for the account, in the order of the writes.
    QList<int> written(const QUuid& account = kAccount) {
        QList<int> generations;
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT updated_at FROM written WHERE account_id = ?1 ORDER BY rowid", -1, &stmt,
                           nullptr);
        const QByteArray id = account.toByteArray(QUuid::WithoutBraces);
        sqlite3_bind_text(stmt, 1, id.constData(), int(id.size()), SQLITE_TRANSIENT);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            generations.append(int(sqlite3_column_double(stmt, 0) - 1'700'000'000));
        sqlite3_finalize(stmt);
        return generations;
    }

    /// The stored snapshot's generation: -1 when it is not one whole generation, -2 when there is none.
    int storedGeneration(int domains = 200) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT json FROM snapshots WHERE account_id = ?1", -1, &stmt, nullptr);
        const QByteArray id = kAccount.toByteArray(QUuid::WithoutBraces);
        sqlite3_bind_text(stmt, 1, id.constData(), int(id.size()), SQLITE_TRANSIENT);
        int generation = -2;
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            const QByteArray json(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)),
                                  sqlite3_column_bytes(stmt, 0));
            const auto snapshot = halvo::json::readJson<HalvoAccountSnapshot>(json);
            generation = snapshot ? generationOf(*snapshot, domains) : -1;
        }
        sqlite3_finalize(stmt);
        return generation;
    }

    /// The stored snapshot's generation by its date alone (cheap).
    int storedDate() {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(m_db, "SELECT updated_at FROM snapshots WHERE account_id = ?1", -1, &stmt, nullptr);
        const QByteArray id = kAccount.toByteArray(QUuid::WithoutBraces);
        sqlite3_bind_text(stmt, 1, id.constData(), int(id.size()), SQLITE_TRANSIENT);
        const int generation =
            sqlite3_step(stmt) == SQLITE_ROW ? int(sqlite3_column_double(stmt, 0) - 1'700'000'000) : -2;
        sqlite3_finalize(stmt);
        return generation;
    }

private:
    sqlite3* m_db = nullptr;
};

/// Holds the cache's worker inside the listener after its first write, until released.
class WorkerHold {
public:
    explicit WorkerHold(SQLiteCacheEngine& cache)
        : m_cache(cache) {
        cache.setWriteListener([this](const SQLiteCacheEngine::WriteResult& result) {
            std::unique_lock lock(m_mutex);
            m_results.append(result);
            if (m_results.size() == 1) {
                m_held = true;
                m_changed.notify_all();
                m_changed.wait(lock, [this] { return m_released; });
            }
        });
    }
    ~WorkerHold() {
        release();
        m_cache.setWriteListener({});
    }

    void waitUntilHeld() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_held; });
    }
    void release() {
        std::lock_guard lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }
    QList<SQLiteCacheEngine::WriteResult> results() {
        std::lock_guard lock(m_mutex);
        return m_results;
    }

private:
    SQLiteCacheEngine& m_cache;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_held = false;
    bool m_released = false;
    QList<SQLiteCacheEngine::WriteResult> m_results;
};

class CacheWriteQueue : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("cache.sqlite3")); }

    QTemporaryDir m_dir;
};

TEST_F(CacheWriteQueue, TenSnapshotsQueuedWhileTheWorkerIsHeldEndInTwoWritesTheLastTheNewest) {
    SQLiteCacheEngine cache(path());
    ASSERT_TRUE(cache.isOpen());
    Observer observer(path());
    observer.logWrites();
    // A reader that looks at the file all the time must only ever see a whole snapshot: the first or the last.
    std::atomic<bool> reading = true;
    QList<int> seen;
    std::thread reader([&] {
        Observer own(path());
        while (reading)
            seen.append(own.storedGeneration());
    });
    const auto stopReading = [&] {
        reading = false;
        if (reader.joinable())
            reader.join();
    };
    const auto stopOnFailure = qScopeGuard(stopReading);

    {
        WorkerHold hold(cache);
        cache.saveSnapshot(generationSnapshot(1));
        hold.waitUntilHeld();
        for (int generation = 2; generation <= 10; ++generation)
            cache.saveSnapshot(generationSnapshot(generation));
        EXPECT_EQ(observer.storedGeneration(), 1) << "while held, the file holds the first snapshot whole";
        hold.release();
        EXPECT_TRUE(cache.flush());
        const auto results = hold.results();
        ASSERT_EQ(results.size(), 2);
        for (const auto& result : results) {
            EXPECT_EQ(result.accountId, kAccount);
            EXPECT_EQ(result.error, 0);
        }
    }
    stopReading();

    EXPECT_EQ(observer.written(), (QList<int>{1, 10}));
    EXPECT_EQ(observer.storedGeneration(), 10);
    EXPECT_EQ(generationOf(cache.loadSnapshots().value(kAccount)), 10);
    for (const int generation : std::as_const(seen))
        EXPECT_TRUE(generation == -2 || generation == 1 || generation == 10) << generation;
}

TEST_F(CacheWriteQueue, ARemovalAndASaveReplaceEachOtherInTheQueueInTheirOrder) {
    SQLiteCacheEngine cache(path());
    cache.saveSnapshot(generationSnapshot(1, 5, kOther));
    {
        WorkerHold hold(cache);
        cache.saveSnapshot(generationSnapshot(1, 5));
        hold.waitUntilHeld();
        cache.saveSnapshot(generationSnapshot(2, 5));
        cache.deleteSnapshot(kAccount);
        cache.deleteSnapshot(kOther);
        cache.saveSnapshot(generationSnapshot(3, 5, kOther));
        hold.release();
        EXPECT_TRUE(cache.flush());
    }
    const auto snapshots = cache.loadSnapshots();
    EXPECT_FALSE(snapshots.contains(kAccount));
    EXPECT_EQ(generationOf(snapshots.value(kOther), 5), 3);
}

TEST_F(CacheWriteQueue, BurstsNeverWriteAnOlderSnapshotAfterANewerOne) {
    SQLiteCacheEngine cache(path());
    Observer observer(path());
    observer.logWrites();
    constexpr int kLast = 120;
    // Large enough that a save is often still being encoded when the next one comes.
    QList<HalvoAccountSnapshot> snapshots;
    for (int generation = 0; generation <= kLast; ++generation)
        snapshots.append(generationSnapshot(generation, 2000));
    for (int generation = 1; generation <= kLast; ++generation) {
        cache.saveSnapshot(snapshots[generation]);
        if (generation % 7 == 0)
            cache.flush();
    }
    EXPECT_TRUE(cache.flush());

    const QList<int> written = observer.written();
    ASSERT_FALSE(written.isEmpty());
    EXPECT_EQ(written.last(), kLast);
    EXPECT_LT(written.size(), kLast) << "some saves were replaced by newer ones";
    for (qsizetype i = 1; i < written.size(); ++i)
        EXPECT_LT(written[i - 1], written[i]) << "write " << i;
    EXPECT_EQ(observer.storedGeneration(2000), kLast);
}

TEST_F(CacheWriteQueue, AFlushCoversWhatWasHandedOverBeforeItWhenANewerSaveReplacesThatMeanwhile) {
    SQLiteCacheEngine cache(path());
    Observer observer(path());
    constexpr int kDomains = 5000; // long enough to encode that the next save comes meanwhile
    for (int round = 1; round <= 10; ++round) {
        const HalvoAccountSnapshot first = generationSnapshot(2 * round, kDomains);
        const HalvoAccountSnapshot second = generationSnapshot(2 * round + 1, kDomains);
        cache.flush();
        cache.saveSnapshot(first);
        std::latch flushing(1);
        std::thread flusher([&] {
            flushing.count_down();
            cache.flush();
            EXPECT_GE(observer.storedDate(), 2 * round) << "round " << round;
        });
        flushing.wait();
        cache.saveSnapshot(second);
        flusher.join();
    }
    EXPECT_TRUE(cache.flush());
    EXPECT_EQ(observer.storedDate(), 21);
}

TEST_F(CacheWriteQueue, AFloodOfSavesWhileTheWorkerIsHeldKeepsOnlyAFewSnapshots) {
    SQLiteCacheEngine cache(path());
    constexpr int kSaves = 2000;
    {
        WorkerHold hold(cache);
        cache.saveSnapshot(generationSnapshot(0, 1));
        hold.waitUntilHeld();
        // Each save hands over a text of its own, and keeps a copy: while the engine still holds one, the copy
        // is shared with it.
        QList<QString> handedOver;
        for (int i = 1; i <= kSaves; ++i) {
            HalvoAccountSnapshot snapshot = generationSnapshot(i, 1);
            snapshot.domains.first().whoisOwner = QStringLiteral("Text %1").arg(i);
            handedOver.append(snapshot.domains.first().whoisOwner);
            cache.saveSnapshot(snapshot);
        }
        const qsizetype held = std::count_if(handedOver.cbegin(), handedOver.cend(),
                                             [](const QString& text) { return !text.isDetached(); });
        EXPECT_LE(held, 10) << "snapshots the engine still holds";
        EXPECT_FALSE(handedOver.last().isDetached()) << "the newest waits to be written";
        hold.release();
        EXPECT_TRUE(cache.flush());
        EXPECT_EQ(hold.results().size(), 2);
    }
    const HalvoAccountSnapshot stored = cache.loadSnapshots().value(kAccount);
    EXPECT_EQ(stored.updatedAt, generationSnapshot(kSaves, 1).updatedAt);
    EXPECT_EQ(stored.domains.first().whoisOwner, QStringLiteral("Text %1").arg(kSaves));
}

TEST_F(CacheWriteQueue, SupersedingLetsTheCallerChangeItsSnapshotWithoutCopyingWhatTheEngineHeld) {
    SQLiteCacheEngine cache(path());
    Observer observer(path());
    observer.logWrites();
    WorkerHold hold(cache);
    cache.saveSnapshot(generationSnapshot(1, 5));
    hold.waitUntilHeld();
    HalvoAccountSnapshot mine = generationSnapshot(2, 5);
    cache.saveSnapshot(mine);
    EXPECT_FALSE(mine.domains.isDetached()) << "the waiting save shares the list";

    cache.supersede(kAccount);
    EXPECT_TRUE(mine.domains.isDetached());
    const HalvoDomain* data = mine.domains.constData();
    mine.domains.first().whoisOwner = QStringLiteral("geändert");
    EXPECT_EQ(mine.domains.constData(), data) << "changed in place";
    mine.updatedAt = generationSnapshot(3, 5).updatedAt;
    cache.saveSnapshot(mine);

    hold.release();
    EXPECT_TRUE(cache.flush());
    EXPECT_EQ(observer.written(), (QList<int>{1, 3}));
    EXPECT_EQ(cache.loadSnapshots().value(kAccount), mine);
}

TEST_F(CacheWriteQueue, ClosingWritesTheNewestSnapshotOfEveryAccount) {
    {
        SQLiteCacheEngine cache(path());
        WorkerHold hold(cache);
        cache.saveSnapshot(generationSnapshot(1, 5));
        hold.waitUntilHeld();
        for (int generation = 2; generation <= 30; ++generation) {
            cache.saveSnapshot(generationSnapshot(generation, 5));
            cache.saveSnapshot(generationSnapshot(generation, 5, kOther));
        }
        hold.release();
    } // the destructor waits for the one write that runs and the newest of each account
    SQLiteCacheEngine reopened(path());
    const auto snapshots = reopened.loadSnapshots();
    EXPECT_EQ(generationOf(snapshots.value(kAccount), 5), 30);
    EXPECT_EQ(generationOf(snapshots.value(kOther), 5), 30);
}

} // namespace
