#include "ui/HalvoFlowLayout.h"

#include <QWidget>
#include <QWidgetItem>

#include <algorithm>

HalvoFlowLayout::HalvoFlowLayout(QWidget* parent, int horizontalSpacing, int verticalSpacing)
    : QLayout(parent)
    , m_horizontalSpacing(horizontalSpacing)
    , m_verticalSpacing(verticalSpacing) {
    setContentsMargins(0, 0, 0, 0);
}

HalvoFlowLayout::~HalvoFlowLayout() {
    while (QLayoutItem* item = takeAt(0))
        delete item;
}

void HalvoFlowLayout::addItem(QLayoutItem* item) {
    m_items.append(item);
    invalidate();
}

void HalvoFlowLayout::addLayout(QLayout* layout) {
    addChildLayout(layout);
    addItem(layout);
}

void HalvoFlowLayout::insertWidget(int index, QWidget* widget) {
    addChildWidget(widget);
    auto* item = new QWidgetItemV2(widget);
    if (index < 0 || index > m_items.size())
        m_items.append(item);
    else
        m_items.insert(index, item);
    invalidate();
}

int HalvoFlowLayout::count() const {
    return int(m_items.size());
}

QLayoutItem* HalvoFlowLayout::itemAt(int index) const {
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QLayoutItem* HalvoFlowLayout::takeAt(int index) {
    if (index < 0 || index >= m_items.size())
        return nullptr;
    QLayoutItem* item = m_items.takeAt(index);
    invalidate();
    return item;
}

void HalvoFlowLayout::setCentered(bool centered) {
    if (m_centered == centered)
        return;
    m_centered = centered;
    invalidate();
}

Qt::Orientations HalvoFlowLayout::expandingDirections() const {
    return {};
}

bool HalvoFlowLayout::hasHeightForWidth() const {
    return true;
}

int HalvoFlowLayout::heightForWidth(int width) const {
    return arrange(QRect(0, 0, width, 0), false);
}

int HalvoFlowLayout::lineCount(int width) const {
    int lines = 0;
    arrange(QRect(0, 0, width, 0), false, &lines);
    return lines;
}

QSize HalvoFlowLayout::minimumSize() const {
    QSize size;
    for (const QLayoutItem* item : m_items) {
        if (!item->isEmpty())
            size = size.expandedTo(item->minimumSize());
    }
    const QMargins margins = contentsMargins();
    return size + QSize(margins.left() + margins.right(), margins.top() + margins.bottom());
}

QSize HalvoFlowLayout::sizeHint() const {
    int width = 0;
    int height = 0;
    int shown = 0;
    for (const QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        const QSize hint = item->sizeHint();
        width += hint.width() + (shown++ > 0 ? m_horizontalSpacing : 0);
        height = std::max(height, hint.height());
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), height + margins.top() + margins.bottom()};
}

void HalvoFlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    arrange(rect, true);
}

int HalvoFlowLayout::arrange(const QRect& rect, bool apply, int* lines) const {
    const QMargins margins = contentsMargins();
    const QRect area = rect.marginsRemoved(margins);
    const int available = std::max(area.width(), 1);

    struct Placed {
        QLayoutItem* item;
        QSize size;
    };
    QList<Placed> line;
    int lineWidth = 0;
    int lineHeight = 0;
    int y = area.y();
    int lineTotal = 0;

    const auto finishLine = [&] {
        if (line.isEmpty())
            return;
        ++lineTotal;
        // Items that expand (an input field) share the width left over on their line; an item whose height
        // follows its width (a block with wrapping lines of its own) takes the height of its final width.
        int expanding = 0;
        for (const Placed& placed : std::as_const(line))
            expanding += (placed.item->expandingDirections() & Qt::Horizontal) ? 1 : 0;
        const int spare = std::max(0, available - lineWidth);
        int given = 0;
        lineHeight = 0;
        for (Placed& placed : line) {
            if (expanding > 0 && (placed.item->expandingDirections() & Qt::Horizontal)) {
                const int share = spare / expanding + (given < spare % expanding ? 1 : 0);
                ++given;
                placed.size.setWidth(std::min(placed.size.width() + share, placed.item->maximumSize().width()));
            }
            if (placed.item->hasHeightForWidth())
                placed.size.setHeight(
                    std::max(placed.item->heightForWidth(placed.size.width()), placed.item->minimumSize().height()));
            lineHeight = std::max(lineHeight, placed.size.height());
        }
        if (apply) {
            int x = area.x() + (m_centered && expanding == 0 ? spare / 2 : 0);
            for (const Placed& placed : std::as_const(line)) {
                const int top = y + (lineHeight - placed.size.height()) / 2;
                placed.item->setGeometry(QRect(QPoint(x, top), placed.size));
                x += placed.size.width() + m_horizontalSpacing;
            }
        }
        y += lineHeight + m_verticalSpacing;
        line.clear();
        lineWidth = 0;
        lineHeight = 0;
    };

    for (QLayoutItem* item : m_items) {
        if (item->isEmpty())
            continue;
        QSize size = item->sizeHint().expandedTo(item->minimumSize()).boundedTo(item->maximumSize());
        // Never wider than the line: a lone item wider than the space is narrowed to it.
        size.setWidth(std::min(size.width(), available));
        const int needed = line.isEmpty() ? size.width() : lineWidth + m_horizontalSpacing + size.width();
        if (!line.isEmpty() && needed > available)
            finishLine();
        lineWidth = line.isEmpty() ? size.width() : lineWidth + m_horizontalSpacing + size.width();
        lineHeight = std::max(lineHeight, size.height());
        line.append({item, size});
    }
    finishLine();
    if (lines)
        *lines = lineTotal;
    const int used = lineTotal > 0 ? y - m_verticalSpacing - area.y() : 0;
    return used + margins.top() + margins.bottom();
}
