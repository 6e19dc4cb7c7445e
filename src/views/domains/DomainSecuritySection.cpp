#include "views/domains/DomainSecuritySection.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QStringBuilder>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

const QString kLocked = QStringLiteral("locked");
const QString kUnavailable = QStringLiteral("unavailable");

std::optional<HalvoDomain> currentDomain(const AppStateStore& store, const QString& name) {
    for (const HalvoDomain& domain : store.activeSnapshot().domains) {
        if (domain.domain == name)
            return domain;
    }
    return std::nullopt;
}

/// A switch row: title and caption on the left, one small button on the right.
QWidget* switchRow(const QString& title, const QString& caption, HalvoActionButton* button) {
    auto* widget = new QWidget;
    auto* row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(HalvoElidedLabel::make(title, TextStyle::subheadline, Weight::bold));
    texts->addWidget(HalvoElidedLabel::make(caption, TextStyle::caption, Weight::regular, Tint::secondary));
    row->addLayout(texts);
    row->addStretch();
    // The texts give up width first; the button keeps its whole title.
    button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    row->addWidget(button, 0, Qt::AlignVCenter);
    return widget;
}

HalvoFormTextField* field(const QString& objectName, const QString& placeholder, QString* binding) {
    auto* result = new HalvoFormTextField(placeholder, binding);
    result->setObjectName(objectName);
    return result;
}

} // namespace

DomainSecuritySection::DomainSecuritySection(AppStateStore& store, DomainsState& state, const HalvoDomain& domain,
                                             QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("domainSecuritySection"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);

    auto* cards = HalvoColumnsLayout::sideBySideCards();
    if (showsSecurityCard(domain))
        cards->addWidget(securityCard(store, domain));
    cards->addWidget(nameServerCard(state, domain));
    column->addLayout(cards);
    if (domain.glueRecordSupported)
        column->addWidget(glueCard(store, state, domain));
}

bool DomainSecuritySection::showsSecurityCard(const HalvoDomain& domain) {
    return domain.transferLockStatus != kUnavailable || domain.dnssecSupported;
}

QWidget* DomainSecuritySection::securityCard(AppStateStore& store, const HalvoDomain& domain) {
    auto* card =
        new HalvoSectionCard(QStringLiteral("Domain-Sicherheit & DNSSEC (DS-Records)"),
                             QStringLiteral("Schutz vor Domain-Hijacking und kryptografische Zonen-Signierung"),
                             QStringLiteral("shield.lefthalf.filled.badge.checkmark"), Tint::green);
    card->setObjectName(QStringLiteral("domainSecurityCard"));
    auto* rows = new QVBoxLayout;
    rows->setSpacing(12);
    const bool lockRow = domain.transferLockStatus != kUnavailable;
    if (lockRow) {
        const bool locked = domain.transferLockStatus == kLocked;
        auto* button = new HalvoActionButton(locked ? QStringLiteral("Entsperren") : QStringLiteral("Sperren (Lock)"),
                                             locked ? HalvoButtonVariant::success : HalvoButtonVariant::warning, true);
        connect(button, &QPushButton::clicked, this, [&store, domain] { toggleTransferLock(store, domain); });
        rows->addWidget(switchRow(QStringLiteral("Transfer-Schutz (Registry Lock)"),
                                  QStringLiteral("Verhindert unautorisierte Domain-Transfers per AuthInfo"), button));
    }
    if (lockRow && domain.dnssecSupported)
        rows->addWidget(halvo::ui::divider());
    if (domain.dnssecSupported) {
        const bool on = domain.dnssecEnabled;
        auto* button =
            new HalvoActionButton(on ? QStringLiteral("DNSSEC Deaktivieren") : QStringLiteral("DNSSEC Aktivieren"),
                                  on ? HalvoButtonVariant::primary : HalvoButtonVariant::secondary, true);
        connect(button, &QPushButton::clicked, this, [&store, domain] { confirmToggleDNSSEC(store, domain); });
        rows->addWidget(switchRow(
            QStringLiteral("DNSSEC Kryptografische Signatur"),
            QStringLiteral("KSK/ZSK Signierung (/domain/zone/") % domain.domain % QStringLiteral("/dnssec)"), button));
    }
    card->addContent(rows);
    return card;
}

