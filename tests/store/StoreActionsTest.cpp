// Every action of the store: the change of the snapshot, the status sentence and the requests as the
// loopback provider received them.

#include "support/FakeHalvoServer.h"
#include "support/QtPrinters.h"
#include "support/StoreHarness.h"

#include <QSignalSpy>
#include <QTest>

#include <deque>
#include <functional>
#include <gtest/gtest.h>

namespace {

using halvo::test::FakeHalvoServer;
using halvo::test::StoreHarness;

const QString kDomain = QStringLiteral("example.org");
const QString kVps = QStringLiteral("vps-1.example.net");
const QString kServer = QStringLiteral("ns3001.example.net");
const QString kBlock = QStringLiteral("192.0.2.0/29");
const QString kBlock6 = QStringLiteral("2001:db8::/56");

const QDateTime kNow = QDateTime::fromSecsSinceEpoch(1'710'000'000, Qt::UTC);
/// 16:00 UTC on a clock that reads two hours ahead.
const QDateTime kNowInBerlinSummer(QDate(2024, 3, 9), QTime(18, 0), Qt::OffsetFromUTC, 2 * 3600);

HalvoAccountSnapshot baseSnapshot() {
    HalvoAccountSnapshot s;
    s.updatedAt = QDateTime::fromSecsSinceEpoch(1'600'000'000, Qt::UTC);

    HalvoDomain domain;
    domain.domain = kDomain;
    domain.transferLockStatus = QStringLiteral("locked");
    domain.dnsRecords = {
        {900007, kDomain, QStringLiteral("www"), QStringLiteral("A"), QStringLiteral("192.0.2.10"), 3600}};
    domain.nameServers = {QStringLiteral("ns1.example.org"), QStringLiteral("ns2.example.org")};
    domain.glueRecords = {{QStringLiteral("ns1.example.org"), {QStringLiteral("192.0.2.53")}}};
    domain.pulsenames = {{QStringLiteral("home"), QStringLiteral("198.51.100.7"), QStringLiteral("user")}};
    HalvoDomain other;
    other.domain = QStringLiteral("example.net");
    other.transferLockStatus = QStringLiteral("unavailable");
    other.dnssecEnabled = true;
    s.domains = {domain, other};

    HalvoVPS vps;
    vps.name = kVps;
    vps.state = QStringLiteral("stopped");
    vps.netbootMode = QStringLiteral("rescue");
    s.vpsList = {vps};

    HalvoServer server;
    server.name = kServer;
    server.powerState = QStringLiteral("poweroff");
    server.state = QStringLiteral("error");
    server.bootId = 7;
    server.bootType = QStringLiteral("network");
    server.monitoring = true;
    server.meshbayName = QStringLiteral("mb-old");
    server.backupFTPAccessBlocks = {QStringLiteral("203.0.113.0/24")};
    s.dedicatedServers = {server};

    HalvoIPBlock block;
    block.ipBlock = kBlock;
    block.routedToService = kServer;
    block.reverseEntries = {{QStringLiteral("192.0.2.1"), QStringLiteral("host1.example.org.")}};
    block.virtualMacs = {{QStringLiteral("02:00:00:aa:bb:cc"), QStringLiteral("ovh"), QStringLiteral("vm-old"),
                          QStringLiteral("192.0.2.2")}};
    block.firewallRules = {{5, QStringLiteral("permit"), QStringLiteral("tcp"), QStringLiteral("any"), std::nullopt,
                            QStringLiteral("80"), std::nullopt, false, QStringLiteral("ok")},
                           {20, QStringLiteral("deny"), QStringLiteral("udp"), QStringLiteral("any"), std::nullopt,
                            std::nullopt, std::nullopt, false, QStringLiteral("ok")}};
    block.mitigationMode = QStringLiteral("auto");
    block.arpBlockedIPs = {QStringLiteral("192.0.2.3")};
    block.spamBlockedIPs = {QStringLiteral("192.0.2.3"), QStringLiteral("192.0.2.4"), QStringLiteral("192.0.2.3")};
    block.gameRules = {{1005, QStringLiteral("teamspeak"), 9987, 9987, QStringLiteral("ok")}};
    HalvoIPBlock v6;
    v6.ipBlock = kBlock6;
    v6.version = 6;
    v6.mitigationMode = QStringLiteral("permanent");
    HalvoIPBlock unrouted;
    unrouted.ipBlock = QStringLiteral("198.51.100.0/30");
    unrouted.routedToService = QString();
    s.ipBlocks = {block, v6, unrouted};
    return s;
}

template <class Item> Item& item(QList<Item>& list, int index = 0) {
    return list[index];
}

struct Sent {
    QByteArray method;
    QByteArray target; ///< below "/1.0", as on the wire
    QByteArray body;   ///< empty when none
};

struct ActionCase {
    const char* name;
    std::function<void(AppStateStore&)> act;
    std::function<void(HalvoAccountSnapshot&)> change;
    QString sentence;
    QList<Sent> requests;
    std::deque<quint32> randoms = {};
    QDateTime now = kNow;
};

void PrintTo(const ActionCase& c, std::ostream* os) {
    *os << c.name;
}

/// A store on the fake provider with complete credentials, a fixed clock and scripted random numbers.
struct Rig {
    explicit Rig(const HalvoAccountSnapshot& seed = baseSnapshot())
        : harness(StoreHarness::withSnapshot(seed, server.baseUrl())) {
        harness->credentials().items.insert(accountId(),
                                            {QStringLiteral("test-application-secret"), QStringLiteral("ck-store")});
        store().setClock([] { return kNow; });
        store().setRandom([this](quint32 bound) {
            if (randoms.empty()) {
                ADD_FAILURE() << "unexpected random draw";
                return quint32(0);
            }
            const quint32 value = randoms.front();
            randoms.pop_front();
            EXPECT_LT(value, bound);
            return value;
        });
    }

    AppStateStore& store() { return harness->store(); }
    QUuid accountId() { return *harness->store().activeAccountId(); }

    FakeHalvoServer server;
    std::unique_ptr<StoreHarness> harness;
    std::deque<quint32> randoms;
};

/// Waits until every request of the store's actions has been answered, so that "nothing more was sent"
/// means something.
void settleNetwork(StoreHarness& harness) {
    EXPECT_TRUE(harness.waitUntilRequestsSettled());
}

QList<ActionCase> domainCases() {
    const QByteArray refresh = "/domain/zone/example.org/refresh";
    return {
        {"addDNSRecordDrawsAnUnusedIdAndEscapesTheTarget",
         [](AppStateStore& s) {
             s.addDNSRecord(kDomain, QStringLiteral("txt"), QStringLiteral("TXT"),
                            QStringLiteral("v=spf1 \"quoted\" \\ back\nline"), 300);
         },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).dnsRecords.append({900008, kDomain, QStringLiteral("txt"), QStringLiteral("TXT"),
                                                QStringLiteral("v=spf1 \"quoted\" \\ back\nline"), 300});
         },
         // The status line is one line: the line break shows as a blank; the request keeps it.
         QStringLiteral("DNS-Eintrag (TXT txt -> v=spf1 \"quoted\" \\ back line) gesendet & Zone aktualisiert."),
         {{"POST", "/domain/zone/example.org/record",
           R"({"fieldType":"TXT","subDomain":"txt","target":"v=spf1 \"quoted\" \\ back\nline","ttl":300})"},
          {"POST", refresh, {}}},
         {7, 8}},
        {"addDNSRecordAtTheApex",
         [](AppStateStore& s) {
             s.addDNSRecord(kDomain, {}, QStringLiteral("MX"), QStringLiteral("10 mail.example.org."), 3600);
         },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).dnsRecords.append(
                 {999999, kDomain, {}, QStringLiteral("MX"), QStringLiteral("10 mail.example.org."), 3600});
         },
         QStringLiteral("DNS-Eintrag (MX @ -> 10 mail.example.org.) gesendet & Zone aktualisiert."),
         {{"POST", "/domain/zone/example.org/record",
           R"({"fieldType":"MX","subDomain":"","target":"10 mail.example.org.","ttl":3600})"},
          {"POST", refresh, {}}},
         {99999}},
        {"deleteDNSRecord",
         [](AppStateStore& s) { s.deleteDNSRecord(kDomain, 900007); },
         [](HalvoAccountSnapshot& s) { item(s.domains).dnsRecords.clear(); },
         QStringLiteral("DNS-Record #900007 gelöscht & Zone aktualisiert."),
         {{"DELETE", "/domain/zone/example.org/record/900007", {}}, {"POST", refresh, {}}}},
        {"deleteUnknownDNSRecordStillSends",
         [](AppStateStore& s) { s.deleteDNSRecord(kDomain, 42); },
         [](HalvoAccountSnapshot&) {},
         QStringLiteral("DNS-Record #42 gelöscht & Zone aktualisiert."),
         {{"DELETE", "/domain/zone/example.org/record/42", {}}, {"POST", refresh, {}}}},
        {"transferLockOpens",
         [](AppStateStore& s) { s.toggleDomainTransferLock(kDomain); },
         [](HalvoAccountSnapshot& s) { item(s.domains).transferLockStatus = QStringLiteral("unlocked"); },
         QStringLiteral("Domain example.org: Transfer-Lock auf 'unlocked' gesetzt (PUT /domain/example.org)."),
         {{"PUT", "/domain/example.org", R"({"transferLockStatus":"unlocked"})"}}},
        {"transferLockUnavailableLocks",
         [](AppStateStore& s) { s.toggleDomainTransferLock(QStringLiteral("example.net")); },
         [](HalvoAccountSnapshot& s) { item(s.domains, 1).transferLockStatus = QStringLiteral("locked"); },
         QStringLiteral("Domain example.net: Transfer-Lock auf 'locked' gesetzt (PUT /domain/example.net)."),
         {{"PUT", "/domain/example.net", R"({"transferLockStatus":"locked"})"}}},
        {"dnssecOn",
         [](AppStateStore& s) { s.toggleDNSSEC(kDomain); },
         [](HalvoAccountSnapshot& s) { item(s.domains).dnssecEnabled = true; },
         QStringLiteral("Domain example.org: DNSSEC aktiviert (POST /domain/zone/example.org/dnssec)."),
         {{"POST", "/domain/zone/example.org/dnssec", {}}}},
        {"dnssecOff",
         [](AppStateStore& s) { s.toggleDNSSEC(QStringLiteral("example.net")); },
         [](HalvoAccountSnapshot& s) { item(s.domains, 1).dnssecEnabled = false; },
         QStringLiteral("Domain example.net: DNSSEC deaktiviert (DELETE /domain/zone/example.net/dnssec)."),
         {{"DELETE", "/domain/zone/example.net/dnssec", {}}}},
        {"nameServers",
         [](AppStateStore& s) {
             s.updateNameServers(kDomain, {QStringLiteral("dns2.example.com"), QStringLiteral("dns1.example.com")});
         },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).nameServers = {QStringLiteral("dns2.example.com"), QStringLiteral("dns1.example.com")};
         },
         QStringLiteral("Nameserver für example.org aktualisiert (dns2.example.com, dns1.example.com)."),
         {{"POST", "/domain/example.org/nameServers/update",
           R"({"nameServers":[{"host":"dns2.example.com"},{"host":"dns1.example.com"}]})"}}},
        {"glueRecordGetsTheDomainAndReplaces",
         [](AppStateStore& s) { s.addGlueRecord(kDomain, QStringLiteral("ns1"), QStringLiteral("192.0.2.54")); },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).glueRecords = {{QStringLiteral("ns1.example.org"), {QStringLiteral("192.0.2.54")}}};
         },
         QStringLiteral("Glue-Record (ns1.example.org -> 192.0.2.54) in Registry eingetragen (POST "
                        "/domain/example.org/glueRecord)."),
         {{"POST", "/domain/example.org/glueRecord", R"({"host":"ns1.example.org","ips":["192.0.2.54"]})"}}},
        {"glueRecordAlreadyFull",
         [](AppStateStore& s) {
             s.addGlueRecord(kDomain, QStringLiteral("ns2.example.org"), QStringLiteral("2001:db8::53"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).glueRecords.append({QStringLiteral("ns2.example.org"), {QStringLiteral("2001:db8::53")}});
         },
         QStringLiteral("Glue-Record (ns2.example.org -> 2001:db8::53) in Registry eingetragen (POST "
                        "/domain/example.org/glueRecord)."),
         {{"POST", "/domain/example.org/glueRecord", R"({"host":"ns2.example.org","ips":["2001:db8::53"]})"}}},
        {"glueRecordHostWithTrailingDotReplacesTheSameHost",
         [](AppStateStore& s) {
             s.addGlueRecord(kDomain, QStringLiteral("ns1.example.org."), QStringLiteral("192.0.2.55"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).glueRecords = {{QStringLiteral("ns1.example.org"), {QStringLiteral("192.0.2.55")}}};
         },
         QStringLiteral("Glue-Record (ns1.example.org -> 192.0.2.55) in Registry eingetragen (POST "
                        "/domain/example.org/glueRecord)."),
         {{"POST", "/domain/example.org/glueRecord", R"({"host":"ns1.example.org","ips":["192.0.2.55"]})"}}},
        {"glueRecordShortHostWithTrailingDot",
         [](AppStateStore& s) { s.addGlueRecord(kDomain, QStringLiteral("ns3."), QStringLiteral("192.0.2.56")); },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).glueRecords.append({QStringLiteral("ns3.example.org"), {QStringLiteral("192.0.2.56")}});
         },
         QStringLiteral("Glue-Record (ns3.example.org -> 192.0.2.56) in Registry eingetragen (POST "
                        "/domain/example.org/glueRecord)."),
         {{"POST", "/domain/example.org/glueRecord", R"({"host":"ns3.example.org","ips":["192.0.2.56"]})"}}},
        {"glueRecordTheDomainItself",
         [](AppStateStore& s) {
             s.addGlueRecord(kDomain, QStringLiteral("example.org."), QStringLiteral("192.0.2.57"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).glueRecords.append({QStringLiteral("example.org"), {QStringLiteral("192.0.2.57")}});
         },
         QStringLiteral("Glue-Record (example.org -> 192.0.2.57) in Registry eingetragen (POST "
                        "/domain/example.org/glueRecord)."),
         {{"POST", "/domain/example.org/glueRecord", R"({"host":"example.org","ips":["192.0.2.57"]})"}}},
        {"glueRecordSuffixWithoutDotIsOutsideTheZone",
         [](AppStateStore& s) {
             s.addGlueRecord(kDomain, QStringLiteral("evil-example.org"), QStringLiteral("192.0.2.58"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).glueRecords.append(
                 {QStringLiteral("evil-example.org.example.org"), {QStringLiteral("192.0.2.58")}});
         },
         QStringLiteral("Glue-Record (evil-example.org.example.org -> 192.0.2.58) in Registry eingetragen (POST "
                        "/domain/example.org/glueRecord)."),
         {{"POST", "/domain/example.org/glueRecord",
           R"({"host":"evil-example.org.example.org","ips":["192.0.2.58"]})"}}},
        {"deleteGlueRecord",
         [](AppStateStore& s) { s.deleteGlueRecord(kDomain, QStringLiteral("ns1.example.org")); },
         [](HalvoAccountSnapshot& s) { item(s.domains).glueRecords.clear(); },
         QStringLiteral(
             "Glue-Record ns1.example.org entfernt (DELETE /domain/example.org/glueRecord/ns1.example.org)."),
         {{"DELETE", "/domain/example.org/glueRecord/ns1.example.org", {}}}},
        {"deleteGlueRecordWithSlashAndQuestionMark",
         [](AppStateStore& s) { s.deleteGlueRecord(kDomain, QStringLiteral("a/b?c#d")); },
         [](HalvoAccountSnapshot&) {},
         QStringLiteral("Glue-Record a/b?c#d entfernt (DELETE /domain/example.org/glueRecord/a/b?c#d)."),
         {{"DELETE", "/domain/example.org/glueRecord/a%2Fb%3Fc%23d", {}}}},
        {"pulsenameReplacesAndSkipsTheLogin",
         [](AppStateStore& s) {
             s.addPulsenameRecord(kDomain, QStringLiteral("home"), QStringLiteral("198.51.100.8"),
                                  QStringLiteral("geheim-login"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.domains).pulsenames = {
                 {QStringLiteral("home"), QStringLiteral("198.51.100.8"), QStringLiteral("geheim-login")}};
         },
         QStringLiteral("Pulsename (home.example.org -> 198.51.100.8) angelegt & Zone aktualisiert."),
         {{"POST", "/domain/zone/example.org/pulsename/record", R"({"ip":"198.51.100.8","subDomain":"home"})"},
          {"POST", refresh, {}}}},
        {"pulsenameRemovedLocally",
         [](AppStateStore& s) { s.removePulsenameRecordLocally(kDomain, QStringLiteral("home")); },
         [](HalvoAccountSnapshot& s) { item(s.domains).pulsenames.clear(); },
         QStringLiteral("Pulsename home.example.org entfernt."),
         {}},
    };
}

QList<ActionCase> vpsCases() {
    return {
        {"vpsStart",
         [](AppStateStore& s) { s.performVPSPowerAction(kVps, QStringLiteral("start")); },
         [](HalvoAccountSnapshot& s) {
             item(s.vpsList).state = QStringLiteral("running");
             item(s.vpsList).netbootMode = QStringLiteral("local");
         },
         QStringLiteral("VPS vps-1.example.net: Aktion 'START' an Halvo API gesendet."),
         {{"PUT", "/vps/vps-1.example.net", R"({"netbootMode":"local"})"},
          {"POST", "/vps/vps-1.example.net/start", {}}}},
        {"vpsReboot",
         [](AppStateStore& s) { s.performVPSPowerAction(kVps, QStringLiteral("reboot")); },
         [](HalvoAccountSnapshot& s) { item(s.vpsList).state = QStringLiteral("running"); },
         QStringLiteral("VPS vps-1.example.net: Aktion 'REBOOT' an Halvo API gesendet."),
         {{"POST", "/vps/vps-1.example.net/reboot", {}}}},
        {"vpsRescue",
         [](AppStateStore& s) { s.performVPSPowerAction(kVps, QStringLiteral("rescue")); },
         [](HalvoAccountSnapshot& s) { item(s.vpsList).state = QStringLiteral("rescued"); },
         QStringLiteral("VPS vps-1.example.net: Aktion 'RESCUE' an Halvo API gesendet."),
         {{"PUT", "/vps/vps-1.example.net", R"({"netbootMode":"rescue"})"},
          {"POST", "/vps/vps-1.example.net/reboot", {}}}},
        {"vpsStop",
         [](AppStateStore& s) { s.performVPSPowerAction(kVps, QStringLiteral("stop")); },
         [](HalvoAccountSnapshot& s) { item(s.vpsList).state = QStringLiteral("stopped"); },
         QStringLiteral("VPS vps-1.example.net: Aktion 'STOP' an Halvo API gesendet."),
         {{"POST", "/vps/vps-1.example.net/stop", {}}}},
        {"vpsSla",
         [](AppStateStore& s) { s.toggleVPSSLAMonitoring(kVps); },
         [](HalvoAccountSnapshot& s) { item(s.vpsList).slaMonitoring = true; },
         QStringLiteral("VPS vps-1.example.net: SLA-Monitoring aktiviert."),
         {{"PUT", "/vps/vps-1.example.net", R"({"slaMonitoring":true})"}}},
        {"vpsSnapshot",
         [](AppStateStore& s) { s.createVPSSnapshot(kVps, QStringLiteral("vor \"Update\"")); },
         [](HalvoAccountSnapshot& s) {
             item(s.vpsList).snapshotDescription = QStringLiteral("vor \"Update\"");
             item(s.vpsList).snapshotCreationDate = QStringLiteral("2024-03-09 16:00 UTC");
         },
         QStringLiteral("VPS vps-1.example.net: Snapshot 'vor \"Update\"' angefordert (POST "
                        "/vps/vps-1.example.net/createSnapshot)."),
         {{"POST", "/vps/vps-1.example.net/createSnapshot", R"({"description":"vor \"Update\""})"}},
         {},
         kNowInBerlinSummer},
        {"vpsSnapshotWithEmptyDescription",
         [](AppStateStore& s) { s.createVPSSnapshot(kVps, {}); },
         [](HalvoAccountSnapshot& s) {
             item(s.vpsList).snapshotDescription = QString();
             item(s.vpsList).snapshotCreationDate = QStringLiteral("2024-03-09 16:00 UTC");
         },
         QStringLiteral("VPS vps-1.example.net: Snapshot '' angefordert (POST /vps/vps-1.example.net/createSnapshot)."),
         {{"POST", "/vps/vps-1.example.net/createSnapshot", R"({"description":""})"}},
         {},
         kNowInBerlinSummer},
    };
}

QList<ActionCase> dedicatedCases() {
    const QByteArray server = "/dedicated/server/ns3001.example.net";
    const QString prefix = QStringLiteral("Dedicated Server ns3001.example.net: ");
    const auto key = [](const char* action) {
        return [action](AppStateStore& s) { s.performDedicatedServerAction(kServer, QLatin1String(action)); };
    };
    return {
        {"serverReboot",
         key("reboot"),
         [](HalvoAccountSnapshot& s) {
             item(s.dedicatedServers).powerState = QStringLiteral("poweron");
             item(s.dedicatedServers).state = QStringLiteral("ok");
         },
         prefix + QStringLiteral("Hardware-Reboot ausgelöst (POST /dedicated/server/ns3001.example.net/reboot)."),
         {{"POST", server + "/reboot", {}}}},
        {"serverBootRescue",
         key("boot-rescue"),
         [](HalvoAccountSnapshot& s) {
             item(s.dedicatedServers).bootType = QStringLiteral("rescue");
             item(s.dedicatedServers).bootId = 1122;
         },
         prefix + QStringLiteral("Netboot auf Notanker umgestellt."),
         {{"PUT", server, R"({"bootId":1122})"}}},
        {"serverBootDisk",
         key("boot-disk"),
         [](HalvoAccountSnapshot& s) {
             item(s.dedicatedServers).bootType = QStringLiteral("harddisk");
             item(s.dedicatedServers).bootId = 1;
         },
         prefix + QStringLiteral("Netboot auf lokale NVMe/Festplatte umgestellt."),
         {{"PUT", server, R"({"bootId":1})"}}},
        {"serverMonitoringOff",
         key("toggle-monitoring"),
         [](HalvoAccountSnapshot& s) { item(s.dedicatedServers).monitoring = false; },
         prefix + QStringLiteral("Halvo Intervention-Monitoring deaktiviert."),
         {{"PUT", server, R"({"monitoring":false})"}}},
        {"serverNoInterventionOn",
         key("toggle-no-intervention"),
         [](HalvoAccountSnapshot& s) { item(s.dedicatedServers).noIntervention = true; },
         prefix + QStringLiteral("Datacenter Techniker-Eingriff blockiert (No-Intervention AN)."),
         {{"PUT", server, R"({"noIntervention":true})"}}},
        {"serverFirewallOn",
         key("toggle-firewall"),
         [](HalvoAccountSnapshot& s) { item(s.dedicatedServers).firewallEnabled = true; },
         prefix + QStringLiteral("Network Edge Firewall aktiviert."),
         {{"PUT", server + "/firewall", R"({"enabled":true})"}}},
        {"serverBackupPassword",
         key("reset-backup-ftp-password"),
         [](HalvoAccountSnapshot&) {},
         prefix + QStringLiteral("Neues Backup-FTP Passwort generiert und per E-Mail versendet."),
         {{"POST", server + "/features/backupFTP/password", {}}}},
        {"serverReverseGetsItsDot",
         [](AppStateStore& s) { s.setDedicatedServerReverse(kServer, QStringLiteral("host.example.org")); },
         [](HalvoAccountSnapshot& s) { item(s.dedicatedServers).reverse = QStringLiteral("host.example.org."); },
         prefix + QStringLiteral("Server-Hostname / Reverse-DNS auf 'host.example.org.' gesetzt."),
         {{"PUT", server, R"({"reverse":"host.example.org."})"}}},
        {"serverRescueMail",
         [](AppStateStore& s) { s.setDedicatedRescueMail(kServer, QStringLiteral("ops@example.org")); },
         [](HalvoAccountSnapshot& s) { item(s.dedicatedServers).rescueMail = QStringLiteral("ops@example.org"); },
         prefix + QStringLiteral("Rescue-Zugangsdaten E-Mail auf 'ops@example.org' geändert."),
         {{"PUT", server, R"({"rescueMail":"ops@example.org"})"}}},
        {"serverMeshbayAttach",
         [](AppStateStore& s) { s.toggleDedicatedServerMeshbay(kServer, QStringLiteral("mb/one")); },
         [](HalvoAccountSnapshot& s) { item(s.dedicatedServers).meshbayName = QStringLiteral("mb/one"); },
         QStringLiteral("Dedicated Server ns3001.example.net in Meshbay 'mb/one' eingebunden (POST "
                        "/meshbay/mb/one/dedicatedServer)."),
         {{"POST", "/meshbay/mb%2Fone/dedicatedServer", R"({"dedicatedServer":"ns3001.example.net"})"}}},
        {"serverMeshbayDetachLocally",
         [](AppStateStore& s) { s.toggleDedicatedServerMeshbay(kServer, {}); },
         [](HalvoAccountSnapshot& s) { item(s.dedicatedServers).meshbayName.reset(); },
         QStringLiteral("Dedicated Server ns3001.example.net aus Meshbay getrennt."),
         {}},
        {"serverBackupAccess",
         [](AppStateStore& s) { s.addBackupFTPAccess(kServer, QStringLiteral("198.51.100.0/24")); },
         [](HalvoAccountSnapshot& s) {
             item(s.dedicatedServers).backupFTPAccessBlocks.append(QStringLiteral("198.51.100.0/24"));
         },
         QStringLiteral("Backup-FTP ACL: Zugriff für 198.51.100.0/24 freigeschaltet (NFS / CIFS / FTP)."),
         {{"POST", server + "/features/backupFTP/access",
           R"({"ipBlock":"198.51.100.0/24","ftp":true,"nfs":true,"cifs":true})"}}},
        {"serverBackupAccessKnownBlockNotDoubled",
         [](AppStateStore& s) { s.addBackupFTPAccess(kServer, QStringLiteral("203.0.113.0/24")); },
         [](HalvoAccountSnapshot&) {},
         QStringLiteral("Backup-FTP ACL: Zugriff für 203.0.113.0/24 freigeschaltet (NFS / CIFS / FTP)."),
         {{"POST", server + "/features/backupFTP/access",
           R"({"ipBlock":"203.0.113.0/24","ftp":true,"nfs":true,"cifs":true})"}}},
    };
}

QList<ActionCase> ipCases() {
    const QByteArray ip = "/ip/192.0.2.0%2F29";
    return {
        {"ipDescription",
         [](AppStateStore& s) { s.updateIPBlockDescription(kBlock, QStringLiteral("Web \"Cluster\"\nZeile 2")); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).description = QStringLiteral("Web \"Cluster\"\nZeile 2"); },
         QStringLiteral("IP-Block 192.0.2.0/29: Beschreibung auf 'Web \"Cluster\" Zeile 2' aktualisiert (PUT "
                        "/ip/192.0.2.0/29)."),
         {{"PUT", ip, R"({"description":"Web \"Cluster\"\nZeile 2"})"}}},
        {"reverseUpdatesTheEntry",
         [](AppStateStore& s) {
             s.setReverseDNS(kBlock, QStringLiteral("192.0.2.1"), QStringLiteral("mail.example.org"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks).reverseEntries[0].reverse = QStringLiteral("mail.example.org.");
         },
         QStringLiteral("rDNS (PTR) für 192.0.2.1 -> mail.example.org. gespeichert (POST /ip/192.0.2.0/29/reverse)."),
         {{"POST", ip + "/reverse", R"({"ipReverse":"192.0.2.1","reverse":"mail.example.org."})"}}},
        {"reverseAppendsANewEntry",
         [](AppStateStore& s) {
             s.setReverseDNS(kBlock, QStringLiteral("192.0.2.5"), QStringLiteral("web.example.org."));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks).reverseEntries.append({QStringLiteral("192.0.2.5"), QStringLiteral("web.example.org.")});
         },
         QStringLiteral("rDNS (PTR) für 192.0.2.5 -> web.example.org. gespeichert (POST /ip/192.0.2.0/29/reverse)."),
         {{"POST", ip + "/reverse", R"({"ipReverse":"192.0.2.5","reverse":"web.example.org."})"}}},
        {"reverseDeleted",
         [](AppStateStore& s) { s.deleteReverseDNS(kBlock, QStringLiteral("192.0.2.1")); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).reverseEntries.clear(); },
         QStringLiteral("rDNS (PTR) für 192.0.2.1 entfernt (DELETE /ip/192.0.2.0/29/reverse/192.0.2.1)."),
         {{"DELETE", ip + "/reverse/192.0.2.1", {}}}},
        {"delegation",
         [](AppStateStore& s) { s.delegateReverseSubnet(kBlock, QStringLiteral("ns1.example.com")); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).delegationTargets = {QStringLiteral("ns1.example.com")}; },
         QStringLiteral("rDNS-Subnetz-Delegation für 192.0.2.0/29 an Nameserver 'ns1.example.com' eingerichtet."),
         {{"POST", ip + "/delegation", R"({"target":"ns1.example.com"})"}}},
        {"virtualMacOnTheRoutedServer",
         [](AppStateStore& s) {
             s.addVirtualMAC(kBlock, QStringLiteral("192.0.2.2"), QStringLiteral("vm-new"), QStringLiteral("vmware"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks).virtualMacs = {{QStringLiteral("02:00:00:0a:ff:10"), QStringLiteral("vmware"),
                                              QStringLiteral("vm-new"), QStringLiteral("192.0.2.2")}};
         },
         QStringLiteral("Virtual MAC (02:00:00:0a:ff:10, Typ: vmware) für 192.0.2.2 (VM: vm-new) zugewiesen."),
         {{"POST", "/dedicated/server/ns3001.example.net/virtualMac",
           R"({"ipAddress":"192.0.2.2","type":"vmware","virtualMachineName":"vm-new"})"}},
         {0x0a, 0xff, 0x10}},
        {"virtualMacWithoutRoutedService",
         [](AppStateStore& s) {
             s.addVirtualMAC(kBlock6, QStringLiteral("2001:db8::10"), QStringLiteral("vm6"), QStringLiteral("ovh"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks, 1).virtualMacs = {{QStringLiteral("02:00:00:00:01:02"), QStringLiteral("ovh"),
                                                 QStringLiteral("vm6"), QStringLiteral("2001:db8::10")}};
         },
         QStringLiteral("Virtual MAC (02:00:00:00:01:02, Typ: ovh) für 2001:db8::10 (VM: vm6) zugewiesen."),
         {{"POST", "/dedicated/server/dedicated-server/virtualMac",
           R"({"ipAddress":"2001:db8::10","type":"ovh","virtualMachineName":"vm6"})"}},
         {0, 1, 2}},
        {"virtualMacWithEmptyRoutedServiceGoesToTheDefaultServer",
         [](AppStateStore& s) {
             s.addVirtualMAC(QStringLiteral("198.51.100.0/30"), QStringLiteral("198.51.100.1"), QStringLiteral("vm4"),
                             QStringLiteral("vmware"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks, 2).virtualMacs = {{QStringLiteral("02:00:00:03:04:05"), QStringLiteral("vmware"),
                                                 QStringLiteral("vm4"), QStringLiteral("198.51.100.1")}};
         },
         QStringLiteral("Virtual MAC (02:00:00:03:04:05, Typ: vmware) für 198.51.100.1 (VM: vm4) zugewiesen."),
         {{"POST", "/dedicated/server/dedicated-server/virtualMac",
           R"({"ipAddress":"198.51.100.1","type":"vmware","virtualMachineName":"vm4"})"}},
         {3, 4, 5}},
        {"virtualMacDeleted",
         [](AppStateStore& s) {
             s.deleteVirtualMAC(kBlock, QStringLiteral("192.0.2.2"), QStringLiteral("02:00:00:aa:bb:cc"));
         },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).virtualMacs.clear(); },
         QStringLiteral("Virtual MAC 02:00:00:aa:bb:cc von 192.0.2.2 entfernt."),
         {{"DELETE",
           "/dedicated/server/ns3001.example.net/virtualMac/02:00:00:aa:bb:cc/virtualAddress/192.0.2.2",
           {}}}},
        {"failoverMoved",
         [](AppStateStore& s) { s.moveFailoverIP(kBlock, QStringLiteral("ns3002.example.net")); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).routedToService = QStringLiteral("ns3002.example.net"); },
         QStringLiteral("Additional/Failover IP 192.0.2.0/29 auf 'ns3002.example.net' geroutet (POST "
                        "/ip/192.0.2.0/29/move)."),
         {{"POST", ip + "/move", R"({"to":"ns3002.example.net"})"}}},
        {"edgeFirewallOn",
         [](AppStateStore& s) { s.toggleEdgeFirewall(kBlock); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).firewallEnabled = true; },
         QStringLiteral("IP-Block 192.0.2.0/29: Edge-Firewall aktiviert."),
         {{"PUT", ip + "/firewall/192.0.2.0", R"({"enabled":true})"}}},
        {"edgeFirewallOnIPv6",
         [](AppStateStore& s) { s.toggleEdgeFirewall(kBlock6); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks, 1).firewallEnabled = true; },
         QStringLiteral("IP-Block 2001:db8::/56: Edge-Firewall aktiviert."),
         {{"PUT", "/ip/2001:db8::%2F56/firewall/2001:db8::", R"({"enabled":true})"}}},
        {"mitigationPermanent",
         [](AppStateStore& s) { s.setTidewallMitigation(kBlock); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).mitigationMode = QStringLiteral("permanent"); },
         QStringLiteral("IP-Block 192.0.2.0/29: Anti-DDoS Tidewall Mitigation auf 'PERMANENT' umgeschaltet."),
         {}},
        {"mitigationAuto",
         [](AppStateStore& s) { s.setTidewallMitigation(kBlock6); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks, 1).mitigationMode = QStringLiteral("auto"); },
         QStringLiteral("IP-Block 2001:db8::/56: Anti-DDoS Tidewall Mitigation auf 'AUTO' umgeschaltet."),
         {}},
        {"firewallRuleWithSourceAndNumericPort",
         [](AppStateStore& s) {
             s.addFirewallRule(kBlock, 10, QStringLiteral("deny"), QStringLiteral("tcp"),
                               QStringLiteral("198.51.100.0/24"), QStringLiteral("22"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks)
                 .firewallRules.insert(1, {10, QStringLiteral("deny"), QStringLiteral("tcp"),
                                           QStringLiteral("198.51.100.0/24"), std::nullopt, QStringLiteral("22"),
                                           std::nullopt, false, QStringLiteral("ok")});
         },
         QStringLiteral("Firewall-Regel #10 (DENY TCP) zu 192.0.2.0/29 hinzugefügt."),
         {{"POST", ip + "/firewall/192.0.2.0/rule",
           R"({"action":"deny","protocol":"tcp","sequence":10,"source":"198.51.100.0/24","destinationPort":22})"}}},
        {"firewallRuleReplacesItsSequenceWithoutSourceOrPort",
         [](AppStateStore& s) {
             s.addFirewallRule(kBlock, 5, QStringLiteral("permit"), QStringLiteral("udp"), {}, QString());
         },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks).firewallRules[0] = {5,
                                                  QStringLiteral("permit"),
                                                  QStringLiteral("udp"),
                                                  QStringLiteral("any"),
                                                  std::nullopt,
                                                  std::nullopt,
                                                  std::nullopt,
                                                  false,
                                                  QStringLiteral("ok")};
         },
         QStringLiteral("Firewall-Regel #5 (PERMIT UDP) zu 192.0.2.0/29 hinzugefügt."),
         {{"POST", ip + "/firewall/192.0.2.0/rule", R"({"action":"permit","protocol":"udp","sequence":5})"}}},
        {"firewallRuleWithTextPortSortedLast",
         [](AppStateStore& s) {
             s.addFirewallRule(kBlock, 30, QStringLiteral("permit"), QStringLiteral("tcp"), QStringLiteral("any"),
                               QStringLiteral("80-90"));
         },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks)
                 .firewallRules.append({30, QStringLiteral("permit"), QStringLiteral("tcp"), QStringLiteral("any"),
                                        std::nullopt, QStringLiteral("80-90"), std::nullopt, false,
                                        QStringLiteral("ok")});
         },
         QStringLiteral("Firewall-Regel #30 (PERMIT TCP) zu 192.0.2.0/29 hinzugefügt."),
         {{"POST", ip + "/firewall/192.0.2.0/rule",
           R"({"action":"permit","protocol":"tcp","sequence":30,"destinationPort":"80-90"})"}}},
        {"firewallRuleDeleted",
         [](AppStateStore& s) { s.deleteFirewallRule(kBlock, 5); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).firewallRules.removeFirst(); },
         QStringLiteral("Firewall-Regel #5 aus 192.0.2.0/29 entfernt."),
         {{"DELETE", ip + "/firewall/192.0.2.0/rule/5", {}}}},
        {"arpUnblockedEverywhere",
         [](AppStateStore& s) { s.unblockARPIP(kBlock, QStringLiteral("192.0.2.3")); },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks).arpBlockedIPs.clear();
             item(s.ipBlocks).spamBlockedIPs = {QStringLiteral("192.0.2.4")};
         },
         QStringLiteral("IP 192.0.2.3 aus Anti-Spam / ARP-Sperre entsperrt."),
         {{"POST", ip + "/arp/192.0.2.3/unblock", {}}}},
        {"gameRuleDrawsAnUnusedId",
         [](AppStateStore& s) { s.addGameFirewallRule(kBlock, QStringLiteral("minecraft"), 25565, 25566); },
         [](HalvoAccountSnapshot& s) {
             item(s.ipBlocks).gameMitigationEnabled = true;
             item(s.ipBlocks).gameRules.append({1006, QStringLiteral("minecraft"), 25565, 25566, QStringLiteral("ok")});
         },
         QStringLiteral(
             "Halvo Game-DDoS-Schutz: Protokoll 'minecraft' (UDP Ports 25565-25566) auf 192.0.2.0 aktiviert."),
         {{"POST", ip + "/game/192.0.2.0/rule", R"({"protocol":"minecraft","ports":{"from":25565,"to":25566}})"}},
         {5, 5, 6}},
        {"gameRuleRemovedLocally",
         [](AppStateStore& s) { s.removeGameFirewallRuleLocally(kBlock, 1005); },
         [](HalvoAccountSnapshot& s) { item(s.ipBlocks).gameRules.clear(); },
         QStringLiteral("Game-Firewall-Regel #1005 gelöscht."),
         {}},
    };
}

