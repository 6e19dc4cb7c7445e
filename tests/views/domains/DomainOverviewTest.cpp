// The domain's header band: overview card, zone-file export sheet and the AuthInfo/EPP code.

#include "DomainsViewFixture.h"
#include "views/domains/DomainOverviewCard.h"
#include "views/domains/ZoneFileExportSheet.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QRegularExpression>

namespace halvo::test {
namespace {

using theme::Tint;

HalvoDomain overviewDomain(const QString& name) {
    HalvoDomain domain;
    domain.domain = name;
    domain.nameServerType = QStringLiteral("hosted");
    domain.transferLockStatus = QStringLiteral("locked");
    domain.dnssecSupported = true;
    domain.dnssecEnabled = true;
    domain.whoisOwner = QStringLiteral("Muster GmbH");
    domain.nameServers = {QStringLiteral("dns1.example.net"), QStringLiteral("dns2.example.net")};
    domain.lastUpdate = QStringLiteral("2026-11-30");
    domain.expiration = QStringLiteral("2027-03-01");
    domain.dnsRecords = {makeRecord(1, name, QString(), QStringLiteral("A"), QStringLiteral("192.0.2.10"), 300),
                         makeRecord(2, name, QStringLiteral("www"), QStringLiteral("CNAME"), name + QLatin1Char('.'))};
    return domain;
}

DomainOverviewCard* headerCard(DomainsViewHarness& v) {
    auto* card = qobject_cast<DomainOverviewCard*>(v.frame().header());
    EXPECT_NE(card, nullptr);
    return card;
}

struct BadgeLook {
    QString text;
    Tint tint;
    bool operator==(const BadgeLook&) const = default;
};

QList<BadgeLook> badges(const QWidget* root) {
    QList<BadgeLook> result;
    for (const HalvoStatusBadge* badge : root->findChildren<HalvoStatusBadge*>())
        result.append({badge->text(), badge->tint()});
    return result;
}

TEST(DomainZoneFile, WritesOriginTtlAndOneTabSeparatedLinePerRecordAsStored) {
    const QString name = QStringLiteral("zone.example");
    struct Case {
        const char* what;
        QList<HalvoDNSRecord> records;
        QString expected;
    };
    const QString head = QStringLiteral("$ORIGIN zone.example.\n$TTL 3600\n");
    const QList<Case> cases{
        {"no records: the two header lines, each ending in a line feed", {}, head},
        {"empty host is the apex, no line feed after the last record",
         {makeRecord(1, name, QString(), QStringLiteral("A"), QStringLiteral("192.0.2.1"), 300)},
         head + QStringLiteral("@\t300\tIN\tA\t192.0.2.1")},
        {"a blank host stays a blank, TTL 0 is written as 0",
         {makeRecord(1, name, QStringLiteral(" "), QStringLiteral("A"), QStringLiteral("192.0.2.1"), 0)},
         head + QStringLiteral(" \t0\tIN\tA\t192.0.2.1")},
        {"TXT target with blanks and quotes is written as stored, records in stored order",
         {makeRecord(7, name, QStringLiteral("mail"), QStringLiteral("MX"), QStringLiteral("10 mx.example.net"), 86400),
          makeRecord(3, name, QStringLiteral("_spf"), QStringLiteral("TXT"), QStringLiteral("\"v=spf1 -all\" x y"),
                     60)},
         head + QStringLiteral("mail\t86400\tIN\tMX\t10 mx.example.net\n_spf\t60\tIN\tTXT\t\"v=spf1 -all\" x y")},
        {"a line break inside a target cannot start a record line of its own",
         {makeRecord(1, name, QStringLiteral("a"), QStringLiteral("TXT"),
                     QStringLiteral("x\nevil\t1\tIN\tA\t6.6.6.6\r"))},
         head + QStringLiteral("a\t3600\tIN\tTXT\tx\\010evil\t1\tIN\tA\t6.6.6.6\\013")},
    };
    for (const Case& c : cases) {
        HalvoDomain domain = overviewDomain(name);
        domain.dnsRecords = c.records;
        EXPECT_EQ(domains::zoneFileText(domain), c.expected) << c.what;
    }
}

TEST(DomainAuthInfoCode, PrefixSixUpperCasedCharactersOfTheNameAndSuffix) {
    const QString longCode = domains::authInfoCode(QStringLiteral("beispiel-shop.de"));
    const QString shortCode = domains::authInfoCode(QStringLiteral("ab.io"));
    const QString prefix = longCode.left(9);
    const QString suffix = longCode.right(6);
    // The fixed parts: nine capitals with a dash in the middle and at the end, a dash and five digits.
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Z]{4}-[A-Z]{3}-$")).match(prefix).hasMatch())
        << prefix.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^-[0-9]{5}$")).match(suffix).hasMatch()) << suffix.toStdString();
    EXPECT_EQ(longCode, prefix + QStringLiteral("BEISPI") + suffix);
    EXPECT_EQ(longCode.size(), 21);
    EXPECT_EQ(shortCode, prefix + QStringLiteral("AB.IO") + suffix);
    EXPECT_EQ(domains::authInfoCode(QString()), prefix + suffix);
    // A character outside the basic plane counts as one and is never cut in half.
    const QString wide = QStringLiteral("abcde") + QString::fromUcs4(U"\U0001F600") + QStringLiteral("z.de");
    EXPECT_EQ(domains::authInfoCode(wide),
              prefix + QStringLiteral("ABCDE") + QString::fromUcs4(U"\U0001F600") + suffix);
}

TEST(DomainOverviewCard, ShowsNameBadgesOwnerAndFactsOfTheShownDomain) {
    struct Case {
        QString lock;
        bool dnssecSupported;
        bool dnssecEnabled;
        QList<BadgeLook> expected;
    };
    const BadgeLook locked{QStringLiteral("TRANSFER-LOCK AKTIV"), Tint::green};
    const BadgeLook open{QStringLiteral("ENTSPERRT"), Tint::orange};
    const BadgeLook signedOn{QStringLiteral("DNSSEC SIGNIERT"), Tint::blue};
    const BadgeLook signedOff{QStringLiteral("DNSSEC INAKTIV"), Tint::secondary};
    const QList<Case> cases{
        {QStringLiteral("locked"), true, true, {locked, signedOn}},
        {QStringLiteral("unlocked"), true, false, {open, signedOff}},
        {QString(), false, true, {open}},
        {QStringLiteral("LOCKED"), false, false, {open}},
        {QStringLiteral("unavailable"), true, true, {signedOn}},
        {QStringLiteral("unavailable"), false, true, {}},
    };
    for (const Case& c : cases) {
        HalvoDomain domain = overviewDomain(QStringLiteral("card.example"));
        domain.transferLockStatus = c.lock;
        domain.dnssecSupported = c.dnssecSupported;
        domain.dnssecEnabled = c.dnssecEnabled;
        DomainOverviewCard card(domain);
        EXPECT_EQ(badges(&card), c.expected) << c.lock.toStdString() << ' ' << c.dnssecSupported;
    }

    HalvoDomain domain = overviewDomain(QStringLiteral("card.example"));
    DomainOverviewCard card(domain);
    EXPECT_TRUE(hasLabel(&card, QStringLiteral("card.example")));
    EXPECT_TRUE(hasLabel(&card, QStringLiteral("Inhaber / Kontakt: Muster GmbH • Nameserver: dns1.example.net, "
                                               "dns2.example.net")));
    EXPECT_TRUE(hasLabel(&card, QStringLiteral("Zonen-Records: 2")));
    EXPECT_TRUE(hasLabel(&card, QStringLiteral("Letztes Update: 2026-11-30")));
    EXPECT_TRUE(hasLabel(&card, QStringLiteral("Verlängerung: 2027-03-01")));
    EXPECT_EQ(
        qobject_cast<HalvoActionButton*>(buttonWithText(&card, QStringLiteral("BIND Zonen-Datei Export")))->variant(),
        HalvoButtonVariant::primary);
    EXPECT_EQ(qobject_cast<HalvoActionButton*>(buttonWithText(&card, QStringLiteral("AuthInfo / EPP-Code kopieren")))
                  ->variant(),
              HalvoButtonVariant::secondary);

    // The fallbacks: no name servers, no update date, no expiration, and an expiration that is empty.
    domain.nameServers.clear();
    domain.lastUpdate.clear();
    domain.expiration.reset();
    domain.dnsRecords.clear();
    DomainOverviewCard bare(domain);
    EXPECT_TRUE(hasLabel(&bare, QStringLiteral("Inhaber / Kontakt: Muster GmbH • Nameserver: ")));
    EXPECT_TRUE(hasLabel(&bare, QStringLiteral("Zonen-Records: 0")));
    EXPECT_TRUE(hasLabel(&bare, QStringLiteral("Letztes Update: Aktuell")));
    EXPECT_TRUE(hasLabel(&bare, QStringLiteral("Verlängerung: Auto-Renew")));
    domain.expiration = QString();
    DomainOverviewCard emptyExpiration(domain);
    EXPECT_TRUE(hasLabel(&emptyExpiration, QStringLiteral("Verlängerung: ")));
    EXPECT_TRUE(theme::unknownSymbolsRequested().isEmpty())
        << theme::unknownSymbolsRequested().join(u',').toStdString();
}

TEST(DomainsViewHeader, FollowsTheShownDomainAndIsRebuiltOnlyWhenItChanges) {
    DomainsViewHarness v(QList<HalvoDomain>{overviewDomain(QStringLiteral("first.example")),
                                            overviewDomain(QStringLiteral("second.example"))});
    DomainOverviewCard* card = headerCard(v);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->domain().domain, QStringLiteral("first.example"));

