// The tab "Power, Netboot & IPMI": boot-medium buttons and their confirmations, the custom iPXE boot, the
// cold reboot and the out-of-band management card.

#include "DedicatedViewFixture.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/HalvoConfirmationSheet.h"

#include <QLineEdit>

#include <functional>

namespace halvo::test {
namespace {

constexpr int kPowerTab = 1;
const QString kDiskButton = QStringLiteral("Von lokaler NVMe / Festplatte booten (Boot-ID #1)");
const QString kRescueButton = QStringLiteral("In Halvo Notanker System booten");
const QString kRebootButton = QStringLiteral("Hardware Cold-Reboot ausführen");
const QString kIPXEButton = QStringLiteral("iPXE Netboot-Profil aktivieren");

HalvoActionButton* actionButton(QWidget* root, const QString& text) {
    return qobject_cast<HalvoActionButton*>(buttonWithText(root, text));
}

/// A shown view on the power tab of the given servers.
struct PowerTab {
    explicit PowerTab(const QList<HalvoServer>& servers)
        : v(servers) {
        v.clickTab(kPowerTab);
        EXPECT_EQ(v.view->shownTab(), DedicatedServerTab::powerIpmi);
    }
    QWidget* content() { return v.content(); }
    HalvoFormTextField* ipxeField() { return findNamed<HalvoFormTextField>(content(), QStringLiteral("ipxeUrl")); }
    /// The pending confirmation (fails the test when there is none).
    HalvoConfirmRequest pending() {
        EXPECT_TRUE(v.store().pendingConfirmation().has_value());
        return v.store().pendingConfirmation().value_or(HalvoConfirmRequest{});
    }
    DedicatedView v;
};

TEST(DedicatedPowerTab, ManagementCardOnlyForServersWithIPMI) {
    for (const bool ipmi : {true, false}) {
        HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
        server.ipmiAvailable = ipmi;
        PowerTab t({server});
        EXPECT_TRUE(
            hasLabel(t.content(),
                     QStringLiteral("Netboot-Konfiguration & Boot-Modus (/dedicated/server/ns1.example.net/boot)")));
        EXPECT_EQ(
            hasLabel(t.content(), QStringLiteral("IPMI / BMC Out-of-Band Management (HTML5 KVM & Serial-over-LAN)")),
            ipmi);
        EXPECT_EQ(hasLabel(t.content(), QStringLiteral("Direkter BIOS/UEFI- und Konsolen-Zugriff unabhängig vom "
                                                       "installierten Betriebssystem "
                                                       "(/dedicated/server/ns1.example.net/features/ipmi)")),
                  ipmi);
        for (const char* button : {"HTML5 KVM Konsole öffnen", "Serial-over-LAN (SoL) SSH-Tunnel starten",
                                   "IPMI Diagnose-Test (/ipmi/test)", "IPMI BMC Interface Reset"})
            EXPECT_EQ(hasButton(t.content(), QString::fromUtf8(button)), ipmi) << button;
        // The netboot card's buttons are there either way.
        for (const QString& button : {kDiskButton, kRescueButton, kRebootButton, kIPXEButton})
            EXPECT_TRUE(hasButton(t.content(), button)) << button.toStdString();
    }
}

TEST(DedicatedPowerTab, BootButtonsMarkTheMediumSetNow) {
    struct Case {
        const char* bootType;
        HalvoButtonVariant disk;
        HalvoButtonVariant rescue;
    };
    const Case cases[] = {
        {"harddisk", HalvoButtonVariant::success, HalvoButtonVariant::secondary},
        {"rescue", HalvoButtonVariant::secondary, HalvoButtonVariant::warning},
        {"Rescue", HalvoButtonVariant::secondary, HalvoButtonVariant::secondary},
        {"ipxe", HalvoButtonVariant::secondary, HalvoButtonVariant::secondary},
        {"", HalvoButtonVariant::secondary, HalvoButtonVariant::secondary},
    };
    for (const Case& c : cases) {
        HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
        server.bootType = QString::fromUtf8(c.bootType);
        PowerTab t({server});
        HalvoActionButton* disk = actionButton(t.content(), kDiskButton);
        HalvoActionButton* rescue = actionButton(t.content(), kRescueButton);
        HalvoActionButton* reboot = actionButton(t.content(), kRebootButton);
        ASSERT_TRUE(disk && rescue && reboot) << c.bootType;
        EXPECT_EQ(disk->variant(), c.disk) << c.bootType;
        EXPECT_EQ(rescue->variant(), c.rescue) << c.bootType;
        EXPECT_EQ(reboot->variant(), HalvoButtonVariant::danger) << c.bootType;
        EXPECT_FALSE(disk->isSmall() || rescue->isSmall() || reboot->isSmall());
    }
}

TEST(DedicatedPowerTab, BootMediumConfirmationsAndTheirActions) {
    struct Case {
        QString button;
        std::optional<QString> rescueMail;
        QString title;
        QString message;
        std::optional<QString> warning;
        QString confirm;
        HalvoButtonVariant variant;
        QString bootType;
        qint64 bootId;
        QString sentence;
    };
    const QString reverse = QStringLiteral("host-ns1.example.net.example.org.");
    const Case cases[] = {
        {kDiskButton, QStringLiteral("ops@example.org"),
         QStringLiteral("Netboot auf lokale Festplatte / NVMe umstellen?"),
         QStringLiteral("Der Server '") + reverse +
             QStringLiteral("' (ns1.example.net) wird beim nächsten Neustart wieder regulär von seiner lokalen "
                            "Festplatte / NVMe (Boot-ID #1) starten."),
         std::nullopt, QStringLiteral("Auf Festplatten-Boot umstellen"), HalvoButtonVariant::success,
         QStringLiteral("harddisk"), 1,
         QStringLiteral("Dedicated Server ns1.example.net: Netboot auf lokale NVMe/Festplatte umgestellt.")},
        {kRescueButton, QStringLiteral("ops@example.org"),
         QStringLiteral("Server in den Halvo Notanker Modus versetzen?"),
         QStringLiteral("Der Netboot-Modus für '") + reverse +
             QStringLiteral("' (ns1.example.net) wird auf das Halvo Notanker Live-System umgestellt."),
         QStringLiteral("Beim nächsten Neustart bootet der Server nicht mehr ins installierte Betriebssystem, sondern "
                        "in das temporäre RAM-Rettungssystem (Zugangsdaten per E-Mail an ops@example.org)."),
         QStringLiteral("Rescue-Modus aktivieren"), HalvoButtonVariant::warning, QStringLiteral("rescue"), 1122,
         QStringLiteral("Dedicated Server ns1.example.net: Netboot auf Notanker umgestellt.")},
        {kRescueButton, std::nullopt, QStringLiteral("Server in den Halvo Notanker Modus versetzen?"),
         QStringLiteral("Der Netboot-Modus für '") + reverse +
             QStringLiteral("' (ns1.example.net) wird auf das Halvo Notanker Live-System umgestellt."),
         QStringLiteral("Beim nächsten Neustart bootet der Server nicht mehr ins installierte Betriebssystem, sondern "
                        "in das temporäre RAM-Rettungssystem (Zugangsdaten per E-Mail an deinen Account)."),
         QStringLiteral("Rescue-Modus aktivieren"), HalvoButtonVariant::warning, QStringLiteral("rescue"), 1122,
         QStringLiteral("Dedicated Server ns1.example.net: Netboot auf Notanker umgestellt.")},
    };
    for (const Case& c : cases) {
        HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
        // Start on the other medium, so the action visibly changes the record.
        server.bootType = c.bootType == QLatin1String("rescue") ? QStringLiteral("harddisk") : QStringLiteral("rescue");
        server.bootId = c.bootType == QLatin1String("rescue") ? 1 : 1122;
        server.rescueMail = c.rescueMail;
        PowerTab t({server});
        const QString startSentence = t.v.store().lastActionMessage();
        click(buttonWithText(t.content(), c.button));
        const HalvoConfirmRequest request = t.pending();
        EXPECT_EQ(request.title, c.title);
        EXPECT_EQ(request.message, c.message);
        EXPECT_EQ(request.warningDetails, c.warning);
        EXPECT_EQ(request.confirmButtonTitle, c.confirm);
        EXPECT_EQ(request.variant, c.variant);
        EXPECT_FALSE(request.requireTypedConfirmation.has_value());
        // Raising the confirmation changes nothing yet.
        EXPECT_EQ(t.v.server(server.name), server);
        EXPECT_EQ(t.v.store().lastActionMessage(), startSentence);

        ASSERT_TRUE(request.action);
        request.action();
        settle();
        const HalvoServer after = t.v.server(server.name);
        EXPECT_EQ(after.bootType, c.bootType);
        EXPECT_EQ(after.bootId, c.bootId);
        EXPECT_EQ(t.v.store().lastActionMessage(), c.sentence);
        // The tab was rebuilt from the changed record: the new medium is marked.
        const bool rescue = c.bootType == QLatin1String("rescue");
        EXPECT_EQ(actionButton(t.content(), kRescueButton)->variant(),
                  rescue ? HalvoButtonVariant::warning : HalvoButtonVariant::secondary);
        EXPECT_EQ(actionButton(t.content(), kDiskButton)->variant(),
                  rescue ? HalvoButtonVariant::secondary : HalvoButtonVariant::success);
    }
}

TEST(DedicatedPowerTab, ConfirmingTheMediumAlreadySetStillRunsTheAction) {
    PowerTab t({makeServer(QStringLiteral("ns1.example.net"))});
    HalvoConfirmationPresenter presenter(t.v.store(), t.v.view.get());
    click(buttonWithText(t.content(), kDiskButton));
    ASSERT_NE(presenter.sheet(), nullptr);
    click(presenter.sheet()->confirmButton());
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("Dedicated Server ns1.example.net: Netboot auf lokale NVMe/Festplatte umgestellt."));
    EXPECT_EQ(t.v.server(QStringLiteral("ns1.example.net")).bootType, QStringLiteral("harddisk"));
}

TEST(DedicatedPowerTab, CancellingAConfirmationChangesNothing) {
    PowerTab t({makeServer(QStringLiteral("ns1.example.net"))});
    HalvoConfirmationPresenter presenter(t.v.store(), t.v.view.get());
    const HalvoServer before = t.v.server(QStringLiteral("ns1.example.net"));
    const QString startSentence = t.v.store().lastActionMessage();
    for (const QString& button :
         {kRescueButton, kRebootButton, QStringLiteral("IPMI BMC Interface Reset"), kIPXEButton}) {
        click(buttonWithText(t.content(), button));
        ASSERT_NE(presenter.sheet(), nullptr) << button.toStdString();
        click(presenter.sheet()->cancelButton());
        EXPECT_FALSE(t.v.store().pendingConfirmation().has_value()) << button.toStdString();
        EXPECT_EQ(t.v.server(QStringLiteral("ns1.example.net")), before) << button.toStdString();
        EXPECT_EQ(t.v.store().lastActionMessage(), startSentence) << button.toStdString();
    }
}

TEST(DedicatedPowerTab, ColdRebootRaisesTheHeadersRequest) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.powerState = QStringLiteral("poweroff");
    server.state = QStringLiteral("error");
    PowerTab t({server});
    click(buttonWithText(t.v.header(), QStringLiteral("Cold-Reboot")));
    const HalvoConfirmRequest fromHeader = t.pending();
    click(buttonWithText(t.content(), kRebootButton));
    const HalvoConfirmRequest fromTab = t.pending();
    EXPECT_NE(fromTab.id, fromHeader.id);
    EXPECT_EQ(fromTab.title, QStringLiteral("Hardware Cold-Reboot für 'host-ns1.example.net.example.org.' ausführen?"));
    EXPECT_EQ(fromTab.title, fromHeader.title);
    EXPECT_EQ(fromTab.message, fromHeader.message);
    EXPECT_EQ(fromTab.warningDetails, fromHeader.warningDetails);
    EXPECT_EQ(fromTab.confirmButtonTitle, fromHeader.confirmButtonTitle);
    EXPECT_EQ(fromTab.variant, HalvoButtonVariant::danger);

