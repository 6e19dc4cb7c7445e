#include "views/domains/DomainsView.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "views/domains/DnsZoneEditorSection.h"
#include "views/domains/DomainOverviewCard.h"
#include "views/domains/DomainRowDelegate.h"
#include "views/domains/DomainSecuritySection.h"
#include "views/domains/PulsenameSection.h"
#include "views/domains/ZoneFileExportSheet.h"

#include <QListView>
#include <QPointer>
#include <QStringBuilder>
#include <QVBoxLayout>

const QStringList& DomainsView::recordTypes() {
    static const QStringList types{QStringLiteral("A"),    QStringLiteral("AAAA"),  QStringLiteral("CNAME"),
                                   QStringLiteral("MX"),   QStringLiteral("TXT"),   QStringLiteral("SRV"),
                                   QStringLiteral("CAA"),  QStringLiteral("NS"),    QStringLiteral("PTR"),
                                   QStringLiteral("DKIM"), QStringLiteral("DMARC"), QStringLiteral("SPF")};
    return types;
}

DomainsView::DomainsView(AppStateStore& store, QWidget* parent)
    : QWidget(parent)
    , m_store(store) {
    Section::Spec spec;
    HalvoSectionFrame::Config& config = spec.frame;
    config.sidebarIcon = QStringLiteral("globe.europe.africa.fill");
    config.sidebarTint = halvo::theme::Tint::blue;
    config.sidebarMinWidth = 265;
    config.sidebarMaxWidth = 325;
    config.emptyIcon = QStringLiteral("globe");
    config.emptyTitle = QStringLiteral("Keine Domains geladen");
    config.emptyText = QStringLiteral("Verbinde deinen Halvo Account oder klicke oben auf 'Halvo API Sync'.");
    config.placeholderIcon = QStringLiteral("globe");
    config.placeholderTitle = QStringLiteral("Keine Domain ausgewählt");
    config.placeholderDescription =
        QStringLiteral("Wähle links eine Domain aus oder synchronisiere deinen Halvo Account.");
    spec.sidebarTitle = QStringLiteral("Domains");
    spec.idOf = [](const HalvoDomain& d) { return d.domain; };
    spec.recordsOf = [](const HalvoAccountSnapshot& snapshot) { return snapshot.domains; };
    spec.searchTexts = [](const HalvoDomain& d) { return QStringList{d.domain}; };
    // The list highlights the chosen domain only while it is listed; the detail then falls back to the first
    // listed domain without forgetting the choice.
    spec.highlightFallback = false;
    spec.tabsOf = &DomainsView::availableTabs;
    spec.tabButton = [](DomainManagerSubTab tab, int) {
        return HalvoSectionFrame::TabSpec{symbolName(tab), rawValue(tab)};
    };
    spec.drawDetail = [this](const HalvoDomain& domain, DomainManagerSubTab tab) {
        showHeader(domain);
        showTabContent(tab, domain);
    };
    spec.afterRefresh = [this](const std::optional<HalvoDomain>& shown) { m_exportSheet->sync(shown); };
    m_section =
        std::make_unique<Section>(m_store, *this, std::move(spec), m_state.selectedDomainId, &m_state.activeTab);
    m_section->setDelegate(new DomainRowDelegate(this));
    frame()->replaceHeader(new QWidget);

    // The sheet belongs to the shown domain: without one it is dismissed, which clears the flag.
    m_exportSheet = std::make_unique<HalvoFlagSheet<ZoneFileExportSheet, HalvoDomain>>(
        m_state.showBINDExportSheet, *this,
        HalvoFlagSheet<ZoneFileExportSheet, HalvoDomain>::Spec{
            [this](const HalvoDomain& domain) {
                auto* sheet = new ZoneFileExportSheet(domain, this);
                connect(sheet->closeButton(), &QPushButton::clicked, this, [this] { setShowBINDExportSheet(false); });
                connect(sheet->copyButton(), &QPushButton::clicked, this,
                        [this, sheet] { copyZoneToPasteboard(sheet->zoneText(), sheet->domainName()); });
                return sheet;
            },
            [](ZoneFileExportSheet& sheet, const HalvoDomain& domain) { sheet.showDomain(domain); },
            {}});
    m_section->refreshNow();
}

