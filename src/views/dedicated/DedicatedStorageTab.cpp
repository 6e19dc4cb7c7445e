#include "views/dedicated/DedicatedStorageTab.h"

#include "model/Records.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;
using theme::TextStyle;
using theme::Tint;
using theme::Weight;

constexpr int kIconTileSize = 42;
constexpr qreal kIconTileRadius = 10;

/// The drive symbol on its tinted rounded square at the start of a disk-group row.
class DiskIconTile final : public QWidget {
public:
    DiskIconTile() {
        setFixedSize(kIconTileSize, kIconTileSize);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(theme::symbol(QStringLiteral("internaldrive.fill"), TextStyle::title2, Tint::teal), 0,
                          Qt::AlignCenter);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(theme::color(Tint::teal, 0.14));
        painter.drawRoundedRect(QRectF(rect()), kIconTileRadius, kIconTileRadius);
    }
};

QWidget* diskGroupRow(const HalvoServerDiskGroup& group) {
    QFrame* row = halvo::ui::listRow(12, 12);
    // Disk rows are a little rounder than the other card rows.
    row->setStyleSheet(QStringLiteral("QFrame#halvoListRow { border-radius: 10px; }"));
    row->setProperty("diskGroupId", group.diskGroupId);
    auto* layout = static_cast<QHBoxLayout*>(row->layout());
    layout->setSpacing(14);
    layout->addWidget(new DiskIconTile, 0, Qt::AlignVCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    texts->addWidget(HalvoElidedLabel::make(QStringLiteral("Disk-Gruppe #") + QString::number(group.diskGroupId) +
                                                QStringLiteral(": ") + group.description,
                                            TextStyle::subheadline, Weight::bold));
    texts->addWidget(HalvoElidedLabel::make(
        QStringLiteral("Typ: ") + group.diskType + QStringLiteral(" • Anzahl Disks: ") +
            QString::number(group.numberOfDisks) + QStringLiteral("x ") + QString::number(group.diskSizeGB) +
            QStringLiteral(" GB • Controller: ") + group.raidController,
        TextStyle::caption, Weight::regular, Tint::secondary));
    layout->addLayout(texts);
    layout->addStretch(1);
    layout->addWidget(new HalvoStatusBadge(QStringLiteral("ONLINE"), Tint::green), 0, Qt::AlignVCenter);
    return row;
}

HalvoSectionCard* diskCard(const HalvoServer& server) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Verbaute NVMe / SSD / HDD Disk-Gruppen & RAID-Controller (/specifications/hardware)"),
        QStringLiteral("Physische Datenträger-Topologie laut Halvo Hardware-Profil"),
        QStringLiteral("internaldrive.fill"), Tint::teal);
    card->setObjectName(QStringLiteral("diskGroupsCard"));
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    for (const HalvoServerDiskGroup& group : server.diskGroups)
        layout->addWidget(diskGroupRow(group));
    card->addContent(column);
    return card;
}

/// A caption over a picker, as both pickers of the installation card are laid out.
QVBoxLayout* pickerColumn(const QString& caption, QComboBox* picker) {
    auto* column = new QVBoxLayout;
    column->setSpacing(4);
    column->addWidget(HalvoElidedLabel::make(caption, TextStyle::caption, Weight::bold));
    column->addWidget(picker);
    return column;
}

HalvoSectionCard* installCard(DedicatedServersState& state, AppStateStore& store, const HalvoServer& server) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Bare-Metal OS-Neuinstallation & RAID-Partitionierung (/install/start)"),
        QStringLiteral("Installiert das gewählte Betriebssystem neu (Erfordert Sicherheits-Bestätigung mit Eingabe "
                       "des Servernamens)"),
        QStringLiteral("opticaldisc.fill"), Tint::purple);
    card->setObjectName(QStringLiteral("reinstallCard"));
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);

    // Pickers: the template's whole text is its value; a RAID profile shows its label and stores its value.
    auto* osPicker = new QComboBox;
    osPicker->setObjectName(QStringLiteral("selectedOSPicker"));
    osPicker->addItems(dedicatedBareMetalTemplates());
    osPicker->setCurrentIndex(int(dedicatedBareMetalTemplates().indexOf(state.selectedOS)));
    QObject::connect(osPicker, &QComboBox::currentIndexChanged, osPicker, [&state, osPicker](int index) {
        if (index >= 0)
            state.selectedOS = osPicker->itemText(index);
    });

    auto* raidPicker = new QComboBox;
    raidPicker->setObjectName(QStringLiteral("raidProfilePicker"));
    for (const DedicatedRaidProfile& profile : dedicatedRaidProfiles())
        raidPicker->addItem(profile.label, profile.value);
    raidPicker->setCurrentIndex(raidPicker->findData(state.raidProfile));
    QObject::connect(raidPicker, &QComboBox::currentIndexChanged, raidPicker, [&state, raidPicker](int index) {
        if (index >= 0)
            state.raidProfile = raidPicker->itemData(index).toString();
    });

    auto* pickers = new HalvoFlowLayout(nullptr, 16, 8);
    pickers->addLayout(pickerColumn(QStringLiteral("Betriebssystem / Hypervisor Image:"), osPicker));
    pickers->addLayout(pickerColumn(QStringLiteral("RAID-Level & Dateisystem:"), raidPicker));
    layout->addLayout(pickers);

    auto* fields = new HalvoFlowLayout(nullptr, 12, 8);
    auto* hostnameField = new HalvoFormTextField(QStringLiteral("Ziel-Hostname bei Installation (z.B. ") +
                                                     server.reverse + QLatin1Char(')'),
                                                 &state.customHostnameInstall);
    hostnameField->setObjectName(QStringLiteral("customHostnameInstall"));
    fields->addWidget(hostnameField);
    auto* keyField = new HalvoFormTextField(QStringLiteral("SSH Public Key für root-Login (ssh-ed25519 AAAA...)"),
                                            &state.sshKeyInstall);
    keyField->setObjectName(QStringLiteral("sshKeyInstall"));
    fields->addWidget(keyField);
    layout->addLayout(fields);

    auto* start = new HalvoFlowLayout(nullptr, 8, 8);
    start->addWidget(HalvoElidedLabel::make(QStringLiteral("Vor dem Start öffnet sich ein Sicherheits-Dialog, um "
                                                           "versehentlichen Datenverlust auszuschließen."),
                                            TextStyle::caption, Weight::regular, Tint::secondary));
    auto* startButton =
        new HalvoActionButton(QStringLiteral("Bare-Metal OS-Neuinstallation vorbereiten..."),
                              HalvoButtonVariant::danger, false, QStringLiteral("externaldrive.fill.badge.plus"));
    QObject::connect(startButton, &QPushButton::clicked, startButton, [&state, &store, server] {
        confirmDedicatedReinstall(store, server, state.selectedOS, state.raidProfile);
    });
    start->addWidget(startButton);
    halvo::ui::submitOnReturn({hostnameField, keyField}, startButton);
    layout->addLayout(start);

    card->addContent(column);
    return card;
}

} // namespace

