// The snapshot card and the reinstallation card of the VPS detail, with their confirmations.

#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/Theme.h"
#include "views/vps/VPSRoundedPanel.h"
#include "views/vps/VPSView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

} // namespace

QWidget* VPSView::buildSnapshotCard(const HalvoVPS& vps) {
    auto* card =
        new HalvoSectionCard(QStringLiteral("Snapshot-Manager (/vps/") % vps.name % QStringLiteral("/snapshot)"),
                             QStringLiteral("Sichere den kompletten Festplatten-Zustand vor Updates"),
                             QStringLiteral("camera.aperture"), Tint::blue);
    card->setObjectName(QStringLiteral("vpsSnapshotCard"));

    if (vps.snapshotDescription) {
        auto* box = new VPSRoundedPanel(halvo::theme::color(Tint::green, 0.1), 8);
        box->setObjectName(QStringLiteral("vpsSnapshotBox"));
        auto* lines = new QVBoxLayout(box);
        lines->setContentsMargins(10, 10, 10, 10);
        lines->setSpacing(4);
        QLabel* description = halvo::theme::label(QStringLiteral("Vorhandener Snapshot: ") % *vps.snapshotDescription,
                                                  TextStyle::subheadline, Weight::bold);
        description->setWordWrap(true);
        lines->addWidget(description);
        lines->addWidget(halvo::theme::label(QStringLiteral("Erstellt am: ") %
                                                 vps.snapshotCreationDate.value_or(QStringLiteral("Aktiv")),
                                             TextStyle::caption, Weight::regular, Tint::secondary));
        card->addContent(box);
    }

    auto* createRow = new QHBoxLayout;
    createRow->setSpacing(8);
    auto* note = new HalvoFormTextField(QStringLiteral("Snapshot-Beschreibung"), &m_state.snapshotNote);
    note->setObjectName(QStringLiteral("vpsSnapshotNoteField"));
    createRow->addWidget(note, 1, Qt::AlignVCenter);
    auto* create = new HalvoActionButton(QStringLiteral("Snapshot erstellen"), HalvoButtonVariant::primary, true);
    // The note goes to the provider as typed, an empty one as well, and stays in the field for the next one.
    connect(create, &QPushButton::clicked, this,
            [this, name = vps.name] { m_store.createVPSSnapshot(name, m_state.snapshotNote); });
    createRow->addWidget(create, 0, Qt::AlignVCenter);
    card->addContent(createRow);

    if (vps.snapshotDescription) {
        auto* revert = new HalvoActionButton(QStringLiteral("VPS auf diesen Snapshot zurücksetzen (Revert)..."),
                                             HalvoButtonVariant::warning, true);
        connect(revert, &QPushButton::clicked, this, [this, name = vps.name] {
            if (const auto current = currentVPS(name); current && current->snapshotDescription)
                confirmSnapshotRevert(*current);
        });
        auto* revertRow = new QHBoxLayout;
        revertRow->addWidget(revert);
        revertRow->addStretch();
        card->addContent(revertRow);
    }
    return card;
}

