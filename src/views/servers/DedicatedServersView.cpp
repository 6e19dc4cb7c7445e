#include "views/servers/DedicatedServersView.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/HalvoRefreshScheduler.h"
#include "ui/HalvoSectionFrame.h"
#include "views/servers/DedicatedBackupTab.h"
#include "views/servers/DedicatedIpmiConsole.h"
#include "views/servers/DedicatedNetworkTab.h"
#include "views/servers/DedicatedPowerTab.h"
#include "views/servers/DedicatedServerRowDelegate.h"
#include "views/servers/DedicatedStorageTab.h"
#include "views/servers/DedicatedTasksTab.h"

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

QStringList bareMetalTemplateList() {
    return {
        QStringLiteral("proxmox8_64 (Proxmox VE 8.3 ZFS/NVMe)"),
        QStringLiteral("debian12_64 (Debian 12 Bookworm Minimal)"),
        QStringLiteral("ubuntu2404_64 (Ubuntu 24.04 LTS Server)"),
        QStringLiteral("vmware_esxi8_64 (VMware ESXi 8.0 U3 Hypervisor)"),
        QStringLiteral("almalinux9_64 (AlmaLinux 9 Enterprise)"),
        QStringLiteral("rocky9_64 (Rocky Linux 9 Bare Metal)"),
        QStringLiteral("windows_server_2025_std (Windows Server 2025 Standard)"),
        QStringLiteral("talos_k8s_64 (Talos Linux Kubernetes OS)"),
    };
}

std::optional<HalvoServer> selectedAmong(const QList<HalvoServer>& servers, const std::optional<QString>& name) {
    if (name) {
        for (const HalvoServer& server : servers) {
            if (server.name == *name)
                return server;
        }
    }
    if (servers.isEmpty())
        return std::nullopt;
    return servers.first();
}

DedicatedServerTab shownAmong(const QList<DedicatedServerTab>& tabs, DedicatedServerTab chosen) {
    return tabs.contains(chosen) ? chosen : tabs.first();
}

} // namespace

DedicatedServersView::DedicatedServersView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_bareMetalTemplates(bareMetalTemplateList()) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_frame = new HalvoSectionFrame(frameConfig(), this);
    layout->addWidget(m_frame);

    m_model = new HalvoRecordListModel<HalvoServer>([](const HalvoServer& server) { return server.name; }, this);
    m_frame->setListModel(m_model, new DedicatedServerRowDelegate(m_model, this));

    connect(m_frame, &HalvoSectionFrame::rowSelected, this, [this](int row) {
        if (row < 0 || row >= m_model->rowCount())
            return;
        m_state.selectedServerName = m_model->itemAt(row).name;
        scheduleRefresh();
    });
    connect(m_frame, &HalvoSectionFrame::tabClicked, this, [this](int index) {
        if (index < 0 || index >= m_shownTabs.size())
            return;
        m_state.activeTab = m_shownTabs.at(index);
        scheduleRefresh();
    });

    m_scheduler = new HalvoRefreshScheduler(&m_store, this, [this] { refresh(); });
    m_scheduler->schedule();
    m_scheduler->flush();
}

DedicatedServersView::~DedicatedServersView() = default;

QList<HalvoServer> DedicatedServersView::filteredServers() const {
    const QList<HalvoServer> servers = m_store.activeSnapshot().dedicatedServers;
    const QString search = m_store.searchText();
    if (search.isEmpty())
        return servers;
    QList<HalvoServer> result;
    for (const HalvoServer& server : servers) {
        if (halvo::matchesSearch(server.name, search) || halvo::matchesSearch(server.reverse, search) ||
            halvo::matchesSearch(server.ip, search) || halvo::matchesSearch(server.datacenter, search))
            result.append(server);
    }
    return result;
}

std::optional<HalvoServer> DedicatedServersView::selectedServer() const {
    return selectedAmong(filteredServers(), m_state.selectedServerName);
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
    return shownAmong(availableTabs(*server), m_state.activeTab);
}

void DedicatedServersView::scheduleRefresh() {
    m_scheduler->schedule();
}

void DedicatedServersView::refreshNow() {
    m_scheduler->schedule();
    m_scheduler->flush();
}

