// The DNS zone editor tab: the card, the add form with its pickers, the record table and the deletion.

#include "DomainsViewFixture.h"
#include "ui/HalvoConfirmationSheet.h"

#include <QAccessible>
#include <QScrollBar>
#include <QSignalSpy>

namespace halvo::test {
namespace {

const QString kZone = QStringLiteral("zone.example.com");

HalvoDomain zoneWith(const QList<HalvoDNSRecord>& records, const QString& name = kZone) {
    HalvoDomain domain = makeDomain(name, 0);
    domain.dnsRecords = records;
    return domain;
}

HalvoDomain sampleZone() {
    return zoneWith({
        makeRecord(11, kZone, QString(), QStringLiteral("A"), QStringLiteral("192.0.2.10"), 3600),
        makeRecord(12, kZone, QStringLiteral("www"), QStringLiteral("CNAME"), QStringLiteral("zone.example.com."), 300),
        makeRecord(13, kZone, QStringLiteral("@"), QStringLiteral("MX"), QStringLiteral("10 mx.example.net."), 86400),
        makeRecord(14, kZone, QStringLiteral(" "), QStringLiteral("TXT"), QStringLiteral("\"v=spf1 -all\" x"), 7200),
        makeRecord(15, kZone, QStringLiteral("api"), QStringLiteral("AAAA"), QStringLiteral("2001:db8::1"), 0),
    });
}

QString cardTitle(int records) {
    return QStringLiteral("DNS-Zonen-Einträge (%1 Records) – Sofort-Editor").arg(records);
}

QString cardSubtitle(const QString& domain) {
    return QStringLiteral("Neue Records werden sofort in die Zone geschrieben und per POST /domain/zone/") + domain +
           QStringLiteral("/refresh auf die Halvo Anycast-Nameserver publiziert");
}

TEST(DnsZoneEditor, CardTableHeaderAndRowsShowTheZone) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    const QStringList texts = v.cardTexts();
    EXPECT_TRUE(texts.contains(cardTitle(5))) << texts.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(texts.contains(cardSubtitle(kZone)));
    for (const char* header : {"Subdomain / Host", "Typ", "Zielwert (Target)", "TTL", "Aktion", "Typ:", "TTL:"})
        EXPECT_TRUE(hasLabel(v.editor(), QString::fromUtf8(header))) << header;

    struct Row {
        const char* host;
        const char* type;
        const char* target;
        const char* ttl;
    };
    const Row expected[] = {
        {"@ (zone.example.com)", "A", "192.0.2.10", "3600 s"},
        {"www.zone.example.com", "CNAME", "zone.example.com.", "300 s"},
        {"@.zone.example.com", "MX", "10 mx.example.net.", "86400 s"}, // only an empty subdomain is the apex
        {" .zone.example.com", "TXT", "\"v=spf1 -all\" x", "7200 s"},  // a TTL outside the picker's choices
        {"api.zone.example.com", "AAAA", "2001:db8::1", "0 s"},
    };
    const auto rows = v.rows();
    ASSERT_EQ(rows.size(), qsizetype(std::size(expected)));
    for (int i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].host, QString::fromUtf8(expected[i].host));
        EXPECT_EQ(rows[i].type, QString::fromUtf8(expected[i].type));
        EXPECT_EQ(rows[i].target, QString::fromUtf8(expected[i].target));
        EXPECT_EQ(rows[i].ttl, QString::fromUtf8(expected[i].ttl));
        EXPECT_EQ(rows[i].action, QStringLiteral("Record löschen"));
    }
    // A short zone is shown whole, without scrolling inside the card.
    EXPECT_TRUE(v.table()->isVisible());
    EXPECT_FALSE(v.table()->verticalScrollBar()->isVisible());
    EXPECT_FALSE(v.table()->viewport()->grab().isNull());
}

