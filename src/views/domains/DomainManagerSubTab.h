#pragma once

// The tabs of a domain's detail. The raw value is the German title, which also names the tab in the bar.

#include <QString>

#include <array>
#include <optional>

enum class DomainManagerSubTab { dnsZone, securityAndNS, pulsename };

/// Declared order, also the order of the tab bar.
inline constexpr std::array<DomainManagerSubTab, 3> kAllDomainManagerSubTabs{
    DomainManagerSubTab::dnsZone, DomainManagerSubTab::securityAndNS, DomainManagerSubTab::pulsename};

/// The title ("1. DNS-Zonen-Editor (Records)", ...), which is the tab's raw value and identity.
QString rawValue(DomainManagerSubTab tab);
/// The symbol name shown before the title.
QString symbolName(DomainManagerSubTab tab);
/// The tab whose title is exactly the text (case-sensitive, whole text), or none.
std::optional<DomainManagerSubTab> domainManagerSubTabFromRawValue(const QString& text);
