#include "views/domains/DomainsView.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/HalvoRefreshScheduler.h"
#include "ui/HalvoSectionFrame.h"
#include "views/domains/DnsZoneEditorSection.h"
#include "views/domains/DomainOverviewCard.h"
#include "views/domains/DomainRowDelegate.h"
#include "views/domains/DomainSecuritySection.h"
#include "views/domains/PulsenameSection.h"
#include "views/domains/ZoneFileExportSheet.h"

#include <QListView>
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
    HalvoSectionFrame::Config config;
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
    m_frame = new HalvoSectionFrame(config, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_frame);

    m_domainModel = new HalvoRecordListModel<HalvoDomain>([](const HalvoDomain& d) { return d.domain; }, this);
    m_domainDelegate = new DomainRowDelegate(m_domainModel, this);
    m_frame->setListModel(m_domainModel, m_domainDelegate);
    m_frame->listView()->setUniformItemSizes(true);
    m_frame->replaceHeader(new QWidget);

    m_scheduler = new HalvoRefreshScheduler(&m_store, this, [this] { refresh(); });
    connect(m_frame, &HalvoSectionFrame::rowSelected, this, [this](int row) {
        if (row < 0 || row >= m_domainModel->rowCount())
            return;
        m_state.selectedDomainId = m_domainModel->itemAt(row).domain;
        m_scheduler->schedule();
    });
    connect(m_frame, &HalvoSectionFrame::tabClicked, this, [this](int index) {
        if (index < 0 || index >= m_drawnTabs.size())
            return;
        m_state.activeTab = m_drawnTabs.at(index);
        m_scheduler->schedule();
    });
    refresh();
}

DomainsView::~DomainsView() = default;

DnsZoneEditorSection* DomainsView::zoneEditor() const {
    return m_zoneEditor;
}

QList<HalvoDomain> DomainsView::filter(const QList<HalvoDomain>& domains) const {
    const QString search = m_store.searchText();
    if (search.isEmpty())
        return domains;
    QList<HalvoDomain> result;
    for (const HalvoDomain& domain : domains) {
        if (halvo::matchesSearch(domain.domain, search))
            result.append(domain);
    }
    return result;
}

QList<HalvoDomain> DomainsView::filteredDomains() const {
    return filter(m_store.activeSnapshot().domains);
}

std::optional<HalvoDomain> DomainsView::selectedDomain() const {
    const QList<HalvoDomain> listed = filteredDomains();
    if (m_state.selectedDomainId) {
        for (const HalvoDomain& domain : listed) {
            if (domain.domain == *m_state.selectedDomainId)
                return domain;
        }
    }
    if (listed.isEmpty())
        return std::nullopt;
    return listed.first();
}

QList<DomainManagerSubTab> DomainsView::availableTabs(const HalvoDomain& domain) {
    QList<DomainManagerSubTab> tabs{DomainManagerSubTab::dnsZone, DomainManagerSubTab::securityAndNS};
    if (domain.pulsenameSupported)
        tabs.append(DomainManagerSubTab::pulsename);
    return tabs;
}

DomainManagerSubTab DomainsView::effectiveTab(const HalvoDomain& domain) const {
    return availableTabs(domain).contains(m_state.activeTab) ? m_state.activeTab : DomainManagerSubTab::dnsZone;
}

void DomainsView::refresh() {
    const QList<HalvoDomain> listed = filteredDomains();
    m_frame->setSidebarTitle(QStringLiteral("Domains (") + QString::number(listed.size()) + QLatin1Char(')'));
    m_domainModel->setItems(listed);
    m_frame->setListEmpty(listed.isEmpty());

    // The list highlights the chosen domain only while it is listed; the detail then falls back to the first
    // listed domain without forgetting the choice.
    const int selectedRow = m_state.selectedDomainId ? m_domainModel->rowOf(*m_state.selectedDomainId) : -1;
    m_frame->setCurrentRow(selectedRow);
    if (listed.isEmpty()) {
        m_frame->showPlaceholder();
        m_drawnTab.reset();
        syncExportSheet(std::nullopt);
        return;
    }
    const HalvoDomain& shown = listed.at(selectedRow >= 0 ? selectedRow : 0);

    m_frame->showDetail();
    showHeader(shown);
    const QList<DomainManagerSubTab> tabs = availableTabs(shown);
    const DomainManagerSubTab tab = effectiveTab(shown);
    QList<HalvoSectionFrame::TabSpec> specs;
    for (DomainManagerSubTab offered : tabs)
        specs.append({symbolName(offered), rawValue(offered)});
    m_frame->setTabs(specs, int(tabs.indexOf(tab)));
    m_drawnTabs = tabs;
    m_drawnTab = tab;
    showTabContent(tab, shown);
    syncExportSheet(shown);
}

