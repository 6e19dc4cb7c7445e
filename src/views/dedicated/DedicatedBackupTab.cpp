#include "views/dedicated/DedicatedBackupTab.h"

#include "model/Records.h"
#include "model/Text.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;
using theme::TextStyle;
using theme::Tint;
using theme::Weight;

QList<HalvoSpecTile::Spec> storageTiles(const HalvoServer& server) {
    QList<HalvoSpecTile::Spec> tiles;
    // The chip copies silently: the storage name is no secret worth a status sentence.
    tiles.append({QStringLiteral("Backup-Storage Server"),
                  server.backupFTPName,
                  QStringLiteral("Status: Aktiviert"),
                  QStringLiteral("externaldrive.fill.badge.checkmark"),
                  Tint::green,
                  server.backupFTPName,
                  {}});
    if (server.backupFTPQuotaGB >= 1) {
        tiles.append(
            {QStringLiteral("Speicher-Kontingent (Quota)"),
             QString::number(server.backupFTPQuotaGB) + QStringLiteral(" GB"),
             QString(QStringLiteral("Belegt: ") + QString::number(server.backupFTPUsedGB) + QStringLiteral(" GB")),
             QStringLiteral("chart.pie.fill"),
             Tint::blue,
             std::nullopt,
             {}});
    }
    tiles.append({QStringLiteral("Protokolle"),
                  QStringLiteral("NFSv4 • CIFS/SMB • FTP"),
                  QStringLiteral("Interner Halvo-Backbone"),
                  QStringLiteral("bolt.horizontal.fill"),
                  Tint::teal,
                  std::nullopt,
                  {}});
    return tiles;
}

void confirmPasswordReset(AppStateStore& store, const HalvoServer& server) {
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Neues Backup-FTP Passwort generieren?");
    request.message = QStringLiteral("Soll das Passwort für den Backup-Storage '") + server.backupFTPName +
                      QStringLiteral("' zurückgesetzt und an deine Halvo Account-E-Mail gesendet werden?");
    request.warningDetails = QStringLiteral("Bestehende Backup-Skripte oder Mounts, die das alte Passwort nutzen, "
                                            "müssen danach aktualisiert werden.");
    request.confirmButtonTitle = QStringLiteral("Passwort jetzt zurücksetzen");
    request.variant = HalvoButtonVariant::warning;
    request.action = [&store, name = server.name] {
        store.performDedicatedServerAction(name, AppStateStore::DedicatedServerAction::resetBackupFTPPassword);
    };
    store.requestConfirmation(std::move(request));
}

QWidget* accessRow(const QString& block) {
    QFrame* row = halvo::ui::listRow(8, 8);
    row->setProperty("accessBlock", block);
    auto* layout = static_cast<QHBoxLayout*>(row->layout());
    layout->addWidget(theme::symbol(QStringLiteral("checkmark.shield.fill"), TextStyle::caption, Tint::green));
    layout->addWidget(HalvoElidedLabel::make(block, TextStyle::caption, Weight::bold, Tint::primary, true));
    layout->addStretch(1);
    layout->addWidget(new HalvoStatusBadge(QStringLiteral("FTP + NFS + CIFS"), Tint::blue));
    return row;
}

} // namespace

std::optional<QString> dedicatedBackupGrantBlock(const QString& input, const QString& serverIp) {
    const QString typed = halvo::trimmed(input);
    if (!typed.isEmpty())
        return typed;
    // Without an address of its own the server has nothing to stand in for the empty field.
    if (serverIp.isEmpty() || serverIp == kNoValue)
        return std::nullopt;
    return serverIp + QStringLiteral("/32");
}

namespace {

HalvoSectionCard* backupCard(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server) {
    auto* card = new HalvoSectionCard(QStringLiteral("Halvo Backup Storage FTP / NFS / CIFS (/features/backupFTP)"),
                                      QString(QStringLiteral("Aktiver Backup-Speicher für ") + server.name),
                                      QStringLiteral("externaldrive.badge.timemachine"), Tint::blue);
    card->setObjectName(QStringLiteral("backupStorageCard"));

    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(14);

    auto* tiles = new QHBoxLayout;
    tiles->setSpacing(16);
    for (const HalvoSpecTile::Spec& spec : storageTiles(server))
        tiles->addWidget(new HalvoSpecTile(spec), 1, Qt::AlignTop);
    layout->addLayout(tiles);

    auto* passwordRow = new QHBoxLayout;
    passwordRow->setSpacing(12);
    auto* passwordButton = new HalvoActionButton(QStringLiteral("Neues Backup-FTP Passwort anfordern"),
                                                 HalvoButtonVariant::warning, true, QStringLiteral("key.fill"));
    QObject::connect(passwordButton, &QPushButton::clicked, passwordButton,
                     [&store, server] { confirmPasswordReset(store, server); });
    passwordRow->addWidget(passwordButton);
    passwordRow->addStretch(1);
    layout->addLayout(passwordRow);

    layout->addWidget(halvo::ui::divider());
    layout->addWidget(HalvoElidedLabel::make(QStringLiteral("Zugriffs-Berechtigungen (IP-ACLs für NFS / CIFS / FTP):"),
                                             TextStyle::subheadline, Weight::bold));

    auto* grantRow = new QHBoxLayout;
    grantRow->setSpacing(10);
    auto* blockField = new HalvoFormTextField(QStringLiteral("Zugriff für IP-Block freischalten (z.B. ") + server.ip +
                                                  QStringLiteral("/32)"),
                                              &state.backupACLBlockInput);
    blockField->setObjectName(QStringLiteral("backupACLBlockInput"));
    grantRow->addWidget(blockField, 1);
    auto* grantButton = new HalvoActionButton(QStringLiteral("IP-Block für Backup-FTP/NFS freigeben"),
                                              HalvoButtonVariant::primary, true);
    QObject::connect(grantButton, &QPushButton::clicked, grantButton,
                     [&state, &store, name = server.name, ip = server.ip, field = QPointer(blockField)] {
                         const std::optional<QString> block = dedicatedBackupGrantBlock(state.backupACLBlockInput, ip);
                         if (!block)
                             return;
                         store.addBackupFTPAccess(name, *block);
                         state.backupACLBlockInput.clear();
                         // A block granted before changes no record, so nothing rebuilds the field.
                         if (field)
                             field->reload();
                     });
    grantRow->addWidget(grantButton);
    halvo::ui::submitOnReturn({blockField}, grantButton);
    layout->addLayout(grantRow);

    for (const QString& block : server.backupFTPAccessBlocks)
        layout->addWidget(accessRow(block));

    card->addContent(column);
    return card;
}

} // namespace

DedicatedBackupTab::DedicatedBackupTab(AppStateStore& store, DedicatedServersState& state, const HalvoServer& server,
                                       QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (server.backupFTPAvailable)
        layout->addWidget(backupCard(store, state, server));
}