TEST(DnsZoneEditor, ZoneWithoutRecordsShowsHeaderAndNothingBelow) {
    DomainsViewHarness v(QList<HalvoDomain>{zoneWith({})});
    EXPECT_TRUE(v.cardTexts().contains(cardTitle(0)));
    EXPECT_TRUE(hasLabel(v.editor(), QStringLiteral("Zielwert (Target)")));
    EXPECT_EQ(v.table()->model()->rowCount(), 0);
    EXPECT_FALSE(v.table()->isVisible());
}

TEST(DnsZoneEditor, AddTrimsTheInputsAndClearsSubdomainAndTarget) {
    struct Case {
        QString subDomain;
        QString target;
        QString storedSub;
        QString storedTarget;
        QString host;
        QString status;
    };
    const QString nbsp(QChar(0x00A0));
    const Case cases[] = {
        {QStringLiteral(" www "), QStringLiteral(" 192.0.2.10 "), QStringLiteral("www"), QStringLiteral("192.0.2.10"),
         QStringLiteral("www.zone.example.com"),
         QStringLiteral("DNS-Eintrag (A www -> 192.0.2.10) gesendet & Zone aktualisiert.")},
        {QString(), QStringLiteral("192.0.2.20"), QString(), QStringLiteral("192.0.2.20"),
         QStringLiteral("@ (zone.example.com)"),
         QStringLiteral("DNS-Eintrag (A @ -> 192.0.2.20) gesendet & Zone aktualisiert.")},
        {QStringLiteral("@"), QStringLiteral("192.0.2.30"), QStringLiteral("@"), QStringLiteral("192.0.2.30"),
         QStringLiteral("@.zone.example.com"),
         QStringLiteral("DNS-Eintrag (A @ -> 192.0.2.30) gesendet & Zone aktualisiert.")},
        {QStringLiteral("\tapi") + nbsp, nbsp + QStringLiteral("v=1 a b\t"), QStringLiteral("api"),
         QStringLiteral("v=1 a b"), QStringLiteral("api.zone.example.com"),
         QStringLiteral("DNS-Eintrag (A api -> v=1 a b) gesendet & Zone aktualisiert.")},
        {QStringLiteral("   "), QStringLiteral("192.0.2.40"), QString(), QStringLiteral("192.0.2.40"),
         QStringLiteral("@ (zone.example.com)"),
         QStringLiteral("DNS-Eintrag (A @ -> 192.0.2.40) gesendet & Zone aktualisiert.")},
    };
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    int count = 5;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        v.type(v.subDomainInput(), c.subDomain);
        v.type(v.targetInput(), c.target);
        EXPECT_EQ(v.view->state().newSubDomain, c.subDomain);
        EXPECT_EQ(v.view->state().newTarget, c.target);
        v.pressAdd();

        const HalvoDomain domain = *v.domain(kZone);
        ASSERT_EQ(domain.dnsRecords.size(), ++count);
        const HalvoDNSRecord& added = domain.dnsRecords.last();
        EXPECT_EQ(added.subDomain, c.storedSub);
        EXPECT_EQ(added.target, c.storedTarget);
        EXPECT_EQ(added.fieldType, QStringLiteral("A"));
        EXPECT_EQ(added.ttl, 3600);
        EXPECT_EQ(added.zone, kZone);
        EXPECT_EQ(v.store().lastActionMessage(), c.status);

        EXPECT_EQ(v.subDomainInput()->text(), QString());
        EXPECT_EQ(v.targetInput()->text(), QString());
        EXPECT_EQ(v.view->state().newSubDomain, QString());
        EXPECT_EQ(v.view->state().newTarget, QString());
        EXPECT_TRUE(v.cardTexts().contains(cardTitle(count)));
        ASSERT_EQ(v.rows().size(), count);
        EXPECT_EQ(v.rows().last().host, c.host) << "the new row is at the bottom";
    }
}

