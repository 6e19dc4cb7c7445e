// Draws the main window with the demonstration data on a temporary cache and writes one PNG per section
// and per tab of the shown item into the folder given on the command line, then every section, item and
// tab again at the minimum window size ("min-…"), and once more at scale factor 2 ("scale2-…", drawn by a
// second run of this program with the scale factor set). Exits non-zero when a section draws nothing, a
// picture cannot be made or written, or a view names a symbol the theme lacks.
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

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QImage>
#include <QItemSelectionModel>
#include <QListView>
#include <QProcess>
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

/// Every section, every item of its list and every tab of each item, at the window's present size.
bool saveEveryItem(MainWindow& window, AppStateStore& store, const QDir& folder, const QString& prefix) {
    bool ok = true;
    int number = 0;
    for (const NavigationSection section : kAllNavigationSections) {
        store.setSelectedSection(section);
        settle();
        const QString base =
            prefix + QStringLiteral("%1-%2").arg(++number, 2, 10, QLatin1Char('0')).arg(fileSafe(rawValue(section)));
        QWidget* view = window.sectionView();
        auto* frame = view ? view->findChild<HalvoSectionFrame*>() : nullptr;
        if (!frame) {
            fail(rawValue(section) + QStringLiteral(": no section frame"));
            ok = false;
            continue;
        }
        QAbstractItemModel* model = frame->listView()->model();
        const int items = model ? model->rowCount() : 0;
        for (int item = 0; item < items; ++item) {
            // As the user's click does: through the list's selection.
            frame->listView()->selectionModel()->setCurrentIndex(model->index(item, 0),
                                                                 QItemSelectionModel::ClearAndSelect);
            settle();
            const QString itemBase = base + QStringLiteral("-item%1").arg(item + 1);
            const int tabs = int(frame->tabButtons().size());
            if (tabs == 0) {
                ok = save(window.grab(), folder, itemBase + QStringLiteral(".png")) && ok;
                continue;
            }
            for (int tab = 0; tab < tabs; ++tab) {
                const auto buttons = frame->tabButtons();
                if (tab >= buttons.size())
                    break;
                buttons.at(tab)->click();
                settle();
                ok = save(window.grab(), folder, itemBase + QStringLiteral("-tab%1.png").arg(tab + 1)) && ok;
            }
            // The next item starts at its first tab.
            if (!frame->tabButtons().isEmpty()) {
                frame->tabButtons().first()->click();
                settle();
            }
        }
    }
    return ok;
}

constexpr auto kScaledPass = "--scaled-pass";

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    halvo::theme::install();

    QStringList arguments = QCoreApplication::arguments();
    const bool scaledPass = arguments.size() == 3 && arguments.at(1) == QLatin1String(kScaledPass);
    if (scaledPass)
        arguments.removeAt(1);
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
    window.show();
    settle();
    // The offscreen screen is small; draw at the size the window opens with on a desktop (after the window
    // has fitted itself to the screen on showing).
    window.resize(MainWindow::kDefaultWidth, MainWindow::kDefaultHeight);
    settle();

    halvo::theme::clearUnknownSymbolsRequested();
    if (scaledPass) {
        // Run with the scale factor set by the first run: the minimum window, every item, twice the pixels.
        window.resize(MainWindow::kMinimumContentWidth, MainWindow::kMinimumContentHeight);
        settle();
        bool ok = saveEveryItem(window, store, folder, QStringLiteral("scale2-"));
        const QStringList unknown = halvo::theme::unknownSymbolsRequested();
        if (!unknown.isEmpty()) {
            fail(QStringLiteral("symbols without an icon: ") + unknown.join(QStringLiteral(", ")));
            ok = false;
        }
        return ok ? 0 : 1;
    }
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

    // Every section, item and tab at the minimum window size.
    window.resize(MainWindow::kMinimumContentWidth, MainWindow::kMinimumContentHeight);
    settle();
    ok = saveEveryItem(window, store, folder, QStringLiteral("min-")) && ok;

    // And at scale factor 2, which has to be set before the application starts: a second run of this program.
    QProcess scaled;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    scaled.setProcessEnvironment(environment);
    scaled.setProcessChannelMode(QProcess::ForwardedChannels);
    scaled.start(QCoreApplication::applicationFilePath(), {QLatin1String(kScaledPass), folder.path()});
    if (!scaled.waitForFinished(600000) || scaled.exitStatus() != QProcess::NormalExit || scaled.exitCode() != 0) {
        fail(QStringLiteral("the pictures at scale factor 2 failed"));
        ok = false;
    }

    const QStringList unknown = halvo::theme::unknownSymbolsRequested();
    if (!unknown.isEmpty()) {
        fail(QStringLiteral("symbols without an icon: ") + unknown.join(QStringLiteral(", ")));
        ok = false;
    }
    return ok ? 0 : 1;
}
