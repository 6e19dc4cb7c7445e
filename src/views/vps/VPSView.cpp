#include "views/vps/VPSView.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/HalvoFlowLayout.h"
#include "ui/HalvoHeaderIdentity.h"
#include "ui/Theme.h"
#include "views/vps/VPSMaintenanceCards.h"
#include "views/vps/VPSRowDelegate.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>
#include <tuple>

namespace {

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

/// What the header band draws of a VPS; the band is rebuilt only when one of these changes.
auto headerFields(const HalvoVPS& vps) {
    return std::tuple(vps.name, vps.displayName, vps.state, vps.netbootMode, vps.modelName, vps.zone);
}

HalvoActionButton* smallButton(const QString& text, HalvoButtonVariant variant, const QString& icon = QString()) {
    return new HalvoActionButton(text, variant, true, icon);
}

} // namespace

VPSView::VPSView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_availableImages{QStringLiteral("Debian 12 (Bookworm) 64-bit"),
                        QStringLiteral("Ubuntu 24.04 LTS (Noble Numbat)"),
                        QStringLiteral("AlmaLinux 9 64-bit"),
                        QStringLiteral("Rocky Linux 9 64-bit"),
                        QStringLiteral("Fedora 41 Cloud"),
                        QStringLiteral("Docker Engine on Ubuntu 24.04"),
                        QStringLiteral("Plesk Obsidian on AlmaLinux 9"),
                        QStringLiteral("cPanel & WHM on AlmaLinux 9")} {
    Section::Spec spec;
    HalvoSectionFrame::Config& config = spec.frame;
    config.sidebarIcon = QStringLiteral("cpu.fill");
    config.sidebarTint = Tint::teal;
    config.sidebarMinWidth = 265;
    config.sidebarMaxWidth = 325;
    config.emptyIcon = QStringLiteral("cpu");
    config.emptyTitle = QStringLiteral("Keine VPS geladen");
    config.emptyText = QStringLiteral("Verbinde deinen Halvo Account oder klicke oben auf 'Halvo API Sync'.");
    config.placeholderIcon = QStringLiteral("cpu");
    config.placeholderTitle = QStringLiteral("Keine VPS-Instanz ausgewählt");
    config.placeholderDescription =
        QStringLiteral("Wähle links eine VPS aus oder synchronisiere deinen Halvo Account.");
    spec.sidebarTitle = QStringLiteral("VPS Instanzen");
    spec.idOf = [](const HalvoVPS& vps) { return vps.name; };
    spec.recordsOf = [](const HalvoAccountSnapshot& snapshot) { return snapshot.vpsList; };
    spec.searchTexts = [](const HalvoVPS& vps) { return QStringList{vps.name, vps.displayName, vps.ipv4}; };
    // The list highlights only the chosen VPS; while the choice is none or filtered out no row is highlighted,
    // so a click on any row (the first one too) stores that VPS.
    spec.highlightFallback = false;
    // The VPS detail has no tabs; the frame shows no tab bar then.
    spec.drawDetail = [this](const HalvoVPS& vps, HalvoNoTab) { drawDetail(vps); };
    spec.afterRefresh = [this](const std::optional<HalvoVPS>& shown) {
        if (!shown)
            m_drawnVPS.reset();
        m_kvmSheet->sync(shown);
    };
    m_section = std::make_unique<Section>(m_store, *this, std::move(spec), m_state.selectedVPSName);
    m_section->setDelegate(new VPSRowDelegate(this));

    // The sheet belongs to the detail: without a shown VPS it is dismissed, which clears the flag. It always
    // shows the VPS that the detail shows.
    m_kvmSheet = std::make_unique<HalvoFlagSheet<VPSConsoleSheet, HalvoVPS>>(
        m_state.showKVMModal, *this,
        HalvoFlagSheet<VPSConsoleSheet, HalvoVPS>::Spec{
            [this](const HalvoVPS& vps) {
                auto* sheet = new VPSConsoleSheet(m_store, vps, this);
                connect(sheet->closeButton(), &QPushButton::clicked, this, [this] { setShowKVMModal(false); });
                return sheet;
            },
            [](VPSConsoleSheet& sheet, const HalvoVPS& vps) { sheet.showVPS(vps); },
            {}});
    m_section->refreshNow();
}