DomainsView::~DomainsView() = default;

DnsZoneEditorSection* DomainsView::zoneEditor() const {
    return m_zoneEditor;
}

QList<HalvoDomain> DomainsView::filteredDomains() const {
    return m_section->listed();
}

std::optional<HalvoDomain> DomainsView::selectedDomain() const {
    return m_section->shown();
}

QList<DomainManagerSubTab> DomainsView::availableTabs(const HalvoDomain& domain) {
    QList<DomainManagerSubTab> tabs{DomainManagerSubTab::dnsZone, DomainManagerSubTab::securityAndNS};
    if (domain.pulsenameSupported)
        tabs.append(DomainManagerSubTab::pulsename);
    return tabs;
}

DomainManagerSubTab DomainsView::effectiveTab(const HalvoDomain& domain) const {
    return m_section->tabFor(domain);
}

void DomainsView::showHeader(const HalvoDomain& domain) {
    if (m_headerDomain == domain && frame()->header())
        return;
    auto* card = new DomainOverviewCard(domain, frame()->headerParent());
    connect(card, &DomainOverviewCard::exportPressed, this, [this] { setShowBINDExportSheet(true); });
    connect(card, &DomainOverviewCard::authInfoPressed, this, [this](const QString& name) { copyAuthInfoCode(name); });
    frame()->replaceHeader(card);
    m_headerDomain = domain;
}

void DomainsView::setShowBINDExportSheet(bool show) {
    m_state.showBINDExportSheet = show;
    m_exportSheet->sync(selectedDomain());
}

ZoneFileExportSheet* DomainsView::exportSheet() const {
    return m_exportSheet->sheet();
}

void DomainsView::copyZoneToPasteboard(const QString& zoneText, const QString& domain) {
    halvo::ui::copyToClipboard(zoneText);
    setShowBINDExportSheet(false);
    m_store.setLastActionMessage(QStringLiteral("BIND Zone für ") + domain + QStringLiteral(" kopiert."));
}

void DomainsView::copyAuthInfoCode(const QString& domain) {
    halvo::ui::copyToClipboard(halvo::domains::authInfoCode(domain));
    m_store.setLastActionMessage(QStringLiteral("AuthInfo / EPP-Code für ") + domain +
                                 QStringLiteral(" in die Zwischenablage kopiert."));
}

void DomainsView::reloadInputFields() {
    if (QWidget* content = frame()->content()) {
        for (HalvoFormTextField* field : content->findChildren<HalvoFormTextField*>())
            field->reload();
    }
    if (m_zoneEditor)
        m_zoneEditor->reloadInputs();
}

void DomainsView::showTabContent(DomainManagerSubTab tab, const HalvoDomain& domain) {
    // The zone editor follows the domain itself; the other tabs are built anew when the shown domain changed.
    const bool current = m_drawnContent && frame()->content() == m_drawnContent && m_contentTab == tab &&
                         (tab == DomainManagerSubTab::dnsZone || m_contentDomain == domain);
    if (!current) {
        QWidget* content = nullptr;
        m_zoneEditor = nullptr;
        switch (tab) {
        case DomainManagerSubTab::dnsZone: {
            auto* editor = new DnsZoneEditorSection(m_state, recordTypes(), frame()->contentParent());
            connect(editor, &DnsZoneEditorSection::addPressed, this, [this] { addRecord(); });
            // The new record is scrolled into view in the detail.
            connect(editor, &DnsZoneEditorSection::recordAdded, this, [this, editor](int row) {
                frame()->revealInContent(editor->recordTable()->viewport(), editor->rowRect(row));
            });
            connect(editor, &DnsZoneEditorSection::deletePressed, this, [this, editor](const HalvoDNSRecord& record) {
                confirmDeleteRecord(editor->domainName(), record);
            });
            m_zoneEditor = editor;
            content = editor;
            break;
        }
        case DomainManagerSubTab::securityAndNS: {
            auto* section = new DomainSecuritySection(m_store, m_state, domain, frame()->contentParent());
            connect(section, &DomainSecuritySection::nameServerChangeRequested, this,
                    &DomainsView::confirmNameServerChange);
            connect(section, &DomainSecuritySection::inputsCleared, this, &DomainsView::reloadInputFields);
            content = section;
            break;
        }
        case DomainManagerSubTab::pulsename: {
            auto* section = new PulsenameSection(m_store, m_state, domain, frame()->contentParent());
            connect(section, &PulsenameSection::inputsCleared, this, &DomainsView::reloadInputFields);
            content = section;
            break;
        }
        }
        frame()->replaceContent(content, m_contentTab == tab);
        m_drawnContent = content;
        m_contentTab = tab;
        m_contentDomain = domain;
    }
    if (m_zoneEditor)
        m_zoneEditor->showDomain(domain);
}

