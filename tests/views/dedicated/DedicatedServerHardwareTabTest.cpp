// The tab "Hardware & Status": tiles, copy handlers, the reverse-DNS and rescue e-mail forms and the two
// monitoring switches.

#include "DedicatedViewFixture.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLineEdit>

#include <functional>

namespace halvo::test {
namespace {

using theme::Tint;

struct TileView {
    QString label;
    QString value;
    std::optional<QString> subvalue;
    Tint tint;
    QPoint cell; ///< column, row
};

QList<TileView> tiles(QWidget* content) {
    QList<TileView> result;
    auto* grid = content->findChild<QGridLayout*>(QStringLiteral("hardwareTiles"));
    EXPECT_NE(grid, nullptr);
    for (const HalvoSpecTile* tile : content->findChildren<HalvoSpecTile*>()) {
        int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
        if (grid)
            grid->getItemPosition(grid->indexOf(tile), &row, &column, &rowSpan, &columnSpan);
        const HalvoSpecTile::Spec& spec = tile->spec();
        result.append({spec.label, spec.value, spec.subvalue, spec.tint, QPoint(column, row)});
    }
    return result;
}

std::optional<TileView> tile(QWidget* content, const QString& label) {
    for (const TileView& t : tiles(content)) {
        if (t.label == label)
            return t;
    }
    return std::nullopt;
}

HalvoSpecTile* tileWidget(QWidget* content, const QString& label) {
    for (HalvoSpecTile* t : content->findChildren<HalvoSpecTile*>()) {
        if (t->spec().label == label)
            return t;
    }
    return nullptr;
}

HalvoFormTextField* field(DedicatedView& v, const char* name) {
    auto* result = findNamed<HalvoFormTextField>(v.content(), QString::fromUtf8(name));
    EXPECT_NE(result, nullptr) << name;
    return result;
}

HalvoActionButton* actionButton(QWidget* root, const QString& text) {
    return qobject_cast<HalvoActionButton*>(buttonWithText(root, text));
}

TEST(DedicatedHardwareTab, ShowsAllTilesInOrderFourToARow) {
    const HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    DedicatedView v(QList<HalvoServer>{server});
    const QList<TileView> shown = tiles(v.content());
    struct Expected {
        const char* label;
        const char* value;
        std::optional<const char*> subvalue;
        Tint tint;
    };
    const Expected expected[] = {
        {"Prozessor (CPU)", "AMD EPYC 4344P", "8 Cores / 16 Threads (3.8 GHz)", Tint::blue},
        {"Arbeitsspeicher (RAM)", "64 GB", "DDR5 ECC", Tint::teal},
        {"Mainboard & Chassis", "ASRock Rack B650D4U", "Formfaktor: 1U • Rack R12", Tint::purple},
        {"Betriebssystem (OS)", "debian12_64", "Boot-ID #1 (harddisk)", Tint::orange},
        {"Primäre IPv4", "192.0.2.10", "Gateway: 192.0.2.254", Tint::blue},
        {"IPv6 Subnetz (/64)", "2001:db8:10::/64", "Geroutet auf ns1.example.net", Tint::indigo},
        {"SLA & DC-Monitoring", "Aktiv (Proaktiv)", "Techniker-Intervention erlaubt", Tint::green},
        {"Support & Laufzeit", "PREMIUM", "Ablauf/Renew: 2027-03-01", Tint::green},
    };
    ASSERT_EQ(shown.size(), qsizetype(std::size(expected)));
    for (int i = 0; i < shown.size(); ++i) {
        const Expected& e = expected[i];
        EXPECT_EQ(shown[i].label, QString::fromUtf8(e.label));
        EXPECT_EQ(shown[i].value, QString::fromUtf8(e.value)) << e.label;
        EXPECT_EQ(shown[i].subvalue, QString::fromUtf8(*e.subvalue)) << e.label;
        EXPECT_EQ(shown[i].tint, e.tint) << e.label;
        EXPECT_EQ(shown[i].cell, QPoint(i % 4, i / 4)) << e.label;
    }
}

TEST(DedicatedHardwareTab, TilesWithoutTheirValuesAreLeftOutAndTheRestMoveUp) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.cpuModel = kNoValue;
    server.motherBoard = kNoValue;
    server.ip = kNoValue;
    server.ramSizeGB = 0;
    server.ipv6.clear();
    DedicatedView v(QList<HalvoServer>{server});
    const QList<TileView> shown = tiles(v.content());
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].label, QStringLiteral("Betriebssystem (OS)"));
    EXPECT_EQ(shown[1].label, QStringLiteral("SLA & DC-Monitoring"));
    EXPECT_EQ(shown[2].label, QStringLiteral("Support & Laufzeit"));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(shown[i].cell, QPoint(i, 0));
}

