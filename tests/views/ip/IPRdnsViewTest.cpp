// The IP view's frame driven through its real widgets on a real store: search, selection, offered and
// shown tabs, the sidebar rows, the header card and its two actions.

#include "views/ip/IPRdnsView.h"

#include "support/QtPrinters.h"
#include "support/SectionHarness.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/Components.h"
#include "ui/HalvoSectionFrame.h"
#include "views/ip/IPBlockRowDelegate.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

using halvo::test::StoreHarness;
using halvo::theme::Tint;

namespace {

HalvoIPBlock makeBlock(const QString& cidr) {
    HalvoIPBlock b;
    b.ipBlock = cidr;
    b.type = QStringLiteral("failover");
    b.version = 4;
    b.country = QStringLiteral("DE");
    b.campus = QStringLiteral("FRA1");
    b.rir = QStringLiteral("RIPE");
    b.gateway = QStringLiteral("198.51.100.254");
    b.netmask = QStringLiteral("255.255.255.248");
    b.broadcast = QStringLiteral("198.51.100.7");
    b.mitigationMode = QStringLiteral("permanent");
    return b;
}

/// Three blocks whose searched fields differ, plus fields that must not be searched.
QList<HalvoIPBlock> searchBlocks() {
    HalvoIPBlock a = makeBlock(QStringLiteral("198.51.100.0/29"));
    a.routedToService = QStringLiteral("ns-alpha.example.net");
    a.description = QStringLiteral("Web frontend");
    a.type = QStringLiteral("additional");
    a.reverseEntries = {{QStringLiteral("198.51.100.1"), QStringLiteral("mail.example.org.")}};

    HalvoIPBlock b = makeBlock(QStringLiteral("203.0.113.16/28"));
    b.routedToService = std::nullopt;
    b.description = std::nullopt;
    b.country = QStringLiteral("Zypern");
    b.reverseEntries = {{QStringLiteral("203.0.113.17"), QStringLiteral("gw.example.com.")},
                        {QStringLiteral("203.0.113.20"), QStringLiteral("vpn.example.com.")}};

    HalvoIPBlock c = makeBlock(QStringLiteral("2001:db8:1::/64"));
    c.version = 6;
    c.type = QStringLiteral("dedicated");
    c.routedToService = QStringLiteral("");
    c.description = QStringLiteral("Backbone");
    c.gateway = QStringLiteral("2001:db8:1::1");
    return {a, b, c};
}

HalvoAccountSnapshot snapshotWith(const QList<HalvoIPBlock>& blocks) {
    HalvoAccountSnapshot s;
    s.accountId = QUuid::createUuid();
    s.updatedAt = QDateTime::currentDateTimeUtc();
    s.ipBlocks = blocks;
    return s;
}

QStringList idsOf(const QList<HalvoIPBlock>& blocks) {
    QStringList ids;
    for (const HalvoIPBlock& b : blocks)
        ids.append(b.ipBlock);
    return ids;
}

/// A button's text as the user reads it ("&&" is how a button shows one ampersand).
QString shownText(const QAbstractButton* button) {
    QString text = button->text();
    text.replace(QStringLiteral("&&"), QStringLiteral("&"));
    return text;
}

struct ViewFixture : halvo::test::SectionHarness<IPRdnsView> {
    explicit ViewFixture(const QList<HalvoIPBlock>& blocks)
        : SectionHarness(StoreHarness::withSnapshot(snapshotWith(blocks)), QSize(1200, 800)) {}