TEST(DnsZoneEditor, BlankTargetIsIgnoredAndKeepsTheInputs) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    const HalvoAccountSnapshot before = v.store().activeSnapshot();
    const QString message = v.store().lastActionMessage();
    for (const QString& target : {QString(), QStringLiteral("   "), QStringLiteral("\t \t")}) {
        SCOPED_TRACE(target.toStdString());
        v.targetInput()->clear();
        v.type(v.subDomainInput(), QStringLiteral("www"));
        v.type(v.targetInput(), target);
        v.pressAdd();
        EXPECT_EQ(v.store().activeSnapshot().domains, before.domains);
        EXPECT_EQ(v.store().lastActionMessage(), message);
        EXPECT_EQ(v.subDomainInput()->text(), QStringLiteral("www"));
        EXPECT_EQ(v.targetInput()->text(), target);
        v.subDomainInput()->clear();
    }
}

TEST(DnsZoneEditor, PickersOfferTheChoicesAndKeepThemAfterAnAdd) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone(), zoneWith({}, QStringLiteral("other.example"))});
    QStringList types;
    for (int i = 0; i < v.typePicker()->count(); ++i)
        types.append(v.typePicker()->itemText(i));
    EXPECT_EQ(types, DomainsView::recordTypes());
    QStringList ttls;
    for (int i = 0; i < v.ttlPicker()->count(); ++i)
        ttls.append(v.ttlPicker()->itemText(i));
    EXPECT_EQ(ttls, QStringLiteral("60 s|300 s|3600 s|86400 s").split(QLatin1Char('|')));
    EXPECT_EQ(v.typePicker()->currentText(), QStringLiteral("A"));
    EXPECT_EQ(v.ttlPicker()->currentText(), QStringLiteral("3600 s"));

    v.pick(v.typePicker(), QStringLiteral("MX"));
    v.pick(v.ttlPicker(), QStringLiteral("300 s"));
    EXPECT_EQ(v.view->state().newRecordType, QStringLiteral("MX"));
    EXPECT_EQ(v.view->state().newTTL, 300);

    for (const char* target : {"10 mx1.example.net.", "20 mx2.example.net."}) {
        v.type(v.targetInput(), QString::fromUtf8(target));
        v.pressAdd();
        const HalvoDNSRecord added = v.domain(kZone)->dnsRecords.last();
        EXPECT_EQ(added.fieldType, QStringLiteral("MX"));
        EXPECT_EQ(added.ttl, 300);
        EXPECT_EQ(added.target, QString::fromUtf8(target));
        EXPECT_EQ(v.typePicker()->currentText(), QStringLiteral("MX"));
        EXPECT_EQ(v.ttlPicker()->currentText(), QStringLiteral("300 s"));
    }

    // The inputs belong to the view: another domain and another tab keep them.
    v.type(v.subDomainInput(), QStringLiteral("mail"));
    v.clickRow(QStringLiteral("other.example"));
    EXPECT_EQ(v.editor()->domainName(), QStringLiteral("other.example"));
    EXPECT_EQ(v.subDomainInput()->text(), QStringLiteral("mail"));
    v.clickTab(QStringLiteral("2. Nameserver, DNSSEC & Glue-Records"));
    v.clickTab(QStringLiteral("1. DNS-Zonen-Editor (Records)"));
    EXPECT_EQ(v.subDomainInput()->text(), QStringLiteral("mail"));
    EXPECT_EQ(v.typePicker()->currentText(), QStringLiteral("MX"));
    EXPECT_EQ(v.ttlPicker()->currentText(), QStringLiteral("300 s"));

    v.type(v.targetInput(), QStringLiteral("10 mx.other.example."));
    v.pressAdd();
    EXPECT_EQ(v.domain(QStringLiteral("other.example"))->dnsRecords.size(), 1) << "added to the shown domain";
    EXPECT_EQ(v.domain(kZone)->dnsRecords.size(), 7);
}

