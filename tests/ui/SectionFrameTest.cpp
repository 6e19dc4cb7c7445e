#include "support/QtPrinters.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoSectionFrame.h"

#include <QLabel>
#include <QListView>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSignalSpy>
#include <QSplitter>
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

namespace {

QList<HalvoSectionFrame::TabSpec> sixTabs() {
    return {
        {QStringLiteral("cpu.fill"), QStringLiteral("1. Hardware & Status")},
        {QStringLiteral("power.circle.fill"), QStringLiteral("2. Power, Netboot & IPMI")},
        {QStringLiteral("network"), QStringLiteral("3. Netzwerk & IPs")},
        {QStringLiteral("internaldrive.fill"), QStringLiteral("4. Disks, RAID & OS-Install")},
        {QStringLiteral("externaldrive.badge.timemachine"), QStringLiteral("5. Backup Storage FTP")},
        {QStringLiteral("checklist"), QStringLiteral("6. Tasks & Rechenzentrum")},
    };
}

QWidget* detailOf(const HalvoSectionFrame& frame) {
    return frame.findChild<QWidget*>(QStringLiteral("halvoDetail"));
}

QWidget* sidebarOf(const HalvoSectionFrame& frame) {
    return frame.findChild<QWidget*>(QStringLiteral("halvoSidebar"));
}

/// The rectangle of the widget in the frame's coordinates.
QRect inFrame(const HalvoSectionFrame& frame, const QWidget* widget) {
    return QRect(widget->mapTo(&frame, QPoint(0, 0)), widget->size());
}

/// Drags the splitter's handle by `dx` as the mouse does: press, move with the button held, release.
void dragHandle(QSplitter* splitter, int dx) {
    QSplitterHandle* handle = splitter->handle(1);
    const QPoint local = handle->rect().center();
    const QPoint global = handle->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(handle, &press);
    const QPoint to = local + QPoint(dx, 0);
    QMouseEvent move(QEvent::MouseMove, to, handle->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(handle, &move);
    QMouseEvent release(QEvent::MouseButtonRelease, to, handle->mapToGlobal(to), Qt::LeftButton, Qt::NoButton, {});
    QCoreApplication::sendEvent(handle, &release);
    settle();
}

} // namespace

TEST_F(FrameFixture, TabsThatDoNotFitWrapOntoAFurtherLine) {
    frame.showDetail();
    frame.setTabs(sixTabs(), 0);
    QWidget* detail = detailOf(frame);
    ASSERT_NE(detail, nullptr);
    struct Case {
        int frameWidth;
        bool oneLine;
    };
    for (const Case& c : {Case{900, false}, Case{700, false}, Case{2600, true}, Case{1000, false}}) {
        frame.resize(c.frameWidth, 600);
        settle();
        const QRect visible = inFrame(frame, detail);
        QSet<int> lines;
        for (HalvoActionButton* button : frame.tabButtons()) {
            const QRect rect = inFrame(frame, button);
            EXPECT_TRUE(button->isVisible()) << button->text().toStdString();
            EXPECT_TRUE(visible.contains(rect)) << "width " << c.frameWidth << ": " << button->text().toStdString()
                                                << " at " << rect.x() << ".." << rect.right();
            // Whole, never squeezed below what its text needs.
            EXPECT_GE(rect.width(), button->sizeHint().width()) << button->text().toStdString();
            lines.insert(rect.y());
        }
        EXPECT_EQ(lines.size() == 1, c.oneLine) << "width " << c.frameWidth << ": " << lines.size() << " lines";
        // The content starts below the last line of tabs.
        const int lastTabBottom = inFrame(frame, frame.tabButtons().constLast()).bottom();
        EXPECT_GT(inFrame(frame, frame.contentScrollArea()).top(), lastTabBottom) << "width " << c.frameWidth;
    }
}

TEST_F(FrameFixture, ContentScrollsOnlyVerticallyAndTakesTheViewportsWidth) {
    frame.showDetail();
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    auto* text = new QLabel(QString(QStringLiteral("Ein langer Absatz, der umbricht. ")).repeated(40));
    text->setWordWrap(true);
    column->addWidget(text);
    column->addWidget(tallContent(1400));
    frame.replaceContent(content);
    QScrollArea* scroll = frame.contentScrollArea();
    for (const int width : {1400, 900, 700, 1100}) {
        frame.resize(width, 600);
        settle();
        EXPECT_EQ(scroll->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
        EXPECT_EQ(scroll->widget()->width(), scroll->viewport()->width()) << "frame width " << width;
        EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
        EXPECT_LE(text->width(), scroll->viewport()->width());
    }
}

TEST_F(FrameFixture, SplitterKeepsTheSidebarInItsColumnAndTheDetailGivesWayFirst) {
    // A header far wider than the detail column, as a long server name before eliding makes it.
    frame.showDetail();
    auto* wide = new QLabel(QString(QStringLiteral("pve01.nordlicht.example.com ")).repeated(8));
    frame.replaceHeader(wide);
    frame.setTabs(sixTabs(), 0);
    // 1440 wide window minus the section list.
    frame.resize(1249, 800);
    settle();
    auto* splitter = frame.findChild<QSplitter*>(QStringLiteral("halvoSectionSplitter"));
    ASSERT_NE(splitter, nullptr);
    QWidget* sidebar = sidebarOf(frame);
    QWidget* detail = detailOf(frame);
    EXPECT_EQ(sidebar->width(), 275);

    for (const int dx : {20, 20, 200, -30, -400, 20}) {
        const int before = sidebar->width();
        dragHandle(splitter, dx);
        EXPECT_EQ(sidebar->x(), 0) << "after " << dx;
        // Qt widens a thin handle for grabbing, so a drag may land a pixel or two short.
        EXPECT_NEAR(sidebar->width(), std::clamp(before + dx, 275, 335), 3) << "after " << dx;
        EXPECT_GE(sidebar->width(), 275);
        EXPECT_LE(sidebar->width(), 335);
        EXPECT_EQ(inFrame(frame, detail).right(), frame.width() - 1) << "after " << dx;
        EXPECT_GE(detail->x(), sidebar->width()) << "after " << dx;
        EXPECT_TRUE(frame.sidebarTitleLabel()->isVisible());
    }

    // A narrower window takes the width from the detail, not from the sidebar.
    const int sidebarBefore = sidebar->width();
    frame.resize(990, 800);
    settle();
    EXPECT_EQ(sidebar->width(), sidebarBefore);
    EXPECT_EQ(sidebar->x(), 0);
    EXPECT_EQ(inFrame(frame, detail).right(), frame.width() - 1);
}

TEST_F(FrameFixture, RevealScrollsARectangleOfTheContentIntoView) {
    frame.showDetail();
    frame.resize(1000, 600);
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->addWidget(tallContent(900));
    auto* grown = tallContent(300); // a table that grows with its rows
    column->addWidget(grown);
    column->addWidget(tallContent(900));
    frame.replaceContent(content);
    settle();
    QScrollBar* bar = frame.contentScrollArea()->verticalScrollBar();
    QWidget* viewport = frame.contentScrollArea()->viewport();
    const auto visibleInViewport = [&](const QRect& rectInGrown) {
        const QRect onViewport(grown->mapTo(viewport, rectInGrown.topLeft()), rectInGrown.size());
        return viewport->rect().contains(onViewport);
    };

    // A new last row of 30 points, added just before: the table is taller and the row is at its end.
    grown->setMinimumHeight(330);
    const QRect newRow(0, 300, 200, 30);
    frame.revealInContent(grown, newRow);
    EXPECT_TRUE(visibleInViewport(newRow)) << bar->value();
    EXPECT_GT(bar->value(), 0);

    // Already visible: nothing moves.
    const int position = bar->value();
    frame.revealInContent(grown, QRect(0, 310, 200, 10));
    EXPECT_EQ(bar->value(), position);

    // Above the view: scrolled up to its top.
    bar->setValue(bar->maximum());
    frame.revealInContent(grown, QRect(0, 0, 200, 30));
    EXPECT_TRUE(visibleInViewport(QRect(0, 0, 200, 30)));
}

TEST(SectionFrameTest, EmptyStateAndPlaceholderFirstShownLaterShowTheirTexts) {
    // A frame that starts with its list and detail makes the empty state and the placeholder only when they
    // are first shown: then they show all they hold, laid out inside their pages.
    QStringListModel model(QStringList{QStringLiteral("ns1")});
    HalvoSectionFrame frame(config());
    frame.setListModel(&model, nullptr);
    frame.setListEmpty(false);
    frame.showDetail();
    frame.resize(1000, 600);
    frame.show();
    settle();

    frame.setListEmpty(true);
    frame.showPlaceholder();
    settle();
    for (const QString& text : {QStringLiteral("Keine Dedicated Server geladen"),
                                QStringLiteral("Verbinde deinen Halvo Account oder klicke oben auf 'Halvo API Sync'."),
                                QStringLiteral("Kein Dedicated Bare-Metal Server ausgewählt"),
                                QStringLiteral("Wähle links einen Dedicated Server aus.")}) {
        SCOPED_TRACE(text.toStdString());
        QLabel* label = halvo::test::labelWithText(&frame, text);
        ASSERT_NE(label, nullptr);
        EXPECT_TRUE(label->isVisible());
        EXPECT_GE(label->height(), label->heightForWidth(label->width()));
        EXPECT_TRUE(label->parentWidget()->rect().contains(label->geometry()));
    }
}
