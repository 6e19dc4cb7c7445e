#pragma once

// The virtual-MAC and failover tab of the IP view: virtual MAC addresses for bridged machines on the
// server the block is routed to, and the move of the block to another service after a confirmation. The
// tab is built for one block and the account's dedicated servers; its forms edit the view's input fields.

#include "model/Account.h"
#include "model/Records.h"
#include "views/ip/IPRdnsState.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <utility>

class AppStateStore;
class HalvoActionButton;
class HalvoFormTextField;

/// A dedicated server offered as a move target: the service name the move goes to (first) and the host name
/// its button shows (second).
using IPMoveTarget = std::pair<QString, QString>;

class IPVirtualMacTab final : public QWidget {
    Q_OBJECT
public:
    /// The dedicated servers of the snapshot as move targets, in stored order.
    static QList<IPMoveTarget> moveTargets(const HalvoAccountSnapshot& snapshot);

    IPVirtualMacTab(AppStateStore& store, IPRdnsState& state, const HalvoIPBlock& block,
                    const QList<IPMoveTarget>& targets, QWidget* parent = nullptr);

    /// Chooses the kind of MAC for the next creation ("halvo" or "vmware").
    void selectVmacType(const QString& type);
    /// Assigns a new virtual MAC to the typed address (defaults: the network address, "proxmox-vm").
    void createVirtualMac();
    void copyMacAddress(const HalvoVirtualMac& entry);
    void confirmDeleteVirtualMac(const HalvoVirtualMac& entry);
    /// Asks to move the block to the trimmed typed target; an empty target is ignored.
    void requestTypedMove();
    /// Asks the view to confirm moving the block to the target.
    void confirmMoveFailover(const QString& target);

Q_SIGNALS:
    /// The user chose to route the block to the target service (the view confirms it).
    void moveFailoverRequested(const HalvoIPBlock& block, const QString& target);

private:
    QWidget* buildVirtualMacCard();
    QWidget* buildFailoverCard();
    void showVmacType();

    AppStateStore& m_store;
    IPRdnsState& m_state;
    HalvoIPBlock m_block;
    QList<IPMoveTarget> m_targets;
    HalvoFormTextField* m_vmacAddressField = nullptr;
    HalvoFormTextField* m_vmacNameField = nullptr;
    HalvoActionButton* m_halvoTypeButton = nullptr;
    HalvoActionButton* m_vmwareTypeButton = nullptr;
};
