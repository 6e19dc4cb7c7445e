// The dedicated-server view's frame: list, search, selection, tabs and the IPMI sheet host.

#include "DedicatedViewFixture.h"
#include "store/AppStateStore.h"
#include "ui/Theme.h"
#include "views/dedicated/DedicatedServerRowDelegate.h"

#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QUrl>

namespace halvo::test {
namespace {

QStringList names(const QList<HalvoServer>& servers) {
    QStringList result;
    for (const HalvoServer& server : servers)
        result.append(server.name);
    return result;
}

QList<HalvoServer> searchServers() {
    HalvoServer web = makeServer(QStringLiteral("ns100.example.net"));
    web.reverse = QStringLiteral("web.example.org.");
    web.ip = QStringLiteral("192.0.2.1");
    web.datacenter = QStringLiteral("fra1");
    web.os = QStringLiteral("debian12_64");
    web.commercialRange = QStringLiteral("Advance-1");

    HalvoServer db = makeServer(QStringLiteral("ns200.example.net"));
    db.reverse = QStringLiteral("db one.example.org.");
    db.ip = QStringLiteral("198.51.100.7");
    db.datacenter = QStringLiteral("rbx8");
    db.backupFTPAvailable = false;

    HalvoServer mail = makeServer(QStringLiteral("ns300.example.net"));
    mail.reverse = QStringLiteral("mail.example.org.");
    mail.ip = kNoValue;
    mail.datacenter = QStringLiteral("GRA 2");
    mail.commercialRange = QStringLiteral("Scale-Suchtext");
    return {web, db, mail};
}

TEST(DedicatedServerTab, RawValuesIconsAndLookup) {
    struct Case {
        DedicatedServerTab tab;
        const char* title;
        const char* symbol;
    };
    const Case cases[] = {
        {DedicatedServerTab::overview, "Hardware & Status", "cpu.fill"},
        {DedicatedServerTab::powerIpmi, "Power, Netboot & IPMI", "power.circle.fill"},
        {DedicatedServerTab::networkMeshbay, "Netzwerk & IPs", "network"},
        {DedicatedServerTab::storageInstall, "Disks, RAID & OS-Install", "internaldrive.fill"},
        {DedicatedServerTab::backupFtp, "Backup Storage FTP", "externaldrive.badge.timemachine"},
        {DedicatedServerTab::tasksLogs, "Tasks & Rechenzentrum", "checklist"},
    };
    ASSERT_EQ(std::size(cases), kAllDedicatedServerTabs.size());
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        EXPECT_EQ(kAllDedicatedServerTabs[i], c.tab) << "declaration order";
        EXPECT_EQ(rawValue(c.tab), QString::fromUtf8(c.title));
        EXPECT_EQ(icon(c.tab), QString::fromUtf8(c.symbol));
        EXPECT_EQ(dedicatedServerTabFromRawValue(QString::fromUtf8(c.title)), c.tab);
    }
    for (const char* text : {"", "hardware & status", "Hardware & Status ", "overview", "1. Hardware & Status"})
        EXPECT_EQ(dedicatedServerTabFromRawValue(QString::fromUtf8(text)), std::nullopt) << text;
}

TEST(DedicatedServersView, StartsFromItsDefaults) {
    DedicatedView v;
    const DedicatedServersView::State& state = v.view->state();
    EXPECT_EQ(state.selectedServerName, std::nullopt);
    EXPECT_EQ(state.activeTab, DedicatedServerTab::overview);
    EXPECT_FALSE(state.showIPMISheet);
    EXPECT_EQ(state.meshbayInput, QStringLiteral("pn-"));
    EXPECT_TRUE(state.newReverseInput.isEmpty());
    EXPECT_TRUE(state.newRescueMailInput.isEmpty());
    EXPECT_TRUE(state.backupACLBlockInput.isEmpty());
    // The iPXE default is a secure address of a host alone.
    const QUrl ipxe(state.ipxeUrl);
    EXPECT_EQ(ipxe.scheme(), QStringLiteral("https"));
    EXPECT_FALSE(ipxe.host().isEmpty());
    EXPECT_TRUE(ipxe.path().isEmpty());
    // The default template and RAID profile are real picker entries.
    ASSERT_EQ(v.view->bareMetalTemplates().size(), 8);
    EXPECT_EQ(v.view->bareMetalTemplates().first(), state.selectedOS);
    EXPECT_EQ(state.raidProfile, QStringLiteral("SoftRAID 1 (2x NVMe Mirror)"));
}

TEST(DedicatedServersView, SearchesNameReverseAddressAndDatacentreOnly) {
    struct Case {
        const char* search;
        QStringList expected;
    };
    const QString web = QStringLiteral("ns100.example.net");
    const QString db = QStringLiteral("ns200.example.net");
    const QString mail = QStringLiteral("ns300.example.net");
    const Case cases[] = {
        {"", {web, db, mail}},
        {" ", {db, mail}},            // a blank in a reverse and in a data centre
        {"FRA", {web}},               // case ignored
        {"gra", {mail}},              // ... both ways
        {"198.51", {db}},             // the address
        {"NS300", {mail}},            // the service name
        {"WEB.EXAMPLE", {web}},       // the reverse
        {"debian", {}},               // the OS is not searched
        {"Suchtext", {}},             // nor the commercial range
        {" fra1", {}},                // the search text is not trimmed
        {"example", {web, db, mail}}, // stored order kept
    };
    DedicatedView v(searchServers());
    for (const Case& c : cases) {
        const QString search = QString::fromUtf8(c.search);
        v.store().setSearchText(search);
        settle();
        EXPECT_EQ(names(v.view->filteredServers()), c.expected) << c.search;
        EXPECT_EQ(v.frame().listView()->model()->rowCount(), c.expected.size()) << c.search;
        EXPECT_EQ(v.frame().sidebarTitleLabel()->text(),
                  QStringLiteral("Dedicated Server (") + QString::number(c.expected.size()) + QLatin1Char(')'))
            << c.search;
        EXPECT_EQ(v.frame().isListEmpty(), c.expected.isEmpty()) << c.search;
        EXPECT_EQ(v.frame().isShowingPlaceholder(), c.expected.isEmpty()) << c.search;
    }
}

TEST(DedicatedServersView, WithoutServersShowsEmptyStateAndPlaceholder) {
    DedicatedView v(QList<HalvoServer>{});
    EXPECT_EQ(v.frame().sidebarTitleLabel()->text(), QStringLiteral("Dedicated Server (0)"));
    EXPECT_TRUE(v.frame().isListEmpty());
    EXPECT_TRUE(v.frame().isShowingPlaceholder());
    EXPECT_EQ(v.view->selectedServer(), std::nullopt);
    EXPECT_EQ(v.view->shownTab(), DedicatedServerTab::overview);
    EXPECT_TRUE(hasLabel(v.view.get(), QStringLiteral("Keine Dedicated Server geladen")));
    EXPECT_TRUE(hasLabel(v.view.get(), QStringLiteral("Kein Dedicated Bare-Metal Server ausgewählt")));
}

TEST(DedicatedServersView, SelectionFallsBackWithoutForgettingTheChoice) {
    DedicatedView v(searchServers());
    // Nothing chosen: the first server is shown, no row is highlighted.
    EXPECT_EQ(v.view->selectedServer()->name, QStringLiteral("ns100.example.net"));
    EXPECT_TRUE(v.highlightedRows().isEmpty());
    EXPECT_TRUE(hasLabel(v.header(), QStringLiteral("web.example.org.")));

    v.clickRow(1);
    EXPECT_EQ(v.view->state().selectedServerName, QStringLiteral("ns200.example.net"));
    EXPECT_EQ(v.highlightedRows(), QList<int>{1});
    EXPECT_TRUE(hasLabel(v.header(), QStringLiteral("db one.example.org.")));

    // Filtered out: the first listed server is shown, nothing highlighted, the choice kept.
    v.store().setSearchText(QStringLiteral("fra"));
    settle();
    EXPECT_EQ(v.view->selectedServer()->name, QStringLiteral("ns100.example.net"));
    EXPECT_TRUE(v.highlightedRows().isEmpty());
    EXPECT_EQ(v.view->state().selectedServerName, QStringLiteral("ns200.example.net"));
    EXPECT_TRUE(hasLabel(v.header(), QStringLiteral("web.example.org.")));
    EXPECT_FALSE(hasLabel(v.header(), QStringLiteral("db one.example.org.")));

    v.store().setSearchText(QString());
    settle();
    EXPECT_EQ(v.view->selectedServer()->name, QStringLiteral("ns200.example.net"));
    EXPECT_EQ(v.highlightedRows(), QList<int>{1});
    EXPECT_TRUE(hasLabel(v.header(), QStringLiteral("db one.example.org.")));
}

TEST(DedicatedServersView, TabsAreNumberedByPositionAmongTheOfferedOnes) {
    DedicatedView v(searchServers()); // the first has backup storage, the second not
    EXPECT_EQ(v.tabTitles(),
              (QStringList{QStringLiteral("1. Hardware & Status"), QStringLiteral("2. Power, Netboot & IPMI"),
                           QStringLiteral("3. Netzwerk & IPs"), QStringLiteral("4. Disks, RAID & OS-Install"),
                           QStringLiteral("5. Backup Storage FTP"), QStringLiteral("6. Tasks & Rechenzentrum")}));
    EXPECT_EQ(v.highlightedTab(), 0);

    v.clickRow(1);
    EXPECT_EQ(v.tabTitles(),
              (QStringList{QStringLiteral("1. Hardware & Status"), QStringLiteral("2. Power, Netboot & IPMI"),
                           QStringLiteral("3. Netzwerk & IPs"), QStringLiteral("4. Disks, RAID & OS-Install"),
                           QStringLiteral("5. Tasks & Rechenzentrum")}));
    EXPECT_EQ(DedicatedServersView::availableTabs(v.server(QStringLiteral("ns200.example.net"))),
              (QList<DedicatedServerTab>{DedicatedServerTab::overview, DedicatedServerTab::powerIpmi,
                                         DedicatedServerTab::networkMeshbay, DedicatedServerTab::storageInstall,
                                         DedicatedServerTab::tasksLogs}));

    v.clickTab(4);
    EXPECT_EQ(v.view->state().activeTab, DedicatedServerTab::tasksLogs);
    EXPECT_EQ(v.highlightedTab(), 4);
    EXPECT_TRUE(
        hasLabel(v.content(), QStringLiteral("Rechenzentrum-Tasks (/dedicated/server/ns200.example.net/task)")));
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Live-Protokoll aller Hardware-Reboots, OS-Installationen, "
                                                     "IPMI-Sessions und Netzwerk-Änderungen")));

    // The same tab is now the sixth on a server with backup storage.
    v.clickRow(0);
    EXPECT_EQ(v.highlightedTab(), 5);
    EXPECT_TRUE(
        hasLabel(v.content(), QStringLiteral("Rechenzentrum-Tasks (/dedicated/server/ns100.example.net/task)")));
}