TEST(DedicatedHardwareTab, TileValuesFollowTheirConditions) {
    struct Case {
        const char* what;
        std::function<void(HalvoServer&)> change;
        const char* label;
        std::optional<QString> value;    ///< none: the tile is left out
        std::optional<QString> subvalue; ///< checked when the tile is shown
        std::optional<Tint> tint = std::nullopt;
    };
    const Case cases[] = {
        {"no cores", [](HalvoServer& s) { s.cpuCores = 0; }, "Prozessor (CPU)", QStringLiteral("AMD EPYC 4344P"),
         QStringLiteral("3.8 GHz")},
        {"negative cores", [](HalvoServer& s) { s.cpuCores = -2; }, "Prozessor (CPU)", QStringLiteral("AMD EPYC 4344P"),
         QStringLiteral("3.8 GHz")},
        {"one core",
         [](HalvoServer& s) {
             s.cpuCores = 1;
             s.cpuThreads = 2;
         },
         "Prozessor (CPU)", QStringLiteral("AMD EPYC 4344P"), QStringLiteral("1 Cores / 2 Threads (3.8 GHz)")},
        {"1 GB", [](HalvoServer& s) { s.ramSizeGB = 1; }, "Arbeitsspeicher (RAM)", QStringLiteral("1 GB"),
         QStringLiteral("DDR5 ECC")},
        {"big RAM", [](HalvoServer& s) { s.ramSizeGB = 1536; }, "Arbeitsspeicher (RAM)", QStringLiteral("1536 GB"),
         QStringLiteral("DDR5 ECC")},
        {"no RAM", [](HalvoServer& s) { s.ramSizeGB = -1; }, "Arbeitsspeicher (RAM)", std::nullopt, std::nullopt},
        {"empty rack", [](HalvoServer& s) { s.rack.clear(); }, "Mainboard & Chassis",
         QStringLiteral("ASRock Rack B650D4U"), QStringLiteral("Formfaktor: 1U • Rack ")},
        {"no gateway", [](HalvoServer& s) { s.gateway = kNoValue; }, "Primäre IPv4", QStringLiteral("192.0.2.10"),
         std::nullopt},
        {"empty address", [](HalvoServer& s) { s.ip.clear(); }, "Primäre IPv4", QString(),
         QStringLiteral("Gateway: 192.0.2.254")},
        {"no IPv6", [](HalvoServer& s) { s.ipv6 = kNoValue; }, "IPv6 Subnetz (/64)", std::nullopt, std::nullopt},
        {"monitoring off, no intervention",
         [](HalvoServer& s) {
             s.monitoring = false;
             s.noIntervention = true;
         },
         "SLA & DC-Monitoring", QStringLiteral("Deaktiviert"), QStringLiteral("No-Intervention: Techniker gesperrt"),
         Tint::orange},
        {"rescue boot",
         [](HalvoServer& s) {
             s.bootType = QStringLiteral("rescue");
             s.bootId = 1122;
         },
         "Betriebssystem (OS)", QStringLiteral("debian12_64"), QStringLiteral("Boot-ID #1122 (rescue)")},
        {"no expiration", [](HalvoServer& s) { s.expirationDate = kNoValue; }, "Support & Laufzeit",
         QStringLiteral("PREMIUM"), std::nullopt},
        {"mixed-case support", [](HalvoServer& s) { s.supportLevel = QStringLiteral("Business"); },
         "Support & Laufzeit", QStringLiteral("BUSINESS"), QStringLiteral("Ablauf/Renew: 2027-03-01")},
    };
    for (const Case& c : cases) {
        HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
        c.change(server);
        DedicatedView v(QList<HalvoServer>{server});
        const std::optional<TileView> shown = tile(v.content(), QString::fromUtf8(c.label));
        ASSERT_EQ(shown.has_value(), c.value.has_value()) << c.what;
        if (!shown)
            continue;
        EXPECT_EQ(shown->value, *c.value) << c.what;
        EXPECT_EQ(shown->subvalue, c.subvalue) << c.what;
        if (c.tint) {
            EXPECT_EQ(shown->tint, *c.tint) << c.what;
        }
    }
}

