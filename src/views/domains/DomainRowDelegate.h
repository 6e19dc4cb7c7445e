#pragma once

// The sidebar row of one domain: name and transfer-lock icon, then the DNSSEC badge and the record count.

#include "model/Records.h"
#include "ui/HalvoRecordListModel.h"
#include "ui/HalvoRowPainting.h"
#include "ui/Theme.h"

#include <optional>

/// What a domain's sidebar row shows; the delegate paints exactly this.
struct DomainRowLook {
    struct Symbol {
        QString name;
        halvo::theme::Tint tint;
        bool operator==(const Symbol&) const = default;
    };

    QString name;
    /// The transfer-lock icon, none when the domain's lock is unavailable.
    std::optional<Symbol> lock;
    QString badgeText;
    halvo::theme::Tint badgeTint = halvo::theme::Tint::secondary;
    qreal badgeFillOpacity = 0;
    QString recordCountText;

    static DomainRowLook of(const HalvoDomain& domain);
};

class DomainRowDelegate final : public HalvoRowDelegate {
    Q_OBJECT
public:
    using Model = HalvoRecordListModel<HalvoDomain>;

    using HalvoRowDelegate::HalvoRowDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
