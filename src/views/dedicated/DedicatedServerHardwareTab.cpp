#include "views/dedicated/DedicatedServerHardwareTab.h"

#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;

QList<HalvoSpecTile::Spec> hardwareTiles(const HalvoServer& server, AppStateStore& store) {
    QList<HalvoSpecTile::Spec> tiles;
    if (server.cpuModel != kNoValue) {
        const QString detail = server.cpuCores >= 1
                                   ? QString(QString::number(server.cpuCores) + QStringLiteral(" Cores / ") +
                                             QString::number(server.cpuThreads) + QStringLiteral(" Threads (") +
                                             server.cpuFrequencyGHz + QLatin1Char(')'))
                                   : server.cpuFrequencyGHz;
        tiles.append({QStringLiteral("Prozessor (CPU)"),
                      server.cpuModel,
                      detail,
                      QStringLiteral("cpu.fill"),
                      theme::Tint::blue,
                      std::nullopt,
                      {}});
    }
    if (server.ramSizeGB >= 1) {
        tiles.append({QStringLiteral("Arbeitsspeicher (RAM)"),
                      QString::number(server.ramSizeGB) + QStringLiteral(" GB"),
                      server.ramType,
                      QStringLiteral("memorychip.fill"),
                      theme::Tint::teal,
                      std::nullopt,
                      {}});
    }
    if (server.motherBoard != kNoValue) {
        tiles.append(
            {QStringLiteral("Mainboard & Chassis"),
             server.motherBoard,
             QString(QStringLiteral("Formfaktor: ") + server.formFactor + QStringLiteral(" • Rack ") + server.rack),
             QStringLiteral("rectangle.3.group.fill"),
             theme::Tint::purple,
             std::nullopt,
             {}});
    }
    tiles.append({QStringLiteral("Betriebssystem (OS)"),
                  server.os,
                  QString(QStringLiteral("Boot-ID #") + QString::number(server.bootId) + QStringLiteral(" (") +
                          server.bootType + QLatin1Char(')')),
                  QStringLiteral("terminal.fill"),
                  theme::Tint::orange,
                  std::nullopt,
                  {}});
    if (server.ip != kNoValue) {
        std::optional<QString> gateway;
        if (server.gateway != kNoValue)
            gateway = QStringLiteral("Gateway: ") + server.gateway;
        tiles.append({QStringLiteral("Primäre IPv4"), server.ip, gateway, QStringLiteral("network"), theme::Tint::blue,
                      server.ip, [&store](const QString& value) {
                          store.setLastActionMessage(QStringLiteral("Primäre Server-IPv4 ") + value +
                                                     QStringLiteral(" kopiert."));
                      }});
    }
    if (server.ipv6 != kNoValue && !server.ipv6.isEmpty()) {
        tiles.append(
            {QStringLiteral("IPv6 Subnetz (/64)"), server.ipv6, QString(QStringLiteral("Geroutet auf ") + server.name),
             QStringLiteral("globe"), theme::Tint::indigo, server.ipv6, [&store](const QString& value) {
                 store.setLastActionMessage(QStringLiteral("Server-IPv6 ") + value + QStringLiteral(" kopiert."));
             }});
    }
    tiles.append({QStringLiteral("SLA & DC-Monitoring"),
                  server.monitoring ? QStringLiteral("Aktiv (Proaktiv)") : QStringLiteral("Deaktiviert"),
                  server.noIntervention ? QStringLiteral("No-Intervention: Techniker gesperrt")
                                        : QStringLiteral("Techniker-Intervention erlaubt"),
                  QStringLiteral("waveform.path.ecg"),
                  server.monitoring ? theme::Tint::green : theme::Tint::orange,
                  std::nullopt,
                  {}});
    std::optional<QString> renewal;
    if (server.expirationDate != kNoValue)
        renewal = QStringLiteral("Ablauf/Renew: ") + server.expirationDate;
    tiles.append({QStringLiteral("Support & Laufzeit"),
                  server.supportLevel.toUpper(),
                  renewal,
                  QStringLiteral("checkmark.seal.fill"),
                  theme::Tint::green,
                  std::nullopt,
                  {}});
    return tiles;
}

} // namespace

