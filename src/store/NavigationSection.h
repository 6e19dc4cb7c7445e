#pragma once

// The sections of the main window's sidebar. The raw value is the German title.

#include <QString>

#include <array>
#include <optional>

enum class NavigationSection { domains, vps, dedicated, ipRdns };

inline constexpr std::array<NavigationSection, 4> kAllNavigationSections{
    NavigationSection::domains, NavigationSection::vps, NavigationSection::dedicated, NavigationSection::ipRdns};

/// The German title, which is also the raw value.
QString rawValue(NavigationSection section);
std::optional<NavigationSection> navigationSectionFromRawValue(const QString& text);
