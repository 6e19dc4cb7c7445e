#include "views/domains/DomainRowDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QStyle>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;

namespace {

constexpr int kVerticalInset = 4;
constexpr int kHorizontalInset = 8;
constexpr int kLineSpacing = 5;
constexpr int kItemSpacing = 6;
constexpr int kBadgePaddingH = 6;
constexpr int kBadgePaddingV = 2;

QFont nameFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::bold);
}
QFont badgeFont() {
    return halvo::theme::font(TextStyle::caption2, Weight::bold);
}
QFont countFont() {
    return halvo::theme::font(TextStyle::caption2);
}
QFont lockFont() {
    return halvo::theme::font(TextStyle::caption);
}

int secondLineHeight() {
    return qMax(QFontMetrics(badgeFont()).height() + 2 * kBadgePaddingV, QFontMetrics(countFont()).height());
}

} // namespace

DomainRowLook DomainRowLook::of(const HalvoDomain& domain) {
    DomainRowLook look;
    look.name = domain.domain;
    if (domain.transferLockStatus == QLatin1StringView("locked"))
        look.lock = Symbol{QStringLiteral("lock.fill"), Tint::green};
    else if (domain.transferLockStatus != QLatin1StringView("unavailable"))
        look.lock = Symbol{QStringLiteral("lock.open.fill"), Tint::orange};

    if (!domain.dnssecSupported) {
        look.badgeText = QStringLiteral("DNS-ZONE");
        look.badgeTint = Tint::secondary;
        look.badgeFillOpacity = 0.16;
    } else if (domain.dnssecEnabled) {
        look.badgeText = QStringLiteral("DNSSEC AN");
        look.badgeTint = Tint::green;
        look.badgeFillOpacity = 0.18;
    } else {
        look.badgeText = QStringLiteral("DNSSEC AUS");
        look.badgeTint = Tint::secondary;
        look.badgeFillOpacity = 0.16;
    }
    look.recordCountText = QString::number(domain.dnsRecords.size()) + QStringLiteral(" Records");
    return look;
}

void DomainRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const std::optional<HalvoDomain> domain = record<HalvoDomain>(index);
    if (!domain)
        return;
    const DomainRowLook look = DomainRowLook::of(*domain);

    // The platform draws the selection and hover background; the row draws its own content on top.
    paintPanel(painter, option, index);

    const QRect inner = option.rect.adjusted(kHorizontalInset, kVerticalInset, -kHorizontalInset, -kVerticalInset);
    const QFontMetrics nameMetrics(nameFont());
    const QRect line1(inner.left(), inner.top(), inner.width(), nameMetrics.height());
    const QRect line2(inner.left(), line1.bottom() + 1 + kLineSpacing, inner.width(), secondLineHeight());

    painter->save();
    int nameRight = line1.right();
    if (look.lock) {
        const int side = QFontMetrics(lockFont()).height();
        const QRect lockRect(line1.right() - side + 1, line1.center().y() - side / 2, side, side);
        halvo::ui::paintSymbol(painter, lockRect, look.lock->name, look.lock->tint);
        nameRight = lockRect.left() - kItemSpacing;
    }
    const QRect nameRect(line1.left(), line1.top(), qMax(0, nameRight - line1.left()), line1.height());
    halvo::ui::paintElidedText(painter, nameRect, look.name, nameFont(), Tint::primary);

    const QRect badge = halvo::ui::paintCapsule(painter, line2, look.badgeText, badgeFont(), look.badgeTint,
                                                look.badgeFillOpacity, kBadgePaddingH, kBadgePaddingV);
    painter->setFont(countFont());
    painter->setPen(halvo::theme::color(Tint::secondary));
    const QRect countRect(badge.right() + 1 + kItemSpacing, line2.top(),
                          qMax(0, line2.right() - badge.right() - kItemSpacing), line2.height());
    painter->drawText(countRect, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, look.recordCountText);
    painter->restore();
}

QSize DomainRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    const int height =
        kVerticalInset + QFontMetrics(nameFont()).height() + kLineSpacing + secondLineHeight() + kVerticalInset;
    return {0, height};
}
