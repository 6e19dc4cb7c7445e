#include "views/ip/IPBlockRowDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

// Row geometry: a column with 5 points between its lines and 4 above and below.
constexpr int kHorizontalInset = 10;
constexpr int kVerticalInset = 4;
constexpr int kLineSpacing = 5;
constexpr int kItemSpacing = 6;
// The type badge's capsule around its text.
constexpr int kBadgeHorizontalInset = 6;
constexpr int kBadgeVerticalInset = 2;

QFont addressFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::bold, true);
}
QFont badgeFont() {
    return halvo::theme::font(TextStyle::caption2, Weight::bold);
}
QFont detailFont() {
    return halvo::theme::font(TextStyle::caption2);
}
QFont mitigationFont() {
    return halvo::theme::font(TextStyle::caption2, Weight::bold);
}

struct Metrics {
    int symbolExtent = 0;
    int badgeHeight = 0;
    int addressLine = 0;
    int detailLine = 0;
};

Metrics metrics() {
    Metrics m;
    const QFontMetrics address(addressFont());
    m.symbolExtent = address.height();
    m.badgeHeight = QFontMetrics(badgeFont()).height() + 2 * kBadgeVerticalInset;
    m.addressLine = std::max({address.height(), m.badgeHeight, m.symbolExtent});
    m.detailLine = std::max(QFontMetrics(detailFont()).height(), QFontMetrics(mitigationFont()).height());
    return m;
}

} // namespace

IPBlockRowContent IPBlockRowContent::of(const HalvoIPBlock& block) {
    IPBlockRowContent c;
    const bool v6 = block.version == 6;
    c.versionSymbol = v6 ? QStringLiteral("6.circle.fill") : QStringLiteral("4.circle.fill");
    c.versionTint = v6 ? Tint::indigo : Tint::blue;
    c.ipBlock = block.ipBlock;
    c.typeText = block.type.toUpper();
    const bool failover = block.type == QLatin1StringView("failover");
    c.typeTint = failover ? Tint::orange : Tint::blue;
    c.typeBackgroundOpacity = failover ? 0.20 : 0.16;
    if (block.routedToService && !block.routedToService->isEmpty())
        c.service = *block.routedToService;
    c.reverseCountText = QString::number(block.reverseEntries.size()) + QStringLiteral(" rDNS (PTR)");
    c.mitigationText = QStringLiteral("Tidewall: ") + block.mitigationMode.toUpper();
    return c;
}

