// The details tab of the IP view through its real widgets on a real store: the tiles, the description,
// the reverse-DNS form and table with its confirmed deletion, and the zone delegation.

#include "views/ip/IPDetailsTab.h"

#include "IPAddressTabsFixture.h"
#include "views/ip/IPReverseEntryDelegate.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QListView>
#include <QScrollArea>
#include <QScrollBar>

using ipaddr::Fixture;
using ipaddr::makeBlock;

namespace {

struct TileText {
    QString label;
    QString value;
    std::optional<QString> subvalue;
    std::optional<QString> copyValue;
    bool operator==(const TileText&) const = default;
};

void PrintTo(const TileText& t, std::ostream* os) {
    *os << "{" << t.label.toStdString() << " | " << t.value.toStdString() << " | "
        << t.subvalue.value_or(QStringLiteral("<none>")).toStdString() << " | copy "
        << t.copyValue.value_or(QStringLiteral("<none>")).toStdString() << "}";
}

QList<TileText> tilesShown(QWidget* root) {
    QList<TileText> tiles;
    for (const HalvoSpecTile* tile : root->findChildren<HalvoSpecTile*>())
        tiles.append({tile->spec().label, tile->spec().value, tile->spec().subvalue, tile->spec().copyValue});
    return tiles;
}

HalvoSpecTile* tileLabelled(QWidget* root, const QString& label) {
    for (HalvoSpecTile* tile : root->findChildren<HalvoSpecTile*>()) {
        if (tile->spec().label == label)
            return tile;
    }
    return nullptr;
}

const QString kDelegationTitle = QStringLiteral("Reverse-DNS Subnetz-Delegation an eigene Nameserver (/ip/");

} // namespace

// ---- delegation rule ----

TEST(IPDetailsTabTest, DelegationNeedsSupportAndAShortEnoughPrefix) {
    struct Case {
        QString block;
        qint64 version;
        bool supported;
        bool expected;
    };
    const QList<Case> cases{
        {QStringLiteral("203.0.113.0/28"), 4, true, true},
        {QStringLiteral("203.0.113.0/29"), 4, true, false},
        {QStringLiteral("203.0.112.0/22"), 4, true, true},
        {QStringLiteral("2001:db8::/64"), 6, true, true},
        {QStringLiteral("2001:db8::/65"), 6, true, false},
        {QStringLiteral("2001:db8::/48"), 6, true, true},
        {QStringLiteral("203.0.113.0"), 4, true, false},
        {QStringLiteral("2001:db8::"), 6, true, false},
        {QStringLiteral("203.0.113.0/abc"), 4, true, false},
        {QStringLiteral("203.0.113.0/"), 4, true, false},
        {QStringLiteral("203.0.113.0/ 24"), 4, true, false},
        {QStringLiteral("203.0.113.0/+24"), 4, true, true},
        {QStringLiteral("203.0.113.0/24/7"), 4, true, true},
        {QStringLiteral("203.0.113.0/99999999999999999999"), 4, true, false},
        {QStringLiteral("203.0.113.0/24"), 4, false, false},
        {QStringLiteral("2001:db8::/32"), 6, false, false},
        // A version other than 6 follows the IPv4 limit.
        {QStringLiteral("203.0.113.0/40"), 5, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.block.toStdString() + " v" + std::to_string(c.version));
        HalvoIPBlock b = makeBlock(c.block);
        b.version = c.version;
        b.delegationSupported = c.supported;
        EXPECT_EQ(IPDetailsTab::canDelegateReverseZone(b), c.expected);
    }
}

TEST(IPDetailsTabTest, DelegationCardFollowsTheShownBlock) {
    HalvoIPBlock big = makeBlock(QStringLiteral("203.0.113.0/28"));
    big.delegationSupported = true;
    big.delegationTargets = {QStringLiteral("ns1.example.net."), QStringLiteral("ns2.example.net.")};
    HalvoIPBlock small = makeBlock(QStringLiteral("203.0.113.32/29"));
    small.delegationSupported = true;
    Fixture f({big, small});

    EXPECT_TRUE(halvo::test::hasLabel(f.content(), kDelegationTitle + big.ipBlock + QStringLiteral("/delegation)")));
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), QStringLiteral("Delegierter Nameserver: ns1.example.net.")));
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), QStringLiteral("Delegierter Nameserver: ns2.example.net.")));

    f.clickRow(1);
    EXPECT_FALSE(halvo::test::hasLabelContaining(f.content(), kDelegationTitle));
    EXPECT_FALSE(halvo::test::hasButton(f.content(), QStringLiteral("NS-Delegation hinzufügen")));
}