    QStringList tabTexts() {
        QStringList texts;
        for (const HalvoActionButton* button : view->frame()->tabButtons())
            texts.append(shownText(button));
        return texts;
    }
    /// The index of the tab button drawn as the shown one (primary), or -1 when none or several are.
    int primaryTab() {
        int found = -1;
        const QList<HalvoActionButton*> buttons = view->frame()->tabButtons();
        for (qsizetype i = 0; i < buttons.size(); ++i) {
            if (buttons[i]->variant() == HalvoButtonVariant::primary) {
                if (found >= 0)
                    return -1;
                found = int(i);
            }
        }
        return found;
    }
    QString headerTitle() {
        const QLabel* title = view->frame()->header()
                                  ? view->frame()->header()->findChild<QLabel*>(QStringLiteral("ipBlockTitle"))
                                  : nullptr;
        return title ? title->text() : QString();
    }
    QStringList headerTexts() { return halvo::test::labelTexts(view->frame()->header()); }
    QList<HalvoStatusBadge*> badges() { return view->frame()->header()->findChildren<HalvoStatusBadge*>(); }
};

} // namespace

// ---- tabs enumeration ----

TEST(IPManagerSubTabTest, RawValuesRoundTripAndNothingElseParses) {
    const QStringList titles{
        QStringLiteral("IP-Details & Reverse-DNS (PTR)"), QStringLiteral("Virtual MAC & Failover-Routing"),
        QStringLiteral("Edge-Firewall & Anti-DDoS Tidewall"), QStringLiteral("Game-Firewall & Entsperrung")};
    ASSERT_EQ(kAllIPManagerSubTabs.size(), size_t(titles.size()));
    for (size_t i = 0; i < kAllIPManagerSubTabs.size(); ++i) {
        EXPECT_EQ(rawValue(kAllIPManagerSubTabs[i]), titles[qsizetype(i)]);
        EXPECT_EQ(id(kAllIPManagerSubTabs[i]), titles[qsizetype(i)]);
        EXPECT_EQ(ipManagerSubTabFromRawValue(titles[qsizetype(i)]), kAllIPManagerSubTabs[i]);
    }
    for (const QString& wrong : {QStringLiteral(""), QStringLiteral("ip-details & reverse-dns (ptr)"),
                                 QStringLiteral("1. IP-Details & Reverse-DNS (PTR)"),
                                 QStringLiteral("Game-Firewall & Entsperrung "), QStringLiteral("edgeFirewall")}) {
        EXPECT_FALSE(ipManagerSubTabFromRawValue(wrong).has_value()) << wrong.toStdString();
    }
}

// ---- search ----

struct SearchCase {
    const char* name;
    QString search;
    QStringList expected;
};

TEST(IPRdnsViewTest, SearchNarrowsTheListOverItsFieldsOnly) {
    const QString a = QStringLiteral("198.51.100.0/29");
    const QString b = QStringLiteral("203.0.113.16/28");
    const QString c = QStringLiteral("2001:db8:1::/64");
    const QList<SearchCase> cases{
        {"empty search lists all in stored order", QString(), {a, b, c}},
        {"part of the block", QStringLiteral("113.16"), {b}},
        {"block, case-insensitive", QStringLiteral("DB8"), {c}},
        {"routed service", QStringLiteral("NS-ALPHA"), {a}},
        {"description", QStringLiteral("backbone"), {c}},
        {"reverse host name", QStringLiteral("vpn.example"), {b}},
        {"reverse address", QStringLiteral("203.0.113.20"), {b}},
        {"reverse entries of several blocks", QStringLiteral("example."), {a, b}},
        {"one blank is a real search", QStringLiteral(" "), {a}},
        {"type is not searched", QStringLiteral("additional"), {}},
        {"country is not searched", QStringLiteral("Zypern"), {}},
        {"gateway is not searched", QStringLiteral("254"), {}},
        {"netmask is not searched", QStringLiteral("255.255"), {}},
        {"mitigation is not searched", QStringLiteral("permanent"), {}},
    };
    ViewFixture f(searchBlocks());
    for (const SearchCase& sc : cases) {
        SCOPED_TRACE(sc.name);
        f.store().setSearchText(sc.search);
        halvo::test::settle();
        EXPECT_EQ(idsOf(f.view->filteredBlocks()), sc.expected);
        EXPECT_EQ(f.view->frame()->sidebarTitleLabel()->text(),
                  QStringLiteral("IP-Blöcke (") + QString::number(sc.expected.size()) + QLatin1Char(')'));
        EXPECT_EQ(f.list()->model()->rowCount(), sc.expected.size());
        EXPECT_EQ(f.view->frame()->isListEmpty(), sc.expected.isEmpty());
        EXPECT_EQ(f.view->frame()->isShowingPlaceholder(), sc.expected.isEmpty());
        if (!sc.expected.isEmpty()) {
            EXPECT_EQ(f.headerTitle(), sc.expected.first());
        }
    }
}