QWidget* DomainSecuritySection::nameServerCard(DomainsState& state, const HalvoDomain& domain) {
    auto* card = new HalvoSectionCard(QStringLiteral("Autoritative Nameserver (") % domain.nameServerType.toUpper() %
                                          QLatin1Char(')'),
                                      QStringLiteral("Aktive NS: ") % domain.nameServers.join(QStringLiteral(" • ")),
                                      QStringLiteral("server.rack"), Tint::purple);
    card->setObjectName(QStringLiteral("domainNameServerCard"));
    auto* form = new HalvoFlowLayout(nullptr, 8, 8);
    form->addWidget(
        field(QStringLiteral("ns1Field"), QStringLiteral("Primärer NS (z.B. ns1.example.net)"), &state.ns1Input));
    form->addWidget(
        field(QStringLiteral("ns2Field"), QStringLiteral("Sekundärer NS (z.B. ns2.example.net)"), &state.ns2Input));
    auto* save = new HalvoActionButton(QStringLiteral("Nameserver speichern"), HalvoButtonVariant::primary, true);
    connect(save, &QPushButton::clicked, this,
            [this, name = domain.domain] { Q_EMIT nameServerChangeRequested(name); });
    form->addWidget(save);
    halvo::ui::submitOnReturn(form, save);
    card->addContent(form);
    return card;
}

QWidget* DomainSecuritySection::glueCard(AppStateStore& store, DomainsState& state, const HalvoDomain& domain) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Glue-Records Registry-Verwaltung (/domain/") % domain.domain % QStringLiteral("/glueRecord)"),
        QStringLiteral("Verknüpfe eigene Nameserver-Subdomains (z.B. ns1.") % domain.domain %
            QStringLiteral(") direkt in der TLD-Registry mit deinen IPv4/IPv6-Adressen"),
        QStringLiteral("link.circle.fill"), Tint::orange);
    card->setObjectName(QStringLiteral("domainGlueCard"));
    auto* content = new QVBoxLayout;
    content->setSpacing(10);
    auto* form = new HalvoFlowLayout(nullptr, 10, 8);
    form->addWidget(field(QStringLiteral("glueHostField"),
                          QStringLiteral("Nameserver-Host (z.B. ns1.") % domain.domain % QLatin1Char(')'),
                          &state.glueHostInput));
    form->addWidget(field(QStringLiteral("glueIPField"), QStringLiteral("IPv4 / IPv6 Adresse (z.B. 203.0.113.10)"),
                          &state.glueIPInput));
    auto* add = new HalvoActionButton(QStringLiteral("Glue-Record eintragen"), HalvoButtonVariant::primary, true);
    connect(add, &QPushButton::clicked, this, [this, &store, &state, name = domain.domain] {
        if (addGlueRecord(store, state, name))
            Q_EMIT inputsCleared();
    });
    form->addWidget(add);
    halvo::ui::submitOnReturn(form, add);
    content->addLayout(form);

    for (const HalvoGlueRecord& glue : domain.glueRecords) {
        QFrame* row = halvo::ui::listRow(8, 8);
        row->setObjectName(QStringLiteral("glueRecordRow"));
        auto* layout = row->layout();
        layout->addWidget(HalvoElidedLabel::make(glue.host, TextStyle::subheadline, Weight::bold, Tint::primary, true));
        layout->addWidget(HalvoElidedLabel::make(QStringLiteral("-> ") % glue.ips.join(QStringLiteral(", ")),
                                                 TextStyle::caption, Weight::regular, Tint::primary, true));
        qobject_cast<QHBoxLayout*>(layout)->addStretch();
        auto* remove = new HalvoActionButton(QStringLiteral("Glue löschen"), HalvoButtonVariant::danger, true);
        remove->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        connect(remove, &QPushButton::clicked, this,
                [&store, name = domain.domain, host = glue.host] { confirmDeleteGlueRecord(store, name, host); });
        layout->addWidget(remove);
        content->addWidget(row);
    }
    card->addContent(content);
    return card;
}