TEST(DedicatedHardwareTab, OnlyTheAddressTilesCopyAndReportIt) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    int chips = 0;
    for (const HalvoSpecTile* t : v.content()->findChildren<HalvoSpecTile*>())
        chips += t->copyButton() ? 1 : 0;
    EXPECT_EQ(chips, 2);

    const std::pair<const char*, std::pair<QString, QString>> cases[] = {
        {"Primäre IPv4", {QStringLiteral("192.0.2.10"), QStringLiteral("Primäre Server-IPv4 192.0.2.10 kopiert.")}},
        {"IPv6 Subnetz (/64)",
         {QStringLiteral("2001:db8:10::/64"), QStringLiteral("Server-IPv6 2001:db8:10::/64 kopiert.")}},
    };
    for (const auto& [label, expected] : cases) {
        HalvoSpecTile* t = tileWidget(v.content(), QString::fromUtf8(label));
        ASSERT_TRUE(t && t->copyButton()) << label;
        QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
        click(t->copyButton());
        EXPECT_EQ(QGuiApplication::clipboard()->text(), expected.first) << label;
        EXPECT_EQ(v.store().lastActionMessage(), expected.second) << label;
    }
}

TEST(DedicatedHardwareTab, CardsNameTheServer) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Server Reverse-DNS (PTR) & Anzeigename")));
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Ändert den globalen PTR-Eintrag der Haupt-IP sowie den "
                                                     "Servernamen (PUT /dedicated/server/ns1.example.net)")));
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Aktueller Reverse-DNS: host-ns1.example.net.example.org.")));
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Rechenzentrum Monitoring & Techniker-Eingriff")));
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Steuert, ob Halvo-Techniker bei ICMP-Ausfall automatisch "
                                                     "Hardware prüfen dürfen")));
    const QString reversePlaceholder = field(v, "newReverseInput")->lineEdit()->placeholderText();
    EXPECT_TRUE(reversePlaceholder.startsWith(QStringLiteral("Neuer FQDN mit Punkt am Ende (z.B. ")));
    EXPECT_TRUE(reversePlaceholder.endsWith(QStringLiteral(".)"))) << "the example ends in a dot";
}

TEST(DedicatedHardwareTab, RescueMailPlaceholderNamesTheCurrentAddress) {
    HalvoServer withMail = makeServer(QStringLiteral("ns1.example.net"));
    HalvoServer withoutMail = makeServer(QStringLiteral("ns2.example.net"));
    withoutMail.rescueMail.reset();
    DedicatedView v(QList<HalvoServer>{withMail, withoutMail});
    EXPECT_EQ(field(v, "newRescueMailInput")->lineEdit()->placeholderText(),
              QStringLiteral("E-Mail für Rescue-Passwörter & Warnungen (aktuell: ops@example.org)"));
    v.clickRow(1);
    EXPECT_EQ(field(v, "newRescueMailInput")->lineEdit()->placeholderText(),
              QStringLiteral("E-Mail für Rescue-Passwörter & Warnungen (aktuell: Account E-Mail)"));
}

