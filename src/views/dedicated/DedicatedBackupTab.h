#pragma once

// The tab "Backup Storage FTP": the server's backup storage, a new password on request, and access grants
// for IP blocks.

#include <QString>

#include <optional>

class AppStateStore;
class DedicatedServersView;
class QWidget;
struct HalvoServer;

/// The backup storage card for the server, or nullptr when the server has no backup storage.
QWidget* dedicatedBackupTab(DedicatedServersView& view, AppStateStore& store, const HalvoServer& server);

/// The block an access grant names: the trimmed input, or when that is empty the server's own address as a
/// /32 block; none when the input is empty and the server has no address.
std::optional<QString> dedicatedBackupGrantBlock(const QString& input, const QString& serverIp);