TEST(DnsZoneEditor, TypedTextAndFocusSurviveAChangeOfTheZone) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    QLineEdit* target = v.targetInput();
    v.type(target, QStringLiteral("192.0.2."));
    ASSERT_TRUE(target->hasFocus());
    v.store().addDNSRecord(kZone, QStringLiteral("x"), QStringLiteral("A"), QStringLiteral("192.0.2.1"), 60);
    settle();
    EXPECT_TRUE(v.cardTexts().contains(cardTitle(6)));
    EXPECT_EQ(v.targetInput(), target) << "the form is kept, not rebuilt";
    EXPECT_EQ(target->text(), QStringLiteral("192.0.2."));
    EXPECT_TRUE(target->hasFocus());
    QTest::keyClicks(target, QStringLiteral("7"));
    EXPECT_EQ(v.view->state().newTarget, QStringLiteral("192.0.2.7"));
}

TEST(DnsZoneEditor, DeleteAsksWithTheRecordsTextsAndChangesNothingBeforeConfirmation) {
    struct Case {
        int row;
        const char* fullName;
        const char* detail;
        qint64 id;
    };
    const Case cases[] = {
        {0, "zone.example.com", "(A -> 192.0.2.10)", 11},
        {1, "www.zone.example.com", "(CNAME -> zone.example.com.)", 12},
        {2, "@.zone.example.com", "(MX -> 10 mx.example.net.)", 13},
        {3, " .zone.example.com", "(TXT -> \"v=spf1 -all\" x)", 14},
    };
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    const HalvoAccountSnapshot before = v.store().activeSnapshot();
    const QString message = v.store().lastActionMessage();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        v.store().clearPendingConfirmation();
        v.pressDelete(c.row);
        const auto& request = v.store().pendingConfirmation();
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->title, QStringLiteral("DNS-Record löschen bestätigen"));
        EXPECT_EQ(request->message, QStringLiteral("Möchtest du den DNS-Eintrag '") + QString::fromUtf8(c.fullName) +
                                        QStringLiteral("' ") + QString::fromUtf8(c.detail) +
                                        QStringLiteral(" wirklich aus der Zone löschen und die Halvo "
                                                       "Anycast-Nameserver aktualisieren?"));
        EXPECT_EQ(request->warningDetails, QStringLiteral("Domain-Zone: zone.example.com"));
        EXPECT_EQ(request->confirmButtonTitle, QStringLiteral("DNS-Record löschen"));
        EXPECT_EQ(request->variant, HalvoButtonVariant::danger);
        EXPECT_EQ(request->requireTypedConfirmation, std::nullopt);
        EXPECT_EQ(v.store().activeSnapshot().domains, before.domains);
        EXPECT_EQ(v.store().lastActionMessage(), message);
    }
    // Each press raises a fresh request.
    v.pressDelete(0);
    const QUuid first = v.store().pendingConfirmation()->id;
    v.pressDelete(0);
    EXPECT_NE(v.store().pendingConfirmation()->id, first);
}

TEST(DnsZoneEditor, ConfirmingDeletesTheRecordPressedAndCancellingNothing) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    HalvoConfirmationPresenter presenter(v.store(), v.view.get());
    const QString message = v.store().lastActionMessage();

    v.pressDelete(1);
    ASSERT_NE(presenter.sheet(), nullptr);
    click(presenter.sheet()->cancelButton());
    EXPECT_FALSE(v.store().pendingConfirmation().has_value());
    EXPECT_EQ(v.domain(kZone)->dnsRecords, sampleZone().dnsRecords);
    EXPECT_EQ(v.store().lastActionMessage(), message);
    EXPECT_EQ(v.rows().size(), 5);

    v.pressDelete(1);
    ASSERT_NE(presenter.sheet(), nullptr);
    click(presenter.sheet()->confirmButton());
    settle();
    QList<qint64> ids;
    const QList<HalvoDNSRecord> remaining = v.domain(kZone)->dnsRecords;
    for (const HalvoDNSRecord& record : remaining)
        ids.append(record.id);
    EXPECT_EQ(ids, (QList<qint64>{11, 13, 14, 15}));
    EXPECT_EQ(v.store().lastActionMessage(), QStringLiteral("DNS-Record #12 gelöscht & Zone aktualisiert."));
    EXPECT_TRUE(v.cardTexts().contains(cardTitle(4)));
    ASSERT_EQ(v.rows().size(), 4);
    EXPECT_EQ(v.rows().at(1).host, QStringLiteral("@.zone.example.com"));
}

