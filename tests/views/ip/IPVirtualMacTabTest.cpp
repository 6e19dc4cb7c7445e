// The virtual-MAC and failover tab of the IP view through its real widgets on a real store: which cards a
// block offers, creating, copying and deleting virtual MACs, and the confirmed move of a block.

#include "views/ip/IPVirtualMacTab.h"

#include "IPAddressTabsFixture.h"

#include <QApplication>
#include <QClipboard>

using ipaddr::Fixture;
using ipaddr::makeBlock;
using ipaddr::makeServer;

namespace {

const QString kVmacTitle =
    QStringLiteral("Virtual MAC-Adressen (vMAC) für Virtualisierung (Proxmox VE, VMware ESXi, Hyper-V)");
const QString kPickText = QStringLiteral("Schnell-Auswahl deiner Server:");

HalvoIPBlock vmacBlock(const QString& cidr) {
    HalvoIPBlock b = makeBlock(cidr);
    b.virtualMacSupported = true;
    b.canMoveFailover = true;
    b.routedToService = QStringLiteral("ns3045871.example.net");
    return b;
}

HalvoVirtualMac makeMac(const QString& ip, const QString& mac, const QString& vm, const QString& type) {
    return HalvoVirtualMac{mac, type, vm, ip};
}

/// A fixture whose view shows the virtual-MAC tab of its first block.
struct VmacFixture : Fixture {
    explicit VmacFixture(const QList<HalvoIPBlock>& blocks, const QList<HalvoServer>& servers = {})
        : Fixture(blocks, servers) {
        openTab(IPManagerSubTab::vmacAndMove);
    }
};

} // namespace

TEST(IPVirtualMacTabTest, CardsFollowTheBlocksCapabilities) {
    struct Case {
        bool vmac;
        bool move;
    };
    const QList<Case> cases{{true, false}, {false, true}, {true, true}};
    QList<HalvoIPBlock> blocks;
    for (qsizetype i = 0; i < cases.size(); ++i) {
        HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.%1/32").arg(i));
        b.virtualMacSupported = cases[i].vmac;
        b.canMoveFailover = cases[i].move;
        blocks.append(b);
    }
    Fixture f(blocks);
    f.openTab(IPManagerSubTab::vmacAndMove);
    for (qsizetype i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        f.clickRow(int(i));
        ASSERT_EQ(f.content()->property("tabTitle").toString(), rawValue(IPManagerSubTab::vmacAndMove));
        EXPECT_EQ(halvo::test::hasLabel(f.content(), kVmacTitle), cases[i].vmac);
        EXPECT_EQ(halvo::test::hasButton(f.content(), QStringLiteral("vMAC generieren")), cases[i].vmac);
        EXPECT_EQ(halvo::test::hasLabel(f.content(), QStringLiteral("Additional / Failover IP Live-Routing (/ip/") +
                                                         blocks[i].ipBlock + QStringLiteral("/move)")),
                  cases[i].move);
        EXPECT_EQ(halvo::test::hasButton(f.content(), QStringLiteral("IP-Subnetz umrouten...")), cases[i].move);
    }
}

// ---- virtual MACs ----

