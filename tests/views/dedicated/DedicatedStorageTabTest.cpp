// The tab "Disks, RAID & OS-Install": disk-group rows, the two pickers and fields bound to the view's
// state, and the typed confirmation of a reinstallation.

#include "views/dedicated/DedicatedStorageTab.h"

#include "DedicatedViewFixture.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"
#include "ui/HalvoConfirmationSheet.h"

#include <QComboBox>
#include <QLineEdit>

namespace halvo::test {
namespace {

constexpr int kStorageTabIndex = 3;
const QString kStartTitle = QStringLiteral("Bare-Metal OS-Neuinstallation vorbereiten...");

HalvoServerDiskGroup diskGroup(qint64 id, const QString& description, qint64 disks, qint64 sizeGB) {
    HalvoServerDiskGroup group;
    group.diskGroupId = id;
    group.description = description;
    group.diskType = QStringLiteral("NVMe");
    group.numberOfDisks = disks;
    group.diskSizeGB = sizeGB;
    group.raidController = QStringLiteral("SoftRaid");
    return group;
}

QList<QFrame*> diskRows(QWidget* content) {
    auto* card = findNamed<HalvoSectionCard>(content, QStringLiteral("diskGroupsCard"));
    return card ? card->findChildren<QFrame*>(QStringLiteral("halvoListRow")) : QList<QFrame*>{};
}

QComboBox* picker(DedicatedView& v, const char* name) {
    auto* result = findNamed<QComboBox>(v.content(), QString::fromUtf8(name));
    EXPECT_NE(result, nullptr) << name;
    return result;
}

QLineEdit* fieldEdit(DedicatedView& v, const char* name) {
    auto* field = findNamed<HalvoFormTextField>(v.content(), QString::fromUtf8(name));
    EXPECT_NE(field, nullptr) << name;
    return field ? field->lineEdit() : nullptr;
}

/// Moves the picker one entry down with the keyboard, as a user would.
void pickNext(QComboBox* combo) {
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    settle();
}

TEST(DedicatedStorageTab, DiskGroupsAreRowsInListOrderEachOnline) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.state = QStringLiteral("error"); // the badge does not follow the server's state
    server.diskGroups = {diskGroup(3, QStringLiteral("System-NVMe"), 2, 960),
                         diskGroup(1, QStringLiteral("Datengrab"), 4, 16000)};
    server.diskGroups[1].diskType = QStringLiteral("HDD SATA");
    server.diskGroups[1].raidController = QStringLiteral("MegaRAID 9460");
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(kStorageTabIndex);
    ASSERT_EQ(v.view->shownTab(), DedicatedServerTab::storageInstall);

    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Verbaute NVMe / SSD / HDD Disk-Gruppen & RAID-Controller "
                                                     "(/specifications/hardware)")));
    const QList<QFrame*> rows = diskRows(v.content());
    ASSERT_EQ(rows.size(), 2);
    const QStringList expected[] = {
        {QStringLiteral("Disk-Gruppe #3: System-NVMe"),
         QStringLiteral("Typ: NVMe • Anzahl Disks: 2x 960 GB • Controller: SoftRaid")},
        {QStringLiteral("Disk-Gruppe #1: Datengrab"),
         QStringLiteral("Typ: HDD SATA • Anzahl Disks: 4x 16000 GB • Controller: MegaRAID 9460")},
    };
    for (int i = 0; i < rows.size(); ++i) {
        for (const QString& text : expected[i])
            EXPECT_TRUE(hasLabel(rows[i], text)) << text.toStdString();
        const QList<HalvoStatusBadge*> badges = rows[i]->findChildren<HalvoStatusBadge*>();
        ASSERT_EQ(badges.size(), 1);
        EXPECT_EQ(badges[0]->text(), QStringLiteral("ONLINE"));
        EXPECT_EQ(badges[0]->tint(), theme::Tint::green);
    }
}

TEST(DedicatedStorageTab, WithoutDiskGroupsOnlyTheInstallationCardIsShown) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.diskGroups.clear();
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(kStorageTabIndex);
    EXPECT_EQ(findNamed<HalvoSectionCard>(v.content(), QStringLiteral("diskGroupsCard")), nullptr);
    EXPECT_EQ(v.content()->findChildren<HalvoSectionCard*>().size(), 1);
    EXPECT_NE(findNamed<HalvoSectionCard>(v.content(), QStringLiteral("reinstallCard")), nullptr);
    EXPECT_TRUE(hasButton(v.content(), kStartTitle));
}

