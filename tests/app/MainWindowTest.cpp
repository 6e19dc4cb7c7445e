#include "app/MainWindow.h"

#include "support/Contrast.h"
#include "support/QtPrinters.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoActionButton.h"
#include "ui/HalvoConfirmationSheet.h"
#include "ui/HalvoElidedLabel.h"
#include "ui/HalvoFormTextField.h"
#include "ui/HalvoSectionFrame.h"
#include "ui/Theme.h"
#include "views/dedicated/DedicatedServersView.h"
#include "views/domains/DomainsView.h"
#include "views/ip/IPRdnsView.h"
#include "views/vps/VPSView.h"

#include <QApplication>
#include <QHash>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
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

namespace {

void activate(QWidget* window) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

/// Presses Tab (or Shift+Tab) from the search field until the focus is back on it, at most `limit` times;
/// returns the widgets focused on the way (the search field last, when it came back).
QList<QWidget*> walkFromSearch(MainWindow& window, bool forward, int limit) {
    QList<QWidget*> visited;
    window.searchField()->setFocus(Qt::OtherFocusReason);
    for (int press = 0; press < limit; ++press) {
        QWidget* current = QApplication::focusWidget();
        if (!current)
            break;
        QTest::keyClick(current, forward ? Qt::Key_Tab : Qt::Key_Backtab, forward ? Qt::NoModifier : Qt::ShiftModifier);
        QWidget* now = QApplication::focusWidget();
        visited.append(now);
        if (now == window.searchField())
            break;
    }
    return visited;
}

QString describe(const QList<QWidget*>& widgets) {
    QStringList names;
    for (QWidget* widget : widgets) {
        QString name = widget ? QString::fromLatin1(widget->metaObject()->className()) : QStringLiteral("null");
        if (widget && !widget->objectName().isEmpty())
            name += QLatin1Char('#') + widget->objectName();
        if (const auto* button = qobject_cast<QAbstractButton*>(widget))
            name += QStringLiteral(" \"") + button->text() + QLatin1Char('"');
        names.append(name);
    }
    return names.join(QStringLiteral(" → "));
}

} // namespace

TEST_F(WindowFixture, FindKeyFocusesAndSelectsTheSearchAndEscClearsIt) {
    activate(window.get());
    QTest::keyClicks(window->searchField(), QStringLiteral("nord"));
    ASSERT_EQ(store().searchText(), QStringLiteral("nord"));
    window->sectionList()->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(window->sectionList()->hasFocus());

    QTest::keySequence(window->sectionList(), QKeySequence::Find);
    EXPECT_TRUE(window->searchField()->hasFocus());
    EXPECT_EQ(window->searchField()->selectedText(), QStringLiteral("nord"));
    // Typing replaces the selected search.
    QTest::keyClicks(window->searchField(), QStringLiteral("berg"));
    EXPECT_EQ(store().searchText(), QStringLiteral("berg"));

    // Esc elsewhere leaves the search alone; Esc in the field clears it, in the store too.
    QTest::keyClick(window->sectionList(), Qt::Key_Escape);
    EXPECT_EQ(store().searchText(), QStringLiteral("berg"));
    QTest::keyClick(window->searchField(), Qt::Key_Escape);
    EXPECT_EQ(window->searchField()->text(), QString());
    EXPECT_EQ(store().searchText(), QString());
    EXPECT_TRUE(window->searchField()->hasFocus());
}

