// The VPS section's frame: list, search, selection, header band, value tiles and the console sheet.

#include "VPSTestSupport.h"
#include "store/AppStateStore.h"
#include "ui/HalvoSectionFrame.h"
#include "ui/Theme.h"
#include "views/vps/VPSRowDelegate.h"

#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QListView>
#include <QPointer>

#include <gtest/gtest.h>

using namespace halvo::test;
using namespace halvo::test::vps;
using halvo::theme::Tint;

namespace {

QStringList names(const QList<HalvoVPS>& list) {
    QStringList result;
    for (const HalvoVPS& vps : list)
        result.append(vps.name);
    return result;
}

void clickRow(VPSView& view, int row) {
    QListView* list = view.frame()->listView();
    const QModelIndex index = list->model()->index(row, 0);
    list->scrollTo(index);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    settle();
}

QString sidebarTitle(const VPSView& view) {
    return view.frame()->sidebarTitleLabel()->text();
}

QList<HalvoVPS> threeVPS() {
    HalvoVPS alpha = makeVPS(QStringLiteral("vps-1a2b3c.example.net"), QStringLiteral("Alpha Web"));
    alpha.ipv4 = QStringLiteral("203.0.113.21");
    alpha.ipv6 = QStringLiteral("2001:db8:77::21");
    HalvoVPS beta =
        makeVPS(QStringLiteral("vps-4d5e6f.example.net"), QStringLiteral("Beta Mail"), QStringLiteral("stopped"));
    beta.ipv4 = QStringLiteral("198.51.100.7");
    beta.zone = QStringLiteral("Region CA-BHS");
    HalvoVPS gamma =
        makeVPS(QStringLiteral("vps-7a8b9c.example.net"), QStringLiteral("Gamma Build"), QStringLiteral("rescued"));
    gamma.ipv4 = QStringLiteral("192.0.2.99");
    gamma.modelName = QStringLiteral("vps-elite-8-16-320");
    return {alpha, beta, gamma};
}

} // namespace

TEST(VPSViewFrame, StartsWithTheDefaultInputState) {
    ShownVPSView shown(threeVPS());
    const VPSView::State& state = shown.view->state();
    EXPECT_FALSE(state.selectedVPSName.has_value());
    EXPECT_EQ(state.snapshotNote, QStringLiteral("Pre-Maintenance Snapshot"));
    EXPECT_EQ(state.selectedReinstallOS, QStringLiteral("Debian 12 (Bookworm) 64-bit"));
    EXPECT_EQ(state.sshKeyInput, QString());
    EXPECT_FALSE(state.showKVMModal);
    EXPECT_EQ(
        shown.view->availableImages(),
        (QStringList{QStringLiteral("Debian 12 (Bookworm) 64-bit"), QStringLiteral("Ubuntu 24.04 LTS (Noble Numbat)"),
                     QStringLiteral("AlmaLinux 9 64-bit"), QStringLiteral("Rocky Linux 9 64-bit"),
                     QStringLiteral("Fedora 41 Cloud"), QStringLiteral("Docker Engine on Ubuntu 24.04"),
                     QStringLiteral("Plesk Obsidian on AlmaLinux 9"), QStringLiteral("cPanel & WHM on AlmaLinux 9")}));
    // Without a choice the first VPS is shown, no row is highlighted, and the choice stays unset.
    EXPECT_EQ(sidebarTitle(*shown.view), QStringLiteral("VPS Instanzen (3)"));
    EXPECT_TRUE(hasLabel(shown.header(), QStringLiteral("Alpha Web")));
    EXPECT_TRUE(shown.view->frame()->listView()->selectionModel()->selectedIndexes().isEmpty());
    EXPECT_FALSE(shown.view->state().selectedVPSName.has_value());
}

TEST(VPSViewFrame, AccountWithoutVPSShowsEmptyStateAndPlaceholder) {
    ShownVPSView shown({});
    EXPECT_EQ(sidebarTitle(*shown.view), QStringLiteral("VPS Instanzen (0)"));
    EXPECT_TRUE(shown.view->frame()->isListEmpty());
    EXPECT_TRUE(shown.view->frame()->isShowingPlaceholder());
    EXPECT_FALSE(shown.view->selectedVPS().has_value());
}

