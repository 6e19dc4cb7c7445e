#pragma once

// The provider's resources as value records. JSON keys equal the field names. A text field that the
// provider did not deliver holds the single en dash "–" (see `kNoValue`).

#include "model/JsonForm.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

/// The marker of a text the provider did not deliver: a single en dash (U+2013).
inline const QString kNoValue = QStringLiteral("\u2013");

struct HalvoDNSRecord {
    qint64 id = 0;
    QString zone;
    QString subDomain;
    QString fieldType;
    QString target;
    qint64 ttl = 0;

    bool operator==(const HalvoDNSRecord&) const = default;
    static constexpr auto fields() {
        using R = HalvoDNSRecord;
        return std::tuple{HALVO_FIELD(R, id),        HALVO_FIELD(R, zone),   HALVO_FIELD(R, subDomain),
                          HALVO_FIELD(R, fieldType), HALVO_FIELD(R, target), HALVO_FIELD(R, ttl)};
    }
};

struct HalvoGlueRecord {
    QString host;
    QStringList ips;

    bool operator==(const HalvoGlueRecord&) const = default;
    static constexpr auto fields() {
        using R = HalvoGlueRecord;
        return std::tuple{HALVO_FIELD(R, host), HALVO_FIELD(R, ips)};
    }
};

struct HalvoPulsename {
    QString subDomain;
    QString ip;
    QString login;

    bool operator==(const HalvoPulsename&) const = default;
    static constexpr auto fields() {
        using R = HalvoPulsename;
        return std::tuple{HALVO_FIELD(R, subDomain), HALVO_FIELD(R, ip), HALVO_FIELD(R, login)};
    }
};

struct HalvoDomain {
    QString domain;
    QString nameServerType;
    bool dnssecSupported = false;
    bool dnssecEnabled = false;
    QString transferLockStatus;
    QString whoisOwner;
    QString lastUpdate;
    std::optional<QString> expiration;
    QList<HalvoDNSRecord> dnsRecords;
    QStringList nameServers;
    bool pulsenameSupported = false;
    bool glueRecordSupported = false;
    QList<HalvoPulsename> pulsenames;
    QList<HalvoGlueRecord> glueRecords;

    bool operator==(const HalvoDomain&) const = default;
    static constexpr auto fields() {
        using R = HalvoDomain;
        return std::tuple{
            HALVO_FIELD(R, domain),        HALVO_FIELD(R, nameServerType),     HALVO_FIELD(R, dnssecSupported),
            HALVO_FIELD(R, dnssecEnabled), HALVO_FIELD(R, transferLockStatus), HALVO_FIELD(R, whoisOwner),
            HALVO_FIELD(R, lastUpdate),    HALVO_FIELD(R, expiration),         HALVO_FIELD(R, dnsRecords),
            HALVO_FIELD(R, nameServers),   HALVO_FIELD(R, pulsenameSupported), HALVO_FIELD(R, glueRecordSupported),
            HALVO_FIELD(R, pulsenames),    HALVO_FIELD(R, glueRecords)};
    }
};

struct HalvoVPS {
    QString name;
    QString displayName;
    QString state;
    QString modelName;
    qint64 vcore = 0;
    qint64 memoryLimitMB = 0;
    qint64 diskSizeGB = 0;
    QString zone;
    QString ipv4;
    QString ipv6;
    QString netbootMode;
    bool slaMonitoring = false;
    QString keymap;
    bool snapshotSupported = false;
    std::optional<QString> snapshotDescription;
    std::optional<QString> snapshotCreationDate;
    bool backupStorageSupported = false;
    bool backupStorageActivated = false;

    bool operator==(const HalvoVPS&) const = default;
    static constexpr auto fields() {
        using R = HalvoVPS;
        return std::tuple{HALVO_FIELD(R, name),
                          HALVO_FIELD(R, displayName),
                          HALVO_FIELD(R, state),
                          HALVO_FIELD(R, modelName),
                          HALVO_FIELD(R, vcore),
                          HALVO_FIELD(R, memoryLimitMB),
                          HALVO_FIELD(R, diskSizeGB),
                          HALVO_FIELD(R, zone),
                          HALVO_FIELD(R, ipv4),
                          HALVO_FIELD(R, ipv6),
                          HALVO_FIELD(R, netbootMode),
                          HALVO_FIELD(R, slaMonitoring),
                          HALVO_FIELD(R, keymap),
                          HALVO_FIELD(R, snapshotSupported),
                          HALVO_FIELD(R, snapshotDescription),
                          HALVO_FIELD(R, snapshotCreationDate),
                          HALVO_FIELD(R, backupStorageSupported),
                          HALVO_FIELD(R, backupStorageActivated)};
    }
};

struct HalvoServerDiskGroup {
    qint64 diskGroupId = 0;
    QString description;
    QString diskType;
    qint64 numberOfDisks = 0;
    qint64 diskSizeGB = 0;
    QString raidController;