    fromTab.action();
    settle();
    const HalvoServer after = t.v.server(server.name);
    EXPECT_EQ(after.powerState, QStringLiteral("poweron"));
    EXPECT_EQ(after.state, QStringLiteral("ok"));
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("Dedicated Server ns1.example.net: Hardware-Reboot ausgelöst (POST "
                             "/dedicated/server/ns1.example.net/reboot)."));
}

TEST(DedicatedPowerTab, CustomIPXEBootNamesTheTypedScriptAndChangesNothing) {
    HalvoServer first = makeServer(QStringLiteral("ns1.example.net"));
    HalvoServer second = makeServer(QStringLiteral("ns2.example.net"));
    PowerTab t({first, second});
    HalvoFormTextField* field = t.ipxeField();
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->lineEdit()->text(), DedicatedServersView::kDefaultIPXEUrl);
    EXPECT_EQ(field->lineEdit()->placeholderText(), DedicatedServersView::kDefaultIPXEUrl);

    // Taken as typed, blanks included.
    field->lineEdit()->clear();
    QTest::keyClicks(field->lineEdit(), QStringLiteral(" http://10.0.0.5/boot.ipxe"));
    EXPECT_EQ(t.v.view->state().ipxeUrl, QStringLiteral(" http://10.0.0.5/boot.ipxe"));
    // The field keeps its text when another server is selected; the request is for the shown server.
    t.v.clickRow(1);
    EXPECT_EQ(t.ipxeField()->lineEdit()->text(), QStringLiteral(" http://10.0.0.5/boot.ipxe"));
    click(buttonWithText(t.content(), kIPXEButton));
    const HalvoConfirmRequest request = t.pending();
    EXPECT_EQ(request.title, QStringLiteral("Custom iPXE Network-Boot aktivieren?"));
    EXPECT_EQ(request.message, QStringLiteral("Soll der Server 'ns2.example.net' beim nächsten Reboot über das "
                                              "iPXE-Script ' http://10.0.0.5/boot.ipxe' starten?"));
    EXPECT_FALSE(request.warningDetails.has_value());
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("iPXE-Boot setzen"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::primary);

    const auto snapshotBefore = t.v.store().activeSnapshot().dedicatedServers;
    request.action();
    settle();
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("Dedicated Server ns2.example.net: iPXE Script ( http://10.0.0.5/boot.ipxe) als "
                             "Boot-Ziel gesetzt."));
    EXPECT_EQ(t.v.store().activeSnapshot().dedicatedServers, snapshotBefore);
}

