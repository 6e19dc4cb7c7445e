// The record model reports a new record list as the rows that changed.

#include "views/domains/DnsRecordListModel.h"

#include "support/QtPrinters.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

HalvoDNSRecord rec(qint64 id, const char* target = "192.0.2.1") {
    return {.id = id,
            .zone = QStringLiteral("z.example"),
            .subDomain = QString(),
            .fieldType = QStringLiteral("A"),
            .target = QString::fromUtf8(target),
            .ttl = 3600};
}

struct Range {
    int first;
    int last;
    bool operator==(const Range&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Range& r) {
    return os << '[' << r.first << ',' << r.last << ']';
}

QList<Range> ranges(const QSignalSpy& spy, int firstArg) {
    QList<Range> result;
    for (const QList<QVariant>& args : spy) {
        if (firstArg == 0)
            result.append({args.at(0).toModelIndex().row(), args.at(1).toModelIndex().row()});
        else
            result.append({args.at(1).toInt(), args.at(2).toInt()});
    }
    return result;
}

TEST(DnsRecordListModel, ReportsOnlyTheRowsThatChanged) {
    struct Case {
        const char* name;
        QList<HalvoDNSRecord> before;
        QList<HalvoDNSRecord> after;
        QList<Range> inserted;
        QList<Range> removed;
        QList<Range> changed;
    };
    const Case cases[] = {
        {"append", {rec(1), rec(2)}, {rec(1), rec(2), rec(3)}, {{2, 2}}, {}, {}},
        {"from empty", {}, {rec(1), rec(2)}, {{0, 1}}, {}, {}},
        {"to empty", {rec(1), rec(2)}, {}, {}, {{0, 1}}, {}},
        {"remove first", {rec(1), rec(2), rec(3)}, {rec(2), rec(3)}, {}, {{0, 0}}, {}},
        {"remove middle", {rec(1), rec(2), rec(3)}, {rec(1), rec(3)}, {}, {{1, 1}}, {}},
        {"remove last", {rec(1), rec(2), rec(3)}, {rec(1), rec(2)}, {}, {{2, 2}}, {}},
        {"remove duplicates", {rec(1), rec(2), rec(2), rec(3)}, {rec(1), rec(3)}, {}, {{1, 2}}, {}},
        {"change in place", {rec(1), rec(2), rec(3)}, {rec(1), rec(2, "198.51.100.9"), rec(3)}, {}, {}, {{1, 1}}},
        {"same values", {rec(1), rec(2)}, {rec(1), rec(2)}, {}, {}, {}},
        {"replace and grow", {rec(1), rec(2)}, {rec(7), rec(8), rec(9)}, {{2, 2}}, {}, {{0, 1}}},
        {"replace and shrink", {rec(1), rec(2), rec(3)}, {rec(7)}, {}, {{1, 2}}, {{0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DnsRecordListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
        model.setRecords(c.before);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        model.setRecords(QList<HalvoDNSRecord>(c.after)); // a separate copy, as a new snapshot brings
        EXPECT_EQ(model.records(), c.after);
        EXPECT_EQ(model.rowCount(), c.after.size());
        EXPECT_EQ(ranges(inserted, 1), c.inserted);
        EXPECT_EQ(ranges(removed, 1), c.removed);
        EXPECT_EQ(ranges(changed, 0), c.changed);
        EXPECT_EQ(resets.count(), 0);
        for (int row = 0; row < model.rowCount(); ++row)
            EXPECT_EQ(model.index(row, 0).data(Qt::EditRole).toString(), c.after[row].target);
    }
}

TEST(DnsRecordListModel, AnotherZoneResetsAndOnlyTheTargetIsEditable) {
    DnsRecordListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    model.setRecords({rec(1), rec(2)});
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.resetRecords({rec(5)});
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_TRUE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(model.setData(model.index(0, 0), QStringLiteral("changed"), Qt::EditRole));
    EXPECT_EQ(model.recordAt(0).target, QStringLiteral("192.0.2.1"));
}

} // namespace
