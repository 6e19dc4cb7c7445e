#include "views/domains/ZoneFileExportSheet.h"

#include "ui/Components.h"
#include "ui/Theme.h"
#include "views/domains/DomainOverviewCard.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStringBuilder>
#include <QVBoxLayout>

using halvo::theme::TextStyle;
using halvo::theme::Tint;

ZoneFileExportSheet::ZoneFileExportSheet(const HalvoDomain& domain, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("zoneFileExportSheet"));
    setWindowModality(Qt::WindowModal);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(14);

    auto* header = new QHBoxLayout;
    m_title = HalvoElidedLabel::make(QString(), TextStyle::headline);
    m_title->setObjectName(QStringLiteral("zoneFileExportTitle"));
    header->addWidget(m_title);
    header->addStretch();
    m_closeButton = new HalvoActionButton(QStringLiteral("Schließen"), HalvoButtonVariant::secondary, true);
    header->addWidget(m_closeButton);
    column->addLayout(header);

    // Read-only keeps the text selectable while no edit can change what is copied.
    m_text = new QPlainTextEdit;
    m_text->setObjectName(QStringLiteral("zoneFileText"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(halvo::theme::font(TextStyle::body, halvo::theme::Weight::regular, true));
    m_text->setMinimumSize(560, 280);
    // The theme draws its border and the focus ring.
    m_text->setFrameShape(QFrame::NoFrame);
    column->addWidget(m_text, 1);

    auto* footer = new QHBoxLayout;
    footer->addStretch();
    m_copyButton = new HalvoActionButton(QStringLiteral("In Zwischenablage kopieren"), HalvoButtonVariant::primary);
    footer->addWidget(m_copyButton);
    column->addLayout(footer);

    showDomain(domain);
}

void ZoneFileExportSheet::showDomain(const HalvoDomain& domain) {
    const QString text = halvo::domains::zoneFileText(domain);
    if (domain.domain != m_domainName || m_title->text().isEmpty()) {
        m_domainName = domain.domain;
        m_title->setText(QStringLiteral("BIND DNS-Zonen-Export: ") % domain.domain);
    }
    if (text != m_zoneText || m_text->toPlainText() != text) {
        m_zoneText = text;
        m_text->setPlainText(text);
    }
}
