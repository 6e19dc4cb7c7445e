#pragma once

// The tabs of the dedicated-server detail. The raw value is the German title and the tab's identity.

#include <QString>

#include <array>
#include <optional>

enum class DedicatedServerTab { overview, powerIpmi, networkMeshbay, storageInstall, backupFtp, tasksLogs };

inline constexpr std::array<DedicatedServerTab, 6> kAllDedicatedServerTabs{
    DedicatedServerTab::overview,       DedicatedServerTab::powerIpmi, DedicatedServerTab::networkMeshbay,
    DedicatedServerTab::storageInstall, DedicatedServerTab::backupFtp, DedicatedServerTab::tasksLogs};

/// The German title, which is also the raw value.
QString rawValue(DedicatedServerTab tab);
/// The tab whose title equals the text exactly, or none.
std::optional<DedicatedServerTab> dedicatedServerTabFromRawValue(const QString& text);
/// The symbol name shown before the title.
QString icon(DedicatedServerTab tab);
