// The tab "Netzwerk & IPs": network tiles, the Meshbay form with its confirmed detach, the edge-firewall
// switch, the jump to the IP section and the routed IP blocks.

#include "views/dedicated/DedicatedNetworkTab.h"

#include "DedicatedViewFixture.h"
#include "store/AppStateStore.h"
#include "store/NavigationSection.h"
#include "ui/Components.h"

#include <QClipboard>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>

#include <functional>

namespace halvo::test {
namespace {

using theme::Tint;

constexpr int kNetworkTab = 2;

HalvoActionButton* actionButton(QWidget* root, const QString& text) {
    return qobject_cast<HalvoActionButton*>(buttonWithText(root, text));
}

/// A server with every network element present.
HalvoServer networkServer(const QString& name) {
    HalvoServer server = makeServer(name);
    server.publicBandwidthMbps = 1000;
    server.meshbayBandwidthMbps = 2000;
    server.bondixAvailable = true;
    server.bondixMode = QStringLiteral("active-backup");
    server.assignedIPBlocks = {QStringLiteral("192.0.2.10/32"), QStringLiteral("2001:db8:10::/64"),
                               QStringLiteral("198.51.100.0/28")};
    server.firewallAvailable = true;
    server.firewallEnabled = false;
    return server;
}

struct NetworkTab {
    explicit NetworkTab(const QList<HalvoServer>& servers)
        : v(servers) {
        v.clickTab(kNetworkTab);
        EXPECT_EQ(v.view->shownTab(), DedicatedServerTab::networkMeshbay);
    }
    QWidget* content() { return v.content(); }
    HalvoFormTextField* meshbayField() {
        return findNamed<HalvoFormTextField>(content(), QStringLiteral("meshbayInput"));
    }
    DedicatedView v;
};

struct TileView {
    QString label;
    QString value;
    std::optional<QString> subvalue;
    Tint tint;
    QPoint cell; ///< column, row
    bool operator==(const TileView&) const = default;
};

void PrintTo(const TileView& t, std::ostream* os) {
    *os << t.label.toStdString() << " = " << t.value.toStdString() << " / "
        << t.subvalue.value_or(QStringLiteral("(none)")).toStdString() << " in "
        << theme::tintName(t.tint).toStdString() << " at " << t.cell.x() << "," << t.cell.y();
}

QList<TileView> tiles(QWidget* content) {
    QList<TileView> result;
    auto* grid = content->findChild<QGridLayout*>(QStringLiteral("networkTiles"));
    EXPECT_NE(grid, nullptr);
    for (const HalvoSpecTile* tile : content->findChildren<HalvoSpecTile*>()) {
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        if (grid)
            grid->getItemPosition(grid->indexOf(tile), &row, &column, &rowSpan, &columnSpan);
        const HalvoSpecTile::Spec& spec = tile->spec();
        EXPECT_FALSE(spec.copyValue.has_value()) << spec.label.toStdString();
        result.append({spec.label, spec.value, spec.subvalue, spec.tint, QPoint(column, row)});
    }
    return result;
}

struct BlockRow {
    QString symbol;
    QString block;
    bool operator==(const BlockRow&) const = default;
};

void PrintTo(const BlockRow& r, std::ostream* os) {
    *os << r.symbol.toStdString() << " " << r.block.toStdString();
}

/// The IP block rows of the IP card, in order: their symbol and their text.
QList<BlockRow> blockRows(QWidget* content) {
    QList<BlockRow> rows;
    auto* card = content->findChild<QWidget*>(QStringLiteral("ipCard"));
    EXPECT_NE(card, nullptr);
    if (!card)
        return rows;
    for (QFrame* row : card->findChildren<QFrame*>(QStringLiteral("halvoListRow"))) {
        QString symbol;
        for (const QLabel* label : row->findChildren<QLabel*>()) {
            if (label->property("symbolName").isValid())
                symbol = label->property("symbolName").toString();
        }
        const QStringList texts = labelTexts(row);
        rows.append({symbol, texts.isEmpty() ? QString() : texts.last()});
    }
    return rows;
}

TEST(DedicatedNetworkTab, TilesFollowTheEquipmentInOrder) {
    const TileView bandwidth{QStringLiteral("Public Bandbreite"),
                             QStringLiteral("1000 Mbit/s"),
                             QStringLiteral("Halvo Backbone Uplink"),
                             Tint::blue,
                             {}};
    const TileView meshbay{QStringLiteral("Meshbay Private Network"),
                           QStringLiteral("2000 Mbit/s"),
                           QStringLiteral("pn-4711"),
                           Tint::purple,
                           {}};
    const TileView bondix{QStringLiteral("Halvo Link Aggregation (Bondix)"),
                          QStringLiteral("active-backup"),
                          QStringLiteral("LACP 802.3ad / Dual-NIC"),
                          Tint::teal,
                          {}};
    const TileView blocks{QStringLiteral("Zugewiesene IP-Blöcke"),
                          QStringLiteral("3 Subnetz(e)"),
                          QStringLiteral("192.0.2.10"),
                          Tint::green,
                          {}};
    const auto at = [](TileView t, int column, int row) {
        t.cell = QPoint(column, row);
        return t;
    };
    const auto with = [](TileView t, const char* value, std::optional<const char*> subvalue) {
        t.value = QString::fromUtf8(value);
        t.subvalue = subvalue ? std::optional<QString>(QString::fromUtf8(*subvalue)) : std::nullopt;
        return t;
    };
    struct Case {
        const char* what;
        std::function<void(HalvoServer&)> change;
        QList<TileView> expected;
    };
    const Case cases[] = {
        {"everything",
         [](HalvoServer&) {},
         {at(bandwidth, 0, 0), at(meshbay, 1, 0), at(bondix, 2, 0), at(blocks, 3, 0)}},
        {"no public bandwidth",
         [](HalvoServer& s) { s.publicBandwidthMbps = 0; },
         {at(meshbay, 0, 0), at(bondix, 1, 0), at(blocks, 2, 0)}},
        {"Meshbay without bandwidth or name",
         [](HalvoServer& s) {
             s.meshbayBandwidthMbps = 0;
             s.meshbayName.reset();
         },
         {at(bandwidth, 0, 0), at(with(meshbay, "Unterstützt", "Kein Meshbay verbunden"), 1, 0), at(bondix, 2, 0),
          at(blocks, 3, 0)}},
        {"no Meshbay, no Bondix",
         [](HalvoServer& s) {
             s.meshbaySupported = false;
             s.bondixAvailable = false;
         },
         {at(bandwidth, 0, 0), at(blocks, 1, 0)}},
        {"no assigned blocks",
         [](HalvoServer& s) { s.assignedIPBlocks.clear(); },
         {at(bandwidth, 0, 0), at(meshbay, 1, 0), at(bondix, 2, 0),
          at(with(blocks, "1 Subnetz(e)", "192.0.2.10"), 3, 0)}},
        // Nothing is listed for a server without blocks and without an address, and the tile says so.
        {"no blocks, no address",
         [](HalvoServer& s) {
             s.assignedIPBlocks.clear();
             s.ip = kNoValue;
         },
         {at(bandwidth, 0, 0), at(meshbay, 1, 0), at(bondix, 2, 0), at(with(blocks, "0 Subnetz(e)", "–"), 3, 0)}},
    };
    for (const Case& c : cases) {
        HalvoServer server = networkServer(QStringLiteral("ns1.example.net"));
        c.change(server);
        NetworkTab t({server});
        EXPECT_EQ(tiles(t.content()), c.expected) << c.what;
    }
}

TEST(DedicatedNetworkTab, ListsTheRoutedBlocksWithTheirFamily) {
    struct Case {
        const char* what;
        QStringList assigned;
        QString ip;
        QList<BlockRow> expected;
    };
    const QString v4 = QStringLiteral("4.circle.fill");
    const QString v6 = QStringLiteral("6.circle.fill");
    const Case cases[] = {
        {"assigned blocks in order",
         {QStringLiteral("198.51.100.0/28"), QStringLiteral("2001:db8:10::/64"), QStringLiteral("192.0.2.10/32")},
         QStringLiteral("192.0.2.10"),
         {{v4, QStringLiteral("198.51.100.0/28")},
          {v6, QStringLiteral("2001:db8:10::/64")},
          {v4, QStringLiteral("192.0.2.10/32")}}},
        {"own address when none assigned", {}, QStringLiteral("192.0.2.10"), {{v4, QStringLiteral("192.0.2.10")}}},
        {"own IPv6 address", {}, QStringLiteral("2001:db8::1"), {{v6, QStringLiteral("2001:db8::1")}}},
        {"an empty address is still an entry", {}, QString(), {{v4, QString()}}},
        {"nothing without an address", {}, kNoValue, {}},
        {"any colon makes it IPv6", {QStringLiteral("odd:text")}, kNoValue, {{v6, QStringLiteral("odd:text")}}},
    };
    for (const Case& c : cases) {
        HalvoServer server = networkServer(QStringLiteral("ns1.example.net"));
        server.assignedIPBlocks = c.assigned;
        server.ip = c.ip;
        EXPECT_EQ(DedicatedNetworkTab::ipBlockList(server).size(), c.expected.size()) << c.what;
        NetworkTab t({server});
        EXPECT_EQ(blockRows(t.content()), c.expected) << c.what;
    }
}

TEST(DedicatedNetworkTab, CopiesABlockWithItsSentence) {
    NetworkTab t({networkServer(QStringLiteral("ns1.example.net"))});
    auto* card = t.content()->findChild<QWidget*>(QStringLiteral("ipCard"));
    ASSERT_NE(card, nullptr);
    const QList<QFrame*> rows = card->findChildren<QFrame*>(QStringLiteral("halvoListRow"));
    ASSERT_EQ(rows.size(), 3);
    const QString blocks[] = {QStringLiteral("192.0.2.10/32"), QStringLiteral("2001:db8:10::/64"),
                              QStringLiteral("198.51.100.0/28")};
    for (int i : {1, 0, 2}) {
        QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
        click(buttonWithText(rows.at(i), QStringLiteral("Kopieren")));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), blocks[i]);
        EXPECT_EQ(t.v.store().lastActionMessage(),
                  QStringLiteral("IP-Subnetz ") + blocks[i] + QStringLiteral(" kopiert."));
    }
}

