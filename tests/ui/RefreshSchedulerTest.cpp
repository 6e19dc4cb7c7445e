#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoRefreshScheduler.h"

#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

using halvo::test::settle;

TEST(RefreshScheduler, StoreChangesCoalesceIntoOneRefreshOnTheNextTurn) {
    halvo::test::StoreHarness harness;
    settle();
    QWidget owner;
    int refreshes = 0;
    auto* scheduler = new HalvoRefreshScheduler(&harness.store(), &owner, [&] { ++refreshes; });
    EXPECT_EQ(scheduler->parent(), &owner);

    harness.store().setSearchText(QStringLiteral("a"));
    harness.store().setSearchText(QStringLiteral("ab"));
    harness.store().toggleDomainTransferLock(harness.store().activeSnapshot().domains.value(0).domain);
    EXPECT_EQ(refreshes, 0); // never inside the handler that changed the store
    EXPECT_TRUE(scheduler->isPending());
    settle();
    EXPECT_EQ(refreshes, 1);
    EXPECT_FALSE(scheduler->isPending());

    // The status line alone changes nothing a view lists.
    harness.store().setLastActionMessage(QStringLiteral("kopiert."));
    settle();
    EXPECT_EQ(refreshes, 1);
}

TEST(RefreshScheduler, FlushRunsNowAndOnlyOnce) {
    halvo::test::StoreHarness harness;
    settle();
    QWidget owner;
    int refreshes = 0;
    HalvoRefreshScheduler* scheduler = new HalvoRefreshScheduler(&harness.store(), &owner, [&] { ++refreshes; });
    scheduler->flush();
    EXPECT_EQ(refreshes, 0); // nothing pending, nothing to run

    scheduler->schedule();
    scheduler->schedule();
    scheduler->flush();
    EXPECT_EQ(refreshes, 1);
    settle();
    EXPECT_EQ(refreshes, 1);
}

TEST(RefreshScheduler, NoRefreshAfterTheOwnerIsGone) {
    halvo::test::StoreHarness harness;
    settle();
    int refreshes = 0;
    auto* owner = new QWidget;
    new HalvoRefreshScheduler(&harness.store(), owner, [&] { ++refreshes; });
    harness.store().setSearchText(QStringLiteral("x"));
    delete owner;
    settle();
    harness.store().setSearchText(QStringLiteral("y"));
    settle();
    EXPECT_EQ(refreshes, 0);
}