TEST(DnsZoneEditor, ConfirmationKeepsTheValuesOfThePressAndOutlivesTheView) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone(), zoneWith({}, QStringLiteral("other.example"))});
    v.pressDelete(4);
    const std::function<void()> action = v.store().pendingConfirmation()->action;
    // The user moves on before confirming: another domain, another record at the end, the view gone.
    v.clickRow(QStringLiteral("other.example"));
    v.store().addDNSRecord(kZone, QStringLiteral("late"), QStringLiteral("A"), QStringLiteral("192.0.2.50"), 60);
    settle();
    v.view.reset();
    settle();
    action();
    const QList<HalvoDNSRecord> records = v.domain(kZone)->dnsRecords;
    ASSERT_EQ(records.size(), 5);
    for (const HalvoDNSRecord& record : records)
        EXPECT_NE(record.id, 15);
    EXPECT_EQ(records.last().subDomain, QStringLiteral("late"));
    EXPECT_EQ(v.store().lastActionMessage(), QStringLiteral("DNS-Record #15 gelöscht & Zone aktualisiert."));
}

TEST(DnsZoneEditor, SpaceOnTheCurrentRowPressesItsDeleteButton) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    QListView* table = v.table();
    table->setFocus();
    table->setCurrentIndex(table->model()->index(2, 0));
    QTest::keyClick(table, Qt::Key_Space);
    settle();
    ASSERT_TRUE(v.store().pendingConfirmation().has_value());
    EXPECT_TRUE(v.store().pendingConfirmation()->message.contains(QStringLiteral("'@.zone.example.com' (MX")));
}

TEST(DnsZoneEditor, PressOutsideTheButtonDeletesNothingAndTheTargetOpensReadOnly) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    QListView* table = v.table();
    const QRect item = table->visualRect(table->model()->index(3, 0));
    const QRect button = v.editor()->deleteButtonRect(3);
    // Pressed on the button, released beside it: no click, as with any button.
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, button.center());
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, QPoint(button.left() - 30, button.center().y()));
    settle();
    EXPECT_FALSE(v.store().pendingConfirmation().has_value());

    const QRect target = DnsRecordDelegate::cells(item).target;
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, target.center());
    settle();
    EXPECT_FALSE(v.store().pendingConfirmation().has_value());
    auto* editor = table->viewport()->findChild<QLineEdit*>(QStringLiteral("dnsRecordTargetEditor"));
    ASSERT_NE(editor, nullptr);
    EXPECT_TRUE(editor->isReadOnly());
    EXPECT_EQ(editor->text(), QStringLiteral("\"v=spf1 -all\" x"));
    editor->selectAll();
    EXPECT_EQ(editor->selectedText(), QStringLiteral("\"v=spf1 -all\" x"));
    table->closePersistentEditor(table->model()->index(3, 0));
    table->setFocus();
    settle();
    EXPECT_EQ(v.domain(kZone)->dnsRecords, sampleZone().dnsRecords);
}