TEST(DedicatedNetworkTab, FirewallSwitchOnlyWhereAvailableAndFollowsTheRecord) {
    {
        HalvoServer server = networkServer(QStringLiteral("ns1.example.net"));
        server.firewallAvailable = false;
        server.firewallEnabled = true;
        NetworkTab t({server});
        EXPECT_TRUE(hasLabel(t.content(), QStringLiteral("Zugewiesene IP-Subnetze")));
        EXPECT_FALSE(hasLabelContaining(t.content(), QStringLiteral("Edge-Firewall")));
        EXPECT_FALSE(hasLabelContaining(t.content(), QStringLiteral("Edge Hardware-Firewall")));
        for (QAbstractButton* button : t.content()->findChildren<QAbstractButton*>())
            EXPECT_FALSE(button->text().startsWith(QStringLiteral("Edge Hardware-Firewall")));
        EXPECT_TRUE(hasButton(t.content(), QStringLiteral("Im IP & rDNS Manager öffnen")));
    }

    NetworkTab t({networkServer(QStringLiteral("ns1.example.net"))});
    EXPECT_TRUE(hasLabel(t.content(), QStringLiteral("Zugewiesene IP-Subnetze & Edge-Firewall")));
    EXPECT_TRUE(hasLabel(t.content(), QStringLiteral("Alle auf ns1.example.net gerouteten IPv4- und IPv6-Adressen")));
    struct Step {
        const char* press;
        bool enabled;
        const char* sentence;
        const char* shown;
        HalvoButtonVariant variant;
    };
    const Step steps[] = {
        {"Edge Hardware-Firewall: AUS", true, "Dedicated Server ns1.example.net: Network Edge Firewall aktiviert.",
         "Edge Hardware-Firewall: AKTIV", HalvoButtonVariant::success},
        {"Edge Hardware-Firewall: AKTIV", false, "Dedicated Server ns1.example.net: Network Edge Firewall deaktiviert.",
         "Edge Hardware-Firewall: AUS", HalvoButtonVariant::secondary},
    };
    EXPECT_EQ(actionButton(t.content(), QStringLiteral("Edge Hardware-Firewall: AUS"))->variant(),
              HalvoButtonVariant::secondary);
    for (const Step& step : steps) {
        click(buttonWithText(t.content(), QString::fromUtf8(step.press)));
        EXPECT_FALSE(t.v.store().pendingConfirmation().has_value()) << step.press;
        EXPECT_EQ(t.v.server(QStringLiteral("ns1.example.net")).firewallEnabled, step.enabled) << step.press;
        EXPECT_EQ(t.v.store().lastActionMessage(), QString::fromUtf8(step.sentence));
        HalvoActionButton* shown = actionButton(t.content(), QString::fromUtf8(step.shown));
        ASSERT_NE(shown, nullptr) << step.shown;
        EXPECT_EQ(shown->variant(), step.variant) << step.shown;
        EXPECT_FALSE(hasButton(t.content(), QString::fromUtf8(step.press))) << step.press;
    }
}

