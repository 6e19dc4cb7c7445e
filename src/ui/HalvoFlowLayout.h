#pragma once

// A layout that places its items side by side and starts a further line when the next item does not fit,
// so a row of buttons grows downwards instead of widening the page. An item wider than the whole line gets
// the line's width: nothing is ever placed beyond the right edge. Items that expand horizontally (input
// fields) share the width left over on their line.

#include <QLayout>
#include <QList>

class HalvoFlowLayout final : public QLayout {
    Q_OBJECT
public:
    /// `horizontalSpacing` between items of a line, `verticalSpacing` between lines.
    explicit HalvoFlowLayout(QWidget* parent = nullptr, int horizontalSpacing = 8, int verticalSpacing = 8);
    ~HalvoFlowLayout() override;

    void addItem(QLayoutItem* item) override;
    /// Adds a nested layout (a label with its picker) as one item; its widgets become children of this
    /// layout's widget.
    void addLayout(QLayout* layout);
    /// Inserts a widget before the item at `index` (appends when `index` is out of range).
    void insertWidget(int index, QWidget* widget);
    int count() const override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;

    int horizontalSpacing() const { return m_horizontalSpacing; }
    int verticalSpacing() const { return m_verticalSpacing; }
    /// Whether the items of each line are centred instead of starting at the leading edge.
    void setCentered(bool centered);

    Qt::Orientations expandingDirections() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize minimumSize() const override;
    QSize sizeHint() const override;
    void setGeometry(const QRect& rect) override;

    /// The number of lines the items take at the given width (contents margins included).
    int lineCount(int width) const;

private:
    /// Places the items in `rect` (only computes when `apply` is false); returns the height used and the
    /// number of lines.
    int arrange(const QRect& rect, bool apply, int* lines = nullptr) const;

    QList<QLayoutItem*> m_items;
    int m_horizontalSpacing;
    int m_verticalSpacing;
    bool m_centered = false;
};