TEST(IPRdnsViewTest, SearchFollowsAChangedRecordWhileTheSearchTextStays) {
    // The search keys of a block are kept between key presses; a change of the block's texts must reach them.
    const QString a = QStringLiteral("198.51.100.0/29");
    const QString c = QStringLiteral("2001:db8:1::/64");
    ViewFixture f(searchBlocks());
    f.store().setSearchText(QStringLiteral("STRASSE"));
    halvo::test::settle();
    EXPECT_TRUE(idsOf(f.view->filteredBlocks()).isEmpty());
    f.store().updateIPBlockDescription(a, QStringLiteral("Rechenzentrum Hafenstraße"));
    halvo::test::settle();
    EXPECT_EQ(idsOf(f.view->filteredBlocks()), QStringList{a});
    EXPECT_EQ(f.list()->model()->rowCount(), 1);
    EXPECT_EQ(f.headerTitle(), a);
    f.store().updateIPBlockDescription(c, QStringLiteral("STRASSE 2"));
    halvo::test::settle();
    EXPECT_EQ(idsOf(f.view->filteredBlocks()), (QStringList{a, c}));
    EXPECT_EQ(f.list()->model()->rowCount(), 2);
    f.store().updateIPBlockDescription(a, QStringLiteral("Backbone"));
    halvo::test::settle();
    EXPECT_EQ(idsOf(f.view->filteredBlocks()), QStringList{c});
    EXPECT_EQ(f.list()->model()->rowCount(), 1);
}

TEST(IPRdnsViewTest, EmptySnapshotShowsEmptyStateAndPlaceholder) {
    ViewFixture f({});
    EXPECT_EQ(f.view->frame()->sidebarTitleLabel()->text(), QStringLiteral("IP-Blöcke (0)"));
    EXPECT_TRUE(f.view->frame()->isListEmpty());
    EXPECT_TRUE(f.view->frame()->isShowingPlaceholder());
    EXPECT_FALSE(f.view->selectedBlock().has_value());
    EXPECT_TRUE(halvo::test::hasLabel(f.view.get(), QStringLiteral("Keine IP-Blöcke geladen")));
    EXPECT_TRUE(halvo::test::hasLabel(f.view.get(), QStringLiteral("Kein IP-Block ausgewählt")));
}

// ---- selection ----

TEST(IPRdnsViewTest, ShowsFirstBlockUnhighlightedUntilTheUserSelects) {
    ViewFixture f(searchBlocks());
    EXPECT_EQ(f.headerTitle(), QStringLiteral("198.51.100.0/29"));
    EXPECT_FALSE(f.list()->selectionModel()->hasSelection());
    EXPECT_FALSE(f.view->state().selectedBlockId.has_value());

    f.clickRow(2);
    ASSERT_TRUE(f.view->state().selectedBlockId.has_value());
    EXPECT_EQ(*f.view->state().selectedBlockId, QStringLiteral("2001:db8:1::/64"));
    EXPECT_EQ(f.headerTitle(), QStringLiteral("2001:db8:1::/64"));
    EXPECT_EQ(f.list()->currentIndex().row(), 2);
}

