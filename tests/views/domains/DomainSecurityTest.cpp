// The domain's security tab: lock and DNSSEC switches, name servers and glue records.

#include "DomainsViewFixture.h"
#include "views/domains/DomainSecuritySection.h"

namespace halvo::test {
namespace {

const QString kSecurityTab = QStringLiteral("2. Nameserver, DNSSEC & Glue-Records");

HalvoDomain securityDomain(const QString& name) {
    HalvoDomain domain;
    domain.domain = name;
    domain.nameServerType = QStringLiteral("hosted");
    domain.transferLockStatus = QStringLiteral("locked");
    domain.dnssecSupported = true;
    domain.dnssecEnabled = true;
    domain.whoisOwner = QStringLiteral("Muster GmbH");
    domain.nameServers = {QStringLiteral("dns1.example.net"), QStringLiteral("dns2.example.net")};
    domain.glueRecordSupported = true;
    return domain;
}

/// A shown view on the given domains with the security tab open.
struct SecurityTab {
    explicit SecurityTab(const QList<HalvoDomain>& domains)
        : v(domains) {
        v.clickTab(kSecurityTab);
    }

    DomainSecuritySection* section() {
        auto* section = qobject_cast<DomainSecuritySection*>(v.frame().content());
        EXPECT_NE(section, nullptr);
        return section;
    }
    QWidget* card(const char* name) { return section()->findChild<QWidget*>(QString::fromLatin1(name)); }
    HalvoActionButton* button(const QString& text) {
        return qobject_cast<HalvoActionButton*>(buttonWithText(section(), text));
    }
    QLineEdit* input(const char* name) {
        auto* field = findNamed<HalvoFormTextField>(section(), QString::fromLatin1(name));
        EXPECT_NE(field, nullptr) << name;
        return field ? field->lineEdit() : nullptr;
    }
    void type(const char* name, const QString& text) { v.type(input(name), text); }
    HalvoDomain shown() { return *v.domain(v.view->selectedDomain()->domain); }
    /// Runs the pending confirmation as the sheet does when the user confirms.
    void confirm() {
        ASSERT_TRUE(v.store().pendingConfirmation().has_value());
        const std::function<void()> action = v.store().pendingConfirmation()->action;
        v.store().clearPendingConfirmation();
        action();
        settle();
    }
    void cancel() {
        v.store().clearPendingConfirmation();
        settle();
    }