TEST(DedicatedServersView, BackupTabFallsBackToHardwareAndComesBack) {
    DedicatedView v(searchServers());
    v.clickRow(0);
    v.clickTab(4);
    EXPECT_EQ(v.view->state().activeTab, DedicatedServerTab::backupFtp);
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Halvo Backup Storage FTP / NFS / CIFS (/features/backupFTP)")));
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Aktiver Backup-Speicher für ns100.example.net")));

    v.clickRow(1); // no backup storage
    EXPECT_EQ(v.tabTitles().size(), 5);
    EXPECT_EQ(v.highlightedTab(), 0);
    EXPECT_EQ(v.view->shownTab(), DedicatedServerTab::overview);
    EXPECT_EQ(v.view->state().activeTab, DedicatedServerTab::backupFtp);
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Betriebssystem (OS)")));
    EXPECT_FALSE(hasLabelContaining(v.content(), QStringLiteral("Backup Storage")));

    v.clickRow(0);
    EXPECT_EQ(v.view->shownTab(), DedicatedServerTab::backupFtp);
    EXPECT_EQ(v.highlightedTab(), 4);
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Aktiver Backup-Speicher für ns100.example.net")));
}

TEST(DedicatedServersView, RebuildsTheDetailOnlyWhenItsServerChanged) {
    DedicatedView v(searchServers());
    QWidget* header = v.header();
    QWidget* content = v.content();
    ASSERT_TRUE(header && content);

    // Another server's change and a status sentence leave the shown detail alone.
    v.store().performDedicatedServerAction(QStringLiteral("ns200.example.net"), QStringLiteral("toggle-monitoring"));
    v.store().setLastActionMessage(QStringLiteral("irgendwas"));
    settle();
    EXPECT_EQ(v.header(), header);
    EXPECT_EQ(v.content(), content);

    v.store().performDedicatedServerAction(QStringLiteral("ns100.example.net"), QStringLiteral("toggle-monitoring"));
    settle();
    EXPECT_NE(v.header(), header);
    EXPECT_NE(v.content(), content);
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Deaktiviert")));
}