TEST(DnsZoneEditor, LargeZoneIsAsTallAsItsRowsInTheDetailsScrollAreaAndChangesRowByRow) {
    QList<HalvoDNSRecord> records;
    for (int i = 0; i < 10000; ++i) {
        records.append(makeRecord(100000 + i, kZone, QStringLiteral("h%1").arg(i), QStringLiteral("A"),
                                  QStringLiteral("198.51.100.%1").arg(i % 250), 3600));
    }
    DomainsViewHarness v(QList<HalvoDomain>{zoneWith(records)});
    QListView* table = v.table();
    const int rowHeight = table->visualRect(table->model()->index(0, 0)).height();
    // No second scroller: the table is as tall as its rows, the detail scrolls.
    EXPECT_EQ(table->height(), 10000 * rowHeight + 2 * table->frameWidth());
    EXPECT_FALSE(table->verticalScrollBar()->isVisible());
    QScrollBar* detail = v.frame().contentScrollArea()->verticalScrollBar();
    EXPECT_GT(detail->maximum(), 10000 * rowHeight - v.frame().contentScrollArea()->viewport()->height());

    v.pressDelete(5000);
    ASSERT_TRUE(v.store().pendingConfirmation().has_value());
    EXPECT_TRUE(v.store().pendingConfirmation()->message.contains(QStringLiteral("'h5000.zone.example.com'")));
    const int scrolled = detail->value();
    EXPECT_GT(scrolled, 0);

    QSignalSpy resets(table->model(), &QAbstractItemModel::modelReset);
    QSignalSpy removed(table->model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(table->model(), &QAbstractItemModel::rowsInserted);
    v.store().pendingConfirmation()->action();
    settle();
    EXPECT_EQ(v.domain(kZone)->dnsRecords.size(), 9999);
    EXPECT_EQ(v.rows().at(5000).host, QStringLiteral("h5001.zone.example.com"));
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.first().at(1).toInt(), 5000);
    EXPECT_EQ(removed.first().at(2).toInt(), 5000);
    EXPECT_EQ(detail->value(), scrolled) << "the detail stays where the user was";

    v.type(v.targetInput(), QStringLiteral("198.51.100.254"));
    v.pressAdd();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.first().at(1).toInt(), 9999);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_TRUE(v.cardTexts().contains(cardTitle(10000)));
    // The new record, at the end of the zone, is scrolled into view.
    const QRect added = v.editor()->rowRect(9999);
    QWidget* visible = v.frame().contentScrollArea()->viewport();
    EXPECT_TRUE(visible->rect().contains(QRect(table->viewport()->mapTo(visible, added.topLeft()), added.size())));
}

} // namespace
} // namespace halvo::test

namespace halvo::test {
namespace {

/// How many pixels of the row's rect in the table's viewport show the theme's focus ring.
int ringPixelsOfRow(QListView* table, int row) {
    const QImage image = table->viewport()->grab().toImage();
    const QRect rect = table->visualRect(table->model()->index(row, 0)).intersected(image.rect());
    const QColor ring = theme::focusRingColor();
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += image.pixelColor(x, y).rgb() == ring.rgb() ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(DnsZoneEditor, KeyboardWalksTheRowsMarksTheCurrentOneAndDeleteOrSpaceAsksForIt) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    v.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v.view.get()));
    QListView* table = v.table();
    // One Tab stop: Tab never walks the rows.
    EXPECT_FALSE(table->tabKeyNavigation());

    table->setFocus(Qt::TabFocusReason);
    settle();
    ASSERT_TRUE(table->hasFocus());
    ASSERT_EQ(table->currentIndex().row(), 0);
    const int rowWidth = table->viewport()->width();
    EXPECT_GE(ringPixelsOfRow(table, 0), rowWidth) << "the current row is not marked";

