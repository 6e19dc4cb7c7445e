// The header band of the dedicated-server detail and its two confirmations.

#include "DedicatedViewFixture.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"

#include <functional>

namespace halvo::test {
namespace {

using theme::Tint;

struct BadgeView {
    QString text;
    Tint tint;
    bool operator==(const BadgeView&) const = default;
};

void PrintTo(const BadgeView& badge, std::ostream* os) {
    *os << badge.text.toStdString() << " in " << theme::tintName(badge.tint).toStdString();
}

QList<BadgeView> badges(QWidget* header) {
    QList<BadgeView> result;
    for (const HalvoStatusBadge* badge : header->findChildren<HalvoStatusBadge*>())
        result.append({badge->text(), badge->tint()});
    return result;
}

TEST(DedicatedServerHeader, BadgesFollowPowerBootAndState) {
    struct Case {
        const char* powerState;
        const char* bootType;
        const char* state;
        QList<BadgeView> expected;
    };
    const Case cases[] = {
        {"poweron",
         "harddisk",
         "ok",
         {{QStringLiteral("POWER ON"), Tint::green},
          {QStringLiteral("BOOT: HARDDISK"), Tint::blue},
          {QStringLiteral("STATE: OK"), Tint::green}}},
        {"poweroff",
         "rescue",
         "error",
         {{QStringLiteral("POWER OFF"), Tint::red},
          {QStringLiteral("BOOT: RESCUE"), Tint::orange},
          {QStringLiteral("STATE: ERROR"), Tint::red}}},
        // The comparisons are exact: other spellings take the "otherwise" colour.
        {"PowerOn",
         "Rescue",
         "OK",
         {{QStringLiteral("POWER OFF"), Tint::red},
          {QStringLiteral("BOOT: RESCUE"), Tint::blue},
          {QStringLiteral("STATE: OK"), Tint::red}}},
        {"",
         "",
         "",
         {{QStringLiteral("POWER OFF"), Tint::red},
          {QStringLiteral("BOOT: "), Tint::blue},
          {QStringLiteral("STATE: "), Tint::red}}},
    };
    for (const Case& c : cases) {
        HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
        server.powerState = QString::fromUtf8(c.powerState);
        server.bootType = QString::fromUtf8(c.bootType);
        server.state = QString::fromUtf8(c.state);
        DedicatedView v(QList<HalvoServer>{server});
        EXPECT_EQ(badges(v.header()), c.expected) << c.powerState << " " << c.bootType << " " << c.state;
        EXPECT_TRUE(hasLabel(v.header(), server.reverse));
    }
}

TEST(DedicatedServerHeader, ServiceLineNamesTheServerIdOnlyWhenPositive) {
    const std::pair<qint64, const char*> cases[] = {
        {4711, "Advance-1 • Service-Name: ns1.example.net • Server-ID: #4711"},
        {1, "Advance-1 • Service-Name: ns1.example.net • Server-ID: #1"},
        {0, "Advance-1 • Service-Name: ns1.example.net"},
        {-3, "Advance-1 • Service-Name: ns1.example.net"},
    };
    for (const auto& [serverId, line] : cases) {
        HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
        server.serverId = serverId;
        DedicatedView v(QList<HalvoServer>{server});
        EXPECT_TRUE(hasLabel(v.header(), QString::fromUtf8(line)))
            << serverId << ": " << labelTexts(v.header()).join(QStringLiteral(" | ")).toStdString();
    }
}

TEST(DedicatedServerHeader, FactLabelsAppearOnlyWithTheirValues) {
    struct Case {
        const char* what;
        std::function<void(HalvoServer&)> change;
        QStringList present;
        QStringList absentPrefixes;
    };
    const Case cases[] = {
        {"everything",
         [](HalvoServer&) {},
         {QStringLiteral("Rack: R12"), QStringLiteral("DC: fra1"), QStringLiteral("IPv4: 192.0.2.10"),
          QStringLiteral("Meshbay: pn-4711")},
         {}},
        {"empty rack", [](HalvoServer& s) { s.rack.clear(); }, {QStringLiteral("DC: fra1")}, {QStringLiteral("Rack:")}},
        {"no rack", [](HalvoServer& s) { s.rack = kNoValue; }, {}, {QStringLiteral("Rack:")}},
        {"empty address", [](HalvoServer& s) { s.ip.clear(); }, {QStringLiteral("IPv4: ")}, {}},
        {"no address",
         [](HalvoServer& s) { s.ip = kNoValue; },
         {QStringLiteral("DC: fra1")},
         {QStringLiteral("IPv4:")}},
        {"no Meshbay name", [](HalvoServer& s) { s.meshbayName.reset(); }, {}, {QStringLiteral("Meshbay:")}},
        {"Meshbay unsupported", [](HalvoServer& s) { s.meshbaySupported = false; }, {}, {QStringLiteral("Meshbay:")}},
    };
    for (const Case& c : cases) {
        HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
        c.change(server);
        DedicatedView v(QList<HalvoServer>{server});
        const QStringList texts = labelTexts(v.header());
        for (const QString& text : c.present)
            EXPECT_TRUE(texts.contains(text)) << c.what << ": " << text.toStdString();
        for (const QString& prefix : c.absentPrefixes) {
            for (const QString& text : texts)
                EXPECT_FALSE(text.startsWith(prefix)) << c.what << ": " << text.toStdString();
        }
    }
}

TEST(DedicatedServerHeader, WithoutIpmiOnlyTheTwoSmallButtonsRemain) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.ipmiAvailable = false;
    DedicatedView v(QList<HalvoServer>{server});
    QStringList texts;
    for (const QAbstractButton* button : v.header()->findChildren<QAbstractButton*>())
        texts.append(button->text());
    EXPECT_EQ(texts, (QStringList{QStringLiteral("Cold-Reboot"), QStringLiteral("Notanker")}));
    for (const HalvoActionButton* button : v.header()->findChildren<HalvoActionButton*>())
        EXPECT_TRUE(button->isSmall());
}

TEST(DedicatedServerHeader, ColdRebootAsksAndThenReboots) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.reverse = QStringLiteral("pve.example.org.");
    server.ip = QStringLiteral("192.0.2.77");
    server.datacenter = QStringLiteral("gra3");
    server.powerState = QStringLiteral("poweroff");
    server.state = QStringLiteral("error");
    DedicatedView v(QList<HalvoServer>{server, makeServer(QStringLiteral("ns2.example.net"))});
    auto* button = qobject_cast<HalvoActionButton*>(buttonWithText(v.header(), QStringLiteral("Cold-Reboot")));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->variant(), HalvoButtonVariant::danger);
    click(button);

    const std::optional<HalvoConfirmRequest>& request = v.store().pendingConfirmation();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->title, QStringLiteral("Hardware Cold-Reboot für 'pve.example.org.' ausführen?"));
    EXPECT_EQ(request->message, QStringLiteral("Möchtest du den Dedicated Server 'ns1.example.net' (192.0.2.77) jetzt "
                                               "im Rechenzentrum (gra3) elektrisch neu starten?"));
    EXPECT_EQ(request->warningDetails,
              QStringLiteral("Laufende Dienste, Datenbanken und virtuelle Maschinen auf diesem Host werden für die "
                             "Dauer des Neustarts unterbrochen."));
    EXPECT_EQ(request->confirmButtonTitle, QStringLiteral("Jetzt Hardware-Reboot ausführen"));
    EXPECT_EQ(request->variant, HalvoButtonVariant::danger);
    EXPECT_EQ(request->requireTypedConfirmation, std::nullopt);
    EXPECT_EQ(v.server(server.name).powerState, QStringLiteral("poweroff")) << "nothing happens before confirming";
    const QUuid firstId = request->id;

    click(buttonWithText(v.header(), QStringLiteral("Cold-Reboot")));
    ASSERT_TRUE(v.store().pendingConfirmation().has_value());
    EXPECT_NE(v.store().pendingConfirmation()->id, firstId) << "each press builds a fresh request";

    // The action holds values, not the view: it runs after the view is gone.
    const auto action = v.store().pendingConfirmation()->action;
    v.view.reset();
    action();
    EXPECT_EQ(v.server(server.name).powerState, QStringLiteral("poweron"));
    EXPECT_EQ(v.server(server.name).state, QStringLiteral("ok"));
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("Dedicated Server ns1.example.net: Hardware-Reboot "
                             "ausgelöst (POST /dedicated/server/ns1.example.net/reboot)."));
    EXPECT_TRUE(v.server(QStringLiteral("ns2.example.net")) == makeServer(QStringLiteral("ns2.example.net")));
}

