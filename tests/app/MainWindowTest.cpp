#include "app/MainWindow.h"

#include "support/QtPrinters.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoConfirmationSheet.h"
#include "ui/Theme.h"
#include "views/dedicated/DedicatedServersView.h"
#include "views/domains/DomainsView.h"
#include "views/ip/IPRdnsView.h"
#include "views/vps/VPSView.h"

#include <QLabel>
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
