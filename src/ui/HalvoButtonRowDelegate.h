#pragma once

// The base of a painted table row with one painted button (see HalvoPaintedButton): a press and release of
// the left button on it, or the space or select key on the current row, reports the row. The derived
// delegate paints the row and says where the button is.

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class QMouseEvent;

class HalvoButtonRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

Q_SIGNALS:
    /// The user pressed the row's button.
    void buttonPressed(int row);

protected:
    /// Where the button of a row drawn in `itemRect` is.
    virtual QRect buttonRectIn(const QRect& itemRect) const = 0;
    /// A left press (or double click) on the row outside its button; the event goes on to the view.
    virtual void pressedBesideButton(const QMouseEvent& event, const QStyleOptionViewItem& option,
                                     const QModelIndex& index);
    /// Whether the button of the row is held down now (to paint it pressed).
    bool isHeld(const QModelIndex& index) const;

private:
    QPersistentModelIndex m_pressed;
};