DedicatedServerHardwareTab::DedicatedServerHardwareTab(AppStateStore& store, DedicatedServersState& state,
                                                       const HalvoServer& server, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_state(state) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(18);

    // 1. The tiles, four to a row; a tile left out moves the rest up.
    layout->addWidget(new HalvoSpecGrid(QStringLiteral("hardwareTiles"), hardwareTiles(server, m_store)));

    // 2. The two forms side by side, one above the other where the width is short.
    auto* cards = HalvoColumnsLayout::sideBySideCards();

    auto* reverseCard = new HalvoSectionCard(
        QStringLiteral("Server Reverse-DNS (PTR) & Anzeigename"),
        QString(QStringLiteral("Ändert den globalen PTR-Eintrag der Haupt-IP sowie den Servernamen (PUT "
                               "/dedicated/server/") +
                server.name + QLatin1Char(')')),
        QStringLiteral("arrow.left.arrow.right.circle.fill"), theme::Tint::blue);
    QVBoxLayout* reverseColumn = reverseCard->addColumn(10);
    reverseColumn->addWidget(HalvoElidedLabel::make(QStringLiteral("Aktueller Reverse-DNS: ") + server.reverse,
                                                    theme::TextStyle::subheadline, theme::Weight::bold,
                                                    theme::Tint::primary, true));
    auto* reverseRow = new HalvoFlowLayout(nullptr, 10, 8);
    auto* reverseField = new HalvoFormTextField(QStringLiteral("Neuer FQDN mit Punkt am Ende (z.B. ") +
                                                    kDedicatedExampleReverseHost + QLatin1Char(')'),
                                                &m_state.newReverseInput);
    reverseField->setObjectName(QStringLiteral("newReverseInput"));
    m_reverseField = reverseField;
    reverseRow->addWidget(reverseField);
    auto* saveReverseButton =
        new HalvoActionButton(QStringLiteral("Reverse-DNS speichern"), HalvoButtonVariant::primary, true);
    connect(saveReverseButton, &QPushButton::clicked, this, [this, name = server.name] { saveReverse(name); });
    reverseRow->addWidget(saveReverseButton);
    halvo::ui::submitOnReturn(reverseRow, saveReverseButton);
    reverseColumn->addLayout(reverseRow);
    cards->addWidget(reverseCard);

    auto* monitoringCard = new HalvoSectionCard(
        QStringLiteral("Rechenzentrum Monitoring & Techniker-Eingriff"),
        QStringLiteral("Steuert, ob Halvo-Techniker bei ICMP-Ausfall automatisch Hardware prüfen dürfen"),
        QStringLiteral("lifepreserver.fill"), theme::Tint::orange);
    QVBoxLayout* monitoringColumn = monitoringCard->addColumn(10);
    auto* switches = new HalvoFlowLayout(nullptr, 8, 8);
    auto* monitoringButton = new HalvoActionButton(
        server.monitoring ? QStringLiteral("Proaktives ICMP-Monitoring: AN") : QStringLiteral("ICMP-Monitoring: AUS"),
        server.monitoring ? HalvoButtonVariant::success : HalvoButtonVariant::secondary, true,
        QStringLiteral("waveform.path.ecg"));
    connect(monitoringButton, &QPushButton::clicked, this, [&store = m_store, name = server.name] {
        store.performDedicatedServerAction(name, AppStateStore::DedicatedServerAction::toggleMonitoring);
    });
    switches->addWidget(monitoringButton);
    auto* interventionButton =
        new HalvoActionButton(server.noIntervention ? QStringLiteral("No-Intervention: AKTIV")
                                                    : QStringLiteral("Techniker-Eingriff: ERLAUBT"),
                              server.noIntervention ? HalvoButtonVariant::warning : HalvoButtonVariant::secondary, true,
                              QStringLiteral("hand.raised.fill"));
    connect(interventionButton, &QPushButton::clicked, this, [&store = m_store, name = server.name] {
        store.performDedicatedServerAction(name, AppStateStore::DedicatedServerAction::toggleNoIntervention);
    });
    switches->addWidget(interventionButton);
    monitoringColumn->addLayout(switches);

    auto* mailRow = new HalvoFlowLayout(nullptr, 10, 8);
    auto* mailField =
        new HalvoFormTextField(QStringLiteral("E-Mail für Rescue-Passwörter & Warnungen (aktuell: ") +
                                   server.rescueMail.value_or(QStringLiteral("Account E-Mail")) + QLatin1Char(')'),
                               &m_state.newRescueMailInput);
    mailField->setObjectName(QStringLiteral("newRescueMailInput"));
    m_rescueMailField = mailField;
    mailRow->addWidget(mailField);
    auto* saveMailButton =
        new HalvoActionButton(QStringLiteral("Rescue E-Mail speichern"), HalvoButtonVariant::secondary, true);
    connect(saveMailButton, &QPushButton::clicked, this, [this, name = server.name] { saveRescueMail(name); });
    mailRow->addWidget(saveMailButton);
    halvo::ui::submitOnReturn(mailRow, saveMailButton);
    monitoringColumn->addLayout(mailRow);
    cards->addWidget(monitoringCard);

    layout->addLayout(cards);
}

void DedicatedServerHardwareTab::saveReverse(const QString& serverName) {
    const QString host = halvo::trimmed(m_state.newReverseInput);
    if (host.isEmpty())
        return;
    m_store.setDedicatedServerReverse(serverName, host);
    m_state.newReverseInput.clear();
    if (m_reverseField)
        m_reverseField->reload();
}

void DedicatedServerHardwareTab::saveRescueMail(const QString& serverName) {
    const QString mail = halvo::trimmed(m_state.newRescueMailInput);
    if (mail.isEmpty())
        return;
    m_store.setDedicatedRescueMail(serverName, mail);
    m_state.newRescueMailInput.clear();
    if (m_rescueMailField)
        m_rescueMailField->reload();
}
