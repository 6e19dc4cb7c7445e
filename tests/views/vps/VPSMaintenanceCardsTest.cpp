// The snapshot and reinstallation cards of the VPS detail: what they offer for each VPS, the snapshot
// request, the two confirmations and the input state that outlives a change of the shown VPS.

#include "VPSTestSupport.h"
#include "store/AppStateStore.h"
#include "ui/HalvoConfirmationSheet.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace halvo::test;
using namespace halvo::test::vps;

namespace {

const QString kName = QStringLiteral("vps-5e6f7a8b.vps.example.net");
const QString kCreate = QStringLiteral("Snapshot erstellen");
const QString kRevert = QStringLiteral("VPS auf diesen Snapshot zurücksetzen (Revert)...");
const QString kRebuild = QStringLiteral("OS Image neu installieren...");

HalvoVPS cardVPS(std::optional<QString> description = std::nullopt, std::optional<QString> created = std::nullopt) {
    HalvoVPS vps = makeVPS(kName, QStringLiteral("Shop Backend"));
    vps.ipv4 = QStringLiteral("198.51.100.44");
    vps.snapshotDescription = std::move(description);
    vps.snapshotCreationDate = std::move(created);
    return vps;
}

QWidget* card(const ShownVPSView& shown, const char* objectName) {
    return shown.content() ? shown.content()->findChild<QWidget*>(QString::fromLatin1(objectName)) : nullptr;
}

QLineEdit* field(const ShownVPSView& shown, const char* objectName) {
    auto* form =
        shown.content() ? shown.content()->findChild<HalvoFormTextField*>(QString::fromLatin1(objectName)) : nullptr;
    return form ? form->lineEdit() : nullptr;
}

QComboBox* imagePicker(const ShownVPSView& shown) {
    return shown.content() ? shown.content()->findChild<QComboBox*>(QStringLiteral("vpsReinstallImagePicker"))
                           : nullptr;
}

void retype(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

void clickRow(VPSView& view, int row) {
    QListView* list = view.frame()->listView();
    const QModelIndex index = list->model()->index(row, 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
    settle();
}

} // namespace

TEST(VPSSnapshotCard, ShowsTheStoredSnapshotAndOffersRevertOnlyWithOne) {
    struct Case {
        const char* label;
        std::optional<QString> description;
        std::optional<QString> created;
        QStringList boxLines; // empty: no box
        bool snapshotSupported;
    };
    const Case cases[] = {
        {"no snapshot", std::nullopt, std::nullopt, {}, true},
        // A date alone is no snapshot the card can offer to revert to.
        {"date without description", std::nullopt, QStringLiteral("2025-03-02 04:05 UTC"), {}, true},
        {"snapshot with date",
         QStringLiteral("Vor Kernel-Update"),
         QStringLiteral("2025-03-02 04:05 UTC"),
         {QStringLiteral("Vorhandener Snapshot: Vor Kernel-Update"),
          QStringLiteral("Erstellt am: 2025-03-02 04:05 UTC")},
         true},
        {"snapshot without date",
         QStringLiteral("Nightly"),
         std::nullopt,
         {QStringLiteral("Vorhandener Snapshot: Nightly"), QStringLiteral("Erstellt am: Aktiv")},
         false},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.label);
        HalvoVPS vps = cardVPS(testCase.description, testCase.created);
        vps.snapshotSupported = testCase.snapshotSupported;
        ShownVPSView shown({vps});
        QWidget* snapshotCard = card(shown, "vpsSnapshotCard");
        ASSERT_NE(snapshotCard, nullptr);
        EXPECT_TRUE(
            hasLabel(snapshotCard, QStringLiteral("Snapshot-Manager (/vps/vps-5e6f7a8b.vps.example.net/snapshot)")));

        QWidget* box = snapshotCard->findChild<QWidget*>(QStringLiteral("vpsSnapshotBox"));
        if (testCase.boxLines.isEmpty()) {
            EXPECT_EQ(box, nullptr);
            EXPECT_FALSE(hasLabelContaining(snapshotCard, QStringLiteral("Vorhandener Snapshot")));
            EXPECT_FALSE(hasButton(snapshotCard, kRevert));
        } else {
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(labelTexts(box), testCase.boxLines);
            auto* revert = qobject_cast<HalvoActionButton*>(buttonWithText(snapshotCard, kRevert));
            ASSERT_NE(revert, nullptr);
            EXPECT_EQ(revert->variant(), HalvoButtonVariant::warning);
            EXPECT_TRUE(revert->isSmall());
        }
        // Creating is offered for every VPS, whether the provider marks snapshots as supported or not.
        auto* create = qobject_cast<HalvoActionButton*>(buttonWithText(snapshotCard, kCreate));
        ASSERT_NE(create, nullptr);
        EXPECT_TRUE(create->isEnabled());
        EXPECT_EQ(create->variant(), HalvoButtonVariant::primary);
    }
}

TEST(VPSSnapshotCard, CreatingSendsTheNoteAsTypedAndShowsTheSnapshotAtOnce) {
    struct Case {
        const char* label;
        std::optional<QString> typed; // none: the default note is kept
        QString expected;
    };
    const Case cases[] = {
        {"default note", std::nullopt, QStringLiteral("Pre-Maintenance Snapshot")},
        {"blanks kept", QStringLiteral("  vor Umzug "), QStringLiteral("  vor Umzug ")},
        {"empty note", QString(), QString()},
    };
    const QRegularExpression utcTime(QStringLiteral("^\\d{4}-\\d{2}-\\d{2} \\d{2}:\\d{2} UTC$"));
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.label);
        ShownVPSView shown({cardVPS()});
        QLineEdit* note = field(shown, "vpsSnapshotNoteField");
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->text(), QStringLiteral("Pre-Maintenance Snapshot"));
        if (testCase.typed)
            retype(note, *testCase.typed);
        EXPECT_FALSE(hasButton(shown.content(), kRevert));

        click(shown.button(kCreate));
        EXPECT_FALSE(shown.store().pendingConfirmation().has_value());
        const HalvoVPS stored = shown.stored(kName);
        EXPECT_EQ(stored.snapshotDescription, std::optional<QString>(testCase.expected));
        ASSERT_TRUE(stored.snapshotCreationDate.has_value());
        EXPECT_TRUE(utcTime.match(*stored.snapshotCreationDate).hasMatch())
            << stored.snapshotCreationDate->toStdString();
        EXPECT_EQ(shown.store().lastActionMessage(),
                  QStringLiteral("VPS vps-5e6f7a8b.vps.example.net: Snapshot '") + testCase.expected +
                      QStringLiteral("' angefordert (POST /vps/vps-5e6f7a8b.vps.example.net/createSnapshot)."));

        // The box and the revert button follow at once; the note stays for the next snapshot.
        QWidget* box = card(shown, "vpsSnapshotBox");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(labelTexts(box), (QStringList{QStringLiteral("Vorhandener Snapshot: ") + testCase.expected,
                                                QStringLiteral("Erstellt am: ") + *stored.snapshotCreationDate}));
        EXPECT_TRUE(hasButton(shown.content(), kRevert));
        EXPECT_EQ(shown.view->state().snapshotNote, testCase.expected);
        ASSERT_NE(field(shown, "vpsSnapshotNoteField"), nullptr);
        EXPECT_EQ(field(shown, "vpsSnapshotNoteField")->text(), testCase.expected);
    }
}

