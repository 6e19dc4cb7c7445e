// The tab "Backup Storage FTP": storage tiles, the silent copy chip, the confirmed password reset and the
// access grants with their fallback to the server's own address.

#include "views/dedicated/DedicatedBackupTab.h"

#include "DedicatedViewFixture.h"
#include "store/AppStateStore.h"
#include "ui/Components.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

namespace halvo::test {
namespace {

constexpr int kBackupTabIndex = 4;
const QString kGrantTitle = QStringLiteral("IP-Block für Backup-FTP/NFS freigeben");

HalvoServer backupServer() {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.backupFTPName = QStringLiteral("ftpback-rbx7-42.example.net");
    server.backupFTPQuotaGB = 500;
    server.backupFTPUsedGB = 120;
    server.backupFTPAccessBlocks.clear();
    return server;
}

QLineEdit* blockEdit(DedicatedView& v) {
    auto* field = findNamed<HalvoFormTextField>(v.content(), QStringLiteral("backupACLBlockInput"));
    EXPECT_NE(field, nullptr);
    return field ? field->lineEdit() : nullptr;
}

/// The blocks shown as access rows, in order.
QStringList accessRows(DedicatedView& v) {
    QStringList blocks;
    for (const QFrame* row : v.content()->findChildren<QFrame*>(QStringLiteral("halvoListRow"))) {
        if (row->isHidden())
            continue;
        blocks.append(row->property("accessBlock").toString());
        const QList<HalvoStatusBadge*> badges = row->findChildren<HalvoStatusBadge*>();
        EXPECT_EQ(badges.size(), 1);
        if (!badges.isEmpty()) {
            EXPECT_EQ(badges[0]->text(), QStringLiteral("FTP + NFS + CIFS"));
            EXPECT_EQ(badges[0]->tint(), theme::Tint::blue);
        }
        EXPECT_TRUE(hasLabel(row, blocks.last()));
    }
    return blocks;
}

void grant(DedicatedView& v, const QString& typed) {
    QLineEdit* edit = blockEdit(v);
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, typed);
    click(buttonWithText(v.content(), kGrantTitle));
}

TEST(DedicatedBackupGrantBlock, TypedBlockOrTheServersOwnAddress) {
    struct Case {
        QString input;
        QString ip;
        std::optional<QString> block;
    };
    const Case cases[] = {
        {QStringLiteral("198.51.100.0/24"), QStringLiteral("192.0.2.10"), QStringLiteral("198.51.100.0/24")},
        {QStringLiteral(" \t198.51.100.7 "), QStringLiteral("192.0.2.10"), QStringLiteral("198.51.100.7")},
        {QStringLiteral("\u00A0203.0.113.0/28\u2003"), QStringLiteral("192.0.2.10"), QStringLiteral("203.0.113.0/28")},
        {QString(), QStringLiteral("192.0.2.10"), QStringLiteral("192.0.2.10/32")},
        {QStringLiteral("  \t "), QStringLiteral("192.0.2.10"), QStringLiteral("192.0.2.10/32")},
        {QStringLiteral("\n"), QStringLiteral("192.0.2.10"), QStringLiteral("\n")}, // a line break is content
        {QStringLiteral("irgendwas"), QStringLiteral("192.0.2.10"), QStringLiteral("irgendwas")},
        {QStringLiteral("10.0.0.1"), kNoValue, QStringLiteral("10.0.0.1")},
        {QString(), kNoValue, std::nullopt},
        {QStringLiteral("   "), kNoValue, std::nullopt},
        {QString(), QString(), std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dedicatedBackupGrantBlock(c.input, c.ip), c.block)
            << c.input.toStdString() << " / " << c.ip.toStdString();
}

TEST(DedicatedBackupTab, TilesShowTheStorageAndLeaveOutAnEmptyQuota) {
    for (const qint64 quota : {qint64(500), qint64(0)}) {
        HalvoServer server = backupServer();
        server.backupFTPQuotaGB = quota;
        DedicatedView v(QList<HalvoServer>{server});
        v.clickTab(kBackupTabIndex);
        ASSERT_EQ(v.view->shownTab(), DedicatedServerTab::backupFtp);
        EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Aktiver Backup-Speicher für ns1.example.net")));

        QList<HalvoSpecTile::Spec> specs;
        for (const HalvoSpecTile* tile : v.content()->findChildren<HalvoSpecTile*>())
            specs.append(tile->spec());
        QStringList labels;
        for (const HalvoSpecTile::Spec& spec : specs)
            labels.append(spec.label);
        if (quota > 0) {
            ASSERT_EQ(labels,
                      (QStringList{QStringLiteral("Backup-Storage Server"),
                                   QStringLiteral("Speicher-Kontingent (Quota)"), QStringLiteral("Protokolle")}));
            EXPECT_EQ(specs[1].value, QStringLiteral("500 GB"));
            EXPECT_EQ(specs[1].subvalue, QStringLiteral("Belegt: 120 GB"));
            EXPECT_EQ(specs[1].tint, theme::Tint::blue);
            EXPECT_EQ(specs[1].copyValue, std::nullopt);
        } else {
            ASSERT_EQ(labels, (QStringList{QStringLiteral("Backup-Storage Server"), QStringLiteral("Protokolle")}));
        }
        EXPECT_EQ(specs.first().value, QStringLiteral("ftpback-rbx7-42.example.net"));
        EXPECT_EQ(specs.first().subvalue, QStringLiteral("Status: Aktiviert"));
        EXPECT_EQ(specs.first().tint, theme::Tint::green);
        EXPECT_EQ(specs.first().copyValue, QStringLiteral("ftpback-rbx7-42.example.net"));
        EXPECT_EQ(specs.last().value, QStringLiteral("NFSv4 • CIFS/SMB • FTP"));
        EXPECT_EQ(specs.last().subvalue, QStringLiteral("Interner Halvo-Backbone"));
        EXPECT_EQ(specs.last().copyValue, std::nullopt);
    }
}

TEST(DedicatedBackupTab, CopyChipCopiesTheStorageNameSilently) {
    DedicatedView v(QList<HalvoServer>{backupServer()});
    v.clickTab(kBackupTabIndex);
    v.store().setLastActionMessage(QStringLiteral("unverändert"));
    QGuiApplication::clipboard()->setText(QStringLiteral("vorher"));
    HalvoSpecTile* storage = nullptr;
    for (HalvoSpecTile* tile : v.content()->findChildren<HalvoSpecTile*>()) {
        if (tile->spec().label == QStringLiteral("Backup-Storage Server"))
            storage = tile;
    }
    ASSERT_TRUE(storage && storage->copyButton());
    click(storage->copyButton());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("ftpback-rbx7-42.example.net"));
    EXPECT_EQ(v.store().lastActionMessage(), QStringLiteral("unverändert"));
}

TEST(DedicatedBackupTab, PasswordResetAsksFirstAndChangesNoData) {
    DedicatedView v(QList<HalvoServer>{backupServer(), makeServer(QStringLiteral("ns2.example.net"))});
    v.clickTab(kBackupTabIndex);
    const QList<HalvoServer> before = v.store().activeSnapshot().dedicatedServers;
    auto* button = qobject_cast<HalvoActionButton*>(
        buttonWithText(v.content(), QStringLiteral("Neues Backup-FTP Passwort anfordern")));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->variant(), HalvoButtonVariant::warning);
    click(button);