std::vector<ActionCase> allCases() {
    const QList<ActionCase> all = domainCases() + vpsCases() + dedicatedCases() + ipCases();
    return {all.begin(), all.end()};
}

class StoreAction : public ::testing::TestWithParam<ActionCase> {};

TEST_P(StoreAction, ChangesSnapshotReportsAndSendsSignedRequests) {
    const ActionCase& c = GetParam();
    Rig rig;
    rig.randoms = c.randoms;
    rig.store().setClock([now = c.now] { return now; });
    QSignalSpy snapshotsChanged(&rig.store(), &AppStateStore::snapshotsChanged);

    c.act(rig.store());

    HalvoAccountSnapshot expected = baseSnapshot();
    expected.accountId = rig.accountId();
    c.change(expected);
    expected.updatedAt = c.now;
    EXPECT_TRUE(rig.store().activeSnapshot() == expected);
    EXPECT_EQ(snapshotsChanged.count(), 1);
    EXPECT_EQ(rig.store().lastActionMessage(), c.sentence);
    EXPECT_TRUE(rig.randoms.empty()) << "random numbers left over";

    // The change reaches the cache.
    rig.harness->cache().flush();
    EXPECT_TRUE(rig.harness->cache().loadSnapshots().value(rig.accountId()) == expected);

    if (!c.requests.isEmpty()) {
        ASSERT_TRUE(rig.server.waitForApiRequests(int(c.requests.size())));
    }
    settleNetwork(*rig.harness);
    const QList<FakeHalvoServer::Request> received = rig.server.apiRequests();
    ASSERT_EQ(received.size(), c.requests.size());
    for (qsizetype i = 0; i < received.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(received[i].method, c.requests[i].method);
        EXPECT_EQ(received[i].path(), c.requests[i].target);
        EXPECT_EQ(received[i].body, c.requests[i].body);
        EXPECT_EQ(received[i].header("X-Halvo-Application"), "test-application-key");
        EXPECT_EQ(received[i].header("X-Halvo-Consumer"), "ck-store");
        EXPECT_TRUE(rig.server.signatureValid(received[i]));
    }
    // A successful answer changes nothing further.
    EXPECT_EQ(rig.store().lastActionMessage(), c.sentence);
}