TEST(DedicatedNetworkTab, ManagerButtonOpensTheIPSectionAndChangesNothingElse) {
    NetworkTab t({networkServer(QStringLiteral("ns1.example.net"))});
    const auto before = t.v.store().activeSnapshot().dedicatedServers;
    const QString sentence = t.v.store().lastActionMessage();
    ASSERT_NE(t.v.store().selectedSection(), NavigationSection::ipRdns);
    click(buttonWithText(t.content(), QStringLiteral("Im IP & rDNS Manager öffnen")));
    EXPECT_EQ(t.v.store().selectedSection(), NavigationSection::ipRdns);
    EXPECT_EQ(t.v.store().activeSnapshot().dedicatedServers, before);
    EXPECT_EQ(t.v.store().lastActionMessage(), sentence);
}

TEST(DedicatedNetworkTab, MeshbayCardOnlyForCapableServers) {
    HalvoServer server = networkServer(QStringLiteral("ns1.example.net"));
    server.meshbaySupported = false;
    NetworkTab t({server});
    EXPECT_EQ(t.content()->findChild<QWidget*>(QStringLiteral("meshbayCard")), nullptr);
    EXPECT_EQ(t.meshbayField(), nullptr);
    EXPECT_FALSE(hasButton(t.content(), QStringLiteral("In Meshbay einbinden")));
    EXPECT_FALSE(hasButton(t.content(), QStringLiteral("Aus Meshbay lösen")));
    EXPECT_NE(t.content()->findChild<QWidget*>(QStringLiteral("ipCard")), nullptr);
}

