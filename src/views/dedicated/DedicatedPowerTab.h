#pragma once

// The tab "Power, Netboot & IPMI" of the dedicated-server detail: the boot medium of the next start (local
// disk, rescue system, a custom iPXE script), the cold reboot, and the server's out-of-band management
// (console sheet, self-test, controller reset).

#include <QWidget>

class AppStateStore;
class DedicatedServersView;
struct HalvoServer;

class DedicatedPowerTab final : public QWidget {
    Q_OBJECT
public:
    /// Built for the server as the detail shows it; the iPXE field is bound to the view's `ipxeUrl`.
    DedicatedPowerTab(DedicatedServersView& view, AppStateStore& store, const HalvoServer& server,
                      QWidget* parent = nullptr);

private:
    QWidget* netbootCard(const HalvoServer& server);
    QWidget* ipmiCard(const HalvoServer& server);
    void confirmCustomIPXE(const HalvoServer& server) const;

    DedicatedServersView& m_view;
    AppStateStore& m_store;
};
