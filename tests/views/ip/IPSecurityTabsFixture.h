#pragma once

// A shown IP view on a real store holding test-made blocks, with helpers to reach the firewall and
// game-firewall tabs the way a user does: by clicking rows, tab buttons and form controls.

#include "support/QtPrinters.h"
#include "support/SectionHarness.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/Components.h"
#include "ui/HalvoSectionFrame.h"
#include "views/ip/IPRdnsView.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

namespace ipsec {

inline HalvoIPBlock makeBlock(const QString& cidr) {
    HalvoIPBlock b;
    b.ipBlock = cidr;
    b.type = QStringLiteral("failover");
    b.version = 4;
    b.country = QStringLiteral("DE");
    b.gateway = QStringLiteral("198.51.100.254");
    b.netmask = QStringLiteral("255.255.255.248");
    b.broadcast = QStringLiteral("198.51.100.7");
    b.mitigationMode = QStringLiteral("permanent");
    return b;
}

inline HalvoFirewallRule makeRule(qint64 sequence, const QString& action, const QString& protocol,
                                  const QString& source, const std::optional<QString>& port) {
    HalvoFirewallRule r;
    r.sequence = sequence;
    r.action = action;
    r.protocol = protocol;
    r.source = source;
    r.destinationPort = port;
    r.state = QStringLiteral("ok");
    return r;
}

inline HalvoAccountSnapshot snapshotWith(const QList<HalvoIPBlock>& blocks) {
    HalvoAccountSnapshot s;
    s.accountId = QUuid::createUuid();
    s.updatedAt = QDateTime::currentDateTimeUtc();
    s.ipBlocks = blocks;
    return s;
}

struct Fixture : halvo::test::SectionHarness<IPRdnsView> {
    explicit Fixture(const QList<HalvoIPBlock>& blocks)
        : SectionHarness(halvo::test::StoreHarness::withSnapshot(snapshotWith(blocks))) {}

    /// The block as the store holds it now.
    HalvoIPBlock block(const QString& cidr) {
        for (const HalvoIPBlock& b : store().activeSnapshot().ipBlocks) {
            if (b.ipBlock == cidr)
                return b;
        }
        ADD_FAILURE() << "no block " << cidr.toStdString();
        return {};
    }

    void selectRow(int row) { clickRow(row); }

    /// Clicks the tab button whose title ends with the tab's title; fails when the bar does not offer it.
    void openTab(IPManagerSubTab tab) {
        for (HalvoActionButton* button : view->frame()->tabButtons()) {
            QString text = button->text();
            text.replace(QStringLiteral("&&"), QStringLiteral("&"));
            if (text.endsWith(QStringLiteral(". ") + rawValue(tab))) {
                halvo::test::click(button);
                return;
            }
        }
        ADD_FAILURE() << "tab not offered: " << rawValue(tab).toStdString();
    }

    /// The one button of the tab content with this text.
    QAbstractButton* contentButton(const QString& text) { return halvo::test::buttonWithText(content(), text); }

    template <class T> T* named(const QString& objectName) { return content()->findChild<T*>(objectName); }

    /// Replaces the text of a form field as a user does: select all, type.
    void typeInto(const QString& fieldName, const QString& text) {
        auto* field = named<HalvoFormTextField>(fieldName);
        ASSERT_NE(field, nullptr) << fieldName.toStdString();
        QLineEdit* edit = field->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        if (!text.isEmpty())
            QTest::keyClicks(edit, text);
    }

    /// Picks the entry shown with this text, as a user choice does (the picker reports the change).
    void pick(const QString& pickerName, const QString& shown) {
        auto* picker = named<QComboBox>(pickerName);
        ASSERT_NE(picker, nullptr) << pickerName.toStdString();
        const int index = picker->findText(shown);
        ASSERT_GE(index, 0) << shown.toStdString();
        picker->setCurrentIndex(index);
    }

    /// The list rows of the content (the card rows drawn with the row background), in order.
    QList<QFrame*> rows() { return content()->findChildren<QFrame*>(QStringLiteral("halvoListRow")); }
};

} // namespace ipsec
