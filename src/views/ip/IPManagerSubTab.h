#pragma once

// The tabs of the IP view's detail. The raw value is the German title, which is also the tab's identity.

#include <QString>

#include <array>
#include <optional>

enum class IPManagerSubTab { subnetAndRdns, vmacAndMove, edgeFirewall, gameAndSecurity };

/// Every tab in declared order.
inline constexpr std::array<IPManagerSubTab, 4> kAllIPManagerSubTabs{
    IPManagerSubTab::subnetAndRdns, IPManagerSubTab::vmacAndMove, IPManagerSubTab::edgeFirewall,
    IPManagerSubTab::gameAndSecurity};

/// The German title; it carries no number (the tab bar puts the position in front).
QString rawValue(IPManagerSubTab tab);
/// The tab's identity: its raw value.
inline QString id(IPManagerSubTab tab) {
    return rawValue(tab);
}
/// The tab whose title is exactly the text (case-sensitive, whole text), or none.
std::optional<IPManagerSubTab> ipManagerSubTabFromRawValue(const QString& text);
/// The symbol shown on the tab's button.
QString symbolName(IPManagerSubTab tab);

size_t qHash(IPManagerSubTab tab, size_t seed = 0) noexcept;