// ---- tiles ----

TEST(IPDetailsTabTest, TilesFollowTheBlocksFacts) {
    HalvoIPBlock full = makeBlock(QStringLiteral("203.0.113.0/28"));
    full.routedToService = QStringLiteral("ns3045871.example.net");
    full.reverseEntries = {{QStringLiteral("203.0.113.1"), QStringLiteral("web.example.org.")},
                           {QStringLiteral("203.0.113.2"), QStringLiteral("mail.example.org.")}};

    HalvoIPBlock sparse = makeBlock(QStringLiteral("198.51.100.0/29"));
    sparse.gateway = kNoValue;
    sparse.broadcast = kNoValue;
    sparse.country = kNoValue;
    sparse.routedToService = QString();

    HalvoIPBlock noCountry = makeBlock(QStringLiteral("2001:db8::/56"));
    noCountry.version = 6;
    noCountry.usableHostsCount = 1000000000000;
    noCountry.type = QStringLiteral("dedicated");
    noCountry.gateway = QStringLiteral("2001:db8::1");
    noCountry.country = std::nullopt;

    Fixture f({full, sparse, noCountry});
    const auto tile1 = [](const HalvoIPBlock& b, const QString& sub) {
        return TileText{QStringLiteral("CIDR Subnetz-Block"), b.ipBlock, sub, b.ipBlock};
    };
    const QString ptr = QStringLiteral("Aktive rDNS (PTR)");
    const QList<QList<TileText>> expected{
        {tile1(full, QStringLiteral("IPv4 • 14 Host-IP(s)")),
         {QStringLiteral("Subnetzmaske / Prefix"), full.netmask, QStringLiteral("Broadcast: 198.51.100.15"),
          full.netmask},
         {QStringLiteral("Standard-Gateway"), full.gateway, QStringLiteral("Halvo Router Gateway"), full.gateway},
         {QStringLiteral("Geroutet auf Dienst"), QStringLiteral("ns3045871.example.net"),
          QStringLiteral("Typ: FAILOVER"), std::nullopt},
         {QStringLiteral("Geo-IP Land & Campus"), QStringLiteral("DE – FRA1"), QStringLiteral("RIPE"), std::nullopt},
         {ptr, QStringLiteral("2 PTR-Records"), QStringLiteral("web.example.org."), std::nullopt}},
        {tile1(sparse, QStringLiteral("IPv4 • 14 Host-IP(s)")),
         {QStringLiteral("Subnetzmaske / Prefix"), sparse.netmask, std::nullopt, sparse.netmask},
         {ptr, QStringLiteral("0 PTR-Records"), std::nullopt, std::nullopt}},
        {tile1(noCountry, QStringLiteral("IPv6 • 1000000000000 Host-IP(s)")),
         {QStringLiteral("Subnetzmaske / Prefix"), noCountry.netmask, QStringLiteral("Broadcast: 198.51.100.15"),
          noCountry.netmask},
         {QStringLiteral("Standard-Gateway"), QStringLiteral("2001:db8::1"), QStringLiteral("Halvo Router Gateway"),
          QStringLiteral("2001:db8::1")},
         {ptr, QStringLiteral("0 PTR-Records"), std::nullopt, std::nullopt}},
    };
    for (int i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        f.clickRow(i);
        EXPECT_EQ(tilesShown(f.content()), expected[i]);
    }
}

