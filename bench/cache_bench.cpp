// What the local cache costs the user, each figure beside its baseline, both measured alternately in the
// same benchmark and compared as medians (the counters "ratio", "base_ms" and "subject_ms"):
//  - one snapshot save on the cache worker beside the raw SQLite write of the same JSON bytes;
//  - the last of ten quick actions on disk, counted from the last action, beside one save after one action;
//  - quitting (the cache engine's destructor) after ten quick actions beside one save after one action;
//  - starting the application process up to its first painted frame (as the process reports it) with a 5 MB
//    cache beside the same with the demonstration cache (and, for reference, the cache part of the start alone: opening
//    the file and building the store);
//  - adding one DNS record to a 100,000-record zone beside adding one to a 10-record zone (the store's
//    action on the GUI thread, with the cache worker idle and again while the previous save is still queued
//    or being written).
// The 5 MB snapshot holds 30,000 DNS records in 300 zones, 1,500 IP blocks, 400 VPS and 150 servers.
// For profiling the start by hand: `cache_bench --write-big-cache FILE` writes that cache, and
// `cache_bench --start-child` with XDG_DATA_HOME at a folder holding HalvoPultorium/halvo_instant_cache.sqlite3
// runs one start up to its first paint.

#include "api/HalvoAPIClient.h"
#include "app/Application.h"
#include "model/JsonForm.h"
#include "model/JsonRead.h"
#include "probes/FirstFrame.h"
#include "storage/CredentialStore.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"
#include "support/Bench.h"
#include "support/NoCredentials.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

using halvo::bench::loopbackUrls;
using halvo::bench::median;

HalvoAccount benchAccount() {
    HalvoAccount account;
    account.id = QUuid(QStringLiteral("3d9a1c52-7e0b-4f6a-9c2d-5b8e1f4a7c30"));
    account.label = QStringLiteral("Bench");
    account.nichandle = QStringLiteral("be12345-halvo");
    account.email = QStringLiteral("bench@example.org");
    account.region = HalvoRegion::eu;
    return account;
}

HalvoDomain domainWithRecords(const QString& name, int records) {
    HalvoDomain domain;
    domain.domain = name;
    domain.nameServerType = QStringLiteral("hosted");
    domain.transferLockStatus = QStringLiteral("locked");
    domain.whoisOwner = QStringLiteral("Beispiel GmbH");
    domain.lastUpdate = QStringLiteral("2025-06-01 10:00");
    domain.expiration = QStringLiteral("2026-06-01");
    domain.dnssecSupported = true;
    domain.nameServers = {QStringLiteral("dns1.example.net"), QStringLiteral("ns1.example.net")};
    domain.dnsRecords.reserve(records);
    for (int i = 0; i < records; ++i) {
        domain.dnsRecords.append({.id = 5'000'000'000 + i,
                                  .zone = name,
                                  .subDomain = QStringLiteral("host-%1").arg(i),
                                  .fieldType = i % 5 == 0 ? QStringLiteral("TXT") : QStringLiteral("A"),
                                  .target = i % 5 == 0 ? QStringLiteral("\"v=spf1 include:_spf.example.net ~all\"")
                                                       : QStringLiteral("198.51.100.%1").arg(i % 250),
                                  .ttl = 3600});
    }
    return domain;
}

