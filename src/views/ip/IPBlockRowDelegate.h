#pragma once

// The sidebar rows of the IP view: what a row shows of a block, and the delegate that paints it, so that a
// long list costs only the rows on screen.

#include "model/Records.h"
#include "ui/HalvoRecordListModel.h"
#include "ui/HalvoRowPainting.h"
#include "ui/Theme.h"

#include <QString>

#include <optional>

/// The content of one sidebar row, derived from its block; the delegate draws exactly this.
struct IPBlockRowContent {
    // address line
    QString versionSymbol;
    halvo::theme::Tint versionTint = halvo::theme::Tint::blue;
    QString ipBlock;
    QString typeText;
    halvo::theme::Tint typeTint = halvo::theme::Tint::blue;
    qreal typeBackgroundOpacity = 0.16;
    // second line, only for a block routed to a named service
    std::optional<QString> service;
    // status line
    QString reverseCountText;
    QString mitigationText;

    bool operator==(const IPBlockRowContent&) const = default;
    static IPBlockRowContent of(const HalvoIPBlock& block);
};

class IPBlockRowDelegate final : public HalvoRowDelegate {
    Q_OBJECT
public:
    using Model = HalvoRecordListModel<HalvoIPBlock>;

    using HalvoRowDelegate::HalvoRowDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
