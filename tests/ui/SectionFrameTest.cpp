#include "support/QtPrinters.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoSectionFrame.h"

#include <QLabel>
#include <QListView>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStringListModel>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using halvo::test::settle;

namespace {

HalvoSectionFrame::Config config() {
    HalvoSectionFrame::Config c;
    c.sidebarIcon = QStringLiteral("server.rack");
    c.sidebarTint = halvo::theme::Tint::purple;
    c.sidebarMinWidth = 275;
    c.sidebarMaxWidth = 335;
    c.emptyIcon = QStringLiteral("server.rack");
    c.emptyTitle = QStringLiteral("Keine Dedicated Server geladen");
    c.emptyText = QStringLiteral("Verbinde deinen Halvo Account oder klicke oben auf 'Halvo API Sync'.");
    c.placeholderIcon = QStringLiteral("server.rack");
    c.placeholderTitle = QStringLiteral("Kein Dedicated Bare-Metal Server ausgewählt");
    c.placeholderDescription = QStringLiteral("Wähle links einen Dedicated Server aus.");
    return c;
}

QWidget* tallContent(int height) {
    auto* w = new QWidget;
    w->setMinimumHeight(height);
    return w;
}

struct FrameFixture : ::testing::Test {
    FrameFixture()
        : frame(config())
        , model(QStringList{QStringLiteral("ns1"), QStringLiteral("ns2"), QStringLiteral("ns3")}) {
        frame.setListModel(&model, nullptr);
        frame.resize(1000, 600);
        frame.show();
        settle();
    }

    void clickRow(int row) {
        QListView* list = frame.listView();
        const QRect rect = list->visualRect(model.index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        settle();
    }

    HalvoSectionFrame frame;
    QStringListModel model;
};

} // namespace

TEST_F(FrameFixture, RowSelectedOnlyForTheUsersClick) {
    QSignalSpy selected(&frame, &HalvoSectionFrame::rowSelected);
    frame.setListEmpty(false);
    frame.setCurrentRow(1);
    EXPECT_EQ(frame.listView()->selectionModel()->selectedRows().value(0).row(), 1);
    frame.setCurrentRow(-1);
    EXPECT_TRUE(frame.listView()->selectionModel()->selectedRows().isEmpty());
    // A refill of the list (a model reset) is no choice of the user either.
    frame.setCurrentRow(2);
    model.setStringList({QStringLiteral("a"), QStringLiteral("b")});
    frame.listView()->setFocus();
    settle();
    EXPECT_EQ(selected.count(), 0);

    clickRow(1);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).toInt(), 1);

    // Clicking the row that is already selected changes nothing.
    clickRow(1);
    EXPECT_EQ(selected.count(), 1);

    QTest::keyClick(frame.listView(), Qt::Key_Up);
    settle();
    ASSERT_EQ(selected.count(), 2);
    EXPECT_EQ(selected.at(1).at(0).toInt(), 0);
}

TEST_F(FrameFixture, EmptyStateAndPlaceholderSwitch) {
    EXPECT_TRUE(frame.isListEmpty());
    EXPECT_TRUE(frame.isShowingPlaceholder());
    EXPECT_TRUE(halvo::test::labelWithText(&frame, QStringLiteral("Keine Dedicated Server geladen"))->isVisible());
    EXPECT_TRUE(
        halvo::test::labelWithText(&frame, QStringLiteral("Kein Dedicated Bare-Metal Server ausgewählt"))->isVisible());

    frame.setListEmpty(false);
    frame.showDetail();
    EXPECT_FALSE(frame.isListEmpty());
    EXPECT_FALSE(frame.isShowingPlaceholder());
    EXPECT_TRUE(frame.listView()->isVisible());
    EXPECT_FALSE(halvo::test::labelWithText(&frame, QStringLiteral("Keine Dedicated Server geladen"))->isVisible());

    frame.setSidebarTitle(QStringLiteral("Dedicated Server (0)"));
    EXPECT_EQ(frame.sidebarTitleLabel()->text(), QStringLiteral("Dedicated Server (0)"));

    QWidget* sidebar = frame.findChild<QWidget*>(QStringLiteral("halvoSidebar"));
    ASSERT_NE(sidebar, nullptr);
    EXPECT_EQ(sidebar->minimumWidth(), 275);
    EXPECT_EQ(sidebar->maximumWidth(), 335);
}

