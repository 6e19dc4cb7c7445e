#include "views/ip/IPRdnsView.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/HalvoFlowLayout.h"
#include "ui/HalvoHeaderIdentity.h"
#include "views/ip/IPBlockRowDelegate.h"
#include "views/ip/IPDetailsTab.h"
#include "views/ip/IPFirewallTab.h"
#include "views/ip/IPGameTab.h"
#include "views/ip/IPVirtualMacTab.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QListView>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVBoxLayout>

#include <utility>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

const QString kBlockSymbol = QStringLiteral("network.badge.shield.half.filled");

/// A fact of the header: a symbol in front of a caption text.
QWidget* fact(const QString& symbolName, const QString& text) {
    auto* widget = new QWidget;
    // As wide as its text: the facts stand side by side and wrap, not spread over the line.
    widget->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(halvo::theme::symbol(symbolName, TextStyle::caption, Tint::secondary));
    row->addWidget(HalvoElidedLabel::make(text, TextStyle::caption, Weight::regular, Tint::secondary));
    return widget;
}

/// The host the block's reverse entry for `address` names, if it has one.
std::optional<QString> reverseEntryOf(const HalvoIPBlock& block, const QString& address) {
    for (const HalvoReverseRecord& entry : block.reverseEntries) {
        if (entry.ipReverse == address)
            return entry.reverse;
    }
    return std::nullopt;
}

} // namespace

IPRdnsView::IPRdnsView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store) {
    Section::Spec spec;
    HalvoSectionFrame::Config& config = spec.frame;
    config.sidebarIcon = kBlockSymbol;
    config.sidebarTint = Tint::orange;
    config.sidebarMinWidth = 275;
    config.sidebarMaxWidth = 335;
    config.emptyIcon = QStringLiteral("network");
    config.emptyTitle = QStringLiteral("Keine IP-Blöcke geladen");
    config.emptyText = QStringLiteral("Verbinde deinen Halvo Account oder klicke oben auf 'Halvo API Sync'.");
    config.placeholderIcon = QStringLiteral("network");
    config.placeholderTitle = QStringLiteral("Kein IP-Block ausgewählt");
    config.placeholderDescription =
        QStringLiteral("Wähle links ein IPv4- oder IPv6-Subnetz aus oder synchronisiere deinen Halvo Account.");
    spec.sidebarTitle = QStringLiteral("IP-Blöcke");
    spec.idOf = [](const HalvoIPBlock& block) { return block.ipBlock; };
    spec.recordsOf = [](const HalvoAccountSnapshot& snapshot) { return snapshot.ipBlocks; };
    spec.searchTexts = &IPRdnsView::searchedTexts;
    // Only the user's own choice is highlighted; the fallback to the first block is not.
    spec.highlightFallback = false;
    spec.tabsOf = &IPRdnsView::availableTabs;
    spec.tabButton = [](IPManagerSubTab tab, int index) {
        return HalvoSectionFrame::TabSpec{symbolName(tab),
                                          QString::number(index + 1) + QStringLiteral(". ") + rawValue(tab)};
    };
    spec.drawDetail = [this](const HalvoIPBlock& block, IPManagerSubTab tab) { drawDetail(block, tab); };
    spec.afterRefresh = [this](const std::optional<HalvoIPBlock>& shown) {
        if (!shown) {
            m_drawnBlock.reset();
            m_drawnTab.reset();
        }
    };
    m_section = std::make_unique<Section>(m_store, *this, std::move(spec), m_state.selectedBlockId, &m_state.activeTab);
    m_section->setDelegate(new IPBlockRowDelegate(this));
    m_section->refreshNow();
}

IPRdnsView::~IPRdnsView() = default;

// ---- derived values ----

QStringList IPRdnsView::searchedTexts(const HalvoIPBlock& block) {
    QStringList texts{block.ipBlock};
    if (block.routedToService)
        texts.append(*block.routedToService);
    if (block.description)
        texts.append(*block.description);
    for (const HalvoReverseRecord& entry : block.reverseEntries) {
        texts.append(entry.reverse);
        texts.append(entry.ipReverse);
    }
    return texts;
}

QList<HalvoIPBlock> IPRdnsView::filteredBlocks() const {
    return m_section->listed();
}

std::optional<HalvoIPBlock> IPRdnsView::selectedBlock() const {
    return m_section->shown();
}

QList<IPManagerSubTab> IPRdnsView::availableTabs(const HalvoIPBlock& block) {
    QList<IPManagerSubTab> tabs{IPManagerSubTab::subnetAndRdns};
    if (block.virtualMacSupported || block.canMoveFailover)
        tabs.append(IPManagerSubTab::vmacAndMove);
    tabs.append(IPManagerSubTab::edgeFirewall);
    if (block.gameMitigationSupported || !block.arpBlockedIPs.isEmpty() || !block.spamBlockedIPs.isEmpty())
        tabs.append(IPManagerSubTab::gameAndSecurity);
    return tabs;
}