TEST(DedicatedNetworkTab, AttachTrimsTheNameKeepsTheFieldAndShowsTheDetachButton) {
    HalvoServer server = networkServer(QStringLiteral("ns1.example.net"));
    server.meshbayName.reset();
    NetworkTab t({server, networkServer(QStringLiteral("ns2.example.net"))});
    EXPECT_TRUE(hasLabel(t.content(), QStringLiteral("Aktueller Meshbay-Status: Nicht zugeordnet")));
    EXPECT_FALSE(hasButton(t.content(), QStringLiteral("Aus Meshbay lösen")));
    ASSERT_NE(t.meshbayField(), nullptr);
    EXPECT_EQ(t.meshbayField()->lineEdit()->text(), QStringLiteral("pn-"));

    t.meshbayField()->lineEdit()->clear();
    t.meshbayField()->lineEdit()->insert(QStringLiteral(" \tpn-1049218  "));
    click(buttonWithText(t.content(), QStringLiteral("In Meshbay einbinden")));
    EXPECT_FALSE(t.v.store().pendingConfirmation().has_value());
    EXPECT_EQ(t.v.server(QStringLiteral("ns1.example.net")).meshbayName, QStringLiteral("pn-1049218"));
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("Dedicated Server ns1.example.net in Meshbay 'pn-1049218' eingebunden (POST "
                             "/meshbay/pn-1049218/dedicatedServer)."));
    EXPECT_TRUE(hasLabel(t.content(), QStringLiteral("Aktueller Meshbay-Status: pn-1049218")));
    EXPECT_TRUE(hasButton(t.content(), QStringLiteral("Aus Meshbay lösen")));
    EXPECT_EQ(t.meshbayField()->lineEdit()->text(), QStringLiteral(" \tpn-1049218  "));

    // The text stays with the view when another server is shown, and attaches that one.
    t.v.clickRow(1);
    EXPECT_EQ(t.meshbayField()->lineEdit()->text(), QStringLiteral(" \tpn-1049218  "));
    click(buttonWithText(t.content(), QStringLiteral("In Meshbay einbinden")));
    EXPECT_EQ(t.v.server(QStringLiteral("ns2.example.net")).meshbayName, QStringLiteral("pn-1049218"));
}