IPBlockRowDelegate::IPBlockRowDelegate(const Model* model, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_model(model) {}

QPixmap IPBlockRowDelegate::symbolPixmap(const QString& name, Tint tint, int extent, qreal ratio) const {
    const QString key = name + QLatin1Char('|') + QString::number(int(tint)) + QLatin1Char('|') +
                        QString::number(extent) + QLatin1Char('|') + QString::number(ratio);
    auto it = m_symbols.constFind(key);
    if (it != m_symbols.constEnd())
        return *it;
    const QIcon icon = halvo::theme::tintedIcon(name, halvo::theme::color(tint));
    QPixmap pixmap;
    if (!icon.isNull()) {
        pixmap = icon.pixmap(QSize(extent, extent) * ratio);
        pixmap.setDevicePixelRatio(ratio);
    }
    m_symbols.insert(key, pixmap);
    return pixmap;
}

void IPBlockRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    opt.text.clear();
    opt.icon = QIcon();
    const QWidget* widget = opt.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawPrimitive(QStyle::PE_PanelItemViewItem, &opt, painter, widget);

    if (!m_model || !index.isValid() || index.row() >= m_model->rowCount())
        return;
    const IPBlockRowContent c = IPBlockRowContent::of(m_model->itemAt(index.row()));
    const Metrics m = metrics();
    const bool selected = opt.state.testFlag(QStyle::State_Selected);
    const QColor primary = selected ? opt.palette.color(QPalette::HighlightedText) : halvo::theme::color(Tint::primary);
    const QColor secondary =
        selected ? opt.palette.color(QPalette::HighlightedText) : halvo::theme::color(Tint::secondary);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;

    painter->save();
    painter->setClipRect(opt.rect);
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect area = opt.rect.adjusted(kHorizontalInset, kVerticalInset, -kHorizontalInset, -kVerticalInset);
    int y = area.top();

    // Address line: version symbol, the block, and the type badge at the trailing edge.
    const QPixmap versionSymbol = symbolPixmap(c.versionSymbol, c.versionTint, m.symbolExtent, ratio);
    if (!versionSymbol.isNull())
        painter->drawPixmap(QPoint(area.left(), y + (m.addressLine - m.symbolExtent) / 2), versionSymbol);
    const int textLeft = area.left() + m.symbolExtent + kItemSpacing;

    const QFontMetrics badgeMetrics(badgeFont());
    const int badgeWidth = badgeMetrics.horizontalAdvance(c.typeText) + 2 * kBadgeHorizontalInset;
    const QRect badge(area.right() + 1 - badgeWidth, y + (m.addressLine - m.badgeHeight) / 2, badgeWidth,
                      m.badgeHeight);
    QPainterPath capsule;
    capsule.addRoundedRect(QRectF(badge), badge.height() / 2.0, badge.height() / 2.0);
    painter->fillPath(capsule, halvo::theme::color(c.typeTint, c.typeBackgroundOpacity));
    painter->setFont(badgeFont());
    painter->setPen(halvo::theme::color(c.typeTint));
    painter->drawText(badge, Qt::AlignCenter, c.typeText);

    const QFontMetrics addressMetrics(addressFont());
    const int addressWidth = std::max(0, badge.left() - kItemSpacing - textLeft);
    painter->setFont(addressFont());
    painter->setPen(primary);
    painter->drawText(QRect(textLeft, y, addressWidth, m.addressLine), Qt::AlignLeft | Qt::AlignVCenter,
                      addressMetrics.elidedText(c.ipBlock, Qt::ElideRight, addressWidth));
    y += m.addressLine + kLineSpacing;

    const QFontMetrics detailMetrics(detailFont());
    if (c.service) {
        painter->setFont(detailFont());
        painter->setPen(secondary);
        painter->drawText(QRect(area.left(), y, area.width(), m.detailLine), Qt::AlignLeft | Qt::AlignVCenter,
                          detailMetrics.elidedText(*c.service, Qt::ElideRight, area.width()));
        y += m.detailLine + kLineSpacing;
    }

    // Status line: reverse-entry count, and the mitigation mode at the trailing edge.
    const int mitigationWidth = QFontMetrics(mitigationFont()).horizontalAdvance(c.mitigationText);
    painter->setFont(mitigationFont());
    painter->setPen(halvo::theme::color(Tint::green));
    painter->drawText(QRect(area.right() + 1 - mitigationWidth, y, mitigationWidth, m.detailLine),
                      Qt::AlignRight | Qt::AlignVCenter, c.mitigationText);
    const int countWidth = std::max(0, area.width() - mitigationWidth - kItemSpacing);
    painter->setFont(detailFont());
    painter->setPen(secondary);
    painter->drawText(QRect(area.left(), y, countWidth, m.detailLine), Qt::AlignLeft | Qt::AlignVCenter,
                      detailMetrics.elidedText(c.reverseCountText, Qt::ElideRight, countWidth));
    painter->restore();
}

QSize IPBlockRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const Metrics m = metrics();
    bool hasService = false;
    if (m_model && index.isValid() && index.row() < m_model->rowCount()) {
        const HalvoIPBlock& block = m_model->itemAt(index.row());
        hasService = block.routedToService && !block.routedToService->isEmpty();
    }
    int height = 2 * kVerticalInset + m.addressLine + kLineSpacing + m.detailLine;
    if (hasService)
        height += m.detailLine + kLineSpacing;
    return QSize(std::max(option.rect.width(), 0), height);
}
