#pragma once

// The DNS zone editor of a domain: one card with the add form (subdomain, type, target, TTL) above the
// zone's record table. The form edits the view's input state; the card's title and
// subtitle follow the shown domain, the table is a view over the zone's records
// with rows of one fixed height, so a zone of any size is laid out at once.

#include "model/Records.h"
#include "views/domains/DomainsState.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>

class DnsRecordDelegate;
class DnsRecordListModel;
class HalvoActionButton;
class HalvoFormTextField;
class HalvoSectionCard;
class QComboBox;
class QLabel;
class QListView;
class QVBoxLayout;

class DnsZoneEditorSection final : public QWidget {
    Q_OBJECT
public:
    /// The TTL picker's entries: shown text and value.
    struct TTLChoice {
        QString text;
        qint64 value;
    };
    static const QList<TTLChoice>& ttlChoices();

    DnsZoneEditorSection(DomainsState& state, const QStringList& recordTypes, QWidget* parent = nullptr);
    ~DnsZoneEditorSection() override;

    /// Shows the domain's zone; what did not change since the last call is left as it is.
    void showDomain(const HalvoDomain& domain);
    /// The name of the domain shown, empty before the first `showDomain`.
    QString domainName() const { return m_domain; }
    /// Takes the input fields again (after the view cleared them).
    void reloadInputs();

    HalvoSectionCard* card() const { return m_card; }
    QListView* recordTable() const { return m_table; }
    const DnsRecordListModel* recordModel() const { return m_model; }
    /// Where row `row`'s delete button is, in the table's viewport coordinates (the row must be laid out).
    QRect deleteButtonRect(int row) const;
    /// The user's add is on its way: the next refresh that shows one more record reports it (`recordAdded`).
    void expectAddedRecord() { m_addPending = true; }
    /// Where row `row` is, in the table's viewport coordinates.
    QRect rowRect(int row) const;

Q_SIGNALS:
    /// The user pressed "Record anlegen".
    void addPressed();
    /// The user pressed the delete button of a row; the record as it was at the press.
    void deletePressed(const HalvoDNSRecord& record);
    /// A record was added to the shown zone at `row` (the last one).
    void recordAdded(int row);

private:
    void buildBody(const QStringList& recordTypes);
    void updateTableHeight();

    DomainsState& m_state;
    QString m_domain;
    bool m_shown = false;
    QVBoxLayout* m_layout = nullptr;
    HalvoSectionCard* m_card = nullptr;
    QWidget* m_body = nullptr;
    HalvoFormTextField* m_subDomainField = nullptr;
    HalvoFormTextField* m_targetField = nullptr;
    QComboBox* m_typePicker = nullptr;
    QComboBox* m_ttlPicker = nullptr;
    QWidget* m_tableHeader = nullptr;
    QListView* m_table = nullptr;
    int m_rowHeight = 0;
    bool m_addPending = false;
    DnsRecordListModel* m_model = nullptr;
    DnsRecordDelegate* m_delegate = nullptr;
};