INSTANTIATE_TEST_SUITE_P(All, StoreAction, ::testing::ValuesIn(allCases()),
                         [](const ::testing::TestParamInfo<ActionCase>& info) { return std::string(info.param.name); });

struct MissingCase {
    const char* name;
    std::function<void(AppStateStore&)> act;
};

void PrintTo(const MissingCase& c, std::ostream* os) {
    *os << c.name;
}

class StoreActionOnMissingItem : public ::testing::TestWithParam<MissingCase> {};

TEST_P(StoreActionOnMissingItem, ChangesNothingSaysNothingSendsNothing) {
    Rig rig;
    QSignalSpy snapshotsChanged(&rig.store(), &AppStateStore::snapshotsChanged);
    QSignalSpy messageChanged(&rig.store(), &AppStateStore::lastActionMessageChanged);
    const HalvoAccountSnapshot before = rig.store().activeSnapshot();

    GetParam().act(rig.store());
    settleNetwork(*rig.harness);

    EXPECT_TRUE(rig.store().activeSnapshot() == before);
    EXPECT_EQ(snapshotsChanged.count(), 0);
    EXPECT_EQ(messageChanged.count(), 0);
    EXPECT_EQ(rig.store().lastActionMessage(), AppStateStore::kInitialMessage);
    EXPECT_TRUE(rig.server.requests().isEmpty());
    rig.harness->cache().flush();
    EXPECT_TRUE(rig.harness->cache().loadSnapshots().value(rig.accountId()) == before);
}

