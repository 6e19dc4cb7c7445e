#include "storage/SQLiteCacheEngine.h"

#include "store/DemoData.h"
#include "support/CaseNames.h"
#include "support/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

const QDateTime kNow = QDateTime(QDate(2025, 6, 14), QTime(9, 30), Qt::UTC);

/// A second, plain connection to the same file, for looking behind the engine's back.
class RawDatabase {
public:
    explicit RawDatabase(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~RawDatabase() { sqlite3_close_v2(m_db); }

    bool exec(const QString& sql) {
        return sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    /// The first column of the first row, as text.
    QString scalar(const QString& sql) {
        sqlite3_stmt* stmt = nullptr;
        QString result;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        return result;
    }

    bool insertSnapshotRow(const QString& id, const QByteArray& json) {
        sqlite3_stmt* stmt = nullptr;
        bool ok = sqlite3_prepare_v2(
                      m_db, "INSERT OR REPLACE INTO snapshots (account_id, updated_at, json) VALUES (?1, 0, ?2)", -1,
                      &stmt, nullptr) == SQLITE_OK;
        const QByteArray idText = id.toUtf8();
        ok = ok && sqlite3_bind_text(stmt, 1, idText.constData(), -1, SQLITE_TRANSIENT) == SQLITE_OK &&
             sqlite3_bind_text(stmt, 2, json.constData(), static_cast<int>(json.size()), SQLITE_TRANSIENT) ==
                 SQLITE_OK &&
             sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_finalize(stmt);
        return ok;
    }

private:
    sqlite3* m_db = nullptr;
};

class SQLiteCache : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("nested/folder/cache.sqlite3")); }
    std::unique_ptr<SQLiteCacheEngine> open() { return std::make_unique<SQLiteCacheEngine>(path()); }

    QTemporaryDir m_dir;
    const halvo::demo::DemoData m_demo = halvo::demo::build(kNow);
};

TEST_F(SQLiteCache, CreatesItsFolderAndAWalDatabase) {
    auto cache = open();
    ASSERT_TRUE(cache->isOpen());
    EXPECT_TRUE(QFile::exists(path()));
    RawDatabase raw(path());
    EXPECT_EQ(raw.scalar(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("wal"));
    EXPECT_EQ(raw.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('accounts','snapshots')")),
              QStringLiteral("2"));
    EXPECT_TRUE(cache->loadAccounts().isEmpty());
    EXPECT_TRUE(cache->loadSnapshots().isEmpty());
}

TEST(SQLiteCacheFile, LivesInTheUsersDataFolder) {
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                             QStringLiteral("/HalvoPultorium/halvo_instant_cache.sqlite3");
    EXPECT_EQ(SQLiteCacheEngine::defaultFilePath(), expected);
}

TEST_F(SQLiteCache, KeepsAccountsAndSnapshotsAcrossAReopen) {
    {
        auto cache = open();
        ASSERT_TRUE(cache->saveAccounts(m_demo.accounts));
        for (const auto& snapshot : m_demo.snapshots)
            cache->saveSnapshot(snapshot);
    } // closing waits for the queued writes
    auto cache = open();
    EXPECT_EQ(cache->loadAccounts(), m_demo.accounts);
    const auto snapshots = cache->loadSnapshots();
    ASSERT_EQ(snapshots.size(), m_demo.snapshots.size());
    for (const auto& snapshot : m_demo.snapshots)
        EXPECT_EQ(snapshots.value(snapshot.accountId), snapshot);
}

TEST_F(SQLiteCache, RewritesTheWholeAccountListInItsOrder) {
    auto cache = open();
    ASSERT_TRUE(cache->saveAccounts(m_demo.accounts));
    QList<HalvoAccount> changed{m_demo.accounts[2], m_demo.accounts[0]};
    changed[0].label = QStringLiteral("Umbenannt");
    ASSERT_TRUE(cache->saveAccounts(changed));
    EXPECT_EQ(cache->loadAccounts(), changed);
    ASSERT_TRUE(cache->saveAccounts({}));
    EXPECT_TRUE(cache->loadAccounts().isEmpty());
}

TEST_F(SQLiteCache, AnAccountListThatCannotBeWrittenWholeLeavesTheOldOne) {
    auto cache = open();
    ASSERT_TRUE(cache->saveAccounts(m_demo.accounts));
    // The same account twice breaks the list's unique key half-way through the rewrite.
    const QList<HalvoAccount> broken{m_demo.accounts[1], m_demo.accounts[0], m_demo.accounts[1]};
    EXPECT_FALSE(cache->saveAccounts(broken));
    EXPECT_EQ(cache->loadAccounts(), m_demo.accounts);
    // The engine is still usable afterwards.
    EXPECT_TRUE(cache->saveAccounts({m_demo.accounts[1]}));
    EXPECT_EQ(cache->loadAccounts(), QList<HalvoAccount>{m_demo.accounts[1]});
}

TEST_F(SQLiteCache, DataIsBoundNeverSplicedIntoSql) {
    auto cache = open();
    HalvoAccount hostile = m_demo.accounts.first();
    hostile.label = QStringLiteral("x'); DROP TABLE accounts; --");
    hostile.organisation = QStringLiteral("\"quoted\" \\ back\nslash \u00e4\u00f6\u00fc \U0001F600");
    ASSERT_TRUE(cache->saveAccounts({hostile}));
    HalvoAccountSnapshot snapshot = m_demo.snapshots.first();
    snapshot.domains.first().whoisOwner = QStringLiteral("'; DELETE FROM snapshots; --");
    cache->saveSnapshot(snapshot);
    cache->flush();
    EXPECT_EQ(cache->loadAccounts(), QList<HalvoAccount>{hostile});
    EXPECT_EQ(cache->loadSnapshots().value(snapshot.accountId), snapshot);
}

TEST_F(SQLiteCache, ReplacesOneSnapshotRowPerAccountInTheOrderOfTheCalls) {
    auto cache = open();
    HalvoAccountSnapshot first = m_demo.snapshots.first();
    HalvoAccountSnapshot second = first;
    second.updatedAt = kNow.addSecs(60);
    second.domains.removeFirst();
    HalvoAccountSnapshot other = m_demo.snapshots[1];

    cache->saveSnapshot(first);
    cache->saveSnapshot(other);
    cache->saveSnapshot(second);
    cache->deleteSnapshot(other.accountId);
    cache->flush();

    const auto loaded = cache->loadSnapshots();
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded.value(first.accountId), second);
    RawDatabase raw(path());
    EXPECT_EQ(raw.scalar(QStringLiteral("SELECT count(*) FROM snapshots")), QStringLiteral("1"));

    cache->deleteSnapshot(first.accountId);
    cache->saveSnapshot(other);
    cache->flush();
    EXPECT_EQ(cache->loadSnapshots().keys(), QList<QUuid>{other.accountId});
}

