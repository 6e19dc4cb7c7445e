#include "views/dedicated/DedicatedNetworkTab.h"

#include "model/Records.h"
#include "model/Text.h"
#include "store/AppStateStore.h"
#include "store/NavigationSection.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;

QList<HalvoSpecTile::Spec> networkTiles(const HalvoServer& server) {
    QList<HalvoSpecTile::Spec> tiles;
    if (server.publicBandwidthMbps >= 1) {
        tiles.append({QStringLiteral("Public Bandbreite"),
                      QString::number(server.publicBandwidthMbps) + QStringLiteral(" Mbit/s"),
                      QStringLiteral("Halvo Backbone Uplink"),
                      QStringLiteral("speedometer"),
                      theme::Tint::blue,
                      std::nullopt,
                      {}});
    }
    if (server.meshbaySupported) {
        tiles.append({QStringLiteral("Meshbay Private Network"),
                      server.meshbayBandwidthMbps >= 1
                          ? QString(QString::number(server.meshbayBandwidthMbps) + QStringLiteral(" Mbit/s"))
                          : QStringLiteral("Unterstützt"),
                      server.meshbayName.value_or(QStringLiteral("Kein Meshbay verbunden")),
                      QStringLiteral("point.3.connected.trianglepath.dotted"),
                      theme::Tint::purple,
                      std::nullopt,
                      {}});
    }
    if (server.bondixAvailable) {
        tiles.append({QStringLiteral("Halvo Link Aggregation (Bondix)"),
                      server.bondixMode,
                      QStringLiteral("LACP 802.3ad / Dual-NIC"),
                      QStringLiteral("arrow.triangle.merge"),
                      theme::Tint::teal,
                      std::nullopt,
                      {}});
    }
    // The count is the number of blocks the card lists, so a server without any address claims no subnet.
    tiles.append({QStringLiteral("Zugewiesene IP-Blöcke"),
                  QString::number(DedicatedNetworkTab::ipBlockList(server).size()) + QStringLiteral(" Subnetz(e)"),
                  server.ip,
                  QStringLiteral("network"),
                  theme::Tint::green,
                  std::nullopt,
                  {}});
    return tiles;
}

} // namespace

DedicatedNetworkTab::DedicatedNetworkTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                                         QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_state(state) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);

    layout->addWidget(new HalvoSpecGrid(QStringLiteral("networkTiles"), networkTiles(server)));

    auto* cards = HalvoColumnsLayout::sideBySideCards();
    if (server.meshbaySupported)
        cards->addWidget(meshbayCard(server));
    cards->addWidget(ipCard(server));
    layout->addLayout(cards);
}

QStringList DedicatedNetworkTab::ipBlockList(const HalvoServer& server) {
    if (!server.assignedIPBlocks.isEmpty())
        return server.assignedIPBlocks;
    if (server.ip == kNoValue)
        return {};
    return {server.ip};
}

QWidget* DedicatedNetworkTab::meshbayCard(const HalvoServer& server) {
    auto* card = new HalvoSectionCard(QStringLiteral("Meshbay Private Network Zuordnung"),
                                      QStringLiteral("Verbinde diesen Server mit einem privaten Halvo Layer-2 VLAN"),
                                      QStringLiteral("point.3.connected.trianglepath.dotted"), theme::Tint::purple);
    card->setObjectName(QStringLiteral("meshbayCard"));
    QVBoxLayout* column = card->addColumn(10);
    column->addWidget(HalvoElidedLabel::make(QStringLiteral("Aktueller Meshbay-Status: ") +
                                                 server.meshbayName.value_or(QStringLiteral("Nicht zugeordnet")),
                                             theme::TextStyle::subheadline, theme::Weight::bold));

    auto* row = new HalvoFlowLayout(nullptr, 10, 8);
    auto* field = new HalvoFormTextField(QStringLiteral("Meshbay Service-ID (z.B. pn-1049218)"), &m_state.meshbayInput);
    field->setObjectName(QStringLiteral("meshbayInput"));
    row->addWidget(field);
    auto* attach = new HalvoActionButton(QStringLiteral("In Meshbay einbinden"), HalvoButtonVariant::primary, true);
    connect(attach, &QPushButton::clicked, this, [this, name = server.name] { attachMeshbay(name); });
    row->addWidget(attach);
    halvo::ui::submitOnReturn({field}, attach);
    if (server.meshbayName) {
        auto* detach = new HalvoActionButton(QStringLiteral("Aus Meshbay lösen"), HalvoButtonVariant::danger, true);
        connect(detach, &QPushButton::clicked, this, [this, server] { confirmDetachMeshbay(server); });
        row->addWidget(detach);
    }
    column->addLayout(row);
    return card;
}