TEST(IPVirtualMacTabTest, CreatingWithEmptyFieldsUsesTheDefaultsAndReplacesPerAddress) {
    HalvoIPBlock b = vmacBlock(QStringLiteral("203.0.113.0/28"));
    VmacFixture f({b});
    EXPECT_EQ(f.field(QStringLiteral("ipVmacAddressInput"))->placeholderText(),
              QStringLiteral("IP-Adresse (z.B. 203.0.113.0)"));

    f.paste(QStringLiteral("ipVmacNameInput"), QStringLiteral(" \t"));
    f.press(QStringLiteral("vMAC generieren"));
    QList<HalvoVirtualMac> macs = f.block(b.ipBlock).virtualMacs;
    ASSERT_EQ(macs.size(), 1);
    EXPECT_EQ(macs[0].ipAddress, QStringLiteral("203.0.113.0"));
    EXPECT_EQ(macs[0].virtualMachineName, QStringLiteral("proxmox-vm"));
    EXPECT_EQ(macs[0].type, QStringLiteral("halvo"));
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), QStringLiteral("MAC: ") + macs[0].macAddress));
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), QStringLiteral("VM: proxmox-vm (HALVO)")));

    f.paste(QStringLiteral("ipVmacAddressInput"), QStringLiteral("\t203.0.113.0 "));
    f.type(QStringLiteral("ipVmacNameInput"), QStringLiteral("vm-101-web"));
    f.press(QStringLiteral("vMAC generieren"));
    macs = f.block(b.ipBlock).virtualMacs;
    ASSERT_EQ(macs.size(), 1);
    EXPECT_EQ(macs[0].virtualMachineName, QStringLiteral("vm-101-web"));
    EXPECT_EQ(f.content()->findChildren<QFrame*>(QStringLiteral("halvoListRow")).size(), 1);
    EXPECT_EQ(f.field(QStringLiteral("ipVmacAddressInput"))->text(), QString());
    EXPECT_EQ(f.field(QStringLiteral("ipVmacNameInput"))->text(), QString());
    EXPECT_EQ(f.view->state().vmacIPInput, QString());
    EXPECT_EQ(f.view->state().vmacVMNameInput, QString());
}

TEST(IPVirtualMacTabTest, TypeButtonsShowTheChosenKindAndItIsKept) {
    HalvoIPBlock b = vmacBlock(QStringLiteral("203.0.113.0/28"));
    HalvoIPBlock other = vmacBlock(QStringLiteral("198.51.100.0/28"));
    VmacFixture f({b, other});
    const auto variants = [&f] {
        HalvoActionButton* halvo = f.actionButton(QStringLiteral("Halvo MAC"));
        HalvoActionButton* vmware = f.actionButton(QStringLiteral("VMware MAC"));
        return std::pair{halvo ? halvo->variant() : HalvoButtonVariant::danger,
                         vmware ? vmware->variant() : HalvoButtonVariant::danger};
    };
    using V = HalvoButtonVariant;
    EXPECT_EQ(variants(), std::pair(V::primary, V::secondary));

    f.press(QStringLiteral("VMware MAC"));
    EXPECT_EQ(f.view->state().vmacType, QStringLiteral("vmware"));
    EXPECT_EQ(variants(), std::pair(V::secondary, V::primary));

    f.type(QStringLiteral("ipVmacAddressInput"), QStringLiteral("203.0.113.7"));
    f.press(QStringLiteral("vMAC generieren"));
    EXPECT_EQ(f.block(b.ipBlock).virtualMacs.value(0).type, QStringLiteral("vmware"));
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), QStringLiteral("VM: proxmox-vm (VMWARE)")));
    EXPECT_EQ(variants(), std::pair(V::secondary, V::primary));

    // The kind stays for the next block.
    f.clickRow(1);
    EXPECT_EQ(variants(), std::pair(V::secondary, V::primary));
    f.press(QStringLiteral("Halvo MAC"));
    EXPECT_EQ(variants(), std::pair(V::primary, V::secondary));

    // A kind that is neither: both buttons neutral.
    f.view->state().vmacType = QStringLiteral("Halvo");
    f.clickRow(0);
    EXPECT_EQ(variants(), std::pair(V::secondary, V::secondary));
}

TEST(IPVirtualMacTabTest, CopyingAMacPutsExactlyItOnTheClipboard) {
    HalvoIPBlock b = vmacBlock(QStringLiteral("203.0.113.0/28"));
    b.virtualMacs = {makeMac(QStringLiteral("203.0.113.2"), QStringLiteral("02:00:00:aa:bb:01"), QStringLiteral("vm-a"),
                             QStringLiteral("halvo")),
                     makeMac(QStringLiteral("203.0.113.3"), QStringLiteral("02:00:00:aa:bb:02"), QStringLiteral("vm-b"),
                             QStringLiteral("vmware"))};
    VmacFixture f({b});
    const QList<QAbstractButton*> copies = halvo::test::buttonsWithText(f.content(), QStringLiteral("MAC kopieren"));
    ASSERT_EQ(copies.size(), 2);
    halvo::test::click(copies[1]);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("02:00:00:aa:bb:02"));
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("vMAC 02:00:00:aa:bb:02 kopiert."));
}

