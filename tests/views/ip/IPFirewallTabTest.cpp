// The IP view's edge-firewall tab on a real store: switches, the rule form, the rule rows and the
// confirmed deletion, driven through the real widgets.

#include "views/ip/IPFirewallTab.h"

#include "IPSecurityTabsFixture.h"

#include <QLabel>

using halvo::test::click;
using halvo::test::hasLabel;
using halvo::test::labelTexts;
using halvo::theme::Tint;
using ipsec::Fixture;
using ipsec::makeBlock;
using ipsec::makeRule;

namespace {

const QString kBlockA = QStringLiteral("198.51.100.0/29");
const QString kBlockB = QStringLiteral("203.0.113.16/28");

QList<HalvoIPBlock> twoBlocks() {
    HalvoIPBlock a = makeBlock(kBlockA);
    a.firewallEnabled = true;
    a.firewallRules = {
        makeRule(2, QStringLiteral("permit"), QStringLiteral("tcp"), QStringLiteral("any"), QStringLiteral("443")),
        makeRule(5, QStringLiteral("deny"), QStringLiteral("udp"), QStringLiteral("10.0.0.0/8"), std::nullopt),
        makeRule(9, QStringLiteral("reject"), QStringLiteral("icmp"), QStringLiteral("any"), QStringLiteral("0"))};
    HalvoIPBlock b = makeBlock(kBlockB);
    b.mitigationMode = QStringLiteral("auto");
    return {a, b};
}

QList<qint64> sequencesOf(const HalvoIPBlock& block) {
    QList<qint64> seqs;
    for (const HalvoFirewallRule& r : block.firewallRules)
        seqs.append(r.sequence);
    return seqs;
}

std::optional<HalvoFirewallRule> ruleWith(const HalvoIPBlock& block, qint64 sequence) {
    for (const HalvoFirewallRule& r : block.firewallRules) {
        if (r.sequence == sequence)
            return r;
    }
    return std::nullopt;
}

struct FirewallFixture : Fixture {
    FirewallFixture()
        : Fixture(twoBlocks()) {
        openTab(IPManagerSubTab::edgeFirewall);
    }
    HalvoActionButton* actionButton(const QString& text) {
        return qobject_cast<HalvoActionButton*>(contentButton(text));
    }
};

} // namespace

TEST(IPFirewallTabTest, CardShowsSwitchesFormAndOneRowPerRuleInOrder) {
    FirewallFixture f;
    ASSERT_NE(f.named<IPFirewallTab>(QStringLiteral("ipFirewallTab")), nullptr);
    EXPECT_TRUE(hasLabel(f.content(), QStringLiteral("Halvo Network Edge-Firewall & Anti-DDoS Tidewall Mitigation "
                                                     "(/ip/198.51.100.0/29/firewall)")));
    EXPECT_TRUE(
        hasLabel(f.content(),
                 QStringLiteral("Hardware-Paketfilterung direkt am Halvo-Backbone-Router (bis zu 20 Regeln pro IP)")));

    struct RowCase {
        QString sequence;
        QString badge;
        Tint tint;
        QString protocol;
        QString source;
        QString port;
    };
    const QList<RowCase> expected{
        {QStringLiteral("Seq #2"), QStringLiteral("PERMIT"), Tint::green, QStringLiteral("Protokoll: TCP"),
         QStringLiteral("Quelle: any"), QStringLiteral("Ziel-Port: 443")},
        {QStringLiteral("Seq #5"), QStringLiteral("DENY"), Tint::red, QStringLiteral("Protokoll: UDP"),
         QStringLiteral("Quelle: 10.0.0.0/8"), QStringLiteral("Ziel-Port: alle")},
        // Anything but "permit" is drawn as a refusal.
        {QStringLiteral("Seq #9"), QStringLiteral("REJECT"), Tint::red, QStringLiteral("Protokoll: ICMP"),
         QStringLiteral("Quelle: any"), QStringLiteral("Ziel-Port: 0")},
    };
    const QList<QFrame*> rows = f.rows();
    ASSERT_EQ(rows.size(), expected.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].sequence.toStdString());
        const QStringList texts = labelTexts(rows[i]);
        for (const QString& text : {expected[i].sequence, expected[i].protocol, expected[i].source, expected[i].port})
            EXPECT_TRUE(texts.contains(text)) << text.toStdString();
        const QList<HalvoStatusBadge*> badges = rows[i]->findChildren<HalvoStatusBadge*>();
        ASSERT_EQ(badges.size(), 1);
        EXPECT_EQ(badges[0]->text(), expected[i].badge);
        EXPECT_EQ(badges[0]->tint(), expected[i].tint);
        EXPECT_EQ(halvo::test::buttonsWithText(rows[i], QStringLiteral("Regel löschen")).size(), 1);
    }
}