TEST(DedicatedPowerTab, CustomIPXEBootWithAnEmptyOrBlankAddressIsAskedAndReportedAsTyped) {
    // The tab checks nothing: the texts hold the address as typed, nothing between the apostrophes and the
    // parentheses when it is empty.
    for (const QString& typed : {QString(), QStringLiteral("   ")}) {
        SCOPED_TRACE('"' + typed.toStdString() + '"');
        PowerTab t({makeServer(QStringLiteral("ns1.example.net"))});
        const auto before = t.v.store().activeSnapshot().dedicatedServers;
        t.ipxeField()->lineEdit()->clear();
        t.ipxeField()->lineEdit()->insert(typed);
        EXPECT_EQ(t.v.view->state().ipxeUrl, typed);
        click(buttonWithText(t.content(), kIPXEButton));
        ASSERT_TRUE(t.v.store().pendingConfirmation().has_value());
        const HalvoConfirmRequest request = t.pending();
        EXPECT_EQ(request.message, QStringLiteral("Soll der Server 'ns1.example.net' beim nächsten Reboot über das "
                                                  "iPXE-Script '") +
                                       typed + QStringLiteral("' starten?"));
        request.action();
        settle();
        EXPECT_EQ(t.v.store().lastActionMessage(), QStringLiteral("Dedicated Server ns1.example.net: iPXE Script (") +
                                                       typed + QStringLiteral(") als Boot-Ziel gesetzt."));
        EXPECT_EQ(t.v.store().activeSnapshot().dedicatedServers, before);
    }
}

