// The domains view's frame: the list and its search, the rows, the selection and the tab fallbacks.

#include "DomainsViewFixture.h"
#include "ui/HalvoRefreshScheduler.h"

#include <QSignalSpy>

namespace halvo::test {
namespace {

using theme::Tint;

const QString kZoneTab = QStringLiteral("1. DNS-Zonen-Editor (Records)");
const QString kSecurityTab = QStringLiteral("2. Nameserver, DNSSEC & Glue-Records");
const QString kPulsenameTab = QStringLiteral("3. Pulsename (Dynamisches DNS)");

QList<HalvoDomain> threeDomains() {
    HalvoDomain alpha = makeDomain(QStringLiteral("alpha.example.com"));
    HalvoDomain beta = makeDomain(QStringLiteral("Beta-Shop.example.net"), 3);
    beta.pulsenameSupported = false;
    HalvoDomain gamma = makeDomain(QStringLiteral("gamma.example.org"), 0);
    return {alpha, beta, gamma};
}

TEST(DomainManagerSubTab, RawValuesAreTheTitlesAndOnlyExactTitlesReadBack) {
    const QStringList titles{kZoneTab, kSecurityTab, kPulsenameTab};
    const QStringList icons{QStringLiteral("list.bullet.rectangle.portrait.fill"),
                            QStringLiteral("shield.lefthalf.filled.badge.checkmark"),
                            QStringLiteral("arrow.triangle.2.circlepath.circle.fill")};
    for (int i = 0; i < 3; ++i) {
        const DomainManagerSubTab tab = kAllDomainManagerSubTabs[i];
        EXPECT_EQ(rawValue(tab), titles[i]);
        EXPECT_EQ(symbolName(tab), icons[i]);
        EXPECT_TRUE(theme::hasIcon(symbolName(tab))) << symbolName(tab).toStdString();
        EXPECT_EQ(domainManagerSubTabFromRawValue(titles[i]), tab);
    }
    const QStringList others{QStringLiteral("1. dns-zonen-editor (records)"), kZoneTab + QLatin1Char(' '),
                             QLatin1Char(' ') + kPulsenameTab, QStringLiteral("dnsZone"), QString()};
    for (const QString& text : others)
        EXPECT_EQ(domainManagerSubTabFromRawValue(text), std::nullopt) << text.toStdString();
}

TEST(DomainsView, StartsFromItsDefaults) {
    DomainsViewHarness v;
    const DomainsView::State& s = v.view->state();
    EXPECT_EQ(s.selectedDomainId, std::nullopt);
    EXPECT_EQ(s.activeTab, DomainManagerSubTab::dnsZone);
    EXPECT_EQ(s.newSubDomain, QString());
    EXPECT_EQ(s.newRecordType, QStringLiteral("A"));
    EXPECT_EQ(s.newTarget, QString());
    EXPECT_EQ(s.newTTL, 3600);
    EXPECT_EQ(s.ns1Input, QString());
    EXPECT_EQ(s.ns2Input, QString());
    EXPECT_EQ(s.glueHostInput, QString());
    EXPECT_EQ(s.glueIPInput, QString());
    EXPECT_EQ(s.dynSubInput, QStringLiteral("home"));
    EXPECT_EQ(s.dynIPInput, QString());
    EXPECT_EQ(s.dynLoginInput, QStringLiteral("router-login"));
    EXPECT_FALSE(s.showBINDExportSheet);
    EXPECT_EQ(DomainsView::recordTypes(),
              QStringLiteral("A,AAAA,CNAME,MX,TXT,SRV,CAA,NS,PTR,DKIM,DMARC,SPF").split(QLatin1Char(',')));
}

TEST(DomainsView, ListsTheDemonstrationDomainsInSnapshotOrderAndShowsTheFirst) {
    DomainsViewHarness v;
    QStringList expected;
    for (const HalvoDomain& domain : v.store().activeSnapshot().domains)
        expected.append(domain.domain);
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_EQ(v.listedNames(), expected);
    EXPECT_EQ(v.frame().sidebarTitleLabel()->text(), QStringLiteral("Domains (%1)").arg(expected.size()));
    EXPECT_FALSE(v.frame().isListEmpty());
    EXPECT_FALSE(v.frame().isShowingPlaceholder());
    ASSERT_TRUE(v.view->selectedDomain());
    EXPECT_EQ(v.view->selectedDomain()->domain, expected.first());
    EXPECT_TRUE(v.highlightedRows().isEmpty()) << "nothing was chosen yet";
    EXPECT_EQ(v.editor()->domainName(), expected.first());
    EXPECT_FALSE(v.list()->grab().isNull());
}

TEST(DomainsView, SearchFoldsCaseFullyAndTakesCanonicalFormsAsEqual) {
    struct Case {
        const char16_t* search;
        QStringList listed;
    };
    const QString street = QStringLiteral("straße.example");
    const QString decomposed = QString::fromUtf16(u"mu\u0308ller.example"); // as some registries store it
    const QString composed = QStringLiteral("Müller-Bau.example");
    const QString plain = QStringLiteral("muller.example");
    QList<HalvoDomain> domains;
    for (const QString& name : {street, decomposed, composed, plain}) {
        HalvoDomain domain;
        domain.domain = name;
        domains.append(domain);
    }
    const Case cases[] = {
        {u"STRASSE", {street}},
        {u"Straße", {street}},
        {u"müller", {decomposed, composed}},
        {u"MU\u0308LLER", {decomposed, composed}},
        {u"MULLER", {plain}},
        {u"mu", {plain}}, // a letter with a mark is not the bare letter
        {u"ü", {decomposed, composed}},
    };
    DomainsViewHarness v(domains);
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.search).toStdString());
        v.search(QString::fromUtf16(c.search));
        EXPECT_EQ(v.listedNames(), c.listed);
    }
}

