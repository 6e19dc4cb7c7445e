#pragma once

// A shown IP view on a real store holding test-made blocks (and dedicated servers), with helpers to reach
// the details tab and the virtual-MAC/failover tab the way a user does: rows, tab buttons, fields, buttons.

#include "support/QtPrinters.h"
#include "support/SectionHarness.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/Components.h"
#include "ui/HalvoSectionFrame.h"
#include "views/ip/IPRdnsView.h"

#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

namespace ipaddr {

inline HalvoIPBlock makeBlock(const QString& cidr) {
    HalvoIPBlock b;
    b.ipBlock = cidr;
    b.type = QStringLiteral("failover");
    b.version = 4;
    b.country = QStringLiteral("DE");
    b.campus = QStringLiteral("FRA1");
    b.rir = QStringLiteral("RIPE");
    b.gateway = QStringLiteral("198.51.100.254");
    b.netmask = QStringLiteral("255.255.255.240");
    b.broadcast = QStringLiteral("198.51.100.15");
    b.usableHostsCount = 14;
    b.mitigationMode = QStringLiteral("permanent");
    return b;
}

inline HalvoServer makeServer(const QString& name, const QString& reverse) {
    HalvoServer s;
    s.name = name;
    s.reverse = reverse;
    return s;
}

inline HalvoAccountSnapshot snapshotWith(const QList<HalvoIPBlock>& blocks, const QList<HalvoServer>& servers = {}) {
    HalvoAccountSnapshot s;
    s.accountId = QUuid::createUuid();
    s.updatedAt = QDateTime::currentDateTimeUtc();
    s.ipBlocks = blocks;
    s.dedicatedServers = servers;
    return s;
}

struct Fixture : halvo::test::SectionHarness<IPRdnsView> {
    explicit Fixture(const QList<HalvoIPBlock>& blocks, const QList<HalvoServer>& servers = {})
        : SectionHarness(halvo::test::StoreHarness::withSnapshot(snapshotWith(blocks, servers))) {}

    /// The block as the store holds it now.
    HalvoIPBlock block(const QString& cidr) {
        for (const HalvoIPBlock& b : store().activeSnapshot().ipBlocks) {
            if (b.ipBlock == cidr)
                return b;
        }
        ADD_FAILURE() << "no block " << cidr.toStdString();
        return {};
    }

    void clickRow(int row) {
        QListView* list = view->frame()->listView();
        const QModelIndex index = list->model()->index(row, 0);
        list->scrollTo(index);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(index).center());
        halvo::test::settle();
    }

    /// Presses the tab button whose title (after its number) is the tab's.
    void openTab(IPManagerSubTab tab) {
        for (HalvoActionButton* button : view->frame()->tabButtons()) {
            if (button->text()
                    .replace(QStringLiteral("&&"), QStringLiteral("&"))
                    .endsWith(QStringLiteral(". ") + rawValue(tab))) {
                halvo::test::click(button);
                return;
            }
        }
        ADD_FAILURE() << "no tab button " << rawValue(tab).toStdString();
    }

    QLineEdit* field(const QString& objectName) {
        auto* field = halvo::test::findNamed<HalvoFormTextField>(content(), objectName);
        EXPECT_NE(field, nullptr) << objectName.toStdString();
        return field ? field->lineEdit() : nullptr;
    }
    /// Types into the field as a user would (one key at a time).
    void type(const QString& objectName, const QString& text) {
        QLineEdit* edit = field(objectName);
        if (!edit)
            return;
        edit->setFocus();
        QTest::keyClicks(edit, text);
        halvo::test::settle();
    }
    /// Pastes a text (tabs and line breaks cannot be typed into a single-line field).
    void paste(const QString& objectName, const QString& text) {
        if (QLineEdit* edit = field(objectName)) {
            edit->setText(text);
            halvo::test::settle();
        }
    }
    void press(const QString& buttonText) {
        QAbstractButton* button = halvo::test::buttonWithText(content(), buttonText);
        if (button)
            halvo::test::click(button);
    }
    HalvoActionButton* actionButton(const QString& text) {
        return qobject_cast<HalvoActionButton*>(halvo::test::buttonWithText(content(), text));
    }
    /// Confirms the pending request as the sheet's confirm button would.
    void confirm() {
        ASSERT_TRUE(store().pendingConfirmation().has_value());
        const std::function<void()> action = store().pendingConfirmation()->action;
        store().clearPendingConfirmation();
        action();
        halvo::test::settle();
    }
    void cancel() {
        store().clearPendingConfirmation();
        halvo::test::settle();
    }
};

} // namespace ipaddr
