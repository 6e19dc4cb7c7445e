#include "views/dedicated/DedicatedServersView.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "views/dedicated/DedicatedBackupTab.h"
#include "views/dedicated/DedicatedIpmiConsole.h"
#include "views/dedicated/DedicatedNetworkTab.h"
#include "views/dedicated/DedicatedPowerTab.h"
#include "views/dedicated/DedicatedServerHardwareTab.h"
#include "views/dedicated/DedicatedServerHeader.h"
#include "views/dedicated/DedicatedServerRowDelegate.h"
#include "views/dedicated/DedicatedStorageTab.h"
#include "views/dedicated/DedicatedTasksTab.h"

#include <QDialog>
#include <QListView>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;

HalvoSectionFrame::Config frameConfig() {
    HalvoSectionFrame::Config config;
    config.sidebarIcon = QStringLiteral("server.rack");
    config.sidebarTint = theme::Tint::purple;
    config.sidebarMinWidth = 275;
    config.sidebarMaxWidth = 335;
    config.emptyIcon = QStringLiteral("server.rack");
    config.emptyTitle = QStringLiteral("Keine Dedicated Server geladen");
    config.emptyText = QStringLiteral("Verbinde deinen Halvo Account oder klicke oben auf 'Halvo API Sync'.");
    config.placeholderIcon = QStringLiteral("server.rack");
    config.placeholderTitle = QStringLiteral("Kein Dedicated Bare-Metal Server ausgewählt");
    config.placeholderDescription = QStringLiteral(
        "Wähle links einen Dedicated Server aus oder synchronisiere deinen Halvo Account über die Halvo API.");
    return config;
}

} // namespace

DedicatedServersView::DedicatedServersView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_bareMetalTemplates(dedicatedBareMetalTemplates()) {
    Section::Spec spec;
    spec.frame = frameConfig();
    spec.sidebarTitle = QStringLiteral("Dedicated Server");
    spec.idOf = [](const HalvoServer& server) { return server.name; };
    spec.recordsOf = [](const HalvoAccountSnapshot& snapshot) { return snapshot.dedicatedServers; };
    spec.searchTexts = [](const HalvoServer& server) {
        return QStringList{server.name, server.reverse, server.ip, server.datacenter};
    };
    // Only the user's own choice is highlighted; the fallback to the first server is not.
    spec.highlightFallback = false;
    spec.tabsOf = &DedicatedServersView::availableTabs;
    spec.tabButton = [](DedicatedServerTab tab, int index) {
        return HalvoSectionFrame::TabSpec{icon(tab), QString::number(index + 1) + QStringLiteral(". ") + rawValue(tab)};
    };
    spec.drawDetail = [this](const HalvoServer& server, DedicatedServerTab tab) { drawDetail(server, tab); };
    spec.afterRefresh = [this](const std::optional<HalvoServer>& server) {
        if (!server) {
            m_drawnServer.reset();
            m_drawnTab.reset();
        }
        m_ipmiSheet->sync(server);
    };
    m_section =
        std::make_unique<Section>(m_store, *this, std::move(spec), m_state.selectedServerName, &m_state.activeTab);
    m_section->setDelegate(new DedicatedServerRowDelegate(this));

    // The sheet belongs to the detail of a selected server; without one it cannot stay open.
    m_ipmiSheet = std::make_unique<HalvoFlagSheet<QDialog, HalvoServer>>(
        m_state.showIPMISheet, *this,
        HalvoFlagSheet<QDialog, HalvoServer>::Spec{[this](const HalvoServer& server) {
                                                       auto* sheet = new QDialog(this);
                                                       sheet->setObjectName(QStringLiteral("ipmiConsoleSheet"));
                                                       sheet->setWindowModality(Qt::WindowModal);
                                                       auto* layout = new QVBoxLayout(sheet);
                                                       layout->setSpacing(14);
                                                       layout->setContentsMargins(20, 20, 20, 20);
                                                       layout->addWidget(ipmiConsoleSheet(server));
                                                       return sheet;
                                                   },
                                                   [this](QDialog& sheet, const HalvoServer& server) {
                                                       halvo::ui::clearLayout(sheet.layout());
                                                       sheet.layout()->addWidget(ipmiConsoleSheet(server));
                                                   },
                                                   [this] { m_section->schedule(); }});
    m_section->refreshNow();
}

DedicatedServersView::~DedicatedServersView() = default;

QList<HalvoServer> DedicatedServersView::filteredServers() const {
    return m_section->listed();
}

std::optional<HalvoServer> DedicatedServersView::selectedServer() const {
    return m_section->shown();
}

QList<DedicatedServerTab> DedicatedServersView::availableTabs(const HalvoServer& server) {
    QList<DedicatedServerTab> tabs{DedicatedServerTab::overview, DedicatedServerTab::powerIpmi,
                                   DedicatedServerTab::networkMeshbay, DedicatedServerTab::storageInstall};
    if (server.backupFTPAvailable)
        tabs.append(DedicatedServerTab::backupFtp);
    tabs.append(DedicatedServerTab::tasksLogs);
    return tabs;
}