TEST(DomainsView, SearchNarrowsTheListAndTheCount) {
    struct Case {
        const char* search;
        QStringList listed;
    };
    const QString alpha = QStringLiteral("alpha.example.com");
    const QString beta = QStringLiteral("Beta-Shop.example.net");
    const QString gamma = QStringLiteral("gamma.example.org");
    const Case cases[] = {
        {"", {alpha, beta, gamma}},
        {"example", {alpha, beta, gamma}},
        {"ALPHA", {alpha}}, // capitals find lower-case letters
        {"shop", {beta}},   // lower case finds capitals
        {".example.org", {gamma}},
        {" ", {}}, // not trimmed: no name holds a blank
        {"alpha ", {}},
        {"Example Owner", {}}, // only the name is searched
        {"192.0.2.1", {}},
    };
    DomainsViewHarness v(threeDomains());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.search);
        v.search(QString::fromUtf8(c.search));
        EXPECT_EQ(v.listedNames(), c.listed);
        QStringList derived;
        for (const HalvoDomain& domain : v.view->filteredDomains())
            derived.append(domain.domain);
        EXPECT_EQ(derived, c.listed);
        EXPECT_EQ(v.frame().sidebarTitleLabel()->text(), QStringLiteral("Domains (%1)").arg(c.listed.size()));
        EXPECT_EQ(v.frame().isListEmpty(), c.listed.isEmpty());
        EXPECT_EQ(v.frame().isShowingPlaceholder(), c.listed.isEmpty());
        EXPECT_EQ(v.view->shownTab().has_value(), !c.listed.isEmpty());
        if (c.listed.isEmpty()) {
            EXPECT_EQ(v.view->selectedDomain(), std::nullopt);
        } else {
            ASSERT_TRUE(v.view->selectedDomain());
            EXPECT_EQ(v.view->selectedDomain()->domain, c.listed.first());
            EXPECT_EQ(v.editor()->domainName(), c.listed.first());
        }
    }
}

TEST(DomainsView, EmptyListShowsTheEmptyStateAndThePlaceholder) {
    DomainsViewHarness v(QList<HalvoDomain>{});
    EXPECT_EQ(v.frame().sidebarTitleLabel()->text(), QStringLiteral("Domains (0)"));
    EXPECT_TRUE(v.frame().isListEmpty());
    EXPECT_TRUE(v.frame().isShowingPlaceholder());
    EXPECT_TRUE(hasLabel(v.view.get(), QStringLiteral("Keine Domains geladen")));
    EXPECT_TRUE(
        hasLabel(v.view.get(), QStringLiteral("Verbinde deinen Halvo Account oder klicke oben auf 'Halvo API Sync'.")));
    EXPECT_TRUE(hasLabel(v.view.get(), QStringLiteral("Keine Domain ausgewählt")));
    EXPECT_TRUE(hasLabel(v.view.get(),
                         QStringLiteral("Wähle links eine Domain aus oder synchronisiere deinen Halvo Account.")));
    EXPECT_EQ(v.view->zoneEditor(), nullptr);
    EXPECT_TRUE(v.frame().tabButtons().isEmpty());
}