TEST(IPRdnsViewTest, SelectionHiddenBySearchFallsBackWithoutBeingForgotten) {
    ViewFixture f(searchBlocks());
    f.clickRow(2);

    // Hides the selected IPv6 block; the first kept block stands in, nothing highlighted.
    f.store().setSearchText(QStringLiteral("example"));
    halvo::test::settle();
    EXPECT_EQ(f.headerTitle(), QStringLiteral("198.51.100.0/29"));
    EXPECT_EQ(f.view->selectedBlock()->ipBlock, QStringLiteral("198.51.100.0/29"));
    EXPECT_EQ(*f.view->state().selectedBlockId, QStringLiteral("2001:db8:1::/64"));
    EXPECT_FALSE(f.list()->selectionModel()->hasSelection());

    f.store().setSearchText(QString());
    halvo::test::settle();
    EXPECT_EQ(f.headerTitle(), QStringLiteral("2001:db8:1::/64"));
    EXPECT_EQ(f.list()->currentIndex().row(), 2);
}

// ---- tabs ----

struct TabCase {
    const char* name;
    bool virtualMac;
    bool canMove;
    bool game;
    QStringList arp;
    QStringList spam;
    QList<IPManagerSubTab> expected;
};

TEST(IPRdnsViewTest, OffersTabsByCapabilityNumberedByPosition) {
    using T = IPManagerSubTab;
    const QStringList blocked{QStringLiteral("198.51.100.3")};
    const QList<TabCase> cases{
        {"nothing extra", false, false, false, {}, {}, {T::subnetAndRdns, T::edgeFirewall}},
        {"virtual MAC", true, false, false, {}, {}, {T::subnetAndRdns, T::vmacAndMove, T::edgeFirewall}},
        {"failover move", false, true, false, {}, {}, {T::subnetAndRdns, T::vmacAndMove, T::edgeFirewall}},
        {"game mitigation", false, false, true, {}, {}, {T::subnetAndRdns, T::edgeFirewall, T::gameAndSecurity}},
        {"ARP-blocked address",
         false,
         false,
         false,
         blocked,
         {},
         {T::subnetAndRdns, T::edgeFirewall, T::gameAndSecurity}},
        {"spam-blocked address",
         false,
         false,
         false,
         {},
         blocked,
         {T::subnetAndRdns, T::edgeFirewall, T::gameAndSecurity}},
        {"everything",
         true,
         true,
         true,
         blocked,
         blocked,
         {T::subnetAndRdns, T::vmacAndMove, T::edgeFirewall, T::gameAndSecurity}},
    };
    QList<HalvoIPBlock> blocks;
    for (qsizetype i = 0; i < cases.size(); ++i) {
        HalvoIPBlock b = makeBlock(QStringLiteral("198.51.100.%1/32").arg(i));
        b.virtualMacSupported = cases[i].virtualMac;
        b.canMoveFailover = cases[i].canMove;
        b.gameMitigationSupported = cases[i].game;
        b.arpBlockedIPs = cases[i].arp;
        b.spamBlockedIPs = cases[i].spam;
        blocks.append(b);
    }
    ViewFixture f(blocks);
    for (qsizetype i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(IPRdnsView::availableTabs(blocks[i]), cases[i].expected);
        f.clickRow(int(i));
        QStringList expectedTexts;
        for (qsizetype k = 0; k < cases[i].expected.size(); ++k)
            expectedTexts.append(QString::number(k + 1) + QStringLiteral(". ") + rawValue(cases[i].expected[k]));
        EXPECT_EQ(f.tabTexts(), expectedTexts);
        EXPECT_EQ(f.primaryTab(), 0);
    }
}

