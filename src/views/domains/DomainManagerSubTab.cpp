#include "views/domains/DomainManagerSubTab.h"

QString rawValue(DomainManagerSubTab tab) {
    switch (tab) {
    case DomainManagerSubTab::dnsZone:
        return QStringLiteral("1. DNS-Zonen-Editor (Records)");
    case DomainManagerSubTab::securityAndNS:
        return QStringLiteral("2. Nameserver, DNSSEC & Glue-Records");
    case DomainManagerSubTab::pulsename:
        return QStringLiteral("3. Pulsename (Dynamisches DNS)");
    }
    return {};
}

QString symbolName(DomainManagerSubTab tab) {
    switch (tab) {
    case DomainManagerSubTab::dnsZone:
        return QStringLiteral("list.bullet.rectangle.portrait.fill");
    case DomainManagerSubTab::securityAndNS:
        return QStringLiteral("shield.lefthalf.filled.badge.checkmark");
    case DomainManagerSubTab::pulsename:
        return QStringLiteral("arrow.triangle.2.circlepath.circle.fill");
    }
    return {};
}

std::optional<DomainManagerSubTab> domainManagerSubTabFromRawValue(const QString& text) {
    for (DomainManagerSubTab tab : kAllDomainManagerSubTabs) {
        if (rawValue(tab) == text)
            return tab;
    }
    return std::nullopt;
}