TEST(DomainsView, SelectionFallsBackWhileHiddenAndComesBack) {
    DomainsViewHarness v(threeDomains());
    const QString gamma = QStringLiteral("gamma.example.org");
    v.clickRow(gamma);
    EXPECT_EQ(v.view->state().selectedDomainId, gamma);
    EXPECT_EQ(v.highlightedRows(), QList<int>{2});
    EXPECT_EQ(v.view->selectedDomain()->domain, gamma);
    EXPECT_EQ(v.editor()->domainName(), gamma);

    v.search(QStringLiteral("alpha"));
    EXPECT_EQ(v.view->state().selectedDomainId, gamma) << "hiding does not clear the choice";
    EXPECT_TRUE(v.highlightedRows().isEmpty());
    EXPECT_EQ(v.view->selectedDomain()->domain, QStringLiteral("alpha.example.com"));
    EXPECT_EQ(v.editor()->domainName(), QStringLiteral("alpha.example.com"));

    v.search(QString());
    EXPECT_EQ(v.highlightedRows(), QList<int>{2});
    EXPECT_EQ(v.view->selectedDomain()->domain, gamma);
    EXPECT_EQ(v.editor()->domainName(), gamma);
}

TEST(DomainsView, ChoiceOfADomainThatIsNotListedShowsTheFirst) {
    DomainsViewHarness v(threeDomains());
    v.view->state().selectedDomainId = QStringLiteral("elsewhere.example");
    v.view->section().schedule();
    settle();
    EXPECT_EQ(v.view->selectedDomain()->domain, QStringLiteral("alpha.example.com"));
    EXPECT_TRUE(v.highlightedRows().isEmpty());
    // Exact equality: a name differing in case is another domain.
    v.view->state().selectedDomainId = QStringLiteral("GAMMA.example.org");
    v.view->section().schedule();
    settle();
    EXPECT_EQ(v.view->selectedDomain()->domain, QStringLiteral("alpha.example.com"));
}

TEST(DomainsView, TabFallsBackWithoutLosingTheChosenTab) {
    DomainsViewHarness v(threeDomains());
    EXPECT_EQ(v.tabTitles(), (QStringList{kZoneTab, kSecurityTab, kPulsenameTab}));
    EXPECT_EQ(v.highlightedTab(), kZoneTab);

    v.clickTab(kPulsenameTab);
    EXPECT_EQ(v.view->state().activeTab, DomainManagerSubTab::pulsename);
    EXPECT_EQ(v.view->shownTab(), DomainManagerSubTab::pulsename);
    EXPECT_EQ(v.highlightedTab(), kPulsenameTab);
    EXPECT_EQ(v.view->zoneEditor(), nullptr);

    v.clickRow(QStringLiteral("Beta-Shop.example.net")); // offers no Pulsename tab
    EXPECT_EQ(v.tabTitles(), (QStringList{kZoneTab, kSecurityTab}));
    EXPECT_EQ(v.highlightedTab(), kZoneTab);
    EXPECT_EQ(v.view->shownTab(), DomainManagerSubTab::dnsZone);
    EXPECT_EQ(v.view->state().activeTab, DomainManagerSubTab::pulsename);
    EXPECT_EQ(v.editor()->domainName(), QStringLiteral("Beta-Shop.example.net"));

    v.clickRow(QStringLiteral("gamma.example.org"));
    EXPECT_EQ(v.tabTitles(), (QStringList{kZoneTab, kSecurityTab, kPulsenameTab}));
    EXPECT_EQ(v.highlightedTab(), kPulsenameTab);
    EXPECT_EQ(v.view->shownTab(), DomainManagerSubTab::pulsename);

    v.clickTab(kSecurityTab);
    v.clickRow(QStringLiteral("Beta-Shop.example.net"));
    EXPECT_EQ(v.highlightedTab(), kSecurityTab) << "offered by every domain";
    v.clickTab(kZoneTab);
    EXPECT_EQ(v.view->state().activeTab, DomainManagerSubTab::dnsZone);
    EXPECT_EQ(v.editor()->domainName(), QStringLiteral("Beta-Shop.example.net"));
}

TEST(DomainsView, AvailableTabsFollowPulsenameSupport) {
    HalvoDomain domain = makeDomain(QStringLiteral("a.example"));
    domain.pulsenameSupported = false;
    EXPECT_EQ(DomainsView::availableTabs(domain),
              (QList<DomainManagerSubTab>{DomainManagerSubTab::dnsZone, DomainManagerSubTab::securityAndNS}));
    domain.pulsenameSupported = true;
    EXPECT_EQ(DomainsView::availableTabs(domain),
              (QList<DomainManagerSubTab>{DomainManagerSubTab::dnsZone, DomainManagerSubTab::securityAndNS,
                                          DomainManagerSubTab::pulsename}));
}