TEST_F(WindowFixture, TabFromTheSearchComesBackToItInEverySectionAndTab) {
    activate(window.get());
    constexpr int kLimit = 200;
    for (const NavigationSection section : kAllNavigationSections) {
        store().setSelectedSection(section);
        settle();
        auto* frame = window->sectionView()->findChild<HalvoSectionFrame*>();
        ASSERT_NE(frame, nullptr) << rawValue(section).toStdString();
        const int tabCount = std::max<int>(1, int(frame->tabButtons().size()));
        for (int tab = 0; tab < tabCount; ++tab) {
            if (!frame->tabButtons().isEmpty()) {
                halvo::test::click(frame->tabButtons().at(tab));
                settle();
            }
            const std::string where = rawValue(section).toStdString() + " tab " + std::to_string(tab + 1);
            const QList<QWidget*> forward = walkFromSearch(*window, true, kLimit);
            ASSERT_FALSE(forward.isEmpty()) << where;
            ASSERT_EQ(forward.last(), window->searchField()) << where << ": " << describe(forward).toStdString();
            // Search field, section list, sidebar, header, tabs, content: each stop once.
            EXPECT_EQ(forward.first(), window->sectionList()) << where;
            ASSERT_GE(forward.size(), 3) << where;
            EXPECT_EQ(forward.at(1), frame->listView()) << where << ": " << describe(forward).toStdString();
            const QSet<QWidget*> unique(forward.cbegin(), forward.cend());
            EXPECT_EQ(unique.size(), forward.size()) << where << ": " << describe(forward).toStdString();
            qsizetype previousTab = -1;
            for (HalvoActionButton* button : frame->tabButtons()) {
                const qsizetype at = forward.indexOf(button);
                EXPECT_GT(at, previousTab) << where << ": " << button->text().toStdString();
                previousTab = at;
            }
            if (QWidget* header = frame->header()) {
                for (qsizetype i = 0; i < forward.size(); ++i) {
                    if (header->isAncestorOf(forward[i]) && !frame->tabButtons().isEmpty()) {
                        EXPECT_LT(i, forward.indexOf(frame->tabButtons().first())) << where;
                    }
                }
            }
            for (qsizetype i = 0; i < forward.size() - 1; ++i) {
                EXPECT_TRUE(forward[i]->isVisible()) << where;
            }

            // Shift+Tab walks the same stops backwards.
            QList<QWidget*> backward = walkFromSearch(*window, false, kLimit);
            ASSERT_FALSE(backward.isEmpty()) << where;
            ASSERT_EQ(backward.last(), window->searchField()) << where;
            backward.removeLast();
            std::reverse(backward.begin(), backward.end());
            QList<QWidget*> expected = forward;
            expected.removeLast();
            EXPECT_EQ(backward, expected) << where;
        }
    }
}

namespace {

/// The button that Return in each form field presses: the button of the field's own form.
const QHash<QString, QString>& formButtons() {
    static const QHash<QString, QString> buttons = {
        {QStringLiteral("newSubDomainField"), QStringLiteral("Record anlegen")},
        {QStringLiteral("newTargetField"), QStringLiteral("Record anlegen")},
        {QStringLiteral("ns1Field"), QStringLiteral("Nameserver speichern")},
        {QStringLiteral("ns2Field"), QStringLiteral("Nameserver speichern")},
        {QStringLiteral("glueHostField"), QStringLiteral("Glue-Record eintragen")},
        {QStringLiteral("glueIPField"), QStringLiteral("Glue-Record eintragen")},
        {QStringLiteral("dynSubField"), QStringLiteral("Pulsename anlegen")},
        {QStringLiteral("dynIPField"), QStringLiteral("Pulsename anlegen")},
        {QStringLiteral("dynLoginField"), QStringLiteral("Pulsename anlegen")},
        {QStringLiteral("vpsSnapshotNoteField"), QStringLiteral("Snapshot erstellen")},
        {QStringLiteral("vpsSshKeyField"), QStringLiteral("OS Image neu installieren...")},
        {QStringLiteral("newReverseInput"), QStringLiteral("Reverse-DNS speichern")},
        {QStringLiteral("newRescueMailInput"), QStringLiteral("Rescue E-Mail speichern")},
        {QStringLiteral("ipxeUrl"), QStringLiteral("iPXE Netboot-Profil aktivieren")},
        {QStringLiteral("meshbayInput"), QStringLiteral("In Meshbay einbinden")},
        {QStringLiteral("customHostnameInstall"), QStringLiteral("Bare-Metal OS-Neuinstallation vorbereiten...")},
        {QStringLiteral("sshKeyInstall"), QStringLiteral("Bare-Metal OS-Neuinstallation vorbereiten...")},
        {QStringLiteral("backupACLBlockInput"), QStringLiteral("IP-Block für Backup-FTP/NFS freigeben")},
        {QStringLiteral("ipDescriptionInput"), QStringLiteral("Beschreibung speichern")},
        {QStringLiteral("ipReverseAddressInput"), QStringLiteral("rDNS (PTR) speichern")},
        {QStringLiteral("ipReverseHostInput"), QStringLiteral("rDNS (PTR) speichern")},
        {QStringLiteral("ipDelegationInput"), QStringLiteral("NS-Delegation hinzufügen")},
        {QStringLiteral("ruleSourceField"), QStringLiteral("Regel speichern")},
        {QStringLiteral("rulePortField"), QStringLiteral("Regel speichern")},
        {QStringLiteral("gameStartPortField"), QStringLiteral("Game-UDP-Regel aktivieren")},
        {QStringLiteral("gameEndPortField"), QStringLiteral("Game-UDP-Regel aktivieren")},
        {QStringLiteral("ipVmacAddressInput"), QStringLiteral("vMAC generieren")},
        {QStringLiteral("ipVmacNameInput"), QStringLiteral("vMAC generieren")},
        {QStringLiteral("ipMoveTargetInput"), QStringLiteral("IP-Subnetz umrouten...")},
    };
    return buttons;
}

} // namespace

