#include "api/HalvoAPIClient.h"
#include "app/MainWindow.h"
#include "storage/KeychainService.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"
#include "ui/Theme.h"

#include <QApplication>

int main(int argc, char** argv) {
    // First of all, so that its worker reads the file while the application and its theme start.
    SQLiteCacheEngine cache;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vevavavozi Pultorium Pro"));
    halvo::theme::install();

    // Process-wide for the whole run, in the order the store needs them.
    KeychainService keychain;
    HalvoAPIClient api;
    AppStateStore store(cache, keychain, api);

    MainWindow window(store);
    window.show();
    return QApplication::exec();
}
