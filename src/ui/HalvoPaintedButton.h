#pragma once

// A small action button that an item delegate draws inside a row: rows of long lists hold no widgets, so
// the delegate paints the button and handles its click.

#include "ui/HalvoButtonVariant.h"

#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class QStyleOptionViewItem;

namespace halvo::ui {

class HalvoPaintedButton {
public:
    HalvoPaintedButton(QString text, QString symbolName, HalvoButtonVariant variant);

    QSize size() const;
    /// Where the button sits in a cell: at its trailing edge, centred vertically.
    QRect placeIn(const QRect& cell) const;
    /// Draws the button at `rect`: darker while held, lighter while the pointer is over it.
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect, bool held) const;

private:
    QString m_text;
    QString m_symbol;
    HalvoButtonVariant m_variant;
};

} // namespace halvo::ui