TEST(DedicatedServersView, ConsoleButtonOpensTheSheetAndClosingClearsIt) {
    DedicatedView v(searchServers());
    ASSERT_EQ(v.view->ipmiSheet(), nullptr);
    click(buttonWithText(v.header(), QStringLiteral("IPMI / KVM HTML5 & SoL Konsole")));
    EXPECT_TRUE(v.view->state().showIPMISheet);
    QDialog* sheet = v.view->ipmiSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);

    sheet->reject();
    settle();
    EXPECT_FALSE(v.view->state().showIPMISheet);
    EXPECT_EQ(v.view->ipmiSheet(), nullptr);

    // Opened from the state, as the power tab does, and gone with the selected server.
    v.view->state().showIPMISheet = true;
    v.view->section().refreshNow();
    ASSERT_NE(v.view->ipmiSheet(), nullptr);
    v.store().setSearchText(QStringLiteral("nichts passt"));
    settle();
    EXPECT_EQ(v.view->ipmiSheet(), nullptr);
    EXPECT_FALSE(v.view->state().showIPMISheet);
    v.store().setSearchText(QString());
    settle();
    EXPECT_EQ(v.view->ipmiSheet(), nullptr);
}

TEST(DedicatedServersView, EverySymbolItDrawsIsInTheIconTable) {
    theme::clearUnknownSymbolsRequested();
    DedicatedView v(searchServers());
    for (int row = 0; row < 3; ++row) {
        v.clickRow(row);
        for (int tab = 0; tab < v.tabTitles().size(); ++tab)
            v.clickTab(tab);
    }
    v.store().setSearchText(QStringLiteral("nichts passt"));
    settle();
    EXPECT_EQ(theme::unknownSymbolsRequested(), QStringList());
}

