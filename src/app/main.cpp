#include "api/HalvoAPIClient.h"
#include "app/MainWindow.h"
#include "storage/KeychainService.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"
#include "ui/Theme.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vevavavozi Pultorium Pro"));
    halvo::theme::install();

    // Process-wide for the whole run, in the order the store needs them.
    SQLiteCacheEngine cache;
    KeychainService keychain;
    HalvoAPIClient api;
    AppStateStore store(cache, keychain, api);

    MainWindow window(store);
    window.show();
    return QApplication::exec();
}