    bool operator==(const HalvoServerDiskGroup&) const = default;
    static constexpr auto fields() {
        using R = HalvoServerDiskGroup;
        return std::tuple{HALVO_FIELD(R, diskGroupId),   HALVO_FIELD(R, description), HALVO_FIELD(R, diskType),
                          HALVO_FIELD(R, numberOfDisks), HALVO_FIELD(R, diskSizeGB),  HALVO_FIELD(R, raidController)};
    }
};

struct HalvoServerTask {
    qint64 taskId = 0;
    QString function;
    QString status;
    QString comment;
    QString lastUpdate;

    bool operator==(const HalvoServerTask&) const = default;
    static constexpr auto fields() {
        using R = HalvoServerTask;
        return std::tuple{HALVO_FIELD(R, taskId), HALVO_FIELD(R, function), HALVO_FIELD(R, status),
                          HALVO_FIELD(R, comment), HALVO_FIELD(R, lastUpdate)};
    }
};

struct HalvoServer {
    QString name;
    QString reverse;
    QString commercialRange;
    QString datacenter;
    QString os;
    QString state;
    QString powerState;
    QString ip;
    QString ipv6;
    QString gateway;
    bool monitoring = false;
    bool noIntervention = false;
    std::optional<QString> rescueMail;
    qint64 bootId = 0;
    QString bootType;
    QString supportLevel;
    qint64 serverId = 0;
    QString rack;
    bool ipmiAvailable = false;
    bool firewallAvailable = false;
    bool firewallEnabled = false;
    bool meshbaySupported = false;
    std::optional<QString> meshbayName;
    QString cpuModel;
    qint64 cpuCores = 0;
    qint64 cpuThreads = 0;
    QString cpuFrequencyGHz;
    qint64 ramSizeGB = 0;
    QString ramType;
    QString motherBoard;
    QString formFactor;
    QList<HalvoServerDiskGroup> diskGroups;
    qint64 publicBandwidthMbps = 0;
    qint64 meshbayBandwidthMbps = 0;
    bool bondixAvailable = false;
    QString bondixMode;
    QStringList assignedIPBlocks;
    bool backupFTPAvailable = false;
    QString backupFTPName;
    qint64 backupFTPQuotaGB = 0;
    qint64 backupFTPUsedGB = 0;
    QStringList backupFTPAccessBlocks;
    QList<HalvoServerTask> tasks;
    QString expirationDate;

    bool operator==(const HalvoServer&) const = default;
    static constexpr auto fields() {
        using R = HalvoServer;
        return std::tuple{HALVO_FIELD(R, name),
                          HALVO_FIELD(R, reverse),
                          HALVO_FIELD(R, commercialRange),
                          HALVO_FIELD(R, datacenter),
                          HALVO_FIELD(R, os),
                          HALVO_FIELD(R, state),
                          HALVO_FIELD(R, powerState),
                          HALVO_FIELD(R, ip),
                          HALVO_FIELD(R, ipv6),
                          HALVO_FIELD(R, gateway),
                          HALVO_FIELD(R, monitoring),
                          HALVO_FIELD(R, noIntervention),
                          HALVO_FIELD(R, rescueMail),
                          HALVO_FIELD(R, bootId),
                          HALVO_FIELD(R, bootType),
                          HALVO_FIELD(R, supportLevel),
                          HALVO_FIELD(R, serverId),
                          HALVO_FIELD(R, rack),
                          HALVO_FIELD(R, ipmiAvailable),
                          HALVO_FIELD(R, firewallAvailable),
                          HALVO_FIELD(R, firewallEnabled),
                          HALVO_FIELD(R, meshbaySupported),
                          HALVO_FIELD(R, meshbayName),
                          HALVO_FIELD(R, cpuModel),
                          HALVO_FIELD(R, cpuCores),
                          HALVO_FIELD(R, cpuThreads),
                          HALVO_FIELD(R, cpuFrequencyGHz),
                          HALVO_FIELD(R, ramSizeGB),
                          HALVO_FIELD(R, ramType),
                          HALVO_FIELD(R, motherBoard),
                          HALVO_FIELD(R, formFactor),
                          HALVO_FIELD(R, diskGroups),
                          HALVO_FIELD(R, publicBandwidthMbps),
                          HALVO_FIELD(R, meshbayBandwidthMbps),
                          HALVO_FIELD(R, bondixAvailable),
                          HALVO_FIELD(R, bondixMode),
                          HALVO_FIELD(R, assignedIPBlocks),
                          HALVO_FIELD(R, backupFTPAvailable),
                          HALVO_FIELD(R, backupFTPName),
                          HALVO_FIELD(R, backupFTPQuotaGB),
                          HALVO_FIELD(R, backupFTPUsedGB),
                          HALVO_FIELD(R, backupFTPAccessBlocks),
                          HALVO_FIELD(R, tasks),
                          HALVO_FIELD(R, expirationDate)};
    }
};

