// How long the domains view takes to show the store's change after an action on a domain, for zones of
// 10, 1,000 and 10,000 records, beside a refresh in which nothing changed. The second argument says what
// is timed: 0 the view's refresh alone, 1 the refresh and the event-loop turn after it, which lays out and
// paints what changed (and runs whatever else the action queued). The action itself, the cache write it
// queues and the setup are never timed.
// BM_RecordChangeBesideSmallZone sets a 10-record zone beside a larger one in the same process and times
// their refreshes (with the event-loop turn) alternately, so that a busy machine weighs on both alike; its
// counter "ratio" is the median of the larger zone over the median of the small one.

#include "api/HalvoAPIClient.h"
#include "storage/CredentialStore.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"
#include "support/Bench.h"
#include "support/NoCredentials.h"
#include "ui/HalvoRefreshScheduler.h"
#include "ui/Theme.h"
#include "views/domains/DomainsView.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>
#include <chrono>
#include <memory>
#include <vector>

namespace {

const QString kZone = QStringLiteral("bench.example.com");

/// Every action also saves the snapshot (untimed); a fixed count keeps the run short when the timed step is
/// quick.
constexpr int kActionIterations = 300;
constexpr int kWarmUpRounds = 20;

/// A store on a fresh cache holding one account with one domain of `records` records, and a shown view.
class Scene {
public:
    explicit Scene(int records) {
        HalvoAccount account;
        account.id = QUuid::createUuid();
        account.label = QStringLiteral("Bench");
        account.region = HalvoRegion::eu;
        HalvoDomain domain;
        domain.domain = kZone;
        domain.transferLockStatus = QStringLiteral("locked");
        domain.dnssecSupported = true;
        domain.pulsenameSupported = true;
        for (int i = 0; i < records; ++i) {
            domain.dnsRecords.append({.id = 1000 + i,
                                      .zone = kZone,
                                      .subDomain = QStringLiteral("host%1").arg(i),
                                      .fieldType = QStringLiteral("A"),
                                      .target = QStringLiteral("198.51.100.%1").arg(i % 250),
                                      .ttl = 3600});
        }
        HalvoDomain other = domain;
        other.domain = QStringLiteral("other.example.net");
        other.dnsRecords.clear();
        HalvoAccountSnapshot snapshot;
        snapshot.accountId = account.id;
        snapshot.updatedAt = QDateTime::currentDateTimeUtc();
        snapshot.domains = {domain, other};

        cache = std::make_unique<SQLiteCacheEngine>(dir.filePath(QStringLiteral("cache.sqlite3")));
        cache->saveAccounts({account});
        cache->saveSnapshot(snapshot);
        cache->flush();
        api = std::make_unique<HalvoAPIClient>(halvo::bench::loopbackUrls());
        store = std::make_unique<AppStateStore>(*cache, credentials, *api);
        view = std::make_unique<DomainsView>(*store);
        view->resize(1400, 900);
        view->show();
        (void)QTest::qWaitForWindowExposed(view.get());
        settle();
    }

    ~Scene() {
        view.reset();
        settle();
        cache->flush();
    }

    /// The refresh, and with `withEventLoop` the turn of the event loop that shows it; only these are timed.
    void showChange(benchmark::State& state) {
        view->section().refreshNow();
        if (state.range(1)) {
            QCoreApplication::processEvents();
        } else {
            state.PauseTiming();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }

    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
    }

