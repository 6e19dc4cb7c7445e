// The tab "Tasks & Rechenzentrum": one row per task with its status badge, or the line saying there is none.

#include "DedicatedViewFixture.h"
#include "ui/Components.h"

#include <QLabel>

namespace halvo::test {
namespace {

HalvoServerTask task(qint64 id, const QString& function, const QString& status) {
    HalvoServerTask result;
    result.taskId = id;
    result.function = function;
    result.status = status;
    result.comment = QStringLiteral("Kommentar ") + QString::number(id);
    result.lastUpdate = QStringLiteral("2026-11-0") + QString::number(id % 10) + QStringLiteral(" 10:00");
    return result;
}

QList<QFrame*> taskRows(DedicatedView& v) {
    QList<QFrame*> rows;
    for (QFrame* row : v.content()->findChildren<QFrame*>(QStringLiteral("halvoListRow"))) {
        if (!row->isHidden())
            rows.append(row);
    }
    return rows;
}

TEST(DedicatedTasksTab, OneRowPerTaskInOrderWithItsBadge) {
    HalvoServer server = makeServer(QStringLiteral("ns1.example.net"));
    server.tasks = {task(1234567, QStringLiteral("hardReboot"), QStringLiteral("done")),
                    task(2, QStringLiteral("reinstallServer"), QStringLiteral("Done")),
                    task(3, QStringLiteral("changeNetboot"), QStringLiteral("todo")),
                    task(4, QStringLiteral("ipmi/resetSession"), QString())};
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(5);
    ASSERT_EQ(v.view->shownTab(), DedicatedServerTab::tasksLogs);
    EXPECT_TRUE(hasLabel(v.content(), QStringLiteral("Rechenzentrum-Tasks (/dedicated/server/ns1.example.net/task)")));
    EXPECT_FALSE(hasLabelContaining(v.content(), QStringLiteral("Keine aktiven")));

    struct Expected {
        const char* id;
        const char* function;
        const char* badge;
        theme::Tint tint;
    };
    const Expected expected[] = {
        {"#1234567", "hardReboot", "DONE", theme::Tint::green},
        {"#2", "reinstallServer", "DONE", theme::Tint::orange},
        {"#3", "changeNetboot", "TODO", theme::Tint::orange},
        {"#4", "ipmi/resetSession", "", theme::Tint::orange},
    };
    const QList<QFrame*> rows = taskRows(v);
    ASSERT_EQ(rows.size(), qsizetype(std::size(expected)));
    for (int i = 0; i < rows.size(); ++i) {
        const Expected& e = expected[i];
        const HalvoServerTask& t = server.tasks[i];
        EXPECT_EQ(labelTexts(rows[i]).mid(0, 4),
                  (QStringList{QString::fromUtf8(e.id), QString::fromUtf8(e.function), t.comment, t.lastUpdate}))
            << e.id;
        const QList<HalvoStatusBadge*> badges = rows[i]->findChildren<HalvoStatusBadge*>();
        ASSERT_EQ(badges.size(), 1) << e.id;
        EXPECT_EQ(badges[0]->text(), QString::fromUtf8(e.badge)) << e.id;
        EXPECT_EQ(badges[0]->tint(), e.tint) << e.id;
        // Id and function keep their columns whatever their length, so the rows line up.
        EXPECT_EQ(labelWithText(rows[i], QString::fromUtf8(e.id))->width(), 80) << e.id;
        EXPECT_EQ(labelWithText(rows[i], QString::fromUtf8(e.function))->width(), 180) << e.id;
    }
}

TEST(DedicatedTasksTab, WithoutTasksOneLineNamesTheServer) {
    HalvoServer server = makeServer(QStringLiteral("ns9.example.net"));
    server.tasks.clear();
    server.backupFTPAvailable = false;
    DedicatedView v(QList<HalvoServer>{server});
    v.clickTab(4);
    ASSERT_EQ(v.view->shownTab(), DedicatedServerTab::tasksLogs);
    EXPECT_TRUE(taskRows(v).isEmpty());
    EXPECT_TRUE(
        hasLabel(v.content(), QStringLiteral("Keine aktiven oder hängenden Tasks auf ns9.example.net vorhanden.")));
}

} // namespace
} // namespace halvo::test
