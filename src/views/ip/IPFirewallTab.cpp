#include "views/ip/IPFirewallTab.h"

#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"
#include "ui/Theme.h"
#include "views/ip/IPRdnsState.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

struct ProtocolChoice {
    QString shown;
    QString value;
};

const QList<ProtocolChoice>& protocolChoices() {
    static const QList<ProtocolChoice> choices{{QStringLiteral("TCP"), QStringLiteral("tcp")},
                                               {QStringLiteral("UDP"), QStringLiteral("udp")},
                                               {QStringLiteral("ICMP"), QStringLiteral("icmp")},
                                               {QStringLiteral("IPv4 (Alle)"), QStringLiteral("ipv4")}};
    return choices;
}

const QString kPermit = QStringLiteral("permit");
const QString kDeny = QStringLiteral("deny");

/// A row item of fixed width whose content keeps to the leading edge.
QWidget* fixedColumn(QWidget* item, int width) {
    auto* cell = new QWidget;
    cell->setFixedWidth(width);
    auto* layout = new QHBoxLayout(cell);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(item);
    layout->addStretch();
    return cell;
}

} // namespace

IPFirewallTab::IPFirewallTab(AppStateStore& store, IPRdnsState& state, const HalvoIPBlock& block, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_state(state)
    , m_block(block) {
    setObjectName(QStringLiteral("ipFirewallTab"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(18);

    auto* card = new HalvoSectionCard(
        cardTitle(block),
        QStringLiteral("Hardware-Paketfilterung direkt am Halvo-Backbone-Router (bis zu 20 Regeln pro IP)"),
        QStringLiteral("shield.checkered"), Tint::green);
    card->contentLayout()->setSpacing(14);
    card->addContent(buildSwitchRow());
    card->addContent(halvo::ui::divider());
    card->addContent(buildForm());
    for (const HalvoFirewallRule& rule : block.firewallRules)
        card->addContent(buildRuleRow(rule));
    outer->addWidget(card);
}

QString IPFirewallTab::cardTitle(const HalvoIPBlock& block) {
    return QStringLiteral("Halvo Network Edge-Firewall & Anti-DDoS Tidewall Mitigation (/ip/") + block.ipBlock +
           QStringLiteral("/firewall)");
}

QWidget* IPFirewallTab::buildSwitchRow() {
    auto* row = new QWidget;
    auto* layout = new HalvoFlowLayout(row, 12, 8);

    const bool on = m_block.firewallEnabled;
    auto* firewall = new HalvoActionButton(
        on ? QStringLiteral("Edge-Firewall: AKTIV (Ausschalten)") : QStringLiteral("Edge-Firewall: AUS (Einschalten)"),
        on ? HalvoButtonVariant::success : HalvoButtonVariant::secondary, true, QStringLiteral("flame.fill"));
    // The same switch as the header card's, so both go through the view.
    connect(firewall, &QPushButton::clicked, this, [this] { Q_EMIT firewallToggleRequested(m_block); });
    layout->addWidget(firewall);

    auto* mitigation = new HalvoActionButton(
        QStringLiteral("Anti-DDoS Tidewall Modus: ") + m_block.mitigationMode.toUpper() + QStringLiteral(" umschalten"),
        HalvoButtonVariant::primary, true, QStringLiteral("shield.lefthalf.filled"));
    connect(mitigation, &QPushButton::clicked, this, [this] { m_store.setTidewallMitigation(m_block.ipBlock); });
    layout->addWidget(mitigation);
    return row;
}

QWidget* IPFirewallTab::buildForm() {
    IPRdnsState& state = m_state;
    auto* form = new QWidget;
    // The parts of the form move to a further line where the card is narrow.
    auto* layout = new HalvoFlowLayout(form, 10, 8);

    auto* seqGroup = new QHBoxLayout;
    seqGroup->setSpacing(4);
    seqGroup->addWidget(HalvoElidedLabel::make(QStringLiteral("Seq:"), TextStyle::caption, Weight::bold));
    auto* seqPicker = new QComboBox;
    seqPicker->setObjectName(QStringLiteral("ruleSeqPicker"));
    seqPicker->setFixedWidth(65);
    for (qint64 sequence = 0; sequence < kSequenceChoices; ++sequence)
        seqPicker->addItem(QLatin1Char('#') + QString::number(sequence), QVariant::fromValue(sequence));
    seqPicker->setCurrentIndex(seqPicker->findData(QVariant::fromValue(state.ruleSeq)));
    connect(seqPicker, &QComboBox::currentIndexChanged, this, [this, seqPicker](int index) {
        if (index >= 0)
            m_state.ruleSeq = seqPicker->itemData(index).toLongLong();
    });
    seqGroup->addWidget(seqPicker);
    layout->addLayout(seqGroup);

    auto* actionGroup = new QHBoxLayout;
    actionGroup->setSpacing(4);
    m_permitButton = new HalvoActionButton(QStringLiteral("PERMIT"), HalvoButtonVariant::secondary, true);
    m_denyButton = new HalvoActionButton(QStringLiteral("DENY"), HalvoButtonVariant::secondary, true);
    // Choosing an action changes nothing in the store, so no refresh follows: the buttons update here.
    connect(m_permitButton, &QPushButton::clicked, this, [this] {
        m_state.ruleAction = kPermit;
        showActionChoice();
    });
    connect(m_denyButton, &QPushButton::clicked, this, [this] {
        m_state.ruleAction = kDeny;
        showActionChoice();
    });
    actionGroup->addWidget(m_permitButton);
    actionGroup->addWidget(m_denyButton);
    layout->addLayout(actionGroup);
    showActionChoice();

    auto* protoPicker = new QComboBox;
    protoPicker->setObjectName(QStringLiteral("ruleProtoPicker"));
    protoPicker->setFixedWidth(100);
    for (const ProtocolChoice& choice : protocolChoices())
        protoPicker->addItem(choice.shown, choice.value);
    protoPicker->setCurrentIndex(protoPicker->findData(state.ruleProto));
    connect(protoPicker, &QComboBox::currentIndexChanged, this, [this, protoPicker](int index) {
        if (index >= 0)
            m_state.ruleProto = protoPicker->itemData(index).toString();
    });
    layout->addWidget(protoPicker);

    auto* source =
        new HalvoFormTextField(QStringLiteral("Quell-IP / CIDR (any oder 203.0.113.0/24)"), &state.ruleSource);
    source->setObjectName(QStringLiteral("ruleSourceField"));
    layout->addWidget(source);

    auto* port = new HalvoFormTextField(QStringLiteral("Ziel-Port (z.B. 443)"), &state.rulePort);
    port->setObjectName(QStringLiteral("rulePortField"));
    port->setFixedWidth(135);
    layout->addWidget(port);

    auto* save = new HalvoActionButton(QStringLiteral("Regel speichern"), HalvoButtonVariant::primary, true,
                                       QStringLiteral("plus.circle.fill"));
    connect(save, &QPushButton::clicked, this, [this] { addFirewallRule(); });
    layout->addWidget(save);
    halvo::ui::submitOnReturn(layout, save);
    return form;
}

void IPFirewallTab::showActionChoice() {
    const QString& action = m_state.ruleAction;
    m_permitButton->setVariant(action == kPermit ? HalvoButtonVariant::success : HalvoButtonVariant::secondary);
    m_denyButton->setVariant(action == kDeny ? HalvoButtonVariant::danger : HalvoButtonVariant::secondary);
}

QWidget* IPFirewallTab::buildRuleRow(const HalvoFirewallRule& rule) {
    QFrame* row = halvo::ui::listRow(10, 6);
    row->setProperty("ruleSequence", QVariant::fromValue(rule.sequence));
    auto* layout = qobject_cast<QHBoxLayout*>(row->layout());

    QLabel* sequence = HalvoElidedLabel::make(QStringLiteral("Seq #") + QString::number(rule.sequence),
                                              TextStyle::caption, Weight::bold, Tint::primary, true);
    sequence->setFixedWidth(70);
    layout->addWidget(sequence);

    layout->addWidget(
        fixedColumn(new HalvoStatusBadge(rule.action.toUpper(), rule.action == kPermit ? Tint::green : Tint::red), 90));

    QLabel* protocol = HalvoElidedLabel::make(QStringLiteral("Protokoll: ") + rule.protocol.toUpper(),
                                              TextStyle::caption, Weight::bold);
    protocol->setFixedWidth(110);
    layout->addWidget(protocol);

    QLabel* source = HalvoElidedLabel::make(QStringLiteral("Quelle: ") + rule.source, TextStyle::caption,
                                            Weight::regular, Tint::primary, true);
    source->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(source, 1);

    QLabel* port =
        HalvoElidedLabel::make(QStringLiteral("Ziel-Port: ") + rule.destinationPort.value_or(QStringLiteral("alle")),
                               TextStyle::caption, Weight::regular, Tint::primary, true);
    port->setFixedWidth(110);
    layout->addWidget(port);

    auto* remove = new HalvoActionButton(QStringLiteral("Regel löschen"), HalvoButtonVariant::danger, true,
                                         QStringLiteral("trash"));
    connect(remove, &QPushButton::clicked, this, [this, rule] { confirmDeleteFirewallRule(rule); });
    layout->addWidget(remove);
    return row;
}

void IPFirewallTab::addFirewallRule() {
    const IPRdnsState& state = m_state;
    const std::optional<QString> port =
        state.rulePort.isEmpty() ? std::nullopt : std::optional<QString>(state.rulePort);
    m_store.addFirewallRule(m_block.ipBlock, state.ruleSeq, state.ruleAction, state.ruleProto, state.ruleSource, port);
}

void IPFirewallTab::confirmDeleteFirewallRule(const HalvoFirewallRule& rule) {
    const QString sequence = QString::number(rule.sequence);
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Edge-Firewall-Regel #") + sequence + QStringLiteral(" löschen?");
    request.message = QStringLiteral("Möchtest du die Firewall-Regel Seq #") + sequence + QStringLiteral(" (") +
                      rule.action.toUpper() + QLatin1Char(' ') + rule.protocol.toUpper() +
                      QStringLiteral(") wirklich aus ") + m_block.ipBlock + QStringLiteral(" entfernen?");
    request.confirmButtonTitle = QStringLiteral("Regel jetzt löschen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, block = m_block.ipBlock, seq = rule.sequence] {
        store.deleteFirewallRule(block, seq);
    };
    m_store.requestConfirmation(request);
}