void DomainSecuritySection::toggleTransferLock(AppStateStore& store, const HalvoDomain& domain) {
    if (domain.transferLockStatus != kLocked) {
        store.toggleDomainTransferLock(domain.domain);
        return;
    }
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Domain Transfer-Schutz entsperren?");
    request.message = QStringLiteral("Wenn der Transfer-Lock für '") % domain.domain %
                      QStringLiteral("' aufgehoben wird, kann die Domain mit dem AuthInfo/EPP-Code zu einem anderen "
                                     "Registrar transferiert werden.");
    request.warningDetails = QStringLiteral("Domain: ") % domain.domain;
    request.confirmButtonTitle = QStringLiteral("Transfer-Lock entsperren");
    request.variant = HalvoButtonVariant::warning;
    // The store's toggle flips what the snapshot holds when it runs: when the lock was lifted meanwhile (a
    // sync), toggling would lock the domain that the user confirmed to unlock.
    request.action = [&store, name = domain.domain] {
        const std::optional<HalvoDomain> now = currentDomain(store, name);
        if (now && now->transferLockStatus == kLocked)
            store.toggleDomainTransferLock(name);
    };
    store.requestConfirmation(std::move(request));
}

void DomainSecuritySection::confirmToggleDNSSEC(AppStateStore& store, const HalvoDomain& domain) {
    const bool on = domain.dnssecEnabled;
    HalvoConfirmRequest request;
    if (on) {
        request.title = QStringLiteral("DNSSEC deaktivieren bestätigen");
        request.message = QStringLiteral("Möchtest du die kryptografische DNSSEC-Signierung für '") % domain.domain %
                          QStringLiteral("' wirklich deaktivieren?");
        request.confirmButtonTitle = QStringLiteral("DNSSEC deaktivieren");
        request.variant = HalvoButtonVariant::warning;
    } else {
        request.title = QStringLiteral("DNSSEC aktivieren bestätigen");
        request.message = QStringLiteral("Möchtest du die kryptografische DNSSEC-Signierung (KSK/ZSK) für '") %
                          domain.domain % QStringLiteral("' aktivieren?");
        request.confirmButtonTitle = QStringLiteral("DNSSEC aktivieren");
        request.variant = HalvoButtonVariant::primary;
    }
    request.warningDetails = QStringLiteral("Domain: ") % domain.domain;
    // Only the switch the user confirmed: when the state changed meanwhile, it already is what was asked for.
    request.action = [&store, name = domain.domain, on] {
        const std::optional<HalvoDomain> now = currentDomain(store, name);
        if (now && now->dnssecEnabled == on)
            store.toggleDNSSEC(name);
    };
    store.requestConfirmation(std::move(request));
}

bool DomainSecuritySection::addGlueRecord(AppStateStore& store, DomainsState& state, const QString& domain) {
    if (state.glueHostInput.isEmpty() || state.glueIPInput.isEmpty())
        return false;
    store.addGlueRecord(domain, state.glueHostInput, state.glueIPInput);
    state.glueHostInput.clear();
    state.glueIPInput.clear();
    return true;
}

void DomainSecuritySection::confirmDeleteGlueRecord(AppStateStore& store, const QString& domain, const QString& host) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Glue-Record löschen bestätigen");
    request.message =
        QStringLiteral("Möchtest du den Registry Glue-Record '") % host % QStringLiteral("' wirklich löschen?");
    request.warningDetails = QStringLiteral("Host: ") % host;
    request.confirmButtonTitle = QStringLiteral("Glue-Record löschen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store, domain, host] { store.deleteGlueRecord(domain, host); };
    store.requestConfirmation(std::move(request));
}