TEST(IPFirewallTabTest, BlockWithoutRulesShowsNoRows) {
    FirewallFixture f;
    f.selectRow(1);
    EXPECT_TRUE(hasLabel(f.content(), IPFirewallTab::cardTitle(f.block(kBlockB))));
    EXPECT_TRUE(f.rows().isEmpty());
    EXPECT_NE(f.contentButton(QStringLiteral("Regel speichern")), nullptr);
    EXPECT_FALSE(halvo::test::hasButton(f.content(), QStringLiteral("Regel löschen")));
}

TEST(IPFirewallTabTest, SequencePickerOffersExactlyTwentyEntries) {
    FirewallFixture f;
    auto* picker = f.named<QComboBox>(QStringLiteral("ruleSeqPicker"));
    ASSERT_NE(picker, nullptr);
    QStringList shown;
    for (int i = 0; i < picker->count(); ++i)
        shown.append(picker->itemText(i));
    QStringList expected;
    for (int i = 0; i < 20; ++i)
        expected.append(QStringLiteral("#") + QString::number(i));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(picker->currentText(), QStringLiteral("#0"));
}

TEST(IPFirewallTabTest, SavingTakesTheFormAsTypedAndKeepsItFilled) {
    FirewallFixture f;
    f.pick(QStringLiteral("ruleSeqPicker"), QStringLiteral("#7"));
    click(f.contentButton(QStringLiteral("DENY")));
    f.pick(QStringLiteral("ruleProtoPicker"), QStringLiteral("IPv4 (Alle)"));
    f.typeInto(QStringLiteral("ruleSourceField"), QStringLiteral("192.0.2.0/24"));
    f.typeInto(QStringLiteral("rulePortField"), QStringLiteral("8080"));
    click(f.contentButton(QStringLiteral("Regel speichern")));

    const HalvoIPBlock block = f.block(kBlockA);
    EXPECT_EQ(sequencesOf(block), (QList<qint64>{2, 5, 7, 9}));
    const auto saved = ruleWith(block, 7);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->action, QStringLiteral("deny"));
    EXPECT_EQ(saved->protocol, QStringLiteral("ipv4"));
    EXPECT_EQ(saved->source, QStringLiteral("192.0.2.0/24"));
    EXPECT_EQ(saved->destinationPort, QStringLiteral("8080"));
    EXPECT_EQ(f.store().lastActionMessage(),
              QStringLiteral("Firewall-Regel #7 (DENY IPV4) zu 198.51.100.0/29 hinzugefügt."));

    // The rebuilt tab shows the new row in its place and the form as it was.
    ASSERT_EQ(f.rows().size(), 4);
    EXPECT_TRUE(labelTexts(f.rows()[2]).contains(QStringLiteral("Seq #7")));
    EXPECT_EQ(f.named<QComboBox>(QStringLiteral("ruleSeqPicker"))->currentText(), QStringLiteral("#7"));
    EXPECT_EQ(f.named<QComboBox>(QStringLiteral("ruleProtoPicker"))->currentText(), QStringLiteral("IPv4 (Alle)"));
    EXPECT_EQ(f.named<HalvoFormTextField>(QStringLiteral("ruleSourceField"))->lineEdit()->text(),
              QStringLiteral("192.0.2.0/24"));
    EXPECT_EQ(f.named<HalvoFormTextField>(QStringLiteral("rulePortField"))->lineEdit()->text(), QStringLiteral("8080"));
    EXPECT_EQ(f.actionButton(QStringLiteral("DENY"))->variant(), HalvoButtonVariant::danger);
}

TEST(IPFirewallTabTest, SavingAnExistingSequenceReplacesThatRule) {
    FirewallFixture f;
    f.pick(QStringLiteral("ruleSeqPicker"), QStringLiteral("#5"));
    f.pick(QStringLiteral("ruleProtoPicker"), QStringLiteral("TCP"));
    click(f.contentButton(QStringLiteral("Regel speichern")));

    const HalvoIPBlock block = f.block(kBlockA);
    EXPECT_EQ(sequencesOf(block), (QList<qint64>{2, 5, 9}));
    EXPECT_EQ(ruleWith(block, 5)->action, QStringLiteral("permit"));
    EXPECT_EQ(ruleWith(block, 5)->protocol, QStringLiteral("tcp"));
    EXPECT_EQ(ruleWith(block, 5)->destinationPort, QStringLiteral("443"));
    EXPECT_EQ(f.rows().size(), 3);
}