    struct Step {
        Qt::Key key;
        int current;
    };
    const Step steps[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_Down, 2}, {Qt::Key_Down, 3},
                          {Qt::Key_Down, 4}, {Qt::Key_Down, 4}, {Qt::Key_Up, 3}, {Qt::Key_Up, 2},   {Qt::Key_Up, 1}};
    for (const Step& step : steps) {
        QTest::keyClick(table, step.key);
        settle();
        ASSERT_EQ(table->currentIndex().row(), step.current) << step.key;
        for (int row = 0; row < table->model()->rowCount(); ++row) {
            if (row == step.current)
                EXPECT_GE(ringPixelsOfRow(table, row), rowWidth) << row;
            else
                EXPECT_EQ(ringPixelsOfRow(table, row), 0) << row;
        }
    }
    EXPECT_FALSE(v.store().pendingConfirmation().has_value());

    // Delete, and Space, on the marked row ask to delete that row's record; the confirmation guards it.
    for (const Qt::Key key : {Qt::Key_Delete, Qt::Key_Space}) {
        v.store().clearPendingConfirmation();
        QTest::keyClick(table, key);
        settle();
        ASSERT_TRUE(v.store().pendingConfirmation().has_value()) << key;
        EXPECT_TRUE(v.store().pendingConfirmation()->message.contains(QStringLiteral("'www.zone.example.com' (CNAME")))
            << key;
        EXPECT_EQ(v.domain(kZone)->dnsRecords, sampleZone().dnsRecords);
    }

    // Tab leaves the table at once; without the focus the row is no longer marked.
    QTest::keyClick(table, Qt::Key_Tab);
    settle();
    EXPECT_FALSE(table->hasFocus());
    EXPECT_EQ(ringPixelsOfRow(table, 1), 0);
}

} // namespace halvo::test

namespace halvo::test {

TEST(DnsZoneEditor, EachRowNamesItsDeleteButtonForAssistiveTechnology) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    QListView* table = v.table();
    const char* hosts[] = {"@ (zone.example.com)", "www.zone.example.com", "@.zone.example.com", " .zone.example.com",
                           "api.zone.example.com"};
    QAccessibleInterface* tableInterface = QAccessible::queryAccessibleInterface(table);
    ASSERT_NE(tableInterface, nullptr);
    ASSERT_NE(tableInterface->tableInterface(), nullptr);
    for (int row = 0; row < int(std::size(hosts)); ++row) {
        SCOPED_TRACE(row);
        const QModelIndex index = table->model()->index(row, 0);
        const QString description = QStringLiteral("Record löschen: ") + QString::fromUtf8(hosts[row]);
        EXPECT_EQ(index.data(Qt::AccessibleDescriptionRole).toString(), description);
        EXPECT_TRUE(index.data(Qt::AccessibleTextRole).toString().startsWith(QString::fromUtf8(hosts[row])));
        // What a screen reader is handed for the cell.
        QAccessibleInterface* cell = tableInterface->tableInterface()->cellAt(row, 0);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->text(QAccessible::Description), description);
        EXPECT_EQ(cell->text(QAccessible::Name), index.data(Qt::AccessibleTextRole).toString());
    }
}

} // namespace halvo::test

namespace halvo::test {

TEST(DnsZoneEditor, TabInAnOpenTargetFieldLeavesTheTable) {
    DomainsViewHarness v(QList<HalvoDomain>{sampleZone()});
    v.view->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(v.view.get()));
    QListView* table = v.table();
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        SCOPED_TRACE(key);
        const QRect target = DnsRecordDelegate::cells(table->visualRect(table->model()->index(1, 0))).target;
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, target.center());
        settle();
        auto* editor = table->viewport()->findChild<QLineEdit*>(QStringLiteral("dnsRecordTargetEditor"));
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        settle();
        ASSERT_TRUE(editor->hasFocus());
        QTest::keyClick(editor, key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        settle();
        // No field opened on another row; Tab went past the table, Shift+Tab at most back onto it.
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_TRUE(focus == table || !table->isAncestorOf(focus)) << focus->metaObject()->className();
        if (key == Qt::Key_Tab) {
            EXPECT_NE(focus, table);
        }
        int open = 0;
        for (QLineEdit* field : table->viewport()->findChildren<QLineEdit*>(QStringLiteral("dnsRecordTargetEditor")))
            open += field->isVisible() ? 1 : 0;
        EXPECT_EQ(open, 0);
    }
}

} // namespace halvo::test
