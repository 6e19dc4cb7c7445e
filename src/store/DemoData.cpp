#include "store/DemoData.h"

#include <limits>

namespace halvo::demo {

namespace {

QString txt(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QStringList list(std::initializer_list<const char*> items) {
    QStringList out;
    for (const char* item : items)
        out.append(txt(item));
    return out;
}

/// A text the provider did not deliver.
const QString& none() {
    return kNoValue;
}

/// The demo texts that carry a time are written the way the provider writes them.
QString dateTimeText(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}
QString dateText(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("yyyy-MM-dd"));
}
QString snapshotDateText(const QDateTime& t) {
    return t.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'"));
}

HalvoDNSRecord record(qint64 id, const QString& zone, const char* sub, const char* type, const char* target,
                      qint64 ttl) {
    return {.id = id, .zone = zone, .subDomain = txt(sub), .fieldType = txt(type), .target = txt(target), .ttl = ttl};
}

HalvoServerTask task(qint64 id, const char* function, const char* status, const char* comment, const QString& when) {
    return {
        .taskId = id, .function = txt(function), .status = txt(status), .comment = txt(comment), .lastUpdate = when};
}

HalvoFirewallRule rule(qint64 sequence, const char* action, const char* protocol, const char* source,
                       std::optional<QString> destinationPort, std::optional<QString> sourcePort = std::nullopt,
                       std::optional<QString> tcpOption = std::nullopt, bool fragments = false) {
    return {.sequence = sequence,
            .action = txt(action),
            .protocol = txt(protocol),
            .source = txt(source),
            .sourcePort = std::move(sourcePort),
            .destinationPort = std::move(destinationPort),
            .tcpOption = std::move(tcpOption),
            .fragments = fragments,
            .state = txt("ok")};
}

// ---- account 1: the richest, shown at start ------------------------------------------------------------

const QUuid kMainAccountId{QStringLiteral("6f1c2d3e-4a5b-4c6d-8e7f-90a1b2c3d4e5")};
const QUuid kResellerAccountId{QStringLiteral("7a2b3c4d-5e6f-4a7b-9c8d-0e1f2a3b4c5d")};
const QUuid kCorporateAccountId{QStringLiteral("8b3c4d5e-6f7a-4b8c-8d9e-1f2a3b4c5d6e")};

QList<HalvoDomain> mainDomains(const QDateTime& now) {
    const QString zone = txt("nordlicht.example.com");
    HalvoDomain full{
        .domain = zone,
        .nameServerType = txt("hosted"),
        .dnssecSupported = true,
        .dnssecEnabled = true,
        .transferLockStatus = txt("locked"),
        .whoisOwner = txt("Nordlicht Webhosting GmbH (Maike Sörensen)"),
        .lastUpdate = dateTimeText(now.addDays(-2)),
        .expiration = dateText(now.addDays(287)),
        .dnsRecords =
            {
                record(5102934001, zone, "", "A", "192.0.2.10", 3600),
                record(5102934002, zone, "www", "A", "192.0.2.10", 3600),
                record(5102934003, zone, "", "AAAA", "2001:db8:10::10", 3600),
                record(5102934004, zone, "shop", "CNAME", "shops.bergblick.example.net.", 300),
                record(5102934005, zone, "", "MX", "10 mx1.nordlicht.example.com.", 86400),
                record(5102934006, zone, "", "TXT", "\"nordlicht-verify=7f3c9a2e\" \"kontakt: technik\"", 3600),
                record(5102934007, zone, "_sip._tcp", "SRV", "10 60 5060 sip.nordlicht.example.com.", 3600),
                record(5102934008, zone, "", "CAA", "0 issue \"ca.example.net\"", 86400),
                record(5102934009, zone, "intern", "NS", "ns1.nordlicht.example.com.", 86400),
                record(5102934010, zone, "10", "PTR", "gw.nordlicht.example.com.", 7200),
                record(5102934011, zone, "mail._domainkey", "DKIM",
                       "\"v=DKIM1; k=rsa; p=MIIBIjANBgkqhkiG9w0BAQEFAAOCAQ8AMIIBCgKCAQEAz3Xq\"", 3600),
                record(5102934012, zone, "_dmarc", "DMARC",
                       "\"v=DMARC1; p=quarantine; rua=mailto:dmarc@nordlicht.example.com\"", 3600),
                record(5102934013, zone, "", "SPF", "\"v=spf1 mx ip4:192.0.2.0/24 ip6:2001:db8:10::/48 -all\"", 3600),
                record(5102934014, zone, "api", "A", "192.0.2.11", 60),
            },
        .nameServers = list({"ns1.nordlicht.example.com", "ns2.nordlicht.example.com"}),
        .pulsenameSupported = true,
        .glueRecordSupported = true,
        .pulsenames =
            {
                {.subDomain = txt("home"), .ip = txt("198.51.100.23"), .login = zone + txt("-router-login")},
                {.subDomain = txt("vpn"), .ip = txt("198.51.100.77"), .login = zone + txt("-opnsense")},
            },
        .glueRecords =
            {
                {.host = txt("ns1.nordlicht.example.com"), .ips = list({"192.0.2.53"})},
                {.host = txt("ns2.nordlicht.example.com"), .ips = list({"198.51.100.53", "2001:db8:53::2"})},
            },
    };

    const QString shopZone = txt("bergblick-shop.example.net");
    HalvoDomain unlocked{
        .domain = shopZone,
        .nameServerType = txt("external"),
        .dnssecSupported = true,
        .dnssecEnabled = false,
        .transferLockStatus = txt("unlocked"),
        .whoisOwner = txt("Bergblick Outdoor UG (haftungsbeschränkt)"),
        .lastUpdate = QString(),
        .expiration = std::nullopt,
        .dnsRecords =
            {
                record(5102935001, shopZone, "", "A", "192.0.2.21", 3600),
                record(5102935002, shopZone, "www", "CNAME", "bergblick-shop.example.net.", 3600),
                record(5102935003, shopZone, "", "MX", "20 mx.example.org.", 3600),
            },
        .nameServers = list({"dns1.example.org", "dns2.example.org"}),
        .pulsenameSupported = false,
        .glueRecordSupported = true,
        .pulsenames = {},
        .glueRecords = {},
    };

    const QString clubZone = txt("tsv-moorwiesen.example.org");
    HalvoDomain unavailable{
        .domain = clubZone,
        .nameServerType = txt("hosted"),
        .dnssecSupported = false,
        .dnssecEnabled = false,
        .transferLockStatus = txt("unavailable"),
        .whoisOwner = txt("TSV Moorwiesen e.V."),
        .lastUpdate = dateTimeText(now.addDays(-41)),
        .expiration = dateText(now.addDays(63)),
        .dnsRecords = {},
        .nameServers = list({"ns1.nordlicht.example.com", "ns2.nordlicht.example.com"}),
        .pulsenameSupported = true,
        .glueRecordSupported = false,
        .pulsenames = {},
        .glueRecords = {},
    };

    const QString lawZone = txt("kanzlei-albers.example.com");
    HalvoDomain dnssecOnly{
        .domain = lawZone,
        .nameServerType = txt("hosted"),
        .dnssecSupported = true,
        .dnssecEnabled = false,
        .transferLockStatus = txt("unavailable"),
        .whoisOwner = txt("Kanzlei Albers & Partner mbB"),
        .lastUpdate = dateTimeText(now.addDays(-9)),
        .expiration = QString(),
        .dnsRecords =
            {
                record(5102936001, lawZone, "", "A", "203.0.113.4", 3600),
                record(5102936002, lawZone, "", "TXT", "\"v=spf1 include:spf.example.net ~all\"", 3600),
            },
        .nameServers = {},
        .pulsenameSupported = false,
        .glueRecordSupported = false,
        .pulsenames = {},
        .glueRecords = {},
    };

    return {full, unlocked, unavailable, dnssecOnly};
}

QList<HalvoVPS> mainVPS(const QDateTime& now) {
    HalvoVPS shop{
        .name = txt("vps-3f9a1c2e.vps.example.net"),
        .displayName = txt("Shop-Frontend Hamburg"),
        .state = txt("running"),
        .modelName = txt("VPS Comfort 4-8-160"),
        .vcore = 4,
        .memoryLimitMB = 8192,
        .diskSizeGB = 160,
        .zone = txt("Region DE-Frankfurt (fra1)"),
        .ipv4 = txt("192.0.2.21"),
        .ipv6 = txt("2001:db8:21::1"),
        .netbootMode = txt("local"),
        .slaMonitoring = true,
        .keymap = txt("de"),
        .snapshotSupported = true,
        .snapshotDescription = txt("Vor PHP-8.3-Update"),
        .snapshotCreationDate = snapshotDateText(now.addDays(-6)),
        .backupStorageSupported = true,
        .backupStorageActivated = true,
    };
    HalvoVPS staging{
        .name = txt("vps-8b2d4f61.vps.example.net"),
        .displayName = txt("Staging & CI-Runner"),
        .state = txt("stopped"),
        .modelName = txt("VPS Starter 2-3-80"),
        .vcore = 2,
        .memoryLimitMB = 3000,
        .diskSizeGB = 80,
        .zone = txt("Region DE-Frankfurt (fra1)"),
        .ipv4 = txt("192.0.2.22"),
        .ipv6 = QString(),
        .netbootMode = txt("local"),
        .slaMonitoring = false,
        .keymap = txt("de"),
        .snapshotSupported = true,
        .snapshotDescription = std::nullopt,
        .snapshotCreationDate = std::nullopt,
        .backupStorageSupported = true,
        .backupStorageActivated = false,
    };
    HalvoVPS relay{
        .name = txt("vps-c4e17d90.vps.example.net"),
        .displayName = txt("Mail-Relay (Wartung)"),
        .state = txt("rescued"),
        .modelName = txt("VPS Value 1-2-40"),
        .vcore = 1,
        .memoryLimitMB = 512,
        .diskSizeGB = 40,
        .zone = txt("Region DE-Limburg (lim3)"),
        .ipv4 = txt("192.0.2.23"),
        .ipv6 = txt("2001:db8:23::1"),
        .netbootMode = txt("rescue"),
        .slaMonitoring = true,
        .keymap = txt("us"),
        .snapshotSupported = false,
        .snapshotDescription = std::nullopt,
        .snapshotCreationDate = snapshotDateText(now.addDays(-30)),
        .backupStorageSupported = false,
        .backupStorageActivated = false,
    };
    HalvoVPS probe{
        .name = txt("vps-e5a09b13.vps.example.net"),
        .displayName = txt("Monitoring-Probe IPv6"),
        .state = txt("running"),
        .modelName = txt("VPS Value 1-2-40"),
        .vcore = 1,
        .memoryLimitMB = 2048,
        .diskSizeGB = 40,
        .zone = txt("Region FR-Gravelines (gra2)"),
        .ipv4 = none(),
        .ipv6 = txt("2001:db8:24::1"),
        .netbootMode = txt("local"),
        .slaMonitoring = false,
        .keymap = txt("fr"),
        .snapshotSupported = true,
        .snapshotDescription = txt("Grundinstallation"),
        .snapshotCreationDate = std::nullopt,
        .backupStorageSupported = false,
        .backupStorageActivated = false,
    };
    return {shop, staging, relay, probe};
}

QList<HalvoServer> mainServers(const QDateTime& now) {
    HalvoServer hypervisor{
        .name = txt("ns3045871.ip-192-0-2.example.net"),
        .reverse = txt("pve01.nordlicht.example.com."),
        .commercialRange = txt("Advance-2 Gen 2"),
        .datacenter = txt("fra1"),
        .os = txt("proxmox8_64"),
        .state = txt("ok"),
        .powerState = txt("poweron"),
        .ip = txt("192.0.2.30"),
        .ipv6 = txt("2001:db8:30::/64"),
        .gateway = txt("192.0.2.254"),
        .monitoring = true,
        .noIntervention = false,
        .rescueMail = txt("notfall@nordlicht.example.com"),
        .bootId = 1,
        .bootType = txt("harddisk"),
        .supportLevel = txt("premium"),
        .serverId = 1049218,
        .rack = txt("F12B07"),
        .ipmiAvailable = true,
        .firewallAvailable = true,
        .firewallEnabled = true,
        .meshbaySupported = true,
        .meshbayName = txt("pn-1049218"),
        .cpuModel = txt("AMD EPYC 4344P"),
        .cpuCores = 8,
        .cpuThreads = 16,
        .cpuFrequencyGHz = txt("3.8 GHz / 5.3 GHz Boost"),
        .ramSizeGB = 128,
        .ramType = txt("DDR5 ECC 4800 MHz"),
        .motherBoard = txt("ASRock Rack B650D4U"),
        .formFactor = txt("1U"),
        .diskGroups =
            {
                {.diskGroupId = 1,
                 .description = txt("System & VM-Storage"),
                 .diskType = txt("NVMe"),
                 .numberOfDisks = 2,
                 .diskSizeGB = 960,
                 .raidController = txt("SoftRAID (mdadm)")},
                {.diskGroupId = 3,
                 .description = txt("Backup-Archiv"),
                 .diskType = txt("HDD SATA"),
                 .numberOfDisks = 4,
                 .diskSizeGB = 8000,
                 .raidController = txt("Broadcom MegaRAID 9560-8i")},
            },
        .publicBandwidthMbps = 1000,
        .meshbayBandwidthMbps = 2000,
        .bondixAvailable = true,
        .bondixMode = txt("Aktiv (802.3ad, 2x 1 Gbit/s)"),
        .assignedIPBlocks = list({"192.0.2.30/32", "203.0.113.0/28", "2001:db8:30::/64"}),
        .backupFTPAvailable = true,
        .backupFTPName = txt("ftpback-fra1-17.backup.example.net"),
        .backupFTPQuotaGB = 500,
        .backupFTPUsedGB = 183,
        .backupFTPAccessBlocks = list({"192.0.2.30/32", "203.0.113.0/28"}),
        .tasks =
            {
                task(88120345, "hardReboot", "done", "Kaltstart nach Kernel-Update", dateTimeText(now.addDays(-12))),
                task(88120412, "reinstallServer", "done", "Proxmox VE 8.3 ZFS/NVMe", dateTimeText(now.addDays(-10))),
                task(88121077, "ipmiSession", "doing", "HTML5-KVM-Sitzung geöffnet", dateTimeText(now.addSecs(-1500))),
                task(88121090, "addVirtualMac", "todo", "vMAC für 203.0.113.5 (vm-101-web)",
                     dateTimeText(now.addSecs(-600))),
                task(88120733, "changeBootDevice", "Done", "Netboot zurück auf lokale Disk",
                     dateTimeText(now.addDays(-4))),
            },
        .expirationDate = dateText(now.addDays(142)),
    };
    HalvoServer archive{
        .name = txt("ns3112904.ip-198-51-100.example.net"),
        .reverse = txt("archiv01.nordlicht.example.com."),
        .commercialRange = txt("Storage-1 Gen 3"),
        .datacenter = txt("rbx8"),
        .os = txt("debian12_64"),
        .state = txt("error"),
        .powerState = txt("poweroff"),
        .ip = txt("198.51.100.40"),
        .ipv6 = none(),
        .gateway = none(),
        .monitoring = false,
        .noIntervention = true,
        .rescueMail = std::nullopt,
        .bootId = 1122,
        .bootType = txt("rescue"),
        .supportLevel = txt("standard"),
        .serverId = 1057733,
        .rack = none(),
        .ipmiAvailable = false,
        .firewallAvailable = false,
        .firewallEnabled = false,
        .meshbaySupported = true,
        .meshbayName = std::nullopt,
        .cpuModel = txt("Intel Xeon E-2386G"),
        .cpuCores = 6,
        .cpuThreads = 12,
        .cpuFrequencyGHz = txt("3.5 GHz"),
        .ramSizeGB = 32,
        .ramType = txt("DDR4 ECC 3200 MHz"),
        .motherBoard = txt("Supermicro X12STH-LN4F"),
        .formFactor = txt("2U"),
        .diskGroups =
            {
                {.diskGroupId = 2,
                 .description = txt("Datengrab"),
                 .diskType = txt("HDD SAS"),
                 .numberOfDisks = 4,
                 .diskSizeGB = 14000,
                 .raidController = txt("SoftRAID (mdadm)")},
            },
        .publicBandwidthMbps = 500,
        .meshbayBandwidthMbps = 0,
        .bondixAvailable = false,
        .bondixMode = none(),
        .assignedIPBlocks = {},
        .backupFTPAvailable = false,
        .backupFTPName = none(),
        .backupFTPQuotaGB = 0,
        .backupFTPUsedGB = 0,
        .backupFTPAccessBlocks = {},
        .tasks = {},
        .expirationDate = dateText(now.addDays(19)),
    };
    return {hypervisor, archive};
}

QList<HalvoIPBlock> mainIPBlocks() {
    const QString hypervisor = txt("ns3045871.ip-192-0-2.example.net");
    HalvoIPBlock primary{
        .ipBlock = txt("192.0.2.30/32"),
        .type = txt("dedicated"),
        .version = 4,
        .routedToService = hypervisor,
        .country = txt("de"),
        .campus = txt("FRA"),
        .rir = txt("RIPE"),
        .gateway = txt("192.0.2.254"),
        .netmask = txt("255.255.255.255"),
        .broadcast = none(),
        .usableHostsCount = 1,
        .description = txt("Hauptserver Frankfurt (Proxmox)"),
        .reverseEntries = {{.ipReverse = txt("192.0.2.30"), .reverse = txt("pve01.nordlicht.example.com.")}},
        .delegationSupported = true,
        .delegationTargets = {},
        .virtualMacSupported = false,
        .canMoveFailover = false,
        .virtualMacs = {},
        .firewallEnabled = true,
        .firewallRules =
            {
                rule(0, "permit", "tcp", "198.51.100.0/24", txt("22")),
                rule(1, "permit", "tcp", "any", txt("443"), std::nullopt, txt("established")),
                rule(2, "permit", "udp", "any", txt("51820")),
                rule(5, "permit", "icmp", "any", std::nullopt),
                rule(19, "deny", "ipv4", "any", std::nullopt, std::nullopt, std::nullopt, true),
            },
        .gameMitigationSupported = false,
        .gameMitigationEnabled = false,
        .gameRules = {},
        .mitigationMode = txt("auto"),
        .arpBlockedIPs = {},
        .spamBlockedIPs = {},
    };
    HalvoIPBlock failover{
        .ipBlock = txt("203.0.113.0/28"),
        .type = txt("failover"),
        .version = 4,
        .routedToService = hypervisor,
        .country = txt("de"),
        .campus = txt("FRA"),
        .rir = txt("RIPE"),
        .gateway = txt("203.0.113.14"),
        .netmask = txt("255.255.255.240"),
        .broadcast = txt("203.0.113.15"),
        .usableHostsCount = 13,
        .description = txt("Failover-Netz für Proxmox-VMs"),
        .reverseEntries =
            {
                {.ipReverse = txt("203.0.113.5"), .reverse = txt("web.nordlicht.example.com.")},
                {.ipReverse = txt("203.0.113.6"), .reverse = txt("mail.nordlicht.example.com.")},
                {.ipReverse = txt("203.0.113.9"), .reverse = txt("game.nordlicht.example.com.")},
            },
        .delegationSupported = true,
        .delegationTargets = list({"ns1.nordlicht.example.com."}),
        .virtualMacSupported = true,
        .canMoveFailover = true,
        .virtualMacs =
            {
                {.macAddress = txt("02:00:00:4a:1f:c3"),
                 .type = txt("halvo"),
                 .virtualMachineName = txt("vm-101-web"),
                 .ipAddress = txt("203.0.113.5")},
                {.macAddress = txt("00:50:56:0b:7e:21"),
                 .type = txt("vmware"),
                 .virtualMachineName = txt("vm-102-mail"),
                 .ipAddress = txt("203.0.113.6")},
            },
        .firewallEnabled = false,
        .firewallRules = {},
        .gameMitigationSupported = true,
        .gameMitigationEnabled = true,
        .gameRules =
            {
                {.id = 1204, .protocol = txt("wireguard"), .startPort = 51820, .endPort = 51820, .state = txt("ok")},
                {.id = 3377,
                 .protocol = txt("minecraftPocketEdition"),
                 .startPort = 19132,
                 .endPort = 19133,
                 .state = txt("ok")},
            },
        .mitigationMode = txt("permanent"),
        .arpBlockedIPs = list({"203.0.113.9"}),
        .spamBlockedIPs = list({"203.0.113.12"}),
    };
    HalvoIPBlock v6{
        .ipBlock = txt("2001:db8:30::/64"),
        .type = txt("dedicated"),
        .version = 6,
        .routedToService = hypervisor,
        .country = txt("de"),
        .campus = txt("FRA"),
        .rir = txt("RIPE"),
        .gateway = txt("2001:db8:30:ff:ff:ff:ff:ff"),
        .netmask = txt("ffff:ffff:ffff:ffff::"),
        .broadcast = none(),
        // The provider caps the host count of large IPv6 blocks at the largest 64-bit value.
        .usableHostsCount = std::numeric_limits<qint64>::max(),
        .description = std::nullopt,
        .reverseEntries = {{.ipReverse = txt("2001:db8:30::1"), .reverse = txt("pve01.nordlicht.example.com.")}},
        .delegationSupported = true,
        .delegationTargets = {},
        .virtualMacSupported = false,
        .canMoveFailover = false,
        .virtualMacs = {},
        .firewallEnabled = false,
        .firewallRules = {},
        .gameMitigationSupported = false,
        .gameMitigationEnabled = false,
        .gameRules = {},
        .mitigationMode = txt("auto"),
        .arpBlockedIPs = {},
        .spamBlockedIPs = {},
    };
    HalvoIPBlock vps{
        .ipBlock = txt("192.0.2.21/32"),
        .type = txt("vps"),
        .version = 4,
        .routedToService = txt("vps-3f9a1c2e.vps.example.net"),
        .country = txt("de"),
        .campus = txt("FRA"),
        .rir = txt("RIPE"),
        .gateway = none(),
        .netmask = txt("255.255.255.255"),
        .broadcast = none(),
        .usableHostsCount = 1,
        .description = txt(""),
        .reverseEntries = {},
        .delegationSupported = false,
        .delegationTargets = {},
        .virtualMacSupported = false,
        .canMoveFailover = false,
        .virtualMacs = {},
        .firewallEnabled = false,
        .firewallRules = {},
        .gameMitigationSupported = false,
        .gameMitigationEnabled = false,
        .gameRules = {},
        .mitigationMode = txt("auto"),
        .arpBlockedIPs = {},
        .spamBlockedIPs = list({"192.0.2.21"}),
    };
    HalvoIPBlock parked{
        .ipBlock = txt("198.51.100.64/29"),
        .type = txt("failover"),
        .version = 4,
        .routedToService = std::nullopt,
        .country = std::nullopt,
        .campus = txt("RBX"),
        .rir = txt("RIPE"),
        .gateway = none(),
        .netmask = txt("255.255.255.248"),
        .broadcast = txt("198.51.100.71"),
        .usableHostsCount = 6,
        .description = std::nullopt,
        .reverseEntries = {},
        .delegationSupported = true,
        .delegationTargets = {},
        .virtualMacSupported = false,
        .canMoveFailover = true,
        .virtualMacs = {},
        .firewallEnabled = false,
        .firewallRules = {},
        .gameMitigationSupported = true,
        .gameMitigationEnabled = false,
        .gameRules = {},
        .mitigationMode = txt("auto"),
        .arpBlockedIPs = {},
        .spamBlockedIPs = {},
    };
    return {primary, failover, v6, vps, parked};
}

// ---- account 2: a reseller in Canada -------------------------------------------------------------------

QList<HalvoDomain> resellerDomains(const QDateTime& now) {
    const QString zone = txt("alpenblick-agentur.example.net");
    HalvoDomain agency{
        .domain = zone,
        .nameServerType = txt("hosted"),
        .dnssecSupported = true,
        .dnssecEnabled = true,
        .transferLockStatus = txt("locked"),
        .whoisOwner = txt("Alpenblick Digitalagentur GmbH (Jonas Huber)"),
        .lastUpdate = dateTimeText(now.addDays(-1)),
        .expiration = dateText(now.addDays(120)),
        .dnsRecords =
            {
                record(6203011001, zone, "", "A", "198.51.100.10", 3600),
                record(6203011002, zone, "www", "CNAME", "alpenblick-agentur.example.net.", 3600),
                record(6203011003, zone, "", "MX", "10 mx.alpenblick-agentur.example.net.", 3600),
                record(6203011004, zone, "mx", "A", "198.51.100.11", 3600),
                record(6203011005, zone, "kunden", "AAAA", "2001:db8:100::10", 300),
            },
        .nameServers = list({"ns1.example.net", "ns2.example.net"}),
        .pulsenameSupported = true,
        .glueRecordSupported = false,
        .pulsenames = {{.subDomain = txt("buero"), .ip = txt("198.51.100.200"), .login = zone + txt("-fritzbox")}},
        .glueRecords = {},
    };
    const QString clientZone = txt("baeckerei-huber.example.com");
    HalvoDomain client{
        .domain = clientZone,
        .nameServerType = txt("hosted"),
        .dnssecSupported = false,
        .dnssecEnabled = false,
        .transferLockStatus = txt("unlocked"),
        .whoisOwner = txt("Bäckerei Huber e.K."),
        .lastUpdate = dateTimeText(now.addDays(-17)),
        .expiration = std::nullopt,
        .dnsRecords = {record(6203012001, clientZone, "", "A", "198.51.100.10", 3600)},
        .nameServers = list({"ns1.example.net", "ns2.example.net"}),
        .pulsenameSupported = false,
        .glueRecordSupported = false,
        .pulsenames = {},
        .glueRecords = {},
    };
    return {agency, client};
}

QList<HalvoVPS> resellerVPS(const QDateTime& now) {
    HalvoVPS web{
        .name = txt("vps-1d7e93aa.vps.example.net"),
        .displayName = txt("Kunden-Webserver Plesk"),
        .state = txt("running"),
        .modelName = txt("VPS Elite 8-16-320"),
        .vcore = 8,
        .memoryLimitMB = 16384,
        .diskSizeGB = 320,
        .zone = txt("Region CA-Beauharnois (bhs5)"),
        .ipv4 = txt("198.51.100.10"),
        .ipv6 = txt("2001:db8:100::10"),
        .netbootMode = txt("local"),
        .slaMonitoring = true,
        .keymap = txt("de"),
        .snapshotSupported = true,
        .snapshotDescription = txt("Nach Plesk-Migration"),
        .snapshotCreationDate = snapshotDateText(now.addDays(-2)),
        .backupStorageSupported = true,
        .backupStorageActivated = true,
    };
    HalvoVPS dev{
        .name = txt("vps-2e8fa4bb.vps.example.net"),
        .displayName = txt("Entwicklung"),
        .state = txt("stopped"),
        .modelName = txt("VPS Starter 2-4-80"),
        .vcore = 2,
        .memoryLimitMB = 4096,
        .diskSizeGB = 80,
        .zone = txt("Region CA-Beauharnois (bhs5)"),
        .ipv4 = txt("198.51.100.12"),
        .ipv6 = none(),
        .netbootMode = txt("local"),
        .slaMonitoring = false,
        .keymap = txt("de"),
        .snapshotSupported = false,
        .snapshotDescription = std::nullopt,
        .snapshotCreationDate = std::nullopt,
        .backupStorageSupported = false,
        .backupStorageActivated = false,
    };
    return {web, dev};
}

QList<HalvoServer> resellerServers(const QDateTime& now) {
    HalvoServer host{
        .name = txt("ns5008812.ip-198-51-100.example.net"),
        .reverse = txt("kvm01.alpenblick-agentur.example.net."),
        .commercialRange = txt("Rise-1"),
        .datacenter = txt("bhs5"),
        .os = txt("ubuntu2404_64"),
        .state = txt("ok"),
        .powerState = txt("poweron"),
        .ip = txt("198.51.100.50"),
        .ipv6 = txt("2001:db8:150::/64"),
        .gateway = txt("198.51.100.254"),
        .monitoring = true,
        .noIntervention = false,
        .rescueMail = std::nullopt,
        .bootId = 1,
        .bootType = txt("harddisk"),
        .supportLevel = txt("standard"),
        .serverId = 2071154,
        .rack = txt("B05A12"),
        .ipmiAvailable = true,
        .firewallAvailable = true,
        .firewallEnabled = false,
        .meshbaySupported = false,
        .meshbayName = std::nullopt,
        .cpuModel = txt("Intel Xeon E-2388G"),
        .cpuCores = 8,
        .cpuThreads = 16,
        .cpuFrequencyGHz = txt("3.2 GHz"),
        .ramSizeGB = 64,
        .ramType = txt("DDR4 ECC 3200 MHz"),
        .motherBoard = txt("Supermicro X12STH-F"),
        .formFactor = txt("1U"),
        .diskGroups = {{.diskGroupId = 1,
                        .description = txt("System"),
                        .diskType = txt("SSD SATA"),
                        .numberOfDisks = 2,
                        .diskSizeGB = 512,
                        .raidController = txt("SoftRAID (mdadm)")}},
        .publicBandwidthMbps = 1000,
        .meshbayBandwidthMbps = 0,
        .bondixAvailable = false,
        .bondixMode = none(),
        .assignedIPBlocks = list({"198.51.100.50/32"}),
        .backupFTPAvailable = true,
        .backupFTPName = txt("ftpback-bhs5-3.backup.example.net"),
        .backupFTPQuotaGB = 0,
        .backupFTPUsedGB = 0,
        .backupFTPAccessBlocks = {},
        .tasks = {task(91007731, "hardReboot", "cancelled", "Vom Kunden abgebrochen", dateTimeText(now.addDays(-3)))},
        .expirationDate = dateText(now.addDays(55)),
    };
    return {host};
}

QList<HalvoIPBlock> resellerIPBlocks() {
    HalvoIPBlock main{
        .ipBlock = txt("198.51.100.50/32"),
        .type = txt("dedicated"),
        .version = 4,
        .routedToService = txt("ns5008812.ip-198-51-100.example.net"),
        .country = txt("ca"),
        .campus = txt("BHS"),
        .rir = txt("ARIN"),
        .gateway = txt("198.51.100.254"),
        .netmask = txt("255.255.255.255"),
        .broadcast = none(),
        .usableHostsCount = 1,
        .description = txt("KVM-Host Agentur"),
        .reverseEntries = {{.ipReverse = txt("198.51.100.50"),
                            .reverse = txt("kvm01.alpenblick-agentur.example.net.")}},
        .delegationSupported = false,
        .delegationTargets = {},
        .virtualMacSupported = false,
        .canMoveFailover = false,
        .virtualMacs = {},
        .firewallEnabled = false,
        .firewallRules = {},
        .gameMitigationSupported = false,
        .gameMitigationEnabled = false,
        .gameRules = {},
        .mitigationMode = txt("auto"),
        .arpBlockedIPs = {},
        .spamBlockedIPs = {},
    };
    HalvoIPBlock customers{
        .ipBlock = txt("198.51.100.128/27"),
        .type = txt("failover"),
        .version = 4,
        .routedToService = txt(""),
        .country = none(),
        .campus = txt("BHS"),
        .rir = txt("ARIN"),
        .gateway = txt(""),
        .netmask = txt("255.255.255.224"),
        .broadcast = txt("198.51.100.159"),
        .usableHostsCount = 29,
        .description = txt("Reserve für Kundenprojekte"),
        .reverseEntries = {},
        .delegationSupported = true,
        .delegationTargets = list({"ns1.example.net.", "ns2.example.net."}),
        .virtualMacSupported = true,
        .canMoveFailover = true,
        .virtualMacs = {},
        .firewallEnabled = true,
        .firewallRules = {rule(3, "deny", "tcp", "any", txt("25"))},
        .gameMitigationSupported = false,
        .gameMitigationEnabled = false,
        .gameRules = {},
        .mitigationMode = txt("permanent"),
        .arpBlockedIPs = list({"198.51.100.140"}),
        .spamBlockedIPs = {},
    };
    return {main, customers};
}

// ---- account 3: a corporate account in the USA ---------------------------------------------------------

QList<HalvoDomain> corporateDomains(const QDateTime& now) {
    const QString zone = txt("rheinwerk-logistik.example.org");
    HalvoDomain corp{
        .domain = zone,
        .nameServerType = txt("external"),
        .dnssecSupported = true,
        .dnssecEnabled = true,
        .transferLockStatus = txt("locked"),
        .whoisOwner = txt("Rheinwerk Logistik AG (IT-Betrieb)"),
        .lastUpdate = dateTimeText(now.addDays(-5)),
        .expiration = dateText(now.addDays(700)),
        .dnsRecords =
            {
                record(7304021001, zone, "", "A", "203.0.113.70", 3600),
                record(7304021002, zone, "vpn", "A", "203.0.113.71", 300),
                record(7304021003, zone, "", "MX", "10 mail.example.com.", 3600),
            },
        .nameServers = list({"ns-a.example.com", "ns-b.example.com"}),
        .pulsenameSupported = false,
        .glueRecordSupported = true,
        .pulsenames = {},
        .glueRecords = {},
    };
    return {corp};
}

QList<HalvoVPS> corporateVPS() {
    HalvoVPS jump{
        .name = txt("vps-9c0b5e22.vps.example.net"),
        .displayName = txt("Jumphost Hillsboro"),
        .state = txt("running"),
        .modelName = txt("VPS Essential 2-4-0"),
        .vcore = 2,
        .memoryLimitMB = 4096,
        .diskSizeGB = 0,
        .zone = txt("Region US-Hillsboro (hil1)"),
        .ipv4 = txt("203.0.113.72"),
        .ipv6 = none(),
        .netbootMode = txt("local"),
        .slaMonitoring = true,
        .keymap = txt("us"),
        .snapshotSupported = true,
        .snapshotDescription = std::nullopt,
        .snapshotCreationDate = std::nullopt,
        .backupStorageSupported = false,
        .backupStorageActivated = false,
    };
    return {jump};
}

QList<HalvoServer> corporateServers(const QDateTime& now) {
    // A server delivered minutes ago: the provider has not filled in most of its details yet.
    HalvoServer fresh{
        .name = txt("ns7701045.ip-203-0-113.example.net"),
        .reverse = txt("ns7701045.ip-203-0-113.example.net."),
        .commercialRange = txt("Scale-a1"),
        .datacenter = txt("hil"),
        .os = txt("none_64"),
        .state = txt("ok"),
        .powerState = txt("poweron"),
        .ip = none(),
        .ipv6 = QString(),
        .gateway = none(),
        .monitoring = false,
        .noIntervention = false,
        .rescueMail = std::nullopt,
        .bootId = 1,
        .bootType = txt("harddisk"),
        .supportLevel = txt("business"),
        .serverId = 0,
        .rack = QString(),
        .ipmiAvailable = false,
        .firewallAvailable = false,
        .firewallEnabled = false,
        .meshbaySupported = false,
        .meshbayName = std::nullopt,
        .cpuModel = none(),
        .cpuCores = 0,
        .cpuThreads = 0,
        .cpuFrequencyGHz = none(),
        .ramSizeGB = 0,
        .ramType = none(),
        .motherBoard = none(),
        .formFactor = none(),
        .diskGroups = {},
        .publicBandwidthMbps = 0,
        .meshbayBandwidthMbps = 0,
        .bondixAvailable = false,
        .bondixMode = none(),
        .assignedIPBlocks = {},
        .backupFTPAvailable = false,
        .backupFTPName = none(),
        .backupFTPQuotaGB = 0,
        .backupFTPUsedGB = 0,
        .backupFTPAccessBlocks = {},
        .tasks = {task(93330017, "installServer", "init", "Erstinstallation angefordert", dateTimeText(now))},
        .expirationDate = none(),
    };
    return {fresh};
}

QList<HalvoIPBlock> corporateIPBlocks() {
    HalvoIPBlock office{
        .ipBlock = txt("203.0.113.64/28"),
        .type = txt("failover"),
        .version = 4,
        .routedToService = txt("vps-9c0b5e22.vps.example.net"),
        .country = txt("us"),
        .campus = txt("HIL"),
        .rir = txt("ARIN"),
        .gateway = txt("203.0.113.78"),
        .netmask = txt("255.255.255.240"),
        .broadcast = txt("203.0.113.79"),
        .usableHostsCount = 13,
        .description = txt("Standortvernetzung Zentrale"),
        .reverseEntries = {{.ipReverse = txt("203.0.113.71"), .reverse = txt("vpn.rheinwerk-logistik.example.org.")}},
        .delegationSupported = false,
        .delegationTargets = {},
        .virtualMacSupported = false,
        .canMoveFailover = true,
        .virtualMacs = {},
        .firewallEnabled = true,
        .firewallRules = {rule(0, "permit", "udp", "any", txt("1194")), rule(1, "deny", "tcp", "any", std::nullopt)},
        .gameMitigationSupported = false,
        .gameMitigationEnabled = false,
        .gameRules = {},
        .mitigationMode = txt("permanent"),
        .arpBlockedIPs = {},
        .spamBlockedIPs = {},
    };
    return {office};
}

} // namespace

DemoData build(const QDateTime& now) {
    DemoData data;

    data.accounts = {
        HalvoAccount{
            .id = kMainAccountId,
            .label = txt("Nordlicht Webhosting (Haupt-Account)"),
            .nichandle = txt("ms4711-halvo"),
            .email = txt("technik@nordlicht.example.com"),
            .organisation = txt("Nordlicht Webhosting GmbH"),
            .category = HalvoAccountCategory::main,
            .region = HalvoRegion::eu,
            .appKey = QString(),
            .lastSyncedAt = std::nullopt,
        },
        HalvoAccount{
            .id = kResellerAccountId,
            .label = txt("Alpenblick Agentur (Reseller)"),
            .nichandle = txt("jh2201-halvo"),
            .email = txt("hosting@alpenblick-agentur.example.net"),
            .organisation = txt("Alpenblick Digitalagentur GmbH"),
            .category = HalvoAccountCategory::subAccount,
            .region = HalvoRegion::ca,
            .appKey = QString(),
            .lastSyncedAt = std::nullopt,
        },
        HalvoAccount{
            .id = kCorporateAccountId,
            .label = txt("Rheinwerk Logistik AG (Corporate)"),
            .nichandle = txt("rl9090-halvo"),
            .email = txt("it-betrieb@rheinwerk-logistik.example.org"),
            .organisation = txt("Rheinwerk Logistik AG"),
            .category = HalvoAccountCategory::corporate,
            .region = HalvoRegion::us,
            .appKey = QString(),
            .lastSyncedAt = std::nullopt,
        },
    };

    const QDateTime stamp = now.toUTC();
    data.snapshots = {
        HalvoAccountSnapshot{
            .accountId = kMainAccountId,
            .updatedAt = stamp,
            .meProfile = HalvoMeResponse{.nichandle = txt("ms4711-halvo"),
                                         .email = txt("technik@nordlicht.example.com"),
                                         .firstname = txt("Maike"),
                                         .name = txt("Sörensen"),
                                         .organisation = txt("Nordlicht Webhosting GmbH"),
                                         .country = txt("DE"),
                                         .currency = HalvoCurrency{.code = txt("EUR"), .symbol = txt("€")}},
            .domains = mainDomains(stamp),
            .vpsList = mainVPS(stamp),
            .dedicatedServers = mainServers(stamp),
            .ipBlocks = mainIPBlocks(),
        },
        HalvoAccountSnapshot{
            .accountId = kResellerAccountId,
            .updatedAt = stamp,
            .meProfile = HalvoMeResponse{.nichandle = txt("jh2201-halvo"),
                                         .email = txt("hosting@alpenblick-agentur.example.net"),
                                         .firstname = txt("Jonas"),
                                         .name = txt("Huber"),
                                         .organisation = txt("Alpenblick Digitalagentur GmbH"),
                                         .country = txt("CA"),
                                         .currency = HalvoCurrency{.code = txt("CAD"), .symbol = txt("$")}},
            .domains = resellerDomains(stamp),
            .vpsList = resellerVPS(stamp),
            .dedicatedServers = resellerServers(stamp),
            .ipBlocks = resellerIPBlocks(),
        },
        HalvoAccountSnapshot{
            .accountId = kCorporateAccountId,
            .updatedAt = stamp,
            .meProfile = HalvoMeResponse{.nichandle = txt("rl9090-halvo"),
                                         .email = txt("it-betrieb@rheinwerk-logistik.example.org"),
                                         .firstname = txt("Petra"),
                                         .name = txt("Lindqvist"),
                                         .organisation = txt("Rheinwerk Logistik AG"),
                                         .country = txt("US"),
                                         .currency = HalvoCurrency{.code = txt("USD"), .symbol = txt("$")}},
            .domains = corporateDomains(stamp),
            .vpsList = corporateVPS(),
            .dedicatedServers = corporateServers(stamp),
            .ipBlocks = corporateIPBlocks(),
        },
    };
    return data;
}

} // namespace halvo::demo