VPSView::~VPSView() = default;

QList<HalvoVPS> VPSView::filteredVPS() const {
    return m_section->listed();
}

std::optional<HalvoVPS> VPSView::selectedVPS() const {
    return m_section->shown();
}

std::optional<HalvoVPS> VPSView::currentVPS(const QString& name) const {
    for (const HalvoVPS& vps : m_store.activeSnapshot().vpsList) {
        if (vps.name == name)
            return vps;
    }
    return std::nullopt;
}

void VPSView::drawDetail(const HalvoVPS& shown) {
    if (!m_drawnVPS || headerFields(*m_drawnVPS) != headerFields(shown) || !frame()->header())
        frame()->replaceHeader(buildHeader(shown));
    if (!m_drawnVPS || *m_drawnVPS != shown || !frame()->content())
        frame()->replaceContent(buildContent(shown));
    m_drawnVPS = shown;
}

QWidget* VPSView::buildHeader(const HalvoVPS& vps) {
    auto* header = new QWidget;
    // The identity, then the console button; where the band is short, the button moves onto a further line
    // and the band grows to the height it needs.
    auto* row = new HalvoFlowLayout(header, 16, 12);
    row->setContentsMargins(0, 0, 0, 0);

    auto* tile = new HalvoIconTile(QStringLiteral("cpu.fill"), halvo::theme::IconTileKind::vps);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(5);
    // Badges that do not fit beside the name move onto a further line.
    auto* titleRow = new HalvoFlowLayout(nullptr, 8, 6);
    titleRow->setContentsMargins(0, 0, 0, 0);
    titleRow->addWidget(HalvoElidedLabel::make(vps.displayName, TextStyle::title2, Weight::bold));
    titleRow->addWidget(new HalvoStatusBadge(vps.state.toUpper(), halvo::vps::stateBadgeTint(vps.state)));
    titleRow->addWidget(new HalvoStatusBadge(QStringLiteral("BOOT: ") % vps.netbootMode.toUpper(), Tint::blue,
                                             QStringLiteral("internaldrive.fill")));
    texts->addLayout(titleRow);
    texts->addWidget(HalvoElidedLabel::make(QStringLiteral("Service-ID: ") % vps.name % QStringLiteral(" • Modell: ") %
                                                vps.modelName % QStringLiteral(" • Zone: ") % vps.zone,
                                            TextStyle::subheadline, Weight::regular, Tint::secondary));
    row->addWidget(new HalvoHeaderIdentity(tile, titleRow, texts));

    auto* console = new HalvoActionButton(QStringLiteral("KVM / VNC WebSocket Konsole öffnen"),
                                          HalvoButtonVariant::primary, false, QStringLiteral("terminal.fill"));
    console->setObjectName(QStringLiteral("vpsConsoleButton"));
    connect(console, &QPushButton::clicked, this, [this] { setShowKVMModal(true); });
    row->addWidget(console);
    return header;
}

QWidget* VPSView::buildContent(const HalvoVPS& vps) {
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    column->addWidget(buildSpecGrid(vps));
    column->addWidget(buildPowerCard(vps));

    // The snapshot and reinstallation cards sit side by side in this row.
    auto* cards = new VPSMaintenanceCards(m_store, m_state, vps, m_availableImages);
    connect(cards, &VPSMaintenanceCards::snapshotRevertRequested, this, [this](const QString& name) {
        if (const auto current = currentVPS(name); current && current->snapshotDescription)
            confirmSnapshotRevert(*current);
    });
    connect(cards, &VPSMaintenanceCards::rebuildRequested, this, [this](const QString& name) {
        if (const auto current = currentVPS(name))
            confirmRebuild(*current);
    });
    column->addWidget(cards);
    return content;
}