DedicatedServerTab DedicatedServersView::shownTab() const {
    const std::optional<HalvoServer> server = selectedServer();
    if (!server)
        return DedicatedServerTab::overview;
    return m_section->tabFor(*server);
}

void DedicatedServersView::drawDetail(const HalvoServer& server, DedicatedServerTab shown) {
    const bool serverChanged = !m_drawnServer || !(*m_drawnServer == server);
    if (serverChanged) {
        auto* header = new DedicatedServerHeader(server);
        connect(header, &DedicatedServerHeader::ipmiConsoleRequested, this, [this] { setShowIPMISheet(true); });
        connect(header, &DedicatedServerHeader::coldRebootRequested, this, &DedicatedServersView::confirmColdReboot);
        connect(header, &DedicatedServerHeader::rescueToggleRequested, this,
                &DedicatedServersView::confirmRescueToggle);
        frame()->replaceHeader(header);
    }
    if (serverChanged || m_drawnTab != shown) {
        // A changed record of the same server on the same tab keeps the reader's place.
        const bool samePlace = m_drawnServer && m_drawnServer->name == server.name && m_drawnTab == shown;
        frame()->replaceContent(tabContent(server, shown), samePlace);
    }
    m_drawnServer = server;
    m_drawnTab = shown;
}

QWidget* DedicatedServersView::ipmiConsoleSheet(const HalvoServer& server) {
    auto* console = new DedicatedIpmiConsole(m_store, server);
    connect(console, &DedicatedIpmiConsole::closeRequested, this, [this] { setShowIPMISheet(false); });
    return console;
}

void DedicatedServersView::setShowIPMISheet(bool show) {
    m_state.showIPMISheet = show;
    m_section->schedule();
}

QWidget* DedicatedServersView::tabContent(const HalvoServer& server, DedicatedServerTab tab) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);

    switch (tab) {
    case DedicatedServerTab::overview:
        layout->addWidget(new DedicatedServerHardwareTab(m_store, m_state, server));
        break;
    case DedicatedServerTab::backupFtp:
        if (server.backupFTPAvailable)
            layout->addWidget(new DedicatedBackupTab(m_store, m_state, server));
        break;
    case DedicatedServerTab::tasksLogs:
        layout->addWidget(dedicatedTasksTab(server));
        break;
    case DedicatedServerTab::storageInstall:
        layout->addWidget(new DedicatedStorageTab(m_store, m_state, server));
        break;
    case DedicatedServerTab::powerIpmi: {
        auto* power = new DedicatedPowerTab(m_store, m_state, server);
        connect(power, &DedicatedPowerTab::coldRebootRequested, this, &DedicatedServersView::confirmColdReboot);
        connect(power, &DedicatedPowerTab::ipmiConsoleRequested, this, [this] { setShowIPMISheet(true); });
        layout->addWidget(power);
        break;
    }
    case DedicatedServerTab::networkMeshbay:
        layout->addWidget(new DedicatedNetworkTab(m_store, m_state, server));
        break;
    }
    return column;
}

void DedicatedServersView::confirmColdReboot(const HalvoServer& server) const {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Hardware Cold-Reboot für '") + server.reverse + QStringLiteral("' ausführen?");
    request.message = QStringLiteral("Möchtest du den Dedicated Server '") + server.name + QStringLiteral("' (") +
                      server.ip + QStringLiteral(") jetzt im Rechenzentrum (") + server.datacenter +
                      QStringLiteral(") elektrisch neu starten?");
    request.warningDetails = QStringLiteral("Laufende Dienste, Datenbanken und virtuelle Maschinen auf diesem Host "
                                            "werden für die Dauer des Neustarts unterbrochen.");
    request.confirmButtonTitle = QStringLiteral("Jetzt Hardware-Reboot ausführen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, server] { DedicatedPowerTab::rebootServer(store, server); };
    m_store.requestConfirmation(std::move(request));
}

void DedicatedServersView::confirmRescueToggle(const HalvoServer& server) const {
    const bool backToDisk = server.bootType == QLatin1String("rescue");
    HalvoConfirmRequest request;
    if (backToDisk) {
        request.title = QStringLiteral("Zurück auf lokalen Festplatten-Boot wechseln?");
        request.message = QStringLiteral("Der Netboot-Modus für '") + server.name +
                          QStringLiteral("' wird wieder auf die lokale Festplatte / NVMe (Boot-ID #1) gestellt.");
        request.confirmButtonTitle = QStringLiteral("Auf Disk-Boot umstellen");
        request.variant = HalvoButtonVariant::success;
    } else {
        request.title = QStringLiteral("In Halvo Notanker Modus wechseln?");
        request.message =
            QStringLiteral("Der Netboot-Modus für '") + server.name + QStringLiteral("' wird auf Notanker gestellt.");
        request.confirmButtonTitle = QStringLiteral("Notanker aktivieren");
        request.variant = HalvoButtonVariant::warning;
    }
    request.action = [&store = m_store, server, rescue = !backToDisk] {
        DedicatedPowerTab::setNetboot(store, server, rescue);
    };
    m_store.requestConfirmation(std::move(request));
}