const QList<DedicatedRaidProfile>& dedicatedRaidProfiles() {
    static const QList<DedicatedRaidProfile> profiles{
        {QStringLiteral("SoftRAID 1 (Mirror – Empfohlen)"), QStringLiteral("SoftRAID 1 (2x NVMe Mirror)")},
        {QStringLiteral("SoftRAID 0 (Stripe – Max Kapazität)"), QStringLiteral("SoftRAID 0 (Performance Stripe)")},
        {QStringLiteral("ZFS RAID-Z1 / Mirror (Proxmox)"), QStringLiteral("ZFS RAID-Z1 / Mirror")},
        {QStringLiteral("Hardware MegaRAID RAID-10"), QStringLiteral("Hardware MegaRAID RAID-10")},
        {QStringLiteral("JBOD / Einzeldisks ohne RAID"), QStringLiteral("JBOD (No RAID)")},
    };
    return profiles;
}

const QStringList& dedicatedBareMetalTemplates() {
    static const QStringList templates{
        QStringLiteral("proxmox8_64 (Proxmox VE 8.3 ZFS/NVMe)"),
        QStringLiteral("debian12_64 (Debian 12 Bookworm Minimal)"),
        QStringLiteral("ubuntu2404_64 (Ubuntu 24.04 LTS Server)"),
        QStringLiteral("vmware_esxi8_64 (VMware ESXi 8.0 U3 Hypervisor)"),
        QStringLiteral("almalinux9_64 (AlmaLinux 9 Enterprise)"),
        QStringLiteral("rocky9_64 (Rocky Linux 9 Bare Metal)"),
        QStringLiteral("windows_server_2025_std (Windows Server 2025 Standard)"),
        QStringLiteral("talos_k8s_64 (Talos Linux Kubernetes OS)"),
    };
    return templates;
}

DedicatedStorageTab::DedicatedStorageTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                                         QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);
    if (!server.diskGroups.isEmpty())
        layout->addWidget(diskCard(server));
    layout->addWidget(installCard(state, store, server));
}

void confirmDedicatedReinstall(AppStateStore& store, const HalvoServer& server, const QString& os,
                               const QString& raidProfile) {
    HalvoConfirmRequest request;
    request.title =
        QStringLiteral("Dedicated Server '") + server.reverse + QStringLiteral("' wirklich komplett neu installieren?");
    request.message = QStringLiteral("Du bist dabei, das Betriebssystem '") + os +
                      QStringLiteral("' mit dem RAID-Profil '") + raidProfile +
                      QStringLiteral("' auf dem Bare-Metal-Server '") + server.name + QStringLiteral("' (") +
                      server.ip + QStringLiteral(") neu zu installieren.");
    request.warningDetails = QStringLiteral("ACHTUNG DATENVERLUST: Alle vorhandenen Partitionen, Datenbanken, VMs und "
                                            "Dateien auf den Festplatten von ") +
                             server.name + QStringLiteral(" werden unwiderruflich formatiert und gelöscht!");
    request.confirmButtonTitle = QStringLiteral("Unwiderruflich formatieren & neu installieren");
    request.variant = HalvoButtonVariant::danger;
    request.requireTypedConfirmation = server.name;
    // The sentence names exactly what the user read and confirmed, so the values are taken at the press.
    request.action = [&store, name = server.name, os, raidProfile] {
        store.setLastActionMessage(QStringLiteral("Bare-Metal OS-Installation (") + os + QStringLiteral(", ") +
                                   raidProfile + QStringLiteral(") auf ") + name +
                                   QStringLiteral(" bestätigt und gestartet (POST /dedicated/server/") + name +
                                   QStringLiteral("/install/start)."));
    };
    store.requestConfirmation(std::move(request));
}