    QTemporaryDir dir;
    NoCredentials credentials;
    std::unique_ptr<SQLiteCacheEngine> cache;
    std::unique_ptr<HalvoAPIClient> api;
    std::unique_ptr<AppStateStore> store;
    std::unique_ptr<DomainsView> view;
};

/// Baseline: a refresh that finds nothing changed.
void BM_EmptyRefresh(benchmark::State& state) {
    Scene scene(int(state.range(0)));
    for (auto _ : state) {
        scene.view->section().schedule();
        scene.showChange(state);
    }
}

/// Runs the action untimed, then times how the view shows it; a few rounds first warm up fonts, icons and
/// the style, which the first paints load.
template <class Action> void timeAction(benchmark::State& state, Scene& scene, Action action) {
    for (int i = 0; i < kWarmUpRounds; ++i) {
        action();
        scene.cache->flush();
        scene.view->section().refreshNow();
        QCoreApplication::processEvents();
    }
    for (auto _ : state) {
        state.PauseTiming();
        action();
        scene.cache->flush();
        state.ResumeTiming();
        scene.showChange(state);
    }
}

/// Adds a record to the shown zone, or deletes the last one again, alternately.
class RecordToggle {
public:
    explicit RecordToggle(Scene& scene)
        : m_scene(scene) {}

    void operator()() {
        if (m_add) {
            m_scene.store->addDNSRecord(kZone, QStringLiteral("bench"), QStringLiteral("A"),
                                        QStringLiteral("192.0.2.1"), 60);
        } else {
            const QList<HalvoDNSRecord> records = m_scene.store->activeSnapshot().domains.first().dnsRecords;
            m_scene.store->deleteDNSRecord(kZone, records.last().id);
        }
        m_add = !m_add;
    }

private:
    Scene& m_scene;
    bool m_add = true;
};

/// A record added to the shown zone, then deleted again, alternately: each shows in the card's title and in
/// one row of the table.
void BM_RefreshAfterRecordChange(benchmark::State& state) {
    Scene scene(int(state.range(0)));
    RecordToggle change(scene);
    timeAction(state, scene, change);
}

/// The record change timed in a 10-record zone and in a zone of `records` records, turn about.
void BM_RecordChangeBesideSmallZone(benchmark::State& state) {
    Scene small(10);
    Scene large(int(state.range(0)));
    RecordToggle changeSmall(small);
    RecordToggle changeLarge(large);
    const auto timeChange = [](Scene& scene, RecordToggle& change) {
        change();
        scene.cache->flush();
        const auto start = std::chrono::steady_clock::now();
        scene.view->section().refreshNow();
        QCoreApplication::processEvents();
        return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    };
    for (int i = 0; i < kWarmUpRounds; ++i) {
        timeChange(small, changeSmall);
        timeChange(large, changeLarge);
    }
    std::vector<double> base, subject;
    for (auto _ : state) {
        state.PauseTiming();
        base.push_back(timeChange(small, changeSmall));
        state.ResumeTiming();
        subject.push_back(timeChange(large, changeLarge));
    }
    const double b = halvo::bench::median(base);
    const double s = halvo::bench::median(subject);
    state.counters["small_us"] = b;
    state.counters["large_us"] = s;
    state.counters["ratio"] = b > 0 ? s / b : 0;
}

/// A change of the domain that leaves its records as they are (the DNSSEC switch).
void BM_RefreshAfterDomainToggle(benchmark::State& state) {
    Scene scene(int(state.range(0)));
    timeAction(state, scene, [&] { scene.store->toggleDNSSEC(kZone); });
}

} // namespace

BENCHMARK(BM_EmptyRefresh)
    ->ArgsProduct({{10, 1000, 10000}, {0, 1}})
    ->ArgNames({"records", "eventLoop"})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshAfterRecordChange)
    ->ArgsProduct({{10, 1000, 10000}, {0, 1}})
    ->ArgNames({"records", "eventLoop"})
    ->Iterations(kActionIterations)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RecordChangeBesideSmallZone)
    ->Arg(1000)
    ->Arg(10000)
    ->ArgNames({"records"})
    ->Iterations(kActionIterations)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RefreshAfterDomainToggle)
    ->ArgsProduct({{10, 1000, 10000}, {0, 1}})
    ->ArgNames({"records", "eventLoop"})
    ->Iterations(kActionIterations)
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    halvo::theme::install();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
