#include "app/MainWindow.h"

#include "support/QtPrinters.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoConfirmationSheet.h"
#include "ui/HalvoElidedLabel.h"
#include "ui/Theme.h"
#include "views/dedicated/DedicatedServersView.h"
#include "views/domains/DomainsView.h"
#include "views/ip/IPRdnsView.h"
#include "views/vps/VPSView.h"

#include <QHelpEvent>
#include <QLabel>
#include <QScreen>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using halvo::test::settle;

namespace {

struct WindowFixture : ::testing::Test {
    WindowFixture() {
        settle();
        window = std::make_unique<MainWindow>(store());
        window->show();
        settle();
    }

    AppStateStore& store() { return harness.store(); }

    void clickSection(NavigationSection section) {
        QListWidget* list = window->sectionList();
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text() == rawValue(section)) {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(i)).center());
                settle();
                return;
            }
        }
        ADD_FAILURE() << "no section " << rawValue(section).toStdString();
    }

    halvo::test::StoreHarness harness;
    std::unique_ptr<MainWindow> window;
};

bool isViewOf(QWidget* view, NavigationSection section) {
    switch (section) {
    case NavigationSection::domains:
        return qobject_cast<DomainsView*>(view);
    case NavigationSection::vps:
        return qobject_cast<VPSView*>(view);
    case NavigationSection::dedicated:
        return qobject_cast<DedicatedServersView*>(view);
    case NavigationSection::ipRdns:
        return qobject_cast<IPRdnsView*>(view);
    }
    return false;
}

} // namespace

TEST_F(WindowFixture, TitleSizeAndSections) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vevavavozi Pultorium Pro – macOS 15 Universal"));
    EXPECT_GE(window->centralWidget()->minimumWidth(), 1180);
    EXPECT_GE(window->centralWidget()->minimumHeight(), 740);
    QStringList titles;
    for (int i = 0; i < window->sectionList()->count(); ++i)
        titles.append(window->sectionList()->item(i)->text());
    EXPECT_EQ(titles, (QStringList{QStringLiteral("Domains & DNS"), QStringLiteral("VPS Cloud"),
                                   QStringLiteral("Dedicated Server"), QStringLiteral("IP-Adressen & rDNS")}));
    EXPECT_TRUE(isViewOf(window->sectionView(), store().selectedSection()));
}

TEST_F(WindowFixture, SelectingASectionShowsItsView) {
    for (const NavigationSection section : {NavigationSection::dedicated, NavigationSection::ipRdns,
                                            NavigationSection::vps, NavigationSection::domains}) {
        clickSection(section);
        EXPECT_EQ(store().selectedSection(), section);
        EXPECT_EQ(window->shownSection(), section);
        ASSERT_NE(window->sectionView(), nullptr);
        EXPECT_TRUE(isViewOf(window->sectionView(), section)) << rawValue(section).toStdString();
        EXPECT_TRUE(window->sectionView()->isVisible());
        // Exactly one section view at a time.
        const int views = window->findChildren<DomainsView*>().size() + window->findChildren<VPSView*>().size() +
                          window->findChildren<DedicatedServersView*>().size() +
                          window->findChildren<IPRdnsView*>().size();
        EXPECT_EQ(views, 1);
    }
    // The list follows a switch that comes from elsewhere (a view's button).
    store().setSelectedSection(NavigationSection::ipRdns);
    settle();
    EXPECT_EQ(window->sectionList()->currentItem()->text(), QStringLiteral("IP-Adressen & rDNS"));
    EXPECT_TRUE(isViewOf(window->sectionView(), NavigationSection::ipRdns));
}

TEST_F(WindowFixture, LeavingAndComingBackResetsTheViewsInputs) {
    store().setSelectedSection(NavigationSection::domains);
    settle();
    auto* domains = qobject_cast<DomainsView*>(window->sectionView());
    ASSERT_NE(domains, nullptr);
    domains->state().newSubDomain = QStringLiteral("www");
    domains->state().dynSubInput = QStringLiteral("office");
    QPointer<QWidget> old = domains;

    clickSection(NavigationSection::vps);
    EXPECT_TRUE(old.isNull());
    clickSection(NavigationSection::domains);
    auto* fresh = qobject_cast<DomainsView*>(window->sectionView());
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->state().newSubDomain, QString());
    EXPECT_EQ(fresh->state().dynSubInput, QStringLiteral("home"));
}

TEST_F(WindowFixture, AViewsOwnButtonMaySwitchTheSection) {
    store().setSelectedSection(NavigationSection::dedicated);
    settle();
    QPointer<QWidget> view = window->sectionView();
    auto* button = new QPushButton(QStringLiteral("Zu den IPs"), view);
    button->show();
    bool aliveAfterSwitch = false;
    QObject::connect(button, &QPushButton::clicked, view, [&] {
        store().setSelectedSection(NavigationSection::ipRdns);
        // The switch happens on the next turn: the view and this button still exist here.
        aliveAfterSwitch = !view.isNull() && button->isVisible();
    });
    halvo::test::click(button);
    EXPECT_TRUE(aliveAfterSwitch);
    EXPECT_TRUE(view.isNull());
    EXPECT_TRUE(isViewOf(window->sectionView(), NavigationSection::ipRdns));
}