const QString kMissing = QStringLiteral("missing.example");

INSTANTIATE_TEST_SUITE_P(
    All, StoreActionOnMissingItem,
    ::testing::Values(
        MissingCase{"addDNSRecord", [](AppStateStore& s) { s.addDNSRecord(kMissing, {}, QStringLiteral("A"), {}, 1); }},
        MissingCase{"deleteDNSRecord", [](AppStateStore& s) { s.deleteDNSRecord(kMissing, 900007); }},
        MissingCase{"transferLock", [](AppStateStore& s) { s.toggleDomainTransferLock(kMissing); }},
        MissingCase{"dnssec", [](AppStateStore& s) { s.toggleDNSSEC(kMissing); }},
        MissingCase{"nameServers", [](AppStateStore& s) { s.updateNameServers(kMissing, {kMissing}); }},
        MissingCase{"addGlue", [](AppStateStore& s) { s.addGlueRecord(kMissing, QStringLiteral("ns"), {}); }},
        MissingCase{"deleteGlue", [](AppStateStore& s) { s.deleteGlueRecord(kMissing, QStringLiteral("ns")); }},
        MissingCase{"addPulsename", [](AppStateStore& s) { s.addPulsenameRecord(kMissing, {}, {}, {}); }},
        MissingCase{"removePulsename", [](AppStateStore& s) { s.removePulsenameRecordLocally(kMissing, {}); }},
        MissingCase{"domainCaseMatters", [](AppStateStore& s) { s.toggleDNSSEC(QStringLiteral("Example.org")); }},
        MissingCase{"domainNotTrimmed", [](AppStateStore& s) { s.toggleDNSSEC(QStringLiteral("example.org ")); }},
        MissingCase{"vpsPower", [](AppStateStore& s) { s.performVPSPowerAction(kMissing, QStringLiteral("start")); }},
        MissingCase{"vpsUnknownKey",
                    [](AppStateStore& s) { s.performVPSPowerAction(kVps, QStringLiteral("explode")); }},
        MissingCase{"vpsSla", [](AppStateStore& s) { s.toggleVPSSLAMonitoring(kMissing); }},
        MissingCase{"vpsSnapshot", [](AppStateStore& s) { s.createVPSSnapshot(kMissing, {}); }},
        MissingCase{"serverAction",
                    [](AppStateStore& s) { s.performDedicatedServerAction(kMissing, QStringLiteral("reboot")); }},
        MissingCase{"serverUnknownKey",
                    [](AppStateStore& s) { s.performDedicatedServerAction(kServer, QStringLiteral("REBOOT")); }},
        MissingCase{"serverReverse", [](AppStateStore& s) { s.setDedicatedServerReverse(kMissing, kMissing); }},
        MissingCase{"serverRescueMail", [](AppStateStore& s) { s.setDedicatedRescueMail(kMissing, kMissing); }},
        MissingCase{"serverMeshbay", [](AppStateStore& s) { s.toggleDedicatedServerMeshbay(kMissing, {}); }},
        MissingCase{"serverBackupAccess", [](AppStateStore& s) { s.addBackupFTPAccess(kMissing, kBlock); }},
        MissingCase{"ipDescription", [](AppStateStore& s) { s.updateIPBlockDescription(kMissing, {}); }},
        MissingCase{"ipReverse", [](AppStateStore& s) { s.setReverseDNS(kMissing, {}, {}); }},
        MissingCase{"ipReverseDelete", [](AppStateStore& s) { s.deleteReverseDNS(kMissing, {}); }},
        MissingCase{"ipDelegation", [](AppStateStore& s) { s.delegateReverseSubnet(kMissing, {}); }},
        MissingCase{"ipAddMac", [](AppStateStore& s) { s.addVirtualMAC(kMissing, {}, {}, {}); }},
        MissingCase{"ipDeleteMac", [](AppStateStore& s) { s.deleteVirtualMAC(kMissing, {}, {}); }},
        MissingCase{"ipMove", [](AppStateStore& s) { s.moveFailoverIP(kMissing, {}); }},
        MissingCase{"ipFirewall", [](AppStateStore& s) { s.toggleEdgeFirewall(QStringLiteral("192.0.2.0")); }},
        MissingCase{"ipMitigation", [](AppStateStore& s) { s.setTidewallMitigation(kMissing); }},
        MissingCase{"ipAddRule", [](AppStateStore& s) { s.addFirewallRule(kMissing, 1, {}, {}, {}, std::nullopt); }},
        MissingCase{"ipDeleteRule", [](AppStateStore& s) { s.deleteFirewallRule(kMissing, 5); }},
        MissingCase{"ipUnblock", [](AppStateStore& s) { s.unblockARPIP(kMissing, {}); }},
        MissingCase{"ipAddGameRule", [](AppStateStore& s) { s.addGameFirewallRule(kMissing, {}, 1, 2); }},
        MissingCase{"ipRemoveGameRule", [](AppStateStore& s) { s.removeGameFirewallRuleLocally(kMissing, 1005); }}),
    [](const ::testing::TestParamInfo<MissingCase>& info) { return std::string(info.param.name); });

} // namespace
