#pragma once

// The base of a painted table row with one painted button (see HalvoPaintedButton): a press and release of
// the left button on it, or the space, select or delete key on the current row, reports the row. The derived
// delegate paints the row, says where the button is and marks the current row (`paintCurrentRowMark`).

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>

class QAbstractItemView;
class QMouseEvent;

class HalvoButtonRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;

    /// Becomes the view's delegate and makes the view one Tab stop whose arrows move the current row and
    /// whose delete key presses the current row's button, as space does.
    void attachTo(QAbstractItemView* view);

Q_SIGNALS:
    /// The user pressed the row's button.
    void buttonPressed(int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    /// Where the button of a row drawn in `itemRect` is.
    virtual QRect buttonRectIn(const QRect& itemRect) const = 0;
    /// A left press (or double click) on the row outside its button; the event goes on to the view.
    virtual void pressedBesideButton(const QMouseEvent& event, const QStyleOptionViewItem& option,
                                     const QModelIndex& index);
    /// Whether the button of the row is held down now (to paint it pressed).
    bool isHeld(const QModelIndex& index) const;
    /// Marks the row as the one the keys act on while its view has the keyboard focus: the theme's focus
    /// ring along `rowRect`. Called last in `paint`.
    void paintCurrentRowMark(QPainter* painter, const QStyleOptionViewItem& option, const QRectF& rowRect,
                             qreal radius) const;

private:
    QPersistentModelIndex m_pressed;
    /// Held as an object: the view still sends events from its base class's destructor, when it is no longer
    /// an item view and only its identity may be used.
    QPointer<QObject> m_view;
};
