#pragma once

// Paints the VPS sidebar rows: state dot, display name and state badge; the service name; IPv4 and model.

#include "model/Records.h"
#include "ui/HalvoRecordListModel.h"
#include "ui/HalvoRowPainting.h"
#include "ui/Theme.h"

#include <QRect>

namespace halvo::vps {

/// The dot beside a VPS: green when running, orange in rescue, red for every other state.
theme::Tint stateDotTint(const QString& state);
/// The state badges: green when running, orange for every other state (rescue included).
theme::Tint stateBadgeTint(const QString& state);

} // namespace halvo::vps

class VPSRowDelegate final : public HalvoRowDelegate {
    Q_OBJECT
public:
    /// Where the parts of one row go inside the row's rectangle.
    struct Geometry {
        QRect dot;
        QRect displayName;
        QRect badge;
        QRect name;
        QRect ipv4;
        QRect modelName;
    };

    using HalvoRowDelegate::HalvoRowDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// The layout of the record's row in `rect`.
    static Geometry geometry(const HalvoVPS& vps, const QRect& rect);
};
