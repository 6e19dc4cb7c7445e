// The IP view's game-firewall tab on a real store: which cards show, the port fields with their defaults,
// the profile picker, removing game rules and unblocking addresses, driven through the real widgets.

#include "views/ip/IPGameTab.h"

#include "IPSecurityTabsFixture.h"
#include "ui/Theme.h"

using halvo::test::click;
using halvo::test::hasLabel;
using halvo::test::labelTexts;
using ipsec::Fixture;
using ipsec::makeBlock;

namespace {

const QString kGameBlock = QStringLiteral("198.51.100.0/29");
const QString kGameCardTitle =
    QStringLiteral("Halvo Game-DDoS-Protection (L7 UDP Applikations-Filterung – /ip/198.51.100.0/29/game)");
const QString kBlockedCardTitle =
    QStringLiteral("Aktive Anti-Spam / ARP-Spoofing Sperren (/ip/198.51.100.0/29/antispam & /arp)");

HalvoGameFirewallRule gameRule(qint64 id, const QString& profile, qint64 start, qint64 end) {
    HalvoGameFirewallRule r;
    r.id = id;
    r.protocol = profile;
    r.startPort = start;
    r.endPort = end;
    r.state = QStringLiteral("ok");
    return r;
}

HalvoIPBlock gameBlock() {
    HalvoIPBlock b = makeBlock(kGameBlock);
    b.gameMitigationSupported = true;
    return b;
}

QList<qint64> idsOf(const HalvoIPBlock& block) {
    QList<qint64> ids;
    for (const HalvoGameFirewallRule& r : block.gameRules)
        ids.append(r.id);
    return ids;
}

QStringList blockedRowAddresses(QWidget* content) {
    QStringList addresses;
    for (const QFrame* row : content->findChildren<QFrame*>(QStringLiteral("blockedAddressRow")))
        addresses.append(row->property("address").toString());
    return addresses;
}

} // namespace

TEST(IPGameTabTest, CardsFollowGameSupportAndBlockedAddresses) {
    struct Case {
        const char* name;
        bool supported;
        QStringList arp;
        QStringList spam;
        bool gameCard;
        bool blockedCard;
    };
    const QList<Case> cases{
        {"game support only", true, {}, {}, true, false},
        {"ARP blocks only", false, {QStringLiteral("198.51.100.3")}, {}, false, true},
        {"spam blocks only", false, {}, {QStringLiteral("198.51.100.4")}, false, true},
        {"both", true, {QStringLiteral("198.51.100.3")}, {QStringLiteral("198.51.100.4")}, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HalvoIPBlock block = makeBlock(kGameBlock);
        block.gameMitigationSupported = c.supported;
        block.arpBlockedIPs = c.arp;
        block.spamBlockedIPs = c.spam;
        Fixture f({block});
        f.openTab(IPManagerSubTab::gameAndSecurity);
        ASSERT_NE(f.named<IPGameTab>(QStringLiteral("ipGameTab")), nullptr);
        EXPECT_EQ(hasLabel(f.content(), kGameCardTitle), c.gameCard);
        EXPECT_EQ(halvo::test::hasButton(f.content(), QStringLiteral("Game-UDP-Regel aktivieren")), c.gameCard);
        EXPECT_EQ(hasLabel(f.content(), kBlockedCardTitle), c.blockedCard);
        EXPECT_EQ(blockedRowAddresses(f.content()), c.arp + c.spam);
        // A block with support but no rules shows the form and nothing below it.
        EXPECT_FALSE(halvo::test::hasButton(f.content(), QStringLiteral("Regel entfernen")));
    }
}

TEST(IPGameTabTest, PortFieldsFallBackToTheDefaultAndToTheStartPort) {
    struct Case {
        const char* name;
        QString start;
        QString end;
        qint64 from;
        qint64 to;
    };
    const QList<Case> cases{
        {"both empty", QString(), QString(), 51820, 51820},
        {"end not a number takes the start", QStringLiteral("500"), QStringLiteral("abc"), 500, 500},
        {"a blank before the digits is no number", QStringLiteral(" 500"), QString(), 51820, 51820},
        {"a leading plus is read", QStringLiteral("+500"), QStringLiteral("+510"), 500, 510},
        {"a reversed range passes as typed", QStringLiteral("600"), QStringLiteral("500"), 600, 500},
        {"no range check", QStringLiteral("-5"), QStringLiteral("70000"), -5, 70000},
        {"beyond 64 bits is no number", QStringLiteral("99999999999999999999"), QString(), 51820, 51820},
        {"a trailing blank is no number", QStringLiteral("27015"), QStringLiteral("27020 "), 27015, 27015},
    };
    Fixture f({gameBlock()});
    f.openTab(IPManagerSubTab::gameAndSecurity);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.typeInto(QStringLiteral("gameStartPortField"), c.start);
        f.typeInto(QStringLiteral("gameEndPortField"), c.end);
        click(f.contentButton(QStringLiteral("Game-UDP-Regel aktivieren")));
        const QList<HalvoGameFirewallRule> rules = f.block(kGameBlock).gameRules;
        ASSERT_FALSE(rules.isEmpty());
        EXPECT_EQ(rules.last().startPort, c.from);
        EXPECT_EQ(rules.last().endPort, c.to);
        EXPECT_EQ(rules.last().protocol, QStringLiteral("wireguard"));
        // The fields are not cleared after the rebuild.
        EXPECT_EQ(f.named<HalvoFormTextField>(QStringLiteral("gameStartPortField"))->lineEdit()->text(), c.start);
        EXPECT_EQ(f.named<HalvoFormTextField>(QStringLiteral("gameEndPortField"))->lineEdit()->text(), c.end);
    }
    EXPECT_TRUE(f.block(kGameBlock).gameMitigationEnabled);
}

