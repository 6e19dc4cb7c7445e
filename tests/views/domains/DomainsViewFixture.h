#pragma once

// Test-made domains and a shown domains view on a real store.

#include "store/AppStateStore.h"
#include "support/QtPrinters.h"
#include "support/SectionHarness.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/Components.h"
#include "ui/HalvoSectionFrame.h"
#include "views/domains/DnsRecordDelegate.h"
#include "views/domains/DnsRecordListModel.h"
#include "views/domains/DnsZoneEditorSection.h"
#include "views/domains/DomainRowDelegate.h"
#include "views/domains/DomainsView.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

namespace halvo::test {

inline HalvoDNSRecord makeRecord(qint64 id, const QString& zone, const QString& subDomain, const QString& type,
                                 const QString& target, qint64 ttl = 3600) {
    return {.id = id, .zone = zone, .subDomain = subDomain, .fieldType = type, .target = target, .ttl = ttl};
}

/// A domain with DNSSEC on, a transfer lock and two records; tests change what they look at.
inline HalvoDomain makeDomain(const QString& name, int records = 2) {
    HalvoDomain domain;
    domain.domain = name;
    domain.nameServerType = QStringLiteral("hosted");
    domain.dnssecSupported = true;
    domain.dnssecEnabled = true;
    domain.transferLockStatus = QStringLiteral("locked");
    domain.whoisOwner = QStringLiteral("Example Owner");
    domain.nameServers = {QStringLiteral("ns1.example.net"), QStringLiteral("ns2.example.net")};
    domain.pulsenameSupported = true;
    for (int i = 0; i < records; ++i) {
        domain.dnsRecords.append(makeRecord(1000 + i, name, QStringLiteral("host%1").arg(i), QStringLiteral("A"),
                                            QStringLiteral("192.0.2.%1").arg(i % 250), 3600));
    }
    return domain;
}

inline HalvoAccountSnapshot snapshotWithDomains(const QList<HalvoDomain>& domains) {
    HalvoAccountSnapshot snapshot;
    snapshot.accountId = QUuid::createUuid();
    snapshot.updatedAt = QDateTime::currentDateTimeUtc();
    snapshot.domains = domains;
    return snapshot;
}

/// A real store with the given domains (or the demonstration data) and a shown view on it.
class DomainsViewHarness : public SectionHarness<DomainsView> {
public:
    explicit DomainsViewHarness(const std::optional<QList<HalvoDomain>>& domains = std::nullopt)
        : SectionHarness(domains ? StoreHarness::withSnapshot(snapshotWithDomains(*domains))
                                 : std::make_unique<StoreHarness>()) {}

    std::optional<HalvoDomain> domain(const QString& name) {
        for (const HalvoDomain& domain : store().activeSnapshot().domains) {
            if (domain.domain == name)
                return domain;
        }
        return std::nullopt;
    }

    /// What the sidebar row shows, read through the list's own model and delegate.
    DomainRowLook rowLook(int row) {
        const auto* model = dynamic_cast<const HalvoRecordListModel<HalvoDomain>*>(list()->model());
        EXPECT_NE(model, nullptr);
        EXPECT_NE(qobject_cast<DomainRowDelegate*>(list()->itemDelegate()), nullptr);
        return DomainRowLook::of(model->itemAt(row));
    }

    using SectionHarness::clickRow;
    void clickRow(const QString& name) {
        const int row = int(listedNames().indexOf(name));
        ASSERT_GE(row, 0) << name.toStdString();
        clickRow(row);
    }

    /// The title of the one tab button in the primary variant, or an empty text.
    QString highlightedTab() {
        QStringList found;
        for (const HalvoActionButton* button : frame().tabButtons()) {
            if (button->variant() == HalvoButtonVariant::primary)
                found.append(button->text());
        }
        EXPECT_LE(found.size(), 1) << "more than one tab highlighted";
        return found.value(0);
    }

    void clickTab(const QString& title) {
        for (HalvoActionButton* button : frame().tabButtons()) {
            if (button->text() == title) {
                click(button);
                return;
            }
        }
        ADD_FAILURE() << "no tab " << title.toStdString();
    }

    // ---- the zone editor ----

    DnsZoneEditorSection* editor() {
        DnsZoneEditorSection* editor = view->zoneEditor();
        EXPECT_NE(editor, nullptr);
        EXPECT_EQ(frame().content(), editor);
        return editor;
    }
    QLineEdit* subDomainInput() {
        return findNamed<HalvoFormTextField>(editor(), QStringLiteral("newSubDomainField"))->lineEdit();
    }
    QLineEdit* targetInput() {
        return findNamed<HalvoFormTextField>(editor(), QStringLiteral("newTargetField"))->lineEdit();
    }
    QComboBox* typePicker() { return findNamed<QComboBox>(editor(), QStringLiteral("newRecordTypePicker")); }
    QComboBox* ttlPicker() { return findNamed<QComboBox>(editor(), QStringLiteral("newTTLPicker")); }
    QListView* table() { return editor()->recordTable(); }

    /// Types the text into the input; a text with a tab, which a key press would not type, is pasted.
    void type(QLineEdit* input, const QString& text) {
        input->setFocus();
        if (text.contains(QLatin1Char('\t')))
            input->insert(text);
        else
            QTest::keyClicks(input, text);
        settle();
    }

    /// Picks the entry of a picker as a user would: open it, then choose the entry.
    void pick(QComboBox* picker, const QString& text) {
        const int index = picker->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        picker->showPopup();
        QAbstractItemView* popup = picker->view();
        const QModelIndex item = popup->model()->index(index, 0);
        popup->scrollTo(item);
        QTest::mouseClick(popup->viewport(), Qt::LeftButton, {}, popup->visualRect(item).center());
        settle();
    }

    void pressAdd() { click(buttonWithText(editor(), QStringLiteral("Record anlegen"))); }

    /// The card's title and subtitle as shown.
    QStringList cardTexts() { return labelTexts(editor()->card()); }

    /// The texts of every row of the record table, as its delegate draws them.
    QList<DnsRecordDelegate::RowTexts> rows() {
        QList<DnsRecordDelegate::RowTexts> result;
        auto* delegate = qobject_cast<DnsRecordDelegate*>(table()->itemDelegate());
        EXPECT_NE(delegate, nullptr);
        for (int row = 0; row < table()->model()->rowCount(); ++row)
            result.append(delegate->rowTexts(table()->model()->index(row, 0)));
        return result;
    }

    /// Presses the delete button of the row with the mouse, as a user would.
    void pressDelete(int row) {
        QListView* t = table();
        // The rows lie in the detail's scroll area: scroll the detail to the row, as the user would.
        frame().revealInContent(t->viewport(), editor()->rowRect(row));
        settle();
        const QRect button = editor()->deleteButtonRect(row);
        QWidget* visible = frame().contentScrollArea()->viewport();
        const QRect onScreen(t->viewport()->mapTo(visible, button.topLeft()), button.size());
        ASSERT_TRUE(visible->rect().contains(onScreen)) << "button of row " << row << " not visible";
        QTest::mouseClick(t->viewport(), Qt::LeftButton, {}, button.center());
        settle();
    }
};

} // namespace halvo::test
