#pragma once

// Items side by side in up to `maxColumns` equal columns, filled row by row in order; when the width is too
// short for that many columns of at least the items' minimum width, fewer columns are used, down to one
// (the items stacked). Cards placed side by side and tile grids use it, so the page never needs more width
// than the detail has.

#include <QLayout>
#include <QList>

class HalvoColumnsLayout final : public QLayout {
    Q_OBJECT
public:
    HalvoColumnsLayout(int maxColumns, int horizontalSpacing, int verticalSpacing, QWidget* parent = nullptr);
    /// Cards placed side by side (up to `columns`, `spacing` apart), stacked when a card would get narrower
    /// than a form needs.
    static HalvoColumnsLayout* sideBySideCards(int columns = 2, int spacing = 16);
    static constexpr int kCardMinimumWidth = 320;
    ~HalvoColumnsLayout() override;

    /// The narrowest a column may get (besides the items' own minimum widths); 0 by default.
    void setMinimumColumnWidth(int width);
    /// Whether the items of a row get the row's height (a grid) or keep their own, aligned to the top.
    void setStretchRows(bool stretch);

    /// The number of columns used at the given width (contents margins included).
    int columnsFor(int width) const;

    void addItem(QLayoutItem* item) override;
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

private:
    QList<QLayoutItem*> shownItems() const;
    int narrowestColumn() const;
    int itemHeight(QLayoutItem* item, int width) const;
    int arrange(const QRect& rect, bool apply) const;

    QList<QLayoutItem*> m_items;
    int m_maxColumns;
    int m_horizontalSpacing;
    int m_verticalSpacing;
    int m_minimumColumnWidth = 0;
    bool m_stretchRows = false;
};
