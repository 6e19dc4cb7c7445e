// The cache on real files that fail: a full file system (a small tmpfs where the test may mount one, else
// the engine's page limit), files that are not whole databases, a folder in place of the file, a read-only
// folder. Nothing that could not be opened is ever written to, a failed write is reported and never counted
// as done, and it is tried again with the newest snapshot.

#include "model/JsonRead.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/DemoData.h"
#include "support/CaseNames.h"
#include "support/QtPrinters.h"
#include "support/ScratchFileSystem.h"

#include <QDir>
#include <QFile>

#include <functional>
#include <gtest/gtest.h>
#include <mutex>
#include <sqlite3.h>

namespace {

using halvo::test::fileBytes;
using halvo::test::ScratchFileSystem;

const QDateTime kNow = QDateTime(QDate(2025, 6, 14), QTime(9, 30), Qt::UTC);
const QUuid kAccount{QStringLiteral("2c4e6a8b-1d3f-4a5b-9c7d-8e9f0a1b2c3d")};
const QUuid kOther{QStringLiteral("5f7a9b1c-3e5d-4f6a-8b9c-0d1e2f3a4b5c")};

HalvoAccountSnapshot snapshotOf(const QUuid& account, int generation, int domains) {
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = account;
    snapshot.updatedAt = QDateTime::fromSecsSinceEpoch(1'700'000'000 + generation, Qt::UTC);
    for (int i = 0; i < domains; ++i) {
        HalvoDomain domain;
        domain.domain = QStringLiteral("kunde-%1.example.com").arg(i);
        domain.whoisOwner = QStringLiteral("Generation %1, ein Text, der Platz braucht").arg(generation);
        snapshot.domains.append(domain);
    }
    return snapshot;
}

/// The write results the engine reports, collected.
class Results {
public:
    explicit Results(SQLiteCacheEngine& cache)
        : m_cache(cache) {
        cache.setWriteListener([this](const SQLiteCacheEngine::WriteResult& result) {
            std::lock_guard lock(m_mutex);
            m_results.append(result);
        });
    }
    ~Results() { m_cache.setWriteListener({}); }
    QList<SQLiteCacheEngine::WriteResult> take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_results, {});
    }

private:
    SQLiteCacheEngine& m_cache;
    std::mutex m_mutex;
    QList<SQLiteCacheEngine::WriteResult> m_results;
};

/// The snapshot stored for the account, read by a connection of its own.
std::optional<HalvoAccountSnapshot> stored(const QString& path, const QUuid& account) {
    SQLiteCacheEngine reader(path);
    const auto snapshots = reader.loadSnapshots();
    if (!snapshots.contains(account))
        return std::nullopt;
    return snapshots.value(account);
}

TEST(CacheFailure, AFullFileSystemFailsTheWriteAndTheNewestSnapshotIsWrittenWhenThereIsRoomAgain) {
    ScratchFileSystem fs(2 * 1024 * 1024);
    SQLiteCacheEngine::Options options;
    if (!fs.isSmall())
        options.maxPageCount = 60; // about 240 kB: small snapshots fit, large ones do not
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    auto cache = std::make_unique<SQLiteCacheEngine>(path, options);
    ASSERT_TRUE(cache->isOpen());
    auto results = std::make_unique<Results>(*cache);

    const HalvoAccountSnapshot first = snapshotOf(kAccount, 1, 5);
    cache->saveSnapshot(first);
    ASSERT_TRUE(cache->flush());
    if (fs.isSmall()) {
        ASSERT_TRUE(fs.fill());
    }

    // Too large for what is left: the write fails, is reported, and the file keeps the first snapshot whole.
    cache->saveSnapshot(snapshotOf(kAccount, 2, 4000));
    EXPECT_FALSE(cache->flush());
    auto reported = results->take();
    ASSERT_EQ(reported.size(), 2);
    EXPECT_EQ(reported[1].accountId, kAccount);
    EXPECT_EQ(SQLiteCacheEngine::faultOf(reported[1].error), SQLiteCacheEngine::Fault::diskFull);
    EXPECT_EQ(stored(path, kAccount), first);

    // A newer snapshot of the account replaces the failed one and fails as well while there is no room.
    const HalvoAccountSnapshot third = snapshotOf(kAccount, 3, fs.isSmall() ? 4000 : 20);
    if (fs.isSmall()) {
        cache->saveSnapshot(third);
        EXPECT_FALSE(cache->flush());
        EXPECT_EQ(results->take().size(), 1);
        fs.unfill();
        // The next save of any account tries the failed one again, with its newest snapshot.
        cache->saveSnapshot(snapshotOf(kOther, 1, 5));
    } else {
        // Within the page limit only a smaller snapshot fits again.
        cache->saveSnapshot(third);
    }
    EXPECT_TRUE(cache->flush());
    for (const auto& result : results->take())
        EXPECT_EQ(result.error, 0);
    results.reset();
    cache.reset();
    EXPECT_EQ(stored(path, kAccount), third);
}

