#include "views/domains/DnsZoneEditorSection.h"

#include "ui/Components.h"
#include "ui/FormKeys.h"
#include "ui/Theme.h"
#include "views/domains/DnsRecordDelegate.h"
#include "views/domains/DnsRecordListModel.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;
namespace cols = dnsRecordColumns;

const QList<DnsZoneEditorSection::TTLChoice>& DnsZoneEditorSection::ttlChoices() {
    static const QList<TTLChoice> choices{{QStringLiteral("60 s"), 60},
                                          {QStringLiteral("300 s"), 300},
                                          {QStringLiteral("3600 s"), 3600},
                                          {QStringLiteral("86400 s"), 86400}};
    return choices;
}

DnsZoneEditorSection::DnsZoneEditorSection(DomainsState& state, const QStringList& recordTypes, QWidget* parent)
    : QWidget(parent)
    , m_state(state) {
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    // The card is made first and the body inside it: a body moved into the card afterwards would have the
    // style sheet's rules worked out a second time for all of its widgets. Its texts come with the domain.
    m_card = new HalvoSectionCard(QString(), std::nullopt, QStringLiteral("list.bullet.rectangle.portrait.fill"),
                                  Tint::blue, this);
    buildBody(recordTypes);
    m_card->addContent(m_body);
    m_layout->addWidget(m_card);
}

DnsZoneEditorSection::~DnsZoneEditorSection() = default;

void DnsZoneEditorSection::buildBody(const QStringList& recordTypes) {
    m_body = new QWidget(m_card);
    auto* bodyLayout = new QVBoxLayout(m_body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(14);

    // The add form; its parts move to a further line where the card is narrow. Every part is made in the body
    // it is shown in (a part moved there afterwards would have the style sheet's rules worked out again).
    auto* form = new HalvoFlowLayout(nullptr, 10, 8);
    m_subDomainField = new HalvoFormTextField(QStringLiteral("Subdomain (@ / leer, www, api...)"),
                                              &m_state.newSubDomain, false, m_body);
    m_subDomainField->setObjectName(QStringLiteral("newSubDomainField"));
    m_subDomainField->setFixedWidth(210);
    form->addWidget(m_subDomainField);

    auto* typeGroup = new QHBoxLayout;
    typeGroup->setSpacing(4);
    typeGroup->addWidget(
        HalvoElidedLabel::make(QStringLiteral("Typ:"), TextStyle::caption, Weight::bold, Tint::primary, false, m_body));
    m_typePicker = new QComboBox(m_body);
    m_typePicker->setObjectName(QStringLiteral("newRecordTypePicker"));
    m_typePicker->setFixedWidth(85);
    m_typePicker->addItems(recordTypes);
    typeGroup->addWidget(m_typePicker);
    form->addLayout(typeGroup);

    m_targetField = new HalvoFormTextField(QStringLiteral("Ziel / Target (IPv4, IPv6, Hostname, TXT-String...)"),
                                           &m_state.newTarget, false, m_body);
    m_targetField->setObjectName(QStringLiteral("newTargetField"));
    form->addWidget(m_targetField);

    auto* ttlGroup = new QHBoxLayout;
    ttlGroup->setSpacing(4);
    ttlGroup->addWidget(
        HalvoElidedLabel::make(QStringLiteral("TTL:"), TextStyle::caption, Weight::bold, Tint::primary, false, m_body));
    m_ttlPicker = new QComboBox(m_body);
    m_ttlPicker->setObjectName(QStringLiteral("newTTLPicker"));
    m_ttlPicker->setFixedWidth(90);
    for (const TTLChoice& choice : ttlChoices())
        m_ttlPicker->addItem(choice.text, QVariant::fromValue(choice.value));
    ttlGroup->addWidget(m_ttlPicker);
    form->addLayout(ttlGroup);

    auto* addButton = new HalvoActionButton(QStringLiteral("Record anlegen"), HalvoButtonVariant::primary, true,
                                            QStringLiteral("plus.circle.fill"), m_body);
    form->addWidget(addButton);
    halvo::ui::submitOnReturn(form, addButton);
    bodyLayout->addLayout(form);

    connect(m_typePicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_state.newRecordType = m_typePicker->itemText(index);
    });
    connect(m_ttlPicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            m_state.newTTL = m_ttlPicker->itemData(index).toLongLong();
    });
    connect(addButton, &QPushButton::clicked, this, [this] { Q_EMIT addPressed(); });

    // The record table: header, divider, rows.
    auto* table = new QVBoxLayout;
    table->setSpacing(6);
    m_tableHeader = new QWidget(m_body);
    auto* header = new QHBoxLayout(m_tableHeader);
    header->setContentsMargins(cols::kHorizontalInset, 0, cols::kHorizontalInset, 0);
    header->setSpacing(cols::kSpacing);
    header->addWidget(halvo::ui::columnHeader(QStringLiteral("Subdomain / Host"), cols::kHost, Qt::AlignLeft));
    header->addWidget(halvo::ui::columnHeader(QStringLiteral("Typ"), cols::kType, Qt::AlignLeft));
    header->addWidget(halvo::ui::columnHeader(QStringLiteral("Zielwert (Target)"), 0, Qt::AlignLeft), 1);
    header->addWidget(halvo::ui::columnHeader(QStringLiteral("TTL"), cols::kTTL, Qt::AlignRight));
    header->addWidget(halvo::ui::columnHeader(QStringLiteral("Aktion"), cols::kAction, Qt::AlignRight));
    table->addWidget(m_tableHeader);
    table->addWidget(halvo::ui::divider(m_body));

    m_model = new DnsRecordListModel(this);
    m_delegate = new DnsRecordDelegate(m_model, this);
    m_table = new QListView(m_body);
    m_table->setObjectName(QStringLiteral("dnsRecordTable"));
    m_table->setModel(m_model);
    // One Tab stop; arrows move the current row, Delete or Space asks to delete it.
    m_delegate->attachTo(m_table);
    // A list of rows, each painted whole by the delegate at the delegate's height: one scroll area and no
    // headers to build, and the view never asks the rows for their sizes.
    m_rowHeight = m_delegate->sizeHint(QStyleOptionViewItem(), QModelIndex()).height();
    m_table->setUniformItemSizes(true);
    m_table->setWordWrap(false);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setFrameShape(QFrame::NoFrame);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_table->setMouseTracking(true);
    m_table->viewport()->setAttribute(Qt::WA_Hover);
    m_table->viewport()->setAutoFillBackground(false);
    m_table->setAttribute(Qt::WA_TranslucentBackground);
    m_table->setVisible(false);
    table->addWidget(m_table);
    bodyLayout->addLayout(table);

    connect(m_delegate, &DnsRecordDelegate::buttonPressed, this, [this](int row) {
        if (row >= 0 && row < m_model->rowCount())
            Q_EMIT deletePressed(m_model->recordAt(row));
    });

    reloadInputs();
}