    DomainsViewHarness v;
};

TEST(DomainSecurityTab, CardsAndRowsFollowLockAndDnssecSupport) {
    struct Case {
        QString lock;
        bool dnssecSupported;
        bool dnssecEnabled;
        bool securityCard;
        QString lockButton; // empty: no lock row
        HalvoButtonVariant lockVariant;
        QString dnssecButton; // empty: no DNSSEC row
        HalvoButtonVariant dnssecVariant;
    };
    using V = HalvoButtonVariant;
    const QList<Case> cases{
        {QStringLiteral("locked"), true, true, true, QStringLiteral("Entsperren"), V::success,
         QStringLiteral("DNSSEC Deaktivieren"), V::primary},
        {QStringLiteral("unlocked"), true, false, true, QStringLiteral("Sperren (Lock)"), V::warning,
         QStringLiteral("DNSSEC Aktivieren"), V::secondary},
        {QString(), false, true, true, QStringLiteral("Sperren (Lock)"), V::warning, QString(), V::primary},
        {QStringLiteral("unavailable"), true, false, true, QString(), V::primary, QStringLiteral("DNSSEC Aktivieren"),
         V::secondary},
        {QStringLiteral("unavailable"), false, true, false, QString(), V::primary, QString(), V::primary},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lock.toStdString() + (c.dnssecSupported ? " dnssec" : " no-dnssec"));
        HalvoDomain domain = securityDomain(QStringLiteral("sec.example"));
        domain.transferLockStatus = c.lock;
        domain.dnssecSupported = c.dnssecSupported;
        domain.dnssecEnabled = c.dnssecEnabled;
        SecurityTab t({domain});
        QWidget* card = t.card("domainSecurityCard");
        ASSERT_EQ(card != nullptr, c.securityCard);
        EXPECT_NE(t.card("domainNameServerCard"), nullptr);
        if (!card)
            continue;
        EXPECT_TRUE(hasLabel(card, QStringLiteral("Domain-Sicherheit & DNSSEC (DS-Records)")));
        EXPECT_EQ(hasLabel(card, QStringLiteral("Transfer-Schutz (Registry Lock)")), !c.lockButton.isEmpty());
        EXPECT_EQ(hasLabel(card, QStringLiteral("KSK/ZSK Signierung (/domain/zone/sec.example/dnssec)")),
                  !c.dnssecButton.isEmpty());
        const bool both = !c.lockButton.isEmpty() && !c.dnssecButton.isEmpty();
        EXPECT_EQ(card->findChildren<QFrame*>(QStringLiteral("halvoDivider")).size(), both ? 1 : 0);
        const QList<HalvoActionButton*> buttons = card->findChildren<HalvoActionButton*>();
        EXPECT_EQ(buttons.size(), int(!c.lockButton.isEmpty()) + int(!c.dnssecButton.isEmpty()));
        if (!c.lockButton.isEmpty()) {
            EXPECT_EQ(t.button(c.lockButton)->variant(), c.lockVariant);
        }
        if (!c.dnssecButton.isEmpty()) {
            EXPECT_EQ(t.button(c.dnssecButton)->variant(), c.dnssecVariant);
        }
    }
}

TEST(DomainSecurityTab, LockingIsImmediateAndUnlockingAsksFirst) {
    HalvoDomain domain = securityDomain(QStringLiteral("lock.example"));
    domain.transferLockStatus = QString();
    SecurityTab t({domain});
    click(t.button(QStringLiteral("Sperren (Lock)")));
    EXPECT_FALSE(t.v.store().pendingConfirmation().has_value());
    EXPECT_EQ(t.shown().transferLockStatus, QStringLiteral("locked"));
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("Domain lock.example: Transfer-Lock auf 'locked' gesetzt (PUT /domain/lock.example)."));
    ASSERT_NE(t.button(QStringLiteral("Entsperren")), nullptr);
    EXPECT_EQ(t.button(QStringLiteral("Entsperren"))->variant(), HalvoButtonVariant::success);

    click(t.button(QStringLiteral("Entsperren")));
    ASSERT_TRUE(t.v.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest& request = *t.v.store().pendingConfirmation();
    EXPECT_EQ(request.title, QStringLiteral("Domain Transfer-Schutz entsperren?"));
    EXPECT_EQ(request.message, QStringLiteral("Wenn der Transfer-Lock für 'lock.example' aufgehoben wird, kann die "
                                              "Domain mit dem AuthInfo/EPP-Code zu einem anderen Registrar "
                                              "transferiert werden."));
    EXPECT_EQ(request.warningDetails, QStringLiteral("Domain: lock.example"));
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("Transfer-Lock entsperren"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::warning);
    EXPECT_FALSE(request.requireTypedConfirmation.has_value());
    t.cancel();
    EXPECT_EQ(t.shown().transferLockStatus, QStringLiteral("locked"));

    click(t.button(QStringLiteral("Entsperren")));
    t.confirm();
    EXPECT_EQ(t.shown().transferLockStatus, QStringLiteral("unlocked"));
    EXPECT_NE(t.button(QStringLiteral("Sperren (Lock)")), nullptr);
}

TEST(DomainSecurityTab, DnssecAsksWithTheTextsOfTheStateAtThePressAndSwitches) {
    SecurityTab t({securityDomain(QStringLiteral("sig.example"))});
    click(t.button(QStringLiteral("DNSSEC Deaktivieren")));
    ASSERT_TRUE(t.v.store().pendingConfirmation().has_value());
    {
        const HalvoConfirmRequest& r = *t.v.store().pendingConfirmation();
        EXPECT_EQ(r.title, QStringLiteral("DNSSEC deaktivieren bestätigen"));
        EXPECT_EQ(r.message, QStringLiteral("Möchtest du die kryptografische DNSSEC-Signierung für 'sig.example' "
                                            "wirklich deaktivieren?"));
        EXPECT_EQ(r.confirmButtonTitle, QStringLiteral("DNSSEC deaktivieren"));
        EXPECT_EQ(r.variant, HalvoButtonVariant::warning);
        EXPECT_EQ(r.warningDetails, QStringLiteral("Domain: sig.example"));
    }
    t.confirm();
    EXPECT_FALSE(t.shown().dnssecEnabled);
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("Domain sig.example: DNSSEC deaktiviert (DELETE /domain/zone/sig.example/dnssec)."));

