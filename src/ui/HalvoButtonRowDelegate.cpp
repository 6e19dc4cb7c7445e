#include "ui/HalvoButtonRowDelegate.h"

#include "ui/HalvoRowPainting.h"

#include <QAbstractItemView>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

bool HalvoButtonRowDelegate::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (buttonRectIn(option.rect).contains(mouse->position().toPoint())) {
            m_pressed = index;
            return true;
        }
        pressedBesideButton(*mouse, option, index);
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !m_pressed.isValid())
            return false;
        const bool click = m_pressed == index && buttonRectIn(option.rect).contains(mouse->position().toPoint());
        m_pressed = QPersistentModelIndex();
        if (click)
            Q_EMIT buttonPressed(index.row());
        return true;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Space && key->key() != Qt::Key_Select)
            return false;
        Q_EMIT buttonPressed(index.row());
        return true;
    }
    default:
        return false;
    }
}

void HalvoButtonRowDelegate::pressedBesideButton(const QMouseEvent&, const QStyleOptionViewItem&, const QModelIndex&) {}

bool HalvoButtonRowDelegate::isHeld(const QModelIndex& index) const {
    return m_pressed == index && QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
}

void HalvoButtonRowDelegate::paintCurrentRowMark(QPainter* painter, const QStyleOptionViewItem& option,
                                                 const QRectF& rowRect, qreal radius) const {
    if (option.state.testFlag(QStyle::State_HasFocus))
        halvo::ui::paintFocusRing(painter, rowRect, radius);
}

void HalvoButtonRowDelegate::attachTo(QAbstractItemView* view) {
    if (m_view)
        m_view->removeEventFilter(this);
    m_view = view;
    if (!view)
        return;
    view->setItemDelegate(this);
    view->setTabKeyNavigation(false);
    view->installEventFilter(this);
}

bool HalvoButtonRowDelegate::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_view) {
        // Tab in an open field leaves the table as Tab on the table does; the base would open the next row's
        // field and walk the rows for ever. Leaving closes the field (the base sees the focus go).
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab)
                return false;
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }
    // The view's own keys; the base's filter is for editors only.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        const QModelIndex current = static_cast<QAbstractItemView*>(watched)->currentIndex();
        if (!current.isValid())
            return false;
        Q_EMIT buttonPressed(current.row());
        return true;
    }
    return false;
}