/// About 5 MB of JSON.
HalvoAccountSnapshot bigSnapshot(const QUuid& accountId) {
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = accountId;
    snapshot.updatedAt = QDateTime::currentDateTimeUtc();
    for (int d = 0; d < 300; ++d)
        snapshot.domains.append(domainWithRecords(QStringLiteral("kunde-%1.example.com").arg(d), 100));
    for (int v = 0; v < 400; ++v) {
        HalvoVPS vps;
        vps.name = QStringLiteral("vps-%1.vps.example.net").arg(v);
        vps.displayName = QStringLiteral("Web %1").arg(v);
        vps.state = QStringLiteral("running");
        vps.modelName = QStringLiteral("vps-value-1-2-40");
        vps.vcore = 2;
        vps.memoryLimitMB = 4096;
        vps.diskSizeGB = 80;
        vps.zone = QStringLiteral("Region Europe-West");
        vps.ipv4 = QStringLiteral("203.0.113.%1").arg(v % 250);
        vps.ipv6 = QStringLiteral("2001:db8::%1").arg(v, 0, 16);
        vps.netbootMode = QStringLiteral("local");
        vps.keymap = QStringLiteral("de");
        snapshot.vpsList.append(vps);
    }
    for (int s = 0; s < 150; ++s) {
        HalvoServer server;
        server.name = QStringLiteral("ns%1.ip-198-51-100.eu").arg(s);
        server.reverse = server.name;
        server.commercialRange = QStringLiteral("Advance-2");
        server.datacenter = QStringLiteral("fra1");
        server.os = QStringLiteral("debian12_64");
        server.state = QStringLiteral("ok");
        server.powerState = QStringLiteral("poweron");
        server.ip = QStringLiteral("198.51.100.%1").arg(s % 250);
        server.cpuModel = QStringLiteral("AMD EPYC 4344P");
        for (int g = 0; g < 2; ++g)
            server.diskGroups.append({.diskGroupId = g,
                                      .description = QStringLiteral("2x 960 GB NVMe"),
                                      .diskType = QStringLiteral("NVMe"),
                                      .numberOfDisks = 2,
                                      .diskSizeGB = 960,
                                      .raidController = QStringLiteral("soft")});
        for (int t = 0; t < 3; ++t)
            server.tasks.append({.taskId = 1000 + t,
                                 .function = QStringLiteral("hardReboot"),
                                 .status = QStringLiteral("done"),
                                 .comment = QStringLiteral("Neustart"),
                                 .lastUpdate = QStringLiteral("2025-06-01 10:00")});
        snapshot.dedicatedServers.append(server);
    }
    for (int b = 0; b < 1500; ++b) {
        HalvoIPBlock block;
        block.ipBlock = QStringLiteral("192.0.%1.%2/29").arg(b / 32).arg((b % 32) * 8);
        block.type = QStringLiteral("failover");
        block.campus = QStringLiteral("FRA");
        block.rir = QStringLiteral("RIPE");
        block.gateway = QStringLiteral("192.0.2.254");
        block.netmask = QStringLiteral("255.255.255.248");
        block.broadcast = QStringLiteral("192.0.2.255");
        block.description = QStringLiteral("Kundenblock %1").arg(b);
        for (int r = 0; r < 4; ++r)
            block.reverseEntries.append({QStringLiteral("192.0.2.%1").arg(r), QStringLiteral("mail.example.com.")});
        for (int f = 0; f < 2; ++f)
            block.firewallRules.append({.sequence = f,
                                        .action = QStringLiteral("permit"),
                                        .protocol = QStringLiteral("tcp"),
                                        .source = QStringLiteral("any"),
                                        .sourcePort = std::nullopt,
                                        .destinationPort = QStringLiteral("443"),
                                        .tcpOption = std::nullopt,
                                        .fragments = false,
                                        .state = QStringLiteral("ok")});
        snapshot.ipBlocks.append(block);
    }
    return snapshot;
}

// ---- one save beside the raw write ----------------------------------------------------------------------

/// A bare SQLite connection with the engine's settings and table, for the raw write of the same bytes.
class RawCache {
public:
    explicit RawCache(const QString& path) {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr);
        sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        sqlite3_exec(m_db,
                     "CREATE TABLE IF NOT EXISTS snapshots (account_id TEXT PRIMARY KEY, updated_at REAL NOT NULL, "
                     "json TEXT NOT NULL)",
                     nullptr, nullptr, nullptr);
    }
    ~RawCache() { sqlite3_close_v2(m_db); }

    void write(const QByteArray& id, const QByteArray& json) {
        sqlite3_stmt* stmt = nullptr;
        sqlite3_prepare_v2(m_db, "INSERT OR REPLACE INTO snapshots (account_id, updated_at, json) VALUES (?1, ?2, ?3)",
                           -1, &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, id.constData(), int(id.size()), SQLITE_STATIC);
        sqlite3_bind_double(stmt, 2, 1.0);
        sqlite3_bind_text(stmt, 3, json.constData(), int(json.size()), SQLITE_STATIC);
        if (sqlite3_step(stmt) != SQLITE_DONE)
            std::fprintf(stderr, "raw write failed: %s\n", sqlite3_errmsg(m_db));
        sqlite3_finalize(stmt);
    }

