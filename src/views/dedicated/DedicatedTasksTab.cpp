#include "views/dedicated/DedicatedTasksTab.h"

#include "model/Records.h"
#include "ui/Components.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

namespace theme = halvo::theme;
using theme::TextStyle;
using theme::Tint;
using theme::Weight;

constexpr int kTaskIdWidth = 80;
constexpr int kFunctionWidth = 180;

QWidget* taskRow(const HalvoServerTask& task) {
    QFrame* row = halvo::ui::listRow(8, 8);
    row->setProperty("taskId", task.taskId);
    auto* layout = static_cast<QHBoxLayout*>(row->layout());

    QLabel* id = HalvoElidedLabel::make(QStringLiteral("#") + QString::number(task.taskId), TextStyle::caption,
                                        Weight::bold, Tint::primary, true);
    id->setFixedWidth(kTaskIdWidth);
    layout->addWidget(id);
    QLabel* function = HalvoElidedLabel::make(task.function, TextStyle::subheadline, Weight::bold);
    function->setFixedWidth(kFunctionWidth);
    layout->addWidget(function);
    // The comment takes what the fixed columns and the date leave; it may be cut, the others not.
    QLabel* comment = HalvoElidedLabel::make(task.comment, TextStyle::caption, Weight::regular, Tint::secondary);
    comment->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(comment, 1);
    layout->addWidget(HalvoElidedLabel::make(task.lastUpdate, TextStyle::caption2, Weight::regular, Tint::secondary));
    layout->addWidget(
        new HalvoStatusBadge(task.status.toUpper(), task.status == QLatin1String("done") ? Tint::green : Tint::orange));
    return row;
}

} // namespace

QWidget* dedicatedTasksTab(const HalvoServer& server) {
    auto* card = new HalvoSectionCard(
        QString(QStringLiteral("Rechenzentrum-Tasks (/dedicated/server/") + server.name + QStringLiteral("/task)")),
        QStringLiteral("Live-Protokoll aller Hardware-Reboots, OS-Installationen, IPMI-Sessions und "
                       "Netzwerk-Änderungen"),
        QStringLiteral("checklist"), Tint::blue);
    card->setObjectName(QStringLiteral("tasksCard"));

    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    if (server.tasks.isEmpty()) {
        auto* empty = new QHBoxLayout;
        empty->setSpacing(8);
        empty->addStretch(1);
        empty->addWidget(theme::symbol(QStringLiteral("checkmark.circle.fill"), TextStyle::caption, Tint::green));
        empty->addWidget(HalvoElidedLabel::make(QStringLiteral("Keine aktiven oder hängenden Tasks auf ") +
                                                    server.name + QStringLiteral(" vorhanden."),
                                                TextStyle::caption, Weight::regular, Tint::secondary));
        empty->addStretch(1);
        layout->addLayout(empty);
    } else {
        for (const HalvoServerTask& task : server.tasks)
            layout->addWidget(taskRow(task));
    }
    card->addContent(column);
    return card;
}