TEST(DomainsView, RowsShowLockBadgeAndRecordCount) {
    struct Case {
        const char* lockStatus;
        bool dnssecSupported;
        bool dnssecEnabled;
        int records;
        std::optional<DomainRowLook::Symbol> lock;
        const char* badge;
        Tint badgeTint;
        qreal fill;
        const char* count;
    };
    const DomainRowLook::Symbol closed{QStringLiteral("lock.fill"), Tint::green};
    const DomainRowLook::Symbol open{QStringLiteral("lock.open.fill"), Tint::orange};
    const Case cases[] = {
        {"unavailable", false, false, 0, std::nullopt, "DNS-ZONE", Tint::secondary, 0.16, "0 Records"},
        {"locked", true, true, 1, closed, "DNSSEC AN", Tint::green, 0.18, "1 Records"},
        {"unlocked", true, false, 14, open, "DNSSEC AUS", Tint::secondary, 0.16, "14 Records"},
        {"", false, true, 2, open, "DNS-ZONE", Tint::secondary, 0.16, "2 Records"}, // unsupported wins
        {"LOCKED", true, true, 3, open, "DNSSEC AN", Tint::green, 0.18, "3 Records"},
        {"Unavailable", true, false, 0, open, "DNSSEC AUS", Tint::secondary, 0.16, "0 Records"},
    };
    QList<HalvoDomain> domains;
    for (int i = 0; i < int(std::size(cases)); ++i) {
        HalvoDomain domain = makeDomain(QStringLiteral("d%1.example").arg(i), cases[i].records);
        domain.transferLockStatus = QString::fromUtf8(cases[i].lockStatus);
        domain.dnssecSupported = cases[i].dnssecSupported;
        domain.dnssecEnabled = cases[i].dnssecEnabled;
        domains.append(domain);
    }
    DomainsViewHarness v(domains);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        const DomainRowLook look = v.rowLook(i);
        EXPECT_EQ(look.name, QStringLiteral("d%1.example").arg(i));
        EXPECT_EQ(look.lock, c.lock);
        EXPECT_EQ(look.badgeText, QString::fromUtf8(c.badge));
        EXPECT_EQ(look.badgeTint, c.badgeTint);
        EXPECT_DOUBLE_EQ(look.badgeFillOpacity, c.fill);
        EXPECT_EQ(look.recordCountText, QString::fromUtf8(c.count));
        if (look.lock) {
            EXPECT_TRUE(theme::hasIcon(look.lock->name));
        }
    }
    // Every look is painted (a row without lock and long names included).
    EXPECT_FALSE(v.list()->viewport()->grab().isNull());
    const int rowHeight = v.list()->visualRect(v.list()->model()->index(0, 0)).height();
    EXPECT_GE(rowHeight, 2 * QFontMetrics(theme::font(theme::TextStyle::caption2)).height());
}

TEST(DomainsView, AStoreChangeUpdatesOnlyTheChangedRow) {
    DomainsViewHarness v(threeDomains());
    v.clickRow(1);
    QSignalSpy resets(v.list()->model(), &QAbstractItemModel::modelReset);
    QSignalSpy changes(v.list()->model(), &QAbstractItemModel::dataChanged);

    v.store().toggleDNSSEC(QStringLiteral("Beta-Shop.example.net"));
    settle();
    EXPECT_EQ(v.rowLook(1).badgeText, QStringLiteral("DNSSEC AUS"));
    v.store().addDNSRecord(QStringLiteral("Beta-Shop.example.net"), QString(), QStringLiteral("A"),
                           QStringLiteral("192.0.2.99"), 60);
    settle();
    EXPECT_EQ(v.rowLook(1).recordCountText, QStringLiteral("4 Records"));
    EXPECT_EQ(resets.count(), 0);
    ASSERT_GE(changes.count(), 2);
    for (const QList<QVariant>& change : changes) {
        EXPECT_EQ(change.at(0).toModelIndex().row(), 1);
        EXPECT_EQ(change.at(1).toModelIndex().row(), 1);
    }
    EXPECT_EQ(v.highlightedRows(), QList<int>{1}) << "the refresh keeps the highlighted row";
    EXPECT_EQ(v.view->state().selectedDomainId, QStringLiteral("Beta-Shop.example.net"));
}

} // namespace
} // namespace halvo::test