    const std::optional<HalvoConfirmRequest>& request = v.store().pendingConfirmation();
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->title, QStringLiteral("Neues Backup-FTP Passwort generieren?"));
    EXPECT_EQ(request->message, QStringLiteral("Soll das Passwort für den Backup-Storage 'ftpback-rbx7-42.example.net' "
                                               "zurückgesetzt und an deine Halvo Account-E-Mail gesendet werden?"));
    EXPECT_EQ(request->warningDetails, QStringLiteral("Bestehende Backup-Skripte oder Mounts, die das alte Passwort "
                                                      "nutzen, müssen danach aktualisiert werden."));
    EXPECT_EQ(request->confirmButtonTitle, QStringLiteral("Passwort jetzt zurücksetzen"));
    EXPECT_EQ(request->variant, HalvoButtonVariant::warning);
    EXPECT_EQ(request->requireTypedConfirmation, std::nullopt);
    EXPECT_NE(v.store().lastActionMessage().left(17), QStringLiteral("Dedicated Server "));

    const auto action = request->action;
    v.view.reset(); // the action holds values, not the view
    action();
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("Dedicated Server ns1.example.net: Neues Backup-FTP Passwort generiert und per E-Mail "
                             "versendet."));
    EXPECT_EQ(v.store().activeSnapshot().dedicatedServers, before);
}

