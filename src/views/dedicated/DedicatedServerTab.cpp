#include "views/dedicated/DedicatedServerTab.h"

QString rawValue(DedicatedServerTab tab) {
    switch (tab) {
    case DedicatedServerTab::overview:
        return QStringLiteral("Hardware & Status");
    case DedicatedServerTab::powerIpmi:
        return QStringLiteral("Power, Netboot & IPMI");
    case DedicatedServerTab::networkMeshbay:
        return QStringLiteral("Netzwerk & IPs");
    case DedicatedServerTab::storageInstall:
        return QStringLiteral("Disks, RAID & OS-Install");
    case DedicatedServerTab::backupFtp:
        return QStringLiteral("Backup Storage FTP");
    case DedicatedServerTab::tasksLogs:
        return QStringLiteral("Tasks & Rechenzentrum");
    }
    return {};
}

std::optional<DedicatedServerTab> dedicatedServerTabFromRawValue(const QString& text) {
    for (const DedicatedServerTab tab : kAllDedicatedServerTabs) {
        if (rawValue(tab) == text)
            return tab;
    }
    return std::nullopt;
}

QString icon(DedicatedServerTab tab) {
    switch (tab) {
    case DedicatedServerTab::overview:
        return QStringLiteral("cpu.fill");
    case DedicatedServerTab::powerIpmi:
        return QStringLiteral("power.circle.fill");
    case DedicatedServerTab::networkMeshbay:
        return QStringLiteral("network");
    case DedicatedServerTab::storageInstall:
        return QStringLiteral("internaldrive.fill");
    case DedicatedServerTab::backupFtp:
        return QStringLiteral("externaldrive.badge.timemachine");
    case DedicatedServerTab::tasksLogs:
        return QStringLiteral("checklist");
    }
    return {};
}
