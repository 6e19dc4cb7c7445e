// The store on a cache that fails: what the user owns is never replaced by demonstration data, never saved
// over when it could not be read whole, and every failure of the cache ends as a sentence in the status line
// that says what is affected and that changes are not saved. All against real files.

#include "model/JsonRead.h"
#include "store/DemoData.h"
#include "support/CaseNames.h"
#include "support/QtPrinters.h"
#include "support/ScratchFileSystem.h"
#include "support/StoreHarness.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

using halvo::test::fileBytes;
using halvo::test::MemoryCredentialStore;
using halvo::test::ScratchFileSystem;

const QDateTime kNow = QDateTime(QDate(2025, 6, 14), QTime(9, 30), Qt::UTC);
const QString kZone = QStringLiteral("zone-07.example.com");

HalvoAPIClient::BaseUrls loopback() {
    HalvoAPIClient::BaseUrls urls;
    for (const HalvoRegion region : kAllRegions)
        urls.insert(region, QUrl(QStringLiteral("http://127.0.0.1:9/1.0")));
    return urls;
}

/// A store on the cache file at `path`, as the application builds it.
struct App {
    explicit App(const QString& path, SQLiteCacheEngine::Options options = {})
        : App(std::make_unique<SQLiteCacheEngine>(path, options)) {}
    explicit App(std::unique_ptr<SQLiteCacheEngine> engine)
        : cache(std::move(engine))
        , api(std::make_unique<HalvoAPIClient>(loopback()))
        , store(std::make_unique<AppStateStore>(*cache, credentials, *api)) {
        store->setClock([] { return kNow; });
    }
    /// Closes it as the application quits: the store first, then the cache.
    void quit() {
        store.reset();
        cache.reset();
    }
    /// Runs the event loop until the status line says something about the cache.
    bool waitForCacheSentence() {
        return QTest::qWaitFor(
            [this] { return store->lastActionMessage().startsWith(QStringLiteral("Lokaler Cache")); });
    }

    MemoryCredentialStore credentials;
    std::unique_ptr<SQLiteCacheEngine> cache;
    std::unique_ptr<HalvoAPIClient> api;
    std::unique_ptr<AppStateStore> store;
};

HalvoAccount testAccount() {
    HalvoAccount account;
    account.id = QUuid(QStringLiteral("9d1e2f3a-4b5c-4d6e-8f70-a1b2c3d4e5f6"));
    account.label = QStringLiteral("Kundenkonto");
    account.region = HalvoRegion::eu;
    return account;
}

/// 60 domains of 4 records each: 240 records.
HalvoAccountSnapshot sixtyDomains() {
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = testAccount().id;
    snapshot.updatedAt = kNow.addDays(-1);
    for (int d = 0; d < 60; ++d) {
        HalvoDomain domain;
        domain.domain = QStringLiteral("zone-%1.example.com").arg(d, 2, 10, QLatin1Char('0'));
        domain.transferLockStatus = QStringLiteral("locked");
        for (int r = 0; r < 4; ++r)
            domain.dnsRecords.append({.id = d * 10 + r,
                                      .zone = domain.domain,
                                      .subDomain = QString::number(r),
                                      .fieldType = QStringLiteral("A"),
                                      .target = QStringLiteral("192.0.2.1"),
                                      .ttl = 3600});
        snapshot.domains.append(domain);
    }
    return snapshot;
}

void writeCache(const QString& path, const QList<HalvoAccount>& accounts,
                const QList<HalvoAccountSnapshot>& snapshots) {
    SQLiteCacheEngine cache(path);
    ASSERT_EQ(cache.seed(accounts, snapshots), SQLiteCacheEngine::SeedResult::written);
}

