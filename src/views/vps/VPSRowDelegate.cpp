#include "views/vps/VPSRowDelegate.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace halvo::vps {

theme::Tint stateDotTint(const QString& state) {
    if (state == QLatin1StringView("running"))
        return theme::Tint::green;
    if (state == QLatin1StringView("rescued"))
        return theme::Tint::orange;
    return theme::Tint::red;
}

theme::Tint stateBadgeTint(const QString& state) {
    return state == QLatin1StringView("running") ? theme::Tint::green : theme::Tint::orange;
}

} // namespace halvo::vps

namespace {

using halvo::theme::TextStyle;
using halvo::theme::Weight;

constexpr int kHorizontalInset = 8;
constexpr int kVerticalInset = 4;
constexpr int kLineSpacing = 5;
constexpr int kDotSize = 9;
constexpr int kItemSpacing = 6;
constexpr int kBadgePadX = 6;
constexpr int kBadgePadY = 2;

QFont displayNameFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::bold);
}
QFont badgeFont() {
    return halvo::theme::font(TextStyle::caption2, Weight::bold);
}
QFont detailFont() {
    return halvo::theme::font(TextStyle::caption2);
}
QFont addressFont() {
    return halvo::theme::font(TextStyle::caption2, Weight::bold, true);
}

int firstLineHeight() {
    const int badge = QFontMetrics(badgeFont()).height() + 2 * kBadgePadY;
    return std::max({QFontMetrics(displayNameFont()).height(), badge, kDotSize});
}

int secondLineHeight() {
    return QFontMetrics(detailFont()).height();
}

int thirdLineHeight() {
    return std::max(QFontMetrics(addressFont()).height(), QFontMetrics(detailFont()).height());
}

} // namespace

VPSRowDelegate::Geometry VPSRowDelegate::geometry(const HalvoVPS& vps, const QRect& rect) {
    Geometry g;
    const int left = rect.left() + kHorizontalInset;
    const int right = rect.right() - kHorizontalInset; // inclusive
    int top = rect.top() + kVerticalInset;

    const int h1 = firstLineHeight();
    g.dot = QRect(left, top + (h1 - kDotSize) / 2, kDotSize, kDotSize);
    const QFontMetrics badgeMetrics(badgeFont());
    // A long state never takes more than half of the line from the dot and the name.
    const int lineWidth = std::max(0, right - left + 1);
    const int badgeWidth = halvo::ui::trailingWidth(
        lineWidth,
        int(std::ceil(QFontMetricsF(badgeFont()).horizontalAdvance(vps.state.toUpper()))) + 1 + 2 * kBadgePadX,
        lineWidth / 2);
    const int badgeHeight = badgeMetrics.height() + 2 * kBadgePadY;
    g.badge = QRect(right - badgeWidth + 1, top + (h1 - badgeHeight) / 2, badgeWidth, badgeHeight);
    const int nameLeft = g.dot.right() + 1 + kItemSpacing;
    g.displayName = QRect(nameLeft, top, std::max(0, g.badge.left() - kItemSpacing - nameLeft), h1);
    top += h1 + kLineSpacing;

    const int h2 = secondLineHeight();
    g.name = QRect(left, top, std::max(0, right - left + 1), h2);
    top += h2 + kLineSpacing;

    const int h3 = thirdLineHeight();
    const int fullWidth = std::max(0, right - left + 1);
    // Rounded up, so the address is not elided by a fraction of a pixel.
    const int addressAdvance = int(std::ceil(QFontMetricsF(addressFont()).horizontalAdvance(vps.ipv4))) + 1;
    const int addressWidth = std::min(addressAdvance, fullWidth);
    g.ipv4 = QRect(left, top, addressWidth, h3);
    const int modelLeft = g.ipv4.right() + 1 + kItemSpacing;
    g.modelName = QRect(modelLeft, top, std::max(0, right + 1 - modelLeft), h3);
    return g;
}

void VPSRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const std::optional<HalvoVPS> row = record<HalvoVPS>(index);
    if (!row)
        return;
    const HalvoVPS& vps = *row;
    paintPanel(painter, option, index);

    using halvo::theme::Tint;
    using halvo::ui::paintElidedText;
    const Geometry g = geometry(vps, option.rect);
    painter->save();
    halvo::ui::paintDot(painter, g.dot, halvo::vps::stateDotTint(vps.state));
    halvo::ui::paintCapsuleIn(painter, g.badge, vps.state.toUpper(), badgeFont(), halvo::vps::stateBadgeTint(vps.state),
                              0.18);
    paintElidedText(painter, g.displayName, vps.displayName, displayNameFont(), Tint::primary);
    paintElidedText(painter, g.name, vps.name, detailFont(), Tint::secondary);
    paintElidedText(painter, g.ipv4, vps.ipv4, addressFont(), Tint::blue);
    paintElidedText(painter, g.modelName, vps.modelName, detailFont(), Tint::secondary, Qt::AlignRight);
    painter->restore();
}

QSize VPSRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int height =
        2 * kVerticalInset + firstLineHeight() + kLineSpacing + secondLineHeight() + kLineSpacing + thirdLineHeight();
    return QSize(std::max(option.rect.width(), 0), height);
}