TEST_F(WindowFixture, ReturnInEachFormFieldPressesTheButtonOfItsOwnForm) {
    activate(window.get());
    QSet<QString> pressed;
    for (const NavigationSection section : kAllNavigationSections) {
        store().setSelectedSection(section);
        settle();
        auto* frame = window->sectionView()->findChild<HalvoSectionFrame*>();
        ASSERT_NE(frame, nullptr);
        QListView* list = frame->listView();
        for (int row = 0; row < list->model()->rowCount(); ++row) {
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(list->model()->index(row, 0)).center());
            settle();
            const int tabCount = std::max<int>(1, int(frame->tabButtons().size()));
            for (int tab = 0; tab < tabCount; ++tab) {
                if (!frame->tabButtons().isEmpty()) {
                    halvo::test::click(frame->tabButtons().at(tab));
                    settle();
                }
                QStringList names;
                for (HalvoFormTextField* field : frame->content()->findChildren<HalvoFormTextField*>())
                    names.append(field->objectName());
                for (const QString& name : std::as_const(names)) {
                    const std::string where = rawValue(section).toStdString() + " row " + std::to_string(row) +
                                              " tab " + std::to_string(tab + 1) + ": " + name.toStdString();
                    ASSERT_TRUE(formButtons().contains(name)) << where << " has no form button in the table";
                    auto* field = frame->content()->findChild<HalvoFormTextField*>(name);
                    ASSERT_NE(field, nullptr) << where;
                    QAbstractButton* button = halvo::test::buttonWithText(frame->content(), formButtons().value(name));
                    ASSERT_NE(button, nullptr) << where;
                    const auto* action = qobject_cast<HalvoActionButton*>(button);
                    const bool destructive = action && action->variant() == HalvoButtonVariant::danger;
                    const HalvoAccountSnapshot before = store().activeSnapshot();
                    QSignalSpy clicks(button, &QAbstractButton::clicked);
                    QList<QSignalSpy*> others;
                    for (QAbstractButton* other : frame->content()->findChildren<QAbstractButton*>()) {
                        if (other != button)
                            others.append(new QSignalSpy(other, &QAbstractButton::clicked));
                    }
                    field->lineEdit()->setFocus(Qt::TabFocusReason);
                    QTest::keyClick(field->lineEdit(), Qt::Key_Return);
                    EXPECT_EQ(clicks.count(), 1) << where;
                    for (QSignalSpy* other : others) {
                        EXPECT_EQ(other->count(), 0) << where;
                        delete other;
                    }
                    // A destructive button only asks; nothing changed before its confirmation.
                    if (destructive) {
                        EXPECT_TRUE(store().pendingConfirmation().has_value()) << where;
                        EXPECT_EQ(store().activeSnapshot(), before) << where;
                    }
                    store().clearPendingConfirmation();
                    settle();
                    pressed.insert(name);
                }
            }
        }
    }
    // Every form of the table was reached with the demonstration data.
    for (auto it = formButtons().cbegin(); it != formButtons().cend(); ++it)
        EXPECT_TRUE(pressed.contains(it.key())) << it.key().toStdString() << " was not reached";
}