class RawFile {
public:
    explicit RawFile(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr);
    }
    ~RawFile() { sqlite3_close_v2(m_db); }
    bool exec(const char* sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    QByteArray text(const char* sql) {
        sqlite3_stmt* stmt = nullptr;
        QByteArray result;
        if (sqlite3_prepare_v2(m_db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            result =
                QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)), sqlite3_column_bytes(stmt, 0));
        sqlite3_finalize(stmt);
        return result;
    }
    bool setSnapshotJson(const QByteArray& json) {
        sqlite3_stmt* stmt = nullptr;
        bool ok = sqlite3_prepare_v2(m_db, "UPDATE snapshots SET json = ?1", -1, &stmt, nullptr) == SQLITE_OK &&
                  sqlite3_bind_text(stmt, 1, json.constData(), int(json.size()), SQLITE_TRANSIENT) == SQLITE_OK &&
                  sqlite3_step(stmt) == SQLITE_DONE;
        sqlite3_finalize(stmt);
        return ok;
    }

private:
    sqlite3* m_db = nullptr;
};

// ---- a cache that cannot be read at all ----

struct UnreadableCache {
    const char* name;
    std::function<bool(ScratchFileSystem&, const QString& path)> spoil;
    const char* reason;
    bool smallFileSystem = false;
};

void PrintTo(const UnreadableCache& c, std::ostream* os) {
    *os << c.name;
}

class StoreOnAnUnreadableCache : public ::testing::TestWithParam<UnreadableCache> {};

TEST_P(StoreOnAnUnreadableCache, ShowsNoDemonstrationDataSaysSoAndNeverWritesTheFile) {
    ScratchFileSystem fs(GetParam().smallFileSystem ? 4 * 1024 * 1024 : 0);
    const QString path = fs.filePath(QStringLiteral("halvo_instant_cache.sqlite3"));
    writeCache(path, {testAccount()}, {sixtyDomains()});
    if (!GetParam().spoil(fs, path))
        GTEST_SKIP() << "cannot be made here";
    const QByteArray before = fileBytes(path);

    App app(path);
    EXPECT_TRUE(app.store->accounts().isEmpty());
    EXPECT_FALSE(app.store->activeAccountId().has_value());
    EXPECT_EQ(app.store->lastActionMessage(), QStringLiteral("Lokaler Cache nicht verfügbar (") +
                                                  QString::fromUtf8(GetParam().reason) + QStringLiteral("): ") + path +
                                                  QStringLiteral(" – Änderungen werden nicht gespeichert."));
    EXPECT_EQ(app.store->lastActionMessageKind(), AppStateStore::MessageKind::failure);
    app.quit();
    EXPECT_EQ(fileBytes(path), before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoreOnAnUnreadableCache,
    ::testing::Values(
        UnreadableCache{"random bytes",
                        [](ScratchFileSystem&, const QString& path) {
                            QFile file(path);
                            QByteArray bytes(8192, Qt::Uninitialized);
                            for (qsizetype i = 0; i < bytes.size(); ++i)
                                bytes[i] = char(QRandomGenerator::global()->bounded(256));
                            return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) > 0;
                        },
                        "keine Cache-Datei"},
        UnreadableCache{"header only", [](ScratchFileSystem&, const QString& path) { return QFile(path).resize(100); },
                        "Datei beschädigt"},
        UnreadableCache{
            "folder in place of the file",
            [](ScratchFileSystem&, const QString& path) { return QFile::remove(path) && QDir().mkpath(path); },
            "Datei lässt sich nicht öffnen"},
        UnreadableCache{"read-only folder", [](ScratchFileSystem& fs, const QString&) { return fs.makeReadOnly(); },
                        "keine Schreibrechte", true},
        UnreadableCache{"full file system", [](ScratchFileSystem& fs, const QString&) { return fs.fill(); },
                        "Datenträger voll", true}),
    NamedByItsName());

// ---- rows that do not read ----

TEST(StoreCache, AccountRowsThatDoNotDecodeAreNeitherReplacedByDemonstrationDataNorRewritten) {
    ScratchFileSystem fs;
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    writeCache(path, {testAccount()}, {sixtyDomains()});
    {
        // As a future relabelled region would leave it.
        RawFile raw(path);
        ASSERT_TRUE(raw.exec("UPDATE accounts SET json = replace(json, 'Europa (eu.api.halvo.com)', 'Europa')"));
    }
    const QByteArray before = fileBytes(path);
    App app(path);
    EXPECT_TRUE(app.store->accounts().isEmpty());
    EXPECT_EQ(
        app.store->lastActionMessage(),
        QStringLiteral("Lokaler Cache: 1 von 1 Accounts nicht lesbar – nicht angezeigt, in der Datei unverändert."));
    app.quit();
    EXPECT_EQ(fileBytes(path), before);
}