TEST(IPRdnsViewTest, ChosenTabComesBackOnBlocksThatOfferIt) {
    HalvoIPBlock game = makeBlock(QStringLiteral("198.51.100.8/29"));
    game.gameMitigationSupported = true;
    HalvoIPBlock plain = makeBlock(QStringLiteral("198.51.100.16/29"));
    ViewFixture f({game, plain});

    ASSERT_EQ(f.tabTexts().value(2), QStringLiteral("3. Game-Firewall & Entsperrung"));
    halvo::test::click(f.view->frame()->tabButtons().value(2));
    EXPECT_EQ(f.view->state().activeTab, IPManagerSubTab::gameAndSecurity);
    EXPECT_EQ(f.primaryTab(), 2);
    EXPECT_EQ(f.view->frame()->content()->property("tabTitle").toString(), rawValue(IPManagerSubTab::gameAndSecurity));

    f.clickRow(1); // offers no game tab: the details tab is shown, the choice is kept
    EXPECT_EQ(f.view->state().activeTab, IPManagerSubTab::gameAndSecurity);
    EXPECT_EQ(f.view->effectiveTab(plain), IPManagerSubTab::subnetAndRdns);
    EXPECT_EQ(f.primaryTab(), 0);
    EXPECT_EQ(f.view->frame()->content()->property("tabTitle").toString(), rawValue(IPManagerSubTab::subnetAndRdns));

    f.clickRow(0);
    EXPECT_EQ(f.primaryTab(), 2);
    EXPECT_EQ(f.view->frame()->content()->property("tabTitle").toString(), rawValue(IPManagerSubTab::gameAndSecurity));

    // The edge-firewall tab is number 2 on a block without the MAC tab.
    halvo::test::click(f.view->frame()->tabButtons().value(1));
    EXPECT_EQ(f.view->state().activeTab, IPManagerSubTab::edgeFirewall);
    EXPECT_EQ(f.primaryTab(), 1);
}

// ---- sidebar rows ----

TEST(IPBlockRowContentTest, RowLinesFollowTheBlock) {
    HalvoIPBlock b = makeBlock(QStringLiteral("198.51.100.0/29"));
    b.routedToService = QStringLiteral("srv-17.example.net");
    b.mitigationMode = QStringLiteral("auto");
    b.reverseEntries = {{QStringLiteral("198.51.100.1"), QStringLiteral("a.example.")},
                        {QStringLiteral("198.51.100.2"), QStringLiteral("b.example.")}};
    const IPBlockRowContent c = IPBlockRowContent::of(b);
    EXPECT_EQ(c.ipBlock, b.ipBlock);
    EXPECT_EQ(c.typeText, QStringLiteral("FAILOVER"));
    EXPECT_EQ(c.service, std::optional<QString>(QStringLiteral("srv-17.example.net")));
    EXPECT_EQ(c.reverseCountText, QStringLiteral("2 rDNS (PTR)"));
    EXPECT_EQ(c.mitigationText, QStringLiteral("Tidewall: AUTO"));

    for (const std::optional<QString>& none : {std::optional<QString>(), std::optional<QString>(QString())}) {
        b.routedToService = none;
        EXPECT_FALSE(IPBlockRowContent::of(b).service.has_value());
    }
}

TEST(IPBlockRowContentTest, VersionSymbolAndTypeBadgeColours) {
    struct Case {
        qint64 version;
        QString type;
        QString symbol;
        Tint versionTint;
        Tint typeTint;
        qreal opacity;
    };
    const QList<Case> cases{
        {6, QStringLiteral("failover"), QStringLiteral("6.circle.fill"), Tint::indigo, Tint::orange, 0.20},
        {4, QStringLiteral("failover"), QStringLiteral("4.circle.fill"), Tint::blue, Tint::orange, 0.20},
        {0, QStringLiteral("FAILOVER"), QStringLiteral("4.circle.fill"), Tint::blue, Tint::blue, 0.16},
        {5, QStringLiteral("Failover"), QStringLiteral("4.circle.fill"), Tint::blue, Tint::blue, 0.16},
        {4, QStringLiteral("dedicated"), QStringLiteral("4.circle.fill"), Tint::blue, Tint::blue, 0.16},
    };
    for (const Case& tc : cases) {
        SCOPED_TRACE(tc.type.toStdString() + " v" + std::to_string(tc.version));
        HalvoIPBlock b = makeBlock(QStringLiteral("198.51.100.0/29"));
        b.version = tc.version;
        b.type = tc.type;
        const IPBlockRowContent c = IPBlockRowContent::of(b);
        EXPECT_EQ(c.versionSymbol, tc.symbol);
        EXPECT_EQ(c.versionTint, tc.versionTint);
        EXPECT_EQ(c.typeText, tc.type.toUpper());
        EXPECT_EQ(c.typeTint, tc.typeTint);
        EXPECT_DOUBLE_EQ(c.typeBackgroundOpacity, tc.opacity);
    }
}