TEST(DedicatedHardwareTab, ReverseSaveTrimsAddsTheDotAndClearsTheField) {
    struct Case {
        QString typed;
        QString stored;
    };
    const Case cases[] = {
        {QStringLiteral("  neu.example.org  "), QStringLiteral("neu.example.org.")},
        {QStringLiteral("\tneu.example.org.\u00A0"), QStringLiteral("neu.example.org.")},
        // A line break is content, not a blank.
        {QStringLiteral(" neu.example.org\n "), QStringLiteral("neu.example.org\n.")},
        // The same name again: the record does not change, the field is cleared all the same.
        {QStringLiteral("host-ns1.example.net.example.org."), QStringLiteral("host-ns1.example.net.example.org.")},
    };
    for (const Case& c : cases) {
        DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
        field(v, "newReverseInput")->lineEdit()->setText(c.typed);
        EXPECT_EQ(v.view->state().newReverseInput, c.typed);
        click(buttonWithText(v.content(), QStringLiteral("Reverse-DNS speichern")));
        EXPECT_EQ(v.server(QStringLiteral("ns1.example.net")).reverse, c.stored) << c.typed.toStdString();
        // The status line is one line: there a line break shows as a blank.
        EXPECT_EQ(v.store().lastActionMessage(), QStringLiteral("Dedicated Server ns1.example.net: Server-Hostname / "
                                                                "Reverse-DNS auf '") +
                                                     QString(c.stored).replace(u'\n', u' ') +
                                                     QStringLiteral("' gesetzt."));
        EXPECT_TRUE(v.view->state().newReverseInput.isEmpty());
        EXPECT_TRUE(field(v, "newReverseInput")->lineEdit()->text().isEmpty()) << c.typed.toStdString();
        EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Aktueller Reverse-DNS: ") + c.stored));
        EXPECT_TRUE(hasLabel(v.header(), c.stored));
    }
}

TEST(DedicatedHardwareTab, RescueMailSaveTrimsAndClearsTheField) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    QTest::keyClicks(field(v, "newRescueMailInput")->lineEdit(), QStringLiteral("  neu@example.org "));
    click(buttonWithText(v.content(), QStringLiteral("Rescue E-Mail speichern")));
    EXPECT_EQ(v.server(QStringLiteral("ns1.example.net")).rescueMail, QStringLiteral("neu@example.org"));
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("Dedicated Server ns1.example.net: Rescue-Zugangsdaten E-Mail auf 'neu@example.org' "
                             "geändert."));
    EXPECT_TRUE(v.view->state().newRescueMailInput.isEmpty());
    EXPECT_TRUE(field(v, "newRescueMailInput")->lineEdit()->text().isEmpty());
    EXPECT_EQ(field(v, "newRescueMailInput")->lineEdit()->placeholderText(),
              QStringLiteral("E-Mail für Rescue-Passwörter & Warnungen (aktuell: neu@example.org)"));
}

TEST(DedicatedHardwareTab, BlankInputsChangeNothingAndKeepTheirBlanks) {
    const std::pair<const char*, const char*> forms[] = {
        {"newReverseInput", "Reverse-DNS speichern"},
        {"newRescueMailInput", "Rescue E-Mail speichern"},
    };
    for (const auto& [fieldName, buttonText] : forms) {
        DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
        v.store().setLastActionMessage(QStringLiteral("vorher"));
        const QList<HalvoServer> before = v.store().activeSnapshot().dedicatedServers;
        QTest::keyClicks(field(v, fieldName)->lineEdit(), QStringLiteral("   "));
        click(buttonWithText(v.content(), QString::fromUtf8(buttonText)));
        EXPECT_TRUE(v.store().activeSnapshot().dedicatedServers == before) << fieldName;
        EXPECT_EQ(v.store().lastActionMessage(), QStringLiteral("vorher")) << fieldName;
        EXPECT_EQ(field(v, fieldName)->lineEdit()->text(), QStringLiteral("   ")) << fieldName;
    }
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    QTest::keyClicks(field(v, "newReverseInput")->lineEdit(), QStringLiteral("   "));
    EXPECT_EQ(v.view->state().newReverseInput, QStringLiteral("   "));
}

