#pragma once

#include <QString>

#include <optional>

/// The view's own input state; everything else is read from the store on each refresh.
struct VPSState {
    std::optional<QString> selectedVPSName;
    QString snapshotNote = QStringLiteral("Pre-Maintenance Snapshot");
    QString selectedReinstallOS = QStringLiteral("Debian 12 (Bookworm) 64-bit");
    QString sshKeyInput;
    bool showKVMModal = false;
};