TEST(CacheFailure, AWriteThatFailsIsTriedAgainAtTheNextSaveOfAnotherAccount) {
    ScratchFileSystem fs(2 * 1024 * 1024);
    if (!fs.isSmall())
        GTEST_SKIP() << "needs a file system of its own (root may mount a tmpfs)";
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    SQLiteCacheEngine cache(path);
    Results results(cache);
    cache.saveSnapshot(snapshotOf(kOther, 1, 5));
    ASSERT_TRUE(cache.flush());
    ASSERT_TRUE(fs.fill());
    const HalvoAccountSnapshot pending = snapshotOf(kAccount, 1, 2000);
    cache.saveSnapshot(pending);
    EXPECT_FALSE(cache.flush());
    fs.unfill();
    EXPECT_FALSE(cache.flush()) << "nothing is retried before the next save";
    cache.saveSnapshot(snapshotOf(kOther, 2, 5));
    EXPECT_TRUE(cache.flush());
    QList<QUuid> written;
    for (const auto& result : results.take()) {
        if (result.error == 0)
            written.append(result.accountId);
    }
    EXPECT_EQ(written, (QList<QUuid>{kOther, kOther, kAccount}));
    EXPECT_EQ(cache.loadSnapshots().value(kAccount), pending);
}

// ---- files that cannot be opened or read whole ----

struct BrokenFile {
    const char* name;
    /// Spoils the folder holding a good cache file at `path`; false when it cannot here.
    std::function<bool(ScratchFileSystem&, const QString& path)> spoil;
};

void PrintTo(const BrokenFile& c, std::ostream* os) {
    *os << c.name;
}

/// Writes a cache with the demonstration data and closes it, so that everything is in the main file.
void writeGoodCache(const QString& path) {
    SQLiteCacheEngine cache(path);
    const auto demo = halvo::demo::build(kNow);
    ASSERT_EQ(cache.seed(demo.accounts, demo.snapshots), SQLiteCacheEngine::SeedResult::written);
}

bool overwrite(const QString& path, qint64 at, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.seek(at) && file.write(bytes) == bytes.size();
}

class BrokenFiles : public ::testing::TestWithParam<BrokenFile> {};

