// The KVM console sheet: what it shows of the VPS, the Ctrl+Alt+Del report and the ways it closes.

#include "views/vps/VPSConsoleSheet.h"

#include "VPSTestSupport.h"
#include "store/AppStateStore.h"
#include "ui/Theme.h"
#include "views/vps/VPSRoundedPanel.h"

#include <QLabel>
#include <QPointer>

#include <gtest/gtest.h>

using namespace halvo::test;
using namespace halvo::test::vps;

namespace {

const QString kOpen = QStringLiteral("KVM / VNC WebSocket Konsole öffnen");

QList<HalvoVPS> twoVPS() {
    HalvoVPS first = makeVPS(QStringLiteral("vps-0a1b2c3d.vps.example.net"), QStringLiteral("Build Runner"));
    first.ipv4 = QStringLiteral("203.0.113.77");
    first.ipv6 = QStringLiteral("2001:db8:4::77");
    HalvoVPS second = makeVPS(QStringLiteral("vps-second.example.net"), QStringLiteral("Zweite"));
    second.ipv4 = QStringLiteral("192.0.2.5");
    second.ipv6 = kNoValue;
    return {first, second};
}

VPSConsoleSheet* openConsole(ShownVPSView& shown) {
    click(buttonWithText(shown.header(), kOpen));
    return shown.view->kvmSheet();
}

} // namespace

TEST(VPSConsoleSheet, RendersTheConsoleOfTheShownVPS) {
    halvo::theme::clearUnknownSymbolsRequested();
    ShownVPSView shown(twoVPS());
    VPSConsoleSheet* sheet = openConsole(shown);
    ASSERT_NE(sheet, nullptr);

    EXPECT_TRUE(
        hasLabel(sheet, QStringLiteral("Halvo KVM-over-WebSocket / VNC Konsole – Build Runner (203.0.113.77)")));
    EXPECT_EQ(
        sheet->screenLines(),
        (QStringList{QStringLiteral("Vevavavozi KVM Console Session – Build Runner (vps-0a1b2c3d.vps.example.net)"),
                     QStringLiteral("IPv4: 203.0.113.77 • IPv6: 2001:db8:4::77"), QString(80, QLatin1Char('-')),
                     QStringLiteral("Build Runner login: _")}));
    EXPECT_TRUE(hasLabel(
        sheet,
        QStringLiteral(" Endpunkt: POST /vps/vps-0a1b2c3d.vps.example.net/openConsoleAccess (VNCOverWebSocket)")));

    // The screen: black, at least 640 by 280, green monospaced lines.
    auto* screen = sheet->findChild<VPSRoundedPanel*>(QStringLiteral("vpsConsoleScreen"));
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->fill(), halvo::theme::consoleBackground());
    EXPECT_GE(screen->width(), 640);
    EXPECT_GE(screen->height(), 280);
    for (QLabel* line : screen->findChildren<QLabel*>()) {
        EXPECT_TRUE(QFontInfo(line->font()).fixedPitch() || line->font().fixedPitch()) << line->text().toStdString();
        EXPECT_EQ(line->palette().color(QPalette::WindowText), halvo::theme::consoleTextColor());
    }
    (void)sheet->grab();
    EXPECT_EQ(halvo::theme::unknownSymbolsRequested(), QStringList());
}

TEST(VPSConsoleSheet, FollowsTheVPSTheDetailShows) {
    ShownVPSView shown(twoVPS());
    QPointer<VPSConsoleSheet> sheet = openConsole(shown);
    ASSERT_TRUE(sheet);

    // The search moves the detail to the second VPS while the sheet is open: the same sheet shows it.
    shown.store().setSearchText(QStringLiteral("Zweite"));
    settle();
    ASSERT_EQ(shown.view->kvmSheet(), sheet.data());
    EXPECT_EQ(sheet->screenLines().value(0),
              QStringLiteral("Vevavavozi KVM Console Session – Zweite (vps-second.example.net)"));
    EXPECT_EQ(sheet->screenLines().value(1), QStringLiteral("IPv4: 192.0.2.5 • IPv6: –"));

    click(buttonWithText(sheet, QStringLiteral("Strg+Alt+Entf senden")));
    EXPECT_EQ(shown.store().lastActionMessage(),
              QStringLiteral("SysRq / Ctrl+Alt+Del an KVM-Konsole (vps-second.example.net) gesendet."));
}

TEST(VPSConsoleSheet, CtrlAltDelOnlyReportsAndKeepsTheSheetOpen) {
    ShownVPSView shown(twoVPS());
    QPointer<VPSConsoleSheet> sheet = openConsole(shown);
    ASSERT_TRUE(sheet);
    const QList<HalvoVPS> before = shown.store().activeSnapshot().vpsList;

    auto* button = qobject_cast<HalvoActionButton*>(buttonWithText(sheet, QStringLiteral("Strg+Alt+Entf senden")));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->variant(), HalvoButtonVariant::secondary);
    click(button);
    EXPECT_EQ(shown.store().lastActionMessage(),
              QStringLiteral("SysRq / Ctrl+Alt+Del an KVM-Konsole (vps-0a1b2c3d.vps.example.net) gesendet."));
    EXPECT_EQ(shown.store().activeSnapshot().vpsList, before);
    EXPECT_FALSE(shown.store().pendingConfirmation().has_value());
    EXPECT_TRUE(sheet);
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(shown.view->state().showKVMModal);
    EXPECT_EQ(shown.view->kvmSheet(), sheet.data());
}

TEST(VPSConsoleSheet, ClosesThroughItsButtonAndOpensAgainFresh) {
    ShownVPSView shown(twoVPS());
    QPointer<VPSConsoleSheet> sheet = openConsole(shown);
    ASSERT_TRUE(sheet);

    click(sheet->closeButton());
    settle();
    EXPECT_FALSE(shown.view->state().showKVMModal);
    EXPECT_EQ(shown.view->kvmSheet(), nullptr);
    EXPECT_TRUE(sheet.isNull());

    QPointer<VPSConsoleSheet> again = openConsole(shown);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->isVisible());
    EXPECT_TRUE(shown.view->state().showKVMModal);
}

TEST(VPSConsoleSheet, ReturnNeitherClosesTheSheetNorPressesAButton) {
    ShownVPSView shown(twoVPS());
    VPSConsoleSheet* sheet = openConsole(shown);
    ASSERT_NE(sheet, nullptr);
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    const QString message = shown.store().lastActionMessage();
    for (QPushButton* button : sheet->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
    }
    QPointer<VPSConsoleSheet> guard = sheet;
    // On the sheet and on each of its buttons in turn, as Tab reaches them.
    QList<QWidget*> targets{sheet};
    for (QPushButton* button : sheet->findChildren<QPushButton*>())
        targets.append(button);
    for (QWidget* target : targets) {
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        settle();
        ASSERT_FALSE(guard.isNull());
        EXPECT_TRUE(sheet->isVisible()) << target->metaObject()->className();
        EXPECT_EQ(shown.view->kvmSheet(), sheet);
        EXPECT_EQ(shown.store().lastActionMessage(), message);
    }
}
