#pragma once

// One row of a block's reverse-DNS table: the address, the host name and the "rDNS löschen" button. The
// rows are painted, so a block with thousands of entries costs only its visible rows. The button's press
// (handled by HalvoButtonRowDelegate) asks to delete that row's entry. A press on the address or the host
// opens that text in a read-only field, so the user can select and copy it.

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
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

protected:
    QRect buttonRectIn(const QRect& itemRect) const override { return deleteButtonRect(itemRect); }
    /// A press on the address or the host opens that text in the read-only field.
    void pressedBesideButton(const QMouseEvent& event, const QStyleOptionViewItem& option,
                             const QModelIndex& index) override;

private:
    enum class Cell { address, host };

    const HalvoRecordListModel<HalvoReverseRecord>* m_model;
    /// The cell the field opens on: the one pressed last.
    Cell m_openCell = Cell::address;
};