TEST(VPSViewSearch, MatchesNameDisplayNameAndIPv4Only) {
    struct Case {
        const char* search;
        QStringList expected;
    };
    const QString a = QStringLiteral("vps-1a2b3c.example.net");
    const QString b = QStringLiteral("vps-4d5e6f.example.net");
    const QString c = QStringLiteral("vps-7a8b9c.example.net");
    const Case cases[] = {
        {"", {a, b, c}},
        {"BETA", {b}},       // display name, any case
        {"7A8B", {c}},       // name, any case
        {"203.0.113", {a}},  // part of the IPv4 address
        {"2001:db8:77", {}}, // only in an IPv6 address
        {"CA-BHS", {}},      // only in the zone
        {"elite", {}},       // only in the model name
        {" Mail", {b}},      // the search text is not trimmed: the blank belongs to it
        {" Alpha", {}},      //   ... so it no longer matches "Alpha Web"
        {"example.net", {a, b, c}},
    };
    ShownVPSView shown(threeVPS());
    for (const Case& testCase : cases) {
        const QString search = QString::fromUtf8(testCase.search);
        SCOPED_TRACE(testCase.search);
        shown.store().setSearchText(search);
        settle();
        EXPECT_EQ(names(shown.view->filteredVPS()), testCase.expected);
        EXPECT_EQ(shown.view->frame()->listView()->model()->rowCount(), testCase.expected.size());
        EXPECT_EQ(sidebarTitle(*shown.view),
                  QStringLiteral("VPS Instanzen (") + QString::number(testCase.expected.size()) + QStringLiteral(")"));
        EXPECT_EQ(shown.view->frame()->isListEmpty(), testCase.expected.isEmpty());
        EXPECT_EQ(shown.view->frame()->isShowingPlaceholder(), testCase.expected.isEmpty());
    }
}

TEST(VPSViewSelection, ClickedRowIsShownAndSurvivesAHidingSearch) {
    ShownVPSView shown(threeVPS());
    clickRow(*shown.view, 2);
    ASSERT_EQ(shown.view->state().selectedVPSName, std::optional<QString>(QStringLiteral("vps-7a8b9c.example.net")));
    EXPECT_TRUE(hasLabel(shown.header(), QStringLiteral("Gamma Build")));
    EXPECT_EQ(shown.view->selectedVPS()->name, QStringLiteral("vps-7a8b9c.example.net"));
    EXPECT_FALSE(hasLabel(shown.header(), QStringLiteral("Alpha Web")));

    // A search that hides the chosen VPS shows the first match, but keeps the choice.
    shown.store().setSearchText(QStringLiteral("Beta"));
    settle();
    EXPECT_EQ(shown.view->selectedVPS()->name, QStringLiteral("vps-4d5e6f.example.net"));
    EXPECT_TRUE(hasLabel(shown.header(), QStringLiteral("Beta Mail")));
    EXPECT_TRUE(shown.view->frame()->listView()->selectionModel()->selectedIndexes().isEmpty())
        << "the fallback is not highlighted";
    EXPECT_EQ(shown.view->state().selectedVPSName, std::optional<QString>(QStringLiteral("vps-7a8b9c.example.net")));

    shown.store().setSearchText(QString());
    settle();
    EXPECT_TRUE(hasLabel(shown.header(), QStringLiteral("Gamma Build")));
    EXPECT_EQ(shown.view->frame()->listView()->currentIndex().row(), 2);
}

