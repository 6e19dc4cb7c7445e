#pragma once

// The details tab of the IP view: the block's network facts as tiles, its description, the reverse-DNS
// entries of its addresses and, where the provider allows it, the delegation of its reverse zone. The tab
// is built for one block; its forms edit the view's input fields, and every change goes to the store.

#include "model/Records.h"
#include "ui/HalvoRecordListModel.h"
#include "views/ip/IPRdnsState.h"

#include <QWidget>

class AppStateStore;
class HalvoFormTextField;
class IPReverseEntryDelegate;
class QListView;

class IPDetailsTab final : public QWidget {
    Q_OBJECT
public:
    /// `state` is the view's input state; the tab lives inside the view, so it never outlives it.
    IPDetailsTab(AppStateStore& store, IPRdnsState& state, const HalvoIPBlock& block, QWidget* parent = nullptr);

    /// Whether the block's reverse zone may be delegated: the provider allows it and the prefix is at most
    /// /28 (IPv4) or /64 (IPv6).
    static bool canDelegateReverseZone(const HalvoIPBlock& block);

    /// Stores the trimmed description; an empty one is ignored.
    void saveDescription();
    /// Stores the host for the typed address (the block's network address when none is typed).
    void saveReverse();
    /// Asks to delete the entry; nothing changes before the user confirms.
    void confirmDeleteReverse(const HalvoReverseRecord& entry);
    /// Delegates the reverse zone to the trimmed name server; an empty one is ignored.
    void addDelegation();

    /// The reverse-DNS table, or nullptr when the block has no entries.
    QListView* reverseTable() const { return m_reverseTable; }
    /// Where the entry of `address` is, in the reverse table's viewport coordinates; empty when the table
    /// has no such entry. Exact before the list has laid out its items: every row has one height.
    QRect reverseRowRect(const QString& address) const;

Q_SIGNALS:
    /// The user saves the host of `address`; sent before the store has the change.
    void reverseSaving(const QString& address);

private:
    QWidget* buildInfoGrid();
    QWidget* buildDescriptionCard();
    QWidget* buildReverseCard();
    QWidget* buildDelegationCard();

    AppStateStore& m_store;
    IPRdnsState& m_state;
    HalvoIPBlock m_block;
    HalvoFormTextField* m_descriptionField = nullptr;
    HalvoFormTextField* m_reverseAddressField = nullptr;
    HalvoFormTextField* m_reverseHostField = nullptr;
    HalvoFormTextField* m_delegationField = nullptr;
    QListView* m_reverseTable = nullptr;
    HalvoRecordListModel<HalvoReverseRecord>* m_reverseModel = nullptr;
    IPReverseEntryDelegate* m_reverseDelegate = nullptr;
    int m_reverseRowHeight = 0;
};
