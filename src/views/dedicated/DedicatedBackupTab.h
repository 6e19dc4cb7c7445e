#pragma once

// The tab "Backup Storage FTP": the server's backup storage, a new password on request, and access grants
// for IP blocks.

#include "views/dedicated/DedicatedServersState.h"

#include <QString>
#include <QWidget>

#include <optional>

class AppStateStore;
struct HalvoServer;

class DedicatedBackupTab final : public QWidget {
    Q_OBJECT
public:
    /// The backup storage card for the server; empty when the server has no backup storage. The grant field
    /// is bound to the state's `backupACLBlockInput`.
    DedicatedBackupTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                       QWidget* parent = nullptr);
};

/// The block an access grant names: the trimmed input, or when that is empty the server's own address as a
/// /32 block; none when the input is empty and the server has no address.
std::optional<QString> dedicatedBackupGrantBlock(const QString& input, const QString& serverIp);
