#include "views/dedicated/DedicatedServerHeader.h"

#include "ui/Components.h"
#include "ui/HalvoFlowLayout.h"
#include "ui/HalvoHeaderIdentity.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;

/// A symbol followed by its text, in caption size and the secondary colour.
QWidget* captionLabel(const QString& symbolName, const QString& text) {
    auto* item = new QWidget;
    // As wide as its text: the facts stand side by side and wrap, not spread over the line.
    item->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* row = new QHBoxLayout(item);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(theme::symbol(symbolName, theme::TextStyle::caption, theme::Tint::secondary));
    row->addWidget(
        HalvoElidedLabel::make(text, theme::TextStyle::caption, theme::Weight::regular, theme::Tint::secondary), 1);
    return item;
}

} // namespace

DedicatedServerHeader::DedicatedServerHeader(const HalvoServer& server, QWidget* parent)
    : QWidget(parent) {
    // The identity, then the operations; where the band is short, the operations move onto a further line
    // and the band grows to the height it needs.
    auto* band = new HalvoFlowLayout(this, 16, 12);
    band->setContentsMargins(0, 0, 0, 0);

    auto* tile = new HalvoIconTile(QStringLiteral("server.rack"), theme::IconTileKind::dedicatedServer);
    // The name, then the badges; badges that do not fit beside the name move onto a further line. Only a
    // text too long for a line of its own ends in "…" (whole in the tooltip).
    auto* titleRow = new HalvoFlowLayout(nullptr, 8, 6);
    titleRow->setContentsMargins(0, 0, 0, 0);
    auto* identity = new QVBoxLayout;
    identity->setSpacing(5);
    auto* title = HalvoElidedLabel::make(server.reverse, theme::TextStyle::title2, theme::Weight::bold);
    titleRow->addWidget(title);
    const bool poweredOn = server.powerState == QLatin1String("poweron");
    titleRow->addWidget(new HalvoStatusBadge(poweredOn ? QStringLiteral("POWER ON") : QStringLiteral("POWER OFF"),
                                             poweredOn ? theme::Tint::green : theme::Tint::red));
    titleRow->addWidget(
        new HalvoStatusBadge(QStringLiteral("BOOT: ") + server.bootType.toUpper(),
                             server.bootType == QLatin1String("rescue") ? theme::Tint::orange : theme::Tint::blue,
                             QStringLiteral("internaldrive.fill")));
    titleRow->addWidget(
        new HalvoStatusBadge(QStringLiteral("STATE: ") + server.state.toUpper(),
                             server.state == QLatin1String("ok") ? theme::Tint::green : theme::Tint::red,
                             QStringLiteral("checkmark.shield.fill")));
    identity->addLayout(titleRow);

    QString serviceLine = server.commercialRange + QStringLiteral(" • Service-Name: ") + server.name;
    if (server.serverId >= 1)
        serviceLine += QStringLiteral(" • Server-ID: #") + QString::number(server.serverId);
    identity->addWidget(HalvoElidedLabel::make(serviceLine, theme::TextStyle::subheadline, theme::Weight::medium,
                                               theme::Tint::secondary));

    auto* facts = new HalvoFlowLayout(nullptr, 14, 4);
    facts->setContentsMargins(0, 0, 0, 0);
    if (server.rack != kNoValue && !server.rack.isEmpty())
        facts->addWidget(captionLabel(QStringLiteral("cabinet.fill"), QStringLiteral("Rack: ") + server.rack));
    facts->addWidget(captionLabel(QStringLiteral("building.2.fill"), QStringLiteral("DC: ") + server.datacenter));
    if (server.ip != kNoValue)
        facts->addWidget(captionLabel(QStringLiteral("network"), QStringLiteral("IPv4: ") + server.ip));
    if (server.meshbaySupported && server.meshbayName) {
        facts->addWidget(captionLabel(QStringLiteral("point.3.connected.trianglepath.dotted"),
                                      QStringLiteral("Meshbay: ") + *server.meshbayName));
    }
    identity->addLayout(facts);
    band->addWidget(new HalvoHeaderIdentity(tile, titleRow, identity));

    // The operations, right-aligned beside the identity.
    auto* operationsBlock = new QWidget;
    auto* operations = new QVBoxLayout(operationsBlock);
    operations->setContentsMargins(0, 0, 0, 0);
    operations->setSpacing(8);
    if (server.ipmiAvailable) {
        auto* console =
            new HalvoActionButton(QStringLiteral("IPMI / KVM HTML5 & SoL Konsole"), HalvoButtonVariant::primary, false,
                                  QStringLiteral("display.and.arrow.down"));
        // The operations keep their whole titles; the texts beside them give way.
        console->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        connect(console, &QPushButton::clicked, this, &DedicatedServerHeader::ipmiConsoleRequested);
        operations->addWidget(console, 0, Qt::AlignRight);
    }
    auto* smallButtons = new QHBoxLayout;
    smallButtons->setSpacing(8);
    smallButtons->addStretch(1);
    auto* coldReboot = new HalvoActionButton(QStringLiteral("Cold-Reboot"), HalvoButtonVariant::danger, true,
                                             QStringLiteral("arrow.clockwise.circle.fill"));
    coldReboot->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(coldReboot, &QPushButton::clicked, this, [this, server] { Q_EMIT coldRebootRequested(server); });
    smallButtons->addWidget(coldReboot);
    auto* netboot = new HalvoActionButton(server.bootType == QLatin1String("rescue") ? QStringLiteral("Auf Disk booten")
                                                                                     : QStringLiteral("Notanker"),
                                          HalvoButtonVariant::warning, true, QStringLiteral("lifepreserver.fill"));
    netboot->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(netboot, &QPushButton::clicked, this, [this, server] { Q_EMIT rescueToggleRequested(server); });
    smallButtons->addWidget(netboot);
    operations->addLayout(smallButtons);
    band->addWidget(operationsBlock);
}