TEST(DedicatedPowerTab, ManagementTestAndResetOnlyWriteTheirSentences) {
    PowerTab t({makeServer(QStringLiteral("ns1.example.net"))});
    const auto before = t.v.store().activeSnapshot().dedicatedServers;

    click(buttonWithText(t.content(), QStringLiteral("IPMI Diagnose-Test (/ipmi/test)")));
    EXPECT_FALSE(t.v.store().pendingConfirmation().has_value());
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("IPMI Test (HTTP, Passwort & Session-Check) auf ns1.example.net gestartet."));

    click(buttonWithText(t.content(), QStringLiteral("IPMI BMC Interface Reset")));
    const HalvoConfirmRequest request = t.pending();
    EXPECT_EQ(request.title, QStringLiteral("IPMI / BMC Interface neu starten?"));
    EXPECT_EQ(request.message,
              QStringLiteral("Möchtest du den Baseboard Management Controller (IPMI/KVM) von 'ns1.example.net' "
                             "zurücksetzen? Laufende KVM-Sitzungen werden dabei kurzzeitig getrennt (der Server selbst "
                             "bootet NICHT neu)."));
    EXPECT_FALSE(request.warningDetails.has_value());
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("IPMI BMC Reset ausführen"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::warning);
    request.action();
    settle();
    EXPECT_EQ(t.v.store().lastActionMessage(),
              QStringLiteral("IPMI / BMC Controller für ns1.example.net wird neu gestartet (/ipmi/resetInterface)."));
    EXPECT_EQ(t.v.store().activeSnapshot().dedicatedServers, before);
}