    // Changes that leave the shown domain as it is keep the card.
    v.store().setLastActionMessage(QStringLiteral("irgendwas"));
    v.search(QStringLiteral("FIRST"));
    settle();
    EXPECT_EQ(headerCard(v), card);

    v.store().addDNSRecord(QStringLiteral("first.example"), QStringLiteral("neu"), QStringLiteral("A"),
                           QStringLiteral("192.0.2.99"), 3600);
    settle();
    ASSERT_NE(headerCard(v), card);
    EXPECT_TRUE(hasLabel(headerCard(v), QStringLiteral("Zonen-Records: 3")));

    v.search(QString());
    v.clickRow(QStringLiteral("second.example"));
    EXPECT_EQ(headerCard(v)->domain().domain, QStringLiteral("second.example"));
}

TEST(DomainsViewAuthInfo, CopiesTheCodeAndNamesTheDomainAsStored) {
    DomainsViewHarness v(QList<HalvoDomain>{overviewDomain(QStringLiteral("MixedCase.example"))});
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    click(buttonWithText(headerCard(v), QStringLiteral("AuthInfo / EPP-Code kopieren")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), domains::authInfoCode(QStringLiteral("MixedCase.example")));
    EXPECT_TRUE(QGuiApplication::clipboard()->text().contains(QStringLiteral("MIXEDC")));
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("AuthInfo / EPP-Code für MixedCase.example in die Zwischenablage kopiert."));
    EXPECT_FALSE(v.store().pendingConfirmation().has_value());
}