QWidget* DedicatedNetworkTab::ipCard(const HalvoServer& server) {
    QString title = QStringLiteral("Zugewiesene IP-Subnetze");
    if (server.firewallAvailable)
        title += QStringLiteral(" & Edge-Firewall");
    auto* card = new HalvoSectionCard(
        title,
        QString(QStringLiteral("Alle auf ") + server.name + QStringLiteral(" gerouteten IPv4- und IPv6-Adressen")),
        QStringLiteral("shield.lefthalf.filled"), theme::Tint::orange);
    card->setObjectName(QStringLiteral("ipCard"));
    QVBoxLayout* column = card->addColumn(10);

    auto* buttons = new HalvoFlowLayout(nullptr, 8, 8);
    if (server.firewallAvailable) {
        auto* firewall =
            new HalvoActionButton(server.firewallEnabled ? QStringLiteral("Edge Hardware-Firewall: AKTIV")
                                                         : QStringLiteral("Edge Hardware-Firewall: AUS"),
                                  server.firewallEnabled ? HalvoButtonVariant::success : HalvoButtonVariant::secondary,
                                  true, QStringLiteral("flame.fill"));
        connect(firewall, &QPushButton::clicked, this, [&store = m_store, name = server.name] {
            store.performDedicatedServerAction(name, AppStateStore::DedicatedServerAction::toggleFirewall);
        });
        buttons->addWidget(firewall);
    }
    auto* manager = new HalvoActionButton(QStringLiteral("Im IP & rDNS Manager öffnen"), HalvoButtonVariant::primary,
                                          true, QStringLiteral("arrow.up.right.square.fill"));
    // The main window replaces this view on its next turn, not inside this click.
    connect(manager, &QPushButton::clicked, this,
            [&store = m_store] { store.setSelectedSection(NavigationSection::ipRdns); });
    buttons->addWidget(manager);
    column->addLayout(buttons);

    for (const QString& block : ipBlockList(server)) {
        QFrame* row = halvo::ui::listRow(8, 8);
        row->setProperty("ipBlock", block);
        auto* rowLayout = qobject_cast<QHBoxLayout*>(row->layout());
        const bool v6 = block.contains(QLatin1Char(':'));
        rowLayout->addWidget(theme::symbol(v6 ? QStringLiteral("6.circle.fill") : QStringLiteral("4.circle.fill"),
                                           theme::TextStyle::caption, theme::Tint::blue));
        rowLayout->addWidget(
            HalvoElidedLabel::make(block, theme::TextStyle::caption, theme::Weight::bold, theme::Tint::primary, true));
        rowLayout->addStretch();
        auto* copy = new HalvoActionButton(QStringLiteral("Kopieren"), HalvoButtonVariant::secondary, true);
        connect(copy, &QPushButton::clicked, this, [&store = m_store, block] {
            halvo::ui::copyToClipboard(block);
            store.setLastActionMessage(QStringLiteral("IP-Subnetz ") + block + QStringLiteral(" kopiert."));
        });
        rowLayout->addWidget(copy);
        column->addWidget(row);
    }
    return card;
}

void DedicatedNetworkTab::attachMeshbay(const QString& serverName) const {
    // Detaching has its own confirmation; an empty name must not detach behind the user's back.
    const QString service = halvo::trimmed(m_state.meshbayInput);
    if (service.isEmpty())
        return;
    m_store.toggleDedicatedServerMeshbay(serverName, service);
}

void DedicatedNetworkTab::confirmDetachMeshbay(const HalvoServer& server) const {
    const QString meshbay = server.meshbayName.value_or(QString());
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Server aus Meshbay '") + meshbay + QStringLiteral("' entfernen?");
    request.message = QStringLiteral("Möchtest du '") + server.reverse +
                      QStringLiteral("' wirklich aus dem privaten Netzwerk '") + meshbay + QStringLiteral("' trennen?");
    request.warningDetails = QStringLiteral("Private IP-Verbindungen über das Meshbay-Interface zu anderen Servern "
                                            "im Cluster werden sofort unterbrochen.");
    request.confirmButtonTitle = QStringLiteral("Aus Meshbay trennen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, name = server.name] { store.toggleDedicatedServerMeshbay(name, QString()); };
    m_store.requestConfirmation(std::move(request));
}
