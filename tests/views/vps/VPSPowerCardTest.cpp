// The power card of the VPS detail: which buttons each state offers, the direct start, the three
// confirmations, the SLA switch and the way to the IP section.

#include "VPSTestSupport.h"
#include "store/AppStateStore.h"
#include "views/vps/VPSRowDelegate.h"

#include <QListView>
#include <QPointer>

#include <gtest/gtest.h>

using namespace halvo::test;
using namespace halvo::test::vps;

namespace {

const QString kStart = QStringLiteral("Starten (Boot)");
const QString kReboot = QStringLiteral("Soft/Hard Reboot");
const QString kRescue = QStringLiteral("In Rescue-System booten");
const QString kStop = QStringLiteral("Stoppen (Poweroff)");
const QString kSlaOff = QStringLiteral("SLA Monitoring: AUS");
const QString kSlaOn = QStringLiteral("SLA Monitoring: AN");
const QString kReverse = QStringLiteral("rDNS (PTR) bearbeiten");

const QString kName = QStringLiteral("vps-a1b2c3d4.vps.example.net");

HalvoVPS powerVPS(const QString& state) {
    HalvoVPS vps = makeVPS(kName, QStringLiteral("Kunden-Portal"), state);
    vps.ipv4 = QStringLiteral("198.51.100.23");
    return vps;
}

} // namespace

TEST(VPSPowerCard, OffersTheButtonsThatFitTheState) {
    const std::pair<const char*, QStringList> cases[] = {
        {"running", {kReboot, kRescue, kStop, kSlaOff, kReverse}},
        {"stopped", {kStart, kReboot, kRescue, kSlaOff, kReverse}},
        {"rescued", {kStart, kReboot, kRescue, kStop, kSlaOff, kReverse}},
        {"installing", {kStart, kReboot, kRescue, kStop, kSlaOff, kReverse}},
        {"", {kStart, kReboot, kRescue, kStop, kSlaOff, kReverse}},
    };
    for (const auto& [state, expected] : cases) {
        SCOPED_TRACE(state);
        ShownVPSView shown({powerVPS(QString::fromUtf8(state))});
        EXPECT_EQ(shown.powerButtons(), expected);
        for (const QString& text : expected) {
            auto* button = qobject_cast<HalvoActionButton*>(shown.button(text));
            ASSERT_NE(button, nullptr) << text.toStdString();
            EXPECT_TRUE(button->isEnabled());
            EXPECT_TRUE(button->isSmall());
        }
    }
}

TEST(VPSPowerCard, ButtonsHaveTheirVariants) {
    ShownVPSView shown({powerVPS(QStringLiteral("rescued"))});
    const std::pair<QString, HalvoButtonVariant> cases[] = {
        {kStart, HalvoButtonVariant::success},    {kReboot, HalvoButtonVariant::primary},
        {kRescue, HalvoButtonVariant::warning},   {kStop, HalvoButtonVariant::danger},
        {kSlaOff, HalvoButtonVariant::secondary}, {kReverse, HalvoButtonVariant::secondary},
    };
    for (const auto& [text, variant] : cases) {
        auto* button = qobject_cast<HalvoActionButton*>(shown.button(text));
        ASSERT_NE(button, nullptr) << text.toStdString();
        EXPECT_EQ(button->variant(), variant) << text.toStdString();
    }
}

TEST(VPSPowerCard, CardNamesTheEndpointOfTheVPS) {
    ShownVPSView shown({powerVPS(QStringLiteral("running"))});
    EXPECT_TRUE(
        hasLabel(shown.content(),
                 QStringLiteral("Direkte VPS Power- & Rescue-Steuerung (/vps/vps-a1b2c3d4.vps.example.net/...)")));
    EXPECT_TRUE(
        hasLabel(shown.content(),
                 QStringLiteral("Kritische Power-Aktionen fragen zur Sicherheit vorab nach deiner Bestätigung")));
}

TEST(VPSPowerCard, StartActsAtOnceAndBringsTheVPSBackToLocalBoot) {
    HalvoVPS vps = powerVPS(QStringLiteral("rescued"));
    vps.netbootMode = QStringLiteral("rescue");
    ShownVPSView shown({vps});

    click(shown.button(kStart));
    EXPECT_FALSE(shown.store().pendingConfirmation().has_value());
    EXPECT_EQ(shown.stored(kName).state, QStringLiteral("running"));
    EXPECT_EQ(shown.stored(kName).netbootMode, QStringLiteral("local"));
    EXPECT_EQ(shown.store().lastActionMessage(),
              QStringLiteral("VPS vps-a1b2c3d4.vps.example.net: Aktion 'START' an Halvo API gesendet."));

    // The card follows the new state at once.
    EXPECT_EQ(shown.powerButtons(), (QStringList{kReboot, kRescue, kStop, kSlaOff, kReverse}));
    QStringList badges;
    for (HalvoStatusBadge* badge : shown.header()->findChildren<HalvoStatusBadge*>())
        badges.append(badge->text());
    EXPECT_EQ(badges, (QStringList{QStringLiteral("RUNNING"), QStringLiteral("BOOT: LOCAL")}));
}

