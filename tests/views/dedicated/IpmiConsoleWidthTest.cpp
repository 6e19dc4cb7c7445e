#include "support/QtPrinters.h"
#include "support/StoreHarness.h"
#include "ui/HalvoElidedLabel.h"
#include "views/dedicated/DedicatedIpmiConsole.h"

#include <QCoreApplication>
#include <QDialog>
#include <QVBoxLayout>

#include <gtest/gtest.h>

TEST(IpmiConsoleWidth, ALongServerNameElidesTheLinesInsteadOfWideningTheSheet) {
    halvo::test::StoreHarness harness;
    HalvoServer server;
    server.name = QString(QStringLiteral("ns3045871.ip-192-0-2.example.net-")).repeated(8);
    server.reverse = server.name;
    server.os = QStringLiteral("proxmox8_64");
    // As the view presents it: in a sheet of its own, sized to what it asks for.
    QDialog sheet;
    auto* layout = new QVBoxLayout(&sheet);
    layout->setContentsMargins(20, 20, 20, 20);
    auto* console = new DedicatedIpmiConsole(harness.store(), server);
    layout->addWidget(console);
    EXPECT_LE(sheet.sizeHint().width(), 900 + 40);
    sheet.resize(sheet.sizeHint());
    sheet.show();
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
    bool anyElided = false;
    for (HalvoElidedLabel* line : console->findChildren<HalvoElidedLabel*>()) {
        EXPECT_LE(line->mapTo(&sheet, QPoint(line->width(), 0)).x(), sheet.width());
        anyElided = anyElided || line->isElided();
    }
    EXPECT_TRUE(anyElided);
}
