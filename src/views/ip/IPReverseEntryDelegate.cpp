#include "views/ip/IPReverseEntryDelegate.h"

#include "ui/Theme.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;
namespace cols = ipReverseColumns;

namespace {

constexpr int kButtonPaddingH = 8;
constexpr int kButtonPaddingV = 4;
constexpr int kButtonIconSpacing = 4;
constexpr int kButtonRadius = 6;
constexpr int kRowRadius = 8;

const QString kDeleteText = QStringLiteral("rDNS löschen");
const QString kDeleteSymbol = QStringLiteral("trash");

QFont addressFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::bold, true);
}
QFont hostFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::regular, true);
}
QFont buttonFont() {
    return halvo::theme::font(TextStyle::caption, Weight::semibold);
}

QSize buttonSize() {
    const QFontMetrics metrics(buttonFont());
    return {kButtonPaddingH + metrics.height() + kButtonIconSpacing + metrics.horizontalAdvance(kDeleteText) +
                kButtonPaddingH,
            metrics.height() + 2 * kButtonPaddingV};
}

int contentHeight() {
    return std::max({QFontMetrics(addressFont()).height(), QFontMetrics(hostFont()).height(), buttonSize().height()});
}

} // namespace

IPReverseEntryDelegate::IPReverseEntryDelegate(const HalvoRecordListModel<HalvoReverseRecord>* model, QObject* parent)
    : QStyledItemDelegate(parent)
    , m_model(model) {}

IPReverseEntryDelegate::Cells IPReverseEntryDelegate::cells(const QRect& itemRect) {
    Cells c;
    c.background = itemRect.adjusted(0, 0, 0, -cols::kRowSpacing);
    const QRect inner = c.background.adjusted(cols::kHorizontalInset, cols::kVerticalInset, -cols::kHorizontalInset,
                                              -cols::kVerticalInset);
    c.address = QRect(inner.left(), inner.top(), cols::kAddress, inner.height());
    c.action = QRect(inner.right() - cols::kAction + 1, inner.top(), cols::kAction, inner.height());
    const int hostLeft = c.address.right() + 1 + cols::kSpacing;
    c.host = QRect(hostLeft, inner.top(), std::max(0, c.action.left() - cols::kSpacing - hostLeft), inner.height());
    return c;
}

QRect IPReverseEntryDelegate::deleteButtonRect(const QRect& itemRect) {
    const QRect action = cells(itemRect).action;
    const QSize size = buttonSize();
    QRect button(QPoint(0, 0), size);
    button.moveRight(action.right());
    button.moveTop(action.center().y() - size.height() / 2);
    return button;
}

void IPReverseEntryDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= m_model->rowCount())
        return;
    const HalvoReverseRecord& entry = m_model->itemAt(index.row());
    const Cells c = cells(option.rect);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(halvo::theme::listRowBackground());
    painter->drawRoundedRect(QRectF(c.background), kRowRadius, kRowRadius);

    const auto drawText = [painter](const QRect& rect, const QFont& font, const QString& text) {
        painter->setFont(font);
        painter->setPen(halvo::theme::color(Tint::primary));
        const QString shown = QFontMetrics(font).elidedText(text, Qt::ElideRight, rect.width());
        painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    };
    drawText(c.address, addressFont(), entry.ipReverse);
    drawText(c.host, hostFont(), entry.reverse);

    // The delete button, drawn like a small danger action button.
    const QRect button = deleteButtonRect(option.rect);
    QColor fill = halvo::theme::buttonColor(HalvoButtonVariant::danger);
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool held = m_pressed == index && QGuiApplication::mouseButtons().testFlag(Qt::LeftButton);
    const bool hovered = view && option.state.testFlag(QStyle::State_MouseOver) &&
                         button.contains(view->viewport()->mapFromGlobal(QCursor::pos()));
    if (held)
        fill = fill.darker(125);
    else if (hovered)
        fill = fill.lighter(112);
    painter->setPen(Qt::NoPen);
    painter->setBrush(fill);
    painter->drawRoundedRect(QRectF(button), kButtonRadius, kButtonRadius);

    const QFontMetrics metrics(buttonFont());
    const int iconSide = metrics.height();
    const QRect iconRect(button.left() + kButtonPaddingH, button.center().y() - iconSide / 2, iconSide, iconSide);
    const QColor onButton = halvo::theme::buttonTextColor(HalvoButtonVariant::danger);
    halvo::theme::tintedIcon(kDeleteSymbol, onButton).paint(painter, iconRect);
    painter->setFont(buttonFont());
    painter->setPen(onButton);
    const QRect label(iconRect.right() + 1 + kButtonIconSpacing, button.top(),
                      button.right() - kButtonPaddingH - iconRect.right() - kButtonIconSpacing, button.height());
    painter->drawText(label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, kDeleteText);
    painter->restore();
}

QSize IPReverseEntryDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {0, contentHeight() + 2 * cols::kVerticalInset + cols::kRowSpacing};
}

bool IPReverseEntryDelegate::editorEvent(QEvent* event, QAbstractItemModel*, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !deleteButtonRect(option.rect).contains(mouse->position().toPoint()))
            return false;
        m_pressed = index;
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !m_pressed.isValid())
            return false;
        const bool click = m_pressed == index && deleteButtonRect(option.rect).contains(mouse->position().toPoint());
        m_pressed = QPersistentModelIndex();
        if (click)
            Q_EMIT deleteRequested(index.row());
        return true;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Space && key->key() != Qt::Key_Select)
            return false;
        Q_EMIT deleteRequested(index.row());
        return true;
    }
    default:
        return false;
    }
}
