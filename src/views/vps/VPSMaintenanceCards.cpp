#include "views/vps/VPSMaintenanceCards.h"

#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/FormKeys.h"
#include "ui/HalvoFlowLayout.h"
#include "ui/Theme.h"
#include "views/vps/VPSRoundedPanel.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

} // namespace

VPSMaintenanceCards::VPSMaintenanceCards(AppStateStore& store, VPSState& state, const HalvoVPS& vps,
                                         const QStringList& images, QWidget* parent)
    : QWidget(parent)
    , m_store(store)
    , m_state(state) {
    setObjectName(QStringLiteral("vpsSnapshotAndRebuildRow"));
    auto* cardsRow = new QHBoxLayout(this);
    cardsRow->setContentsMargins(0, 0, 0, 0);
    cardsRow->setSpacing(16);
    // Without an alignment of their own, the cards take the height their wrapped rows need at their width.
    cardsRow->addWidget(buildSnapshotCard(vps), 1);
    cardsRow->addWidget(buildRebuildCard(vps, images), 1);
}

QWidget* VPSMaintenanceCards::buildSnapshotCard(const HalvoVPS& vps) {
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
        QLabel* description = HalvoWrappingLabel::make(
            QStringLiteral("Vorhandener Snapshot: ") % *vps.snapshotDescription, TextStyle::subheadline, Weight::bold);
        lines->addWidget(description);
        lines->addWidget(HalvoElidedLabel::make(QStringLiteral("Erstellt am: ") %
                                                    vps.snapshotCreationDate.value_or(QStringLiteral("Aktiv")),
                                                TextStyle::caption, Weight::regular, Tint::secondary));
        card->addContent(box);
    }

    // The note and its button; the button moves onto a further line where the card is short.
    auto* createRow = new HalvoFlowLayout(nullptr, 8, 8);
    createRow->setContentsMargins(0, 0, 0, 0);
    auto* note = new HalvoFormTextField(QStringLiteral("Snapshot-Beschreibung"), &m_state.snapshotNote);
    note->setObjectName(QStringLiteral("vpsSnapshotNoteField"));
    createRow->addWidget(note);
    auto* create = new HalvoActionButton(QStringLiteral("Snapshot erstellen"), HalvoButtonVariant::primary, true);
    // The note goes to the provider as typed, an empty one as well, and stays in the field for the next one.
    connect(create, &QPushButton::clicked, this,
            [this, name = vps.name] { m_store.createVPSSnapshot(name, m_state.snapshotNote); });
    createRow->addWidget(create);
    halvo::ui::submitOnReturn(createRow, create);
    card->addContent(createRow);

    if (vps.snapshotDescription) {
        auto* revert = new HalvoActionButton(QStringLiteral("VPS auf diesen Snapshot zurücksetzen (Revert)..."),
                                             HalvoButtonVariant::warning, true);
        connect(revert, &QPushButton::clicked, this, [this, name = vps.name] { Q_EMIT snapshotRevertRequested(name); });
        auto* revertRow = new QHBoxLayout;
        revertRow->addWidget(revert);
        revertRow->addStretch();
        card->addContent(revertRow);
    }
    return card;
}

QWidget* VPSMaintenanceCards::buildRebuildCard(const HalvoVPS& vps, const QStringList& images) {
    auto* card = new HalvoSectionCard(
        QStringLiteral("OS Neuinstallation / Rebuild (/vps/") % vps.name % QStringLiteral("/rebuild)"),
        QStringLiteral("Installiert die VPS mit einem frischen Cloud-Image neu (mit Sicherheits-Rückfrage)"),
        QStringLiteral("opticaldisc.fill"), Tint::purple);
    card->setObjectName(QStringLiteral("vpsRebuildCard"));

    // The picker moves below its label where the card is short.
    auto* imageRow = new HalvoFlowLayout(nullptr, 8, 6);
    imageRow->setContentsMargins(0, 0, 0, 0);
    imageRow->addWidget(HalvoElidedLabel::make(QStringLiteral("OS Image:"), TextStyle::caption, Weight::bold));
    auto* picker = new QComboBox;
    picker->setObjectName(QStringLiteral("vpsReinstallImagePicker"));
    picker->addItems(images);
    picker->setCurrentIndex(int(images.indexOf(m_state.selectedReinstallOS)));
    // Connected after filling, so building the picker never overwrites the chosen image.
    connect(picker, &QComboBox::currentTextChanged, this, [this](const QString& image) {
        if (!image.isEmpty())
            m_state.selectedReinstallOS = image;
    });
    imageRow->addWidget(picker);
    card->addContent(imageRow);

    auto* sshKey = new HalvoFormTextField(QStringLiteral("Optionaler SSH Public Key (ssh-ed25519 / ssh-rsa...)"),
                                          &m_state.sshKeyInput);
    sshKey->setObjectName(QStringLiteral("vpsSshKeyField"));
    card->addContent(sshKey);

    auto* buttonRow = new HalvoFlowLayout(nullptr, 8, 8);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    auto* rebuild = new HalvoActionButton(QStringLiteral("OS Image neu installieren..."), HalvoButtonVariant::danger,
                                          true, QStringLiteral("externaldrive.fill.badge.plus"));
    connect(rebuild, &QPushButton::clicked, this, [this, name = vps.name] { Q_EMIT rebuildRequested(name); });
    buttonRow->addWidget(rebuild);
    halvo::ui::submitOnReturn({sshKey}, rebuild);
    card->addContent(buttonRow);
    return card;
}