TEST(DomainsViewAuthInfo, CountsALetterWithItsMarkAsOneCharacter) {
    // Stored decomposed: "é" as "e" + U+0301. The code takes six user-visible characters, marks included.
    const QString name = QString::fromUtf16(u"e\u0301cole-a\u0301.example");
    DomainsViewHarness v(QList<HalvoDomain>{overviewDomain(name)});
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    click(buttonWithText(headerCard(v), QStringLiteral("AuthInfo / EPP-Code kopieren")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromUtf16(u"AUTH-HLV-E\u0301COLE--40729"));
}

TEST(DomainsViewExportOfTheDemonstration, WritesTxtLikeValuesQuotedAsStored) {
    DomainsViewHarness v; // the demonstration data
    v.clickRow(QStringLiteral("nordlicht.example.com"));
    click(buttonWithText(headerCard(v), QStringLiteral("BIND Zonen-Datei Export")));
    ZoneFileExportSheet* sheet = v.view->exportSheet();
    ASSERT_NE(sheet, nullptr);
    const QString text = sheet->textArea()->toPlainText();
    const QString spf =
        QStringLiteral("\n@\t3600\tIN\tSPF\t\"v=spf1 mx ip4:192.0.2.0/24 ip6:2001:db8:10::/48 -all\"\n");
    EXPECT_TRUE(text.contains(spf)) << text.toStdString();
    int txtLike = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() != 5 ||
            !QStringList{QStringLiteral("TXT"), QStringLiteral("SPF"), QStringLiteral("DKIM"), QStringLiteral("DMARC")}
                 .contains(fields[3]))
            continue;
        ++txtLike;
        EXPECT_TRUE(fields[4].startsWith(QLatin1Char('"')) && fields[4].endsWith(QLatin1Char('"')))
            << line.toStdString();
    }
    EXPECT_EQ(txtLike, 4);
}