QWidget* VPSView::buildSpecGrid(const HalvoVPS& vps) {
    QList<HalvoSpecTile::Spec> tiles;
    tiles.append({QStringLiteral("vCPU & Modell"),
                  QString::number(vps.vcore) % QStringLiteral(" vCores"),
                  vps.modelName,
                  QStringLiteral("cpu.fill"),
                  Tint::teal,
                  std::nullopt,
                  {}});
    const qint64 memoryGB = std::max<qint64>(1, vps.memoryLimitMB / 1024);
    tiles.append({QStringLiteral("Arbeitsspeicher (RAM)"),
                  QString::number(memoryGB) % QStringLiteral(" GB ECC"),
                  QStringLiteral("Dedizierte KVM Zuteilung"),
                  QStringLiteral("memorychip.fill"),
                  Tint::blue,
                  std::nullopt,
                  {}});
    if (vps.diskSizeGB >= 1) {
        tiles.append({QStringLiteral("NVMe System-Disk"),
                      QString::number(vps.diskSizeGB) % QStringLiteral(" GB NVMe"),
                      QStringLiteral("Triple-Replication Storage"),
                      QStringLiteral("internaldrive.fill"),
                      Tint::purple,
                      std::nullopt,
                      {}});
    }
    tiles.append({QStringLiteral("Rechenzentrum Zone"),
                  vps.zone,
                  QStringLiteral("Keymap: ") % vps.keymap.toUpper(),
                  QStringLiteral("building.2.fill"),
                  Tint::orange,
                  std::nullopt,
                  {}});

    const auto reportCopy = [&store = m_store](const QString& what) {
        return [&store, what](const QString& copied) {
            store.setLastActionMessage(what % QLatin1Char(' ') % copied % QStringLiteral(" kopiert."));
        };
    };
    if (vps.ipv4 != kNoValue) {
        tiles.append({QStringLiteral("Primäre IPv4"), vps.ipv4, QStringLiteral("Anti-DDoS Tidewall geschützt"),
                      QStringLiteral("network"), Tint::blue, vps.ipv4, reportCopy(QStringLiteral("VPS IPv4"))});
    }
    if (vps.ipv6 != kNoValue && !vps.ipv6.isEmpty()) {
        tiles.append({QStringLiteral("IPv6 Adresse (/128)"), vps.ipv6, QStringLiteral("Nativ geroutet"),
                      QStringLiteral("globe"), Tint::indigo, vps.ipv6, reportCopy(QStringLiteral("VPS IPv6"))});
    }
    if (vps.snapshotCreationDate) {
        tiles.append({QStringLiteral("Aktiver Snapshot"),
                      vps.snapshotDescription.value_or(QStringLiteral("Vorhanden")),
                      *vps.snapshotCreationDate,
                      QStringLiteral("camera.aperture"),
                      Tint::green,
                      std::nullopt,
                      {}});
    }
    if (vps.backupStorageSupported) {
        tiles.append({QStringLiteral("Automated Backups"),
                      vps.backupStorageActivated ? QStringLiteral("Aktiviert") : QStringLiteral("Inaktiv"),
                      QStringLiteral("Tägliche Sicherung"),
                      QStringLiteral("externaldrive.badge.timemachine"),
                      Tint::green,
                      std::nullopt,
                      {}});
    }

    return new HalvoSpecGrid(QStringLiteral("vpsSpecGrid"), tiles);
}

