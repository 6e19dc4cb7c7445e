#include "views/domains/DomainOverviewCard.h"

#include "model/AuthInfoCode.h"
#include "ui/Components.h"
#include "ui/HalvoFlowLayout.h"
#include "ui/HalvoHeaderIdentity.h"
#include "ui/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStringBuilder>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace halvo::domains {

namespace {

// Each record must stay on its own line of the zone file: a line break inside a stored host, type or target
// would otherwise start a line of its own that reads as a record. Master files write such characters as a
// backslash and three decimal digits.
QString oneLine(const QString& text) {
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString result = text;
    result.replace(QLatin1Char('\n'), QStringLiteral("\\010"));
    result.replace(QLatin1Char('\r'), QStringLiteral("\\013"));
    return result;
}

} // namespace

QString zoneFileText(const HalvoDomain& domain) {
    QString text = QStringLiteral("$ORIGIN ") % oneLine(domain.domain) % QStringLiteral(".\n$TTL 3600\n");
    const QChar tab = QLatin1Char('\t');
    for (qsizetype i = 0; i < domain.dnsRecords.size(); ++i) {
        const HalvoDNSRecord& record = domain.dnsRecords.at(i);
        if (i > 0)
            text += QLatin1Char('\n');
        const QString host = record.subDomain.isEmpty() ? QStringLiteral("@") : oneLine(record.subDomain);
        text += host % tab % QString::number(record.ttl) % tab % QStringLiteral("IN") % tab %
                oneLine(record.fieldType) % tab % oneLine(record.target);
    }
    return text;
}

QString authInfoCode(const QString& domainName) {
    return halvo::authInfoCode(domainName);
}

} // namespace halvo::domains

namespace {

QWidget* fact(const QString& symbol, const QString& text) {
    auto* widget = new QWidget;
    // As wide as its text: the facts stand side by side and wrap, not spread over the line.
    widget->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
    auto* row = new QHBoxLayout(widget);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(halvo::theme::symbol(symbol, TextStyle::caption, Tint::secondary));
    row->addWidget(HalvoElidedLabel::make(text, TextStyle::caption, Weight::regular, Tint::secondary));
    return widget;
}

} // namespace

DomainOverviewCard::DomainOverviewCard(const HalvoDomain& domain, QWidget* parent)
    : QWidget(parent)
    , m_domain(domain) {
    setObjectName(QStringLiteral("domainOverviewCard"));
    // The identity, then the operations; where the band is short, badges and operations move onto further
    // lines and the band grows to the height it needs.
    auto* row = new HalvoFlowLayout(this, 16, 12);
    row->setContentsMargins(0, 0, 0, 0);
    auto* tile = new HalvoIconTile(QStringLiteral("globe.europe.africa.fill"), halvo::theme::IconTileKind::domain);

    auto* info = new QVBoxLayout;
    info->setSpacing(5);
    auto* titleRow = new HalvoFlowLayout(nullptr, 8, 6);
    titleRow->setContentsMargins(0, 0, 0, 0);
    QLabel* title = HalvoElidedLabel::make(domain.domain, TextStyle::title2, Weight::bold);
    title->setObjectName(QStringLiteral("domainTitle"));
    titleRow->addWidget(title);
    if (domain.transferLockStatus == QStringLiteral("locked")) {
        titleRow->addWidget(
            new HalvoStatusBadge(QStringLiteral("TRANSFER-LOCK AKTIV"), Tint::green, QStringLiteral("lock.fill")));
    } else if (domain.transferLockStatus != QStringLiteral("unavailable")) {
        titleRow->addWidget(
            new HalvoStatusBadge(QStringLiteral("ENTSPERRT"), Tint::orange, QStringLiteral("lock.open.fill")));
    }
    if (domain.dnssecSupported) {
        titleRow->addWidget(domain.dnssecEnabled
                                ? new HalvoStatusBadge(QStringLiteral("DNSSEC SIGNIERT"), Tint::blue,
                                                       QStringLiteral("checkmark.shield.fill"))
                                : new HalvoStatusBadge(QStringLiteral("DNSSEC INAKTIV"), Tint::secondary,
                                                       QStringLiteral("checkmark.shield.fill")));
    }
    info->addLayout(titleRow);

    QLabel* owner =
        HalvoElidedLabel::make(QStringLiteral("Inhaber / Kontakt: ") % domain.whoisOwner %
                                   QStringLiteral(" • Nameserver: ") % domain.nameServers.join(QStringLiteral(", ")),
                               TextStyle::subheadline, Weight::regular, Tint::secondary);
    owner->setObjectName(QStringLiteral("domainOwnerLine"));
    info->addWidget(owner);

    auto* facts = new HalvoFlowLayout(nullptr, 14, 4);
    facts->setContentsMargins(0, 0, 0, 0);
    facts->addWidget(fact(QStringLiteral("list.bullet"),
                          QStringLiteral("Zonen-Records: ") % QString::number(domain.dnsRecords.size())));
    facts->addWidget(fact(QStringLiteral("clock.fill"),
                          QStringLiteral("Letztes Update: ") %
                              (domain.lastUpdate.isEmpty() ? QStringLiteral("Aktuell") : domain.lastUpdate)));
    facts->addWidget(fact(QStringLiteral("calendar.badge.clock"),
                          QStringLiteral("Verlängerung: ") % domain.expiration.value_or(QStringLiteral("Auto-Renew"))));
    info->addLayout(facts);
    row->addWidget(new HalvoHeaderIdentity(tile, titleRow, info));

    auto* operations = new QWidget;
    auto* buttons = new QVBoxLayout(operations);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(8);
    auto* exportButton = new HalvoActionButton(QStringLiteral("BIND Zonen-Datei Export"), HalvoButtonVariant::primary,
                                               true, QStringLiteral("doc.text"));
    auto* authInfoButton = new HalvoActionButton(QStringLiteral("AuthInfo / EPP-Code kopieren"),
                                                 HalvoButtonVariant::secondary, true, QStringLiteral("key.fill"));
    connect(exportButton, &QPushButton::clicked, this, [this] { Q_EMIT exportPressed(m_domain.domain); });
    connect(authInfoButton, &QPushButton::clicked, this, [this] { Q_EMIT authInfoPressed(m_domain.domain); });
    // One column of buttons as wide as the widest: its edges line up beside the identity and on a line of
    // its own alike.
    for (HalvoActionButton* button : {exportButton, authInfoButton}) {
        button->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
        buttons->addWidget(button);
    }
    row->addWidget(operations);
}
