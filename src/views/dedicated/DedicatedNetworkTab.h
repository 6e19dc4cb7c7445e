#pragma once

// The tab "Netzwerk & IPs" of the dedicated-server detail: the server's network equipment as tiles, the
// Meshbay attach and detach form, the edge-firewall switch and the IP blocks routed to the server.

#include "views/dedicated/DedicatedServersState.h"

#include <QStringList>
#include <QWidget>

class AppStateStore;
struct HalvoServer;

class DedicatedNetworkTab final : public QWidget {
    Q_OBJECT
public:
    /// Built for the server as the detail shows it; the Meshbay field is bound to the state's `meshbayInput`.
    DedicatedNetworkTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                        QWidget* parent = nullptr);

    /// The blocks listed for the server: its assigned blocks, else its own address when it has one.
    static QStringList ipBlockList(const HalvoServer& server);

private:
    QWidget* meshbayCard(const HalvoServer& server);
    QWidget* ipCard(const HalvoServer& server);
    void attachMeshbay(const QString& serverName) const;
    void confirmDetachMeshbay(const HalvoServer& server) const;

    AppStateStore& m_store;
    DedicatedServersState& m_state;
};