namespace {

/// How many pixels at the trailing end of the painted row (where the type badge sits, away from the version
/// symbol) carry the badge fill of the tint blended over the white row.
int badgePixels(const HalvoIPBlock& block, Tint tint, qreal opacity) {
    HalvoRecordListModel<HalvoIPBlock> model([](const HalvoIPBlock& b) { return b.ipBlock; });
    model.setItems({block});
    IPBlockRowDelegate delegate(&model);
    QStyleOptionViewItem option;
    const QModelIndex index = model.index(0, 0);
    option.rect = QRect(0, 0, 320, 10);
    option.rect.setHeight(delegate.sizeHint(option, index).height());
    QImage image(option.rect.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, option, index);
    painter.end();

    const QColor fill = halvo::theme::color(tint);
    const auto blend = [opacity](int c) { return int(std::lround(255 * (1 - opacity) + c * opacity)); };
    const QColor expected(blend(fill.red()), blend(fill.green()), blend(fill.blue()));
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = image.width() * 2 / 3; x < image.width(); ++x) {
            const QColor px = image.pixelColor(x, y);
            if (std::abs(px.red() - expected.red()) <= 2 && std::abs(px.green() - expected.green()) <= 2 &&
                std::abs(px.blue() - expected.blue()) <= 2)
                ++count;
        }
    }
    return count;
}

} // namespace

TEST(IPBlockRowDelegateTest, PaintsTheFailoverBadgeOrangeAndOthersBlue) {
    HalvoIPBlock failover = makeBlock(QStringLiteral("198.51.100.0/29"));
    HalvoIPBlock other = failover;
    other.type = QStringLiteral("FAILOVER");
    EXPECT_GT(badgePixels(failover, Tint::orange, 0.20), 20);
    EXPECT_EQ(badgePixels(failover, Tint::blue, 0.16), 0);
    EXPECT_GT(badgePixels(other, Tint::blue, 0.16), 20);
    EXPECT_EQ(badgePixels(other, Tint::orange, 0.20), 0);
}

TEST(IPBlockRowDelegateTest, RowsHaveOneHeightWithRoomForTheServiceLine) {
    HalvoRecordListModel<HalvoIPBlock> model([](const HalvoIPBlock& b) { return b.ipBlock; });
    HalvoIPBlock plain = makeBlock(QStringLiteral("198.51.100.0/29"));
    HalvoIPBlock routed = makeBlock(QStringLiteral("198.51.100.8/29"));
    routed.routedToService = QStringLiteral("srv-1.example.net");
    HalvoIPBlock emptyRoute = makeBlock(QStringLiteral("198.51.100.16/29"));
    emptyRoute.routedToService = QString();
    model.setItems({plain, routed, emptyRoute});
    IPBlockRowDelegate delegate(&model);
    QStyleOptionViewItem option;
    // The sidebar lays out uniform rows: one height, tall enough for the address, service and status lines.
    const int height = delegate.sizeHint(option, model.index(0, 0)).height();
    EXPECT_EQ(delegate.sizeHint(option, model.index(1, 0)).height(), height);
    EXPECT_EQ(delegate.sizeHint(option, model.index(2, 0)).height(), height);
    const QFontMetrics detail(halvo::theme::font(halvo::theme::TextStyle::caption2));
    const QFontMetrics address(
        halvo::theme::font(halvo::theme::TextStyle::subheadline, halvo::theme::Weight::bold, true));
    EXPECT_GE(height, address.height() + 2 * detail.height());
}

