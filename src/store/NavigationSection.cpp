#include "store/NavigationSection.h"

QString rawValue(NavigationSection section) {
    switch (section) {
    case NavigationSection::domains:
        return QStringLiteral("Domains & DNS");
    case NavigationSection::vps:
        return QStringLiteral("VPS Cloud");
    case NavigationSection::dedicated:
        return QStringLiteral("Dedicated Server");
    case NavigationSection::ipRdns:
        return QStringLiteral("IP-Adressen & rDNS");
    }
    return {};
}

std::optional<NavigationSection> navigationSectionFromRawValue(const QString& text) {
    for (const NavigationSection section : kAllNavigationSections) {
        if (rawValue(section) == text)
            return section;
    }
    return std::nullopt;
}
