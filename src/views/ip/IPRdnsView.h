#pragma once

// The section "IP-Adressen & rDNS": the account's IP blocks as a searchable list beside the shown block's
// header card, its numbered tab bar and the chosen tab. The view keeps only its selection, its chosen tab
// and the texts of its forms; everything else is read from the store on each refresh.

#include "model/Records.h"
#include "ui/HalvoSection.h"
#include "views/ip/IPManagerSubTab.h"
#include "views/ip/IPRdnsState.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class AppStateStore;

class IPRdnsView final : public QWidget {
    Q_OBJECT
public:
    using State = IPRdnsState;

    explicit IPRdnsView(AppStateStore& store, QWidget* parent = nullptr);
    ~IPRdnsView() override;

    const State& state() const { return m_state; }
    State& state() { return m_state; }

    /// The active snapshot's blocks in stored order, narrowed by the store's search text when it is not
    /// empty (the text as typed, not trimmed).
    QList<HalvoIPBlock> filteredBlocks() const;
    /// The texts of a block that the search looks into: the block, the routed service, the description and
    /// every reverse entry's host name and address. No other field is searched.
    static QStringList searchedTexts(const HalvoIPBlock& block);
    /// The selected block when the list shows it, else the first listed block, else none. The fallback is
    /// never written back into the selection.
    std::optional<HalvoIPBlock> selectedBlock() const;
    /// The tabs offered for the block, in bar order.
    static QList<IPManagerSubTab> availableTabs(const HalvoIPBlock& block);
    /// The chosen tab when the block offers it, else the details tab. Never written back.
    IPManagerSubTab effectiveTab(const HalvoIPBlock& block) const;

    /// Puts the block's CIDR text on the clipboard and says so in the status line.
    void copySubnetToPasteboard(const HalvoIPBlock& block);
    /// Switches the block's edge firewall through the store (no confirmation).
    void toggleFirewall(const HalvoIPBlock& block);
    /// Asks before routing the failover block to the target service; confirmed, the typed target is cleared.
    void confirmMoveFailover(const HalvoIPBlock& block, const QString& target);

    using Section = HalvoSection<HalvoIPBlock, IPManagerSubTab>;
    Section& section() { return *m_section; }
    HalvoSectionFrame* frame() const { return m_section->frame(); }

private:
    void drawDetail(const HalvoIPBlock& shown, IPManagerSubTab tab);
    QWidget* buildHeaderCard(const HalvoIPBlock& block);
    QWidget* buildTabContent(const HalvoIPBlock& block, IPManagerSubTab tab);
    /// Scrolls the detail so the shown reverse entry of `address` is in view.
    void revealReverseEntry(const QString& address);

    AppStateStore& m_store;
    State m_state;
    std::unique_ptr<Section> m_section;

    // What the detail shows now, so a refresh rebuilds only what changed.
    std::optional<HalvoIPBlock> m_drawnBlock;
    std::optional<IPManagerSubTab> m_drawnTab;
    /// The dedicated servers (service name, host name) drawn by the failover tab's quick pick.
    QList<std::pair<QString, QString>> m_drawnMoveTargets;
    /// The reverse entry the user is saving (block, address): the next drawing that shows it new or changed
    /// scrolls its row into view. Entries arriving by refresh leave the scroll position.
    std::optional<std::pair<QString, QString>> m_savingReverse;
};