TEST(IPFirewallTabTest, PortFieldDecidesTheDestinationPort) {
    struct Case {
        const char* name;
        QString typed;
        std::optional<QString> stored;
        QString shown;
    };
    const QList<Case> cases{
        {"empty port: no port", QString(), std::nullopt, QStringLiteral("Ziel-Port: alle")},
        {"blanks pass unchanged", QStringLiteral("  "), QStringLiteral("  "), QStringLiteral("Ziel-Port:   ")},
        {"text passes unchecked", QStringLiteral("80-90"), QStringLiteral("80-90"), QStringLiteral("Ziel-Port: 80-90")},
    };
    FirewallFixture f;
    f.selectRow(1);
    qint64 sequence = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        f.pick(QStringLiteral("ruleSeqPicker"), QStringLiteral("#") + QString::number(sequence));
        f.typeInto(QStringLiteral("rulePortField"), c.typed);
        click(f.contentButton(QStringLiteral("Regel speichern")));
        const auto saved = ruleWith(f.block(kBlockB), sequence);
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->destinationPort, c.stored);
        const QList<QFrame*> rows = f.rows();
        ASSERT_FALSE(rows.isEmpty());
        EXPECT_TRUE(labelTexts(rows.last()).contains(c.shown));
        ++sequence;
    }
}

TEST(IPFirewallTabTest, ActionButtonsShowTheChoiceWithoutTouchingTheStore) {
    FirewallFixture f;
    const HalvoAccountSnapshot before = f.store().activeSnapshot();
    HalvoActionButton* permit = f.actionButton(QStringLiteral("PERMIT"));
    HalvoActionButton* deny = f.actionButton(QStringLiteral("DENY"));
    ASSERT_TRUE(permit && deny);
    EXPECT_EQ(permit->variant(), HalvoButtonVariant::success);
    EXPECT_EQ(deny->variant(), HalvoButtonVariant::secondary);

    click(deny);
    EXPECT_EQ(f.view->state().ruleAction, QStringLiteral("deny"));
    EXPECT_EQ(permit->variant(), HalvoButtonVariant::secondary);
    EXPECT_EQ(deny->variant(), HalvoButtonVariant::danger);

    click(permit);
    EXPECT_EQ(f.view->state().ruleAction, QStringLiteral("permit"));
    EXPECT_EQ(permit->variant(), HalvoButtonVariant::success);
    EXPECT_EQ(deny->variant(), HalvoButtonVariant::secondary);
    EXPECT_EQ(f.store().activeSnapshot(), before);
}

TEST(IPFirewallTabTest, FormKeepsItsInputsAcrossBlocksAndTabs) {
    FirewallFixture f;
    f.pick(QStringLiteral("ruleSeqPicker"), QStringLiteral("#13"));
    click(f.contentButton(QStringLiteral("DENY")));
    f.pick(QStringLiteral("ruleProtoPicker"), QStringLiteral("ICMP"));
    f.typeInto(QStringLiteral("ruleSourceField"), QStringLiteral("198.51.100.9"));
    f.typeInto(QStringLiteral("rulePortField"), QString());

    f.selectRow(1);
    f.openTab(IPManagerSubTab::subnetAndRdns);
    f.openTab(IPManagerSubTab::edgeFirewall);
    EXPECT_TRUE(hasLabel(f.content(), IPFirewallTab::cardTitle(f.block(kBlockB))));
    EXPECT_EQ(f.named<QComboBox>(QStringLiteral("ruleSeqPicker"))->currentText(), QStringLiteral("#13"));
    EXPECT_EQ(f.named<QComboBox>(QStringLiteral("ruleProtoPicker"))->currentText(), QStringLiteral("ICMP"));
    EXPECT_EQ(f.actionButton(QStringLiteral("DENY"))->variant(), HalvoButtonVariant::danger);
    EXPECT_EQ(f.named<HalvoFormTextField>(QStringLiteral("ruleSourceField"))->lineEdit()->text(),
              QStringLiteral("198.51.100.9"));
    EXPECT_TRUE(f.named<HalvoFormTextField>(QStringLiteral("rulePortField"))->lineEdit()->text().isEmpty());

    click(f.contentButton(QStringLiteral("Regel speichern")));
    const auto saved = ruleWith(f.block(kBlockB), 13);
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, makeRule(13, QStringLiteral("deny"), QStringLiteral("icmp"), QStringLiteral("198.51.100.9"),
                               std::nullopt));
}