TEST(StoreCache, OneBadValueHidesOnlyItsRecordAndTheAccountIsNeverSavedOver) {
    ScratchFileSystem fs;
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    const HalvoAccountSnapshot snapshot = sixtyDomains();
    writeCache(path, {testAccount()}, {snapshot});
    {
        RawFile raw(path);
        QByteArray json = raw.text("SELECT json FROM snapshots");
        const QByteArray record = halvo::json::toJson(snapshot.domains[7].dnsRecords[2]);
        ASSERT_TRUE(json.contains(record));
        json.replace(record, QByteArray(record).replace("\"ttl\":3600", "\"ttl\":3600.5"));
        ASSERT_TRUE(raw.setSnapshotJson(json));
    }
    const QByteArray storedBefore = RawFile(path).text("SELECT json FROM snapshots");

    App app(path);
    // All 60 domains and 239 of the 240 records are there, and the status line says what is missing.
    const HalvoAccountSnapshot shown = app.store->activeSnapshot();
    ASSERT_EQ(shown.domains.size(), 60);
    HalvoAccountSnapshot expected = snapshot;
    expected.domains[7].dnsRecords.removeAt(2);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(app.store->lastActionMessage(),
              QStringLiteral("Lokaler Cache: 1 Eintrag von 'Kundenkonto' nicht lesbar – ausgeblendet; Änderungen an "
                             "diesem Account werden nicht gespeichert."));

    // An action changes what is shown, says so, and then that it is not saved; the row stays as it was.
    app.store->toggleDNSSEC(kZone);
    EXPECT_TRUE(app.store->activeSnapshot().domains[7].dnssecEnabled);
    EXPECT_TRUE(app.store->lastActionMessage().startsWith(QStringLiteral("Domain zone-07.example.com: DNSSEC")));
    ASSERT_TRUE(app.waitForCacheSentence());
    EXPECT_EQ(app.store->lastActionMessage(),
              QStringLiteral("Lokaler Cache: Änderungen an 'Kundenkonto' werden nicht gespeichert, weil seine "
                             "gespeicherten Daten nicht ganz lesbar sind."));
    app.quit();
    EXPECT_EQ(RawFile(path).text("SELECT json FROM snapshots"), storedBefore);
}

TEST(StoreCache, ASnapshotThatDoesNotReadIsReportedAndKept) {
    ScratchFileSystem fs;
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    writeCache(path, {testAccount()}, {sixtyDomains()});
    {
        RawFile raw(path);
        const QByteArray json = raw.text("SELECT json FROM snapshots");
        ASSERT_TRUE(raw.setSnapshotJson(json.left(json.size() - 1000)));
    }
    const QByteArray before = fileBytes(path);
    App app(path);
    ASSERT_EQ(app.store->accounts().size(), 1);
    EXPECT_TRUE(app.store->activeSnapshot().domains.isEmpty());
    EXPECT_EQ(app.store->lastActionMessage(),
              QStringLiteral("Lokaler Cache: Daten von 'Kundenkonto' nicht lesbar – nicht angezeigt; Änderungen an "
                             "diesem Account werden nicht gespeichert."));
    app.quit();
    EXPECT_EQ(fileBytes(path), before);
}