TEST(DedicatedPowerTab, ConfirmationActionsOutliveTheView) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.bootType = QStringLiteral("harddisk");
    PowerTab t({server});
    click(buttonWithText(t.content(), kRescueButton));
    const HalvoConfirmRequest rescue = t.pending();
    click(buttonWithText(t.content(), kIPXEButton));
    const HalvoConfirmRequest ipxe = t.pending();
    t.v.view.reset();
    settle();
    rescue.action();
    EXPECT_EQ(t.v.server(server.name).bootType, QStringLiteral("rescue"));
    ipxe.action();
    EXPECT_EQ(t.v.store().lastActionMessage(), QStringLiteral("Dedicated Server ns1.example.net: iPXE Script (") +
                                                   DedicatedServersView::kDefaultIPXEUrl +
                                                   QStringLiteral(") als Boot-Ziel gesetzt."));
}

TEST(DedicatedPowerTab, BothConsoleButtonsOpenTheOneSheet) {
    for (const char* button : {"HTML5 KVM Konsole öffnen", "Serial-over-LAN (SoL) SSH-Tunnel starten"}) {
        PowerTab t({makeServer(QStringLiteral("ns1.example.net"))});
        click(buttonWithText(t.content(), QString::fromUtf8(button)));
        EXPECT_TRUE(t.v.view->state().showIPMISheet) << button;
        QDialog* sheet = t.v.view->ipmiSheet();
        ASSERT_NE(sheet, nullptr) << button;
        EXPECT_TRUE(sheet->isVisible()) << button;
        EXPECT_TRUE(hasLabel(
            sheet, QStringLiteral("Halvo Dedicated IPMI / KVM HTML5 & Serial-over-LAN (SoL) – ns1.example.net")));
        // The tab stays where it was.
        EXPECT_EQ(t.v.view->shownTab(), DedicatedServerTab::powerIpmi);
    }
}

} // namespace
} // namespace halvo::test