TEST(VPSViewSelection, AClickOnTheFallbackRowStoresItsVPS) {
    // Search, click the only match (which the detail already shows as the fallback), clear the search: the
    // clicked VPS stays shown.
    ShownVPSView shown(threeVPS());
    QListView* list = shown.view->frame()->listView();
    shown.store().setSearchText(QStringLiteral("Gamma"));
    settle();
    ASSERT_EQ(list->model()->rowCount(), 1);
    EXPECT_TRUE(hasLabel(shown.header(), QStringLiteral("Gamma Build")));
    EXPECT_TRUE(list->selectionModel()->selectedIndexes().isEmpty());
    clickRow(*shown.view, 0);
    EXPECT_EQ(shown.view->state().selectedVPSName, std::optional<QString>(QStringLiteral("vps-7a8b9c.example.net")));
    EXPECT_EQ(list->selectionModel()->selectedIndexes().size(), 1);

    shown.store().setSearchText(QString());
    settle();
    EXPECT_TRUE(hasLabel(shown.header(), QStringLiteral("Gamma Build")));
    EXPECT_FALSE(hasLabel(shown.header(), QStringLiteral("Alpha Web")));
    ASSERT_EQ(list->selectionModel()->selectedIndexes().size(), 1);
    EXPECT_EQ(list->selectionModel()->selectedIndexes().first().row(), 2);

    // Without a search, the first row (shown as the fallback before any choice) is stored when clicked too.
    ShownVPSView fresh(threeVPS());
    clickRow(*fresh.view, 0);
    EXPECT_EQ(fresh.view->state().selectedVPSName, std::optional<QString>(QStringLiteral("vps-1a2b3c.example.net")));
}

TEST(VPSViewHeader, ShowsNameBadgesAndServiceLine) {
    HalvoVPS vps =
        makeVPS(QStringLiteral("vps-0f0f0f.example.net"), QStringLiteral("Delta Shop"), QStringLiteral("rescued"));
    vps.netbootMode = QStringLiteral("rescue");
    vps.modelName = QStringLiteral("vps-starter-1-2-40");
    vps.zone = QStringLiteral("Region PL-WAW");
    ShownVPSView shown({vps});

    EXPECT_TRUE(hasLabel(shown.header(), QStringLiteral("Delta Shop")));
    EXPECT_TRUE(hasLabel(shown.header(), QStringLiteral("Service-ID: vps-0f0f0f.example.net • Modell: "
                                                        "vps-starter-1-2-40 • Zone: Region PL-WAW")));
    QStringList badges;
    for (HalvoStatusBadge* badge : shown.header()->findChildren<HalvoStatusBadge*>()) {
        badges.append(badge->text());
        if (badge->text() == QStringLiteral("RESCUED")) {
            EXPECT_EQ(badge->tint(), Tint::orange);
        } else {
            EXPECT_EQ(badge->tint(), Tint::blue);
        }
    }
    EXPECT_EQ(badges, (QStringList{QStringLiteral("RESCUED"), QStringLiteral("BOOT: RESCUE")}));
    EXPECT_NE(buttonWithText(shown.header(), QStringLiteral("KVM / VNC WebSocket Konsole öffnen")), nullptr);
}

TEST(VPSViewStateColours, DotAndBadgeFollowTheState) {
    struct Case {
        const char* state;
        Tint dot;
        Tint badge;
    };
    const Case cases[] = {
        {"running", Tint::green, Tint::green}, {"rescued", Tint::orange, Tint::orange},
        {"stopped", Tint::red, Tint::orange},  {"installing", Tint::red, Tint::orange},
        {"Running", Tint::red, Tint::orange}, // states are compared exactly
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.state);
        const QString state = QString::fromUtf8(testCase.state);
        const HalvoVPS vps = makeVPS(QStringLiteral("vps-colour.example.net"), QStringLiteral("Colour"), state);
        ShownVPSView shown({vps});

        const auto headerBadges = shown.header()->findChildren<HalvoStatusBadge*>();
        ASSERT_FALSE(headerBadges.isEmpty());
        EXPECT_EQ(headerBadges.first()->text(), state.toUpper());
        EXPECT_EQ(headerBadges.first()->tint(), testCase.badge);

        // The sidebar row as the list paints it: the dot's centre carries the dot colour.
        QListView* list = shown.view->frame()->listView();
        const QRect rowRect = list->visualRect(list->model()->index(0, 0));
        const QImage painted = list->viewport()->grab().toImage();
        const VPSRowDelegate::Geometry geometry = VPSRowDelegate::geometry(vps, rowRect);
        const qreal ratio = painted.devicePixelRatio();
        const QPoint centre = geometry.dot.center();
        const QColor dot = painted.pixelColor(int(centre.x() * ratio), int(centre.y() * ratio));
        EXPECT_EQ(dot.rgb(), halvo::theme::color(testCase.dot).rgb());
    }
}