TEST(StoreCache, DemonstrationDataGoesOnlyIntoAnAccountTableWithoutRowsAndLeavesOtherRowsAlone) {
    ScratchFileSystem fs;
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    {
        SQLiteCacheEngine cache(path);
        ASSERT_TRUE(cache.isOpen());
    }
    {
        RawFile raw(path);
        ASSERT_TRUE(raw.exec("INSERT INTO snapshots VALUES ('ohne-account', 0, 'kein JSON')"));
    }
    App app(path);
    EXPECT_EQ(app.store->lastActionMessage(), AppStateStore::kInitialMessage);
    EXPECT_EQ(app.store->accounts().size(), 3);
    app.quit();
    SQLiteCacheEngine reopened(path);
    const SQLiteCacheEngine::Contents contents = reopened.load();
    EXPECT_EQ(contents.accounts.size(), 3);
    EXPECT_EQ(contents.snapshots.size(), 3);
    EXPECT_EQ(contents.unreadableRows, 1);
    EXPECT_EQ(RawFile(path).text("SELECT json FROM snapshots WHERE account_id = 'ohne-account'"), "kein JSON");
}

// ---- writes that fail ----

TEST(StoreCache, AFailedSaveIsReportedAndTheNewestSnapshotIsSavedAtTheNextChange) {
    ScratchFileSystem fs(2 * 1024 * 1024);
    if (!fs.isSmall())
        GTEST_SKIP() << "needs a file system of its own (root may mount a tmpfs)";
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    writeCache(path, {testAccount()}, {sixtyDomains()});
    App app(path);
    ASSERT_TRUE(fs.fill());

    app.store->toggleDNSSEC(kZone);
    ASSERT_TRUE(app.waitForCacheSentence());
    EXPECT_EQ(app.store->lastActionMessage(),
              QStringLiteral("Lokaler Cache: Änderungen an 'Kundenkonto' nicht gespeichert (Datenträger voll) – neuer "
                             "Versuch bei der nächsten Änderung."));
    EXPECT_EQ(app.store->lastActionMessageKind(), AppStateStore::MessageKind::failure);
    EXPECT_FALSE(app.cache->flush());

    fs.unfill();
    app.store->toggleDomainTransferLock(kZone);
    EXPECT_TRUE(app.cache->flush());
    const HalvoAccountSnapshot shown = app.store->activeSnapshot();
    app.quit();
    SQLiteCacheEngine reopened(path);
    const HalvoAccountSnapshot saved = reopened.loadSnapshots().value(testAccount().id);
    EXPECT_EQ(saved, shown);
    EXPECT_TRUE(saved.domains[7].dnssecEnabled);
    EXPECT_EQ(saved.domains[7].transferLockStatus, QStringLiteral("unlocked"));
}

TEST(StoreCache, DemonstrationDataThatCannotBeWrittenAtTheFirstStartIsWrittenWithTheNextChange) {
    ScratchFileSystem fs(1024 * 1024);
    SQLiteCacheEngine::Options options;
    if (!fs.isSmall())
        options.maxPageCount = 8; // the empty tables fit, the demonstration data does not
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    // The file is made and opened while there is room; then the disk is full.
    auto cache = std::make_unique<SQLiteCacheEngine>(path, options);
    ASSERT_TRUE(cache->isOpen());
    if (fs.isSmall()) {
        ASSERT_TRUE(fs.fill());
    }
    App app(std::move(cache));
    EXPECT_EQ(app.store->accounts().size(), 3) << "shown, though not saved";
    EXPECT_EQ(app.store->lastActionMessage(),
              QStringLiteral("Lokaler Cache: Demodaten nicht gespeichert (Datenträger voll) – Änderungen werden nicht "
                             "gespeichert, neuer Versuch bei der nächsten Änderung."));
    EXPECT_EQ(SQLiteCacheEngine(path).load().accountRows, 0);
    if (!fs.isSmall())
        return;

    fs.unfill();
    const QString domain = app.store->activeSnapshot().domains.first().domain;
    app.store->toggleDNSSEC(domain);
    const QList<HalvoAccount> accounts = app.store->accounts();
    const QHash<QUuid, HalvoAccountSnapshot> snapshots = app.store->snapshots();
    app.quit();
    SQLiteCacheEngine reopened(path);
    EXPECT_EQ(reopened.loadAccounts(), accounts);
    EXPECT_EQ(reopened.loadSnapshots(), snapshots);
}

// ---- the cost of a change ----