TEST(IPDetailsTabTest, CopyingTheBlockReportsItTheNetmaskSilently) {
    Fixture f({makeBlock(QStringLiteral("203.0.113.0/28"))});
    f.store().setLastActionMessage(QStringLiteral("vorher"));

    HalvoSpecTile* netmask = tileLabelled(f.content(), QStringLiteral("Subnetzmaske / Prefix"));
    ASSERT_TRUE(netmask && netmask->copyButton());
    halvo::test::click(netmask->copyButton());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("255.255.255.240"));
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("vorher"));

    HalvoSpecTile* cidr = tileLabelled(f.content(), QStringLiteral("CIDR Subnetz-Block"));
    ASSERT_TRUE(cidr && cidr->copyButton());
    halvo::test::click(cidr->copyButton());
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("203.0.113.0/28"));
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("203.0.113.0/28 kopiert."));

    EXPECT_EQ(tileLabelled(f.content(), QStringLiteral("Aktive rDNS (PTR)"))->copyButton(), nullptr);
}

// ---- description ----

TEST(IPDetailsTabTest, DescriptionPlaceholderNamesTheCurrentOne) {
    HalvoIPBlock none = makeBlock(QStringLiteral("203.0.113.0/28"));
    HalvoIPBlock empty = makeBlock(QStringLiteral("203.0.113.16/28"));
    empty.description = QString();
    HalvoIPBlock named = makeBlock(QStringLiteral("203.0.113.32/28"));
    named.description = QStringLiteral("Web-Cluster");
    Fixture f({none, empty, named});
    const QStringList expected{
        QStringLiteral("Beschreibung für 203.0.113.0/28 (aktuell: Keine)"),
        QStringLiteral("Beschreibung für 203.0.113.16/28 (aktuell: )"),
        QStringLiteral("Beschreibung für 203.0.113.32/28 (aktuell: Web-Cluster)"),
    };
    for (int i = 0; i < expected.size(); ++i) {
        f.clickRow(i);
        EXPECT_EQ(f.field(QStringLiteral("ipDescriptionInput"))->placeholderText(), expected[i]);
    }
}

TEST(IPDetailsTabTest, SavingADescriptionTrimsItAndClearsTheField) {
    Fixture f({makeBlock(QStringLiteral("203.0.113.0/28"))});
    const QString input = QStringLiteral("ipDescriptionInput");
    f.store().setLastActionMessage(QStringLiteral("vorher"));

    f.paste(input, QStringLiteral(" \t\u2003 "));
    f.press(QStringLiteral("Beschreibung speichern"));
    EXPECT_FALSE(f.block(QStringLiteral("203.0.113.0/28")).description.has_value());
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("vorher"));
    EXPECT_EQ(f.view->state().descriptionInput, QStringLiteral(" \t\u2003 "));

    f.paste(input, QStringLiteral("\tWeb-Cluster Frankfurt  "));
    f.press(QStringLiteral("Beschreibung speichern"));
    EXPECT_EQ(f.block(QStringLiteral("203.0.113.0/28")).description, QStringLiteral("Web-Cluster Frankfurt"));
    EXPECT_EQ(f.view->state().descriptionInput, QString());
    EXPECT_EQ(f.field(input)->text(), QString());
    EXPECT_EQ(f.field(input)->placeholderText(),
              QStringLiteral("Beschreibung für 203.0.113.0/28 (aktuell: Web-Cluster Frankfurt)"));

    // Saving the same text again changes no block, so the tab is not rebuilt: the field must still empty.
    f.type(input, QStringLiteral("Web-Cluster Frankfurt"));
    f.press(QStringLiteral("Beschreibung speichern"));
    EXPECT_EQ(f.view->state().descriptionInput, QString());
    EXPECT_EQ(f.field(input)->text(), QString());
    f.type(input, QStringLiteral("x"));
    EXPECT_EQ(f.view->state().descriptionInput, QStringLiteral("x"));
}

// ---- reverse DNS ----