TEST_F(SQLiteCache, SavesTheSnapshotAsItWasWhenHandedOver) {
    auto cache = open();
    HalvoAccountSnapshot snapshot = m_demo.snapshots.first();
    const HalvoAccountSnapshot handedOver = snapshot;
    cache->saveSnapshot(snapshot);
    // The caller goes on changing its own copy at once, as the store does.
    snapshot.domains.clear();
    snapshot.vpsList.first().state = QStringLiteral("stopped");
    snapshot.updatedAt = kNow.addDays(1);
    cache->flush();
    EXPECT_EQ(cache->loadSnapshots().value(handedOver.accountId), handedOver);
}

TEST_F(SQLiteCache, ARowThatDoesNotDecodeIsSkippedAndTheOthersLoad) {
    {
        auto cache = open();
        ASSERT_TRUE(cache->saveAccounts(m_demo.accounts));
        for (const auto& snapshot : m_demo.snapshots)
            cache->saveSnapshot(snapshot);
    }
    {
        RawDatabase raw(path());
        ASSERT_TRUE(raw.exec(QStringLiteral("UPDATE accounts SET json = '{\"id\":' WHERE position = 1")));
        const QByteArray whole = halvo::json::toJson(m_demo.snapshots[0]);
        // A truncated row, a row filed under another account's key and a row of plain garbage.
        ASSERT_TRUE(raw.insertSnapshotRow(m_demo.snapshots[0].accountId.toString(QUuid::WithoutBraces),
                                          whole.left(whole.size() - 10)));
        ASSERT_TRUE(raw.insertSnapshotRow(m_demo.snapshots[1].accountId.toString(QUuid::WithoutBraces),
                                          halvo::json::toJson(m_demo.snapshots[2])));
        ASSERT_TRUE(raw.insertSnapshotRow(QStringLiteral("kein-uuid"), QByteArray("\x01\x02garbage")));
    }
    auto cache = open();
    EXPECT_EQ(cache->loadAccounts(), (QList<HalvoAccount>{m_demo.accounts[0], m_demo.accounts[2]}));
    const auto snapshots = cache->loadSnapshots();
    ASSERT_EQ(snapshots.size(), 1);
    EXPECT_EQ(snapshots.value(m_demo.snapshots[2].accountId), m_demo.snapshots[2]);
}

