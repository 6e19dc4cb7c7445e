// The domain's Pulsename tab: the form, the entries and their confirmed local removal.

#include "DomainsViewFixture.h"
#include "views/domains/PulsenameSection.h"

namespace halvo::test {
namespace {

const QString kPulsenameTab = QStringLiteral("3. Pulsename (Dynamisches DNS)");

HalvoDomain pulsenameDomain(const QString& name, const QList<HalvoPulsename>& entries = {}) {
    HalvoDomain domain;
    domain.domain = name;
    domain.nameServerType = QStringLiteral("hosted");
    domain.transferLockStatus = QStringLiteral("locked");
    domain.pulsenameSupported = true;
    domain.pulsenames = entries;
    return domain;
}

struct PulsenameTab {
    explicit PulsenameTab(const QList<HalvoDomain>& domains)
        : v(domains) {
        v.clickTab(kPulsenameTab);
    }

    PulsenameSection* section() {
        auto* section = qobject_cast<PulsenameSection*>(v.frame().content());
        EXPECT_NE(section, nullptr);
        return section;
    }
    QLineEdit* input(const char* name) {
        auto* field = findNamed<HalvoFormTextField>(section(), QString::fromLatin1(name));
        EXPECT_NE(field, nullptr) << name;
        return field ? field->lineEdit() : nullptr;
    }
    /// Replaces the field's text as a user would: select all, then type (or delete).
    void retype(const char* name, const QString& text) {
        QLineEdit* edit = input(name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        if (!text.isEmpty())
            QTest::keyClicks(edit, text);
        settle();
    }
    void pressAdd() { click(buttonWithText(section(), QStringLiteral("Pulsename anlegen"))); }
    QList<HalvoPulsename> entries() { return v.domain(v.view->selectedDomain()->domain)->pulsenames; }
    int rowCount() { return int(section()->findChildren<QFrame*>(QStringLiteral("pulsenameRow")).size()); }

    DomainsViewHarness v;
};

TEST(PulsenameTab, CardNamesTheDomainAndShowsTheEmptyStateOrOneRowPerEntry) {
    PulsenameTab t(
        {pulsenameDomain(QStringLiteral("dyn.example")),
         pulsenameDomain(QStringLiteral("full.example"),
                         {{QStringLiteral("home"), QStringLiteral("198.51.100.5"), QStringLiteral("full.example-a")},
                          {QStringLiteral("vpn"), QStringLiteral("198.51.100.6"), QStringLiteral("full.example-b")}})});
    EXPECT_TRUE(hasLabel(t.section(),
                         QStringLiteral("Halvo Pulsename – Dynamisches DNS (/domain/zone/dyn.example/pulsename)")));
    EXPECT_TRUE(hasLabel(t.section(), QStringLiteral("Noch keine Pulsename-Einträge für dyn.example konfiguriert.")));
    EXPECT_EQ(t.rowCount(), 0);
    EXPECT_EQ(t.input("dynSubField")->text(), QStringLiteral("home"));
    EXPECT_EQ(t.input("dynLoginField")->text(), QStringLiteral("router-login"));
    EXPECT_TRUE(t.input("dynIPField")->text().isEmpty());

    t.v.clickRow(QStringLiteral("full.example"));
    EXPECT_EQ(t.rowCount(), 2);
    EXPECT_FALSE(hasLabelContaining(t.section(), QStringLiteral("Noch keine")));
    const QStringList texts = labelTexts(t.section());
    for (const char* expected : {"home.full.example", "-> 198.51.100.5", "Login: full.example-a", "vpn.full.example",
                                 "-> 198.51.100.6", "Login: full.example-b"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(buttonsWithText(t.section(), QStringLiteral("Pulsename löschen")).size(), 2);
    EXPECT_TRUE(theme::unknownSymbolsRequested().isEmpty());
}

TEST(PulsenameTab, AddingBuildsTheLoginClearsOnlyTheAddressAndReplacesBySubdomain) {
    PulsenameTab t({pulsenameDomain(QStringLiteral("dyn.example"))});
    t.retype("dynIPField", QStringLiteral("203.0.113.9"));
    t.pressAdd();
    ASSERT_EQ(t.entries().size(), 1);
    EXPECT_EQ(t.entries().first(), (HalvoPulsename{QStringLiteral("home"), QStringLiteral("203.0.113.9"),
                                                   QStringLiteral("dyn.example-router-login")}));
    EXPECT_EQ(t.rowCount(), 1);
    EXPECT_TRUE(t.v.view->state().dynIPInput.isEmpty());
    EXPECT_TRUE(t.input("dynIPField")->text().isEmpty());
    EXPECT_EQ(t.input("dynSubField")->text(), QStringLiteral("home"));
    EXPECT_EQ(t.input("dynLoginField")->text(), QStringLiteral("router-login"));

    // Same subdomain, empty suffix: the entry is replaced and its login ends in the hyphen.
    t.retype("dynLoginField", QString());
    t.retype("dynIPField", QStringLiteral("203.0.113.10"));
    t.pressAdd();
    ASSERT_EQ(t.entries().size(), 1);
    EXPECT_EQ(t.entries().first().ip, QStringLiteral("203.0.113.10"));
    EXPECT_EQ(t.entries().first().login, QStringLiteral("dyn.example-"));
    EXPECT_EQ(t.rowCount(), 1);
}

TEST(PulsenameTab, EmptySubdomainOrAddressDoesNothingWhileBlanksCountAsTyped) {
    struct Case {
        QString sub;
        QString ip;
        bool adds;
    };
    const QList<Case> cases{
        {QStringLiteral("home"), QString(), false},
        {QString(), QStringLiteral("203.0.113.1"), false},
        {QStringLiteral(" "), QStringLiteral(" 203.0.113.1"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sub.toStdString() + "|" + c.ip.toStdString());
        PulsenameTab t({pulsenameDomain(QStringLiteral("dyn.example"))});
        const QString before = t.v.store().lastActionMessage();
        t.retype("dynSubField", c.sub);
        t.retype("dynIPField", c.ip);
        t.pressAdd();
        if (!c.adds) {
            EXPECT_TRUE(t.entries().isEmpty());
            EXPECT_EQ(t.v.store().lastActionMessage(), before);
            EXPECT_EQ(t.v.view->state().dynIPInput, c.ip);
            continue;
        }
        ASSERT_EQ(t.entries().size(), 1);
        EXPECT_EQ(t.entries().first().subDomain, c.sub);
        EXPECT_EQ(t.entries().first().ip, c.ip);
    }
}

TEST(PulsenameTab, DeletingAsksWithTheEntryAndRemovesItLocally) {
    const QList<HalvoPulsename> entries{
        {QStringLiteral("home"), QStringLiteral("198.51.100.5"), QStringLiteral("del.example-a")},
        {QStringLiteral("vpn"), QStringLiteral("198.51.100.6"), QStringLiteral("del.example-b")}};
    PulsenameTab t({pulsenameDomain(QStringLiteral("del.example"), entries)});
    const QList<QAbstractButton*> deletes = buttonsWithText(t.section(), QStringLiteral("Pulsename löschen"));
    ASSERT_EQ(deletes.size(), 2);
    click(deletes.at(1));
    ASSERT_TRUE(t.v.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest& r = *t.v.store().pendingConfirmation();
    EXPECT_EQ(r.title, QStringLiteral("Pulsename-Eintrag löschen bestätigen"));
    EXPECT_EQ(r.message,
              QStringLiteral(
                  "Möchtest du den Pulsename-Eintrag 'vpn.del.example' (Ziel-IP: 198.51.100.6) wirklich löschen?"));
    EXPECT_EQ(r.warningDetails, QStringLiteral("Subdomain: vpn.del.example"));
    EXPECT_EQ(r.confirmButtonTitle, QStringLiteral("Pulsename löschen"));
    EXPECT_EQ(r.variant, HalvoButtonVariant::danger);
    EXPECT_FALSE(r.requireTypedConfirmation.has_value());
    EXPECT_EQ(t.entries(), entries) << "nothing is removed before the confirmation";

    const std::function<void()> action = r.action;
    t.v.store().clearPendingConfirmation();
    action();
    settle();
    EXPECT_EQ(t.entries(), QList<HalvoPulsename>{entries.first()});
    EXPECT_EQ(t.rowCount(), 1);

    click(buttonWithText(t.section(), QStringLiteral("Pulsename löschen")));
    const std::function<void()> last = t.v.store().pendingConfirmation()->action;
    t.v.store().clearPendingConfirmation();
    last();
    settle();
    EXPECT_TRUE(t.entries().isEmpty());
    EXPECT_TRUE(hasLabel(t.section(), QStringLiteral("Noch keine Pulsename-Einträge für del.example konfiguriert.")));
}

} // namespace
} // namespace halvo::test