TEST(IPGameTabTest, ProfilePickerOffersTheProfilesAndAddsARowForTheChoice) {
    Fixture f({gameBlock()});
    f.openTab(IPManagerSubTab::gameAndSecurity);
    auto* picker = f.named<QComboBox>(QStringLiteral("gameProtoPicker"));
    ASSERT_NE(picker, nullptr);
    QStringList offered;
    for (int i = 0; i < picker->count(); ++i)
        offered.append(picker->itemText(i));
    EXPECT_EQ(offered, IPRdnsView::State::gameProtocols);
    EXPECT_EQ(picker->currentText(), QStringLiteral("wireguard"));

    f.pick(QStringLiteral("gameProtoPicker"), QStringLiteral("minecraftPocketEdition"));
    f.typeInto(QStringLiteral("gameStartPortField"), QStringLiteral("19132"));
    f.typeInto(QStringLiteral("gameEndPortField"), QStringLiteral("19133"));
    click(f.contentButton(QStringLiteral("Game-UDP-Regel aktivieren")));

    const HalvoIPBlock block = f.block(kGameBlock);
    ASSERT_EQ(block.gameRules.size(), 1);
    EXPECT_EQ(block.gameRules[0].protocol, QStringLiteral("minecraftPocketEdition"));
    EXPECT_EQ(f.store().lastActionMessage(),
              QStringLiteral("Halvo Game-DDoS-Schutz: Protokoll 'minecraftPocketEdition' (UDP Ports 19132-19133) auf "
                             "198.51.100.0 aktiviert."));

    const QList<QFrame*> rows = f.rows();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(labelTexts(rows[0]).contains(QStringLiteral("UDP Port-Bereich: 19132 – 19133")));
    const QList<HalvoStatusBadge*> badges = rows[0]->findChildren<HalvoStatusBadge*>();
    ASSERT_EQ(badges.size(), 1);
    EXPECT_EQ(badges[0]->text(), QStringLiteral("MINECRAFTPOCKETEDITION"));
    EXPECT_EQ(badges[0]->tint(), halvo::theme::Tint::purple);
    EXPECT_EQ(f.named<QComboBox>(QStringLiteral("gameProtoPicker"))->currentText(),
              QStringLiteral("minecraftPocketEdition"));
}

TEST(IPGameTabTest, GameInputsSurviveAnotherBlockAndTab) {
    HalvoIPBlock other = gameBlock();
    other.ipBlock = QStringLiteral("203.0.113.16/28");
    Fixture f({gameBlock(), other});
    f.openTab(IPManagerSubTab::gameAndSecurity);
    f.pick(QStringLiteral("gameProtoPicker"), QStringLiteral("teamSpeak3"));
    f.typeInto(QStringLiteral("gameStartPortField"), QStringLiteral("9987"));

    f.selectRow(1);
    f.openTab(IPManagerSubTab::edgeFirewall);
    f.openTab(IPManagerSubTab::gameAndSecurity);
    EXPECT_EQ(f.named<QComboBox>(QStringLiteral("gameProtoPicker"))->currentText(), QStringLiteral("teamSpeak3"));
    click(f.contentButton(QStringLiteral("Game-UDP-Regel aktivieren")));
    const HalvoIPBlock block = f.block(other.ipBlock);
    ASSERT_EQ(block.gameRules.size(), 1);
    EXPECT_EQ(block.gameRules[0], gameRule(block.gameRules[0].id, QStringLiteral("teamSpeak3"), 9987, 51820));
    EXPECT_TRUE(f.block(kGameBlock).gameRules.isEmpty());
}