TEST(VPSViewSidebar, RowPartsStayInsideTheRowAndApart) {
    const HalvoVPS vps = makeVPS(QStringLiteral("vps-layout.example.net"), QStringLiteral("A rather long display name "
                                                                                          "that must be cut"));
    HalvoRecordListModel<HalvoVPS> model([](const HalvoVPS& v) { return v.name; });
    model.setItems({vps});
    VPSRowDelegate delegate(&model);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 280, 10);
    const QSize hint = delegate.sizeHint(option, model.index(0));
    const QRect row(0, 0, 280, hint.height());
    const VPSRowDelegate::Geometry g = VPSRowDelegate::geometry(vps, row);

    EXPECT_EQ(hint.width(), 280);
    for (const QRect& part : {g.dot, g.displayName, g.badge, g.name, g.ipv4, g.modelName})
        EXPECT_TRUE(row.contains(part)) << part.x() << "," << part.y() << " " << part.width() << "x" << part.height();
    EXPECT_LT(g.displayName.right(), g.badge.left());
    EXPECT_LT(g.dot.right(), g.displayName.left());
    EXPECT_LT(g.displayName.bottom(), g.name.top());
    EXPECT_LT(g.name.bottom(), g.ipv4.top());
    EXPECT_LT(g.ipv4.right(), g.modelName.left());
}

TEST(VPSSpecGrid, MemoryIsWholeGigabytesAndAtLeastOne) {
    const std::pair<qint64, const char*> cases[] = {
        {512, "1 GB ECC"},  {1023, "1 GB ECC"}, {1024, "1 GB ECC"},  {2048, "2 GB ECC"},
        {3000, "2 GB ECC"}, {0, "1 GB ECC"},    {-4096, "1 GB ECC"}, {65536, "64 GB ECC"},
    };
    for (const auto& [megabytes, expected] : cases) {
        SCOPED_TRACE(megabytes);
        HalvoVPS vps = makeVPS(QStringLiteral("vps-ram.example.net"), QStringLiteral("RAM"));
        vps.memoryLimitMB = megabytes;
        ShownVPSView shown({vps});
        HalvoSpecTile* tile = shown.tile(QStringLiteral("Arbeitsspeicher (RAM)"));
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(tile->spec().value, QString::fromUtf8(expected));
        EXPECT_EQ(tile->spec().subvalue, std::optional<QString>(QStringLiteral("Dedizierte KVM Zuteilung")));
    }
}

TEST(VPSSpecGrid, OptionalTilesAreLeftOutAndTheRestMoveUp) {
    const QString cpu = QStringLiteral("vCPU & Modell");
    const QString ram = QStringLiteral("Arbeitsspeicher (RAM)");
    const QString disk = QStringLiteral("NVMe System-Disk");
    const QString zone = QStringLiteral("Rechenzentrum Zone");
    const QString v4 = QStringLiteral("Primäre IPv4");
    const QString v6 = QStringLiteral("IPv6 Adresse (/128)");
    const QString snap = QStringLiteral("Aktiver Snapshot");
    const QString backup = QStringLiteral("Automated Backups");
    struct Case {
        const char* what;
        std::function<void(HalvoVPS&)> change;
        QStringList expected;
    };
    const Case cases[] = {
        {"everything",
         [](HalvoVPS& v) {
             v.snapshotCreationDate = QStringLiteral("2025-01-02 03:04 UTC");
             v.backupStorageSupported = true;
         },
         {cpu, ram, disk, zone, v4, v6, snap, backup}},
        {"plain", [](HalvoVPS&) {}, {cpu, ram, disk, zone, v4, v6}},
        {"no disk", [](HalvoVPS& v) { v.diskSizeGB = 0; }, {cpu, ram, zone, v4, v6}},
        {"one GB disk", [](HalvoVPS& v) { v.diskSizeGB = 1; }, {cpu, ram, disk, zone, v4, v6}},
        {"no IPv4", [](HalvoVPS& v) { v.ipv4 = kNoValue; }, {cpu, ram, disk, zone, v6}},
        {"IPv6 marker", [](HalvoVPS& v) { v.ipv6 = kNoValue; }, {cpu, ram, disk, zone, v4}},
        {"IPv6 empty", [](HalvoVPS& v) { v.ipv6.clear(); }, {cpu, ram, disk, zone, v4}},
        {"hyphen is an address", [](HalvoVPS& v) { v.ipv6 = QStringLiteral("-"); }, {cpu, ram, disk, zone, v4, v6}},
        {"description without date",
         [](HalvoVPS& v) { v.snapshotDescription = QStringLiteral("Vor Update"); },
         {cpu, ram, disk, zone, v4, v6}},
        {"backup, no addresses, no disk",
         [](HalvoVPS& v) {
             v.backupStorageSupported = true;
             v.ipv4 = kNoValue;
             v.ipv6 = kNoValue;
             v.diskSizeGB = 0;
         },
         {cpu, ram, zone, backup}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.what);
        HalvoVPS vps = makeVPS(QStringLiteral("vps-tiles.example.net"), QStringLiteral("Tiles"));
        testCase.change(vps);
        ShownVPSView shown({vps});
        QStringList labels;
        for (HalvoSpecTile* tile : shown.tiles())
            labels.append(tile->spec().label);
        EXPECT_EQ(labels, testCase.expected);
    }
}