TEST(StoreCache, AddingARecordWhileTheCacheIsBusyChangesTheZoneInPlace) {
    ScratchFileSystem fs;
    const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = testAccount().id;
    snapshot.updatedAt = kNow;
    HalvoDomain domain;
    domain.domain = kZone;
    for (int r = 0; r < 20000; ++r)
        domain.dnsRecords.append({.id = r,
                                  .zone = kZone,
                                  .subDomain = QString::number(r),
                                  .fieldType = QStringLiteral("A"),
                                  .target = QStringLiteral("192.0.2.1"),
                                  .ttl = 60});
    snapshot.domains = {domain};
    writeCache(path, {testAccount()}, {snapshot});
    App app(path);
    // Read without taking a copy, which would itself make the store copy at its next change.
    const auto records = [&] { return &app.store->snapshots().constFind(testAccount().id)->domains.at(0).dnsRecords; };
    const auto add = [&] {
        app.store->addDNSRecord(kZone, QStringLiteral("neu"), QStringLiteral("A"), QStringLiteral("192.0.2.2"), 60);
    };
    add();
    ASSERT_TRUE(app.cache->flush());

    RawFile other(path);
    ASSERT_TRUE(other.exec("BEGIN IMMEDIATE")); // the cache's next write waits for this lock
    add();                                      // its save is written as soon as the lock is free
    add();                                      // its save waits in the queue, sharing the records
    ASSERT_GT(records()->capacity(), records()->size());
    const HalvoDNSRecord* data = records()->constData();
    add();
    EXPECT_EQ(records()->constData(), data) << "the records were copied";
    ASSERT_TRUE(other.exec("COMMIT"));

    EXPECT_TRUE(app.cache->flush());
    const qsizetype shown = records()->size();
    EXPECT_EQ(shown, 20004);
    app.quit();
    EXPECT_EQ(SQLiteCacheEngine(path).loadSnapshots().value(testAccount().id).domains.first().dnsRecords.size(), shown);
}

// ---- a kill during the first start ----

const char* const kFirstStartEnv = "HALVO_FIRST_START_CACHE";

// Runs only in the child: the first start of the application on an empty cache, until it is killed.
TEST(StoreFirstStartChild, DISABLED_StartUntilKilled) {
    const QString path = qEnvironmentVariable(kFirstStartEnv);
    ASSERT_FALSE(path.isEmpty());
    std::puts("starting");
    std::fflush(stdout);
    App app(path);
    std::puts("started");
    std::fflush(stdout);
    QTest::qWait(60'000);
}

TEST(StoreFirstStart, AKillLeavesAllOfTheDemonstrationDataOrNoneOfIt) {
    QRandomGenerator random(20250615);
    int whole = 0;
    for (int run = 0; run < 20; ++run) {
        ScratchFileSystem fs;
        const QString path = fs.filePath(QStringLiteral("cache.sqlite3"));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kFirstStartEnv), path);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--gtest_also_run_disabled_tests"),
                     QStringLiteral("--gtest_filter=StoreFirstStartChild.DISABLED_StartUntilKilled")});
        ASSERT_TRUE(child.waitForStarted(10000));
        QByteArray output;
        while (!output.contains("starting")) {
            ASSERT_EQ(child.state(), QProcess::Running) << child.readAllStandardError().toStdString();
            child.waitForReadyRead(200);
            output += child.readAllStandardOutput();
        }
        QThread::usleep(random.bounded(0, 30'000)); // the random moment of the kill
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));

        SQLiteCacheEngine cache(path);
        const SQLiteCacheEngine::Contents contents = cache.load();
        ASSERT_EQ(contents.error, 0) << "run " << run;
        ASSERT_TRUE(contents.accountRows == 0 || contents.accountRows == 3) << "run " << run;
        EXPECT_EQ(contents.snapshots.size(), contents.accountRows) << "run " << run;
        EXPECT_TRUE(contents.unreadableSnapshots.isEmpty()) << "run " << run;
        whole += contents.accountRows == 3;
    }
    RecordProperty("wholeDemonstrationData", whole);
}

} // namespace
