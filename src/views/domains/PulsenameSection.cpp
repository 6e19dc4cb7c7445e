#include "views/domains/PulsenameSection.h"

#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStringBuilder>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

HalvoFormTextField* field(const QString& objectName, const QString& placeholder, QString* binding) {
    auto* result = new HalvoFormTextField(placeholder, binding);
    result->setObjectName(objectName);
    return result;
}

} // namespace

PulsenameSection::PulsenameSection(AppStateStore& store, DomainsState& state, const HalvoDomain& domain,
                                   QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("pulsenameSection"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);

    auto* card = new HalvoSectionCard(
        QStringLiteral("Halvo Pulsename – Dynamisches DNS (/domain/zone/") % domain.domain %
            QStringLiteral("/pulsename)"),
        QStringLiteral("Aktualisiere Subdomains automatisch über das DynDNS/No-IP Protokoll (z.B. für Fritz!Box, "
                       "OPNsense, pfSense oder Heim-Server)"),
        QStringLiteral("arrow.triangle.2.circlepath.circle.fill"), Tint::teal);
    card->setObjectName(QStringLiteral("pulsenameCard"));
    column->addWidget(card);

    auto* content = new QVBoxLayout;
    content->setSpacing(12);
    auto* form = new HalvoFlowLayout(nullptr, 10, 8);
    HalvoFormTextField* sub =
        field(QStringLiteral("dynSubField"), QStringLiteral("Subdomain (z.B. home oder vpn)"), &state.dynSubInput);
    sub->setFixedWidth(220);
    form->addWidget(sub);
    form->addWidget(field(QStringLiteral("dynIPField"), QStringLiteral("Aktuelle Ziel-IPv4 (z.B. 198.51.100.23)"),
                          &state.dynIPInput));
    HalvoFormTextField* login =
        field(QStringLiteral("dynLoginField"), QStringLiteral("Pulsename Login-Suffix"), &state.dynLoginInput);
    login->setFixedWidth(200);
    form->addWidget(login);
    auto* add = new HalvoActionButton(QStringLiteral("Pulsename anlegen"), HalvoButtonVariant::primary, true);
    connect(add, &QPushButton::clicked, this, [this, &store, &state, name = domain.domain] {
        if (addPulsename(store, state, name))
            Q_EMIT inputsCleared();
    });
    form->addWidget(add);
    halvo::ui::submitOnReturn(form, add);
    content->addLayout(form);

    if (domain.pulsenames.isEmpty()) {
        content->addWidget(HalvoElidedLabel::make(QStringLiteral("Noch keine Pulsename-Einträge für ") % domain.domain %
                                                      QStringLiteral(" konfiguriert."),
                                                  TextStyle::caption, Weight::regular, Tint::secondary));
    }
    for (const HalvoPulsename& entry : domain.pulsenames) {
        QFrame* row = halvo::ui::listRow(8, 8);
        row->setObjectName(QStringLiteral("pulsenameRow"));
        auto* layout = qobject_cast<QHBoxLayout*>(row->layout());
        layout->addWidget(HalvoElidedLabel::make(entry.subDomain % QLatin1Char('.') % domain.domain,
                                                 TextStyle::subheadline, Weight::bold, Tint::primary, true));
        layout->addWidget(HalvoElidedLabel::make(QStringLiteral("-> ") % entry.ip, TextStyle::subheadline,
                                                 Weight::regular, Tint::teal, true));
        layout->addWidget(HalvoElidedLabel::make(QStringLiteral("Login: ") % entry.login, TextStyle::caption,
                                                 Weight::regular, Tint::secondary));
        layout->addStretch();
        auto* remove = new HalvoActionButton(QStringLiteral("Pulsename löschen"), HalvoButtonVariant::danger, true);
        // The texts give up width first; the button keeps its whole title.
        remove->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        connect(remove, &QPushButton::clicked, this,
                [&store, name = domain.domain, entry] { confirmDeletePulsename(store, name, entry); });
        layout->addWidget(remove);
        content->addWidget(row);
    }
    card->addContent(content);
}

bool PulsenameSection::addPulsename(AppStateStore& store, DomainsState& state, const QString& domain) {
    if (state.dynSubInput.isEmpty() || state.dynIPInput.isEmpty())
        return false;
    store.addPulsenameRecord(domain, state.dynSubInput, state.dynIPInput,
                             domain % QLatin1Char('-') % state.dynLoginInput);
    state.dynIPInput.clear();
    return true;
}

void PulsenameSection::confirmDeletePulsename(AppStateStore& store, const QString& domain,
                                              const HalvoPulsename& entry) {
    const QString fullName = entry.subDomain % QLatin1Char('.') % domain;
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Pulsename-Eintrag löschen bestätigen");
    request.message = QStringLiteral("Möchtest du den Pulsename-Eintrag '") % fullName %
                      QStringLiteral("' (Ziel-IP: ") % entry.ip % QStringLiteral(") wirklich löschen?");
    request.warningDetails = QStringLiteral("Subdomain: ") % fullName;
    request.confirmButtonTitle = QStringLiteral("Pulsename löschen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store, domain, subDomain = entry.subDomain] {
        store.removePulsenameRecordLocally(domain, subDomain);
    };
    store.requestConfirmation(std::move(request));
}
