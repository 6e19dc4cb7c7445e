// The generic record list model under Qt's model checker, and what a refresh reports: the rows whose value
// changed when the identities stay in order, a reset otherwise.

#include "ui/HalvoRecordListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

struct Entry {
    QString id;
    int value = 0;
    bool operator==(const Entry&) const = default;
};

using Model = HalvoRecordListModel<Entry>;

Model::IdOf idOfEntry() {
    return [](const Entry& e) { return e.id; };
}

QList<Entry> entries(std::initializer_list<std::pair<const char*, int>> list) {
    QList<Entry> result;
    for (const auto& [id, value] : list)
        result.append({QString::fromLatin1(id), value});
    return result;
}

} // namespace

TEST(RecordListModel, PassesTheModelCheckerThroughEveryKindOfChange) {
    Model model(idOfEntry());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QList<QList<Entry>> steps{
        entries({{"a", 1}, {"b", 2}, {"c", 3}}),
        entries({{"a", 1}, {"b", 20}, {"c", 30}}), // values change in place
        entries({{"c", 30}, {"a", 1}}),            // order and count change
        {},                                        // empty
        entries({{"x", 0}}),
    };
    for (const QList<Entry>& step : steps) {
        model.setItems(step);
        ASSERT_EQ(model.rowCount(), step.size());
        for (int row = 0; row < model.rowCount(); ++row) {
            const QModelIndex index = model.index(row);
            EXPECT_EQ(index.data(Qt::DisplayRole).toString(), step[row].id);
            EXPECT_EQ(index.data(Model::IdRole).toString(), step[row].id);
            EXPECT_EQ(index.data(Model::RecordRole).value<Entry>(), step[row]);
            EXPECT_EQ(model.rowOf(step[row].id), row);
        }
    }
    EXPECT_EQ(model.rowOf(QStringLiteral("a")), -1);
    EXPECT_FALSE(model.index(0).data(Qt::DecorationRole).isValid());
}

TEST(RecordListModel, RefreshReportsOnlyTheChangedRunsOrResets) {
    struct Case {
        const char* name;
        QList<Entry> before;
        QList<Entry> after;
        bool reset;
        QList<std::pair<int, int>> changedRanges; ///< first and last row of each dataChanged
    };
    const QList<Case> cases{
        {"nothing changed", entries({{"a", 1}, {"b", 2}}), entries({{"a", 1}, {"b", 2}}), false, {}},
        {"one row", entries({{"a", 1}, {"b", 2}, {"c", 3}}), entries({{"a", 1}, {"b", 5}, {"c", 3}}), false, {{1, 1}}},
        {"two runs",
         entries({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}}),
         entries({{"a", 9}, {"b", 2}, {"c", 7}, {"d", 8}}),
         false,
         {{0, 0}, {2, 3}}},
        {"reordered", entries({{"a", 1}, {"b", 2}}), entries({{"b", 2}, {"a", 1}}), true, {}},
        {"row added", entries({{"a", 1}}), entries({{"a", 1}, {"b", 2}}), true, {}},
        {"row removed", entries({{"a", 1}, {"b", 2}}), entries({{"a", 1}}), true, {}},
    };
    for (const Case& c : cases) {
        Model model(idOfEntry());
        model.setItems(c.before);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        model.setItems(c.after);
        EXPECT_EQ(resets.count(), c.reset ? 1 : 0) << c.name;
        QList<std::pair<int, int>> ranges;
        for (const QList<QVariant>& args : changes)
            ranges.append({args.at(0).toModelIndex().row(), args.at(1).toModelIndex().row()});
        EXPECT_EQ(ranges, c.changedRanges) << c.name;
        EXPECT_EQ(model.items(), c.after) << c.name;
    }
}

TEST(RecordListModel, ShowsChosenRowsOfASharedListAndReportsOnlyWhatChanged) {
    Model model(idOfEntry());
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QList<Entry> source = entries({{"a", 1}, {"b", 2}, {"c", 3}, {"d", 4}});
    model.setRows(source, QList<qsizetype>{1, 3});
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.itemAt(0), source[1]);
    EXPECT_EQ(model.itemAt(1), source[3]);
    EXPECT_EQ(model.index(1).data(Model::RecordRole).value<Entry>(), source[3]);
    EXPECT_EQ(model.rowOf(QStringLiteral("d")), 1);
    EXPECT_EQ(model.rowOf(QStringLiteral("a")), -1);
    EXPECT_EQ(model.items(), entries({{"b", 2}, {"d", 4}}));

    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
    // The same list and rows again: nothing.
    model.setRows(source, QList<qsizetype>{1, 3});
    EXPECT_EQ(resets.count() + changes.count(), 0);
    // One shown record changed in a new list, the same rows: that row alone.
    QList<Entry> changed = source;
    changed[3].value = 40;
    model.setRows(changed, QList<qsizetype>{1, 3});
    EXPECT_EQ(resets.count(), 0);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_EQ(changes.first().at(0).toModelIndex().row(), 1);
    EXPECT_EQ(changes.first().at(1).toModelIndex().row(), 1);
    EXPECT_EQ(model.itemAt(1).value, 40);
    // Other rows of the same list (another search): a reset; then the whole list.
    model.setRows(changed, QList<qsizetype>{0});
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.items(), entries({{"a", 1}}));
    model.setRows(changed, std::nullopt);
    EXPECT_EQ(resets.count(), 2);
    EXPECT_EQ(model.items(), changed);
}