TEST(IPDetailsTabTest, ReverseFormDefaultsToTheNetworkAddressAndNeedsAHost) {
    Fixture f({makeBlock(QStringLiteral("203.0.113.0/28"))});
    const QString address = QStringLiteral("ipReverseAddressInput");
    const QString host = QStringLiteral("ipReverseHostInput");
    EXPECT_EQ(f.field(address)->placeholderText(), QStringLiteral("IP-Adresse aus dem Block (z.B. 203.0.113.0)"));

    // No host: nothing happens, the typed address stays.
    f.type(address, QStringLiteral("203.0.113.5"));
    f.paste(host, QStringLiteral(" \t "));
    f.press(QStringLiteral("rDNS (PTR) speichern"));
    EXPECT_TRUE(f.block(QStringLiteral("203.0.113.0/28")).reverseEntries.isEmpty());
    EXPECT_EQ(f.field(address)->text(), QStringLiteral("203.0.113.5"));
    EXPECT_EQ(f.view->state().newReverseIP, QStringLiteral("203.0.113.5"));

    // No address: the network address; the store adds the trailing dot; both fields empty.
    f.paste(address, QStringLiteral("  "));
    f.paste(host, QStringLiteral(" gw.example.org "));
    f.press(QStringLiteral("rDNS (PTR) speichern"));
    const QList<HalvoReverseRecord> expected{{QStringLiteral("203.0.113.0"), QStringLiteral("gw.example.org.")}};
    EXPECT_EQ(f.block(QStringLiteral("203.0.113.0/28")).reverseEntries, expected);
    EXPECT_EQ(
        f.store().lastActionMessage(),
        QStringLiteral("rDNS (PTR) für 203.0.113.0 -> gw.example.org. gespeichert (POST /ip/203.0.113.0/28/reverse)."));
    EXPECT_EQ(f.field(address)->text(), QString());
    EXPECT_EQ(f.field(host)->text(), QString());
    EXPECT_EQ(f.view->state().newReverseIP, QString());
    EXPECT_EQ(f.view->state().newReverseHost, QString());
}

TEST(IPDetailsTabTest, ReverseTableKeepsOneRowPerAddress) {
    HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.0/28"));
    Fixture f({b});
    EXPECT_TRUE(halvo::test::hasLabel(
        f.content(),
        QStringLiteral("Noch keine benutzerdefinierten Reverse-DNS (PTR) Einträge in diesem Subnetz hinterlegt.")));
    EXPECT_EQ(f.content()->findChild<QListView*>(QStringLiteral("ipReverseTable")), nullptr);

    const QList<std::pair<QString, QString>> saves{{QStringLiteral("203.0.113.5"), QStringLiteral("web.example.org")},
                                                   {QStringLiteral("203.0.113.6"), QStringLiteral("mail.example.org.")},
                                                   {QStringLiteral("203.0.113.5"), QStringLiteral("www.example.org")}};
    for (const auto& [address, host] : saves) {
        f.type(QStringLiteral("ipReverseAddressInput"), address);
        f.type(QStringLiteral("ipReverseHostInput"), host);
        f.press(QStringLiteral("rDNS (PTR) speichern"));
    }
    const QList<HalvoReverseRecord> expected{{QStringLiteral("203.0.113.5"), QStringLiteral("www.example.org.")},
                                             {QStringLiteral("203.0.113.6"), QStringLiteral("mail.example.org.")}};
    EXPECT_EQ(f.block(b.ipBlock).reverseEntries, expected);

    auto* table = f.content()->findChild<QListView*>(QStringLiteral("ipReverseTable"));
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->model()->rowCount(), 2);
    EXPECT_EQ(table->model()->index(0, 0).data().toString(), QStringLiteral("203.0.113.5"));
    EXPECT_EQ(table->model()->index(1, 0).data().toString(), QStringLiteral("203.0.113.6"));
    EXPECT_FALSE(halvo::test::hasLabelContaining(f.content(), QStringLiteral("Noch keine benutzerdefinierten")));
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), QStringLiteral("2 PTR-Records")));
}

TEST(IPDetailsTabTest, TheReverseTableIsAsTallAsItsRowsWithoutAScrollerOfItsOwn) {
    for (const int count : {1, 12, 40}) {
        HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.0/26"));
        for (int i = 0; i < count; ++i)
            b.reverseEntries.append(
                {QStringLiteral("203.0.113.%1").arg(i + 1), QStringLiteral("h%1.example.org.").arg(i)});
        Fixture f({b});
        auto* table = f.content()->findChild<QListView*>(QStringLiteral("ipReverseTable"));
        ASSERT_NE(table, nullptr) << count;
        const int rowHeight = table->sizeHintForRow(0);
        EXPECT_EQ(table->height(), count * rowHeight + 2 * table->frameWidth()) << count;
        EXPECT_EQ(table->verticalScrollBar()->maximum(), 0) << count;
    }
}