TEST(VPSSnapshotCard, RevertAsksFirstAndThenOnlyReports) {
    struct Case {
        const char* label;
        std::optional<QString> created;
        QString message;
    };
    const Case cases[] = {
        {"with date", QStringLiteral("2025-01-02 03:04 UTC"),
         QStringLiteral("Möchtest du die Festplatte von 'vps-5e6f7a8b.vps.example.net' auf den Snapshot 'Vor "
                        "Update' (2025-01-02 03:04 UTC) zurücksetzen?")},
        {"without date", std::nullopt,
         QStringLiteral("Möchtest du die Festplatte von 'vps-5e6f7a8b.vps.example.net' auf den Snapshot 'Vor "
                        "Update' () zurücksetzen?")},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.label);
        ShownVPSView shown({cardVPS(QStringLiteral("Vor Update"), testCase.created)});
        const QList<HalvoVPS> before = shown.store().activeSnapshot().vpsList;
        const QString messageBefore = shown.store().lastActionMessage();

        click(shown.button(kRevert));
        ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
        const HalvoConfirmRequest request = *shown.store().pendingConfirmation();
        EXPECT_EQ(request.title, QStringLiteral("VPS 'Shop Backend' auf Snapshot zurücksetzen?"));
        EXPECT_EQ(request.message, testCase.message);
        EXPECT_EQ(request.warningDetails,
                  std::optional<QString>(QStringLiteral(
                      "ACHTUNG: Alle Änderungen und Daten, die seit der Erstellung dieses Snapshots auf der VPS "
                      "gespeichert wurden, gehen unwiderruflich verloren!")));
        EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("Snapshot jetzt wiederherstellen"));
        EXPECT_EQ(request.variant, HalvoButtonVariant::danger);
        EXPECT_FALSE(request.requireTypedConfirmation.has_value());
        EXPECT_EQ(shown.store().lastActionMessage(), messageBefore);

        click(shown.button(kRevert));
        ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
        EXPECT_NE(shown.store().pendingConfirmation()->id, request.id);

        // Confirmed after the view is gone, it still reports; the snapshot itself is untouched.
        shown.view.reset();
        request.action();
        EXPECT_EQ(shown.store().lastActionMessage(),
                  QStringLiteral("VPS vps-5e6f7a8b.vps.example.net: Snapshot-Restore via POST "
                                 "/vps/vps-5e6f7a8b.vps.example.net/snapshot/revert gestartet."));
        EXPECT_EQ(shown.store().activeSnapshot().vpsList, before);
    }
}