struct HalvoReverseRecord {
    QString ipReverse;
    QString reverse;

    bool operator==(const HalvoReverseRecord&) const = default;
    static constexpr auto fields() {
        using R = HalvoReverseRecord;
        return std::tuple{HALVO_FIELD(R, ipReverse), HALVO_FIELD(R, reverse)};
    }
};

struct HalvoVirtualMac {
    QString macAddress;
    QString type;
    QString virtualMachineName;
    QString ipAddress;

    bool operator==(const HalvoVirtualMac&) const = default;
    static constexpr auto fields() {
        using R = HalvoVirtualMac;
        return std::tuple{HALVO_FIELD(R, macAddress), HALVO_FIELD(R, type), HALVO_FIELD(R, virtualMachineName),
                          HALVO_FIELD(R, ipAddress)};
    }
};

struct HalvoFirewallRule {
    qint64 sequence = 0;
    QString action;
    QString protocol;
    QString source;
    std::optional<QString> sourcePort;
    std::optional<QString> destinationPort;
    std::optional<QString> tcpOption;
    bool fragments = false;
    QString state;

    bool operator==(const HalvoFirewallRule&) const = default;
    static constexpr auto fields() {
        using R = HalvoFirewallRule;
        return std::tuple{HALVO_FIELD(R, sequence),  HALVO_FIELD(R, action),     HALVO_FIELD(R, protocol),
                          HALVO_FIELD(R, source),    HALVO_FIELD(R, sourcePort), HALVO_FIELD(R, destinationPort),
                          HALVO_FIELD(R, tcpOption), HALVO_FIELD(R, fragments),  HALVO_FIELD(R, state)};
    }
};

struct HalvoGameFirewallRule {
    qint64 id = 0;
    QString protocol;
    qint64 startPort = 0;
    qint64 endPort = 0;
    QString state;

    bool operator==(const HalvoGameFirewallRule&) const = default;
    static constexpr auto fields() {
        using R = HalvoGameFirewallRule;
        return std::tuple{HALVO_FIELD(R, id), HALVO_FIELD(R, protocol), HALVO_FIELD(R, startPort),
                          HALVO_FIELD(R, endPort), HALVO_FIELD(R, state)};
    }
};

struct HalvoIPBlock {
    QString ipBlock;
    QString type;
    qint64 version = 4;
    std::optional<QString> routedToService;
    std::optional<QString> country;
    QString campus;
    QString rir;
    QString gateway;
    QString netmask;
    QString broadcast;
    qint64 usableHostsCount = 0;
    std::optional<QString> description;
    QList<HalvoReverseRecord> reverseEntries;
    bool delegationSupported = false;
    QStringList delegationTargets;
    bool virtualMacSupported = false;
    bool canMoveFailover = false;
    QList<HalvoVirtualMac> virtualMacs;
    bool firewallEnabled = false;
    QList<HalvoFirewallRule> firewallRules;
    bool gameMitigationSupported = false;
    bool gameMitigationEnabled = false;
    QList<HalvoGameFirewallRule> gameRules;
    QString mitigationMode;
    QStringList arpBlockedIPs;
    QStringList spamBlockedIPs;

    /// The part of `ipBlock` before its first "/", the whole text when it has none.
    QString networkAddress() const { return ipBlock.section(QLatin1Char('/'), 0, 0); }

    bool operator==(const HalvoIPBlock&) const = default;
    static constexpr auto fields() {
        using R = HalvoIPBlock;
        return std::tuple{HALVO_FIELD(R, ipBlock),
                          HALVO_FIELD(R, type),
                          HALVO_FIELD(R, version),
                          HALVO_FIELD(R, routedToService),
                          HALVO_FIELD(R, country),
                          HALVO_FIELD(R, campus),
                          HALVO_FIELD(R, rir),
                          HALVO_FIELD(R, gateway),
                          HALVO_FIELD(R, netmask),
                          HALVO_FIELD(R, broadcast),
                          HALVO_FIELD(R, usableHostsCount),
                          HALVO_FIELD(R, description),
                          HALVO_FIELD(R, reverseEntries),
                          HALVO_FIELD(R, delegationSupported),
                          HALVO_FIELD(R, delegationTargets),
                          HALVO_FIELD(R, virtualMacSupported),
                          HALVO_FIELD(R, canMoveFailover),
                          HALVO_FIELD(R, virtualMacs),
                          HALVO_FIELD(R, firewallEnabled),
                          HALVO_FIELD(R, firewallRules),
                          HALVO_FIELD(R, gameMitigationSupported),
                          HALVO_FIELD(R, gameMitigationEnabled),
                          HALVO_FIELD(R, gameRules),
                          HALVO_FIELD(R, mitigationMode),
                          HALVO_FIELD(R, arpBlockedIPs),
                          HALVO_FIELD(R, spamBlockedIPs)};
    }
};
