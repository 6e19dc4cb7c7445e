#pragma once

// The domains section: the active account's domains, narrowed by the global search, beside the detail of
// the selected domain with its tabs. The view keeps only its input state; everything else is read from
// the store on each refresh.

#include "model/Records.h"
#include "ui/HalvoSection.h"
#include "views/domains/DomainManagerSubTab.h"
#include "views/domains/DomainsState.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class AppStateStore;
class DnsZoneEditorSection;
class ZoneFileExportSheet;

class DomainsView final : public QWidget {
    Q_OBJECT
public:
    /// The view's own input state with its defaults; it lives as long as the view.
    using State = DomainsState;

    /// The record types the zone editor offers, in picker order.
    static const QStringList& recordTypes();

    explicit DomainsView(AppStateStore& store, QWidget* parent = nullptr);
    ~DomainsView() override;

    const State& state() const { return m_state; }
    /// For tests that set up a state; call `section().refreshNow()` afterwards.
    State& state() { return m_state; }

    /// The active snapshot's domains whose name holds the search text, in snapshot order.
    QList<HalvoDomain> filteredDomains() const;
    /// The selected domain when it is listed, else the first listed one, else none.
    std::optional<HalvoDomain> selectedDomain() const;
    /// The tabs offered for the domain, in tab-bar order.
    static QList<DomainManagerSubTab> availableTabs(const HalvoDomain& domain);
    /// The chosen tab when the domain offers it, else the zone editor; the choice itself stays.
    DomainManagerSubTab effectiveTab(const HalvoDomain& domain) const;
    /// The tab the detail shows, none while the placeholder is shown.
    std::optional<DomainManagerSubTab> shownTab() const { return m_section->drawnTab(); }

    /// Adds the record of the form to the shown domain (nothing when the target is blank).
    void addRecord();
    /// Asks for confirmation to delete the record from the domain's zone.
    void confirmDeleteRecord(const QString& domain, const HalvoDNSRecord& record);
    /// Asks before replacing the domain's name servers by the filled inputs (nothing when both are blank).
    void confirmNameServerChange(const QString& domain);

    /// Opens or closes the zone-file export sheet of the shown domain.
    void setShowBINDExportSheet(bool show);
    /// The export sheet while it is open, else nullptr.
    ZoneFileExportSheet* exportSheet() const;
    /// Copies the zone text, closes the export sheet and reports it.
    void copyZoneToPasteboard(const QString& zoneText, const QString& domain);
    /// Copies the domain's AuthInfo/EPP code and reports it.
    void copyAuthInfoCode(const QString& domain);
    /// Shows the input state again in the fields of the tab content (after an action cleared some).
    void reloadInputFields();

    using Section = HalvoSection<HalvoDomain, DomainManagerSubTab>;
    Section& section() { return *m_section; }
    HalvoSectionFrame* frame() const { return m_section->frame(); }
    /// The zone editor while the detail shows it, else nullptr.
    DnsZoneEditorSection* zoneEditor() const;

private:
    void showTabContent(DomainManagerSubTab tab, const HalvoDomain& domain);
    void showHeader(const HalvoDomain& domain);

    AppStateStore& m_store;
    State m_state;
    std::unique_ptr<Section> m_section;
    std::unique_ptr<HalvoFlagSheet<ZoneFileExportSheet, HalvoDomain>> m_exportSheet;
    /// The tab whose content the frame holds (it stays while the placeholder is shown).
    DomainManagerSubTab m_contentTab = DomainManagerSubTab::dnsZone;
    QPointer<QWidget> m_drawnContent;
    QPointer<DnsZoneEditorSection> m_zoneEditor;
    /// The domain the tab content was built for (tabs other than the zone editor are rebuilt when it changes).
    std::optional<HalvoDomain> m_contentDomain;
    std::optional<HalvoDomain> m_headerDomain;
};