TEST_F(WindowFixture, SearchFieldReachesTheStoreUntrimmedOnEveryKeystroke) {
    QSignalSpy changes(&store(), &AppStateStore::searchTextChanged);
    QTest::keyClicks(window->searchField(), QStringLiteral(" Ab "));
    EXPECT_EQ(store().searchText(), QStringLiteral(" Ab "));
    EXPECT_EQ(changes.count(), 4);
    QTest::keyClick(window->searchField(), Qt::Key_Backspace);
    EXPECT_EQ(store().searchText(), QStringLiteral(" Ab"));

    store().setSearchText(QStringLiteral("x"));
    EXPECT_EQ(window->searchField()->text(), QStringLiteral("x"));
}

TEST_F(WindowFixture, AnActionsSentenceAppearsInTheStatusLine) {
    EXPECT_EQ(window->statusLine()->text(), AppStateStore::kInitialMessage);
    const QString domain = store().activeSnapshot().domains.value(0).domain;
    ASSERT_FALSE(domain.isEmpty());
    store().toggleDomainTransferLock(domain);
    EXPECT_NE(store().lastActionMessage(), AppStateStore::kInitialMessage);
    EXPECT_EQ(window->statusLine()->text(), store().lastActionMessage());
    EXPECT_TRUE(window->statusLine()->isVisible());
}

/// The symbol shown beside the status line: its name and tint.
std::pair<QString, QString> statusMark(const MainWindow& window) {
    QStringList shown;
    std::pair<QString, QString> mark;
    for (const QLabel* label : window.statusLine()->parentWidget()->findChildren<QLabel*>()) {
        if (label->property("symbolName").isValid() && label->isVisible()) {
            mark = {label->property("symbolName").toString(), label->property("tint").toString()};
            shown.append(mark.first);
        }
    }
    EXPECT_EQ(shown.size(), 1) << shown.join(QStringLiteral(", ")).toStdString();
    return mark;
}

TEST_F(WindowFixture, FailureSentenceNeverShowsTheSuccessMark) {
    const auto done = std::make_pair(QStringLiteral("checkmark.circle.fill"), QStringLiteral("green"));
    const auto failed = std::make_pair(QStringLiteral("exclamationmark.triangle.fill"), QStringLiteral("red"));
    const QColor normalText = window->statusLine()->palette().color(QPalette::WindowText);
    EXPECT_EQ(statusMark(*window), done);

    const QString sentence = QStringLiteral("API Rückmeldung (PUT /domain/example.org): Unknown Halvo API Error");
    store().setLastActionMessage(sentence, AppStateStore::MessageKind::failure);
    EXPECT_EQ(window->statusLine()->text(), sentence);
    EXPECT_EQ(statusMark(*window), failed);
    EXPECT_EQ(window->statusLine()->palette().color(QPalette::WindowText),
              halvo::theme::color(halvo::theme::Tint::red));

    store().setLastActionMessage(QStringLiteral("IP-Subnetz 192.0.2.0/29 kopiert."));
    EXPECT_EQ(statusMark(*window), done);
    EXPECT_EQ(window->statusLine()->palette().color(QPalette::WindowText), normalText);

    // A window opened on a failure shows it as one from the start.
    store().setLastActionMessage(sentence, AppStateStore::MessageKind::failure);
    MainWindow second(store());
    second.show();
    halvo::test::settle();
    EXPECT_EQ(statusMark(second), failed);
}

TEST_F(WindowFixture, PresentsTheStoresConfirmation) {
    int runs = 0;
    HalvoConfirmRequest request;
    request.title = QStringLiteral("Reboot?");
    request.confirmButtonTitle = QStringLiteral("Reboot");
    request.action = [&] { ++runs; };
    store().requestConfirmation(request);
    HalvoConfirmationSheet* sheet = window->confirmationPresenter()->sheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->parentWidget(), window.get());
    EXPECT_TRUE(sheet->isVisible());
    halvo::test::click(sheet->confirmButton());
    EXPECT_EQ(runs, 1);
}

TEST_F(WindowFixture, EverySectionDrawsOnlyKnownSymbols) {
    halvo::theme::clearUnknownSymbolsRequested();
    for (const NavigationSection section : kAllNavigationSections) {
        store().setSelectedSection(section);
        settle();
        EXPECT_FALSE(window->grab().isNull());
    }
    EXPECT_EQ(halvo::theme::unknownSymbolsRequested(), QStringList());
}