TEST(DedicatedHardwareTab, TypedTextSurvivesTabAndServerSwitches) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net")),
                                       makeServer(QStringLiteral("ns2.example.net"))});
    QTest::keyClicks(field(v, "newReverseInput")->lineEdit(), QStringLiteral("halb.example"));
    QTest::keyClicks(field(v, "newRescueMailInput")->lineEdit(), QStringLiteral("a@b"));
    v.clickTab(1);
    v.clickTab(0);
    EXPECT_EQ(field(v, "newReverseInput")->lineEdit()->text(), QStringLiteral("halb.example"));
    v.clickRow(1);
    EXPECT_EQ(field(v, "newReverseInput")->lineEdit()->text(), QStringLiteral("halb.example"));
    EXPECT_EQ(field(v, "newRescueMailInput")->lineEdit()->text(), QStringLiteral("a@b"));

    // Saved on the second server, not the first.
    click(buttonWithText(v.content(), QStringLiteral("Reverse-DNS speichern")));
    EXPECT_EQ(v.server(QStringLiteral("ns2.example.net")).reverse, QStringLiteral("halb.example."));
    EXPECT_EQ(v.server(QStringLiteral("ns1.example.net")).reverse, QStringLiteral("host-ns1.example.net.example.org."));
}

TEST(DedicatedHardwareTab, MonitoringSwitchesInvertAndFollowTheRecord) {
    struct Step {
        const char* press;
        const char* sentence;
        const char* monitoringButton;
        HalvoButtonVariant monitoringVariant;
        const char* interventionButton;
        HalvoButtonVariant interventionVariant;
    };
    const char* prefix = "Dedicated Server ns1.example.net: ";
    const Step steps[] = {
        {"Proaktives ICMP-Monitoring: AN", "Halvo Intervention-Monitoring deaktiviert.", "ICMP-Monitoring: AUS",
         HalvoButtonVariant::secondary, "Techniker-Eingriff: ERLAUBT", HalvoButtonVariant::secondary},
        {"ICMP-Monitoring: AUS", "Halvo Intervention-Monitoring aktiviert.", "Proaktives ICMP-Monitoring: AN",
         HalvoButtonVariant::success, "Techniker-Eingriff: ERLAUBT", HalvoButtonVariant::secondary},
        {"Techniker-Eingriff: ERLAUBT", "Datacenter Techniker-Eingriff blockiert (No-Intervention AN).",
         "Proaktives ICMP-Monitoring: AN", HalvoButtonVariant::success, "No-Intervention: AKTIV",
         HalvoButtonVariant::warning},
        {"No-Intervention: AKTIV", "Datacenter Techniker-Eingriff erlaubt.", "Proaktives ICMP-Monitoring: AN",
         HalvoButtonVariant::success, "Techniker-Eingriff: ERLAUBT", HalvoButtonVariant::secondary},
    };
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    EXPECT_EQ(actionButton(v.content(), QStringLiteral("Proaktives ICMP-Monitoring: AN"))->variant(),
              HalvoButtonVariant::success);
    bool monitoring = true;
    bool noIntervention = false;
    for (const Step& step : steps) {
        if (QString::fromUtf8(step.press).contains(QStringLiteral("Monitoring")))
            monitoring = !monitoring;
        else
            noIntervention = !noIntervention;
        click(buttonWithText(v.content(), QString::fromUtf8(step.press)));
        EXPECT_FALSE(v.store().pendingConfirmation().has_value()) << "no confirmation for " << step.press;
        EXPECT_EQ(v.store().lastActionMessage(), QString::fromUtf8(prefix) + QString::fromUtf8(step.sentence));
        const HalvoServer server = v.server(QStringLiteral("ns1.example.net"));
        EXPECT_EQ(server.monitoring, monitoring) << step.press;
        EXPECT_EQ(server.noIntervention, noIntervention) << step.press;
        HalvoActionButton* monitoringButton = actionButton(v.content(), QString::fromUtf8(step.monitoringButton));
        HalvoActionButton* interventionButton = actionButton(v.content(), QString::fromUtf8(step.interventionButton));
        ASSERT_TRUE(monitoringButton && interventionButton) << step.press;
        EXPECT_EQ(monitoringButton->variant(), step.monitoringVariant) << step.press;
        EXPECT_EQ(interventionButton->variant(), step.interventionVariant) << step.press;
    }
}

} // namespace
} // namespace halvo::test
