#include "ui/HalvoButtonRowDelegate.h"

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