    click(t.button(QStringLiteral("DNSSEC Aktivieren")));
    ASSERT_TRUE(t.v.store().pendingConfirmation().has_value());
    {
        const HalvoConfirmRequest& r = *t.v.store().pendingConfirmation();
        EXPECT_EQ(r.title, QStringLiteral("DNSSEC aktivieren bestätigen"));
        EXPECT_EQ(r.message,
                  QStringLiteral(
                      "Möchtest du die kryptografische DNSSEC-Signierung (KSK/ZSK) für 'sig.example' aktivieren?"));
        EXPECT_EQ(r.confirmButtonTitle, QStringLiteral("DNSSEC aktivieren"));
        EXPECT_EQ(r.variant, HalvoButtonVariant::primary);
    }
    t.confirm();
    EXPECT_TRUE(t.shown().dnssecEnabled);
}

TEST(DomainSecurityTab, AConfirmedSwitchIsNotTurnedIntoItsOppositeByAChangeMeanwhile) {
    SecurityTab t({securityDomain(QStringLiteral("race.example"))});
    // The user asks to switch DNSSEC off; before the confirmation, the state is switched off elsewhere.
    click(t.button(QStringLiteral("DNSSEC Deaktivieren")));
    t.v.store().toggleDNSSEC(QStringLiteral("race.example"));
    ASSERT_FALSE(t.shown().dnssecEnabled);
    t.confirm();
    EXPECT_FALSE(t.shown().dnssecEnabled) << "confirming 'off' switched DNSSEC on";

    click(t.button(QStringLiteral("Entsperren")));
    t.v.store().toggleDomainTransferLock(QStringLiteral("race.example"));
    ASSERT_EQ(t.shown().transferLockStatus, QStringLiteral("unlocked"));
    t.confirm();
    EXPECT_EQ(t.shown().transferLockStatus, QStringLiteral("unlocked")) << "confirming 'unlock' locked the domain";
}

TEST(DomainSecurityTab, NameServerCardShowsTypeAndActiveServers) {
    HalvoDomain external = securityDomain(QStringLiteral("ext.example"));
    external.nameServerType = QStringLiteral("external");
    HalvoDomain bare = securityDomain(QStringLiteral("bare.example"));
    bare.nameServers.clear();
    SecurityTab t({securityDomain(QStringLiteral("ns.example")), external, bare});
    QWidget* card = t.card("domainNameServerCard");
    EXPECT_TRUE(hasLabel(card, QStringLiteral("Autoritative Nameserver (HOSTED)")));
    EXPECT_TRUE(hasLabel(card, QStringLiteral("Aktive NS: dns1.example.net • dns2.example.net")));
    t.v.clickRow(QStringLiteral("ext.example"));
    EXPECT_TRUE(hasLabel(t.card("domainNameServerCard"), QStringLiteral("Autoritative Nameserver (EXTERNAL)")));
    t.v.clickRow(QStringLiteral("bare.example"));
    EXPECT_TRUE(hasLabel(t.card("domainNameServerCard"), QStringLiteral("Aktive NS: ")));
}

