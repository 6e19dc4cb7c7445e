#include "views/dedicated/DedicatedPowerTab.h"

#include "model/Records.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;

HalvoConfirmRequest bootFromDiskRequest(AppStateStore& store, const HalvoServer& server) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Netboot auf lokale Festplatte / NVMe umstellen?");
    request.message = QStringLiteral("Der Server '") + server.reverse + QStringLiteral("' (") + server.name +
                      QStringLiteral(") wird beim nächsten Neustart wieder regulär von seiner lokalen Festplatte / "
                                     "NVMe (Boot-ID #1) starten.");
    request.confirmButtonTitle = QStringLiteral("Auf Festplatten-Boot umstellen");
    request.variant = HalvoButtonVariant::success;
    request.action = [&store, server] { DedicatedPowerTab::setNetboot(store, server, false); };
    return request;
}

HalvoConfirmRequest rescueBootRequest(AppStateStore& store, const HalvoServer& server) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Server in den Halvo Notanker Modus versetzen?");
    request.message = QStringLiteral("Der Netboot-Modus für '") + server.reverse + QStringLiteral("' (") + server.name +
                      QStringLiteral(") wird auf das Halvo Notanker Live-System umgestellt.");
    request.warningDetails =
        QStringLiteral("Beim nächsten Neustart bootet der Server nicht mehr ins installierte Betriebssystem, sondern "
                       "in das temporäre RAM-Rettungssystem (Zugangsdaten per E-Mail an ") +
        server.rescueMail.value_or(QStringLiteral("deinen Account")) + QStringLiteral(").");
    request.confirmButtonTitle = QStringLiteral("Rescue-Modus aktivieren");
    request.variant = HalvoButtonVariant::warning;
    request.action = [&store, server] { DedicatedPowerTab::setNetboot(store, server, true); };
    return request;
}

HalvoConfirmRequest controllerResetRequest(AppStateStore& store, const HalvoServer& server) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("IPMI / BMC Interface neu starten?");
    request.message =
        QStringLiteral("Möchtest du den Baseboard Management Controller (IPMI/KVM) von '") + server.name +
        QStringLiteral("' zurücksetzen? Laufende KVM-Sitzungen werden dabei kurzzeitig getrennt (der Server selbst "
                       "bootet NICHT neu).");
    request.confirmButtonTitle = QStringLiteral("IPMI BMC Reset ausführen");
    request.variant = HalvoButtonVariant::warning;
    request.action = [&store, name = server.name] {
        store.setLastActionMessage(QStringLiteral("IPMI / BMC Controller für ") + name +
                                   QStringLiteral(" wird neu gestartet (/ipmi/resetInterface)."));
    };
    return request;
}

} // namespace

DedicatedPowerTab::DedicatedPowerTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                                     QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_state(state) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);
    layout->addWidget(netbootCard(server));
    if (server.ipmiAvailable)
        layout->addWidget(ipmiCard(server));
}

QWidget* DedicatedPowerTab::netbootCard(const HalvoServer& server) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Netboot-Konfiguration & Boot-Modus (/dedicated/server/") + server.name +
            QStringLiteral("/boot)"),
        QStringLiteral("Wähle das Startmedium für den nächsten Server-Neustart (mit Sicherheits-Rückfrage)"),
        QStringLiteral("power.circle.fill"), theme::Tint::green);
    card->setObjectName(QStringLiteral("netbootCard"));
    QVBoxLayout* column = card->addColumn(14);

    // The coloured variant marks the medium set now; anything but the two exact values colours neither.
    auto* bootRow = new HalvoFlowLayout(nullptr, 12, 8);
    auto* disk = new HalvoActionButton(QStringLiteral("Von lokaler NVMe / Festplatte booten (Boot-ID #1)"),
                                       server.bootType == QLatin1String("harddisk") ? HalvoButtonVariant::success
                                                                                    : HalvoButtonVariant::secondary,
                                       false, QStringLiteral("internaldrive.fill"));
    connect(disk, &QPushButton::clicked, this,
            [&store = m_store, server] { store.requestConfirmation(bootFromDiskRequest(store, server)); });
    bootRow->addWidget(disk);
    auto* rescue = new HalvoActionButton(QStringLiteral("In Halvo Notanker System booten"),
                                         server.bootType == QLatin1String("rescue") ? HalvoButtonVariant::warning
                                                                                    : HalvoButtonVariant::secondary,
                                         false, QStringLiteral("lifepreserver.fill"));
    connect(rescue, &QPushButton::clicked, this,
            [&store = m_store, server] { store.requestConfirmation(rescueBootRequest(store, server)); });
    bootRow->addWidget(rescue);
    auto* coldReboot =
        new HalvoActionButton(QStringLiteral("Hardware Cold-Reboot ausführen"), HalvoButtonVariant::danger, false,
                              QStringLiteral("arrow.clockwise.circle.fill"));
    connect(coldReboot, &QPushButton::clicked, this, [this, server] { Q_EMIT coldRebootRequested(server); });
    bootRow->addWidget(coldReboot);
    column->addLayout(bootRow);

    column->addWidget(halvo::ui::divider());

    auto* ipxeRow = new HalvoFlowLayout(nullptr, 10, 8);
    ipxeRow->addWidget(HalvoElidedLabel::make(QStringLiteral("Eigenes iPXE Network-Boot Script:"),
                                              theme::TextStyle::subheadline, theme::Weight::bold));
    auto* field = new HalvoFormTextField(kDedicatedDefaultIPXEUrl, &m_state.ipxeUrl);
    field->setObjectName(QStringLiteral("ipxeUrl"));
    ipxeRow->addWidget(field);
    auto* activate =
        new HalvoActionButton(QStringLiteral("iPXE Netboot-Profil aktivieren"), HalvoButtonVariant::primary, true);
    connect(activate, &QPushButton::clicked, this, [this, server] { confirmCustomIPXE(server); });
    ipxeRow->addWidget(activate);
    halvo::ui::submitOnReturn(ipxeRow, activate);
    column->addLayout(ipxeRow);
    return card;
}

