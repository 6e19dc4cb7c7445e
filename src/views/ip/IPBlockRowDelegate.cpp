#include "views/ip/IPBlockRowDelegate.h"

#include <QFontMetrics>
#include <QPainter>

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

void IPBlockRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    paintPanel(painter, option, index);
    const std::optional<HalvoIPBlock> block = record<HalvoIPBlock>(index);
    if (!block)
        return;
    const IPBlockRowContent c = IPBlockRowContent::of(*block);
    const Metrics m = metrics();
    using halvo::ui::paintElidedText;

    painter->save();
    painter->setClipRect(option.rect);
    painter->setRenderHint(QPainter::Antialiasing);
    const QRect area = option.rect.adjusted(kHorizontalInset, kVerticalInset, -kHorizontalInset, -kVerticalInset);
    // Every row is as tall as one with a service line (the sidebar lays out uniform rows); without that line
    // the two others sit in the middle.
    int y = area.top() + (c.service ? 0 : (m.detailLine + kLineSpacing) / 2);

    // Address line: version symbol, the block, and the type badge at the trailing edge.
    halvo::ui::paintSymbol(painter,
                           QRect(area.left(), y + (m.addressLine - m.symbolExtent) / 2, m.symbolExtent, m.symbolExtent),
                           c.versionSymbol, c.versionTint);
    const int textLeft = area.left() + m.symbolExtent + kItemSpacing;

    const QFontMetrics badgeMetrics(badgeFont());
    const int badgeWidth = badgeMetrics.horizontalAdvance(c.typeText) + 2 * kBadgeHorizontalInset;
    const QRect badge(area.right() + 1 - badgeWidth, y + (m.addressLine - m.badgeHeight) / 2, badgeWidth,
                      m.badgeHeight);
    halvo::ui::paintCapsuleIn(painter, badge, c.typeText, badgeFont(), c.typeTint, c.typeBackgroundOpacity);

    const int addressWidth = std::max(0, badge.left() - kItemSpacing - textLeft);
    paintElidedText(painter, QRect(textLeft, y, addressWidth, m.addressLine), c.ipBlock, addressFont(), Tint::primary);
    y += m.addressLine + kLineSpacing;

    if (c.service) {
        paintElidedText(painter, QRect(area.left(), y, area.width(), m.detailLine), *c.service, detailFont(),
                        Tint::secondary);
        y += m.detailLine + kLineSpacing;
    }

    // Status line: reverse-entry count, and the mitigation mode at the trailing edge.
    const int mitigationWidth = QFontMetrics(mitigationFont()).horizontalAdvance(c.mitigationText);
    halvo::ui::paintText(painter, QRect(area.right() + 1 - mitigationWidth, y, mitigationWidth, m.detailLine),
                         c.mitigationText, mitigationFont(), Tint::green, Qt::AlignRight);
    const int countWidth = std::max(0, area.width() - mitigationWidth - kItemSpacing);
    paintElidedText(painter, QRect(area.left(), y, countWidth, m.detailLine), c.reverseCountText, detailFont(),
                    Tint::secondary);
    painter->restore();
}

QSize IPBlockRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    // One height for every row, room for the service line included, so the sidebar never measures row by row.
    const Metrics m = metrics();
    const int height = 2 * kVerticalInset + m.addressLine + kLineSpacing + m.detailLine + kLineSpacing + m.detailLine;
    return QSize(std::max(option.rect.width(), 0), height);
}