TEST(IPFirewallTabTest, FirewallSwitchFlipsTheBlockAndFollowsIt) {
    FirewallFixture f;
    HalvoActionButton* on = f.actionButton(QStringLiteral("Edge-Firewall: AKTIV (Ausschalten)"));
    ASSERT_NE(on, nullptr);
    EXPECT_EQ(on->variant(), HalvoButtonVariant::success);

    click(on);
    EXPECT_FALSE(f.block(kBlockA).firewallEnabled);
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("IP-Block 198.51.100.0/29: Edge-Firewall deaktiviert."));
    HalvoActionButton* off = f.actionButton(QStringLiteral("Edge-Firewall: AUS (Einschalten)"));
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->variant(), HalvoButtonVariant::secondary);
    // The header card's switch shows the same state.
    EXPECT_TRUE(halvo::test::hasButton(f.view->frame()->header(), QStringLiteral("Edge-Firewall: AUS")));

    click(off);
    EXPECT_TRUE(f.block(kBlockA).firewallEnabled);
    EXPECT_NE(f.actionButton(QStringLiteral("Edge-Firewall: AKTIV (Ausschalten)")), nullptr);
}

TEST(IPFirewallTabTest, MitigationSwitchTogglesPermanentAndAuto) {
    struct Case {
        const char* name;
        QString mode;
        QString next;
    };
    const QList<Case> cases{
        {"permanent turns auto", QStringLiteral("permanent"), QStringLiteral("auto")},
        {"auto turns permanent", QStringLiteral("auto"), QStringLiteral("permanent")},
        {"an empty mode turns permanent", QString(), QStringLiteral("permanent")},
        {"any other mode turns permanent", QStringLiteral("Permanent"), QStringLiteral("permanent")},
    };
    const auto label = [](const QString& mode) -> QString {
        return QStringLiteral("Anti-DDoS Tidewall Modus: ") + mode.toUpper() + QStringLiteral(" umschalten");
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HalvoIPBlock block = makeBlock(kBlockA);
        block.mitigationMode = c.mode;
        Fixture f({block});
        f.openTab(IPManagerSubTab::edgeFirewall);
        auto* button = qobject_cast<HalvoActionButton*>(f.contentButton(label(c.mode)));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->variant(), HalvoButtonVariant::primary);
        click(button);
        EXPECT_EQ(f.block(kBlockA).mitigationMode, c.next);
        EXPECT_NE(f.contentButton(label(c.next)), nullptr);
        EXPECT_FALSE(f.store().pendingConfirmation().has_value());
    }
}

TEST(IPFirewallTabTest, DeleteAsksFirstAndRemovesOnlyThatRuleOfThatBlock) {
    FirewallFixture f;
    const QList<QFrame*> rows = f.rows();
    ASSERT_EQ(rows.size(), 3);
    click(halvo::test::buttonWithText(rows[1], QStringLiteral("Regel löschen")));

    ASSERT_TRUE(f.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest request = *f.store().pendingConfirmation();
    EXPECT_EQ(request.title, QStringLiteral("Edge-Firewall-Regel #5 löschen?"));
    EXPECT_EQ(
        request.message,
        QStringLiteral("Möchtest du die Firewall-Regel Seq #5 (DENY UDP) wirklich aus 198.51.100.0/29 entfernen?"));
    EXPECT_FALSE(request.warningDetails.has_value());
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("Regel jetzt löschen"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::danger);
    EXPECT_FALSE(request.requireTypedConfirmation.has_value());
    EXPECT_EQ(sequencesOf(f.block(kBlockA)), (QList<qint64>{2, 5, 9}));

    // The request holds the block it was raised for, whatever the view shows when it is confirmed; the other
    // block gets a rule with the same number first, which must survive.
    f.selectRow(1);
    f.pick(QStringLiteral("ruleSeqPicker"), QStringLiteral("#5"));
    click(f.contentButton(QStringLiteral("Regel speichern")));
    ASSERT_TRUE(ruleWith(f.block(kBlockB), 5));

    request.action();
    halvo::test::settle();
    EXPECT_EQ(sequencesOf(f.block(kBlockA)), (QList<qint64>{2, 9}));
    EXPECT_EQ(sequencesOf(f.block(kBlockB)), (QList<qint64>{5}));
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("Firewall-Regel #5 aus 198.51.100.0/29 entfernt."));
}
