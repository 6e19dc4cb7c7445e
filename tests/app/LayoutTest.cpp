// Every screen at the minimum window and at the default size, with the demonstration data and with very
// long values: nothing scrolls sideways or reaches past the detail, every single-line text fits or ends in
// "…" with the whole text in its tooltip, every tab and button lies inside the visible width, and input
// fields keep a usable width.

#include "app/MainWindow.h"
#include "support/QtPrinters.h"
#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoActionButton.h"
#include "ui/HalvoElidedLabel.h"
#include "ui/HalvoSectionFrame.h"
#include "ui/HalvoStatusBadge.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QCoreApplication>
#include <QFontInfo>
#include <QHelpEvent>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using halvo::test::settle;

namespace {

/// A text of exactly `length` characters that starts with `start`, made of host-like words.
QString longText(const QString& start, int length = 120) {
    QString text = start;
    int part = 0;
    while (text.size() < length)
        text += QStringLiteral("-teil%1.sehr-lang.example").arg(++part);
    return text.left(length);
}

/// The demonstration snapshot with 120-character names, hosts, badges and states everywhere they show.
HalvoAccountSnapshot longValues(HalvoAccountSnapshot snapshot) {
    for (HalvoServer& server : snapshot.dedicatedServers) {
        server.name = longText(server.name);
        server.reverse = longText(server.reverse);
        server.bootType = longText(QStringLiteral("harddisk"));
        server.state = longText(QStringLiteral("ok"));
        server.datacenter = longText(server.datacenter);
        server.rack = longText(server.rack);
        server.commercialRange = longText(server.commercialRange);
        server.os = longText(server.os);
        server.cpuModel = longText(server.cpuModel);
        server.supportLevel = longText(server.supportLevel);
        if (server.meshbayName)
            server.meshbayName = longText(*server.meshbayName);
        for (HalvoServerTask& task : server.tasks) {
            task.function = longText(task.function);
            task.status = longText(task.status);
            task.comment = longText(task.comment);
        }
    }
    for (HalvoVPS& vps : snapshot.vpsList) {
        vps.name = longText(vps.name);
        vps.displayName = longText(vps.displayName);
        vps.state = longText(vps.state);
        vps.modelName = longText(vps.modelName);
        vps.zone = longText(vps.zone);
        vps.ipv6 = longText(vps.ipv6);
        vps.netbootMode = longText(vps.netbootMode);
    }
    for (HalvoDomain& domain : snapshot.domains) {
        domain.domain = longText(domain.domain);
        domain.whoisOwner = longText(domain.whoisOwner);
        domain.nameServerType = longText(domain.nameServerType);
        domain.transferLockStatus = longText(domain.transferLockStatus);
        for (HalvoDNSRecord& record : domain.dnsRecords) {
            record.subDomain = longText(record.subDomain.isEmpty() ? QStringLiteral("www") : record.subDomain);
            record.target = longText(record.target);
        }
        for (HalvoGlueRecord& glue : domain.glueRecords)
            glue.host = longText(glue.host);
        for (HalvoPulsename& entry : domain.pulsenames) {
            entry.subDomain = longText(entry.subDomain);
            entry.login = longText(entry.login);
        }
    }
    for (HalvoIPBlock& block : snapshot.ipBlocks) {
        if (block.routedToService)
            block.routedToService = longText(*block.routedToService);
        if (block.description)
            block.description = longText(*block.description);
        block.campus = longText(block.campus);
        for (HalvoReverseRecord& entry : block.reverseEntries)
            entry.reverse = longText(entry.reverse);
        for (HalvoVirtualMac& mac : block.virtualMacs)
            mac.virtualMachineName = longText(mac.virtualMachineName);
    }
    return snapshot;
}

/// The widget's rectangle in the coordinates of `ancestor`.
QRect rectIn(const QWidget* widget, const QWidget* ancestor) {
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

QString describe(const QWidget* widget) {
    QString text = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty())
        text += QLatin1Char('#') + widget->objectName();
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        text += QStringLiteral(" \"") + label->text().left(60) + QLatin1Char('"');
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text += QStringLiteral(" [") + button->text().left(60) + QLatin1Char(']');
    return text;
}

/// The width a line of the widget's parent offers, inside the parent's layout margins.
int lineWidthFor(const QWidget* widget) {
    const QWidget* parent = widget->parentWidget();
    if (!parent)
        return widget->width();
    QRect room = parent->contentsRect();
    if (const QLayout* layout = parent->layout())
        room = room.marginsRemoved(layout->contentsMargins());
    return room.width();
}

/// Every fault of the shown detail, one line each.
QStringList layoutFaults(HalvoSectionFrame* frame) {
    QStringList faults;
    QWidget* detail = frame->findChild<QWidget*>(QStringLiteral("halvoDetail"));
    QScrollArea* scroll = frame->contentScrollArea();
    QWidget* viewport = scroll->viewport();
    const QRect detailRect = detail->rect();

    for (QScrollBar* bar : detail->findChildren<QScrollBar*>()) {
        if (bar->orientation() == Qt::Horizontal && bar->isVisible() && bar->maximum() > 0)
            faults << QStringLiteral("horizontal scroll bar in ") + describe(bar->parentWidget());
    }
    if (scroll->widget()->width() > viewport->width())
        faults << QStringLiteral("content %1 wider than its viewport %2")
                      .arg(scroll->widget()->width())
                      .arg(viewport->width());
    if (scroll->widget()->minimumSizeHint().width() > viewport->width())
        faults << QStringLiteral("content needs %1, its viewport has %2")
                      .arg(scroll->widget()->minimumSizeHint().width())
                      .arg(viewport->width());

    for (QWidget* widget : detail->findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(frame) || widget->width() <= 0)
            continue;
        // Inside the detail horizontally (vertically the content scrolls).
        const bool inContent = viewport->isAncestorOf(widget);
        const QRect rect = rectIn(widget, inContent ? viewport : detail);
        const int right = inContent ? viewport->width() : detailRect.width();
        if (rect.left() < 0 || rect.right() >= right + 1)
            faults << QStringLiteral("outside the visible width (%1..%2 of %3): ")
                              .arg(rect.left())
                              .arg(rect.right())
                              .arg(right) +
                          describe(widget);

        if (auto* label = qobject_cast<QLabel*>(widget)) {
            if (label->text().isEmpty() || !label->pixmap().isNull())
                continue;
            if (auto* elided = qobject_cast<HalvoElidedLabel*>(label)) {
                if (elided->isElided()) {
                    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), elided->mapToGlobal(QPoint(1, 1)));
                    QCoreApplication::sendEvent(elided, &help);
                    if (elided->toolTip() != elided->text())
                        faults << QStringLiteral("elided without its text as tooltip: ") + describe(label);
                }
                continue;
            }
            if (label->wordWrap()) {
                if (label->height() < label->heightForWidth(label->width()))
                    faults << QStringLiteral("wrapped text cut (%1 of %2 high): ")
                                      .arg(label->height())
                                      .arg(label->heightForWidth(label->width())) +
                                  describe(label);
                continue;
            }
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            if (needed > label->contentsRect().width())
                faults << QStringLiteral("text neither fits nor is elided (%1 of %2): ")
                                  .arg(label->contentsRect().width())
                                  .arg(needed) +
                              describe(label);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            if (edit->width() < 120)
                faults << QStringLiteral("input field %1 wide: ").arg(edit->width()) + describe(edit);
        } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->width() < button->minimumSizeHint().width())
                faults << QStringLiteral("button squeezed (%1 of %2): ")
                                  .arg(button->width())
                                  .arg(button->minimumSizeHint().width()) +
                              describe(button);
            // An action button shows its whole title wherever a line of its own in its row or card would
            // hold it; only a title longer than that (a 120-character host in it) ends in "…".
            auto* action = qobject_cast<HalvoActionButton*>(button);
            if (action && action->isElided() && action->sizeHint().width() <= lineWidthFor(action))
                faults << QStringLiteral("action button elided although a line of its own holds it (%1 of %2): ")
                                  .arg(action->width())
                                  .arg(action->sizeHint().width()) +
                              describe(action);
        }
    }

    // The header wraps the name's badges (and its buttons) onto further lines: the name and a badge are elided
    // only when a line of their own would not hold them either, never while there is room to their right.
    // (The longer service lines below the name elide beside the buttons.)
    if (QWidget* header = frame->header()) {
        const auto roomToTheRight = [header](QWidget* widget) {
            return header->width() - widget->mapTo(header, QPoint(0, 0)).x();
        };
        const QList<HalvoElidedLabel*> labels = header->findChildren<HalvoElidedLabel*>();
        // The name is the header's largest text.
        qreal nameSize = 0;
        for (const HalvoElidedLabel* label : labels)
            nameSize = std::max(nameSize, QFontInfo(label->font()).pointSizeF());
        for (HalvoElidedLabel* label : labels) {
            if (!label->isVisibleTo(frame) || !label->isElided())
                continue;
            // A badge's text is measured with its capsule.
            const bool badge = qobject_cast<HalvoStatusBadge*>(label->parentWidget()) != nullptr;
            if (!badge && QFontInfo(label->font()).pointSizeF() < nameSize)
                continue;
            QWidget* shown = badge ? label->parentWidget() : label;
            if (shown->sizeHint().width() <= roomToTheRight(shown))
                faults << QStringLiteral("elided in the header although it has room to wrap: ") + describe(label);
        }
        for (HalvoActionButton* button : header->findChildren<HalvoActionButton*>()) {
            if (button->isVisibleTo(frame) && button->isElided() && button->sizeHint().width() <= header->width())
                faults << QStringLiteral("header button elided although a line of its own holds it: ") +
                              describe(button);
        }
    }
    // The VPS snapshot and rebuild rows wrap their buttons below the fields.
    if (QWidget* maintenance = detail->findChild<QWidget*>(QStringLiteral("vpsSnapshotAndRebuildRow"))) {
        for (HalvoActionButton* button : maintenance->findChildren<HalvoActionButton*>()) {
            QWidget* card = button->parentWidget();
            if (button->isVisibleTo(frame) && button->isElided() && button->sizeHint().width() <= card->width() - 36)
                faults << QStringLiteral("maintenance button elided although a line of its own holds it: ") +
                              describe(button);
        }
    }
    return faults;
}