TEST(IPDetailsTabTest, AnEntryTheUserSavesIsScrolledIntoViewEntriesArrivingByRefreshLeaveThePosition) {
    HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.0/25"));
    for (int i = 0; i < 60; ++i)
        b.reverseEntries.append({QStringLiteral("203.0.113.%1").arg(i + 1), QStringLiteral("h%1.example.org.").arg(i)});
    Fixture f({b});
    QScrollBar* detail = f.frame().contentScrollArea()->verticalScrollBar();
    ASSERT_GT(detail->maximum(), 0);
    // Whether the row of the address lies wholly inside the detail's visible area.
    const auto rowInView = [&f](const QString& address) {
        auto* table = f.content()->findChild<QListView*>(QStringLiteral("ipReverseTable"));
        if (!table)
            return false;
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            if (table->model()->index(row, 0).data().toString() != address)
                continue;
            const QRect rect = table->visualRect(table->model()->index(row, 0));
            QWidget* visible = f.frame().contentScrollArea()->viewport();
            return !rect.isEmpty() &&
                   visible->rect().contains(QRect(table->viewport()->mapTo(visible, rect.topLeft()), rect.size()));
        }
        return false;
    };
    struct Case {
        const char* what;
        QString address;
        bool byUser; // typed into the form and saved, else changed in the store as a refresh would bring it
        bool revealed;
    };
    const Case cases[] = {
        {"a new entry saved by the user", QStringLiteral("203.0.113.100"), true, true},
        {"an entry at the end changed by the user", QStringLiteral("203.0.113.60"), true, true},
        {"a new entry arriving by refresh", QStringLiteral("203.0.113.101"), false, false},
        {"a changed entry arriving by refresh", QStringLiteral("203.0.113.59"), false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        detail->setValue(0);
        halvo::test::settle();
        ASSERT_FALSE(rowInView(c.address));
        if (c.byUser) {
            f.type(QStringLiteral("ipReverseAddressInput"), c.address);
            f.type(QStringLiteral("ipReverseHostInput"), QStringLiteral("new.example.org"));
            f.press(QStringLiteral("rDNS (PTR) speichern"));
        } else {
            f.store().setReverseDNS(b.ipBlock, c.address, QStringLiteral("new.example.org"));
            halvo::test::settle();
        }
        ASSERT_TRUE(halvo::test::hasLabel(
            f.content(), QStringLiteral("%1 PTR-Records").arg(f.block(b.ipBlock).reverseEntries.size())));
        EXPECT_EQ(rowInView(c.address), c.revealed);
        if (!c.revealed) {
            EXPECT_EQ(detail->value(), 0) << "the detail stays where the user was";
        }
    }
}

