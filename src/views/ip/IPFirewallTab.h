#pragma once

// The IP view's edge-firewall tab: the block's firewall and mitigation switches, the form that saves one
// firewall rule at a time, and the block's rules, each deletable after a confirmation. The form's inputs
// live in the view's state, so they survive a change of block or tab and a rebuild after a save.

#include "model/Records.h"
#include "views/ip/IPRdnsState.h"

#include <QWidget>

class AppStateStore;
class HalvoActionButton;
class QComboBox;

class IPFirewallTab final : public QWidget {
    Q_OBJECT
public:
    /// The picker's sequence numbers run from 0 to this value minus one.
    static constexpr qint64 kSequenceChoices = 20;

    /// Built for the block the view shows; reads and writes the view's rule inputs.
    IPFirewallTab(AppStateStore& store, IPRdnsState& state, const HalvoIPBlock& block, QWidget* parent = nullptr);

    static QString cardTitle(const HalvoIPBlock& block);

    /// Saves the rule composed in the form, with the inputs as typed; an empty port means "no port".
    void addFirewallRule();
    /// Asks before deleting the rule; the request carries the block and the rule as they are now.
    void confirmDeleteFirewallRule(const HalvoFirewallRule& rule);

Q_SIGNALS:
    /// The user pressed the switch of the block's edge firewall.
    void firewallToggleRequested(const HalvoIPBlock& block);

private:
    QWidget* buildSwitchRow();
    QWidget* buildForm();
    QWidget* buildRuleRow(const HalvoFirewallRule& rule);
    void showActionChoice();

    AppStateStore& m_store;
    IPRdnsState& m_state;
    HalvoIPBlock m_block;
    HalvoActionButton* m_permitButton = nullptr;
    HalvoActionButton* m_denyButton = nullptr;
};
