#include "views/ip/IPDetailsTab.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"
#include "views/ip/IPReverseEntryDelegate.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;
namespace cols = ipReverseColumns;

IPDetailsTab::IPDetailsTab(AppStateStore& store, IPRdnsState& state, const HalvoIPBlock& block, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_state(state)
    , m_block(block) {
    setObjectName(QStringLiteral("ipDetailsTab"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    column->addWidget(buildInfoGrid());
    column->addWidget(buildDescriptionCard());
    column->addWidget(buildReverseCard());
    if (canDelegateReverseZone(m_block))
        column->addWidget(buildDelegationCard());
}

bool IPDetailsTab::canDelegateReverseZone(const HalvoIPBlock& block) {
    if (!block.delegationSupported)
        return false;
    const QStringList parts = block.ipBlock.split(QLatin1Char('/'));
    const QString prefixText =
        parts.size() < 2 ? (block.version == 6 ? QStringLiteral("128") : QStringLiteral("32")) : parts.at(1);
    const std::optional<qint64> prefix = halvo::parseWholeInteger(prefixText);
    if (!prefix)
        return false;
    return block.version == 6 ? *prefix < 65 : *prefix < 29;
}

// ---- actions ----

void IPDetailsTab::saveDescription() {
    const QString description = halvo::trimmed(m_state.descriptionInput);
    if (description.isEmpty())
        return;
    m_store.updateIPBlockDescription(m_block.ipBlock, description);
    m_state.descriptionInput.clear();
    m_descriptionField->reload();
}

void IPDetailsTab::saveReverse() {
    QString address = halvo::trimmed(m_state.newReverseIP);
    if (address.isEmpty())
        address = m_block.networkAddress();
    const QString host = halvo::trimmed(m_state.newReverseHost);
    if (address.isEmpty() || host.isEmpty())
        return;
    Q_EMIT reverseSaving(address);
    m_store.setReverseDNS(m_block.ipBlock, address, host);
    m_state.newReverseIP.clear();
    m_state.newReverseHost.clear();
    m_reverseAddressField->reload();
    m_reverseHostField->reload();
}

QRect IPDetailsTab::reverseRowRect(const QString& address) const {
    if (!m_reverseModel)
        return {};
    for (int row = 0; row < m_reverseModel->rowCount(); ++row) {
        if (m_reverseModel->itemAt(row).ipReverse == address)
            return QRect(0, row * m_reverseRowHeight, m_reverseTable->viewport()->width(), m_reverseRowHeight);
    }
    return {};
}

void IPDetailsTab::confirmDeleteReverse(const HalvoReverseRecord& entry) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Reverse-DNS (PTR) Eintrag löschen?");
    request.message = QStringLiteral("Möchtest du den PTR-Eintrag '") + entry.ipReverse + QStringLiteral(" -> ") +
                      entry.reverse + QStringLiteral("' wirklich entfernen?");
    request.confirmButtonTitle = QStringLiteral("rDNS jetzt löschen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, block = m_block.ipBlock, address = entry.ipReverse] {
        store.deleteReverseDNS(block, address);
    };
    m_store.requestConfirmation(std::move(request));
}

void IPDetailsTab::addDelegation() {
    const QString nameServer = halvo::trimmed(m_state.newDelegationNS);
    if (nameServer.isEmpty())
        return;
    m_store.delegateReverseSubnet(m_block.ipBlock, nameServer);
    m_state.newDelegationNS.clear();
    m_delegationField->reload();
}

// ---- parts ----

QWidget* IPDetailsTab::buildInfoGrid() {
    const HalvoIPBlock& b = m_block;
    QList<HalvoSpecTile::Spec> tiles;

    HalvoSpecTile::Spec cidr{QStringLiteral("CIDR Subnetz-Block"),
                             b.ipBlock,
                             QStringLiteral("IPv") + QString::number(b.version) + QStringLiteral(" • ") +
                                 QString::number(b.usableHostsCount) + QStringLiteral(" Host-IP(s)"),
                             QStringLiteral("network"),
                             Tint::blue,
                             b.ipBlock,
                             {}};
    cidr.onCopy = [&store = m_store](const QString& copied) {
        store.setLastActionMessage(copied + QStringLiteral(" kopiert."));
    };
    tiles.append(cidr);

    tiles.append(
        {QStringLiteral("Subnetzmaske / Prefix"),
         b.netmask,
         b.broadcast == kNoValue ? std::nullopt : std::optional<QString>(QStringLiteral("Broadcast: ") + b.broadcast),
         QStringLiteral("square.split.2x2.fill"),
         Tint::teal,
         b.netmask,
         {}});
    if (b.gateway != kNoValue) {
        tiles.append({QStringLiteral("Standard-Gateway"),
                      b.gateway,
                      QStringLiteral("Halvo Router Gateway"),
                      QStringLiteral("arrow.triangle.branch"),
                      Tint::purple,
                      b.gateway,
                      {}});
    }
    if (b.routedToService && !b.routedToService->isEmpty()) {
        tiles.append({QStringLiteral("Geroutet auf Dienst"),
                      *b.routedToService,
                      QStringLiteral("Typ: ") + b.type.toUpper(),
                      QStringLiteral("server.rack"),
                      Tint::orange,
                      std::nullopt,
                      {}});
    }
    if (b.country && *b.country != kNoValue) {
        tiles.append({QStringLiteral("Geo-IP Land & Campus"),
                      *b.country + QStringLiteral(" – ") + b.campus,
                      b.rir,
                      QStringLiteral("globe.europe.africa.fill"),
                      Tint::green,
                      std::nullopt,
                      {}});
    }
    tiles.append({QStringLiteral("Aktive rDNS (PTR)"),
                  QString::number(b.reverseEntries.size()) + QStringLiteral(" PTR-Records"),
                  b.reverseEntries.isEmpty() ? std::nullopt : std::optional<QString>(b.reverseEntries.first().reverse),
                  QStringLiteral("arrow.left.arrow.right.circle.fill"),
                  Tint::blue,
                  std::nullopt,
                  {}});

    return new HalvoSpecGrid(QStringLiteral("ipInfoGrid"), tiles);
}

QWidget* IPDetailsTab::buildDescriptionCard() {
    auto* card = new HalvoSectionCard(QStringLiteral("IP-Block Beschreibung & Kunden-Notiz (/ip/") + m_block.ipBlock +
                                          QLatin1Char(')'),
                                      QStringLiteral("Hinterlege eine eigene Bezeichnung für dieses Subnetz"),
                                      QStringLiteral("tag.fill"), Tint::teal);
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    m_descriptionField =
        new HalvoFormTextField(QStringLiteral("Beschreibung für ") + m_block.ipBlock + QStringLiteral(" (aktuell: ") +
                                   m_block.description.value_or(QStringLiteral("Keine")) + QLatin1Char(')'),
                               &m_state.descriptionInput);
    m_descriptionField->setObjectName(QStringLiteral("ipDescriptionInput"));
    row->addWidget(m_descriptionField, 1);
    auto* save = new HalvoActionButton(QStringLiteral("Beschreibung speichern"), HalvoButtonVariant::primary, true);
    connect(save, &QPushButton::clicked, this, &IPDetailsTab::saveDescription);
    row->addWidget(save);
    halvo::ui::submitOnReturn(row, save);
    card->addContent(row);
    return card;
}

QWidget* IPDetailsTab::buildReverseCard() {
    auto* card = new HalvoSectionCard(QStringLiteral("Reverse DNS / PTR-Records für ") + m_block.ipBlock +
                                          QStringLiteral(" (IPv4 & IPv6)"),
                                      QStringLiteral("Verwalte die PTR-Zuordnung einzelner IPs dieses Blocks"),
                                      QStringLiteral("arrow.left.arrow.right.circle.fill"), Tint::blue);
    auto* stack = new QVBoxLayout;
    stack->setSpacing(14);

    auto* form = new QHBoxLayout;
    form->setSpacing(10);
    m_reverseAddressField = new HalvoFormTextField(QStringLiteral("IP-Adresse aus dem Block (z.B. ") +
                                                       m_block.networkAddress() + QLatin1Char(')'),
                                                   &m_state.newReverseIP);
    m_reverseAddressField->setObjectName(QStringLiteral("ipReverseAddressInput"));
    m_reverseAddressField->setFixedWidth(270);
    form->addWidget(m_reverseAddressField);
    m_reverseHostField =
        new HalvoFormTextField(QStringLiteral("Ziel-Hostname (FQDN, z.B. mail.example.com.)"), &m_state.newReverseHost);
    m_reverseHostField->setObjectName(QStringLiteral("ipReverseHostInput"));
    form->addWidget(m_reverseHostField, 1);
    auto* save = new HalvoActionButton(QStringLiteral("rDNS (PTR) speichern"), HalvoButtonVariant::primary, true,
                                       QStringLiteral("checkmark.circle.fill"));
    connect(save, &QPushButton::clicked, this, &IPDetailsTab::saveReverse);
    form->addWidget(save);
    halvo::ui::submitOnReturn(form, save);
    stack->addLayout(form);

    if (m_block.reverseEntries.isEmpty()) {
        QLabel* empty = HalvoWrappingLabel::make(
            QStringLiteral("Noch keine benutzerdefinierten Reverse-DNS (PTR) Einträge in diesem Subnetz hinterlegt."),
            TextStyle::caption, Weight::regular, Tint::secondary);
        stack->addWidget(empty);
        card->addContent(stack);
        return card;
    }

    auto* table = new QVBoxLayout;
    table->setSpacing(6);
    auto* header = new QWidget;
    auto* headerRow = new QHBoxLayout(header);
    const int rows = int(m_block.reverseEntries.size());
    headerRow->setContentsMargins(cols::kHorizontalInset, 0, cols::kHorizontalInset, 0);
    headerRow->setSpacing(cols::kSpacing);
    headerRow->addWidget(
        halvo::ui::columnHeader(QStringLiteral("IP-Adresse (IPv4 / IPv6)"), cols::kAddress, Qt::AlignLeft));
    headerRow->addWidget(halvo::ui::columnHeader(QStringLiteral("Reverse DNS (PTR FQDN)"), 0, Qt::AlignLeft), 1);
    headerRow->addWidget(halvo::ui::columnHeader(QStringLiteral("Aktion"), cols::kAction, Qt::AlignRight));
    table->addWidget(header);
    table->addWidget(halvo::ui::divider());

    m_reverseModel = new HalvoRecordListModel<HalvoReverseRecord>(
        [](const HalvoReverseRecord& entry) { return entry.ipReverse; }, this);
    // The painted button of each row, named for assistive technology.
    m_reverseModel->setAccessibleDescription(
        [](const HalvoReverseRecord& entry) { return QStringLiteral("rDNS löschen: %1").arg(entry.ipReverse); });
    m_reverseModel->setItems(m_block.reverseEntries);
    // The address and host open in read-only fields for selecting (see the delegate).
    m_reverseModel->setEditable(true);
    m_reverseDelegate = new IPReverseEntryDelegate(m_reverseModel, this);
    m_reverseTable = new QListView;
    m_reverseTable->setObjectName(QStringLiteral("ipReverseTable"));
    m_reverseTable->setModel(m_reverseModel);
    // One Tab stop; arrows move the current row, Delete or Space asks to delete it.
    m_reverseDelegate->attachTo(m_reverseTable);
    m_reverseTable->setUniformItemSizes(true);
    m_reverseTable->setSelectionMode(QAbstractItemView::NoSelection);
    m_reverseTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_reverseTable->setFrameShape(QFrame::NoFrame);
    m_reverseTable->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_reverseTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_reverseTable->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_reverseTable->setMouseTracking(true);
    m_reverseTable->viewport()->setAttribute(Qt::WA_Hover);
    m_reverseTable->viewport()->setAutoFillBackground(false);
    m_reverseTable->setAttribute(Qt::WA_TranslucentBackground);
    m_reverseRowHeight = m_reverseDelegate->sizeHint(QStyleOptionViewItem(), m_reverseModel->index(0)).height();
    // As tall as its rows: the detail's one scroll area scrolls them, and the list still draws only the rows
    // that are on screen.
    m_reverseTable->setFixedHeight(rows * m_reverseRowHeight + 2 * m_reverseTable->frameWidth());
    table->addWidget(m_reverseTable);
    stack->addLayout(table);

    connect(m_reverseDelegate, &IPReverseEntryDelegate::buttonPressed, this, [this](int row) {
        if (row >= 0 && row < m_reverseModel->rowCount())
            confirmDeleteReverse(m_reverseModel->itemAt(row));
    });

    card->addContent(stack);
    return card;
}

QWidget* IPDetailsTab::buildDelegationCard() {
    auto* card = new HalvoSectionCard(
        QStringLiteral("Reverse-DNS Subnetz-Delegation an eigene Nameserver (/ip/") + m_block.ipBlock +
            QStringLiteral("/delegation)"),
        QStringLiteral("Delegiere die `ip6.arpa` / `in-addr.arpa` Zone dieses Blocks an deinen eigenen DNS-Server"),
        QStringLiteral("server.rack"), Tint::indigo);
    card->setObjectName(QStringLiteral("ipDelegationCard"));
    auto* stack = new QVBoxLayout;
    stack->setSpacing(10);

    auto* form = new QHBoxLayout;
    form->setSpacing(10);
    m_delegationField =
        new HalvoFormTextField(QStringLiteral("Nameserver FQDN (z.B. ns1.example.com.)"), &m_state.newDelegationNS);
    m_delegationField->setObjectName(QStringLiteral("ipDelegationInput"));
    form->addWidget(m_delegationField, 1);
    auto* add = new HalvoActionButton(QStringLiteral("NS-Delegation hinzufügen"), HalvoButtonVariant::secondary, true);
    connect(add, &QPushButton::clicked, this, &IPDetailsTab::addDelegation);
    form->addWidget(add);
    halvo::ui::submitOnReturn(form, add);
    stack->addLayout(form);

    for (const QString& target : m_block.delegationTargets) {
        auto* row = new QHBoxLayout;
        row->setSpacing(6);
        row->addWidget(halvo::theme::symbol(QStringLiteral("checkmark.circle.fill"), TextStyle::caption, Tint::green));
        row->addWidget(HalvoElidedLabel::make(QStringLiteral("Delegierter Nameserver: ") + target, TextStyle::caption,
                                              Weight::bold, Tint::primary, true));
        row->addStretch();
        stack->addLayout(row);
    }
    card->addContent(stack);
    return card;
}