QWidget* VPSView::buildRebuildCard(const HalvoVPS& vps) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("OS Neuinstallation / Rebuild (/vps/") % vps.name % QStringLiteral("/rebuild)"),
        QStringLiteral("Installiert die VPS mit einem frischen Cloud-Image neu (mit Sicherheits-Rückfrage)"),
        QStringLiteral("opticaldisc.fill"), Tint::purple);
    card->setObjectName(QStringLiteral("vpsRebuildCard"));

    auto* imageRow = new QHBoxLayout;
    imageRow->setSpacing(8);
    imageRow->addWidget(halvo::theme::label(QStringLiteral("OS Image:"), TextStyle::caption, Weight::bold), 0,
                        Qt::AlignVCenter);
    auto* picker = new QComboBox;
    picker->setObjectName(QStringLiteral("vpsReinstallImagePicker"));
    picker->addItems(m_availableImages);
    picker->setCurrentIndex(int(m_availableImages.indexOf(m_state.selectedReinstallOS)));
    // Connected after filling, so building the picker never overwrites the chosen image.
    connect(picker, &QComboBox::currentTextChanged, this, [this](const QString& image) {
        if (!image.isEmpty())
            m_state.selectedReinstallOS = image;
    });
    imageRow->addWidget(picker, 0, Qt::AlignVCenter);
    imageRow->addStretch();
    card->addContent(imageRow);

    auto* sshKey = new HalvoFormTextField(QStringLiteral("Optionaler SSH Public Key (ssh-ed25519 / ssh-rsa...)"),
                                          &m_state.sshKeyInput);
    sshKey->setObjectName(QStringLiteral("vpsSshKeyField"));
    card->addContent(sshKey);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    auto* rebuild = new HalvoActionButton(QStringLiteral("OS Image neu installieren..."), HalvoButtonVariant::danger,
                                          true, QStringLiteral("externaldrive.fill.badge.plus"));
    connect(rebuild, &QPushButton::clicked, this, [this, name = vps.name] {
        if (const auto current = currentVPS(name))
            confirmRebuild(*current);
    });
    buttonRow->addWidget(rebuild);
    card->addContent(buttonRow);
    return card;
}

void VPSView::confirmSnapshotRevert(const HalvoVPS& vps) {
    const QString description = vps.snapshotDescription.value_or(QString());
    HalvoConfirmRequest request;
    request.title = QStringLiteral("VPS '") % vps.displayName % QStringLiteral("' auf Snapshot zurücksetzen?");
    request.message = QStringLiteral("Möchtest du die Festplatte von '") % vps.name %
                      QStringLiteral("' auf den Snapshot '") % description % QStringLiteral("' (") %
                      vps.snapshotCreationDate.value_or(QString()) % QStringLiteral(") zurücksetzen?");
    request.warningDetails = QStringLiteral("ACHTUNG: Alle Änderungen und Daten, die seit der Erstellung dieses "
                                            "Snapshots auf der VPS gespeichert wurden, gehen unwiderruflich verloren!");
    request.confirmButtonTitle = QStringLiteral("Snapshot jetzt wiederherstellen");
    request.variant = HalvoButtonVariant::danger;
    request.action = [&store = m_store, name = vps.name] {
        store.setLastActionMessage(QStringLiteral("VPS ") % name % QStringLiteral(": Snapshot-Restore via POST /vps/") %
                                   name % QStringLiteral("/snapshot/revert gestartet."));
    };
    m_store.requestConfirmation(std::move(request));
}

void VPSView::confirmRebuild(const HalvoVPS& vps) {
    // The image is the one chosen at the press; the typed SSH key is not part of what is confirmed.
    const QString image = m_state.selectedReinstallOS;
    HalvoConfirmRequest request;
    request.title = QStringLiteral("VPS '") % vps.displayName % QStringLiteral("' komplett neu installieren?");
    request.message = QStringLiteral("Du bist dabei, das Image '") % image % QStringLiteral("' auf der VPS '") %
                      vps.name % QStringLiteral("' (") % vps.ipv4 % QStringLiteral(") neu zu installieren.");
    request.warningDetails = QStringLiteral("ACHTUNG DATENVERLUST: Die gesamte NVMe-Systempartition von ") % vps.name %
                             QStringLiteral(" wird formatiert. Alle bestehenden Daten werden gelöscht!");
    request.confirmButtonTitle = QStringLiteral("VPS unwiderruflich neu installieren");
    request.variant = HalvoButtonVariant::danger;
    request.requireTypedConfirmation = vps.name;
    request.action = [&store = m_store, name = vps.name, image] {
        store.setLastActionMessage(QStringLiteral("VPS ") % name % QStringLiteral(": Rebuild mit '") % image %
                                   QStringLiteral("' bestätigt und ausgelöst (POST /vps/") % name %
                                   QStringLiteral("/rebuild)."));
    };
    m_store.requestConfirmation(std::move(request));
}