struct Visit {
    QString where;
    QStringList faults;
};

/// Shows every section, item and tab at the size and collects the faults of each screen.
QList<Visit> visitEverything(MainWindow& window, AppStateStore& store, QSize size) {
    QList<Visit> visits;
    window.resize(size);
    settle();
    for (const NavigationSection section : kAllNavigationSections) {
        store.setSelectedSection(section);
        settle();
        auto* frame = window.sectionView()->findChild<HalvoSectionFrame*>();
        if (!frame) {
            visits.append({rawValue(section), {QStringLiteral("no section frame")}});
            continue;
        }
        QAbstractItemModel* model = frame->listView()->model();
        const int items = model ? model->rowCount() : 0;
        for (int item = 0; item < items; ++item) {
            frame->listView()->selectionModel()->setCurrentIndex(model->index(item, 0),
                                                                 QItemSelectionModel::ClearAndSelect);
            settle();
            const int tabs = std::max<int>(1, int(frame->tabButtons().size()));
            for (int tab = 0; tab < tabs; ++tab) {
                if (!frame->tabButtons().isEmpty()) {
                    halvo::test::click(frame->tabButtons().at(tab));
                    settle();
                }
                const QString where = QStringLiteral("%1x%2 %3 item %4 tab %5")
                                          .arg(size.width())
                                          .arg(size.height())
                                          .arg(rawValue(section))
                                          .arg(item + 1)
                                          .arg(tab + 1);
                visits.append({where, layoutFaults(frame)});
            }
            if (!frame->tabButtons().isEmpty()) {
                halvo::test::click(frame->tabButtons().first());
                settle();
            }
        }
    }
    return visits;
}

