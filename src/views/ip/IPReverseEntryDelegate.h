#pragma once

// One row of a block's reverse-DNS table: the address, the host name and the "rDNS löschen" button. The
// rows are painted, so a block with thousands of entries costs only its visible rows. The button's press
// (handled by HalvoButtonRowDelegate) asks to delete that row's entry.

#include "model/Records.h"
#include "ui/HalvoButtonRowDelegate.h"
#include "ui/HalvoRecordListModel.h"

namespace ipReverseColumns {
constexpr int kAddress = 240;
constexpr int kAction = 140;
constexpr int kSpacing = 8;
constexpr int kHorizontalInset = 10;
constexpr int kVerticalInset = 6;
/// Between two rows.
constexpr int kRowSpacing = 6;
} // namespace ipReverseColumns

class IPReverseEntryDelegate final : public HalvoButtonRowDelegate {
    Q_OBJECT
public:
    struct Cells {
        QRect background;
        QRect address;
        QRect host;
        QRect action;
    };

    explicit IPReverseEntryDelegate(const HalvoRecordListModel<HalvoReverseRecord>* model, QObject* parent = nullptr);

    static Cells cells(const QRect& itemRect);
    /// Where the delete button of a row drawn in `itemRect` is.
    static QRect deleteButtonRect(const QRect& itemRect);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    QRect buttonRectIn(const QRect& itemRect) const override { return deleteButtonRect(itemRect); }

private:
    const HalvoRecordListModel<HalvoReverseRecord>* m_model;
};