void DomainsView::showHeader(const HalvoDomain& domain) {
    if (m_headerDomain == domain && m_frame->header())
        return;
    auto* card = new DomainOverviewCard(domain);
    connect(card, &DomainOverviewCard::exportPressed, this, [this] { setShowBINDExportSheet(true); });
    connect(card, &DomainOverviewCard::authInfoPressed, this, [this](const QString& name) { copyAuthInfoCode(name); });
    m_frame->replaceHeader(card);
    m_headerDomain = domain;
}

void DomainsView::setShowBINDExportSheet(bool show) {
    m_state.showBINDExportSheet = show;
    syncExportSheet(selectedDomain());
}

ZoneFileExportSheet* DomainsView::exportSheet() const {
    return m_exportSheet;
}

void DomainsView::syncExportSheet(const std::optional<HalvoDomain>& shown) {
    // The sheet belongs to the shown domain: without one it is dismissed, which clears the flag.
    const bool wanted = m_state.showBINDExportSheet && shown.has_value();
    if (wanted && !m_exportSheet) {
        auto* sheet = new ZoneFileExportSheet(*shown, this);
        connect(sheet->closeButton(), &QPushButton::clicked, this, [this] { setShowBINDExportSheet(false); });
        connect(sheet->copyButton(), &QPushButton::clicked, this,
                [this, sheet] { copyZoneToPasteboard(sheet->zoneText(), sheet->domainName()); });
        connect(sheet, &QDialog::finished, this, [this, sheet] {
            m_state.showBINDExportSheet = false;
            if (m_exportSheet == sheet)
                m_exportSheet = nullptr;
            sheet->deleteLater();
        });
        m_exportSheet = sheet;
        sheet->open();
    } else if (wanted) {
        m_exportSheet->showDomain(*shown);
    } else if (m_exportSheet) {
        m_state.showBINDExportSheet = false;
        m_exportSheet->reject();
    }
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
    if (QWidget* content = m_frame->content()) {
        for (HalvoFormTextField* field : content->findChildren<HalvoFormTextField*>())
            field->reload();
    }
    if (m_zoneEditor)
        m_zoneEditor->reloadInputs();
}

void DomainsView::showTabContent(DomainManagerSubTab tab, const HalvoDomain& domain) {
    // The zone editor follows the domain itself; the other tabs are built anew when the shown domain changed.
    const bool current = m_drawnContent && m_frame->content() == m_drawnContent && m_contentTab == tab &&
                         (tab == DomainManagerSubTab::dnsZone || m_contentDomain == domain);
    if (!current) {
        QWidget* content = nullptr;
        m_zoneEditor = nullptr;
        switch (tab) {
        case DomainManagerSubTab::dnsZone: {
            auto* editor = new DnsZoneEditorSection(
                {&m_state.newSubDomain, &m_state.newRecordType, &m_state.newTarget, &m_state.newTTL}, recordTypes());
            connect(editor, &DnsZoneEditorSection::addPressed, this, [this] { addRecord(); });
            connect(editor, &DnsZoneEditorSection::deletePressed, this, [this, editor](const HalvoDNSRecord& record) {
                confirmDeleteRecord(editor->domainName(), record);
            });
            m_zoneEditor = editor;
            content = editor;
            break;
        }
        case DomainManagerSubTab::securityAndNS:
            content = new DomainSecuritySection(m_store, *this, domain);
            break;
        case DomainManagerSubTab::pulsename:
            content = new PulsenameSection(m_store, *this, domain);
            break;
        }
        m_frame->replaceContent(content, m_contentTab == tab);
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