TEST(DomainSecurityTab, NameServerFormIgnoresBlanksAndSendsTheTrimmedListAfterConfirmation) {
    struct Case {
        QString ns1;
        QString ns2;
        QStringList expected; // empty: nothing happens
    };
    const QList<Case> cases{
        {QString(), QString(), {}},
        {QStringLiteral("   "), QStringLiteral("\t "), {}},
        {QString(), QStringLiteral("ns2.own.example"), {QStringLiteral("ns2.own.example")}},
        {QStringLiteral("  ns1.own.example\t"), QStringLiteral("  "), {QStringLiteral("ns1.own.example")}},
        {QStringLiteral(" a.example "),
         QStringLiteral("b.example"),
         {QStringLiteral("a.example"), QStringLiteral("b.example")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ns1.toStdString() + "|" + c.ns2.toStdString());
        SecurityTab t({securityDomain(QStringLiteral("ns.example"))});
        const QString before = t.v.store().lastActionMessage();
        t.type("ns1Field", c.ns1);
        t.type("ns2Field", c.ns2);
        EXPECT_EQ(t.v.view->state().ns1Input, c.ns1);
        click(t.button(QStringLiteral("Nameserver speichern")));
        if (c.expected.isEmpty()) {
            EXPECT_FALSE(t.v.store().pendingConfirmation().has_value());
            EXPECT_EQ(t.v.store().lastActionMessage(), before);
            EXPECT_EQ(t.v.view->state().ns1Input, c.ns1);
            EXPECT_EQ(t.v.view->state().ns2Input, c.ns2);
            continue;
        }
        ASSERT_TRUE(t.v.store().pendingConfirmation().has_value());
        const HalvoConfirmRequest& r = *t.v.store().pendingConfirmation();
        EXPECT_EQ(r.title, QStringLiteral("Autoritative Nameserver ändern?"));
        EXPECT_EQ(r.message, QStringLiteral("Möchtest du die Nameserver für 'ns.example' auf [") +
                                 c.expected.join(QStringLiteral(", ")) +
                                 QStringLiteral("] umstellen? Fehlerhafte Nameserver können die Erreichbarkeit der "
                                                "gesamten Domain beeinträchtigen."));
        EXPECT_EQ(r.warningDetails, QStringLiteral("Domain: ns.example"));
        EXPECT_EQ(r.confirmButtonTitle, QStringLiteral("Nameserver jetzt umstellen"));
        EXPECT_EQ(r.variant, HalvoButtonVariant::warning);

        // Inputs typed after the press do not change what was asked for.
        t.type("ns1Field", QStringLiteral("later.example"));
        t.confirm();
        EXPECT_EQ(t.shown().nameServers, c.expected);
        EXPECT_TRUE(t.v.view->state().ns1Input.isEmpty());
        EXPECT_TRUE(t.v.view->state().ns2Input.isEmpty());
        EXPECT_TRUE(t.input("ns1Field")->text().isEmpty());
        EXPECT_TRUE(t.input("ns2Field")->text().isEmpty());
        EXPECT_TRUE(hasLabel(t.card("domainNameServerCard"),
                             QStringLiteral("Aktive NS: ") + c.expected.join(QStringLiteral(" • "))));
    }
}

TEST(DomainSecurityTab, CancelledNameServerChangeKeepsTheInputsAndTheyStayAcrossDomains) {
    SecurityTab t({securityDomain(QStringLiteral("one.example")), securityDomain(QStringLiteral("two.example"))});
    t.type("ns1Field", QStringLiteral("ns1.keep.example"));
    click(t.button(QStringLiteral("Nameserver speichern")));
    t.cancel();
    EXPECT_EQ(t.shown().nameServers, securityDomain(QString()).nameServers);
    t.v.clickRow(QStringLiteral("two.example"));
    EXPECT_EQ(t.input("ns1Field")->text(), QStringLiteral("ns1.keep.example"));
    // The same list as before still clears the inputs after confirmation.
    t.v.view->state().ns1Input = QStringLiteral("dns1.example.net");
    t.v.view->state().ns2Input = QStringLiteral("dns2.example.net");
    t.v.view->reloadInputFields();
    click(t.button(QStringLiteral("Nameserver speichern")));
    t.confirm();
    EXPECT_TRUE(t.input("ns1Field")->text().isEmpty());
    EXPECT_TRUE(t.input("ns2Field")->text().isEmpty());
}

TEST(DomainSecurityTab, GlueRecordsAreListedAddedAsTypedAndDeletedAfterConfirmation) {
    HalvoDomain domain = securityDomain(QStringLiteral("glue.example"));
    domain.glueRecords = {
        {QStringLiteral("ns1.glue.example"), {QStringLiteral("192.0.2.1"), QStringLiteral("2001:db8::1")}}};
    HalvoDomain unsupported = securityDomain(QStringLiteral("noglue.example"));
    unsupported.glueRecordSupported = false;
    unsupported.glueRecords = domain.glueRecords;
    SecurityTab t({domain, unsupported});

    QWidget* card = t.card("domainGlueCard");
    ASSERT_NE(card, nullptr);
    EXPECT_TRUE(hasLabel(card, QStringLiteral("Glue-Records Registry-Verwaltung (/domain/glue.example/glueRecord)")));
    EXPECT_TRUE(hasLabel(card, QStringLiteral("ns1.glue.example")));
    EXPECT_TRUE(hasLabel(card, QStringLiteral("-> 192.0.2.1, 2001:db8::1")));
    EXPECT_EQ(t.input("glueHostField")->placeholderText(), QStringLiteral("Nameserver-Host (z.B. ns1.glue.example)"));

    // Either input empty: nothing.
    const QString before = t.v.store().lastActionMessage();
    t.type("glueIPField", QStringLiteral("192.0.2.7"));
    click(t.button(QStringLiteral("Glue-Record eintragen")));
    EXPECT_EQ(t.shown().glueRecords.size(), 1);
    EXPECT_EQ(t.v.store().lastActionMessage(), before);
    EXPECT_EQ(t.v.view->state().glueIPInput, QStringLiteral("192.0.2.7"));

    // A single blank is content and goes to the store unchanged.
    t.type("glueHostField", QStringLiteral(" "));
    click(t.button(QStringLiteral("Glue-Record eintragen")));
    ASSERT_EQ(t.shown().glueRecords.size(), 2);
    EXPECT_EQ(t.shown().glueRecords.last().host, QStringLiteral(" .glue.example"));
    EXPECT_EQ(t.shown().glueRecords.last().ips, QStringList{QStringLiteral("192.0.2.7")});
    EXPECT_TRUE(t.input("glueHostField")->text().isEmpty());
    EXPECT_TRUE(t.input("glueIPField")->text().isEmpty());
    EXPECT_EQ(t.card("domainGlueCard")->findChildren<QFrame*>(QStringLiteral("glueRecordRow")).size(), 2);

    const QList<QAbstractButton*> deletes = buttonsWithText(t.section(), QStringLiteral("Glue löschen"));
    ASSERT_EQ(deletes.size(), 2);
    click(deletes.first());
    ASSERT_TRUE(t.v.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest& r = *t.v.store().pendingConfirmation();
    EXPECT_EQ(r.title, QStringLiteral("Glue-Record löschen bestätigen"));
    EXPECT_EQ(r.message, QStringLiteral("Möchtest du den Registry Glue-Record 'ns1.glue.example' wirklich löschen?"));
    EXPECT_EQ(r.warningDetails, QStringLiteral("Host: ns1.glue.example"));
    EXPECT_EQ(r.confirmButtonTitle, QStringLiteral("Glue-Record löschen"));
    EXPECT_EQ(r.variant, HalvoButtonVariant::danger);
    t.confirm();
    ASSERT_EQ(t.shown().glueRecords.size(), 1);
    EXPECT_EQ(t.shown().glueRecords.first().host, QStringLiteral(" .glue.example"));

    t.v.clickRow(QStringLiteral("noglue.example"));
    EXPECT_EQ(t.card("domainGlueCard"), nullptr);
    EXPECT_FALSE(hasButton(t.section(), QStringLiteral("Glue löschen")));
    EXPECT_TRUE(theme::unknownSymbolsRequested().isEmpty());
}

} // namespace
} // namespace halvo::test