TEST(VPSPowerCard, ConfirmationsCarryTheirTextsAndRunOnlyWhenConfirmed) {
    struct Case {
        QString button;
        QString title;
        QString message;
        std::optional<QString> warning;
        QString confirm;
        HalvoButtonVariant variant;
        QString stateAfter;
        QString netbootAfter;
        QString key;
    };
    const Case cases[] = {
        {kReboot, QStringLiteral("VPS 'Kunden-Portal' neu starten (Reboot)?"),
         QStringLiteral("Soll die VPS 'vps-a1b2c3d4.vps.example.net' (198.51.100.23) jetzt neu gestartet werden?"),
         std::nullopt, QStringLiteral("Jetzt Reboot ausführen"), HalvoButtonVariant::primary, QStringLiteral("running"),
         QStringLiteral("local"), QStringLiteral("REBOOT")},
        {kRescue, QStringLiteral("VPS 'Kunden-Portal' in das Rescue-System booten?"),
         QStringLiteral("Die VPS 'vps-a1b2c3d4.vps.example.net' wird im Halvo Rescue-Modus neu gestartet, um "
                        "Dateisystem-Reparaturen oder Passwort-Resets durchzuführen."),
         QStringLiteral("Das reguläre System wird heruntergefahren und in das temporäre Rettungssystem gebootet."),
         QStringLiteral("In Rescue-System booten"), HalvoButtonVariant::warning, QStringLiteral("rescued"),
         QStringLiteral("rescue"), QStringLiteral("RESCUE")},
        {kStop, QStringLiteral("VPS 'Kunden-Portal' ausschalten (Poweroff)?"),
         QStringLiteral("Möchtest du die VPS 'vps-a1b2c3d4.vps.example.net' (198.51.100.23) wirklich herunterfahren "
                        "und ausschalten?"),
         QStringLiteral("Alle auf dieser VPS gehosteten Websites, Container und Dienste sind bis zum erneuten Start "
                        "nicht mehr erreichbar."),
         QStringLiteral("VPS jetzt stoppen"), HalvoButtonVariant::danger, QStringLiteral("stopped"),
         QStringLiteral("local"), QStringLiteral("STOP")},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.button.toStdString());
        // "installing" offers every button and is none of the states an action leads to.
        ShownVPSView shown({powerVPS(QStringLiteral("installing"))});
        const HalvoVPS before = shown.stored(kName);
        const QString messageBefore = shown.store().lastActionMessage();

        click(shown.button(testCase.button));
        ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
        const HalvoConfirmRequest request = *shown.store().pendingConfirmation();
        EXPECT_EQ(request.title, testCase.title);
        EXPECT_EQ(request.message, testCase.message);
        EXPECT_EQ(request.warningDetails, testCase.warning);
        EXPECT_EQ(request.confirmButtonTitle, testCase.confirm);
        EXPECT_EQ(request.variant, testCase.variant);
        EXPECT_FALSE(request.requireTypedConfirmation.has_value());
        ASSERT_TRUE(request.action);

        // Raising the confirmation changes nothing yet.
        EXPECT_EQ(shown.stored(kName), before);
        EXPECT_EQ(shown.store().lastActionMessage(), messageBefore);

        // Each press builds a new request.
        click(shown.button(testCase.button));
        ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
        EXPECT_NE(shown.store().pendingConfirmation()->id, request.id);

        request.action();
        settle();
        EXPECT_EQ(shown.stored(kName).state, testCase.stateAfter);
        EXPECT_EQ(shown.stored(kName).netbootMode, testCase.netbootAfter);
        EXPECT_EQ(shown.store().lastActionMessage(), QStringLiteral("VPS vps-a1b2c3d4.vps.example.net: Aktion '") +
                                                         testCase.key + QStringLiteral("' an Halvo API gesendet."));
    }
}