class DomainsViewExportSheet : public ::testing::Test {
protected:
    DomainsViewExportSheet()
        : v(QList<HalvoDomain>{overviewDomain(QStringLiteral("export.example"))}) {}

    ZoneFileExportSheet* openSheet() {
        click(buttonWithText(headerCard(v), QStringLiteral("BIND Zonen-Datei Export")));
        ZoneFileExportSheet* sheet = v.view->exportSheet();
        EXPECT_NE(sheet, nullptr);
        EXPECT_TRUE(v.view->state().showBINDExportSheet);
        return sheet;
    }

    DomainsViewHarness v;
};

TEST_F(DomainsViewExportSheet, ShowsTheZoneReadOnlyAndCopiesItWithItsSentence) {
    ZoneFileExportSheet* sheet = openSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(hasLabel(sheet, QStringLiteral("BIND DNS-Zonen-Export: export.example")));
    const QString expected = QStringLiteral("$ORIGIN export.example.\n$TTL 3600\n@\t300\tIN\tA\t192.0.2.10\n"
                                            "www\t3600\tIN\tCNAME\texport.example.");
    EXPECT_EQ(sheet->textArea()->toPlainText(), expected);

    // Typing into the area changes nothing of what is copied.
    sheet->textArea()->setFocus();
    QTest::keyClicks(sheet->textArea(), QStringLiteral("zzz"));
    EXPECT_EQ(sheet->textArea()->toPlainText(), expected);

    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    click(sheet->copyButton());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), expected);
    EXPECT_EQ(v.store().lastActionMessage(), QStringLiteral("BIND Zone für export.example kopiert."));
    EXPECT_FALSE(v.view->state().showBINDExportSheet);
    EXPECT_EQ(v.view->exportSheet(), nullptr);
}

TEST_F(DomainsViewExportSheet, ClosingInAnyWayCopiesNothingAndReportsNothing) {
    const QString before = v.store().lastActionMessage();
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));

    ZoneFileExportSheet* sheet = openSheet();
    ASSERT_NE(sheet, nullptr);
    click(sheet->closeButton());
    EXPECT_FALSE(v.view->state().showBINDExportSheet);
    EXPECT_EQ(v.view->exportSheet(), nullptr);

    // The platform's own dismissal (Escape) clears the flag too, and the button opens it again.
    sheet = openSheet();
    ASSERT_NE(sheet, nullptr);
    QTest::keyClick(sheet, Qt::Key_Escape);
    settle();
    EXPECT_FALSE(v.view->state().showBINDExportSheet);
    EXPECT_EQ(v.view->exportSheet(), nullptr);
    ASSERT_NE(openSheet(), nullptr);

    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("vorher"));
    EXPECT_EQ(v.store().lastActionMessage(), before);
}

TEST_F(DomainsViewExportSheet, FollowsTheCachedRecordsAndClosesWhenNoDomainIsShown) {
    ZoneFileExportSheet* sheet = openSheet();
    ASSERT_NE(sheet, nullptr);
    v.store().addDNSRecord(QStringLiteral("export.example"), QStringLiteral("neu"), QStringLiteral("TXT"),
                           QStringLiteral("hallo welt"), 60);
    settle();
    ASSERT_EQ(v.view->exportSheet(), sheet);
    EXPECT_TRUE(sheet->textArea()->toPlainText().endsWith(QStringLiteral("\nneu\t60\tIN\tTXT\thallo welt")))
        << sheet->textArea()->toPlainText().toStdString();
    EXPECT_EQ(sheet->zoneText(), domains::zoneFileText(*v.domain(QStringLiteral("export.example"))));

    v.search(QStringLiteral("nichts passt"));
    EXPECT_EQ(v.view->exportSheet(), nullptr);
    EXPECT_FALSE(v.view->state().showBINDExportSheet);
}

} // namespace
} // namespace halvo::test