// ---- header card ----

TEST(IPRdnsViewTest, HeaderShowsBadgesAndConditionalFacts) {
    HalvoIPBlock full = makeBlock(QStringLiteral("198.51.100.0/29"));
    full.routedToService = QStringLiteral("srv-17.example.net");
    full.mitigationMode = QStringLiteral("auto");
    full.arpBlockedIPs = {QStringLiteral("198.51.100.3")};

    HalvoIPBlock sparse = makeBlock(QStringLiteral("2001:db8::/56"));
    sparse.version = 6;
    sparse.type = QStringLiteral("dedicated");
    sparse.routedToService = QString();
    sparse.gateway = kNoValue;
    sparse.country = kNoValue;

    HalvoIPBlock blankGateway = makeBlock(QStringLiteral("203.0.113.0/24"));
    blankGateway.gateway = QString();
    blankGateway.country = std::nullopt;
    blankGateway.spamBlockedIPs = {QStringLiteral("203.0.113.9")};

    ViewFixture f({full, sparse, blankGateway});

    // Every block: the facts shown in order, and the badges (text, tint).
    struct Expect {
        QStringList facts;
        QList<std::pair<QString, Tint>> badges;
    };
    const QList<Expect> expected{
        {{QStringLiteral("Service: srv-17.example.net"), QStringLiteral("Netzmaske: 255.255.255.248"),
          QStringLiteral("Gateway: 198.51.100.254"), QStringLiteral("Land: DE")},
         {{QStringLiteral("IPv4 FAILOVER"), Tint::blue},
          {QStringLiteral("Tidewall: AUTO"), Tint::green},
          {QStringLiteral("SPERRE AKTIV"), Tint::red}}},
        {{QStringLiteral("Netzmaske: 255.255.255.248")},
         {{QStringLiteral("IPv6 DEDICATED"), Tint::blue}, {QStringLiteral("Tidewall: PERMANENT"), Tint::green}}},
        {{QStringLiteral("Netzmaske: 255.255.255.248"), QStringLiteral("Gateway: ")},
         {{QStringLiteral("IPv4 FAILOVER"), Tint::blue},
          {QStringLiteral("Tidewall: PERMANENT"), Tint::green},
          {QStringLiteral("SPERRE AKTIV"), Tint::red}}},
    };
    const QStringList prefixes{QStringLiteral("Service: "), QStringLiteral("Netzmaske: "), QStringLiteral("Gateway: "),
                               QStringLiteral("Land: ")};
    for (int i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        f.clickRow(i);
        QStringList facts;
        for (const QString& text : f.headerTexts()) {
            for (const QString& prefix : prefixes) {
                if (text.startsWith(prefix))
                    facts.append(text);
            }
        }
        EXPECT_EQ(facts, expected[i].facts);
        QList<std::pair<QString, Tint>> badges;
        for (const HalvoStatusBadge* badge : f.badges())
            badges.append({badge->text(), badge->tint()});
        EXPECT_EQ(badges, expected[i].badges);
    }
}

TEST(IPRdnsViewTest, CopyButtonPutsTheBlockOnTheClipboard) {
    HalvoIPBlock b = makeBlock(QStringLiteral("2001:db8:40::/48"));
    ViewFixture f({makeBlock(QStringLiteral("198.51.100.0/29")), b});
    f.clickRow(1);
    QApplication::clipboard()->setText(QStringLiteral("vorher"));
    halvo::test::click(halvo::test::buttonWithText(f.view.get(), QStringLiteral("CIDR Subnetz kopieren")));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("2001:db8:40::/48"));
    EXPECT_EQ(f.store().lastActionMessage(),
              QStringLiteral("IP-Subnetz 2001:db8:40::/48 in die Zwischenablage kopiert."));
}

