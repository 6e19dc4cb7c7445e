#pragma once

// A shown section view on a real store, for the tests of the four sections: the store (seeded with a
// snapshot, or the demonstration data), the view at a given size, exposed and settled, and what a user does
// with the shared frame (rows, tabs, search) and sees in it.

#include "support/StoreHarness.h"
#include "support/WidgetFinders.h"
#include "ui/HalvoActionButton.h"
#include "ui/HalvoSectionFrame.h"

#include <QAbstractItemModel>
#include <QItemSelectionModel>
#include <QListView>
#include <QSize>
#include <QTest>

#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace halvo::test {

template <class View> class SectionHarness {
public:
    /// Shows the view over the harness's store at `size` and waits until it is exposed and settled.
    explicit SectionHarness(std::unique_ptr<StoreHarness> storeHarness, QSize size = QSize(1400, 900))
        : harness(std::move(storeHarness))
        , view(std::make_unique<View>(harness->store())) {
        view->resize(size);
        view->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        settle();
    }

    AppStateStore& store() { return harness->store(); }
    HalvoSectionFrame& frame() const { return *view->frame(); }
    QListView* list() const { return frame().listView(); }
    QWidget* header() const { return frame().header(); }
    QWidget* content() const { return frame().content(); }

    void search(const QString& text) {
        store().setSearchText(text);
        settle();
    }

    /// The ids the sidebar lists, top to bottom.
    QStringList listedNames() const {
        QStringList names;
        const QAbstractItemModel* model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            names.append(model->index(row, 0).data().toString());
        return names;
    }

    /// Clicks the sidebar row as a user would.
    void clickRow(int row) {
        const QModelIndex index = list()->model()->index(row, 0);
        list()->scrollTo(index);
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualRect(index).center());
        settle();
    }

    /// The highlighted sidebar rows.
    QList<int> highlightedRows() const {
        QList<int> rows;
        for (const QModelIndex& index : list()->selectionModel()->selectedIndexes())
            rows.append(index.row());
        return rows;
    }

    QStringList tabTitles() const {
        QStringList titles;
        for (const HalvoActionButton* button : frame().tabButtons())
            titles.append(button->text());
        return titles;
    }

    std::unique_ptr<StoreHarness> harness;
    std::unique_ptr<View> view;
};

} // namespace halvo::test