QWidget* VPSView::buildPowerCard(const HalvoVPS& vps) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Direkte VPS Power- & Rescue-Steuerung (/vps/") % vps.name % QStringLiteral("/...)"),
        QStringLiteral("Kritische Power-Aktionen fragen zur Sicherheit vorab nach deiner Bestätigung"),
        QStringLiteral("power.circle.fill"), Tint::green);
    card->setObjectName(QStringLiteral("vpsPowerCard"));

    auto* bar = new QWidget;
    bar->setObjectName(QStringLiteral("vpsPowerActionBar"));
    // The power buttons move to a further line where the card is narrow.
    auto* row = new HalvoFlowLayout(bar, 12, 8);

    const QString name = vps.name;
    const auto addButton = [row](HalvoActionButton* button) { row->addWidget(button); };

    if (vps.state != QLatin1StringView("running")) {
        auto* start =
            smallButton(QStringLiteral("Starten (Boot)"), HalvoButtonVariant::success, QStringLiteral("play.fill"));
        connect(start, &QPushButton::clicked, this,
                [&store = m_store, name] { store.performVPSPowerAction(name, AppStateStore::VPSPowerAction::start); });
        addButton(start);
    }

    auto* reboot =
        smallButton(QStringLiteral("Soft/Hard Reboot"), HalvoButtonVariant::primary, QStringLiteral("arrow.clockwise"));
    connect(reboot, &QPushButton::clicked, this, [this, name] {
        if (const auto current = currentVPS(name))
            confirmReboot(*current);
    });
    addButton(reboot);

    auto* rescue = smallButton(QStringLiteral("In Rescue-System booten"), HalvoButtonVariant::warning,
                               QStringLiteral("lifepreserver.fill"));
    connect(rescue, &QPushButton::clicked, this, [this, name] {
        if (const auto current = currentVPS(name))
            confirmRescue(*current);
    });
    addButton(rescue);

    if (vps.state != QLatin1StringView("stopped")) {
        auto* stop =
            smallButton(QStringLiteral("Stoppen (Poweroff)"), HalvoButtonVariant::danger, QStringLiteral("stop.fill"));
        connect(stop, &QPushButton::clicked, this, [this, name] {
            if (const auto current = currentVPS(name))
                confirmStop(*current);
        });
        addButton(stop);
    }

    auto* sla =
        smallButton(vps.slaMonitoring ? QStringLiteral("SLA Monitoring: AN") : QStringLiteral("SLA Monitoring: AUS"),
                    HalvoButtonVariant::secondary, QStringLiteral("waveform.path.ecg"));
    connect(sla, &QPushButton::clicked, this, [&store = m_store, name] { store.toggleVPSSLAMonitoring(name); });
    addButton(sla);

    // Only the store's section changes here; the main window replaces this view on a later turn.
    auto* reverseDNS = smallButton(QStringLiteral("rDNS (PTR) bearbeiten"), HalvoButtonVariant::secondary);
    connect(reverseDNS, &QPushButton::clicked, this,
            [&store = m_store] { store.setSelectedSection(NavigationSection::ipRdns); });
    addButton(reverseDNS);

    card->addContent(bar);
    return card;
}

void VPSView::confirmReboot(const HalvoVPS& vps) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("VPS '") % vps.displayName % QStringLiteral("' neu starten (Reboot)?");
    request.message = QStringLiteral("Soll die VPS '") % vps.name % QStringLiteral("' (") % vps.ipv4 %
                      QStringLiteral(") jetzt neu gestartet werden?");
    request.confirmButtonTitle = QStringLiteral("Jetzt Reboot ausführen");
    request.variant = HalvoButtonVariant::primary;
    request.action = [&store = m_store, name = vps.name] {
        store.performVPSPowerAction(name, AppStateStore::VPSPowerAction::reboot);
    };
    m_store.requestConfirmation(std::move(request));
}

void VPSView::confirmRescue(const HalvoVPS& vps) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("VPS '") % vps.displayName % QStringLiteral("' in das Rescue-System booten?");
    request.message = QStringLiteral("Die VPS '") % vps.name %
                      QStringLiteral("' wird im Halvo Rescue-Modus neu gestartet, um Dateisystem-Reparaturen oder "
                                     "Passwort-Resets durchzuführen.");
    request.warningDetails =
        QStringLiteral("Das reguläre System wird heruntergefahren und in das temporäre Rettungssystem gebootet.");
    request.confirmButtonTitle = QStringLiteral("In Rescue-System booten");
    request.variant = HalvoButtonVariant::warning;
    request.action = [&store = m_store, name = vps.name] {
        store.performVPSPowerAction(name, AppStateStore::VPSPowerAction::rescue);
    };
    m_store.requestConfirmation(std::move(request));
}