TEST_F(FrameFixture, TabsAreRebuiltOnlyWhenTheyChange) {
    frame.showDetail();
    QSignalSpy clicked(&frame, &HalvoSectionFrame::tabClicked);
    const QList<HalvoSectionFrame::TabSpec> tabs = {
        {QStringLiteral("cpu.fill"), QStringLiteral("1. Hardware & Status")},
        {QStringLiteral("power.circle.fill"), QStringLiteral("2. Power, Netboot & IPMI")},
        {QStringLiteral("checklist"), QStringLiteral("3. Tasks & Rechenzentrum")},
    };
    frame.setTabs(tabs, 0);
    const QList<HalvoActionButton*> buttons = frame.tabButtons();
    ASSERT_EQ(buttons.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(buttons[i]->text(), tabs[i].title);
        EXPECT_TRUE(buttons[i]->isSmall());
        EXPECT_EQ(buttons[i]->variant(), i == 0 ? HalvoButtonVariant::primary : HalvoButtonVariant::secondary);
    }

    frame.setTabs(tabs, 2);
    EXPECT_EQ(frame.tabButtons(), buttons); // same buttons, new highlight
    EXPECT_EQ(buttons[0]->variant(), HalvoButtonVariant::secondary);
    EXPECT_EQ(buttons[2]->variant(), HalvoButtonVariant::primary);
    EXPECT_EQ(clicked.count(), 0);

    halvo::test::click(buttons[1]);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 1);

    // A click whose handler offers other tabs replaces the clicked button itself: it must survive its signal.
    const QList<HalvoSectionFrame::TabSpec> fewer = {tabs[0], tabs[2]};
    QObject::connect(&frame, &HalvoSectionFrame::tabClicked, &frame, [&] { frame.setTabs(fewer, 1); });
    QPointer<HalvoActionButton> old = buttons[2];
    halvo::test::click(buttons[2]);
    EXPECT_TRUE(old.isNull());
    ASSERT_EQ(frame.tabButtons().size(), 2);
    EXPECT_EQ(frame.tabButtons()[1]->text(), QStringLiteral("3. Tasks & Rechenzentrum"));
    EXPECT_EQ(frame.tabButtons()[1]->variant(), HalvoButtonVariant::primary);
    EXPECT_EQ(halvo::test::buttonsWithText(&frame, QStringLiteral("2. Power, Netboot & IPMI")).size(), 0);
}

TEST_F(FrameFixture, ReplacedContentKeepsTheScrollPosition) {
    frame.showDetail();
    frame.replaceContent(tallContent(3000));
    settle();
    QScrollBar* bar = frame.contentScrollArea()->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 1000);
    bar->setValue(800);

    QPointer<QWidget> old = frame.content();
    frame.replaceContent(tallContent(3000));
    EXPECT_FALSE(old.isNull()); // deleted later, not inside the caller's handler
    EXPECT_FALSE(old->isVisible());
    settle();
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(bar->value(), 800);

    frame.replaceContent(tallContent(3000), false);
    settle();
    EXPECT_EQ(bar->value(), 0);
}

TEST_F(FrameFixture, HeaderIsReplacedAndTheOldOneDeletedLater) {
    frame.showDetail();
    auto* first = new QPushButton(QStringLiteral("Kopieren"));
    frame.replaceHeader(first);
    EXPECT_EQ(frame.header(), first);
    QPointer<QPushButton> guard(first);
    // The header's own button rebuilds the header, as a toggle of the shown item does.
    QObject::connect(first, &QPushButton::clicked, &frame,
                     [&] { frame.replaceHeader(new QLabel(QStringLiteral("neu"))); });
    halvo::test::click(first);
    EXPECT_TRUE(guard.isNull());
    EXPECT_TRUE(halvo::test::hasLabel(&frame, QStringLiteral("neu")));
    EXPECT_FALSE(halvo::test::hasButton(&frame, QStringLiteral("Kopieren")));
}
