#include "views/ip/IPManagerSubTab.h"

#include <QHashFunctions>

QString rawValue(IPManagerSubTab tab) {
    switch (tab) {
    case IPManagerSubTab::subnetAndRdns:
        return QStringLiteral("IP-Details & Reverse-DNS (PTR)");
    case IPManagerSubTab::vmacAndMove:
        return QStringLiteral("Virtual MAC & Failover-Routing");
    case IPManagerSubTab::edgeFirewall:
        return QStringLiteral("Edge-Firewall & Anti-DDoS Tidewall");
    case IPManagerSubTab::gameAndSecurity:
        return QStringLiteral("Game-Firewall & Entsperrung");
    }
    return {};
}

std::optional<IPManagerSubTab> ipManagerSubTabFromRawValue(const QString& text) {
    for (const IPManagerSubTab tab : kAllIPManagerSubTabs) {
        if (rawValue(tab) == text)
            return tab;
    }
    return std::nullopt;
}

QString symbolName(IPManagerSubTab tab) {
    switch (tab) {
    case IPManagerSubTab::subnetAndRdns:
        return QStringLiteral("arrow.left.arrow.right.circle.fill");
    case IPManagerSubTab::vmacAndMove:
        return QStringLiteral("point.3.connected.trianglepath.dotted");
    case IPManagerSubTab::edgeFirewall:
        return QStringLiteral("shield.checkered");
    case IPManagerSubTab::gameAndSecurity:
        return QStringLiteral("gamecontroller.fill");
    }
    return {};
}

size_t qHash(IPManagerSubTab tab, size_t seed) noexcept {
    return ::qHash(rawValue(tab), seed);
}