TEST_F(SQLiteCache, TextsOfADatabaseInUtf16LoadAsTheyWereSaved) {
    // Another tool may have created the file with texts stored as UTF-16; SQLite converts them on reading.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path()).absolutePath()));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path()).constData(), &db), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db, "PRAGMA encoding='UTF-16le'; CREATE TABLE other (x)", nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    HalvoAccountSnapshot snapshot = m_demo.snapshots.first();
    snapshot.domains.first().whoisOwner = QStringLiteral("Grüße aus Köln \U0001F600");
    {
        auto cache = open();
        ASSERT_TRUE(cache->saveAccounts(m_demo.accounts));
        cache->saveSnapshot(snapshot);
        ASSERT_TRUE(cache->flush());
    }
    EXPECT_EQ(RawDatabase(path()).scalar(QStringLiteral("PRAGMA encoding")), QStringLiteral("UTF-16le"));
    auto cache = open();
    const SQLiteCacheEngine::Contents contents = cache->load();
    EXPECT_EQ(contents.accounts, m_demo.accounts);
    EXPECT_TRUE(contents.unreadableSnapshots.isEmpty());
    EXPECT_EQ(contents.snapshots.value(snapshot.accountId), snapshot);
}

struct StoredValue {
    const char* name;
    const char* sql; ///< sets the json of the first account's snapshot row
    bool loads;
};

void PrintTo(const StoredValue& c, std::ostream* os) {
    *os << c.name;
}

class SnapshotValuesOfOtherTypes : public SQLiteCache, public ::testing::WithParamInterface<StoredValue> {};

TEST_P(SnapshotValuesOfOtherTypes, LoadAsTheirTextOrAreReportedAndTheOthersLoad) {
    const QString firstId = m_demo.snapshots[0].accountId.toString(QUuid::WithoutBraces);
    {
        auto cache = open();
        ASSERT_TRUE(cache->saveAccounts(m_demo.accounts));
        for (const auto& snapshot : m_demo.snapshots)
            cache->saveSnapshot(snapshot);
        ASSERT_TRUE(cache->flush());
    }
    ASSERT_TRUE(RawDatabase(path()).exec(QString::fromLatin1(GetParam().sql).arg(firstId)));
    auto cache = open();
    const SQLiteCacheEngine::Contents contents = cache->load();
    EXPECT_EQ(contents.snapshots.contains(m_demo.snapshots[0].accountId), GetParam().loads);
    EXPECT_EQ(contents.unreadableSnapshots.contains(m_demo.snapshots[0].accountId), !GetParam().loads);
    if (GetParam().loads) {
        EXPECT_EQ(contents.snapshots.value(m_demo.snapshots[0].accountId), m_demo.snapshots[0]);
    }
    for (qsizetype i = 1; i < m_demo.snapshots.size(); ++i)
        EXPECT_EQ(contents.snapshots.value(m_demo.snapshots[i].accountId), m_demo.snapshots[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SnapshotValuesOfOtherTypes,
    ::testing::Values(StoredValue{"the text as a blob",
                                  "UPDATE snapshots SET json = CAST(json AS BLOB) WHERE account_id = '%1'", true},
                      StoredValue{"a number", "UPDATE snapshots SET json = 42 WHERE account_id = '%1'", false},
                      StoredValue{"an empty text", "UPDATE snapshots SET json = '' WHERE account_id = '%1'", false},
                      StoredValue{"a blob of garbage",
                                  "UPDATE snapshots SET json = x'00ff7b22' WHERE account_id = '%1'", false}),
    NamedByItsName());

TEST_F(SQLiteCache, AFileThatIsNotADatabaseYieldsEmptyResultsAndStaysAsItWas) {
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path()).absolutePath()));
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 37 + 11) % 251));
    {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(garbage);
    }
    {
        auto cache = open();
        EXPECT_FALSE(cache->isOpen());
        EXPECT_TRUE(cache->loadAccounts().isEmpty());
        EXPECT_TRUE(cache->loadSnapshots().isEmpty());
        EXPECT_FALSE(cache->saveAccounts(m_demo.accounts));
        cache->saveSnapshot(m_demo.snapshots.first());
        cache->deleteSnapshot(m_demo.snapshots.first().accountId);
        cache->flush();
    }
    QFile file(path());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), garbage);
}

TEST_F(SQLiteCache, AFolderThatCannotBeCreatedYieldsAClosedCache) {
    QFile blocker(m_dir.filePath(QStringLiteral("nested")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a file where the folder should go
    blocker.close();
    auto cache = open();
    EXPECT_FALSE(cache->isOpen());
    EXPECT_FALSE(cache->saveAccounts(m_demo.accounts));
    EXPECT_TRUE(cache->loadAccounts().isEmpty());
}

TEST_F(SQLiteCache, CarriesALargeSnapshotWhole) {
    HalvoAccountSnapshot snapshot = m_demo.snapshots.first();
    const HalvoDomain base = snapshot.domains.first();
    snapshot.domains.clear();
    for (int i = 0; i < 10000; ++i) {
        HalvoDomain domain = base;
        domain.domain = QStringLiteral("kunde-%1.example.com").arg(i);
        domain.dnsRecords.resize(1);
        domain.dnsRecords.first().id = i;
        snapshot.domains.append(domain);
    }
    {
        auto cache = open();
        cache->saveSnapshot(snapshot);
    }
    auto cache = open();
    EXPECT_EQ(cache->loadSnapshots().value(snapshot.accountId), snapshot);
}

} // namespace