TEST(IPDetailsTabTest, AddressAndHostOfAReverseEntryOpenInReadOnlyFieldsForSelecting) {
    HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.0/28"));
    b.reverseEntries = {{QStringLiteral("203.0.113.5"), QStringLiteral("web.example.org.")},
                        {QStringLiteral("203.0.113.6"), QStringLiteral("mail.example.org.")}};
    Fixture f({b});
    auto* table = f.content()->findChild<QListView*>(QStringLiteral("ipReverseTable"));
    ASSERT_NE(table, nullptr);
    struct Case {
        int row;
        bool address;
        QString text;
    };
    const Case cases[] = {
        {1, true, QStringLiteral("203.0.113.6")},
        {1, false, QStringLiteral("mail.example.org.")}, // the other cell of the same row
        {0, false, QStringLiteral("web.example.org.")},
        {0, true, QStringLiteral("203.0.113.5")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const IPReverseEntryDelegate::Cells cells =
            IPReverseEntryDelegate::cells(table->visualRect(table->model()->index(c.row, 0)));
        const QRect cell = c.address ? cells.address : cells.host;
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        halvo::test::settle();
        const QString name =
            c.address ? QStringLiteral("ipReverseAddressEditor") : QStringLiteral("ipReverseHostEditor");
        QList<QLineEdit*> open;
        for (QLineEdit* editor : table->viewport()->findChildren<QLineEdit*>()) {
            if (editor->isVisible())
                open.append(editor);
        }
        ASSERT_EQ(open.size(), 1);
        QLineEdit* editor = open.first();
        EXPECT_EQ(editor->objectName(), name);
        EXPECT_TRUE(editor->isReadOnly());
        EXPECT_EQ(editor->geometry(), cell);
        EXPECT_EQ(editor->text(), c.text);
        editor->selectAll();
        EXPECT_EQ(editor->selectedText(), c.text);
        QTest::keyClicks(editor, QStringLiteral("x"));
        EXPECT_EQ(editor->text(), c.text);
    }
    table->closePersistentEditor(table->model()->index(0, 0));
    halvo::test::settle();
    EXPECT_FALSE(f.store().pendingConfirmation().has_value());
    EXPECT_EQ(f.block(b.ipBlock).reverseEntries, b.reverseEntries);
}

TEST(IPDetailsTabTest, DeletingAReverseEntryWaitsForTheConfirmation) {
    HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.0/28"));
    b.reverseEntries = {{QStringLiteral("203.0.113.5"), QStringLiteral("web.example.org.")},
                        {QStringLiteral("203.0.113.6"), QStringLiteral("mail.example.org.")}};
    Fixture f({b});
    auto* table = f.content()->findChild<QListView*>(QStringLiteral("ipReverseTable"));
    ASSERT_NE(table, nullptr);
    const auto pressDelete = [&](int row) {
        const QRect button = IPReverseEntryDelegate::deleteButtonRect(table->visualRect(table->model()->index(row, 0)));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, button.center());
        halvo::test::settle();
    };

    // A press beside the button asks nothing (in the row's margin: a press on a text opens it for selecting).
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(1, 0)).topLeft() + QPoint(4, 12));
    halvo::test::settle();
    EXPECT_FALSE(f.store().pendingConfirmation().has_value());

    pressDelete(1);
    ASSERT_TRUE(f.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest& request = *f.store().pendingConfirmation();
    EXPECT_EQ(request.title, QStringLiteral("Reverse-DNS (PTR) Eintrag löschen?"));
    EXPECT_EQ(request.message,
              QStringLiteral("Möchtest du den PTR-Eintrag '203.0.113.6 -> mail.example.org.' wirklich entfernen?"));
    EXPECT_FALSE(request.warningDetails.has_value());
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("rDNS jetzt löschen"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::danger);
    EXPECT_FALSE(request.requireTypedConfirmation.has_value());

    f.cancel();
    EXPECT_EQ(f.block(b.ipBlock).reverseEntries, b.reverseEntries);

    pressDelete(1);
    const QUuid first = f.store().pendingConfirmation()->id;
    f.cancel();
    pressDelete(1);
    EXPECT_NE(f.store().pendingConfirmation()->id, first);
    f.confirm();
    EXPECT_EQ(f.block(b.ipBlock).reverseEntries, b.reverseEntries.mid(0, 1));
    EXPECT_EQ(f.store().lastActionMessage(),
              QStringLiteral("rDNS (PTR) für 203.0.113.6 entfernt (DELETE /ip/203.0.113.0/28/reverse/203.0.113.6)."));
}

// ---- delegation ----

