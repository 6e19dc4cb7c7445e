#pragma once

// The dedicated-server view's own input state with its defaults; it lives as long as the view, and the tabs
// edit it.

#include "views/dedicated/DedicatedServerTab.h"

#include <QString>

#include <optional>

/// Where the custom iPXE field starts, and its placeholder.
inline const QString kDedicatedDefaultIPXEUrl = QStringLiteral("https://boot.example.org");
/// The example host name in the reverse-DNS field's placeholder.
inline const QString kDedicatedExampleReverseHost = QStringLiteral("server1.example.org.");

/// The view's own input state; everything else is read from the store.
struct DedicatedServersState {
    std::optional<QString> selectedServerName;
    DedicatedServerTab activeTab = DedicatedServerTab::overview;
    QString newReverseInput;
    QString newRescueMailInput;
    QString ipxeUrl = kDedicatedDefaultIPXEUrl;
    QString meshbayInput = QStringLiteral("pn-");
    QString selectedOS = QStringLiteral("proxmox8_64 (Proxmox VE 8.3 ZFS/NVMe)");
    QString raidProfile = QStringLiteral("SoftRAID 1 (2x NVMe Mirror)");
    QString customHostnameInstall;
    QString sshKeyInstall;
    QString backupACLBlockInput;
    bool showIPMISheet = false;
};
