#include "ui/HalvoPaintedButton.h"

#include "ui/Theme.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionViewItem>

namespace halvo::ui {

namespace {

constexpr int kPaddingH = 8;
constexpr int kPaddingV = 4;
constexpr int kIconSpacing = 4;
constexpr qreal kRadius = 6;

QFont buttonFont() {
    return theme::font(theme::TextStyle::caption, theme::Weight::semibold);
}

/// Recoloured symbols are drawn on every paint of every visible row; they are made once.
QPixmap symbolPixmap(const QString& symbol, const QColor& color, int side, qreal ratio) {
    static QHash<QString, QPixmap> cache;
    const QString key = symbol + QLatin1Char('|') + color.name(QColor::HexArgb) + QLatin1Char('|') +
                        QString::number(side) + QLatin1Char('|') + QString::number(ratio);
    auto found = cache.constFind(key);
    if (found == cache.constEnd())
        found = cache.insert(key, theme::tintedIcon(symbol, color).pixmap(QSize(side, side), ratio));
    return *found;
}

} // namespace

HalvoPaintedButton::HalvoPaintedButton(QString text, QString symbolName, HalvoButtonVariant variant)
    : m_text(std::move(text))
    , m_symbol(std::move(symbolName))
    , m_variant(variant) {}

QSize HalvoPaintedButton::size() const {
    const QFontMetrics metrics(buttonFont());
    const int icon = m_symbol.isEmpty() ? 0 : metrics.height() + kIconSpacing;
    return {kPaddingH + icon + metrics.horizontalAdvance(m_text) + kPaddingH, metrics.height() + 2 * kPaddingV};
}

QRect HalvoPaintedButton::placeIn(const QRect& cell) const {
    const QSize extent = size();
    QRect button(QPoint(0, 0), extent);
    button.moveRight(cell.right());
    button.moveTop(cell.center().y() - extent.height() / 2);
    return button;
}

void HalvoPaintedButton::paint(QPainter* painter, const QStyleOptionViewItem& option, const QRect& rect,
                               bool held) const {
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool hovered = view && option.state.testFlag(QStyle::State_MouseOver) &&
                         rect.contains(view->viewport()->mapFromGlobal(QCursor::pos()));
    QColor fill = theme::buttonColor(m_variant);
    if (held)
        fill = fill.darker(125);
    else if (hovered)
        fill = fill.lighter(112);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(fill);
    painter->drawRoundedRect(QRectF(rect), kRadius, kRadius);

    const QColor onButton = theme::buttonTextColor(m_variant);
    const QFontMetrics metrics(buttonFont());
    int left = rect.left() + kPaddingH;
    if (!m_symbol.isEmpty()) {
        const int side = metrics.height();
        const QRect iconRect(left, rect.center().y() - side / 2, side, side);
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(iconRect, symbolPixmap(m_symbol, onButton, side, ratio));
        left = iconRect.right() + 1 + kIconSpacing;
    }
    painter->setFont(buttonFont());
    painter->setPen(onButton);
    const QRect label(left, rect.top(), rect.right() - kPaddingH - left + 1, rect.height());
    painter->drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
    painter->restore();
}

} // namespace halvo::ui