TEST(IPRdnsViewTest, FirewallSwitchFlipsTheShownBlock) {
    HalvoIPBlock first = makeBlock(QStringLiteral("198.51.100.0/29"));
    first.firewallEnabled = false;
    HalvoIPBlock shown = makeBlock(QStringLiteral("203.0.113.0/28"));
    shown.firewallEnabled = true;
    ViewFixture f({first, shown});
    f.clickRow(1);

    const auto blockNamed = [&f](const QString& id) {
        for (const HalvoIPBlock& b : f.store().activeSnapshot().ipBlocks) {
            if (b.ipBlock == id)
                return b;
        }
        ADD_FAILURE() << "no block " << id.toStdString();
        return HalvoIPBlock();
    };
    auto* on = qobject_cast<HalvoActionButton*>(
        halvo::test::buttonWithText(f.view.get(), QStringLiteral("Edge-Firewall: AKTIV")));
    ASSERT_NE(on, nullptr);
    EXPECT_EQ(on->variant(), HalvoButtonVariant::success);

    halvo::test::click(on);
    EXPECT_FALSE(blockNamed(shown.ipBlock).firewallEnabled);
    EXPECT_FALSE(blockNamed(first.ipBlock).firewallEnabled);
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("IP-Block 203.0.113.0/28: Edge-Firewall deaktiviert."));
    EXPECT_FALSE(halvo::test::hasButton(f.view.get(), QStringLiteral("Edge-Firewall: AKTIV")));
    auto* off = qobject_cast<HalvoActionButton*>(
        halvo::test::buttonWithText(f.view.get(), QStringLiteral("Edge-Firewall: AUS")));
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->variant(), HalvoButtonVariant::secondary);
    EXPECT_FALSE(f.store().pendingConfirmation().has_value());

    halvo::test::click(off);
    EXPECT_TRUE(blockNamed(shown.ipBlock).firewallEnabled);
    EXPECT_EQ(f.store().lastActionMessage(), QStringLiteral("IP-Block 203.0.113.0/28: Edge-Firewall aktiviert."));
    EXPECT_TRUE(halvo::test::hasButton(f.view.get(), QStringLiteral("Edge-Firewall: AKTIV")));
}

TEST(IPRdnsViewTest, ChangeToAnotherBlockKeepsTheShownDetail) {
    HalvoIPBlock shown = makeBlock(QStringLiteral("198.51.100.0/29"));
    HalvoIPBlock other = makeBlock(QStringLiteral("203.0.113.0/28"));
    ViewFixture f({shown, other});
    const QWidget* header = f.view->frame()->header();
    const QWidget* content = f.view->frame()->content();
    ASSERT_NE(header, nullptr);

    f.store().toggleEdgeFirewall(other.ipBlock);
    halvo::test::settle();
    EXPECT_EQ(f.view->frame()->header(), header);
    EXPECT_EQ(f.view->frame()->content(), content);

    f.store().toggleEdgeFirewall(shown.ipBlock);
    halvo::test::settle();
    EXPECT_NE(f.view->frame()->header(), header);
    EXPECT_TRUE(halvo::test::hasButton(f.view.get(), QStringLiteral("Edge-Firewall: AKTIV")));
}

TEST(IPRdnsViewTest, EverySymbolDrawnIsInTheIconTable) {
    halvo::theme::clearUnknownSymbolsRequested();
    HalvoIPBlock v4 = makeBlock(QStringLiteral("198.51.100.0/29"));
    v4.routedToService = QStringLiteral("srv-1.example.net");
    v4.virtualMacSupported = true;
    v4.gameMitigationSupported = true;
    v4.arpBlockedIPs = {QStringLiteral("198.51.100.2")};
    HalvoIPBlock v6 = makeBlock(QStringLiteral("2001:db8::/56"));
    v6.version = 6;
    ViewFixture f({v4, v6});
    f.view->grab();
    f.clickRow(1);
    f.view->grab();
    f.store().setSearchText(QStringLiteral("nichts"));
    halvo::test::settle();
    f.view->grab();
    EXPECT_EQ(halvo::theme::unknownSymbolsRequested(), QStringList());
}