void DnsZoneEditorSection::reloadInputs() {
    m_subDomainField->reload();
    m_targetField->reload();
    {
        const QSignalBlocker blocker(m_typePicker);
        m_typePicker->setCurrentIndex(m_typePicker->findText(m_state.newRecordType));
    }
    {
        const QSignalBlocker blocker(m_ttlPicker);
        m_ttlPicker->setCurrentIndex(m_ttlPicker->findData(QVariant::fromValue(m_state.newTTL)));
    }
}

void DnsZoneEditorSection::showDomain(const HalvoDomain& domain) {
    const bool otherDomain = !m_shown || domain.domain != m_domain;
    m_shown = true;
    m_domain = domain.domain;
    const QString title = QStringLiteral("DNS-Zonen-Einträge (") + QString::number(domain.dnsRecords.size()) +
                          QStringLiteral(" Records) – Sofort-Editor");
    const QString subtitle =
        QStringLiteral("Neue Records werden sofort in die Zone geschrieben und per POST /domain/zone/") +
        domain.domain + QStringLiteral("/refresh auf die Halvo Anycast-Nameserver publiziert");
    // Texts change in place, which spares rebuilding the form and the table with what the user typed.
    m_card->setTitle(title);
    m_card->setSubtitle(subtitle);

    const int rowsBefore = m_model->rowCount();
    if (otherDomain) {
        m_delegate->setDomainName(domain.domain);
        m_model->setDomainName(domain.domain);
        m_model->resetRecords(domain.dnsRecords);
    } else {
        m_model->setRecords(domain.dnsRecords);
    }
    updateTableHeight();
    // The record the user just added lands at the end: show it.
    const bool added = m_addPending && !otherDomain && m_model->rowCount() == rowsBefore + 1;
    m_addPending = false;
    if (added)
        Q_EMIT recordAdded(m_model->rowCount() - 1);
}

void DnsZoneEditorSection::updateTableHeight() {
    const int rows = m_model->rowCount();
    m_table->setVisible(rows > 0);
    if (rows == 0)
        return;
    // As tall as its rows: the detail's one scroll area scrolls them, and the table still draws only the rows
    // that are on screen.
    m_table->setFixedHeight(rows * m_rowHeight + 2 * m_table->frameWidth());
}

QRect DnsZoneEditorSection::rowRect(int row) const {
    return m_table->visualRect(m_model->index(row));
}

QRect DnsZoneEditorSection::deleteButtonRect(int row) const {
    return DnsRecordDelegate::deleteButtonRect(m_table->visualRect(m_model->index(row)));
}