private:
    sqlite3* m_db = nullptr;
};

/// The base's and the subject's time of each iteration, the subject's being the iteration's time; reported as
/// their medians and the ratio of the two.
class PairedTimes {
public:
    explicit PairedTimes(benchmark::State& state)
        : m_state(state) {}
    PairedTimes(const PairedTimes&) = delete;
    PairedTimes& operator=(const PairedTimes&) = delete;
    ~PairedTimes() {
        const double b = median(m_base);
        const double s = median(m_subject);
        m_state.counters["base_ms"] = b;
        m_state.counters["subject_ms"] = s;
        m_state.counters["ratio"] = b > 0 ? s / b : 0;
    }

    void base(double ms) { m_base.push_back(ms); }
    void subject(double ms) {
        m_subject.push_back(ms);
        m_state.SetIterationTime(ms / 1000);
    }

private:
    benchmark::State& m_state;
    std::vector<double> m_base;
    std::vector<double> m_subject;
};

void BM_SaveBesideRawWrite(benchmark::State& state) {
    QTemporaryDir dir;
    HalvoAccountSnapshot snapshot = bigSnapshot(benchAccount().id);
    const QByteArray json = halvo::json::toJson(snapshot);
    const QByteArray id = snapshot.accountId.toString(QUuid::WithoutBraces).toUtf8();
    state.counters["json_MB"] = double(json.size()) / 1e6;
    RawCache raw(dir.filePath(QStringLiteral("raw.sqlite3")));
    SQLiteCacheEngine cache(dir.filePath(QStringLiteral("cache.sqlite3")));
    raw.write(id, json);
    cache.saveSnapshot(snapshot);
    cache.flush();

    PairedTimes times(state);
    for (auto _ : state) {
        auto start = Clock::now();
        raw.write(id, json);
        times.base(millisecondsSince(start));

        snapshot.updatedAt = snapshot.updatedAt.addSecs(1);
        start = Clock::now();
        cache.saveSnapshot(snapshot);
        cache.flush();
        times.subject(millisecondsSince(start));
    }
}

// ---- ten actions: last save on disk, quitting ------------------------------------------------------------

/// A store on the cache file at `path`, without credentials, so nothing is sent.
struct StoreOnCache {
    explicit StoreOnCache(const QString& path)
        : cache(std::make_unique<SQLiteCacheEngine>(path))
        , api(std::make_unique<HalvoAPIClient>(loopbackUrls()))
        , store(std::make_unique<AppStateStore>(*cache, credentials, *api)) {}

    NoCredentials credentials;
    std::unique_ptr<SQLiteCacheEngine> cache;
    std::unique_ptr<HalvoAPIClient> api;
    std::unique_ptr<AppStateStore> store;
};

/// The bench account and `snapshot` written to the cache file at `path`, unless it holds an account already.
QString seeded(const QString& path, const std::function<HalvoAccountSnapshot()>& snapshot) {
    SQLiteCacheEngine seed(path);
    if (seed.loadAccounts().isEmpty()) {
        seed.saveAccounts({benchAccount()});
        seed.saveSnapshot(snapshot());
    }
    return path;
}

/// A store on a cache holding the bench account with the 5 MB snapshot.
struct BigStore : StoreOnCache {
    explicit BigStore(const QString& path)
        : StoreOnCache(seeded(path, [] { return bigSnapshot(benchAccount().id); })) {}