TEST(IPDetailsTabTest, DelegationAddsATrimmedNameServerOnce) {
    HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.0/24"));
    b.delegationSupported = true;
    Fixture f({b});
    const QString input = QStringLiteral("ipDelegationInput");
    f.store().setLastActionMessage(QStringLiteral("vorher"));

    f.paste(input, QStringLiteral("\t "));
    f.press(QStringLiteral("NS-Delegation hinzufügen"));
    EXPECT_TRUE(f.block(b.ipBlock).delegationTargets.isEmpty());
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("vorher"));

    f.paste(input, QStringLiteral(" ns1.example.net. "));
    f.press(QStringLiteral("NS-Delegation hinzufügen"));
    EXPECT_EQ(f.block(b.ipBlock).delegationTargets, QStringList{QStringLiteral("ns1.example.net.")});
    EXPECT_EQ(f.field(input)->text(), QString());
    EXPECT_TRUE(halvo::test::hasLabel(f.content(), QStringLiteral("Delegierter Nameserver: ns1.example.net.")));

    // Already listed: the list stays, and the field still empties although nothing was rebuilt.
    f.type(input, QStringLiteral("ns1.example.net."));
    f.press(QStringLiteral("NS-Delegation hinzufügen"));
    EXPECT_EQ(f.block(b.ipBlock).delegationTargets, QStringList{QStringLiteral("ns1.example.net.")});
    EXPECT_EQ(f.field(input)->text(), QString());
    EXPECT_EQ(f.view->state().newDelegationNS, QString());
}

// ---- inputs across blocks ----

TEST(IPDetailsTabTest, TypedInputsSurviveAnotherBlockAndActOnTheShownOne) {
    HalvoIPBlock first = makeBlock(QStringLiteral("203.0.113.0/28"));
    HalvoIPBlock second = makeBlock(QStringLiteral("198.51.100.0/28"));
    Fixture f({first, second});
    f.type(QStringLiteral("ipReverseHostInput"), QStringLiteral("host.example.org"));
    f.type(QStringLiteral("ipDescriptionInput"), QStringLiteral("Notiz"));

    f.clickRow(1);
    EXPECT_EQ(f.field(QStringLiteral("ipReverseHostInput"))->text(), QStringLiteral("host.example.org"));
    EXPECT_EQ(f.field(QStringLiteral("ipDescriptionInput"))->text(), QStringLiteral("Notiz"));
    f.press(QStringLiteral("rDNS (PTR) speichern"));
    f.press(QStringLiteral("Beschreibung speichern"));

    EXPECT_TRUE(f.block(first.ipBlock).reverseEntries.isEmpty());
    EXPECT_FALSE(f.block(first.ipBlock).description.has_value());
    const QList<HalvoReverseRecord> expected{{QStringLiteral("198.51.100.0"), QStringLiteral("host.example.org.")}};
    EXPECT_EQ(f.block(second.ipBlock).reverseEntries, expected);
    EXPECT_EQ(f.block(second.ipBlock).description, QStringLiteral("Notiz"));
}

TEST(IPDetailsTabTest, ReverseRowsNameTheirButtonAndTheKeyboardDeletesTheCurrentOneAfterConfirmation) {
    HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.0/28"));
    b.reverseEntries = {{QStringLiteral("203.0.113.5"), QStringLiteral("web.example.org.")},
                        {QStringLiteral("203.0.113.6"), QStringLiteral("mail.example.org.")}};
    Fixture f({b});
    auto* table = f.content()->findChild<QListView*>(QStringLiteral("ipReverseTable"));
    ASSERT_NE(table, nullptr);
    EXPECT_FALSE(table->tabKeyNavigation());

    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(table);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->tableInterface(), nullptr);
    for (int row = 0; row < 2; ++row) {
        const QString description = QStringLiteral("rDNS löschen: ") + b.reverseEntries.at(row).ipReverse;
        EXPECT_EQ(table->model()->index(row, 0).data(Qt::AccessibleDescriptionRole).toString(), description);
        QAccessibleInterface* cell = list->tableInterface()->cellAt(row, 0);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Description), description);
    }

    table->setFocus(Qt::TabFocusReason);
    table->setCurrentIndex(table->model()->index(0, 0));
    QTest::keyClick(table, Qt::Key_Down);
    ASSERT_EQ(table->currentIndex().row(), 1);
    QTest::keyClick(table, Qt::Key_Delete);
    halvo::test::settle();
    ASSERT_TRUE(f.store().pendingConfirmation().has_value());
    EXPECT_EQ(f.store().pendingConfirmation()->message,
              QStringLiteral("Möchtest du den PTR-Eintrag '203.0.113.6 -> mail.example.org.' wirklich entfernen?"));
    EXPECT_EQ(f.block(b.ipBlock).reverseEntries, b.reverseEntries);
}
