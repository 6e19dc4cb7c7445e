#include "views/ip/IPGameTab.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"
#include "ui/Theme.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

QString rgba(const QColor& color) {
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alphaF());
}

} // namespace

IPGameTab::IPGameTab(AppStateStore& store, IPRdnsState& state, const HalvoIPBlock& block, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_state(state)
    , m_block(block) {
    setObjectName(QStringLiteral("ipGameTab"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(18);
    if (block.gameMitigationSupported)
        outer->addWidget(buildGameCard());
    const QStringList blocked = blockedAddresses(block);
    if (!blocked.isEmpty())
        outer->addWidget(buildBlockedCard(blocked));
}

std::pair<qint64, qint64> IPGameTab::portRange(const QString& startText, const QString& endText) {
    const qint64 start = halvo::parseWholeInteger(startText).value_or(kDefaultPort);
    const qint64 end = halvo::parseWholeInteger(endText).value_or(start);
    return {start, end};
}

QStringList IPGameTab::blockedAddresses(const HalvoIPBlock& block) {
    // An address may stand in both lists; one unblock lifts both, so it gets one row.
    QStringList addresses = block.arpBlockedIPs + block.spamBlockedIPs;
    addresses.removeDuplicates();
    return addresses;
}

QWidget* IPGameTab::buildGameCard() {
    auto* card =
        new HalvoSectionCard(QStringLiteral("Halvo Game-DDoS-Protection (L7 UDP Applikations-Filterung – /ip/") +
                                 m_block.ipBlock + QStringLiteral("/game)"),
                             QStringLiteral("Spezialisierter bidirektionaler UDP-Filter für Echtzeit-Protokolle"),
                             QStringLiteral("gamecontroller.fill"), Tint::purple);
    card->setObjectName(QStringLiteral("gameCard"));
    card->contentLayout()->setSpacing(12);

    auto* form = new HalvoFlowLayout(nullptr, 10, 8);
    form->addWidget(HalvoElidedLabel::make(QStringLiteral("Protokoll-Profil:"), TextStyle::caption, Weight::bold));
    auto* profilePicker = new QComboBox;
    profilePicker->setObjectName(QStringLiteral("gameProtoPicker"));
    profilePicker->setFixedWidth(190);
    profilePicker->addItems(IPRdnsState::gameProtocols);
    profilePicker->setCurrentIndex(int(IPRdnsState::gameProtocols.indexOf(m_state.gameProto)));
    connect(profilePicker, &QComboBox::currentIndexChanged, this, [this, profilePicker](int index) {
        if (index >= 0)
            m_state.gameProto = profilePicker->itemText(index);
    });
    form->addWidget(profilePicker);

    auto* start = new HalvoFormTextField(QStringLiteral("Start-Port (z.B. 51820)"), &m_state.gameStartPort);
    start->setObjectName(QStringLiteral("gameStartPortField"));
    start->setFixedWidth(160);
    form->addWidget(start);
    auto* end = new HalvoFormTextField(QStringLiteral("End-Port (z.B. 51820)"), &m_state.gameEndPort);
    end->setObjectName(QStringLiteral("gameEndPortField"));
    end->setFixedWidth(160);
    form->addWidget(end);

    auto* add = new HalvoActionButton(QStringLiteral("Game-UDP-Regel aktivieren"), HalvoButtonVariant::purple, true,
                                      QStringLiteral("plus.shield.fill"));
    connect(add, &QPushButton::clicked, this, [this] { addGameRule(); });
    form->addWidget(add);
    halvo::ui::submitOnReturn(form, add);
    card->addContent(form);

    for (const HalvoGameFirewallRule& rule : m_block.gameRules) {
        QFrame* row = halvo::ui::listRow(8, 8);
        row->setProperty("ruleId", QVariant::fromValue(rule.id));
        auto* layout = qobject_cast<QHBoxLayout*>(row->layout());
        layout->addWidget(new HalvoStatusBadge(rule.protocol.toUpper(), Tint::purple, QStringLiteral("shield.fill")));
        layout->addWidget(HalvoElidedLabel::make(QStringLiteral("UDP Port-Bereich: ") +
                                                     QString::number(rule.startPort) + QStringLiteral(" – ") +
                                                     QString::number(rule.endPort),
                                                 TextStyle::subheadline, Weight::bold, Tint::primary, true));
        layout->addStretch();
        auto* remove = new HalvoActionButton(QStringLiteral("Regel entfernen"), HalvoButtonVariant::danger, true);
        connect(remove, &QPushButton::clicked, this,
                [this, id = rule.id] { m_store.removeGameFirewallRuleLocally(m_block.ipBlock, id); });
        layout->addWidget(remove);
        card->addContent(row);
    }
    return card;
}

QWidget* IPGameTab::buildBlockedCard(const QStringList& addresses) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Aktive Anti-Spam / ARP-Spoofing Sperren (/ip/") + m_block.ipBlock +
            QStringLiteral("/antispam & /arp)"),
        QStringLiteral("Folgende IPs wurden von Halvo isoliert und können hier freigeschaltet werden"),
        QStringLiteral("exclamationmark.shield.fill"), Tint::orange);
    card->setObjectName(QStringLiteral("blockedCard"));

    for (const QString& address : addresses) {
        QFrame* row = halvo::ui::listRow(10, 10);
        row->setObjectName(QStringLiteral("blockedAddressRow"));
        row->setProperty("address", address);
        // A warning row: orange in place of the usual row colour, same shape.
        row->setStyleSheet(QStringLiteral("QFrame#blockedAddressRow { background: %1; border: none; "
                                          "border-radius: 8px; }")
                               .arg(rgba(halvo::theme::color(Tint::orange, 0.10))));
        auto* layout = qobject_cast<QHBoxLayout*>(row->layout());
        layout->addWidget(halvo::theme::symbol(QStringLiteral("exclamationmark.triangle.fill"), TextStyle::subheadline,
                                               Tint::orange));
        layout->addWidget(HalvoElidedLabel::make(QStringLiteral("Blockierte IP: ") + address, TextStyle::subheadline,
                                                 Weight::bold, Tint::primary, true));
        layout->addStretch();
        auto* unblock =
            new HalvoActionButton(QStringLiteral("IP sofort entsperren (Unblock)"), HalvoButtonVariant::warning, true);
        connect(unblock, &QPushButton::clicked, this,
                [this, address] { m_store.unblockARPIP(m_block.ipBlock, address); });
        layout->addWidget(unblock);
        card->addContent(row);
    }
    return card;
}

void IPGameTab::addGameRule() {
    const auto [start, end] = portRange(m_state.gameStartPort, m_state.gameEndPort);
    m_store.addGameFirewallRule(m_block.ipBlock, m_state.gameProto, start, end);
}
