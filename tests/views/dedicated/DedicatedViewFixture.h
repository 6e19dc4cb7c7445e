#pragma once

// Test-made servers and a shown dedicated-server view on a real store.

#include "support/QtPrinters.h"
#include "support/SectionHarness.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoSectionFrame.h"
#include "views/dedicated/DedicatedServersView.h"

#include <QListView>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

namespace halvo::test {

/// A complete server with every optional element present; tests change what they look at.
inline HalvoServer makeServer(const QString& name) {
    HalvoServer server;
    server.name = name;
    server.reverse = QStringLiteral("host-") + name + QStringLiteral(".example.org.");
    server.commercialRange = QStringLiteral("Advance-1");
    server.datacenter = QStringLiteral("fra1");
    server.os = QStringLiteral("debian12_64");
    server.state = QStringLiteral("ok");
    server.powerState = QStringLiteral("poweron");
    server.ip = QStringLiteral("192.0.2.10");
    server.ipv6 = QStringLiteral("2001:db8:10::/64");
    server.gateway = QStringLiteral("192.0.2.254");
    server.monitoring = true;
    server.noIntervention = false;
    server.rescueMail = QStringLiteral("ops@example.org");
    server.bootId = 1;
    server.bootType = QStringLiteral("harddisk");
    server.supportLevel = QStringLiteral("premium");
    server.serverId = 4711;
    server.rack = QStringLiteral("R12");
    server.ipmiAvailable = true;
    server.meshbaySupported = true;
    server.meshbayName = QStringLiteral("pn-4711");
    server.cpuModel = QStringLiteral("AMD EPYC 4344P");
    server.cpuCores = 8;
    server.cpuThreads = 16;
    server.cpuFrequencyGHz = QStringLiteral("3.8 GHz");
    server.ramSizeGB = 64;
    server.ramType = QStringLiteral("DDR5 ECC");
    server.motherBoard = QStringLiteral("ASRock Rack B650D4U");
    server.formFactor = QStringLiteral("1U");
    server.backupFTPAvailable = true;
    server.backupFTPName = QStringLiteral("ftpback.example.net");
    server.expirationDate = QStringLiteral("2027-03-01");
    return server;
}

inline HalvoAccountSnapshot snapshotWith(const QList<HalvoServer>& servers) {
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = QUuid::createUuid();
    snapshot.updatedAt = QDateTime::currentDateTimeUtc();
    snapshot.dedicatedServers = servers;
    return snapshot;
}

/// A real store with the given servers (or the demonstration data) and a shown view on it.
class DedicatedView : public SectionHarness<DedicatedServersView> {
public:
    explicit DedicatedView(const std::optional<QList<HalvoServer>>& servers = std::nullopt)
        : SectionHarness(servers ? StoreHarness::withSnapshot(snapshotWith(*servers))
                                 : std::make_unique<StoreHarness>()) {}

    /// The server of the active snapshot with the name (fails the test when there is none).
    HalvoServer server(const QString& name) {
        for (const HalvoServer& server : store().activeSnapshot().dedicatedServers) {
            if (server.name == name)
                return server;
        }
        ADD_FAILURE() << "no server " << name.toStdString();
        return {};
    }

    /// The index of the one tab button in the primary variant, or -1.
    int highlightedTab() {
        const QList<HalvoActionButton*> buttons = frame().tabButtons();
        int found = -1;
        for (int i = 0; i < buttons.size(); ++i) {
            if (buttons[i]->variant() == HalvoButtonVariant::primary) {
                EXPECT_EQ(found, -1) << "more than one tab highlighted";
                found = i;
            }
        }
        return found;
    }

    void clickTab(int index) { click(frame().tabButtons().at(index)); }
};

} // namespace halvo::test
