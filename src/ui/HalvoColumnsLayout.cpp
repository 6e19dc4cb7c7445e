#include "ui/HalvoColumnsLayout.h"

#include <QWidget>

#include <algorithm>

HalvoColumnsLayout::HalvoColumnsLayout(int maxColumns, int horizontalSpacing, int verticalSpacing, QWidget* parent)
    : QLayout(parent)
    , m_maxColumns(std::max(1, maxColumns))
    , m_horizontalSpacing(horizontalSpacing)
    , m_verticalSpacing(verticalSpacing) {
    setContentsMargins(0, 0, 0, 0);
}

HalvoColumnsLayout* HalvoColumnsLayout::sideBySideCards(int columns, int spacing) {
    auto* layout = new HalvoColumnsLayout(columns, spacing, spacing);
    layout->setMinimumColumnWidth(kCardMinimumWidth);
    return layout;
}

HalvoColumnsLayout::~HalvoColumnsLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void HalvoColumnsLayout::setMinimumColumnWidth(int width) {
    m_minimumColumnWidth = std::max(0, width);
    invalidate();
}

void HalvoColumnsLayout::setStretchRows(bool stretch) {
    m_stretchRows = stretch;
    invalidate();
}

void HalvoColumnsLayout::addItem(QLayoutItem* item) {
    m_items.append(item);
    invalidate();
}

int HalvoColumnsLayout::count() const {
    return int(m_items.size());
}

QLayoutItem* HalvoColumnsLayout::itemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* HalvoColumnsLayout::takeAt(int index) {
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

Qt::Orientations HalvoColumnsLayout::expandingDirections() const {
    return Qt::Horizontal;
}

bool HalvoColumnsLayout::hasHeightForWidth() const {
    return true;
}

QList<QLayoutItem*> HalvoColumnsLayout::shownItems() const {
    QList<QLayoutItem*> shown;
    for (QLayoutItem* item : m_items) {
        if (!item->isEmpty())
            shown.append(item);
    }
    return shown;
}

int HalvoColumnsLayout::narrowestColumn() const {
    int narrowest = std::max(m_minimumColumnWidth, 1);
    for (const QLayoutItem* item : shownItems())
        narrowest = std::max(narrowest, item->minimumSize().width());
    return narrowest;
}

int HalvoColumnsLayout::columnsFor(int width) const {
    const QMargins margins = contentsMargins();
    const int available = width - margins.left() - margins.right();
    const int items = int(shownItems().size());
    const int narrowest = narrowestColumn();
    int columns = std::clamp(items, 1, m_maxColumns);
    while (columns > 1 && columns * narrowest + (columns - 1) * m_horizontalSpacing > available)
        --columns;
    return columns;
}

int HalvoColumnsLayout::itemHeight(QLayoutItem* item, int width) const {
    const int height = item->hasHeightForWidth() ? item->heightForWidth(width) : item->sizeHint().height();
    return std::max(height, item->minimumSize().height());
}

int HalvoColumnsLayout::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

QSize HalvoColumnsLayout::minimumSize() const {
    // One column at its narrowest; the height is asked for a width (heightForWidth), so the minimum does not
    // claim the height of the stacked arrangement.
    int height = 0;
    for (const QLayoutItem* item : shownItems())
        height = std::max(height, item->minimumSize().height());
    const QMargins margins = contentsMargins();
    const int width = shownItems().isEmpty() ? 0 : narrowestColumn();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

QSize HalvoColumnsLayout::sizeHint() const {
    const QList<QLayoutItem*> items = shownItems();
    const int columns = std::clamp(int(items.size()), 1, m_maxColumns);
    int column = 0;
    for (const QLayoutItem* item : items)
        column = std::max(column, item->sizeHint().width());
    column = std::max(column, narrowestColumn());
    const QMargins margins = contentsMargins();
    const int width = columns * column + (columns - 1) * m_horizontalSpacing + margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

void HalvoColumnsLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int HalvoColumnsLayout::arrange(const QRect& rect, bool apply) const {
    const QList<QLayoutItem*> items = shownItems();
    const QMargins margins = contentsMargins();
    const QRect area = rect.marginsRemoved(margins);
    if (items.isEmpty())
        return margins.top() + margins.bottom();
    const int columns = columnsFor(rect.width());
    const int spare = std::max(0, area.width() - (columns - 1) * m_horizontalSpacing);
    int y = area.y();
    for (int first = 0; first < items.size(); first += columns) {
        const int inRow = std::min<int>(columns, int(items.size()) - first);
        // Equal columns; the pixels left over by the division go to the first ones.
        QList<int> widths;
        for (int c = 0; c < columns; ++c)
            widths.append(spare / columns + (c < spare % columns ? 1 : 0));
        int rowHeight = 0;
        for (int i = 0; i < inRow; ++i)
            rowHeight = std::max(rowHeight, itemHeight(items[first + i], widths[i]));
        if (apply) {
            int x = area.x();
            for (int i = 0; i < inRow; ++i) {
                QLayoutItem* item = items[first + i];
                const int height = m_stretchRows ? rowHeight : itemHeight(item, widths[i]);
                item->setGeometry(QRect(x, y, widths[i], std::min(height, rowHeight)));
                x += widths[i] + m_horizontalSpacing;
            }
        }
        y += rowHeight + m_verticalSpacing;
    }
    return y - m_verticalSpacing - area.y() + margins.top() + margins.bottom();
}