TEST(DedicatedServerHeader, NetbootToggleDependsOnTheBootTypeAtThePress) {
    struct Case {
        const char* bootType;
        const char* buttonText;
        const char* title;
        const char* message;
        const char* confirm;
        HalvoButtonVariant variant;
        const char* newBootType;
        qint64 newBootId;
        const char* sentence;
    };
    const Case cases[] = {
        {"rescue", "Auf Disk booten", "Zurück auf lokalen Festplatten-Boot wechseln?",
         "Der Netboot-Modus für 'ns1.example.net' wird wieder auf die lokale Festplatte / NVMe (Boot-ID #1) gestellt.",
         "Auf Disk-Boot umstellen", HalvoButtonVariant::success, "harddisk", 1,
         "Dedicated Server ns1.example.net: Netboot auf lokale NVMe/Festplatte umgestellt."},
        {"harddisk", "Notanker", "In Halvo Notanker Modus wechseln?",
         "Der Netboot-Modus für 'ns1.example.net' wird auf Notanker gestellt.", "Notanker aktivieren",
         HalvoButtonVariant::warning, "rescue", 1122,
         "Dedicated Server ns1.example.net: Netboot auf Notanker umgestellt."},
        {"", "Notanker", "In Halvo Notanker Modus wechseln?",
         "Der Netboot-Modus für 'ns1.example.net' wird auf Notanker gestellt.", "Notanker aktivieren",
         HalvoButtonVariant::warning, "rescue", 1122,
         "Dedicated Server ns1.example.net: Netboot auf Notanker umgestellt."},
        {"RESCUE", "Notanker", "In Halvo Notanker Modus wechseln?",
         "Der Netboot-Modus für 'ns1.example.net' wird auf Notanker gestellt.", "Notanker aktivieren",
         HalvoButtonVariant::warning, "rescue", 1122,
         "Dedicated Server ns1.example.net: Netboot auf Notanker umgestellt."},
    };
    for (const Case& c : cases) {
        HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
        server.bootType = QString::fromUtf8(c.bootType);
        server.bootId = 77;
        DedicatedView v(QList<HalvoServer>{server});
        auto* button = qobject_cast<HalvoActionButton*>(buttonWithText(v.header(), QString::fromUtf8(c.buttonText)));
        ASSERT_NE(button, nullptr) << c.bootType;
        EXPECT_EQ(button->variant(), HalvoButtonVariant::warning) << c.bootType;
        click(button);

        const std::optional<HalvoConfirmRequest>& request = v.store().pendingConfirmation();
        ASSERT_TRUE(request.has_value()) << c.bootType;
        EXPECT_EQ(request->title, QString::fromUtf8(c.title)) << c.bootType;
        EXPECT_EQ(request->message, QString::fromUtf8(c.message)) << c.bootType;
        EXPECT_EQ(request->warningDetails, std::nullopt) << c.bootType;
        EXPECT_EQ(request->confirmButtonTitle, QString::fromUtf8(c.confirm)) << c.bootType;
        EXPECT_EQ(request->variant, c.variant) << c.bootType;
        EXPECT_EQ(request->requireTypedConfirmation, std::nullopt) << c.bootType;

        request->action();
        settle();
        EXPECT_EQ(v.server(server.name).bootType, QString::fromUtf8(c.newBootType)) << c.bootType;
        EXPECT_EQ(v.server(server.name).bootId, c.newBootId) << c.bootType;
        EXPECT_EQ(v.store().lastActionMessage(), QString::fromUtf8(c.sentence)) << c.bootType;
        // The header follows the new boot type at once.
        const bool nowRescue = QString::fromUtf8(c.newBootType) == QLatin1String("rescue");
        EXPECT_TRUE(hasButton(v.header(), nowRescue ? QStringLiteral("Auf Disk booten") : QStringLiteral("Notanker")));
        EXPECT_TRUE(hasLabel(v.header(), QStringLiteral("BOOT: ") + QString::fromUtf8(c.newBootType).toUpper()));
    }
}

TEST(DedicatedServerHeader, ConfirmedToggleActsOnTheCapturedDirection) {
    // Confirming an old request after the boot type changed still does what its texts said.
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    DedicatedView v(QList<HalvoServer>{server});
    click(buttonWithText(v.header(), QStringLiteral("Notanker")));
    const auto toRescue = v.store().pendingConfirmation()->action;
    v.store().performDedicatedServerAction(server.name, QStringLiteral("boot-rescue"));
    settle();
    click(buttonWithText(v.header(), QStringLiteral("Auf Disk booten")));
    const auto toDisk = v.store().pendingConfirmation()->action;

    toDisk();
    EXPECT_EQ(v.server(server.name).bootType, QStringLiteral("harddisk"));
    toRescue();
    EXPECT_EQ(v.server(server.name).bootType, QStringLiteral("rescue"));
}

} // namespace
} // namespace halvo::test
