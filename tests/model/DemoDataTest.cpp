#include "store/DemoData.h"

#include "model/Account.h"
#include "model/Text.h"
#include "support/CaseNames.h"
#include "support/QtPrinters.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cctype>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QDateTime kNow = QDateTime(QDate(2025, 6, 14), QTime(9, 30), Qt::UTC);

const halvo::demo::DemoData& demo() {
    static const halvo::demo::DemoData data = halvo::demo::build(kNow);
    return data;
}

template <class T, class P> bool any(const QList<T>& items, P predicate) {
    return std::any_of(items.begin(), items.end(), predicate);
}

QList<HalvoDomain> allDomains(const QList<HalvoAccountSnapshot>& snapshots) {
    QList<HalvoDomain> out;
    for (const auto& s : snapshots)
        out += s.domains;
    return out;
}
QList<HalvoVPS> allVPS(const QList<HalvoAccountSnapshot>& snapshots) {
    QList<HalvoVPS> out;
    for (const auto& s : snapshots)
        out += s.vpsList;
    return out;
}
QList<HalvoServer> allServers(const QList<HalvoAccountSnapshot>& snapshots) {
    QList<HalvoServer> out;
    for (const auto& s : snapshots)
        out += s.dedicatedServers;
    return out;
}
QList<HalvoIPBlock> allBlocks(const QList<HalvoAccountSnapshot>& snapshots) {
    QList<HalvoIPBlock> out;
    for (const auto& s : snapshots)
        out += s.ipBlocks;
    return out;
}

TEST(DemoData, ThreeAccountsOfEveryCategoryInDifferentRegionsWithOneSnapshotEach) {
    const auto& data = demo();
    ASSERT_EQ(data.accounts.size(), 3);
    ASSERT_EQ(data.snapshots.size(), 3);
    QSet<HalvoAccountCategory> categories;
    QSet<HalvoRegion> regions;
    QSet<QUuid> ids;
    for (qsizetype i = 0; i < 3; ++i) {
        const HalvoAccount& account = data.accounts[i];
        categories.insert(account.category);
        regions.insert(account.region);
        ids.insert(account.id);
        EXPECT_FALSE(account.id.isNull());
        EXPECT_FALSE(account.label.isEmpty());
        EXPECT_EQ(data.snapshots[i].accountId, account.id) << "snapshots follow the account order";
        EXPECT_EQ(data.snapshots[i].updatedAt, kNow);
        // No credentials: the demonstration accounts never reach the provider.
        EXPECT_TRUE(account.appKey.isEmpty());
        ASSERT_TRUE(data.snapshots[i].meProfile.has_value());
        EXPECT_EQ(data.snapshots[i].meProfile->nichandle, account.nichandle);
    }
    EXPECT_EQ(categories.size(), 3);
    EXPECT_EQ(regions.size(), 3);
    EXPECT_EQ(ids.size(), 3);
    EXPECT_EQ(data.accounts.first().category, HalvoAccountCategory::main);
}

TEST(DemoData, IsTheSameForTheSameMomentAndFollowsIt) {
    EXPECT_EQ(halvo::demo::build(kNow).snapshots, demo().snapshots);
    EXPECT_EQ(halvo::demo::build(kNow).accounts, demo().accounts);
    const auto later = halvo::demo::build(kNow.addDays(1));
    EXPECT_EQ(later.snapshots.first().updatedAt, kNow.addDays(1));
    EXPECT_NE(later.snapshots.first().domains.first().expiration, demo().snapshots.first().domains.first().expiration);
}

TEST(DemoData, IdentitiesAreUniqueWithinTheirLists) {
    for (const auto& snapshot : demo().snapshots) {
        QSet<QString> names;
        for (const auto& d : snapshot.domains) {
            EXPECT_FALSE(names.contains(d.domain));
            names.insert(d.domain);
            QSet<qint64> recordIds;
            for (const auto& r : d.dnsRecords) {
                EXPECT_FALSE(recordIds.contains(r.id)) << r.id;
                recordIds.insert(r.id);
                EXPECT_EQ(r.zone, d.domain);
            }
        }
        for (const auto& v : snapshot.vpsList) {
            EXPECT_FALSE(names.contains(v.name));
            names.insert(v.name);
        }
        for (const auto& s : snapshot.dedicatedServers) {
            EXPECT_FALSE(names.contains(s.name));
            names.insert(s.name);
        }
        for (const auto& b : snapshot.ipBlocks) {
            EXPECT_FALSE(names.contains(b.ipBlock));
            names.insert(b.ipBlock);
            QSet<qint64> sequences;
            for (const auto& rule : b.firewallRules) {
                EXPECT_FALSE(sequences.contains(rule.sequence));
                sequences.insert(rule.sequence);
            }
            EXPECT_TRUE(std::is_sorted(b.firewallRules.begin(), b.firewallRules.end(),
                                       [](const auto& l, const auto& r) { return l.sequence < r.sequence; }));
        }
    }
}

