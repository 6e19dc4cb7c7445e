#pragma once

// The tab "Power, Netboot & IPMI" of the dedicated-server detail: the boot medium of the next start (local
// disk, rescue system, a custom iPXE script), the cold reboot, and the server's out-of-band management
// (console sheet, self-test, controller reset).

#include "views/dedicated/DedicatedServersState.h"

#include <QWidget>

class AppStateStore;
struct HalvoServer;

class DedicatedPowerTab final : public QWidget {
    Q_OBJECT
public:
    /// Built for the server as the detail shows it; the iPXE field is bound to the state's `ipxeUrl`.
    DedicatedPowerTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                      QWidget* parent = nullptr);

    /// Reboots the server through the store.
    static void rebootServer(AppStateStore& store, const HalvoServer& server);
    /// Switches the server's netboot to the rescue system or back to the local disk through the store.
    static void setNetboot(AppStateStore& store, const HalvoServer& server, bool rescue);

Q_SIGNALS:
    /// The user pressed the cold reboot (the view confirms it).
    void coldRebootRequested(const HalvoServer& server);
    /// The user asked for the IPMI console sheet.
    void ipmiConsoleRequested();

private:
    QWidget* netbootCard(const HalvoServer& server);
    QWidget* ipmiCard(const HalvoServer& server);
    void confirmCustomIPXE(const HalvoServer& server) const;

    AppStateStore& m_store;
    DedicatedServersState& m_state;
};