void VPSView::confirmStop(const HalvoVPS& vps) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("VPS '") % vps.displayName % QStringLiteral("' ausschalten (Poweroff)?");
    request.message = QStringLiteral("Möchtest du die VPS '") % vps.name % QStringLiteral("' (") % vps.ipv4 %
                      QStringLiteral(") wirklich herunterfahren und ausschalten?");
    request.warningDetails = QStringLiteral("Alle auf dieser VPS gehosteten Websites, Container und Dienste sind bis "
                                            "zum erneuten Start nicht mehr erreichbar.");
    request.confirmButtonTitle = QStringLiteral("VPS jetzt stoppen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, name = vps.name] {
        store.performVPSPowerAction(name, AppStateStore::VPSPowerAction::stop);
    };
    m_store.requestConfirmation(std::move(request));
}

void VPSView::setShowKVMModal(bool show) {
    m_state.showKVMModal = show;
    m_kvmSheet->sync(m_drawnVPS);
}

void VPSView::confirmSnapshotRevert(const HalvoVPS& vps) {
    const QString description = vps.snapshotDescription.value_or(QString());
    HalvoConfirmRequest request;
    request.title = QStringLiteral("VPS '") % vps.displayName % QStringLiteral("' auf Snapshot zurücksetzen?");
    request.message = QStringLiteral("Möchtest du die Festplatte von '") % vps.name %
                      QStringLiteral("' auf den Snapshot '") % description % QStringLiteral("' (") %
                      vps.snapshotCreationDate.value_or(QString()) % QStringLiteral(") zurücksetzen?");
    request.warningDetails = QStringLiteral("ACHTUNG: Alle Änderungen und Daten, die seit der Erstellung dieses "
                                            "Snapshots auf der VPS gespeichert wurden, gehen unwiderruflich verloren!");
    request.confirmButtonTitle = QStringLiteral("Snapshot jetzt wiederherstellen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, name = vps.name] {
        store.setLastActionMessage(QStringLiteral("VPS ") % name % QStringLiteral(": Snapshot-Restore via POST /vps/") %
                                   name % QStringLiteral("/snapshot/revert gestartet."));
    };
    m_store.requestConfirmation(std::move(request));
}

void VPSView::confirmRebuild(const HalvoVPS& vps) {
    // The image is the one chosen at the press; the typed SSH key is not part of what is confirmed.
    const QString image = m_state.selectedReinstallOS;
    HalvoConfirmRequest request;
    request.title = QStringLiteral("VPS '") % vps.displayName % QStringLiteral("' komplett neu installieren?");
    request.message = QStringLiteral("Du bist dabei, das Image '") % image % QStringLiteral("' auf der VPS '") %
                      vps.name % QStringLiteral("' (") % vps.ipv4 % QStringLiteral(") neu zu installieren.");
    request.warningDetails = QStringLiteral("ACHTUNG DATENVERLUST: Die gesamte NVMe-Systempartition von ") % vps.name %
                             QStringLiteral(" wird formatiert. Alle bestehenden Daten werden gelöscht!");
    request.confirmButtonTitle = QStringLiteral("VPS unwiderruflich neu installieren");
    request.variant = HalvoButtonVariant::danger;
    request.requireTypedConfirmation = vps.name;
    request.action = [&store = m_store, name = vps.name, image] {
        store.setLastActionMessage(QStringLiteral("VPS ") % name % QStringLiteral(": Rebuild mit '") % image %
                                   QStringLiteral("' bestätigt und ausgelöst (POST /vps/") % name %
                                   QStringLiteral("/rebuild)."));
    };
    m_store.requestConfirmation(std::move(request));
}
