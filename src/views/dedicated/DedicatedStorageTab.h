#pragma once

// The tab "Disks, RAID & OS-Install": the server's physical disk groups, and the preparation of an operating
// system reinstallation that the user confirms by typing the server's name.

#include "views/dedicated/DedicatedServersState.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

class AppStateStore;
struct HalvoServer;

/// One choice of the RAID picker: what it shows and what it stores in the view's `raidProfile`.
struct DedicatedRaidProfile {
    QString label;
    QString value;
};

/// The RAID profiles offered for a reinstallation, in picker order.
const QList<DedicatedRaidProfile>& dedicatedRaidProfiles();

/// The installation templates offered for a reinstallation, in picker order.
const QStringList& dedicatedBareMetalTemplates();

class DedicatedStorageTab final : public QWidget {
    Q_OBJECT
public:
    /// The tab's cards for the server. Its pickers and fields write to the view's state.
    DedicatedStorageTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                        QWidget* parent = nullptr);
};

/// Raises the typed confirmation of a reinstallation of the server with the template and RAID profile.
void confirmDedicatedReinstall(AppStateStore& store, const HalvoServer& server, const QString& os,
                               const QString& raidProfile);