TEST(VPSRebuildCard, OffersTheImagesAndConfirmsTheOneChosenAtThePress) {
    ShownVPSView shown({cardVPS()});
    QWidget* rebuildCard = card(shown, "vpsRebuildCard");
    ASSERT_NE(rebuildCard, nullptr);
    EXPECT_TRUE(hasLabel(rebuildCard,
                         QStringLiteral("OS Neuinstallation / Rebuild (/vps/vps-5e6f7a8b.vps.example.net/rebuild)")));

    QComboBox* picker = imagePicker(shown);
    ASSERT_NE(picker, nullptr);
    QStringList offered;
    for (int i = 0; i < picker->count(); ++i)
        offered.append(picker->itemText(i));
    EXPECT_EQ(offered, shown.view->availableImages());
    EXPECT_EQ(offered.size(), 8);
    EXPECT_EQ(picker->currentText(), QStringLiteral("Debian 12 (Bookworm) 64-bit"));

    auto* rebuild = qobject_cast<HalvoActionButton*>(buttonWithText(rebuildCard, kRebuild));
    ASSERT_NE(rebuild, nullptr);
    EXPECT_EQ(rebuild->variant(), HalvoButtonVariant::danger);

    // Choose an image through the picker's keyboard, as a user would, and type a key.
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Down);
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(shown.view->state().selectedReinstallOS, QStringLiteral("AlmaLinux 9 64-bit"));
    const QString key = QStringLiteral("ssh-ed25519 AAAAC3NzaC1lZDI1NTE5AAAAIGeheim user@host");
    QLineEdit* sshField = field(shown, "vpsSshKeyField");
    ASSERT_NE(sshField, nullptr);
    QTest::keyClicks(sshField, key);
    EXPECT_EQ(shown.view->state().sshKeyInput, key);

    const QList<HalvoVPS> before = shown.store().activeSnapshot().vpsList;
    const QString messageBefore = shown.store().lastActionMessage();
    click(rebuild);
    ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
    const HalvoConfirmRequest request = *shown.store().pendingConfirmation();
    EXPECT_EQ(request.title, QStringLiteral("VPS 'Shop Backend' komplett neu installieren?"));
    EXPECT_EQ(request.message, QStringLiteral("Du bist dabei, das Image 'AlmaLinux 9 64-bit' auf der VPS "
                                              "'vps-5e6f7a8b.vps.example.net' (198.51.100.44) neu zu installieren."));
    EXPECT_EQ(request.warningDetails,
              std::optional<QString>(QStringLiteral("ACHTUNG DATENVERLUST: Die gesamte NVMe-Systempartition von "
                                                    "vps-5e6f7a8b.vps.example.net wird formatiert. Alle bestehenden "
                                                    "Daten werden gelöscht!")));
    EXPECT_EQ(request.confirmButtonTitle, QStringLiteral("VPS unwiderruflich neu installieren"));
    EXPECT_EQ(request.variant, HalvoButtonVariant::danger);
    EXPECT_EQ(request.requireTypedConfirmation, std::optional<QString>(kName));
    EXPECT_EQ(shown.store().lastActionMessage(), messageBefore);

    // A later choice does not change what was asked.
    QTest::keyClick(picker, Qt::Key_Down);
    EXPECT_EQ(shown.view->state().selectedReinstallOS, QStringLiteral("Rocky Linux 9 64-bit"));
    request.action();
    const QString reported = shown.store().lastActionMessage();
    EXPECT_EQ(reported, QStringLiteral("VPS vps-5e6f7a8b.vps.example.net: Rebuild mit 'AlmaLinux 9 64-bit' bestätigt "
                                       "und ausgelöst (POST /vps/vps-5e6f7a8b.vps.example.net/rebuild)."));
    // The key is kept in the field but is part of nothing that is asked or reported.
    for (const QString& text : {request.title, request.message, *request.warningDetails, reported})
        EXPECT_FALSE(text.contains(QStringLiteral("AAAAC3"))) << text.toStdString();
    EXPECT_EQ(shown.store().activeSnapshot().vpsList, before);
    EXPECT_EQ(shown.view->state().sshKeyInput, key);
}

