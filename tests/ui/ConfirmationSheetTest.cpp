#include "support/QtPrinters.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/Components.h"
#include "ui/HalvoConfirmationSheet.h"
#include "ui/Theme.h"

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

TEST_F(SheetFixture, TypedConfirmationButtonLooksDisabledUntilTheTextMatchesThenTurnsOn) {
    auto r = request(QStringLiteral("VPS löschen"), [this] { ++runs; });
    r.requireTypedConfirmation = QStringLiteral("vps-1");
    store().requestConfirmation(r);
    ASSERT_NE(sheet(), nullptr);
    host.activateWindow();
    sheet()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet()));
    HalvoActionButton* confirm = sheet()->confirmButton();
    const auto fillOf = [confirm] {
        const QImage image = confirm->grab().toImage();
        return image.pixelColor(6, image.height() / 2).rgb();
    };
    // The keyboard starts in the typed field.
    EXPECT_TRUE(sheet()->typedConfirmationField()->hasFocus());

    const QString required = QStringLiteral("vps-1");
    for (qsizetype typed = 0; typed < required.size(); ++typed) {
        EXPECT_FALSE(confirm->isEnabled()) << typed;
        EXPECT_EQ(fillOf(), halvo::theme::disabledButtonColor().rgb()) << typed;
        QTest::keyClick(sheet()->typedConfirmationField(), required.at(typed).toLatin1());
    }
    // On with the last keystroke, in the variant's own fill.
    EXPECT_TRUE(confirm->isEnabled());
    EXPECT_EQ(fillOf(), halvo::theme::buttonColor(HalvoButtonVariant::danger).rgb());
    QTest::keyClick(sheet()->typedConfirmationField(), Qt::Key_Backspace);
    EXPECT_FALSE(confirm->isEnabled());
    EXPECT_EQ(fillOf(), halvo::theme::disabledButtonColor().rgb());
    EXPECT_EQ(runs, 0);
}

TEST_F(SheetFixture, ReturnNeverConfirmsWithoutTheConfirmation) {
    // A plain sheet: Return wherever the keyboard is confirms nothing; the keyboard starts on "Abbrechen".
    store().requestConfirmation(request(QStringLiteral("Reboot?"), [this] { ++runs; }));
    ASSERT_NE(sheet(), nullptr);
    sheet()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(sheet()));
    EXPECT_TRUE(sheet()->cancelButton()->hasFocus());
    EXPECT_FALSE(sheet()->confirmButton()->isDefault());
    EXPECT_FALSE(sheet()->confirmButton()->autoDefault());
    for (QWidget* target : {static_cast<QWidget*>(sheet()), static_cast<QWidget*>(sheet()->cancelButton())}) {
        QTest::keyClick(target, Qt::Key_Return);
        QTest::keyClick(target, Qt::Key_Enter);
        settle();
        EXPECT_EQ(runs, 0);
        ASSERT_NE(sheet(), nullptr);
    }
    // Tabbing onto the confirm button does not make Return press it either.
    QTest::keyClick(sheet()->cancelButton(), Qt::Key_Tab);
    ASSERT_TRUE(sheet()->confirmButton()->hasFocus());
    QTest::keyClick(sheet()->confirmButton(), Qt::Key_Return);
    settle();
    EXPECT_EQ(runs, 0);
    ASSERT_NE(sheet(), nullptr);
    // Space on it is a deliberate press.
    QTest::keyClick(sheet()->confirmButton(), Qt::Key_Space);
    settle();
    EXPECT_EQ(runs, 1);

    // A typed confirmation: Return in the field confirms once the text matches, and only then.
    auto typed = request(QStringLiteral("Neuinstallation"), [this] { runs += 10; });
    typed.requireTypedConfirmation = QStringLiteral("ns3001.example");
    store().requestConfirmation(typed);
    ASSERT_NE(sheet(), nullptr);
    QLineEdit* field = sheet()->typedConfirmationField();
    QTest::keyClicks(field, QStringLiteral("ns3001"));
    QTest::keyClick(field, Qt::Key_Return);
    settle();
    EXPECT_EQ(runs, 1);
    ASSERT_NE(sheet(), nullptr);
    QTest::keyClicks(field, QStringLiteral(".example"));
    QTest::keyClick(field, Qt::Key_Return);
    settle();
    EXPECT_EQ(runs, 11);
    EXPECT_EQ(sheet(), nullptr);
}