TEST(DedicatedServerRowDelegate, DatacentreBadgeTakesFourCharactersInUpperCase) {
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("fra1"), QStringLiteral("FRA1")},
        {QStringLiteral("gravelines"), QStringLiteral("GRAV")},
        {QStringLiteral("rbx"), QStringLiteral("RBX")},
        {QString(), QString()},
        {QStringLiteral("\U0001F5A5ab\U0001F5A5x"), QStringLiteral("\U0001F5A5AB\U0001F5A5")},
    };
    for (const auto& [datacenter, badge] : cases)
        EXPECT_EQ(DedicatedServerRowDelegate::datacenterBadgeText(datacenter), badge) << datacenter.toStdString();
}

TEST(DedicatedServerRowDelegate, PaintsThePowerDotInTheStateColour) {
    HalvoServer on = makeServer(QStringLiteral("a"));
    HalvoServer off = makeServer(QStringLiteral("b"));
    off.powerState = QStringLiteral("poweroff");
    HalvoServer unknown = makeServer(QStringLiteral("c"));
    unknown.powerState = QStringLiteral("POWERON");
    HalvoRecordListModel<HalvoServer> model([](const HalvoServer& s) { return s.name; });
    model.setItems({on, off, unknown});
    DedicatedServerRowDelegate delegate(&model);

    const QColor expected[] = {theme::color(theme::Tint::green), theme::color(theme::Tint::red),
                               theme::color(theme::Tint::red)};
    for (int row = 0; row < 3; ++row) {
        QStyleOptionViewItem option;
        const QSize size = delegate.sizeHint(option, model.index(row));
        ASSERT_GT(size.height(), 3 * QFontMetrics(theme::font(theme::TextStyle::caption2)).height());
        option.rect = QRect(QPoint(0, 0), QSize(300, size.height()));
        QImage image(option.rect.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        delegate.paint(&painter, option, model.index(row));
        painter.end();
        // The dot is the first thing of the first line, 10 points in, vertically centred on that line.
        bool found = false;
        for (int y = 5; y < size.height() / 2 && !found; ++y)
            found = image.pixelColor(14, y).rgb() == expected[row].rgb();
        EXPECT_TRUE(found) << "row " << row;
    }
}

} // namespace
} // namespace halvo::test