TEST(VPSRebuildCard, ConfirmationSheetWaitsForTheTypedName) {
    ShownVPSView shown({cardVPS()});
    HalvoConfirmationPresenter presenter(shown.store(), shown.view.get());
    const QString messageBefore = shown.store().lastActionMessage();

    click(shown.button(kRebuild));
    HalvoConfirmationSheet* sheet = presenter.sheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_NE(sheet->typedConfirmationField(), nullptr);
    EXPECT_FALSE(sheet->canConfirm());

    // A part of the name, or the display name, is not enough.
    QTest::keyClicks(sheet->typedConfirmationField(), QStringLiteral("vps-5e6f7a8b"));
    EXPECT_FALSE(sheet->canConfirm());
    click(sheet->confirmButton());
    EXPECT_EQ(shown.store().lastActionMessage(), messageBefore);

    QTest::keyClicks(sheet->typedConfirmationField(), QStringLiteral(".vps.example.net"));
    EXPECT_TRUE(sheet->canConfirm());
    click(sheet->confirmButton());
    settle();
    EXPECT_EQ(shown.store().lastActionMessage(),
              QStringLiteral("VPS vps-5e6f7a8b.vps.example.net: Rebuild mit 'Debian 12 (Bookworm) 64-bit' bestätigt "
                             "und ausgelöst (POST /vps/vps-5e6f7a8b.vps.example.net/rebuild)."));
}

TEST(VPSMaintenanceCards, InputsBelongToTheViewNotToTheShownVPS) {
    HalvoVPS second = makeVPS(QStringLiteral("vps-second.example.net"), QStringLiteral("Zweite"));
    second.ipv4 = QStringLiteral("192.0.2.61");
    ShownVPSView shown({cardVPS(), second});

    retype(field(shown, "vpsSnapshotNoteField"), QStringLiteral("Vor Migration"));
    QTest::keyClicks(field(shown, "vpsSshKeyField"), QStringLiteral("ssh-rsa AAAAB3 admin"));
    imagePicker(shown)->setCurrentIndex(5);

    clickRow(*shown.view, 1);
    ASSERT_EQ(shown.view->selectedVPS()->name, second.name);
    EXPECT_EQ(shown.view->state().snapshotNote, QStringLiteral("Vor Migration"));
    EXPECT_EQ(shown.view->state().sshKeyInput, QStringLiteral("ssh-rsa AAAAB3 admin"));
    EXPECT_EQ(shown.view->state().selectedReinstallOS, QStringLiteral("Docker Engine on Ubuntu 24.04"));
    // The new detail shows the same inputs.
    EXPECT_TRUE(hasLabel(shown.content(), QStringLiteral("Snapshot-Manager (/vps/vps-second.example.net/snapshot)")));
    EXPECT_EQ(field(shown, "vpsSnapshotNoteField")->text(), QStringLiteral("Vor Migration"));
    EXPECT_EQ(field(shown, "vpsSshKeyField")->text(), QStringLiteral("ssh-rsa AAAAB3 admin"));
    EXPECT_EQ(imagePicker(shown)->currentText(), QStringLiteral("Docker Engine on Ubuntu 24.04"));

    // The actions take the VPS shown now.
    click(shown.button(kRebuild));
    ASSERT_TRUE(shown.store().pendingConfirmation().has_value());
    EXPECT_EQ(shown.store().pendingConfirmation()->requireTypedConfirmation, std::optional<QString>(second.name));
    click(shown.button(kCreate));
    EXPECT_EQ(shown.stored(second.name).snapshotDescription, std::optional<QString>(QStringLiteral("Vor Migration")));
    EXPECT_FALSE(shown.stored(kName).snapshotDescription.has_value());

    // A view built anew starts from the defaults again.
    VPSView fresh(shown.store());
    EXPECT_EQ(fresh.state().snapshotNote, QStringLiteral("Pre-Maintenance Snapshot"));
    EXPECT_EQ(fresh.state().selectedReinstallOS, QStringLiteral("Debian 12 (Bookworm) 64-bit"));
    EXPECT_TRUE(fresh.state().sshKeyInput.isEmpty());
}