TEST_F(WindowFixture, TheSelectedRowOfEverySidebarStaysReadable) {
    const QColor primary = halvo::theme::color(halvo::theme::Tint::primary);
    const QColor secondary = halvo::theme::color(halvo::theme::Tint::secondary);
    for (const NavigationSection section : kAllNavigationSections) {
        const std::string where = rawValue(section).toStdString();
        store().setSelectedSection(section);
        settle();
        auto* frame = window->sectionView()->findChild<HalvoSectionFrame*>();
        ASSERT_NE(frame, nullptr) << where;
        QListView* list = frame->listView();
        ASSERT_GT(list->model()->rowCount(), 0) << where;
        const QModelIndex first = list->model()->index(0, 0);

        list->selectionModel()->clearSelection();
        settle();
        const QRect rowRect = list->visualRect(first);
        const QImage plain = list->viewport()->grab().toImage();
        list->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect);
        settle();
        ASSERT_TRUE(list->selectionModel()->isSelected(list->model()->index(0, 0))) << where;
        ASSERT_EQ(list->visualRect(list->model()->index(0, 0)), rowRect) << where;
        const QImage selected = list->viewport()->grab().toImage();

        const halvo::test::ImageContrast plainLook = halvo::test::strongestContrast(plain, rowRect);
        const halvo::test::ImageContrast selectedLook = halvo::test::strongestContrast(selected, rowRect);
        EXPECT_NE(selectedLook.background.rgb(), plainLook.background.rgb())
            << where << ": the selection does not show";
        // Every pixel that is the core of a text glyph in the plain row, read again on the selected row.
        int glyphPixels = 0;
        double weakest = 21.0;
        for (int y = rowRect.top(); y <= rowRect.bottom(); ++y) {
            for (int x = rowRect.left(); x <= rowRect.right(); ++x) {
                const QRgb before = plain.pixel(x, y) | 0xff000000u;
                if (before != primary.rgb() && before != secondary.rgb())
                    continue;
                ++glyphPixels;
                weakest =
                    std::min(weakest, halvo::test::contrastRatio(selected.pixelColor(x, y), selectedLook.background));
            }
        }
        EXPECT_GT(glyphPixels, 40) << where;
        EXPECT_GE(weakest, 4.5) << where;
    }
}

TEST_F(WindowFixture, TheCurrentRowOfTheSectionListAndEverySidebarIsMarkedWhileItHasFocus) {
    activate(window.get());
    const auto ringPixels = [](QListView* list, const QModelIndex& index) {
        const QImage image = list->viewport()->grab().toImage();
        const QRect rect = list->visualRect(index).intersected(image.rect());
        int count = 0;
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            for (int x = rect.left(); x <= rect.right(); ++x)
                count += image.pixelColor(x, y).rgb() == halvo::theme::focusRingColor().rgb() ? 1 : 0;
        }
        return count;
    };
    for (const NavigationSection section : kAllNavigationSections) {
        const std::string where = rawValue(section).toStdString();
        store().setSelectedSection(section);
        settle();
        auto* frame = window->sectionView()->findChild<HalvoSectionFrame*>();
        ASSERT_NE(frame, nullptr) << where;
        // Search field, Tab to the section list, Tab to the sidebar.
        window->searchField()->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(window->searchField(), Qt::Key_Tab);
        ASSERT_TRUE(window->sectionList()->hasFocus()) << where;
        settle();
        const QModelIndex section0 = window->sectionList()->currentIndex();
        ASSERT_TRUE(section0.isValid()) << where;
        EXPECT_GE(ringPixels(window->sectionList(), section0), window->sectionList()->visualRect(section0).width())
            << where;
        QTest::keyClick(window->sectionList(), Qt::Key_Tab);
        QListView* list = frame->listView();
        ASSERT_TRUE(list->hasFocus()) << where;
        settle();
        const QModelIndex current = list->currentIndex();
        ASSERT_TRUE(current.isValid()) << where;
        EXPECT_GE(ringPixels(list, current), list->visualRect(current).width()) << where;
        // Without the focus no row wears the ring.
        QTest::keyClick(list, Qt::Key_Tab);
        settle();
        EXPECT_EQ(ringPixels(list, current), 0) << where;
    }
}