TEST(WindowPlacement, OpeningGeometryKeepsTheFrameInsideTheAvailableArea) {
    struct Case {
        const char* screen;
        QRect available;
        QMargins frame;
        QRect expected; ///< without the frame
    };
    const Case cases[] = {
        // Room enough: the default size, centred.
        {"1920x1080", QRect(0, 0, 1920, 1080), QMargins(1, 30, 1, 1), QRect(240, 104, 1440, 900)},
        // A laptop screen: shorter than the default with its title bar, still above the minimum.
        {"1366x768", QRect(0, 0, 1366, 768), QMargins(2, 2, 2, 2), QRect(2, 2, 1362, 764)},
        {"1366x768 title bar", QRect(0, 0, 1366, 768), QMargins(1, 24, 1, 1), QRect(1, 24, 1364, 743)},
        // A panel at the top and a second screen to the right.
        {"second screen", QRect(1920, 32, 1600, 868), QMargins(1, 30, 1, 1), QRect(1920 + 80, 32 + 30, 1440, 837)},
        // Smaller than the minimum: the minimum, from the top-left corner, so the title bar stays reachable.
        {"1024x600", QRect(0, 0, 1024, 600), QMargins(1, 30, 1, 1), QRect(1, 30, 1180, 740)},
        // Too short for the minimum but wide enough: the width fits, the height is the minimum, from the top.
        {"1366x740 with a title bar", QRect(0, 28, 1366, 740), QMargins(1, 30, 1, 1), QRect(1, 28 + 30, 1364, 740)},
    };
    for (const Case& c : cases) {
        const QRect geometry = MainWindow::openingGeometry(c.available, c.frame);
        EXPECT_EQ(geometry, c.expected) << c.screen;
        const QRect outer = geometry.marginsAdded(c.frame);
        if (outer.width() <= c.available.width() && outer.height() <= c.available.height()) {
            EXPECT_TRUE(c.available.contains(outer)) << c.screen;
        } else {
            EXPECT_GE(geometry.width(), MainWindow::kMinimumContentWidth) << c.screen;
            EXPECT_GE(geometry.height(), MainWindow::kMinimumContentHeight) << c.screen;
            EXPECT_TRUE(c.available.contains(outer.topLeft())) << c.screen;
        }
    }
}

TEST_F(WindowFixture, PlacementOnTheScreenKeepsTheStatusLineVisible) {
    // Runs on the default small screen and, as its own test entry, on a 1366 x 768 laptop screen.
    const QRect available = window->screen()->availableGeometry();
    const QRect outer = window->frameGeometry();
    const QSize frameExtra = outer.size() - window->geometry().size();
    const QSize smallest = QSize(MainWindow::kMinimumContentWidth, MainWindow::kMinimumContentHeight) + frameExtra;
    if (smallest.width() <= available.width() && smallest.height() <= available.height()) {
        EXPECT_TRUE(available.contains(outer)) << "window " << outer.x() << "," << outer.y() << " " << outer.width()
                                               << "x" << outer.height() << " on " << available.width() << "x"
                                               << available.height();
        QLabel* status = window->statusLine();
        const QRect statusOnScreen(status->mapToGlobal(QPoint(0, 0)), status->size());
        EXPECT_TRUE(available.contains(statusOnScreen));
    } else {
        // Smaller than the minimum: it fits as far as the minimum allows, from the top-left corner.
        EXPECT_TRUE(available.contains(outer.topLeft()));
        EXPECT_EQ(window->size(), window->size().expandedTo(QSize(MainWindow::kMinimumContentWidth,
                                                                  MainWindow::kMinimumContentHeight)));
        EXPECT_TRUE(outer.width() <= available.width() || outer.left() == available.left());
        EXPECT_TRUE(outer.height() <= available.height() || outer.top() == available.top());
    }
    const QMargins frame(window->geometry().left() - outer.left(), window->geometry().top() - outer.top(),
                         outer.right() - window->geometry().right(), outer.bottom() - window->geometry().bottom());
    EXPECT_EQ(window->geometry(), MainWindow::openingGeometry(available, frame));
}

TEST_F(WindowFixture, LongStatusSentenceIsElidedWithTheWholeSentenceInItsTooltip) {
    const QString sentence = QStringLiteral("API Rückmeldung (POST /dedicated/server/") +
                             QString(QStringLiteral("ns3045871.ip-192-0-2.example.net/")).repeated(12) +
                             QStringLiteral("reboot): Unknown Halvo API Error");
    store().setLastActionMessage(sentence);
    settle();
    auto* status = qobject_cast<HalvoElidedLabel*>(window->statusLine());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), sentence);
    EXPECT_TRUE(status->isElided());
    EXPECT_TRUE(status->shownText().endsWith(QStringLiteral("…")));
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), status->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(status, &help);
    EXPECT_EQ(status->toolTip(), sentence);
    // The status bar keeps one line and stays inside the window.
    EXPECT_LE(status->mapTo(window.get(), QPoint(status->width(), 0)).x(), window->width());
    EXPECT_LE(status->height(), status->fontMetrics().height() * 2);
}