void DedicatedServersView::refresh() {
    const QList<HalvoServer> servers = filteredServers();
    m_frame->setSidebarTitle(QStringLiteral("Dedicated Server (") + QString::number(servers.size()) + QLatin1Char(')'));
    m_model->setItems(servers);
    m_frame->setListEmpty(servers.isEmpty());
    // Only the user's own choice is highlighted; the fallback to the first server is not.
    m_frame->setCurrentRow(m_state.selectedServerName ? m_model->rowOf(*m_state.selectedServerName) : -1);

    const std::optional<HalvoServer> server = selectedAmong(servers, m_state.selectedServerName);
    if (!server) {
        m_frame->showPlaceholder();
        m_drawnServer.reset();
        m_drawnTab.reset();
        m_shownTabs.clear();
        syncIPMISheet(server);
        return;
    }

    m_frame->showDetail();
    m_shownTabs = availableTabs(*server);
    const DedicatedServerTab shown = shownAmong(m_shownTabs, m_state.activeTab);
    QList<HalvoSectionFrame::TabSpec> specs;
    for (qsizetype i = 0; i < m_shownTabs.size(); ++i) {
        const DedicatedServerTab tab = m_shownTabs.at(i);
        specs.append({icon(tab), QString::number(i + 1) + QStringLiteral(". ") + rawValue(tab)});
    }
    m_frame->setTabs(specs, int(m_shownTabs.indexOf(shown)));

    const bool serverChanged = !m_drawnServer || !(*m_drawnServer == *server);
    if (serverChanged)
        m_frame->replaceHeader(serverHeader(*server));
    if (serverChanged || m_drawnTab != shown) {
        // A changed record of the same server on the same tab keeps the reader's place.
        const bool samePlace = m_drawnServer && m_drawnServer->name == server->name && m_drawnTab == shown;
        m_frame->replaceContent(tabContent(*server, shown), samePlace);
    }
    m_drawnServer = server;
    m_drawnTab = shown;
    syncIPMISheet(server);
}

void DedicatedServersView::syncIPMISheet(const std::optional<HalvoServer>& server) {
    if (!server) {
        // The sheet belongs to the detail of a selected server; without one it cannot stay open.
        m_state.showIPMISheet = false;
    }
    if (!m_state.showIPMISheet) {
        if (m_ipmiSheet)
            m_ipmiSheet->reject();
        return;
    }
    if (m_ipmiSheet && m_sheetServer == server)
        return;

    if (!m_ipmiSheet) {
        auto* sheet = new QDialog(this);
        sheet->setObjectName(QStringLiteral("ipmiConsoleSheet"));
        sheet->setWindowModality(Qt::WindowModal);
        auto* layout = new QVBoxLayout(sheet);
        layout->setSpacing(14);
        layout->setContentsMargins(20, 20, 20, 20);
        connect(sheet, &QDialog::finished, this, [this, sheet] {
            m_state.showIPMISheet = false;
            if (m_ipmiSheet == sheet) {
                m_ipmiSheet = nullptr;
                m_sheetServer.reset();
            }
            sheet->deleteLater();
            scheduleRefresh();
        });
        m_ipmiSheet = sheet;
    }
    halvo::ui::clearLayout(m_ipmiSheet->layout());
    m_ipmiSheet->layout()->addWidget(ipmiConsoleSheet(*server));
    m_sheetServer = server;
    if (!m_ipmiSheet->isVisible())
        m_ipmiSheet->open();
}

QWidget* DedicatedServersView::ipmiConsoleSheet(const HalvoServer& server) {
    return new DedicatedIpmiConsole(*this, m_store, server);
}

QWidget* DedicatedServersView::tabContent(const HalvoServer& server, DedicatedServerTab tab) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);
    layout->setAlignment(Qt::AlignTop | Qt::AlignLeft);

    switch (tab) {
    case DedicatedServerTab::overview:
        layout->addWidget(hardwareTab(server));
        break;
    case DedicatedServerTab::backupFtp:
        if (QWidget* card = dedicatedBackupTab(*this, m_store, server))
            layout->addWidget(card);
        break;
    case DedicatedServerTab::tasksLogs:
        layout->addWidget(dedicatedTasksTab(server));
        break;
    case DedicatedServerTab::storageInstall:
        layout->addWidget(dedicatedStorageTab(*this, m_store, server));
        break;
    case DedicatedServerTab::powerIpmi:
        layout->addWidget(new DedicatedPowerTab(*this, m_store, server));
        break;
    case DedicatedServerTab::networkMeshbay:
        layout->addWidget(new DedicatedNetworkTab(*this, m_store, server));
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
    request.action = [&store = m_store, server] { rebootServer(store, server); };
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
    request.action = [&store = m_store, server, rescue = !backToDisk] { setNetboot(store, server, rescue); };
    m_store.requestConfirmation(std::move(request));
}

void DedicatedServersView::rebootServer(AppStateStore& store, const HalvoServer& server) {
    store.performDedicatedServerAction(server.name, QStringLiteral("reboot"));
}

void DedicatedServersView::setNetboot(AppStateStore& store, const HalvoServer& server, bool rescue) {
    store.performDedicatedServerAction(server.name,
                                       rescue ? QStringLiteral("boot-rescue") : QStringLiteral("boot-disk"));
}

void DedicatedServersView::saveReverse(const QString& serverName) {
    const QString host = halvo::trimmed(m_state.newReverseInput);
    if (host.isEmpty())
        return;
    m_store.setDedicatedServerReverse(serverName, host);
    m_state.newReverseInput.clear();
    if (m_reverseField)
        m_reverseField->reload();
}

void DedicatedServersView::saveRescueMail(const QString& serverName) {
    const QString mail = halvo::trimmed(m_state.newRescueMailInput);
    if (mail.isEmpty())
        return;
    m_store.setDedicatedRescueMail(serverName, mail);
    m_state.newRescueMailInput.clear();
    if (m_rescueMailField)
        m_rescueMailField->reload();
}