    /// One user action: the transfer lock of one of the zones switched.
    void action(int n) {
        store->toggleDomainTransferLock(QStringLiteral("kunde-%1.example.com").arg(n % 300));
        QCoreApplication::processEvents();
    }
};

void BM_TenActionsLastSaveOnDisk(benchmark::State& state) {
    QTemporaryDir dir;
    BigStore scene(dir.filePath(QStringLiteral("cache.sqlite3")));
    int n = 0;
    PairedTimes times(state);
    for (auto _ : state) {
        scene.action(n++);
        auto start = Clock::now();
        scene.cache->flush();
        times.base(millisecondsSince(start));

        for (int i = 0; i < 10; ++i)
            scene.action(n++);
        start = Clock::now();
        scene.cache->flush();
        times.subject(millisecondsSince(start));
    }
}

void BM_QuitAfterTenActions(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cache.sqlite3"));
    int n = 0;
    PairedTimes times(state);
    for (auto _ : state) {
        {
            BigStore scene(path);
            scene.action(n++);
            const auto start = Clock::now();
            scene.cache->flush();
            times.base(millisecondsSince(start));
        }
        BigStore scene(path);
        for (int i = 0; i < 10; ++i)
            scene.action(n++);
        scene.store.reset();
        const auto start = Clock::now();
        scene.cache.reset();
        times.subject(millisecondsSince(start));
    }
}

// ---- start -----------------------------------------------------------------------------------------------

const char* const kStartChild = "--start-child";
/// Writes the 5 MB cache to the given path and ends: for profiling the start child by hand.
const char* const kWriteBigCache = "--write-big-cache";

/// The child process of the start benchmark: the application's own start (with the cache file of the
/// data folder in XDG_DATA_HOME), up to the end of the main window's first painted frame.
int startChild(int argc, char** argv) {
    return runApplication(argc, argv, [](QWidget& window) { halvo::bench::quitAfterFirstFrame(window); });
}

/// A data folder as the application finds it, with a copy of the given cache file.
class DataFolder {
public:
    explicit DataFolder(const QString& cacheFile) {
        QDir().mkpath(m_home.filePath(QStringLiteral("data/HalvoPultorium")));
        QFile::copy(cacheFile, m_home.filePath(QStringLiteral("data/HalvoPultorium/halvo_instant_cache.sqlite3")));
    }
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), m_home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

private:
    QTemporaryDir m_home;
};

/// From starting the process to its first paint.
double timeStart(const DataFolder& folder) {
    QProcess child;
    child.setProcessEnvironment(folder.environment());
    const auto start = Clock::now();
    child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(kStartChild)});
    QByteArray output;
    while (!output.contains("painted") && child.waitForReadyRead(60000))
        output += child.readAllStandardOutput();
    const double ms = millisecondsSince(start);
    if (!child.waitForFinished(60000) || child.exitCode() != 0 || !output.contains("painted"))
        std::fprintf(stderr, "start child failed: %s\n", child.readAllStandardError().constData());
    return ms;
}

/// The demonstration cache: what a store writes on an empty cache.
void writeDemonstrationCache(const QString& path) {
    const StoreOnCache empty(path);
    empty.cache->flush();
}

/// The demonstration cache and the 5 MB cache, side by side in a scratch folder.
struct DemoAndBigCaches {
    DemoAndBigCaches() {
        writeDemonstrationCache(demo);
        seeded(big, [] { return bigSnapshot(benchAccount().id); });
    }

    QTemporaryDir dir;
    const QString demo = dir.filePath(QStringLiteral("demo.sqlite3"));
    const QString big = dir.filePath(QStringLiteral("big.sqlite3"));
};

void BM_StartProcess(benchmark::State& state) {
    const DemoAndBigCaches caches;
    const DataFolder demoFolder(caches.demo);
    const DataFolder bigFolder(caches.big);
    timeStart(demoFolder); // warms the file cache
    timeStart(bigFolder);
    PairedTimes times(state);
    for (auto _ : state) {
        times.base(timeStart(demoFolder));
        times.subject(timeStart(bigFolder));
    }
}