TEST(VPSPowerCard, ConfirmedPowerOffShowsTheStoppedStateEverywhere) {
    HalvoVPS other = makeVPS(QStringLiteral("vps-other.example.net"), QStringLiteral("Other"));
    ShownVPSView shown({powerVPS(QStringLiteral("running")), other});
    EXPECT_EQ(shown.powerButtons(), (QStringList{kReboot, kRescue, kStop, kSlaOff, kReverse}));

    click(shown.button(kStop));
    ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
    const auto action = shown.store().pendingConfirmation()->action;
    shown.store().clearPendingConfirmation();
    action();
    settle();

    EXPECT_EQ(shown.powerButtons(), (QStringList{kStart, kReboot, kRescue, kSlaOff, kReverse}));
    ASSERT_FALSE(shown.header()->findChildren<HalvoStatusBadge*>().isEmpty());
    EXPECT_EQ(shown.header()->findChildren<HalvoStatusBadge*>().first()->text(), QStringLiteral("STOPPED"));
    // The sidebar row of that VPS now reads stopped; the other is untouched.
    const auto* model = static_cast<const HalvoRecordListModel<HalvoVPS>*>(shown.view->frame()->listView()->model());
    ASSERT_EQ(model->rowCount(), 2);
    EXPECT_EQ(model->itemAt(0).state, QStringLiteral("stopped"));
    EXPECT_EQ(model->itemAt(1).state, QStringLiteral("running"));
}

TEST(VPSPowerCard, ConfirmationTargetsTheVPSShownAtThePress) {
    HalvoVPS second =
        makeVPS(QStringLiteral("vps-second.example.net"), QStringLiteral("Zweite"), QStringLiteral("running"));
    second.ipv4 = QStringLiteral("192.0.2.8");
    ShownVPSView shown({powerVPS(QStringLiteral("running")), second});

    QListView* list = shown.view->frame()->listView();
    const QModelIndex index = list->model()->index(1, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    settle();

    click(shown.button(kReboot));
    ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
    EXPECT_EQ(shown.store().pendingConfirmation()->title, QStringLiteral("VPS 'Zweite' neu starten (Reboot)?"));
    EXPECT_EQ(shown.store().pendingConfirmation()->message,
              QStringLiteral("Soll die VPS 'vps-second.example.net' (192.0.2.8) jetzt neu gestartet werden?"));
    shown.store().pendingConfirmation()->action();
    settle();
    EXPECT_EQ(shown.store().lastActionMessage(),
              QStringLiteral("VPS vps-second.example.net: Aktion 'REBOOT' an Halvo API gesendet."));
    EXPECT_EQ(shown.stored(kName).state, QStringLiteral("running"));
}

TEST(VPSPowerCard, ConfirmedActionOutlivesTheView) {
    ShownVPSView shown({powerVPS(QStringLiteral("running"))});
    click(shown.button(kStop));
    ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
    const auto action = shown.store().pendingConfirmation()->action;
    // The main window replaces the view when the section changes; the sheet may still be confirmed.
    shown.view.reset();
    action();
    EXPECT_EQ(shown.stored(kName).state, QStringLiteral("stopped"));
}

TEST(VPSPowerCard, SLASwitchShowsTheSettingAndFlipsItEachTime) {
    ShownVPSView shown({powerVPS(QStringLiteral("running"))});
    EXPECT_FALSE(shown.stored(kName).slaMonitoring);

    click(shown.button(kSlaOff));
    EXPECT_FALSE(shown.store().pendingConfirmation().has_value());
    EXPECT_TRUE(shown.stored(kName).slaMonitoring);
    EXPECT_EQ(shown.store().lastActionMessage(),
              QStringLiteral("VPS vps-a1b2c3d4.vps.example.net: SLA-Monitoring aktiviert."));
    EXPECT_FALSE(hasButton(shown.content(), kSlaOff));

    click(shown.button(kSlaOn));
    EXPECT_FALSE(shown.stored(kName).slaMonitoring);
    EXPECT_EQ(shown.store().lastActionMessage(),
              QStringLiteral("VPS vps-a1b2c3d4.vps.example.net: SLA-Monitoring deaktiviert."));
    EXPECT_TRUE(hasButton(shown.content(), kSlaOff));
}

TEST(VPSPowerCard, ReverseDNSButtonOnlyChangesTheSection) {
    HalvoVPS vps = powerVPS(QStringLiteral("stopped"));
    vps.ipv4 = kNoValue; // works without an address, too
    ShownVPSView shown({vps});
    shown.store().setSelectedSection(NavigationSection::vps);
    const HalvoAccountSnapshot before = shown.store().activeSnapshot();
    const QString message = shown.store().lastActionMessage();

    QPointer<QAbstractButton> button = shown.button(kReverse);
    ASSERT_TRUE(button);
    click(button);

    EXPECT_EQ(shown.store().selectedSection(), NavigationSection::ipRdns);
    EXPECT_EQ(shown.store().activeSnapshot().vpsList, before.vpsList);
    EXPECT_EQ(shown.store().lastActionMessage(), message);
    EXPECT_FALSE(shown.store().pendingConfirmation().has_value());
    // The view leaves its own replacement to the main window; the button was not torn down under its click.
    EXPECT_TRUE(button);
}