TEST(IPVirtualMacTabTest, DeletingAMacWaitsForTheConfirmation) {
    HalvoIPBlock b = vmacBlock(QStringLiteral("203.0.113.0/28"));
    b.virtualMacs = {makeMac(QStringLiteral("203.0.113.2"), QStringLiteral("02:00:00:aa:bb:01"), QStringLiteral("vm-a"),
                             QStringLiteral("halvo")),
                     makeMac(QStringLiteral("203.0.113.3"), QStringLiteral("02:00:00:aa:bb:02"), QStringLiteral("vm-b"),
                             QStringLiteral("vmware"))};
    VmacFixture f({b});
    const QList<QAbstractButton*> deletes = halvo::test::buttonsWithText(f.content(), QStringLiteral("vMAC löschen"));
    ASSERT_EQ(deletes.size(), 2);
    halvo::test::click(deletes[0]);

    ASSERT_TRUE(f.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest& request = *f.store().pendingConfirmation();
    EXPECT_EQ(request.title, QStringLiteral("Virtual MAC '02:00:00:aa:bb:01' löschen?"));
    EXPECT_EQ(request.message,
              QStringLiteral("Möchtest du die virtuelle MAC-Adresse für '203.0.113.2' (VM: vm-a) wirklich entfernen?"));
    EXPECT_EQ(
        request.warningDetails,
        QStringLiteral("Die zugeordnete virtuelle Maschine verliert sofort ihre Netzwerkverbindung auf dieser IP."));
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("vMAC jetzt entfernen"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::danger);
    EXPECT_FALSE(request.requireTypedConfirmation.has_value());

    f.cancel();
    EXPECT_EQ(f.block(b.ipBlock).virtualMacs, b.virtualMacs);

    halvo::test::click(halvo::test::buttonsWithText(f.content(), QStringLiteral("vMAC löschen")).value(0));
    f.confirm();
    EXPECT_EQ(f.block(b.ipBlock).virtualMacs, b.virtualMacs.mid(1));
    EXPECT_EQ(halvo::test::buttonsWithText(f.content(), QStringLiteral("vMAC löschen")).size(), 1);
}

// ---- failover ----

TEST(IPVirtualMacTabTest, ParkedBlockMovesToTheTrimmedTypedTarget) {
    HalvoIPBlock b = vmacBlock(QStringLiteral("203.0.113.0/28"));
    b.routedToService = std::nullopt;
    VmacFixture f({b});
    const QString input = QStringLiteral("ipMoveTargetInput");
    EXPECT_TRUE(
        halvo::test::hasLabel(f.content(), QStringLiteral("Aktuelles Routing-Ziel: Parked (Kein Server zugewiesen)")));

    f.paste(input, QStringLiteral(" \t "));
    f.press(QStringLiteral("IP-Subnetz umrouten..."));
    EXPECT_FALSE(f.store().pendingConfirmation().has_value());

    f.paste(input, QStringLiteral("  ns5008812.example.net\t"));
    f.press(QStringLiteral("IP-Subnetz umrouten..."));
    ASSERT_TRUE(f.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest& request = *f.store().pendingConfirmation();
    EXPECT_EQ(request.title, QStringLiteral("Failover-IP '203.0.113.0/28' auf 'ns5008812.example.net' umrouten?"));
    EXPECT_EQ(request.message, QStringLiteral("Soll das IP-Subnetz '203.0.113.0/28' von 'Unassigned' auf den "
                                              "Ziel-Server 'ns5008812.example.net' geschwenkt werden?"));
    EXPECT_EQ(request.warningDetails, QStringLiteral("Der gesamte Netzwerkverkehr für 203.0.113.0/28 wird sofort per "
                                                     "BGP auf ns5008812.example.net umgeleitet."));
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("Jetzt IP umrouten"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::warning);
    EXPECT_FALSE(request.requireTypedConfirmation.has_value());

    // Cancelling keeps data and the typed target.
    f.cancel();
    EXPECT_FALSE(f.block(b.ipBlock).routedToService.has_value());
    EXPECT_EQ(f.field(input)->text(), QStringLiteral("  ns5008812.example.net\t"));

    f.press(QStringLiteral("IP-Subnetz umrouten..."));
    f.confirm();
    EXPECT_EQ(f.block(b.ipBlock).routedToService, QStringLiteral("ns5008812.example.net"));
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), QStringLiteral("Aktuelles Routing-Ziel: ns5008812.example.net")));
    EXPECT_EQ(f.view->state().targetMoveService, QString());
    EXPECT_EQ(f.field(input)->text(), QString());
}

