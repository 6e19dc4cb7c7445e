#pragma once

// The snapshot card and the reinstallation card of the VPS detail, side by side. Their forms edit the view's
// state; the revert and the reinstallation go up to the view, which confirms them with the VPS as it is then.

#include "model/Records.h"
#include "views/vps/VPSState.h"

#include <QStringList>
#include <QWidget>

class AppStateStore;

class VPSMaintenanceCards final : public QWidget {
    Q_OBJECT
public:
    VPSMaintenanceCards(AppStateStore& store, VPSState& state, const HalvoVPS& vps, const QStringList& images,
                        QWidget* parent = nullptr);

Q_SIGNALS:
    /// The user asked to reset the VPS to its stored snapshot.
    void snapshotRevertRequested(const QString& name);
    /// The user asked to reinstall the VPS with the chosen image.
    void rebuildRequested(const QString& name);

private:
    QWidget* buildSnapshotCard(const HalvoVPS& vps);
    QWidget* buildRebuildCard(const HalvoVPS& vps, const QStringList& images);

    AppStateStore& m_store;
    VPSState& m_state;
};