/// The cache part of the start alone: opening the file and building the store from it.
void BM_StartCacheAndStore(benchmark::State& state) {
    const DemoAndBigCaches caches;
    const auto timeOpen = [](const QString& path) {
        const auto start = Clock::now();
        const StoreOnCache opened(path);
        return millisecondsSince(start);
    };
    PairedTimes times(state);
    for (auto _ : state) {
        times.base(timeOpen(caches.demo));
        times.subject(timeOpen(caches.big));
    }
}

/// For reference: reading the 5 MB snapshot's text into records, through QJsonDocument (base) and through the
/// storage's reader (subject).
void BM_ReadSnapshotBesideQtReader(benchmark::State& state) {
    const QByteArray json = halvo::json::toJson(bigSnapshot(benchAccount().id));
    QByteArray padded;
    padded.reserve(json.size() + qsizetype(simdjson::SIMDJSON_PADDING));
    padded.append(json);
    PairedTimes times(state);
    for (auto _ : state) {
        auto start = Clock::now();
        std::optional<HalvoAccountSnapshot> read = halvo::json::fromJson<HalvoAccountSnapshot>(padded);
        times.base(millisecondsSince(start));
        read.reset();
        start = Clock::now();
        read = halvo::json::readJson<HalvoAccountSnapshot>(padded);
        times.subject(millisecondsSince(start));
        if (!read)
            state.SkipWithError("the snapshot did not read");
    }
}

// ---- adding a record -------------------------------------------------------------------------------------

/// A store on a cache holding one zone of `records` records.
struct ZoneStore : StoreOnCache {
    ZoneStore(const QString& path, int records)
        : StoreOnCache(seeded(path, [records] {
            HalvoAccountSnapshot snapshot;
            snapshot.accountId = benchAccount().id;
            snapshot.updatedAt = QDateTime::currentDateTimeUtc();
            snapshot.domains = {domainWithRecords(kZone, records)};
            return snapshot;
        })) {}

    double add() {
        const auto start = Clock::now();
        store->addDNSRecord(kZone, QStringLiteral("neu"), QStringLiteral("A"), QStringLiteral("192.0.2.1"), 3600);
        return millisecondsSince(start);
    }

    static inline const QString kZone = QStringLiteral("zone.example.com");
};

/// range(0): 0 the cache worker is idle at each action, 1 the save of the previous action is still queued or
/// running.
void BM_AddRecordBigZoneBesideSmallZone(benchmark::State& state) {
    QTemporaryDir dir;
    ZoneStore small(dir.filePath(QStringLiteral("small.sqlite3")), 10);
    ZoneStore big(dir.filePath(QStringLiteral("big.sqlite3")), 100'000);
    const bool busy = state.range(0) != 0;
    PairedTimes times(state);
    bool smallFirst = true;
    for (auto _ : state) {
        if (!busy) {
            small.cache->flush();
            big.cache->flush();
        }
        // In turns first, so that neither pays alone for what the previous turn left behind.
        double ms = 0;
        if (smallFirst) {
            times.base(small.add());
            ms = big.add();
        } else {
            ms = big.add();
            times.base(small.add());
        }
        smallFirst = !smallFirst;
        times.subject(ms);
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_SaveBesideRawWrite)->Iterations(21)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TenActionsLastSaveOnDisk)->Iterations(11)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuitAfterTenActions)->Iterations(11)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartProcess)->Iterations(11)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StartCacheAndStore)->Iterations(11)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadSnapshotBesideQtReader)->Iterations(11)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddRecordBigZoneBesideSmallZone)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("busy")
    ->Iterations(201)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 2 && qstrcmp(argv[1], kStartChild) == 0)
        return startChild(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], kWriteBigCache) == 0) {
        QCoreApplication app(argc, argv);
        BigStore{QString::fromLocal8Bit(argv[2])};
        return 0;
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    halvo::theme::install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