TEST_P(BrokenFiles, AreReportedAndNeverWritten) {
    ScratchFileSystem fs(GetParam().name == std::string("read-only folder") ? 4 * 1024 * 1024 : 0);
    const QString path = fs.filePath(QStringLiteral("halvo_instant_cache.sqlite3"));
    writeGoodCache(path);
    if (!GetParam().spoil(fs, path))
        GTEST_SKIP() << "cannot be made here";
    const QByteArray before = fileBytes(path);
    const QStringList filesBefore = QDir(fs.path()).entryList(QDir::Files);
    {
        SQLiteCacheEngine cache(path);
        const SQLiteCacheEngine::Contents contents = cache.load();
        const bool everythingRead = contents.error == 0 && contents.unreadableSnapshots.isEmpty() &&
                                    contents.accountRows == contents.accounts.size() && contents.accountRows > 0;
        EXPECT_TRUE(!everythingRead || cache.isReadOnly()) << "the fault went unnoticed";
        if (!cache.isOpen()) {
            EXPECT_NE(cache.openError(), 0);
        }
        // Whatever the caller does then, the file is not written.
        if (!everythingRead || !cache.isOpen()) {
            EXPECT_EQ(cache.seed(contents.accounts, {}), contents.error == 0 && contents.accountRows > 0
                                                             ? SQLiteCacheEngine::SeedResult::notEmpty
                                                             : SQLiteCacheEngine::SeedResult::failed);
        }
        if (!cache.isOpen()) {
            cache.saveSnapshot(snapshotOf(kAccount, 1, 2));
            EXPECT_FALSE(cache.flush());
        }
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(QDir(fs.path()).entryList(QDir::Files), filesBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenFiles,
    ::testing::Values(BrokenFile{"random bytes",
                                 [](ScratchFileSystem&, const QString& path) {
                                     QFile file(path);
                                     QByteArray bytes(64 * 1024, Qt::Uninitialized);
                                     for (qsizetype i = 0; i < bytes.size(); ++i)
                                         bytes[i] = char((i * 7919 + 13) % 251);
                                     return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                                            file.write(bytes) > 0;
                                 }},
                      BrokenFile{"cut to half",
                                 [](ScratchFileSystem&, const QString& path) {
                                     QFile file(path);
                                     return file.resize(file.size() / 2);
                                 }},
                      BrokenFile{"1000 bytes cut off the end",
                                 [](ScratchFileSystem&, const QString& path) {
                                     QFile file(path);
                                     return file.resize(file.size() - 1000);
                                 }},
                      BrokenFile{"header only",
                                 [](ScratchFileSystem&, const QString& path) {
                                     QFile file(path);
                                     return file.resize(100);
                                 }},
                      BrokenFile{"damaged schema page",
                                 [](ScratchFileSystem&, const QString& path) {
                                     return overwrite(path, 100, QByteArray(400, '\xa5'));
                                 }},
                      BrokenFile{"damaged data page",
                                 [](ScratchFileSystem&, const QString& path) {
                                     return overwrite(path, 3 * 4096 + 8, QByteArray(2000, '\x5a'));
                                 }},
                      BrokenFile{"folder in place of the file",
                                 [](ScratchFileSystem&, const QString& path) {
                                     return QFile::remove(path) && QDir().mkpath(path + QStringLiteral("/inhalt"));
                                 }},
                      BrokenFile{"read-only folder",
                                 [](ScratchFileSystem& fs, const QString&) { return fs.makeReadOnly(); }}),
    NamedByItsName());

// ---- what is read, and what not ----

class RawFile {
public:
    explicit RawFile(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~RawFile() { sqlite3_close_v2(m_db); }
    bool exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    bool setSnapshot(const QUuid& id, const QByteArray& json) {
        sqlite3_stmt* stmt = nullptr;
        bool ok = sqlite3_prepare_v2(m_db, "UPDATE snapshots SET json = ?2 WHERE account_id = ?1", -1, &stmt,
                                     nullptr) == SQLITE_OK;
        const QByteArray key = id.toByteArray(QUuid::WithoutBraces);
        ok = ok && sqlite3_bind_text(stmt, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT) == SQLITE_OK &&
             sqlite3_bind_text(stmt, 2, json.constData(), int(json.size()), SQLITE_TRANSIENT) == SQLITE_OK &&
             sqlite3_step(stmt) == SQLITE_DONE && sqlite3_changes(m_db) == 1;
        sqlite3_finalize(stmt);
        return ok;
    }

private:
    sqlite3* m_db = nullptr;
};

TEST(CacheFailure, LoadingTellsWhatDidNotRead) {
    ScratchFileSystem fs;
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    const auto demo = halvo::demo::build(kNow);
    writeGoodCache(path);
    {
        RawFile raw(path);
        ASSERT_TRUE(raw.exec("UPDATE accounts SET json = '{\"id\":1}' WHERE position = 2"));
        // One fractional ttl in the first account's snapshot, the second account's snapshot cut short.
        HalvoAccountSnapshot first = demo.snapshots[0];
        const QByteArray record = halvo::json::toJson(first.domains[0].dnsRecords[0]);
        QByteArray json = halvo::json::toJson(first);
        const QByteArray ttl = QByteArray("\"ttl\":") + QByteArray::number(first.domains[0].dnsRecords[0].ttl);
        json.replace(record, QByteArray(record).replace(ttl, QByteArray("\"ttl\":3600.5")));
        ASSERT_TRUE(raw.setSnapshot(first.accountId, json));
        const QByteArray second = halvo::json::toJson(demo.snapshots[1]);
        ASSERT_TRUE(raw.setSnapshot(demo.snapshots[1].accountId, second.left(second.size() - 1000)));
        ASSERT_TRUE(raw.exec("INSERT INTO snapshots VALUES ('kein-uuid', 0, '{}')"));
    }
    SQLiteCacheEngine cache(path);
    const SQLiteCacheEngine::Contents contents = cache.load();
    EXPECT_EQ(contents.error, 0);
    EXPECT_EQ(contents.accountRows, 3);
    EXPECT_EQ(contents.accounts, demo.accounts.mid(0, 2));
    EXPECT_EQ(contents.unreadableSnapshots, QSet<QUuid>{demo.snapshots[1].accountId});
    EXPECT_EQ(contents.skippedItems, (QHash<QUuid, qsizetype>{{demo.snapshots[0].accountId, 1}}));
    EXPECT_EQ(contents.unreadableRows, 1);
    HalvoAccountSnapshot expected = demo.snapshots[0];
    expected.domains[0].dnsRecords.removeFirst();
    EXPECT_EQ(contents.snapshots.value(expected.accountId), expected);
    EXPECT_EQ(contents.snapshots.value(demo.snapshots[2].accountId), demo.snapshots[2]);
}

// ---- the demonstration data ----

TEST(CacheSeed, WritesAccountsAndSnapshotsTogetherAndOnlyIntoAnAccountTableWithoutRows) {
    ScratchFileSystem fs;
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    const auto demo = halvo::demo::build(kNow);
    {
        SQLiteCacheEngine cache(path);
        EXPECT_EQ(cache.seed(demo.accounts, demo.snapshots), SQLiteCacheEngine::SeedResult::written);
        EXPECT_EQ(cache.loadAccounts(), demo.accounts);
        EXPECT_EQ(cache.loadSnapshots().size(), demo.snapshots.size());
        EXPECT_EQ(cache.seed(demo.accounts.mid(0, 1), {}), SQLiteCacheEngine::SeedResult::notEmpty);
        EXPECT_EQ(cache.loadAccounts(), demo.accounts);
    }
    // One row that does not decode is a row: the table is not empty, and nothing is written.
    {
        RawFile raw(path);
        ASSERT_TRUE(raw.exec("DELETE FROM accounts WHERE position > 0; UPDATE accounts SET json = ''"));
    }
    const QByteArray before = fileBytes(path);
    {
        SQLiteCacheEngine cache(path);
        int error = -1;
        EXPECT_EQ(cache.seed(demo.accounts, demo.snapshots, &error), SQLiteCacheEngine::SeedResult::notEmpty);
        EXPECT_EQ(error, 0);
        EXPECT_TRUE(cache.loadAccounts().isEmpty());
    }
    EXPECT_EQ(fileBytes(path), before);
}

TEST(CacheSeed, OnAFullFileSystemWritesNothingAtAll) {
    ScratchFileSystem fs(1024 * 1024);
    SQLiteCacheEngine::Options options;
    if (!fs.isSmall())
        options.maxPageCount = 8; // the empty tables fit, the demonstration data does not
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    const auto demo = halvo::demo::build(kNow);
    {
        SQLiteCacheEngine cache(path, options);
        ASSERT_TRUE(cache.isOpen());
        if (fs.isSmall()) {
            ASSERT_TRUE(fs.fill());
        }
        int error = 0;
        EXPECT_EQ(cache.seed(demo.accounts, demo.snapshots, &error), SQLiteCacheEngine::SeedResult::failed);
        EXPECT_EQ(SQLiteCacheEngine::faultOf(error), SQLiteCacheEngine::Fault::diskFull);
    }
    fs.unfill();
    SQLiteCacheEngine cache(path);
    const SQLiteCacheEngine::Contents contents = cache.load();
    EXPECT_EQ(contents.error, 0);
    EXPECT_EQ(contents.accountRows, 0);
    EXPECT_TRUE(contents.snapshots.isEmpty() && contents.unreadableSnapshots.isEmpty());
}

} // namespace
