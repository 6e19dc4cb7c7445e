#include "views/ip/IPVirtualMacTab.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"
#include "ui/HalvoFlowLayout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

const QString kHalvoType = QStringLiteral("halvo");
const QString kVmwareType = QStringLiteral("vmware");

HalvoButtonVariant variantFor(const QString& chosen, const QString& type) {
    return chosen == type ? HalvoButtonVariant::primary : HalvoButtonVariant::secondary;
}

} // namespace

QList<IPMoveTarget> IPVirtualMacTab::moveTargets(const HalvoAccountSnapshot& snapshot) {
    QList<IPMoveTarget> targets;
    targets.reserve(snapshot.dedicatedServers.size());
    for (const HalvoServer& server : snapshot.dedicatedServers)
        targets.append({server.name, server.reverse});
    return targets;
}

IPVirtualMacTab::IPVirtualMacTab(AppStateStore& store, IPRdnsState& state, const HalvoIPBlock& block,
                                 const QList<IPMoveTarget>& targets, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_state(state)
    , m_block(block)
    , m_targets(targets) {
    setObjectName(QStringLiteral("ipVirtualMacTab"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    if (m_block.virtualMacSupported)
        column->addWidget(buildVirtualMacCard());
    if (m_block.canMoveFailover)
        column->addWidget(buildFailoverCard());
}

// ---- actions ----

void IPVirtualMacTab::selectVmacType(const QString& type) {
    m_state.vmacType = type;
    showVmacType();
}

void IPVirtualMacTab::showVmacType() {
    if (!m_halvoTypeButton)
        return;
    m_halvoTypeButton->setVariant(variantFor(m_state.vmacType, kHalvoType));
    m_vmwareTypeButton->setVariant(variantFor(m_state.vmacType, kVmwareType));
}

void IPVirtualMacTab::createVirtualMac() {
    QString address = halvo::trimmed(m_state.vmacIPInput);
    if (address.isEmpty())
        address = m_block.networkAddress();
    QString machine = halvo::trimmed(m_state.vmacVMNameInput);
    if (machine.isEmpty())
        machine = QStringLiteral("proxmox-vm");
    m_store.addVirtualMAC(m_block.ipBlock, address, machine, m_state.vmacType);
    m_state.vmacIPInput.clear();
    m_state.vmacVMNameInput.clear();
    m_vmacAddressField->reload();
    m_vmacNameField->reload();
}

void IPVirtualMacTab::copyMacAddress(const HalvoVirtualMac& entry) {
    halvo::ui::copyToClipboard(entry.macAddress);
    m_store.setLastActionMessage(QStringLiteral("vMAC ") + entry.macAddress + QStringLiteral(" kopiert."));
}

void IPVirtualMacTab::confirmDeleteVirtualMac(const HalvoVirtualMac& entry) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Virtual MAC '") + entry.macAddress + QStringLiteral("' löschen?");
    request.message = QStringLiteral("Möchtest du die virtuelle MAC-Adresse für '") + entry.ipAddress +
                      QStringLiteral("' (VM: ") + entry.virtualMachineName + QStringLiteral(") wirklich entfernen?");
    request.warningDetails =
        QStringLiteral("Die zugeordnete virtuelle Maschine verliert sofort ihre Netzwerkverbindung auf dieser IP.");
    request.confirmButtonTitle = QStringLiteral("vMAC jetzt entfernen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, block = m_block.ipBlock, address = entry.ipAddress, mac = entry.macAddress] {
        store.deleteVirtualMAC(block, address, mac);
    };
    m_store.requestConfirmation(std::move(request));
}

void IPVirtualMacTab::requestTypedMove() {
    const QString target = halvo::trimmed(m_state.targetMoveService);
    if (target.isEmpty())
        return;
    confirmMoveFailover(target);
}

void IPVirtualMacTab::confirmMoveFailover(const QString& target) {
    Q_EMIT moveFailoverRequested(m_block, target);
}

// ---- cards ----

QWidget* IPVirtualMacTab::buildVirtualMacCard() {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Virtual MAC-Adressen (vMAC) für Virtualisierung (Proxmox VE, VMware ESXi, Hyper-V)"),
        QStringLiteral(
            "Erzeuge dedizierte virtuelle MAC-Adressen für Bridged-VMs (/dedicated/server/{server}/virtualMac)"),
        QStringLiteral("cpu.fill"), Tint::purple);
    card->setObjectName(QStringLiteral("ipVirtualMacCard"));

    // The fields, the type and the button wrap onto further lines where the card is short.
    auto* form = new HalvoFlowLayout(nullptr, 10, 8);
    form->setContentsMargins(0, 0, 0, 0);
    m_vmacAddressField = new HalvoFormTextField(
        QStringLiteral("IP-Adresse (z.B. ") + m_block.networkAddress() + QLatin1Char(')'), &m_state.vmacIPInput);
    m_vmacAddressField->setObjectName(QStringLiteral("ipVmacAddressInput"));
    m_vmacAddressField->setFixedWidth(220);
    form->addWidget(m_vmacAddressField);
    m_vmacNameField = new HalvoFormTextField(QStringLiteral("Name der Virtuellen Maschine (z.B. vm-101-web)"),
                                             &m_state.vmacVMNameInput);
    m_vmacNameField->setObjectName(QStringLiteral("ipVmacNameInput"));
    form->addWidget(m_vmacNameField);

    auto* typeRow = new QHBoxLayout;
    typeRow->setSpacing(6);
    typeRow->addWidget(HalvoElidedLabel::make(QStringLiteral("Typ:"), TextStyle::caption, Weight::bold));
    m_halvoTypeButton = new HalvoActionButton(QStringLiteral("Halvo MAC"), HalvoButtonVariant::secondary, true);
    m_vmwareTypeButton = new HalvoActionButton(QStringLiteral("VMware MAC"), HalvoButtonVariant::secondary, true);
    connect(m_halvoTypeButton, &QPushButton::clicked, this, [this] { selectVmacType(kHalvoType); });
    connect(m_vmwareTypeButton, &QPushButton::clicked, this, [this] { selectVmacType(kVmwareType); });
    typeRow->addWidget(m_halvoTypeButton);
    typeRow->addWidget(m_vmwareTypeButton);
    showVmacType();
    form->addLayout(typeRow);

    auto* create = new HalvoActionButton(QStringLiteral("vMAC generieren"), HalvoButtonVariant::primary, true,
                                         QStringLiteral("plus.circle.fill"));
    connect(create, &QPushButton::clicked, this, &IPVirtualMacTab::createVirtualMac);
    form->addWidget(create);
    halvo::ui::submitOnReturn(form, create);
    card->addContent(form);

    // Address and MAC stand in columns as wide as their longest text, so the rows line up; the machine's
    // name takes the rest of the line and the buttons follow it with their whole titles, or move onto a
    // further line where the card is short.
    QList<QLabel*> addressColumn;
    QList<QLabel*> macColumn;
    for (const HalvoVirtualMac& entry : m_block.virtualMacs) {
        auto* row = new QFrame;
        row->setObjectName(QStringLiteral("halvoListRow"));
        auto* items = new HalvoFlowLayout(row, 8, 6);
        items->setContentsMargins(10, 10, 10, 10);
        QLabel* address =
            HalvoElidedLabel::make(entry.ipAddress, TextStyle::subheadline, Weight::bold, Tint::primary, true);
        addressColumn.append(address);
        items->addWidget(address);
        QLabel* mac = HalvoElidedLabel::make(QStringLiteral("MAC: ") + entry.macAddress, TextStyle::subheadline,
                                             Weight::bold, Tint::purple, true);
        macColumn.append(mac);
        items->addWidget(mac);
        QLabel* machine = HalvoElidedLabel::make(QStringLiteral("VM: ") + entry.virtualMachineName +
                                                     QStringLiteral(" (") + entry.type.toUpper() + QLatin1Char(')'),
                                                 TextStyle::caption);
        machine->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        items->addWidget(machine);
        auto* buttons = new QWidget;
        auto* buttonRow = new QHBoxLayout(buttons);
        buttonRow->setContentsMargins(0, 0, 0, 0);
        buttonRow->setSpacing(8);
        auto* copy = new HalvoActionButton(QStringLiteral("MAC kopieren"), HalvoButtonVariant::secondary, true);
        connect(copy, &QPushButton::clicked, this, [this, entry] { copyMacAddress(entry); });
        buttonRow->addWidget(copy);
        auto* remove = new HalvoActionButton(QStringLiteral("vMAC löschen"), HalvoButtonVariant::danger, true);
        connect(remove, &QPushButton::clicked, this, [this, entry] { confirmDeleteVirtualMac(entry); });
        buttonRow->addWidget(remove);
        buttons->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        items->addWidget(buttons);
        card->addContent(row);
    }
    for (const QList<QLabel*>& column : {addressColumn, macColumn}) {
        int width = 0;
        for (const QLabel* label : column)
            width = std::max(width, label->sizeHint().width());
        for (QLabel* label : column)
            label->setMinimumWidth(width);
    }
    return card;
}

QWidget* IPVirtualMacTab::buildFailoverCard() {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Additional / Failover IP Live-Routing (/ip/") + m_block.ipBlock + QStringLiteral("/move)"),
        QStringLiteral("Schwenke dieses Failover-IP-Subnetz auf einen anderen Server oder ein Meshbay um (mit "
                       "Sicherheits-Rückfrage)"),
        QStringLiteral("arrow.triangle.swap"), Tint::orange);
    card->setObjectName(QStringLiteral("ipFailoverCard"));

    QLabel* current =
        HalvoElidedLabel::make(QStringLiteral("Aktuelles Routing-Ziel: ") +
                                   m_block.routedToService.value_or(QStringLiteral("Parked (Kein Server zugewiesen)")),
                               TextStyle::subheadline, Weight::bold);
    current->setObjectName(QStringLiteral("ipRoutingTarget"));
    card->addContent(current);

    auto* form = new QHBoxLayout;
    form->setSpacing(10);
    auto* targetField = new HalvoFormTextField(
        QStringLiteral("Ziel-Service Name (z.B. ns3045871.ip-192-0-2.example.net)"), &m_state.targetMoveService);
    targetField->setObjectName(QStringLiteral("ipMoveTargetInput"));
    form->addWidget(targetField, 1, Qt::AlignVCenter);
    auto* move = new HalvoActionButton(QStringLiteral("IP-Subnetz umrouten..."), HalvoButtonVariant::primary, true,
                                       QStringLiteral("bolt.horizontal.fill"));
    connect(move, &QPushButton::clicked, this, &IPVirtualMacTab::requestTypedMove);
    form->addWidget(move, 0, Qt::AlignVCenter);
    halvo::ui::submitOnReturn(form, move);
    card->addContent(form);

    if (!m_targets.isEmpty()) {
        // The servers' buttons wrap onto further lines where the card is short.
        auto* pick = new HalvoFlowLayout(nullptr, 8, 8);
        pick->setContentsMargins(0, 0, 0, 0);
        pick->addWidget(
            HalvoElidedLabel::make(QStringLiteral("Schnell-Auswahl deiner Server:"), TextStyle::caption, Weight::bold));
        for (const IPMoveTarget& target : m_targets) {
            auto* button = new HalvoActionButton(QStringLiteral("Auf ") + target.second + QStringLiteral(" routen"),
                                                 HalvoButtonVariant::secondary, true);
            connect(button, &QPushButton::clicked, this, [this, name = target.first] { confirmMoveFailover(name); });
            pick->addWidget(button);
        }
        card->addContent(pick);
    }
    return card;
}
