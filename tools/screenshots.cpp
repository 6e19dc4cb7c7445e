// Draws the main window with the demonstration data on a temporary cache and writes one PNG per section
// and per tab of the shown item into the folder given on the command line. Exits non-zero when a section
// draws nothing, a picture cannot be made or written, or a view names a symbol the theme lacks.
//
// Usage: halvo-screenshots OUTPUT_FOLDER

#include "api/HalvoAPIClient.h"
#include "app/MainWindow.h"
#include "storage/CredentialStore.h"
#include "storage/SQLiteCacheEngine.h"
#include "store/AppStateStore.h"
#include "ui/HalvoConfirmationSheet.h"
#include "ui/HalvoSectionFrame.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

/// Holds no credentials, so nothing is ever sent.
class NoCredentials final : public CredentialStore {
public:
    void save(const QUuid&, const Credentials&, std::function<void(bool)> done) override {
        QTimer::singleShot(0, qApp, [done] { done(false); });
    }
    void read(const QUuid&, std::function<void(std::optional<Credentials>)> done) override {
        QTimer::singleShot(0, qApp, [done] { done(std::nullopt); });
    }
    void remove(const QUuid&, std::function<void(bool)> done) override {
        QTimer::singleShot(0, qApp, [done] { done(false); });
    }
};

void settle() {
    for (int i = 0; i < 6; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void fail(const QString& message) {
    std::fprintf(stderr, "halvo-screenshots: %s\n", qPrintable(message));
}

/// A picture of one colour only shows nothing.
bool showsSomething(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 3) {
        for (int x = 0; x < image.width(); x += 3) {
            colours.insert(image.pixel(x, y));
            if (colours.size() > 8)
                return true;
        }
    }
    return false;
}

QString fileSafe(QString text) {
    text = text.toLower();
    QString result;
    for (const QChar c : text)
        result += c.isLetterOrNumber() && c.unicode() < 128 ? c : QLatin1Char('-');
    while (result.contains(QStringLiteral("--")))
        result.replace(QStringLiteral("--"), QStringLiteral("-"));
    return result;
}

bool save(const QPixmap& pixmap, const QDir& folder, const QString& name) {
    if (pixmap.isNull()) {
        fail(name + QStringLiteral(": the picture is empty"));
        return false;
    }
    if (!pixmap.save(folder.filePath(name), "PNG")) {
        fail(name + QStringLiteral(": could not be written"));
        return false;
    }
    std::printf("%s\n", qPrintable(folder.filePath(name)));
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    halvo::theme::install();

    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 2) {
        std::fprintf(stderr, "usage: halvo-screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    QDir folder(arguments.at(1));
    if (!folder.mkpath(QStringLiteral("."))) {
        fail(QStringLiteral("cannot create ") + folder.path());
        return 1;
    }

    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        fail(QStringLiteral("no temporary folder"));
        return 1;
    }
    SQLiteCacheEngine cache(scratch.filePath(QStringLiteral("halvo_instant_cache.sqlite3")));
    NoCredentials credentials;
    // Every region points at a closed local port; the demonstration accounts have no credentials anyway.
    HalvoAPIClient::BaseUrls loopback;
    for (const HalvoRegion region : {HalvoRegion::eu, HalvoRegion::ca, HalvoRegion::us})
        loopback.insert(region, QUrl(QStringLiteral("http://127.0.0.1:9/1.0")));
    HalvoAPIClient api(loopback);
    AppStateStore store(cache, credentials, api);

    MainWindow window(store);
    // The offscreen screen is small; draw at the size the window opens with on a desktop.
    window.resize(MainWindow::kDefaultWidth, MainWindow::kDefaultHeight);
    window.show();
    settle();

    halvo::theme::clearUnknownSymbolsRequested();
    bool ok = true;
    int number = 0;
    for (const NavigationSection section : kAllNavigationSections) {
        store.setSelectedSection(section);
        settle();
        const QString base =
            QStringLiteral("%1-%2").arg(++number, 2, 10, QLatin1Char('0')).arg(fileSafe(rawValue(section)));
        QWidget* view = window.sectionView();
        if (!view || !view->isVisible() || !showsSomething(view->grab().toImage())) {
            fail(rawValue(section) + QStringLiteral(": the section shows nothing"));
            ok = false;
        }
        ok = save(window.grab(), folder, base + QStringLiteral(".png")) && ok;

        auto* frame = view ? view->findChild<HalvoSectionFrame*>() : nullptr;
        const int tabs = frame ? int(frame->tabButtons().size()) : 0;
        for (int tab = 0; tab < tabs; ++tab) {
            const auto buttons = frame->tabButtons();
            if (tab >= buttons.size())
                break;
            buttons.at(tab)->click();
            settle();
            ok = save(window.grab(), folder, base + QStringLiteral("-tab%1.png").arg(tab + 1)) && ok;
        }
    }

    // The confirmation sheet, as a typed confirmation shows it.
    HalvoConfirmRequest request;
    request.title = QStringLiteral("OS-Neuinstallation");
    request.message = QStringLiteral("Alle Daten werden überschrieben.");
    request.warningDetails = QStringLiteral("Dieser Vorgang kann nicht rückgängig gemacht werden.");
    request.confirmButtonTitle = QStringLiteral("Neu installieren");
    request.variant = HalvoButtonVariant::danger;
    request.requireTypedConfirmation = QStringLiteral("ns3001.example");
    store.requestConfirmation(request);
    settle();
    if (HalvoConfirmationSheet* sheet = window.confirmationPresenter()->sheet())
        ok =
            save(sheet->grab(), folder, QStringLiteral("%1-confirmation.png").arg(++number, 2, 10, QLatin1Char('0'))) &&
            ok;
    else {
        fail(QStringLiteral("the confirmation sheet was not shown"));
        ok = false;
    }
    store.clearPendingConfirmation();
    settle();

    const QStringList unknown = halvo::theme::unknownSymbolsRequested();
    if (!unknown.isEmpty()) {
        fail(QStringLiteral("symbols without an icon: ") + unknown.join(QStringLiteral(", ")));
        ok = false;
    }
    return ok ? 0 : 1;
}