void DomainsView::addRecord() {
    const QString target = halvo::trimmed(m_state.newTarget);
    if (target.isEmpty())
        return;
    QString domain = m_zoneEditor ? m_zoneEditor->domainName() : QString();
    if (domain.isEmpty()) {
        const std::optional<HalvoDomain> shown = selectedDomain();
        if (!shown)
            return;
        domain = shown->domain;
    }
    if (m_zoneEditor)
        m_zoneEditor->expectAddedRecord();
    m_store.addDNSRecord(domain, halvo::trimmed(m_state.newSubDomain), m_state.newRecordType, target, m_state.newTTL);
    m_state.newSubDomain.clear();
    m_state.newTarget.clear();
    if (m_zoneEditor)
        m_zoneEditor->reloadInputs();
}

void DomainsView::confirmDeleteRecord(const QString& domain, const HalvoDNSRecord& record) {
    const QString fullName = record.subDomain.isEmpty() ? domain : record.subDomain + QLatin1Char('.') + domain;
    HalvoConfirmRequest request;
    request.title = QStringLiteral("DNS-Record löschen bestätigen");
    request.message = QStringLiteral("Möchtest du den DNS-Eintrag '") + fullName + QStringLiteral("' (") +
                      record.fieldType + QStringLiteral(" -> ") + record.target +
                      QStringLiteral(") wirklich aus der Zone löschen und die Halvo Anycast-Nameserver aktualisieren?");
    request.warningDetails = QStringLiteral("Domain-Zone: ") + domain;
    request.confirmButtonTitle = QStringLiteral("DNS-Record löschen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, domain, id = record.id] { store.deleteDNSRecord(domain, id); };
    m_store.requestConfirmation(std::move(request));
}

void DomainsView::confirmNameServerChange(const QString& domain) {
    QStringList servers;
    for (const QString* input : {&m_state.ns1Input, &m_state.ns2Input}) {
        const QString server = halvo::trimmed(*input);
        if (!server.isEmpty())
            servers.append(server);
    }
    if (servers.isEmpty())
        return;
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Autoritative Nameserver ändern?");
    request.message = QStringLiteral("Möchtest du die Nameserver für '") % domain % QStringLiteral("' auf [") %
                      servers.join(QStringLiteral(", ")) %
                      QStringLiteral("] umstellen? Fehlerhafte Nameserver können die Erreichbarkeit der gesamten "
                                     "Domain beeinträchtigen.");
    request.warningDetails = QStringLiteral("Domain: ") % domain;
    request.confirmButtonTitle = QStringLiteral("Nameserver jetzt umstellen");
    request.variant = HalvoButtonVariant::warning;
    request.action = [&store = m_store, target = QPointer<DomainsView>(this), domain, servers] {
        store.updateNameServers(domain, servers);
        if (!target)
            return;
        target->m_state.ns1Input.clear();
        target->m_state.ns2Input.clear();
        target->reloadInputFields();
    };
    m_store.requestConfirmation(std::move(request));
}
