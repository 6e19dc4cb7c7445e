#pragma once

// One row of a block's reverse-DNS table: the address, the host name and the "rDNS löschen" button. The
// rows are painted, so a block with thousands of entries costs only its visible rows. The button is handled
// here: a press and release on it (or the space key on the current row) asks to delete that row's entry.

#include "model/Records.h"
#include "ui/HalvoRecordListModel.h"

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

namespace ipReverseColumns {
constexpr int kAddress = 240;
constexpr int kAction = 140;
constexpr int kSpacing = 8;
constexpr int kHorizontalInset = 10;
constexpr int kVerticalInset = 6;
/// Between two rows.
constexpr int kRowSpacing = 6;
} // namespace ipReverseColumns

class IPReverseEntryDelegate final : public QStyledItemDelegate {
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
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

Q_SIGNALS:
    /// The user pressed the delete button of the row.
    void deleteRequested(int row);

private:
    const HalvoRecordListModel<HalvoReverseRecord>* m_model;
    QPersistentModelIndex m_pressed;
};
