#include "views/dedicated/DedicatedServerRowDelegate.h"

#include "ui/Theme.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

namespace {

namespace theme = halvo::theme;

constexpr int kHorizontalInset = 10;
constexpr int kVerticalInset = 5;
constexpr int kLineSpacing = 6;
constexpr int kItemSpacing = 8;
constexpr int kDotSize = 9;
constexpr int kBadgePaddingH = 6;
constexpr int kBadgePaddingV = 2;

struct RowFonts {
    QFont reverse = theme::font(theme::TextStyle::subheadline, theme::Weight::bold);
    QFont badge = theme::font(theme::TextStyle::caption2, theme::Weight::bold);
    QFont name = theme::font(theme::TextStyle::caption2);
    QFont ip = theme::font(theme::TextStyle::caption2, theme::Weight::bold, true);
    QFont boot = theme::font(theme::TextStyle::caption2);
};

struct LineHeights {
    int first;
    int second;
    int third;
};

LineHeights lineHeights(const RowFonts& fonts) {
    const int badge = QFontMetrics(fonts.badge).height() + 2 * kBadgePaddingV;
    return {std::max({QFontMetrics(fonts.reverse).height(), badge, kDotSize}), QFontMetrics(fonts.name).height(),
            std::max(QFontMetrics(fonts.ip).height(), QFontMetrics(fonts.boot).height())};
}

} // namespace

QString DedicatedServerRowDelegate::datacenterBadgeText(const QString& datacenter) {
    // Count characters, not UTF-16 units, so a surrogate pair is never cut in half.
    qsizetype end = 0;
    for (int taken = 0; taken < 4 && end < datacenter.size(); ++taken) {
        const bool pair = datacenter.at(end).isHighSurrogate() && end + 1 < datacenter.size() &&
                          datacenter.at(end + 1).isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return datacenter.left(end).toUpper();
}

void DedicatedServerRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
    const std::optional<HalvoServer> row = record<HalvoServer>(index);
    if (!row)
        return;
    paintPanel(painter, option, index);

    const HalvoServer& server = *row;
    const RowFonts fonts;
    const LineHeights heights = lineHeights(fonts);
    const QRect area = option.rect.adjusted(kHorizontalInset, kVerticalInset, -kHorizontalInset, -kVerticalInset);

    painter->save();
    using halvo::ui::paintElidedText;

    // First line: power dot, host name, data-centre badge.
    int top = area.top();
    halvo::ui::paintDot(painter, QRectF(area.left(), top + (heights.first - kDotSize) / 2.0, kDotSize, kDotSize),
                        server.powerState == QLatin1String("poweron") ? theme::Tint::green : theme::Tint::red);

    const QString badgeText = datacenterBadgeText(server.datacenter);
    const QFontMetrics badgeMetrics(fonts.badge);
    const int badgeWidth = badgeMetrics.horizontalAdvance(badgeText) + 2 * kBadgePaddingH;
    const int badgeHeight = badgeMetrics.height() + 2 * kBadgePaddingV;
    const QRectF badge(area.right() + 1 - badgeWidth, top + (heights.first - badgeHeight) / 2.0, badgeWidth,
                       badgeHeight);
    halvo::ui::paintCapsuleIn(painter, badge, badgeText, fonts.badge, theme::Tint::purple, 0.18);

    const int reverseLeft = area.left() + kDotSize + kItemSpacing;
    const QRect reverseRect(reverseLeft, top, int(badge.left()) - kItemSpacing - reverseLeft, heights.first);
    paintElidedText(painter, reverseRect, server.reverse, fonts.reverse, theme::Tint::primary);

    // Second line: the service name.
    top += heights.first + kLineSpacing;
    const QRect nameRect(area.left(), top, area.width(), heights.second);
    paintElidedText(painter, nameRect, server.name, fonts.name, theme::Tint::secondary);

    // Third line: IPv4 address and boot type.
    top += heights.second + kLineSpacing;
    // The address keeps its whole width; a long boot type gets what is left and ends in "…".
    const QString bootText = server.bootType.toUpper();
    const int ipWidth = QFontMetrics(fonts.ip).horizontalAdvance(server.ip) + 1 + kItemSpacing;
    const int bootWidth =
        halvo::ui::trailingWidth(area.width(), QFontMetrics(fonts.boot).horizontalAdvance(bootText) + 1, ipWidth);
    const QRect bootRect(area.right() + 1 - bootWidth, top, bootWidth, heights.third);
    paintElidedText(painter, bootRect, bootText, fonts.boot,
                    server.bootType == QLatin1String("rescue") ? theme::Tint::orange : theme::Tint::secondary,
                    Qt::AlignRight);

    const QRect ipRect(area.left(), top, bootRect.left() - kItemSpacing - area.left(), heights.third);
    paintElidedText(painter, ipRect, server.ip, fonts.ip, theme::Tint::blue);

    painter->restore();
}

QSize DedicatedServerRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const LineHeights heights = lineHeights(RowFonts{});
    const int height =
        2 * kVerticalInset + heights.first + kLineSpacing + heights.second + kLineSpacing + heights.third;
    return {std::max(option.rect.width(), 0), height};
}
