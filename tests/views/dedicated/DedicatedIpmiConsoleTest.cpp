// The IPMI console sheet: the imitated serial console of the shown server, its endpoint, the SSH address
// copy and closing.

#include "views/dedicated/DedicatedIpmiConsole.h"

#include "DedicatedViewFixture.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"

#include <QClipboard>
#include <QFrame>
#include <QGuiApplication>

namespace halvo::test {
namespace {

/// Opens the sheet from the header's console button and returns it.
QDialog* openSheet(DedicatedView& v) {
    click(buttonWithText(v.header(), QStringLiteral("IPMI / KVM HTML5 & SoL Konsole")));
    QDialog* sheet = v.view->ipmiSheet();
    EXPECT_NE(sheet, nullptr);
    return sheet;
}

QStringList screenLines(QDialog* sheet) {
    auto* screen = sheet->findChild<QFrame*>(QStringLiteral("ipmiConsoleScreen"));
    EXPECT_NE(screen, nullptr);
    return screen ? labelTexts(screen) : QStringList();
}

TEST(DedicatedIpmiConsole, ShowsTheServersConsoleAndEndpoint) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.os = QStringLiteral("proxmox8_64");
    DedicatedView v(QList<HalvoServer>{server});
    QDialog* sheet = openSheet(v);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(screenLines(sheet),
              (QStringList{
                  QStringLiteral("AMI BIOS / UEFI - Vevavavozi Bare Metal Server ns1.example.net"),
                  QStringLiteral("BMC / IPMI Session: POST /dedicated/server/ns1.example.net/features/ipmi/access"),
                  QStringLiteral("--------------------------------------------------------------------------------"),
                  QStringLiteral("OS: proxmox8_64 (host-ns1.example.net.example.org.) ttyS0 (115200 baud)"),
                  QString(),
                  QStringLiteral("host-ns1.example.net.example.org. login: _"),
              }));
    EXPECT_EQ(screenLines(sheet).at(2).size(), 80);
    EXPECT_TRUE(
        hasLabel(sheet, QStringLiteral("Halvo Dedicated IPMI / KVM HTML5 & Serial-over-LAN (SoL) – ns1.example.net")));
    EXPECT_TRUE(
        hasLabel(sheet, QStringLiteral("Endpunkt: POST /dedicated/server/ns1.example.net/features/ipmi/access")));
    auto* screen = sheet->findChild<QFrame*>(QStringLiteral("ipmiConsoleScreen"));
    ASSERT_NE(screen, nullptr);
    EXPECT_GE(screen->width(), 680);
    EXPECT_GE(screen->height(), 280);
}

TEST(DedicatedIpmiConsole, CopiesTheSerialAddressEachTimeAndStaysOpen) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    QDialog* sheet = openSheet(v);
    ASSERT_NE(sheet, nullptr);
    const QString expected = QStringLiteral("ssh sol-ns1.example.net@") + DedicatedIpmiConsole::kSolGatewayHost;
    for (int press = 0; press < 2; ++press) {
        QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
        v.store().setLastActionMessage(QString());
        click(buttonWithText(sheet, QStringLiteral("SSH-URI für SoL kopieren")));
        EXPECT_EQ(QGuiApplication::clipboard()->text(), expected) << press;
        EXPECT_EQ(v.store().lastActionMessage(),
                  QStringLiteral("Serial-over-LAN (SoL) SSH-URI in Zwischenablage kopiert."));
        EXPECT_EQ(v.view->ipmiSheet(), sheet);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_TRUE(v.view->state().showIPMISheet);
    }
}

TEST(DedicatedIpmiConsole, CloseButtonClosesTheSheetAndClearsTheFlag) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    QDialog* sheet = openSheet(v);
    ASSERT_NE(sheet, nullptr);
    click(buttonWithText(sheet, QStringLiteral("Schließen")));
    EXPECT_FALSE(v.view->state().showIPMISheet);
    EXPECT_EQ(v.view->ipmiSheet(), nullptr);
    // And it opens again.
    ASSERT_NE(openSheet(v), nullptr);
    EXPECT_TRUE(v.view->ipmiSheet()->isVisible());
}

TEST(DedicatedIpmiConsole, FollowsTheRecordWhileOpen) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    QDialog* sheet = openSheet(v);
    ASSERT_NE(sheet, nullptr);
    v.store().setDedicatedServerReverse(QStringLiteral("ns1.example.net"), QStringLiteral("neu.example.org"));
    settle();
    ASSERT_NE(v.view->ipmiSheet(), nullptr);
    EXPECT_EQ(screenLines(v.view->ipmiSheet()).value(5), QStringLiteral("neu.example.org. login: _"));
}

} // namespace
} // namespace halvo::test

namespace halvo::test {

TEST(DedicatedIpmiConsole, ReturnNeitherClosesTheSheetNorPressesAButton) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    QDialog* sheet = openSheet(v);
    ASSERT_NE(sheet, nullptr);
    sheet->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet));
    const QString message = v.store().lastActionMessage();
    const QString clipboard = QGuiApplication::clipboard()->text();
    QList<QWidget*> targets{sheet};
    for (QPushButton* button : sheet->findChildren<QPushButton*>()) {
        EXPECT_FALSE(button->isDefault()) << button->text().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->text().toStdString();
        targets.append(button);
    }
    QPointer<QDialog> guard = sheet;
    for (QWidget* target : targets) {
        target->setFocus(Qt::TabFocusReason);
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        settle();
        ASSERT_FALSE(guard.isNull());
        EXPECT_TRUE(sheet->isVisible()) << target->metaObject()->className();
        EXPECT_EQ(v.view->ipmiSheet(), sheet);
        EXPECT_EQ(v.store().lastActionMessage(), message);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), clipboard);
    }
}

} // namespace halvo::test