TEST(IPGameTabTest, RemovingARuleTakesEffectAtOnceWithoutAsking) {
    HalvoIPBlock block = gameBlock();
    block.gameRules = {gameRule(1001, QStringLiteral("rust"), 28015, 28016),
                       gameRule(1002, QStringLiteral("source"), 27015, 27015),
                       gameRule(1003, QStringLiteral("fiveM"), 30120, 30120)};
    Fixture f({block});
    f.openTab(IPManagerSubTab::gameAndSecurity);
    QList<QFrame*> rows = f.rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_TRUE(labelTexts(rows[1]).contains(QStringLiteral("UDP Port-Bereich: 27015 – 27015")));

    click(halvo::test::buttonWithText(rows[1], QStringLiteral("Regel entfernen")));
    EXPECT_FALSE(f.store().pendingConfirmation().has_value());
    EXPECT_EQ(idsOf(f.block(kGameBlock)), (QList<qint64>{1001, 1003}));
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("Game-Firewall-Regel #1002 gelöscht."));
    rows = f.rows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(labelTexts(rows[1]).contains(QStringLiteral("UDP Port-Bereich: 30120 – 30120")));
}

TEST(IPGameTabTest, AnAddressInBothListsHasOneRowAndOneUnblockLiftsBoth) {
    HalvoIPBlock block = gameBlock();
    block.arpBlockedIPs = {QStringLiteral("198.51.100.3"), QStringLiteral("198.51.100.5")};
    block.spamBlockedIPs = {QStringLiteral("198.51.100.5"), QStringLiteral("198.51.100.6")};
    Fixture f({block});
    f.openTab(IPManagerSubTab::gameAndSecurity);
    EXPECT_EQ(
        blockedRowAddresses(f.content()),
        (QStringList{QStringLiteral("198.51.100.3"), QStringLiteral("198.51.100.5"), QStringLiteral("198.51.100.6")}));
    EXPECT_TRUE(hasLabel(f.content(), QStringLiteral("Blockierte IP: 198.51.100.5")));

    QFrame* row = f.content()->findChildren<QFrame*>(QStringLiteral("blockedAddressRow"))[1];
    click(halvo::test::buttonWithText(row, QStringLiteral("IP sofort entsperren (Unblock)")));
    EXPECT_EQ(f.block(kGameBlock).arpBlockedIPs, QStringList{QStringLiteral("198.51.100.3")});
    EXPECT_EQ(f.block(kGameBlock).spamBlockedIPs, QStringList{QStringLiteral("198.51.100.6")});
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("IP 198.51.100.5 aus Anti-Spam / ARP-Sperre entsperrt."));
    EXPECT_EQ(blockedRowAddresses(f.content()),
              (QStringList{QStringLiteral("198.51.100.3"), QStringLiteral("198.51.100.6")}));
}

TEST(IPGameTabTest, LastUnblockHidesTheCardAndWithoutGameSupportTheTab) {
    struct Case {
        const char* name;
        bool supported;
        bool tabStays;
    };
    for (const Case& c : {Case{"with game support the game card stays", true, true},
                          Case{"without game support the tab goes", false, false}}) {
        SCOPED_TRACE(c.name);
        HalvoIPBlock block = makeBlock(kGameBlock);
        block.gameMitigationSupported = c.supported;
        block.spamBlockedIPs = {QStringLiteral("198.51.100.4")};
        Fixture f({block});
        f.openTab(IPManagerSubTab::gameAndSecurity);
        click(f.contentButton(QStringLiteral("IP sofort entsperren (Unblock)")));

        EXPECT_FALSE(hasLabel(f.content(), kBlockedCardTitle));
        EXPECT_EQ(IPRdnsView::availableTabs(f.block(kGameBlock)).contains(IPManagerSubTab::gameAndSecurity),
                  c.tabStays);
        EXPECT_EQ(f.view->effectiveTab(f.block(kGameBlock)),
                  c.tabStays ? IPManagerSubTab::gameAndSecurity : IPManagerSubTab::subnetAndRdns);
        EXPECT_EQ(f.named<IPGameTab>(QStringLiteral("ipGameTab")) != nullptr, c.tabStays);
        EXPECT_EQ(hasLabel(f.content(), kGameCardTitle), c.tabStays);
        // The choice itself is kept for blocks that offer the tab.
        EXPECT_EQ(f.view->state().activeTab, IPManagerSubTab::gameAndSecurity);
    }
}

TEST(IPGameTabTest, EverySymbolDrawnIsInTheIconTable) {
    HalvoIPBlock block = gameBlock();
    block.gameRules = {gameRule(1001, QStringLiteral("rust"), 28015, 28016)};
    block.arpBlockedIPs = {QStringLiteral("198.51.100.3")};
    block.firewallRules = {
        ipsec::makeRule(1, QStringLiteral("deny"), QStringLiteral("tcp"), QStringLiteral("any"), std::nullopt)};
    halvo::theme::clearUnknownSymbolsRequested();
    Fixture f({block});
    f.openTab(IPManagerSubTab::gameAndSecurity);
    f.openTab(IPManagerSubTab::edgeFirewall);
    EXPECT_TRUE(halvo::theme::unknownSymbolsRequested().isEmpty())
        << halvo::theme::unknownSymbolsRequested().join(QStringLiteral(", ")).toStdString();
}
