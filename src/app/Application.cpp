#include "app/Application.h"

#include "api/HalvoAPIClient.h"
#include "app/MainWindow.h"
#include "app/SingleInstance.h"
#include "app/StartupPreload.h"
#include "storage/KeychainService.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QFileInfo>

int runApplication(int argc, char** argv, const std::function<void(QWidget& window)>& windowCreated) {
    StartupPreload preload; // runs while the application connects to the display
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vevavavozi Pultorium Pro"));

    // One instance per data folder: a later start brings the running window to the front and ends here,
    // before anything opens the cache.
    SingleInstance instance(QFileInfo(SQLiteCacheEngine::defaultFilePath()).absolutePath());
    switch (instance.start()) {
    case SingleInstance::Start::first:
    case SingleInstance::Start::unguarded:
        break;
    case SingleInstance::Start::handedOver:
        return 0;
    case SingleInstance::Start::heldElsewhere:
        return 1;
    }

    // Its worker starts reading the file now, while the theme is installed.
    SQLiteCacheEngine cache;
    preload.wait();
    halvo::theme::install();

    // Process-wide for the whole run, in the order the store needs them.
    KeychainService keychain;
    HalvoAPIClient api;
    AppStateStore store(cache, keychain, api);

    MainWindow window(store);
    QObject::connect(&instance, &SingleInstance::activationRequested, &window, [&window] { bringToFront(&window); });
    if (windowCreated)
        windowCreated(window);
    window.show();
    return QApplication::exec();
}