TEST(DedicatedBackupTab, GrantedBlocksBecomeRowsOnceAndTheFieldEmpties) {
    HalvoServer server = backupServer();
    server.backupFTPAccessBlocks = {QStringLiteral("192.0.2.10/32")};
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(kBackupTabIndex);
    EXPECT_EQ(blockEdit(v)->placeholderText(),
              QStringLiteral("Zugriff für IP-Block freischalten (z.B. 192.0.2.10/32)"));
    EXPECT_EQ(accessRows(v), QStringList{QStringLiteral("192.0.2.10/32")});

    grant(v, QStringLiteral("  198.51.100.0/24\t"));
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("Backup-FTP ACL: Zugriff für 198.51.100.0/24 freigeschaltet (NFS / CIFS / FTP)."));
    EXPECT_EQ(v.server(server.name).backupFTPAccessBlocks,
              (QStringList{QStringLiteral("192.0.2.10/32"), QStringLiteral("198.51.100.0/24")}));
    EXPECT_EQ(accessRows(v), (QStringList{QStringLiteral("192.0.2.10/32"), QStringLiteral("198.51.100.0/24")}));
    EXPECT_EQ(v.view->state().backupACLBlockInput, QString());
    EXPECT_EQ(blockEdit(v)->text(), QString());

    // The same block again changes no list, still reports, and still empties the field.
    v.store().setLastActionMessage(QStringLiteral("vorher"));
    grant(v, QStringLiteral("198.51.100.0/24"));
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("Backup-FTP ACL: Zugriff für 198.51.100.0/24 freigeschaltet (NFS / CIFS / FTP)."));
    EXPECT_EQ(accessRows(v), (QStringList{QStringLiteral("192.0.2.10/32"), QStringLiteral("198.51.100.0/24")}));
    EXPECT_EQ(v.view->state().backupACLBlockInput, QString());
    EXPECT_EQ(blockEdit(v)->text(), QString());
}

TEST(DedicatedBackupTab, EmptyFieldGrantsTheServersOwnAddress) {
    HalvoServer server = backupServer();
    server.ip = QStringLiteral("203.0.113.45");
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(kBackupTabIndex);
    grant(v, QStringLiteral("   "));
    EXPECT_EQ(v.server(server.name).backupFTPAccessBlocks, QStringList{QStringLiteral("203.0.113.45/32")});
    EXPECT_EQ(accessRows(v), QStringList{QStringLiteral("203.0.113.45/32")});
    EXPECT_EQ(v.store().lastActionMessage(),
              QStringLiteral("Backup-FTP ACL: Zugriff für 203.0.113.45/32 freigeschaltet (NFS / CIFS / FTP)."));
    EXPECT_EQ(blockEdit(v)->text(), QString());
}

TEST(DedicatedBackupTab, EmptyFieldOnAServerWithoutAddressDoesNothing) {
    for (const QString& ip : {kNoValue, QString()}) {
        HalvoServer server = backupServer();
        server.ip = ip;
        DedicatedView v(QList<HalvoServer>{server});
        v.clickTab(kBackupTabIndex);
        v.store().setLastActionMessage(QStringLiteral("vorher"));
        const QList<HalvoServer> before = v.store().activeSnapshot().dedicatedServers;
        grant(v, QStringLiteral("  "));
        EXPECT_EQ(v.store().lastActionMessage(), QStringLiteral("vorher")) << ip.toStdString();
        EXPECT_EQ(v.store().activeSnapshot().dedicatedServers, before) << ip.toStdString();
        EXPECT_EQ(v.view->state().backupACLBlockInput, QStringLiteral("  ")) << "the field keeps its blanks";

        // A typed block is still granted.
        grant(v, QStringLiteral("10.1.2.0/24"));
        EXPECT_EQ(v.server(server.name).backupFTPAccessBlocks, QStringList{QStringLiteral("10.1.2.0/24")});
    }
}

TEST(DedicatedBackupTab, TypedBlockSurvivesSwitchingTabsUntilGranted) {
    DedicatedView v(QList<HalvoServer>{backupServer()});
    v.clickTab(kBackupTabIndex);
    QTest::keyClicks(blockEdit(v), QStringLiteral("198.51.100.64/26"));
    v.clickTab(0);
    v.clickTab(kBackupTabIndex);
    EXPECT_EQ(blockEdit(v)->text(), QStringLiteral("198.51.100.64/26"));
    click(buttonWithText(v.content(), kGrantTitle));
    EXPECT_EQ(v.server(QStringLiteral("ns1.example.net")).backupFTPAccessBlocks,
              QStringList{QStringLiteral("198.51.100.64/26")});
}

} // namespace
} // namespace halvo::test