void expectNoFaults(const QList<Visit>& visits) {
    int screens = 0;
    for (const Visit& visit : visits) {
        ++screens;
        for (const QString& fault : visit.faults)
            ADD_FAILURE() << visit.where.toStdString() << ": " << fault.toStdString();
    }
    EXPECT_GT(screens, 20);
}

} // namespace

TEST(Layout, EveryScreenOfTheDemonstrationDataFitsAtTheMinimumAndTheDefaultSize) {
    halvo::test::StoreHarness harness;
    MainWindow window(harness.store());
    window.show();
    settle();
    for (const QSize size : {QSize(MainWindow::kMinimumContentWidth, MainWindow::kMinimumContentHeight),
                             QSize(MainWindow::kDefaultWidth, MainWindow::kDefaultHeight)})
        expectNoFaults(visitEverything(window, harness.store(), size));
}

TEST(Layout, EveryScreenWithVeryLongValuesFitsAtTheMinimumAndTheDefaultSize) {
    HalvoAccountSnapshot demo;
    {
        halvo::test::StoreHarness demoHarness;
        settle();
        demo = demoHarness.store().activeSnapshot();
    }
    ASSERT_FALSE(demo.dedicatedServers.isEmpty());
    auto harness = halvo::test::StoreHarness::withSnapshot(longValues(demo));
    settle();
    MainWindow window(harness->store());
    window.show();
    settle();
    for (const QSize size : {QSize(MainWindow::kMinimumContentWidth, MainWindow::kMinimumContentHeight),
                             QSize(MainWindow::kDefaultWidth, MainWindow::kDefaultHeight)})
        expectNoFaults(visitEverything(window, harness->store(), size));
}