IPManagerSubTab IPRdnsView::effectiveTab(const HalvoIPBlock& block) const {
    return m_section->tabFor(block);
}

// ---- actions ----

void IPRdnsView::copySubnetToPasteboard(const HalvoIPBlock& block) {
    halvo::ui::copyToClipboard(block.ipBlock);
    m_store.setLastActionMessage(QStringLiteral("IP-Subnetz ") + block.ipBlock +
                                 QStringLiteral(" in die Zwischenablage kopiert."));
}

void IPRdnsView::toggleFirewall(const HalvoIPBlock& block) {
    m_store.toggleEdgeFirewall(block.ipBlock);
}

void IPRdnsView::confirmMoveFailover(const HalvoIPBlock& shown, const QString& target) {
    const QString& block = shown.ipBlock;
    HalvoConfirmRequest request;
    request.title =
        QStringLiteral("Failover-IP '") + block + QStringLiteral("' auf '") + target + QStringLiteral("' umrouten?");
    request.message = QStringLiteral("Soll das IP-Subnetz '") + block + QStringLiteral("' von '") +
                      shown.routedToService.value_or(QStringLiteral("Unassigned")) +
                      QStringLiteral("' auf den Ziel-Server '") + target + QStringLiteral("' geschwenkt werden?");
    request.warningDetails = QStringLiteral("Der gesamte Netzwerkverkehr für ") + block +
                             QStringLiteral(" wird sofort per BGP auf ") + target + QStringLiteral(" umgeleitet.");
    request.confirmButtonTitle = QStringLiteral("Jetzt IP umrouten");
    request.variant = HalvoButtonVariant::warning;
    // The tab may have been rebuilt while the sheet was open; the view holds the field either way.
    request.action = [&store = m_store, view = QPointer<IPRdnsView>(this), block, target] {
        store.moveFailoverIP(block, target);
        if (!view)
            return;
        view->state().targetMoveService.clear();
        for (HalvoFormTextField* field : view->findChildren<HalvoFormTextField*>())
            field->reload();
    };
    m_store.requestConfirmation(std::move(request));
}

// ---- refresh ----

void IPRdnsView::drawDetail(const HalvoIPBlock& shown, IPManagerSubTab tab) {
    const bool sameBlock = m_drawnBlock && m_drawnBlock->ipBlock == shown.ipBlock;
    if (!m_drawnBlock || *m_drawnBlock != shown)
        frame()->replaceHeader(buildHeaderCard(shown));
    // The failover tab's quick pick draws the account's dedicated servers as well.
    const QList<std::pair<QString, QString>> moveTargets = tab == IPManagerSubTab::vmacAndMove
                                                               ? IPVirtualMacTab::moveTargets(m_store.activeSnapshot())
                                                               : QList<std::pair<QString, QString>>();
    if (!m_drawnBlock || *m_drawnBlock != shown || m_drawnTab != tab || m_drawnMoveTargets != moveTargets) {
        m_drawnMoveTargets = moveTargets;
        frame()->replaceContent(buildTabContent(shown, tab), sameBlock && m_drawnTab == tab);
    }
    if (m_savingReverse) {
        const auto [cidr, address] = *std::exchange(m_savingReverse, std::nullopt);
        if (sameBlock && cidr == shown.ipBlock && tab == IPManagerSubTab::subnetAndRdns &&
            reverseEntryOf(*m_drawnBlock, address) != reverseEntryOf(shown, address))
            revealReverseEntry(address);
    }
    m_drawnBlock = shown;
    m_drawnTab = tab;
}

void IPRdnsView::revealReverseEntry(const QString& address) {
    QWidget* content = frame()->content();
    auto* details = content ? content->findChild<IPDetailsTab*>() : nullptr;
    if (!details || !details->reverseTable())
        return;
    const QRect row = details->reverseRowRect(address);
    if (!row.isEmpty())
        frame()->revealInContent(details->reverseTable()->viewport(), row);
}

// ---- detail ----