TEST(IPVirtualMacTabTest, MoveToTheCurrentTargetStillEmptiesTheField) {
    HalvoIPBlock b = vmacBlock(QStringLiteral("203.0.113.0/28"));
    VmacFixture f({b});
    const QString input = QStringLiteral("ipMoveTargetInput");
    f.type(input, *b.routedToService);
    f.press(QStringLiteral("IP-Subnetz umrouten..."));
    EXPECT_TRUE(f.store().pendingConfirmation()->message.contains(QStringLiteral("von 'ns3045871.example.net' auf")));
    f.confirm();
    EXPECT_EQ(f.field(input)->text(), QString());
    f.type(input, QStringLiteral("x"));
    EXPECT_EQ(f.view->state().targetMoveService, QStringLiteral("x"));
}

TEST(IPVirtualMacTabTest, QuickPickShowsTheHostAndMovesToTheServiceName) {
    HalvoIPBlock b = vmacBlock(QStringLiteral("203.0.113.0/28"));
    const QList<HalvoServer> servers{
        makeServer(QStringLiteral("ns3045871.example.net"), QStringLiteral("pve01.example.com.")),
        makeServer(QStringLiteral("ns5008812.example.net"), QStringLiteral("kvm01.example.com."))};
    VmacFixture f({b}, servers);
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), kPickText));
    // The server the block is routed to now is offered as well.
    EXPECT_TRUE(halvo::test::hasButton(f.content(), QStringLiteral("Auf pve01.example.com. routen")));

    f.type(QStringLiteral("ipMoveTargetInput"), QStringLiteral("getippt"));
    f.press(QStringLiteral("Auf kvm01.example.com. routen"));
    ASSERT_TRUE(f.store().pendingConfirmation().has_value());
    EXPECT_EQ(f.store().pendingConfirmation()->title,
              QStringLiteral("Failover-IP '203.0.113.0/28' auf 'ns5008812.example.net' umrouten?"));
    f.confirm();
    EXPECT_EQ(f.block(b.ipBlock).routedToService, QStringLiteral("ns5008812.example.net"));
    EXPECT_EQ(f.field(QStringLiteral("ipMoveTargetInput"))->text(), QString());

    // A renamed server host shows on its button at once.
    f.store().setDedicatedServerReverse(QStringLiteral("ns5008812.example.net"), QStringLiteral("neu.example.com"));
    halvo::test::settle();
    EXPECT_FALSE(halvo::test::hasButton(f.content(), QStringLiteral("Auf kvm01.example.com. routen")));
    EXPECT_TRUE(halvo::test::hasButton(f.content(), QStringLiteral("Auf neu.example.com. routen")));
}

TEST(IPVirtualMacTabTest, NoDedicatedServersNoQuickPick) {
    VmacFixture f({vmacBlock(QStringLiteral("203.0.113.0/28"))});
    EXPECT_FALSE(halvo::test::hasLabel(f.content(), kPickText));
}

TEST(IPVirtualMacTabTest, ConfirmingAfterTheViewIsGoneStillMoves) {
    HalvoIPBlock b = vmacBlock(QStringLiteral("203.0.113.0/28"));
    VmacFixture f({b});
    f.type(QStringLiteral("ipMoveTargetInput"), QStringLiteral("ns5008812.example.net"));
    f.press(QStringLiteral("IP-Subnetz umrouten..."));
    ASSERT_TRUE(f.store().pendingConfirmation().has_value());
    f.view.reset();
    halvo::test::settle();
    const std::function<void()> action = f.store().pendingConfirmation()->action;
    f.store().clearPendingConfirmation();
    action();
    EXPECT_EQ(f.block(b.ipBlock).routedToService, QStringLiteral("ns5008812.example.net"));
}