TEST_F(WindowFixture, EveryTabStopOfEverySectionAndTabShowsItsFocus) {
    activate(window.get());
    for (const NavigationSection section : kAllNavigationSections) {
        store().setSelectedSection(section);
        settle();
        auto* frame = window->sectionView()->findChild<HalvoSectionFrame*>();
        ASSERT_NE(frame, nullptr);
        const int tabCount = std::max<int>(1, int(frame->tabButtons().size()));
        for (int tab = 0; tab < tabCount; ++tab) {
            if (!frame->tabButtons().isEmpty()) {
                halvo::test::click(frame->tabButtons().at(tab));
                settle();
            }
            QList<QWidget*> stops = walkFromSearch(*window, true, 200);
            ASSERT_FALSE(stops.isEmpty());
            for (QWidget* stop : std::as_const(stops)) {
                const std::string where = rawValue(section).toStdString() + " tab " + std::to_string(tab + 1) + ": " +
                                          describe({stop}).toStdString();
                stop->setFocus(Qt::TabFocusReason);
                for (QWidget* parent = stop->parentWidget(); parent; parent = parent->parentWidget()) {
                    if (auto* area = qobject_cast<QScrollArea*>(parent))
                        area->ensureWidgetVisible(stop);
                }
                settle();
                ASSERT_TRUE(stop->hasFocus()) << where;
                const QRect area =
                    QRect(stop->mapTo(window.get(), QPoint(0, 0)), stop->size()).intersected(window->rect());
                ASSERT_FALSE(area.isEmpty()) << where;
                const QImage focused = window->grab(area).toImage();
                QWidget* elsewhere = stop == window->searchField() ? static_cast<QWidget*>(window->sectionList())
                                                                   : static_cast<QWidget*>(window->searchField());
                elsewhere->setFocus(Qt::TabFocusReason);
                settle();
                const QImage unfocused = window->grab(area).toImage();
                int changed = 0;
                for (int y = 0; y < focused.height(); ++y) {
                    for (int x = 0; x < focused.width(); ++x)
                        changed += focused.pixel(x, y) != unfocused.pixel(x, y) ? 1 : 0;
                }
                EXPECT_GE(changed, area.width() + area.height()) << where << ": focus hardly changes the screen";
            }
        }
    }
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
        EXPECT_TRUE(available.contains(outer))
            << "window " << outer.x() << "," << outer.y() << " " << outer.width() << "x" << outer.height() << " on "
            << available.width() << "x" << available.height();
        QLabel* status = window->statusLine();
        const QRect statusOnScreen(status->mapToGlobal(QPoint(0, 0)), status->size());
        EXPECT_TRUE(available.contains(statusOnScreen));
    } else {
        // Smaller than the minimum: it fits as far as the minimum allows, from the top-left corner.
        EXPECT_TRUE(available.contains(outer.topLeft()));
        EXPECT_EQ(window->size(), window->size().expandedTo(
                                      QSize(MainWindow::kMinimumContentWidth, MainWindow::kMinimumContentHeight)));
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
