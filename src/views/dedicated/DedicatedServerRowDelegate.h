#pragma once

// Paints one sidebar row of the dedicated-server list: power dot, host name and data-centre badge; the
// service name; the IPv4 address and the boot type. Reads the record through the list model.

#include "model/Records.h"
#include "ui/HalvoRecordListModel.h"
#include "ui/HalvoRowPainting.h"

class DedicatedServerRowDelegate final : public HalvoRowDelegate {
public:
    using HalvoRowDelegate::HalvoRowDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    /// The text of the data-centre badge: the first four characters, upper case.
    static QString datacenterBadgeText(const QString& datacenter);
};