TEST(VPSSpecGrid, TileValuesComeFromTheRecord) {
    HalvoVPS vps = makeVPS(QStringLiteral("vps-values.example.net"), QStringLiteral("Values"));
    vps.vcore = 6;
    vps.diskSizeGB = 320;
    vps.keymap = QStringLiteral("fr-ch");
    vps.snapshotCreationDate = QStringLiteral("2025-03-04 05:06 UTC");
    vps.backupStorageSupported = true;
    vps.backupStorageActivated = true;

    ShownVPSView shown({vps});
    struct Expect {
        const char* label;
        QString value;
        QString subvalue;
        QString icon;
        Tint tint;
        bool copies;
    };
    const Expect expected[] = {
        {"vCPU & Modell", QStringLiteral("6 vCores"), vps.modelName, QStringLiteral("cpu.fill"), Tint::teal, false},
        {"NVMe System-Disk", QStringLiteral("320 GB NVMe"), QStringLiteral("Triple-Replication Storage"),
         QStringLiteral("internaldrive.fill"), Tint::purple, false},
        {"Rechenzentrum Zone", vps.zone, QStringLiteral("Keymap: FR-CH"), QStringLiteral("building.2.fill"),
         Tint::orange, false},
        {"Primäre IPv4", vps.ipv4, QStringLiteral("Anti-DDoS Tidewall geschützt"), QStringLiteral("network"),
         Tint::blue, true},
        {"IPv6 Adresse (/128)", vps.ipv6, QStringLiteral("Nativ geroutet"), QStringLiteral("globe"), Tint::indigo,
         true},
        {"Aktiver Snapshot", QStringLiteral("Vorhanden"), QStringLiteral("2025-03-04 05:06 UTC"),
         QStringLiteral("camera.aperture"), Tint::green, false},
        {"Automated Backups", QStringLiteral("Aktiviert"), QStringLiteral("Tägliche Sicherung"),
         QStringLiteral("externaldrive.badge.timemachine"), Tint::green, false},
    };
    for (const Expect& e : expected) {
        SCOPED_TRACE(e.label);
        HalvoSpecTile* tile = shown.tile(QString::fromUtf8(e.label));
        ASSERT_NE(tile, nullptr);
        EXPECT_EQ(tile->spec().value, e.value);
        EXPECT_EQ(tile->spec().subvalue, std::optional<QString>(e.subvalue));
        EXPECT_EQ(tile->spec().icon, e.icon);
        EXPECT_EQ(tile->spec().tint, e.tint);
        EXPECT_EQ(tile->spec().copyValue.has_value(), e.copies);
        EXPECT_EQ(tile->copyButton() != nullptr, e.copies);
    }

    // The snapshot tile shows the description when there is one; the backup tile says when it is off.
    vps.snapshotDescription = QStringLiteral("Vor dem Kernel-Update");
    vps.backupStorageActivated = false;
    ShownVPSView changed({vps});
    EXPECT_EQ(changed.tile(QStringLiteral("Aktiver Snapshot"))->spec().value, QStringLiteral("Vor dem Kernel-Update"));
    EXPECT_EQ(changed.tile(QStringLiteral("Automated Backups"))->spec().value, QStringLiteral("Inaktiv"));
    EXPECT_EQ(changed.tile(QStringLiteral("Automated Backups"))->spec().tint, Tint::green);
}

