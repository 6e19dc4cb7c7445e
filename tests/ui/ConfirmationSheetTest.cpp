#include "support/QtPrinters.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/Components.h"
#include "ui/HalvoConfirmationSheet.h"

#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>

using halvo::test::settle;

namespace {

HalvoConfirmRequest request(const QString& title, std::function<void()> action) {
    HalvoConfirmRequest r;
    r.title = title;
    r.message = QStringLiteral("Der Server wird sofort neu gestartet.");
    r.confirmButtonTitle = QStringLiteral("Jetzt neu starten");
    r.variant = HalvoButtonVariant::danger;
    r.action = std::move(action);
    return r;
}

struct SheetFixture : ::testing::Test {
    SheetFixture() {
        settle();
        host.resize(800, 600);
        host.show();
        presenter = new HalvoConfirmationPresenter(store(), &host);
    }

    AppStateStore& store() { return harness.store(); }
    HalvoConfirmationSheet* sheet() const { return presenter->sheet(); }

    halvo::test::StoreHarness harness;
    QWidget host;
    HalvoConfirmationPresenter* presenter = nullptr;
    int runs = 0;
};

} // namespace

TEST_F(SheetFixture, CancelRunsNothingAndClearsThePendingRequest) {
    store().requestConfirmation(request(QStringLiteral("Reboot?"), [this] { ++runs; }));
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(sheet()->isVisible());
    EXPECT_EQ(sheet()->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(halvo::test::hasLabel(sheet(), QStringLiteral("Reboot?")));
    EXPECT_TRUE(halvo::test::hasLabel(sheet(), QStringLiteral("Der Server wird sofort neu gestartet.")));
    EXPECT_EQ(sheet()->confirmButton()->text(), QStringLiteral("Jetzt neu starten"));
    EXPECT_EQ(sheet()->confirmButton()->variant(), HalvoButtonVariant::danger);

    QPointer<HalvoConfirmationSheet> shown = sheet();
    halvo::test::click(halvo::test::buttonWithText(shown, QStringLiteral("Abbrechen")));
    EXPECT_EQ(runs, 0);
    EXPECT_FALSE(store().pendingConfirmation().has_value());
    EXPECT_TRUE(shown.isNull());
}

TEST_F(SheetFixture, EscapeAndClosingRunNothing) {
    store().requestConfirmation(request(QStringLiteral("A"), [this] { ++runs; }));
    QTest::keyClick(sheet(), Qt::Key_Escape);
    settle();
    EXPECT_FALSE(store().pendingConfirmation().has_value());
    EXPECT_EQ(sheet(), nullptr);

    store().requestConfirmation(request(QStringLiteral("B"), [this] { ++runs; }));
    sheet()->close();
    settle();
    EXPECT_FALSE(store().pendingConfirmation().has_value());
    EXPECT_EQ(runs, 0);
}

TEST_F(SheetFixture, ConfirmClosesTheSheetAndClearsTheRequestBeforeTheActionRuns) {
    bool sheetWasHidden = false;
    bool requestWasCleared = false;
    QPointer<HalvoConfirmationSheet> shown;
    store().requestConfirmation(request(QStringLiteral("Reboot?"), [&] {
        ++runs;
        sheetWasHidden = shown.isNull() || !shown->isVisible();
        requestWasCleared = !store().pendingConfirmation().has_value();
    }));
    shown = sheet();
    halvo::test::click(sheet()->confirmButton());
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(sheetWasHidden);
    EXPECT_TRUE(requestWasCleared);
    EXPECT_TRUE(shown.isNull());
}

TEST_F(SheetFixture, AnActionMayAskForTheNextConfirmation) {
    store().requestConfirmation(request(QStringLiteral("Erst"), [this] {
        ++runs;
        store().requestConfirmation(request(QStringLiteral("Dann"), [this] { runs += 10; }));
    }));
    halvo::test::click(sheet()->confirmButton());
    ASSERT_TRUE(store().pendingConfirmation().has_value());
    EXPECT_EQ(store().pendingConfirmation()->title, QStringLiteral("Dann"));
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(halvo::test::hasLabel(sheet(), QStringLiteral("Dann")));
    halvo::test::click(sheet()->confirmButton());
    EXPECT_EQ(runs, 11);
}

TEST_F(SheetFixture, ANewRequestReplacesThePendingOne) {
    int firstRuns = 0;
    store().requestConfirmation(request(QStringLiteral("Alt"), [&] { ++firstRuns; }));
    QPointer<HalvoConfirmationSheet> old = sheet();
    store().requestConfirmation(request(QStringLiteral("Neu"), [this] { ++runs; }));
    settle();
    EXPECT_TRUE(old.isNull());
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(halvo::test::hasLabel(sheet(), QStringLiteral("Neu")));
    // Closing the replaced sheet did not count as cancelling the new request.
    ASSERT_TRUE(store().pendingConfirmation().has_value());
    EXPECT_EQ(store().pendingConfirmation()->title, QStringLiteral("Neu"));
    EXPECT_EQ(host.findChildren<HalvoConfirmationSheet*>().size(), 1);

    halvo::test::click(sheet()->confirmButton());
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(firstRuns, 0);
}

TEST_F(SheetFixture, TypedConfirmationRefusesWrongTextAndAcceptsTrimmedCaseInsensitive) {
    auto r = request(QStringLiteral("Neuinstallation"), [this] { ++runs; });
    r.requireTypedConfirmation = QStringLiteral("ns3001.example");
    r.warningDetails = QStringLiteral("Alle Daten auf den Disks werden gelöscht.");
    store().requestConfirmation(r);
    ASSERT_NE(sheet()->typedConfirmationField(), nullptr);
    EXPECT_TRUE(halvo::test::hasLabel(sheet(), QStringLiteral("Alle Daten auf den Disks werden gelöscht.")));

    QTest::keyClicks(sheet()->typedConfirmationField(), QStringLiteral("ns3001.exampl"));
    halvo::test::click(sheet()->confirmButton());
    QTest::keyClick(sheet()->typedConfirmationField(), Qt::Key_Return);
    settle();
    EXPECT_EQ(runs, 0);
    ASSERT_NE(sheet(), nullptr);
    EXPECT_TRUE(sheet()->isVisible());
    EXPECT_TRUE(store().pendingConfirmation().has_value());

    sheet()->typedConfirmationField()->setText(QStringLiteral("  NS3001.EXAMPLE\t"));
    halvo::test::click(sheet()->confirmButton());
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(sheet(), nullptr);
}

TEST_F(SheetFixture, EmptyTypedConfirmationAsksForNothing) {
    auto r = request(QStringLiteral("Snapshot"), [this] { ++runs; });
    r.requireTypedConfirmation = QString();
    store().requestConfirmation(r);
    EXPECT_EQ(sheet()->typedConfirmationField(), nullptr);
    EXPECT_FALSE(halvo::test::hasLabelContaining(sheet(), QStringLiteral("Alle Daten")));
    halvo::test::click(sheet()->confirmButton());
    EXPECT_EQ(runs, 1);
}

TEST(ConfirmationSheet, TypedTextMatching) {
    struct Case {
        const char16_t* typed;
        const char16_t* required;
        bool matches;
    };
    const Case cases[] = {
        {u" NAME ", u"name", true},
        {u"name", u"NAME", true},
        {u"\tvps-1\u00A0\u2003", u"vps-1", true}, // tabs and other space separators are trimmed
        {u"vps-1\n", u"vps-1", false},            // a line break is content
        {u"vps 1", u"vps-1", false},
        {u"vps-", u"vps-1", false},
        {u"", u"vps-1", false},
        {u"vps-1x", u"vps-1", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HalvoConfirmationSheet::typedTextMatches(QString::fromUtf16(c.typed), QString::fromUtf16(c.required)),
                  c.matches)
            << QString::fromUtf16(c.typed).toStdString();
    }
}