struct Branch {
    const char* what;
    std::function<bool(const QList<HalvoAccountSnapshot>&)> covered;
};

class DemoBranch : public ::testing::TestWithParam<Branch> {};

// The first account is the one shown at start, so it alone shows every state a view draws.
TEST_P(DemoBranch, IsShownByTheFirstAccount) {
    EXPECT_TRUE(GetParam().covered({demo().snapshots.first()})) << GetParam().what;
}

bool hasVPS(const QList<HalvoAccountSnapshot>& s, std::function<bool(const HalvoVPS&)> p) {
    return any(allVPS(s), p);
}
bool hasServer(const QList<HalvoAccountSnapshot>& s, std::function<bool(const HalvoServer&)> p) {
    return any(allServers(s), p);
}
bool hasDomain(const QList<HalvoAccountSnapshot>& s, std::function<bool(const HalvoDomain&)> p) {
    return any(allDomains(s), p);
}
bool hasBlock(const QList<HalvoAccountSnapshot>& s, std::function<bool(const HalvoIPBlock&)> p) {
    return any(allBlocks(s), p);
}

QString q(const char* text) {
    return QString::fromUtf8(text);
}

const std::vector<Branch> kBranches = {
    {"VPS running", [](auto& s) { return hasVPS(s, [](auto& v) { return v.state == q("running"); }); }},
    {"VPS stopped", [](auto& s) { return hasVPS(s, [](auto& v) { return v.state == q("stopped"); }); }},
    {"VPS rescued",
     [](auto& s) {
         return hasVPS(s, [](auto& v) { return v.state == q("rescued") && v.netbootMode == q("rescue"); });
     }},
    {"VPS with snapshot",
     [](auto& s) { return hasVPS(s, [](auto& v) { return v.snapshotDescription && v.snapshotCreationDate; }); }},
    {"VPS without snapshot", [](auto& s) { return hasVPS(s, [](auto& v) { return !v.snapshotDescription; }); }},
    {"VPS snapshot without date",
     [](auto& s) { return hasVPS(s, [](auto& v) { return v.snapshotDescription && !v.snapshotCreationDate; }); }},
    {"VPS snapshot date without description",
     [](auto& s) { return hasVPS(s, [](auto& v) { return !v.snapshotDescription && v.snapshotCreationDate; }); }},
    {"VPS without IPv4", [](auto& s) { return hasVPS(s, [](auto& v) { return v.ipv4 == kNoValue; }); }},
    {"VPS without IPv6",
     [](auto& s) { return hasVPS(s, [](auto& v) { return v.ipv6.isEmpty() || v.ipv6 == kNoValue; }); }},
    {"VPS backups on and off",
     [](auto& s) {
         return hasVPS(s, [](auto& v) { return v.backupStorageSupported && v.backupStorageActivated; }) &&
                hasVPS(s, [](auto& v) { return v.backupStorageSupported && !v.backupStorageActivated; }) &&
                hasVPS(s, [](auto& v) { return !v.backupStorageSupported; });
     }},
    {"VPS memory below one gigabyte",
     [](auto& s) { return hasVPS(s, [](auto& v) { return v.memoryLimitMB < 1024; }); }},
    {"server with and without IPMI",
     [](auto& s) {
         return hasServer(s, [](auto& v) { return v.ipmiAvailable; }) &&
                hasServer(s, [](auto& v) { return !v.ipmiAvailable; });
     }},
    {"server rescue boot and disk boot",
     [](auto& s) {
         return hasServer(s, [](auto& v) { return v.bootType == q("rescue") && v.bootId == 1122; }) &&
                hasServer(s, [](auto& v) { return v.bootType == q("harddisk") && v.bootId == 1; });
     }},
    {"server powered on and off",
     [](auto& s) {
         return hasServer(s, [](auto& v) { return v.powerState == q("poweron"); }) &&
                hasServer(s, [](auto& v) { return v.powerState != q("poweron"); });
     }},
    {"server state ok and not ok",
     [](auto& s) {
         return hasServer(s, [](auto& v) { return v.state == q("ok"); }) &&
                hasServer(s, [](auto& v) { return v.state != q("ok"); });
     }},
    {"server with backup storage and access blocks",
     [](auto& s) {
         return hasServer(s, [](auto& v) {
             return v.backupFTPAvailable && v.backupFTPQuotaGB > 0 && !v.backupFTPAccessBlocks.isEmpty();
         });
     }},
    {"server without backup storage",
     [](auto& s) { return hasServer(s, [](auto& v) { return !v.backupFTPAvailable; }); }},
    {"server in a Meshbay",
     [](auto& s) {
         return hasServer(s, [](auto& v) { return v.meshbaySupported && v.meshbayName && v.meshbayBandwidthMbps > 0; });
     }},
    {"server able to join a Meshbay but in none",
     [](auto& s) { return hasServer(s, [](auto& v) { return v.meshbaySupported && !v.meshbayName; }); }},
    {"server with link aggregation", [](auto& s) { return hasServer(s, [](auto& v) { return v.bondixAvailable; }); }},
    {"server edge firewall on",
     [](auto& s) { return hasServer(s, [](auto& v) { return v.firewallAvailable && v.firewallEnabled; }); }},
    {"server without firewall", [](auto& s) { return hasServer(s, [](auto& v) { return !v.firewallAvailable; }); }},
    {"server with rescue mail and without",
     [](auto& s) {
         return hasServer(s, [](auto& v) { return v.rescueMail.has_value(); }) &&
                hasServer(s, [](auto& v) { return !v.rescueMail; });
     }},
    {"server monitoring and technician block",
     [](auto& s) {
         return hasServer(s, [](auto& v) { return v.monitoring && !v.noIntervention; }) &&
                hasServer(s, [](auto& v) { return !v.monitoring && v.noIntervention; });
     }},
    {"server disk groups", [](auto& s) { return hasServer(s, [](auto& v) { return v.diskGroups.size() >= 2; }); }},
    {"server tasks done and not done",
     [](auto& s) {
         return hasServer(s, [](auto& v) {
             return any(v.tasks, [](auto& t) { return t.status == q("done"); }) &&
                    any(v.tasks, [](auto& t) { return t.status != q("done"); });
         });
     }},
    {"server without tasks", [](auto& s) { return hasServer(s, [](auto& v) { return v.tasks.isEmpty(); }); }},
    {"server several IP blocks",
     [](auto& s) {
         return hasServer(s, [](auto& v) {
             return any(v.assignedIPBlocks, [](auto& b) { return b.contains(QLatin1Char(':')); }) &&
                    any(v.assignedIPBlocks, [](auto& b) { return !b.contains(QLatin1Char(':')); });
         });
     }},
    {"server without assigned blocks",
     [](auto& s) { return hasServer(s, [](auto& v) { return v.assignedIPBlocks.isEmpty(); }); }},
    {"domains locked, unlocked and unavailable",
     [](auto& s) {
         return hasDomain(s, [](auto& d) { return d.transferLockStatus == q("locked"); }) &&
                hasDomain(s, [](auto& d) { return d.transferLockStatus == q("unlocked"); }) &&
                hasDomain(s, [](auto& d) { return d.transferLockStatus == q("unavailable"); });
     }},
    {"DNSSEC unsupported, off and on",
     [](auto& s) {
         return hasDomain(s, [](auto& d) { return !d.dnssecSupported; }) &&
                hasDomain(s, [](auto& d) { return d.dnssecSupported && !d.dnssecEnabled; }) &&
                hasDomain(s, [](auto& d) { return d.dnssecSupported && d.dnssecEnabled; });
     }},
    {"Pulsename entries",
     [](auto& s) {
         return hasDomain(s, [](auto& d) { return d.pulsenameSupported && !d.pulsenames.isEmpty(); }) &&
                hasDomain(s, [](auto& d) { return d.pulsenameSupported && d.pulsenames.isEmpty(); }) &&
                hasDomain(s, [](auto& d) { return !d.pulsenameSupported; });
     }},
    {"glue records",
     [](auto& s) {
         return hasDomain(s,
                          [](auto& d) {
                              return d.glueRecordSupported &&
                                     any(d.glueRecords, [](auto& g) { return g.ips.size() > 1; });
                          }) &&
                hasDomain(s, [](auto& d) { return !d.glueRecordSupported; });
     }},
    {"domain without records", [](auto& s) { return hasDomain(s, [](auto& d) { return d.dnsRecords.isEmpty(); }); }},
    {"domain records at the apex and below",
     [](auto& s) {
         return hasDomain(s, [](auto& d) {
             return any(d.dnsRecords, [](auto& r) { return r.subDomain.isEmpty(); }) &&
                    any(d.dnsRecords, [](auto& r) { return !r.subDomain.isEmpty(); });
         });
     }},
    {"domain without expiration, empty update",
     [](auto& s) { return hasDomain(s, [](auto& d) { return !d.expiration && d.lastUpdate.isEmpty(); }); }},
    {"IPv4 and IPv6 blocks",
     [](auto& s) {
         return hasBlock(s, [](auto& b) { return b.version == 6; }) &&
                hasBlock(s, [](auto& b) { return b.version == 4; });
     }},
    {"failover block routed and parked",
     [](auto& s) {
         return hasBlock(s, [](auto& b) { return b.type == q("failover") && b.routedToService; }) &&
                hasBlock(s, [](auto& b) { return b.type == q("failover") && !b.routedToService; });
     }},
    {"virtual MACs of both kinds",
     [](auto& s) {
         return hasBlock(s, [](auto& b) {
             return b.virtualMacSupported && any(b.virtualMacs, [](auto& m) { return m.type == q("halvo"); }) &&
                    any(b.virtualMacs, [](auto& m) { return m.type == q("vmware"); });
         });
     }},
    {"firewall rules permit and deny, with and without port",
     [](auto& s) {
         return hasBlock(s, [](auto& b) {
             return any(b.firewallRules, [](auto& r) { return r.action == q("permit") && r.destinationPort; }) &&
                    any(b.firewallRules, [](auto& r) { return r.action == q("deny") && !r.destinationPort; });
         });
     }},
    {"game rules",
     [](auto& s) {
         return hasBlock(s, [](auto& b) { return b.gameMitigationSupported && !b.gameRules.isEmpty(); }) &&
                hasBlock(s, [](auto& b) { return b.gameMitigationSupported && b.gameRules.isEmpty(); });
     }},
    {"blocked addresses",
     [](auto& s) {
         return hasBlock(s, [](auto& b) { return !b.arpBlockedIPs.isEmpty(); }) &&
                hasBlock(s, [](auto& b) { return !b.spamBlockedIPs.isEmpty() && !b.gameMitigationSupported; });
     }},
    {"delegation shown, hidden and with targets",
     [](auto& s) {
         return hasBlock(s, [](auto& b) { return b.delegationSupported && !b.delegationTargets.isEmpty(); }) &&
                hasBlock(s, [](auto& b) { return b.delegationSupported && b.ipBlock.endsWith(q("/29")); });
     }},
    {"mitigation permanent and auto",
     [](auto& s) {
         return hasBlock(s, [](auto& b) { return b.mitigationMode == q("permanent"); }) &&
                hasBlock(s, [](auto& b) { return b.mitigationMode == q("auto"); });
     }},
    {"block with only the two plain tabs",
     [](auto& s) {
         return hasBlock(s, [](auto& b) {
             return !b.virtualMacSupported && !b.canMoveFailover && !b.gameMitigationSupported &&
                    b.arpBlockedIPs.isEmpty() && b.spamBlockedIPs.isEmpty();
         });
     }},
    {"block without gateway, country or description",
     [](auto& s) {
         return hasBlock(s, [](auto& b) { return b.gateway == kNoValue && !b.country && !b.description; });
     }},
};