QWidget* DedicatedPowerTab::ipmiCard(const HalvoServer& server) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("IPMI / BMC Out-of-Band Management (HTML5 KVM & Serial-over-LAN)"),
        QString(QStringLiteral("Direkter BIOS/UEFI- und Konsolen-Zugriff unabhängig vom installierten Betriebssystem "
                               "(/dedicated/server/") +
                server.name + QStringLiteral("/features/ipmi)")),
        QStringLiteral("display.2"), theme::Tint::purple);
    card->setObjectName(QStringLiteral("ipmiCard"));
    QVBoxLayout* column = card->addColumn(12);

    QLabel* explanation = HalvoWrappingLabel::make(
        QStringLiteral("Über das dedizierte Baseboard Management Controller (BMC) Interface greifst du direkt per "
                       "Browser-KVM (HTML5) oder SSH Serial-over-LAN (SoL) auf den Server zu."),
        theme::TextStyle::caption, theme::Weight::regular, theme::Tint::secondary);
    column->addWidget(explanation);

    auto* row = new HalvoFlowLayout(nullptr, 12, 8);
    const auto openConsole = [this] { Q_EMIT ipmiConsoleRequested(); };
    // Both open the one console sheet.
    auto* kvm = new HalvoActionButton(QStringLiteral("HTML5 KVM Konsole öffnen"), HalvoButtonVariant::primary, false,
                                      QStringLiteral("display"));
    connect(kvm, &QPushButton::clicked, this, openConsole);
    row->addWidget(kvm);
    auto* sol = new HalvoActionButton(QStringLiteral("Serial-over-LAN (SoL) SSH-Tunnel starten"),
                                      HalvoButtonVariant::secondary, false, QStringLiteral("terminal.fill"));
    connect(sol, &QPushButton::clicked, this, openConsole);
    row->addWidget(sol);
    auto* test = new HalvoActionButton(QStringLiteral("IPMI Diagnose-Test (/ipmi/test)"), HalvoButtonVariant::secondary,
                                       true, QStringLiteral("stethoscope"));
    connect(test, &QPushButton::clicked, this, [&store = m_store, name = server.name] {
        store.setLastActionMessage(QStringLiteral("IPMI Test (HTTP, Passwort & Session-Check) auf ") + name +
                                   QStringLiteral(" gestartet."));
    });
    row->addWidget(test);
    auto* reset = new HalvoActionButton(QStringLiteral("IPMI BMC Interface Reset"), HalvoButtonVariant::warning, true,
                                        QStringLiteral("arrow.triangle.2.circlepath"));
    connect(reset, &QPushButton::clicked, this,
            [&store = m_store, server] { store.requestConfirmation(controllerResetRequest(store, server)); });
    row->addWidget(reset);
    column->addLayout(row);
    return card;
}

void DedicatedPowerTab::confirmCustomIPXE(const HalvoServer& server) const {
    // The address is taken as typed and not checked: an empty one is confirmed as "''" like any other.
    const QString url = m_state.ipxeUrl;
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Custom iPXE Network-Boot aktivieren?");
    request.message = QStringLiteral("Soll der Server '") + server.name +
                      QStringLiteral("' beim nächsten Reboot über das iPXE-Script '") + url +
                      QStringLiteral("' starten?");
    request.confirmButtonTitle = QStringLiteral("iPXE-Boot setzen");
    request.variant = HalvoButtonVariant::primary;
    // The sentence names the script the user confirmed; the field cannot change under the modal sheet.
    request.action = [&store = m_store, name = server.name, url] {
        store.setLastActionMessage(QStringLiteral("Dedicated Server ") + name + QStringLiteral(": iPXE Script (") +
                                   url + QStringLiteral(") als Boot-Ziel gesetzt."));
    };
    m_store.requestConfirmation(std::move(request));
}

void DedicatedPowerTab::rebootServer(AppStateStore& store, const HalvoServer& server) {
    store.performDedicatedServerAction(server.name, AppStateStore::DedicatedServerAction::reboot);
}

void DedicatedPowerTab::setNetboot(AppStateStore& store, const HalvoServer& server, bool rescue) {
    store.performDedicatedServerAction(server.name, rescue ? AppStateStore::DedicatedServerAction::bootRescue
                                                           : AppStateStore::DedicatedServerAction::bootDisk);
}