TEST(DedicatedStorageTab, PickersOfferTheTemplatesAndProfilesAndShowTheState) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.reverse = QStringLiteral("pve01.example.org.");
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(kStorageTabIndex);

    QComboBox* os = picker(v, "selectedOSPicker");
    QComboBox* raid = picker(v, "raidProfilePicker");
    ASSERT_TRUE(os && raid);
    QStringList osEntries;
    for (int i = 0; i < os->count(); ++i)
        osEntries.append(os->itemText(i));
    EXPECT_EQ(osEntries, v.view->bareMetalTemplates());
    EXPECT_EQ(osEntries.size(), 8);
    EXPECT_EQ(os->currentText(), QStringLiteral("proxmox8_64 (Proxmox VE 8.3 ZFS/NVMe)"));

    const QStringList labels{
        QStringLiteral("SoftRAID 1 (Mirror – Empfohlen)"), QStringLiteral("SoftRAID 0 (Stripe – Max Kapazität)"),
        QStringLiteral("ZFS RAID-Z1 / Mirror (Proxmox)"), QStringLiteral("Hardware MegaRAID RAID-10"),
        QStringLiteral("JBOD / Einzeldisks ohne RAID")};
    QStringList raidEntries;
    for (int i = 0; i < raid->count(); ++i)
        raidEntries.append(raid->itemText(i));
    EXPECT_EQ(raidEntries, labels);
    EXPECT_EQ(raid->currentText(), QStringLiteral("SoftRAID 1 (Mirror – Empfohlen)"));

    // A state set elsewhere is what a rebuilt tab shows.
    v.view->state().selectedOS = QStringLiteral("rocky9_64 (Rocky Linux 9 Bare Metal)");
    v.view->state().raidProfile = QStringLiteral("JBOD (No RAID)");
    v.clickTab(0);
    v.clickTab(kStorageTabIndex);
    EXPECT_EQ(picker(v, "selectedOSPicker")->currentText(), QStringLiteral("rocky9_64 (Rocky Linux 9 Bare Metal)"));
    EXPECT_EQ(picker(v, "raidProfilePicker")->currentText(), QStringLiteral("JBOD / Einzeldisks ohne RAID"));

    EXPECT_EQ(fieldEdit(v, "customHostnameInstall")->placeholderText(),
              QStringLiteral("Ziel-Hostname bei Installation (z.B. pve01.example.org.)"));
}

TEST(DedicatedStorageTab, ChosenProfileStoresItsValueUsedByConfirmationAndSentence) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.reverse = QStringLiteral("pve01.example.org.");
    server.ip = QStringLiteral("203.0.113.9");
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(kStorageTabIndex);

    pickNext(picker(v, "raidProfilePicker"));
    EXPECT_EQ(v.view->state().raidProfile, QStringLiteral("SoftRAID 0 (Performance Stripe)"));
    pickNext(picker(v, "selectedOSPicker"));
    EXPECT_EQ(v.view->state().selectedOS, QStringLiteral("debian12_64 (Debian 12 Bookworm Minimal)"));

    const QString sentenceBefore = v.store().lastActionMessage();
    const QList<HalvoServer> serversBefore = v.store().activeSnapshot().dedicatedServers;
    click(buttonWithText(v.content(), kStartTitle));
    const std::optional<HalvoConfirmRequest>& request = v.store().pendingConfirmation();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->title,
              QStringLiteral("Dedicated Server 'pve01.example.org.' wirklich komplett neu installieren?"));
    EXPECT_EQ(request->message,
              QStringLiteral("Du bist dabei, das Betriebssystem 'debian12_64 (Debian 12 Bookworm Minimal)' mit dem "
                             "RAID-Profil 'SoftRAID 0 (Performance Stripe)' auf dem Bare-Metal-Server "
                             "'ns1.example.net' (203.0.113.9) neu zu installieren."));
    EXPECT_EQ(request->warningDetails,
              QStringLiteral("ACHTUNG DATENVERLUST: Alle vorhandenen Partitionen, Datenbanken, VMs und Dateien auf den "
                             "Festplatten von ns1.example.net werden unwiderruflich formatiert und gelöscht!"));
    EXPECT_EQ(request->confirmButtonTitle, QStringLiteral("Unwiderruflich formatieren & neu installieren"));
    EXPECT_EQ(request->variant, HalvoButtonVariant::danger);
    EXPECT_EQ(request->requireTypedConfirmation, QStringLiteral("ns1.example.net"));
    EXPECT_EQ(v.store().lastActionMessage(), sentenceBefore) << "nothing is written before confirming";

    request->action();
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("Bare-Metal OS-Installation (debian12_64 (Debian 12 Bookworm Minimal), SoftRAID 0 "
                             "(Performance Stripe)) auf ns1.example.net bestätigt und gestartet (POST "
                             "/dedicated/server/ns1.example.net/install/start)."));
    EXPECT_EQ(v.store().activeSnapshot().dedicatedServers, serversBefore) << "a reinstallation changes no data";
    // The choices stay for the next installation.
    EXPECT_EQ(v.view->state().raidProfile, QStringLiteral("SoftRAID 0 (Performance Stripe)"));
}