QWidget* IPRdnsView::buildHeaderCard(const HalvoIPBlock& block) {
    auto* card = new QWidget;
    card->setObjectName(QStringLiteral("ipHeaderCard"));
    // The identity, then the operations; where the band is short, badges and operations move onto further
    // lines and the band grows to the height it needs.
    auto* row = new HalvoFlowLayout(card, 16, 12);
    row->setContentsMargins(0, 0, 0, 0);
    auto* tile = new HalvoIconTile(kBlockSymbol, halvo::theme::IconTileKind::ipBlock);

    auto* info = new QVBoxLayout;
    info->setSpacing(5);
    auto* titleRow = new HalvoFlowLayout(nullptr, 8, 6);
    titleRow->setContentsMargins(0, 0, 0, 0);
    QLabel* title = HalvoElidedLabel::make(block.ipBlock, TextStyle::title2, Weight::bold, Tint::primary, true);
    title->setObjectName(QStringLiteral("ipBlockTitle"));
    titleRow->addWidget(title);
    titleRow->addWidget(new HalvoStatusBadge(QStringLiteral("IPv") + QString::number(block.version) + QLatin1Char(' ') +
                                                 block.type.toUpper(),
                                             Tint::blue, QStringLiteral("network")));
    titleRow->addWidget(new HalvoStatusBadge(QStringLiteral("Tidewall: ") + block.mitigationMode.toUpper(), Tint::green,
                                             QStringLiteral("shield.lefthalf.filled")));
    if (!block.arpBlockedIPs.isEmpty() || !block.spamBlockedIPs.isEmpty()) {
        titleRow->addWidget(new HalvoStatusBadge(QStringLiteral("SPERRE AKTIV"), Tint::red,
                                                 QStringLiteral("exclamationmark.triangle.fill")));
    }
    info->addLayout(titleRow);

    auto* facts = new HalvoFlowLayout(nullptr, 14, 4);
    facts->setContentsMargins(0, 0, 0, 0);
    if (block.routedToService && !block.routedToService->isEmpty())
        facts->addWidget(fact(QStringLiteral("server.rack"), QStringLiteral("Service: ") + *block.routedToService));
    facts->addWidget(fact(QStringLiteral("square.grid.2x2.fill"), QStringLiteral("Netzmaske: ") + block.netmask));
    if (block.gateway != kNoValue)
        facts->addWidget(
            fact(QStringLiteral("arrow.up.right.circle.fill"), QStringLiteral("Gateway: ") + block.gateway));
    if (block.country && *block.country != kNoValue)
        facts->addWidget(fact(QStringLiteral("mappin.and.ellipse"), QStringLiteral("Land: ") + *block.country));
    info->addLayout(facts);
    row->addWidget(new HalvoHeaderIdentity(tile, titleRow, info));

    auto* operations = new QWidget;
    auto* buttons = new QVBoxLayout(operations);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    auto* copy = new HalvoActionButton(QStringLiteral("CIDR Subnetz kopieren"), HalvoButtonVariant::primary, true,
                                       QStringLiteral("doc.on.doc"));
    connect(copy, &QPushButton::clicked, this, [this, block] { copySubnetToPasteboard(block); });
    // One column of buttons as wide as the widest: its edges line up beside the identity and on a line of
    // its own alike.
    copy->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    buttons->addWidget(copy);
    const bool on = block.firewallEnabled;
    auto* firewall = new HalvoActionButton(
        on ? QStringLiteral("Edge-Firewall: AKTIV") : QStringLiteral("Edge-Firewall: AUS"),
        on ? HalvoButtonVariant::success : HalvoButtonVariant::secondary, true, QStringLiteral("flame.fill"));
    connect(firewall, &QPushButton::clicked, this, [this, block] { toggleFirewall(block); });
    firewall->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    buttons->addWidget(firewall);
    row->addWidget(operations);
    return card;
}

QWidget* IPRdnsView::buildTabContent(const HalvoIPBlock& block, IPManagerSubTab tab) {
    Q_UNUSED(block);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("ipTabContent"));
    content->setProperty("tabTitle", rawValue(tab));
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    if (tab == IPManagerSubTab::subnetAndRdns) {
        auto* details = new IPDetailsTab(m_store, m_state, block);
        connect(details, &IPDetailsTab::reverseSaving, this, [this, cidr = block.ipBlock](const QString& address) {
            m_savingReverse = std::make_pair(cidr, address);
        });
        column->addWidget(details);
    }
    if (tab == IPManagerSubTab::vmacAndMove) {
        auto* vmac = new IPVirtualMacTab(m_store, m_state, block, m_drawnMoveTargets);
        connect(vmac, &IPVirtualMacTab::moveFailoverRequested, this, &IPRdnsView::confirmMoveFailover);
        column->addWidget(vmac);
    }
    if (tab == IPManagerSubTab::edgeFirewall) {
        auto* firewall = new IPFirewallTab(m_store, m_state, block);
        connect(firewall, &IPFirewallTab::firewallToggleRequested, this, &IPRdnsView::toggleFirewall);
        column->addWidget(firewall);
    }
    if (tab == IPManagerSubTab::gameAndSecurity)
        column->addWidget(new IPGameTab(m_store, m_state, block));
    return content;
}