TEST(DedicatedNetworkTab, AttachWithoutANameNeverDetaches) {
    for (const QString& typed : {QString(), QStringLiteral("   "), QStringLiteral("\t")}) {
        NetworkTab t({networkServer(QStringLiteral("ns1.example.net"))});
        const QString sentence = t.v.store().lastActionMessage();
        t.meshbayField()->lineEdit()->clear();
        t.meshbayField()->lineEdit()->insert(typed);
        click(buttonWithText(t.content(), QStringLiteral("In Meshbay einbinden")));
        EXPECT_EQ(t.v.server(QStringLiteral("ns1.example.net")).meshbayName, QStringLiteral("pn-4711"));
        EXPECT_EQ(t.v.store().lastActionMessage(), sentence);
        EXPECT_FALSE(t.v.store().pendingConfirmation().has_value());
    }
}

TEST(DedicatedNetworkTab, DetachAsksFirstAndThenClearsTheMeshbay) {
    NetworkTab t({networkServer(QStringLiteral("ns1.example.net"))});
    const QString sentence = t.v.store().lastActionMessage();
    click(buttonWithText(t.content(), QStringLiteral("Aus Meshbay lösen")));
    ASSERT_TRUE(t.v.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest request = *t.v.store().pendingConfirmation();
    EXPECT_EQ(request.title, QStringLiteral("Server aus Meshbay 'pn-4711' entfernen?"));
    EXPECT_EQ(request.message, QStringLiteral("Möchtest du 'host-ns1.example.net.example.org.' wirklich aus dem "
                                              "privaten Netzwerk 'pn-4711' trennen?"));
    EXPECT_EQ(request.warningDetails, QStringLiteral("Private IP-Verbindungen über das Meshbay-Interface zu anderen "
                                                     "Servern im Cluster werden sofort unterbrochen."));
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("Aus Meshbay trennen"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::danger);
    EXPECT_FALSE(request.requireTypedConfirmation.has_value());
    EXPECT_EQ(t.v.server(QStringLiteral("ns1.example.net")).meshbayName, QStringLiteral("pn-4711"));
    EXPECT_EQ(t.v.store().lastActionMessage(), sentence);

    request.action();
    settle();
    EXPECT_FALSE(t.v.server(QStringLiteral("ns1.example.net")).meshbayName.has_value());
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("Dedicated Server ns1.example.net aus Meshbay getrennt."));
    EXPECT_TRUE(hasLabel(t.content(), QStringLiteral("Aktueller Meshbay-Status: Nicht zugeordnet")));
    EXPECT_FALSE(hasButton(t.content(), QStringLiteral("Aus Meshbay lösen")));
    // The view's input is untouched by the detach.
    EXPECT_EQ(t.meshbayField()->lineEdit()->text(), QStringLiteral("pn-"));
}

} // namespace
} // namespace halvo::test