TEST(DedicatedStorageTab, ConfirmedSentenceNamesWhatTheConfirmationShowed) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net"))});
    v.clickTab(kStorageTabIndex);
    click(buttonWithText(v.content(), kStartTitle));
    ASSERT_TRUE(v.store().pendingConfirmation().has_value());
    const auto action = v.store().pendingConfirmation()->action;
    const QUuid firstId = v.store().pendingConfirmation()->id;

    // A choice changed after the press, and the view gone, do not change what was confirmed.
    pickNext(picker(v, "raidProfilePicker"));
    click(buttonWithText(v.content(), kStartTitle));
    EXPECT_NE(v.store().pendingConfirmation()->id, firstId) << "each press builds a fresh request";
    v.view.reset();
    action();
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("Bare-Metal OS-Installation (proxmox8_64 (Proxmox VE 8.3 ZFS/NVMe), SoftRAID 1 (2x NVMe "
                             "Mirror)) auf ns1.example.net bestätigt und gestartet (POST "
                             "/dedicated/server/ns1.example.net/install/start)."));
}

TEST(DedicatedStorageTab, TypedConfirmationAsksForTheNameNotTheReverse) {
    HalvoServer server = makeServer(QStringLiteral("NS-Prod01.Example.NET"));
    server.reverse = QStringLiteral("prod.example.org.");
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(kStorageTabIndex);
    click(buttonWithText(v.content(), kStartTitle));
    ASSERT_TRUE(v.store().pendingConfirmation().has_value());

    HalvoConfirmationSheet sheet(*v.store().pendingConfirmation());
    QLineEdit* typed = sheet.typedConfirmationField();
    ASSERT_NE(typed, nullptr);
    const std::pair<const char*, bool> cases[] = {
        {"", false},
        {"prod.example.org.", false},
        {"ns-prod01.example", false},
        {"ns-prod01.example.net", true},
        {"  NS-PROD01.example.net\t", true},
        {"NS-Prod01.Example.NET", true},
    };
    for (const auto& [text, accepted] : cases) {
        typed->clear();
        QTest::keyClicks(typed, QString::fromUtf8(text));
        EXPECT_EQ(sheet.canConfirm(), accepted) << '"' << text << '"';
    }
}

TEST(DedicatedStorageTab, InputsKeepTheirTextAcrossServersTabsAndUpdates) {
    DedicatedView v(QList<HalvoServer>{makeServer(QStringLiteral("ns1.example.net")),
                                       makeServer(QStringLiteral("ns2.example.net"))});
    v.clickTab(kStorageTabIndex);
    QTest::keyClicks(fieldEdit(v, "customHostnameInstall"), QStringLiteral("node7.example.org"));
    QTest::keyClicks(fieldEdit(v, "sshKeyInstall"), QStringLiteral("ssh-ed25519 AAAAC3Nz test@host"));
    pickNext(picker(v, "selectedOSPicker"));
    EXPECT_EQ(v.view->state().customHostnameInstall, QStringLiteral("node7.example.org"));
    EXPECT_EQ(v.view->state().sshKeyInstall, QStringLiteral("ssh-ed25519 AAAAC3Nz test@host"));

    v.clickRow(1);
    ASSERT_EQ(v.view->selectedServer()->name, QStringLiteral("ns2.example.net"));
    ASSERT_EQ(v.view->shownTab(), DedicatedServerTab::storageInstall);
    // A store change rebuilds the tab from the state.
    v.store().performDedicatedServerAction(QStringLiteral("ns2.example.net"), QStringLiteral("toggle-monitoring"));
    settle();
    EXPECT_EQ(fieldEdit(v, "customHostnameInstall")->text(), QStringLiteral("node7.example.org"));
    EXPECT_EQ(fieldEdit(v, "sshKeyInstall")->text(), QStringLiteral("ssh-ed25519 AAAAC3Nz test@host"));
    EXPECT_EQ(picker(v, "selectedOSPicker")->currentText(), QStringLiteral("debian12_64 (Debian 12 Bookworm Minimal)"));

    // Confirming does not clear them either.
    click(buttonWithText(v.content(), kStartTitle));
    v.store().pendingConfirmation()->action();
    settle();
    EXPECT_EQ(v.view->state().customHostnameInstall, QStringLiteral("node7.example.org"));
    EXPECT_EQ(v.view->state().sshKeyInstall, QStringLiteral("ssh-ed25519 AAAAC3Nz test@host"));
}

} // namespace
} // namespace halvo::test
