// How long the main window takes to show a new status text of 100 characters (the baseline), 64 Ki, 1 Mi and
// 64 Mi characters, as a server's long error body would make it: the store's setter and the event-loop turn
// that lays out and paints the status line are timed together. Two texts that differ in their first
// character take turns, so every round changes the line.

#include "api/HalvoAPIClient.h"
#include "app/MainWindow.h"
#include "storage/CredentialStore.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"
#include "support/Bench.h"
#include "support/NoCredentials.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>
#include <memory>

namespace {

/// A shown main window on the demonstration data of a fresh cache.
struct Scene {
    Scene() {
        cache = std::make_unique<SQLiteCacheEngine>(dir.filePath(QStringLiteral("cache.sqlite3")));
        api = std::make_unique<HalvoAPIClient>(halvo::bench::loopbackUrls());
        store = std::make_unique<AppStateStore>(*cache, credentials, *api);
        window = std::make_unique<MainWindow>(*store);
        window->show();
        (void)QTest::qWaitForWindowExposed(window.get());
        QCoreApplication::processEvents();
    }
    ~Scene() {
        window.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        cache->flush();
    }

    QTemporaryDir dir;
    NoCredentials credentials;
    std::unique_ptr<SQLiteCacheEngine> cache;
    std::unique_ptr<HalvoAPIClient> api;
    std::unique_ptr<AppStateStore> store;
    std::unique_ptr<MainWindow> window;
};

void BM_ShowStatusText(benchmark::State& state) {
    Scene scene;
    const qsizetype length = state.range(0);
    const QString texts[] = {QStringLiteral("A") + QString(length - 1, u'x'),
                             QStringLiteral("B") + QString(length - 1, u'x')};
    int next = 0;
    for (auto _ : state) {
        scene.store->setLastActionMessage(texts[next]);
        QCoreApplication::processEvents();
        next = 1 - next;
    }
    state.counters["shownChars"] = double(scene.store->lastActionMessage().size());
}

} // namespace

BENCHMARK(BM_ShowStatusText)
    ->Arg(100)
    ->Arg(64 * 1024)
    ->Arg(1024 * 1024)
    ->Arg(64 * 1024 * 1024)
    ->ArgName("chars")
    ->Iterations(20)
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
