#include "views/ip/IPReverseEntryDelegate.h"

#include "ui/HalvoPaintedButton.h"
#include "ui/Theme.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;
namespace cols = ipReverseColumns;

namespace {

constexpr int kRowRadius = 8;

const halvo::ui::HalvoPaintedButton& deleteButton() {
    static const halvo::ui::HalvoPaintedButton button(QStringLiteral("rDNS löschen"), QStringLiteral("trash"),
                                                      HalvoButtonVariant::danger);
    return button;
}

QFont addressFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::bold, true);
}
QFont hostFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::regular, true);
}

int contentHeight() {
    return std::max(
        {QFontMetrics(addressFont()).height(), QFontMetrics(hostFont()).height(), deleteButton().size().height()});
}

} // namespace

IPReverseEntryDelegate::IPReverseEntryDelegate(const HalvoRecordListModel<HalvoReverseRecord>* model, QObject* parent)
    : HalvoButtonRowDelegate(parent)
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
    return deleteButton().placeIn(cells(itemRect).action);
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

    deleteButton().paint(painter, option, deleteButtonRect(option.rect), isHeld(index));
    paintCurrentRowMark(painter, option, QRectF(c.background), kRowRadius);
    painter->restore();
}

QSize IPReverseEntryDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {0, contentHeight() + 2 * cols::kVerticalInset + cols::kRowSpacing};
}

void IPReverseEntryDelegate::pressedBesideButton(const QMouseEvent& event, const QStyleOptionViewItem& option,
                                                 const QModelIndex& index) {
    const Cells c = cells(option.rect);
    const QPoint at = event.position().toPoint();
    if (c.address.contains(at))
        m_openCell = Cell::address;
    else if (c.host.contains(at))
        m_openCell = Cell::host;
    else
        return;
    // Opened after the press has been handled, so the view is not asked to edit inside its own event. A field
    // open on the row's other cell closes first.
    if (auto* view = const_cast<QAbstractItemView*>(qobject_cast<const QAbstractItemView*>(option.widget))) {
        QMetaObject::invokeMethod(
            view,
            [view, target = QPersistentModelIndex(index)] {
                if (!target.isValid())
                    return;
                view->closePersistentEditor(target);
                view->edit(target);
            },
            Qt::QueuedConnection);
    }
}

QWidget* IPReverseEntryDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    const bool address = m_openCell == Cell::address;
    editor->setObjectName(address ? QStringLiteral("ipReverseAddressEditor") : QStringLiteral("ipReverseHostEditor"));
    editor->setReadOnly(true);
    editor->setFrame(false);
    editor->setFont(address ? addressFont() : hostFont());
    return editor;
}

void IPReverseEntryDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (!line || !index.isValid() || index.row() >= m_model->rowCount())
        return;
    const HalvoReverseRecord& entry = m_model->itemAt(index.row());
    line->setText(m_openCell == Cell::address ? entry.ipReverse : entry.reverse);
}

void IPReverseEntryDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    // The texts are only shown for selecting; nothing typed reaches the entry.
}

void IPReverseEntryDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                                  const QModelIndex&) const {
    const Cells c = cells(option.rect);
    editor->setGeometry(m_openCell == Cell::address ? c.address : c.host);
}