TEST(VPSSpecGrid, CopyingAnAddressPutsItOnTheClipboardAndReportsIt) {
    HalvoVPS vps = makeVPS(QStringLiteral("vps-copy.example.net"), QStringLiteral("Copy"));
    vps.ipv4 = QStringLiteral("192.0.2.44");
    vps.ipv6 = QStringLiteral("2001:db8:44::1");
    ShownVPSView shown({vps});
    const std::pair<const char*, const char*> cases[] = {
        {"Primäre IPv4", "VPS IPv4 192.0.2.44 kopiert."},
        {"IPv6 Adresse (/128)", "VPS IPv6 2001:db8:44::1 kopiert."},
    };
    for (const auto& [label, message] : cases) {
        SCOPED_TRACE(label);
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        HalvoSpecTile* tile = shown.tile(QString::fromUtf8(label));
        ASSERT_NE(tile, nullptr);
        ASSERT_NE(tile->copyButton(), nullptr);
        click(tile->copyButton());
        EXPECT_EQ(QGuiApplication::clipboard()->text(), *tile->spec().copyValue);
        EXPECT_EQ(shown.store().lastActionMessage(), QString::fromUtf8(message));
    }
}

TEST(VPSViewRefresh, RebuildsOnlyWhatTheShownVPSChanged) {
    ShownVPSView shown(threeVPS());
    QPointer<QWidget> header = shown.header();
    QPointer<QWidget> content = shown.content();
    ASSERT_TRUE(header && content);

    // A search that keeps the same VPS shown changes nothing in the detail.
    shown.store().setSearchText(QStringLiteral("vps-"));
    settle();
    EXPECT_EQ(shown.header(), header.data());
    EXPECT_EQ(shown.content(), content.data());

    // The SLA switch changes the power card, not the header band.
    click(shown.button(QStringLiteral("SLA Monitoring: AUS")));
    EXPECT_EQ(shown.header(), header.data());
    EXPECT_NE(shown.content(), content.data());
    EXPECT_TRUE(hasButton(shown.content(), QStringLiteral("SLA Monitoring: AN")));
}

TEST(VPSConsole, ButtonOpensAWindowModalSheetAndClosingItClearsTheFlag) {
    ShownVPSView shown(threeVPS());
    ASSERT_EQ(shown.view->kvmSheet(), nullptr);
    click(buttonWithText(shown.header(), QStringLiteral("KVM / VNC WebSocket Konsole öffnen")));

    EXPECT_TRUE(shown.view->state().showKVMModal);
    QPointer<QDialog> sheet = shown.view->kvmSheet();
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);

    // Refreshes while it is open keep the one sheet.
    shown.store().setSearchText(QStringLiteral("a"));
    settle();
    EXPECT_EQ(shown.view->kvmSheet(), sheet.data());

    sheet->reject();
    settle();
    EXPECT_FALSE(shown.view->state().showKVMModal);
    EXPECT_EQ(shown.view->kvmSheet(), nullptr);
    EXPECT_TRUE(sheet.isNull());

    // Opened again, it goes away with the detail when the search hides every VPS.
    shown.store().setSearchText(QString());
    settle();
    shown.view->setShowKVMModal(true);
    ASSERT_NE(shown.view->kvmSheet(), nullptr);
    shown.store().setSearchText(QStringLiteral("no such vps"));
    settle();
    EXPECT_EQ(shown.view->kvmSheet(), nullptr);
    EXPECT_FALSE(shown.view->state().showKVMModal);
}

TEST(VPSViewSymbols, EverySymbolTheViewDrawsIsInTheThemeTable) {
    halvo::theme::clearUnknownSymbolsRequested();
    HalvoVPS full =
        makeVPS(QStringLiteral("vps-symbols.example.net"), QStringLiteral("Symbols"), QStringLiteral("rescued"));
    full.snapshotCreationDate = QStringLiteral("2025-05-06 07:08 UTC");
    full.backupStorageSupported = true;
    ShownVPSView shown({full});
    EXPECT_EQ(shown.powerButtons().size(), 6);
    (void)shown.view->grab();
    ShownVPSView empty({});
    (void)empty.view->grab();
    EXPECT_EQ(halvo::theme::unknownSymbolsRequested(), QStringList());
}