INSTANTIATE_TEST_SUITE_P(Table, DemoBranch, ::testing::ValuesIn(kBranches),
                         [](const ::testing::TestParamInfo<Branch>& info) { return caseName(info.param.what); });

TEST(DemoData, EveryRecordTypeOfTheZoneEditorIsShown) {
    const QStringList offered{q("A"),   q("AAAA"), q("CNAME"), q("MX"),   q("TXT"),   q("SRV"),
                              q("CAA"), q("NS"),   q("PTR"),   q("DKIM"), q("DMARC"), q("SPF")};
    QSet<QString> shown;
    for (const auto& record : demo().snapshots.first().domains.first().dnsRecords)
        shown.insert(record.fieldType);
    for (const QString& type : offered)
        EXPECT_TRUE(shown.contains(type)) << type.toStdString();
}

TEST(DemoData, TxtLikeValuesAreStoredQuotedAsTheProviderReturnsThem) {
    // One or more quoted character strings separated by blanks; a quote or backslash inside is escaped.
    static const QRegularExpression quoted(QStringLiteral(R"re(^"(?:[^"\\]|\\.)*"(?: +"(?:[^"\\]|\\.)*")*$)re"));
    QSet<QString> typesSeen;
    for (const HalvoDomain& domain : allDomains(demo().snapshots)) {
        for (const HalvoDNSRecord& record : domain.dnsRecords) {
            if (!QStringList{q("TXT"), q("SPF"), q("DKIM"), q("DMARC")}.contains(record.fieldType))
                continue;
            typesSeen.insert(record.fieldType);
            EXPECT_TRUE(quoted.match(record.target).hasMatch())
                << domain.domain.toStdString() << " " << record.fieldType.toStdString() << ": "
                << record.target.toStdString();
        }
    }
    EXPECT_EQ(typesSeen.size(), 4);
}

TEST(DemoData, TheOtherAccountsShowTheirOwnSparseCases) {
    const QList<HalvoAccountSnapshot> others = demo().snapshots.mid(1);
    EXPECT_TRUE(hasServer(others, [](auto& v) {
        return v.ip == kNoValue && v.cpuModel == kNoValue && v.ramSizeGB == 0 && v.serverId == 0 &&
               v.datacenter.size() < 4 && v.diskGroups.isEmpty() && v.publicBandwidthMbps == 0;
    }));
    EXPECT_TRUE(hasServer(others, [](auto& v) { return v.backupFTPAvailable && v.backupFTPQuotaGB == 0; }));
    EXPECT_TRUE(hasVPS(others, [](auto& v) { return v.diskSizeGB == 0; }));
    EXPECT_TRUE(hasBlock(others, [](auto& b) { return b.routedToService == QString() && b.gateway.isEmpty(); }));
    for (const auto& snapshot : others) {
        EXPECT_FALSE(snapshot.domains.isEmpty());
        EXPECT_FALSE(snapshot.vpsList.isEmpty());
        EXPECT_FALSE(snapshot.dedicatedServers.isEmpty());
        EXPECT_FALSE(snapshot.ipBlocks.isEmpty());
    }
}

// ---- only reserved names and documentation addresses ----------------------------------------------------

QStringList allTexts(const QJsonValue& value) {
    QStringList out;
    if (value.isString()) {
        out.append(value.toString());
    } else if (value.isArray()) {
        for (const QJsonValue& item : value.toArray())
            out += allTexts(item);
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            out += allTexts(it.value());
    }
    return out;
}

QStringList demoTexts() {
    QStringList texts;
    for (const auto& account : demo().accounts) {
        QJsonObject object = QJsonDocument::fromJson(halvo::json::toJson(account)).object();
        object.remove(q("region")); // names the provider's own API host, not demonstration data
        texts += allTexts(object);
    }
    for (const auto& snapshot : demo().snapshots)
        texts += allTexts(QJsonDocument::fromJson(halvo::json::toJson(snapshot)).object());
    return texts;
}

bool isDocumentationAddress(const QHostAddress& address) {
    static const QList<QPair<QHostAddress, int>> ranges{
        QHostAddress::parseSubnet(q("192.0.2.0/24")), QHostAddress::parseSubnet(q("198.51.100.0/24")),
        QHostAddress::parseSubnet(q("203.0.113.0/24")), QHostAddress::parseSubnet(q("2001:db8::/32"))};
    return std::any_of(ranges.begin(), ranges.end(), [&](const auto& r) { return address.isInSubnet(r); });
}

TEST(DemoData, UsesOnlyReservedExampleNames) {
    // A dotted name whose last label is alphabetic: a host, a domain or an e-mail domain.
    const QRegularExpression hostName(q(R"(([A-Za-z0-9_-]+\.)+[A-Za-z]{2,}\.?)"));
    const QRegularExpression reserved(q(R"((^|\.)example\.(com|net|org)\.?$)"));
    int checked = 0;
    for (const QString& text : demoTexts()) {
        auto it = hostName.globalMatch(text);
        while (it.hasNext()) {
            const QString name = it.next().captured(0);
            ++checked;
            EXPECT_TRUE(reserved.match(name.toLower()).hasMatch())
                << name.toStdString() << " in " << text.toStdString();
        }
    }
    EXPECT_GT(checked, 100);
}

TEST(DemoData, UsesOnlyDocumentationAddresses) {
    const QRegularExpression v4(q(R"((?<![\d.])(\d{1,3}\.\d{1,3}\.\d{1,3}\.\d{1,3})(?![\d.]))"));
    const QRegularExpression v6(q(R"((?<![0-9A-Fa-f:])([0-9A-Fa-f]{1,4}(:[0-9A-Fa-f]{0,4}){2,7})(?![0-9A-Fa-f:]))"));
    const QRegularExpression mac(q(R"(^([0-9a-f]{2}:){5}[0-9a-f]{2}$)"));
    int checked = 0;
    for (QString text : demoTexts()) {
        // SPF mechanisms put a colon right before the address.
        text.replace(q("ip4:"), q("ip4 ")).replace(q("ip6:"), q("ip6 "));
        auto it4 = v4.globalMatch(text);
        while (it4.hasNext()) {
            const QString candidate = it4.next().captured(1);
            if (candidate.startsWith(q("255.")))
                continue; // a netmask
            ++checked;
            EXPECT_TRUE(isDocumentationAddress(QHostAddress(candidate))) << candidate.toStdString();
        }
        auto it6 = v6.globalMatch(text);
        while (it6.hasNext()) {
            const QString candidate = it6.next().captured(1);
            if (mac.match(candidate).hasMatch() || candidate.startsWith(q("ffff:")))
                continue; // a MAC address or a prefix mask
            const QHostAddress address(candidate);
            if (address.protocol() != QAbstractSocket::IPv6Protocol)
                continue; // a clock time such as 09:30:00
            ++checked;
            EXPECT_TRUE(isDocumentationAddress(address)) << candidate.toStdString();
        }
    }
    EXPECT_GT(checked, 40);
}

TEST(DemoData, IPBlocksAreWellFormedAndTheirMembersBelongToThem) {
    for (const auto& block : allBlocks(demo().snapshots)) {
        const auto subnet = QHostAddress::parseSubnet(block.ipBlock);
        ASSERT_NE(subnet.second, -1) << block.ipBlock.toStdString();
        EXPECT_EQ(block.version == 6, subnet.first.protocol() == QAbstractSocket::IPv6Protocol);
        EXPECT_EQ(block.networkAddress(), subnet.first.toString()) << block.ipBlock.toStdString();
        for (const auto& entry : block.reverseEntries)
            EXPECT_TRUE(QHostAddress(entry.ipReverse).isInSubnet(subnet)) << entry.ipReverse.toStdString();
        for (const auto& vmac : block.virtualMacs)
            EXPECT_TRUE(QHostAddress(vmac.ipAddress).isInSubnet(subnet)) << vmac.ipAddress.toStdString();
        for (const auto& blocked : block.arpBlockedIPs + block.spamBlockedIPs)
            EXPECT_TRUE(QHostAddress(blocked).isInSubnet(subnet)) << blocked.toStdString();
    }
}

TEST(DemoData, BlocksRoutedToAServiceNameOneOfTheAccount) {
    for (const auto& snapshot : demo().snapshots) {
        QSet<QString> services;
        for (const auto& s : snapshot.dedicatedServers)
            services.insert(s.name);
        for (const auto& v : snapshot.vpsList)
            services.insert(v.name);
        for (const auto& block : snapshot.ipBlocks) {
            if (block.routedToService && !block.routedToService->isEmpty()) {
                EXPECT_TRUE(services.contains(*block.routedToService)) << block.ipBlock.toStdString();
            }
        }
    }
}

} // namespace
