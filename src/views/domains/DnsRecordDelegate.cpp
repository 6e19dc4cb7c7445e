#include "views/domains/DnsRecordDelegate.h"

#include "ui/HalvoPaintedButton.h"
#include "ui/HalvoRowPainting.h"
#include "ui/Theme.h"
#include "views/domains/DnsRecordListModel.h"

#include <QAbstractItemView>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

using halvo::theme::TextStyle;
using halvo::theme::Tint;
using halvo::theme::Weight;
namespace cols = dnsRecordColumns;

namespace {

constexpr int kBadgePaddingH = 6;
constexpr int kBadgePaddingV = 2;
constexpr int kRowRadius = 8;

const QString kDeleteText = QStringLiteral("Record löschen");

const halvo::ui::HalvoPaintedButton& deleteButton() {
    static const halvo::ui::HalvoPaintedButton button(kDeleteText, QStringLiteral("trash"), HalvoButtonVariant::danger);
    return button;
}

QFont hostFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::bold, true);
}
QFont targetFont() {
    return halvo::theme::font(TextStyle::subheadline, Weight::regular, true);
}
QFont ttlFont() {
    return halvo::theme::font(TextStyle::caption);
}
QFont badgeFont() {
    return halvo::theme::font(TextStyle::caption2, Weight::bold);
}

int contentHeight() {
    return std::max({QFontMetrics(hostFont()).height(), QFontMetrics(targetFont()).height(),
                     QFontMetrics(badgeFont()).height() + 2 * kBadgePaddingV, deleteButton().size().height()});
}

} // namespace

DnsRecordDelegate::DnsRecordDelegate(const DnsRecordListModel* model, QObject* parent)
    : HalvoButtonRowDelegate(parent)
    , m_model(model) {}

void DnsRecordDelegate::setDomainName(const QString& domain) {
    m_domain = domain;
}

QString DnsRecordDelegate::hostText(const QString& subDomain, const QString& domain) {
    if (subDomain.isEmpty())
        return QStringLiteral("@ (") + domain + QLatin1Char(')');
    return subDomain + QLatin1Char('.') + domain;
}

QString DnsRecordDelegate::ttlText(qint64 ttl) {
    return QString::number(ttl) + QStringLiteral(" s");
}

DnsRecordDelegate::RowTexts DnsRecordDelegate::rowTexts(const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= m_model->rowCount())
        return {};
    const HalvoDNSRecord& record = m_model->recordAt(index.row());
    return {hostText(record.subDomain, m_domain), record.fieldType, record.target, ttlText(record.ttl), kDeleteText};
}

DnsRecordDelegate::Cells DnsRecordDelegate::cells(const QRect& itemRect) {
    Cells c;
    c.background = itemRect.adjusted(0, 0, 0, -cols::kRowSpacing);
    const QRect inner = c.background.adjusted(cols::kHorizontalInset, cols::kVerticalInset, -cols::kHorizontalInset,
                                              -cols::kVerticalInset);
    const int top = inner.top();
    const int height = inner.height();
    c.host = QRect(inner.left(), top, cols::kHost, height);
    c.type = QRect(c.host.right() + 1 + cols::kSpacing, top, cols::kType, height);
    c.action = QRect(inner.right() - cols::kAction + 1, top, cols::kAction, height);
    c.ttl = QRect(c.action.left() - cols::kSpacing - cols::kTTL, top, cols::kTTL, height);
    const int targetLeft = c.type.right() + 1 + cols::kSpacing;
    c.target = QRect(targetLeft, top, std::max(0, c.ttl.left() - cols::kSpacing - targetLeft), height);
    return c;
}

QRect DnsRecordDelegate::deleteButtonRect(const QRect& itemRect) {
    return deleteButton().placeIn(cells(itemRect).action);
}

void DnsRecordDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    if (!index.isValid() || index.row() >= m_model->rowCount())
        return;
    const RowTexts texts = rowTexts(index);
    const Cells c = cells(option.rect);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(halvo::theme::listRowBackground());
    painter->drawRoundedRect(QRectF(c.background), kRowRadius, kRowRadius);

    const auto drawText = [painter](const QRect& rect, const QFont& font, const QColor& color, const QString& text,
                                    Qt::Alignment alignment) {
        painter->setFont(font);
        painter->setPen(color);
        const QString shown = halvo::ui::elidedRight(QFontMetrics(font), text, rect.width());
        painter->drawText(rect, alignment | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    };
    const QColor primary = halvo::theme::color(Tint::primary);
    drawText(c.host, hostFont(), primary, texts.host, Qt::AlignLeft);
    painter->save();
    painter->setClipRect(c.type);
    halvo::ui::paintCapsule(painter, c.type, texts.type, badgeFont(), Tint::blue, 0.15, kBadgePaddingH, kBadgePaddingV,
                            true);
    painter->restore();
    drawText(c.target, targetFont(), primary, texts.target, Qt::AlignLeft);
    drawText(c.ttl, ttlFont(), halvo::theme::color(Tint::secondary), texts.ttl, Qt::AlignRight);

    deleteButton().paint(painter, option, deleteButtonRect(option.rect), isHeld(index));
    paintCurrentRowMark(painter, option, QRectF(c.background), kRowRadius);
    painter->restore();
}

QSize DnsRecordDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
    return {0, contentHeight() + 2 * cols::kVerticalInset + cols::kRowSpacing};
}

bool DnsRecordDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                  const QModelIndex& index) {
    if (!event || event->type() != QEvent::ToolTip || !index.isValid() || index.row() >= m_model->rowCount())
        return HalvoButtonRowDelegate::helpEvent(event, view, option, index);
    const RowTexts texts = rowTexts(index);
    const Cells c = cells(option.rect);
    const struct {
        QRect rect;
        QString text;
        QFont font;
    } shown[] = {
        {c.host, texts.host, hostFont()}, {c.target, texts.target, targetFont()}, {c.ttl, texts.ttl, ttlFont()}};
    for (const auto& cell : shown) {
        if (cell.rect.contains(event->pos()) &&
            QFontMetrics(cell.font).horizontalAdvance(cell.text) > cell.rect.width()) {
            QToolTip::showText(event->globalPos(), cell.text, view);
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

void DnsRecordDelegate::pressedBesideButton(const QMouseEvent& event, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) {
    if (!cells(option.rect).target.contains(event.position().toPoint()))
        return;
    // Opened after the press has been handled, so the view is not asked to edit inside its own event.
    if (auto* view = const_cast<QAbstractItemView*>(qobject_cast<const QAbstractItemView*>(option.widget))) {
        QMetaObject::invokeMethod(
            view,
            [view, target = QPersistentModelIndex(index)] {
                if (target.isValid())
                    view->edit(target);
            },
            Qt::QueuedConnection);
    }
}

QWidget* DnsRecordDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const {
    auto* editor = new QLineEdit(parent);
    editor->setObjectName(QStringLiteral("dnsRecordTargetEditor"));
    editor->setReadOnly(true);
    editor->setFrame(false);
    editor->setFont(targetFont());
    return editor;
}

void DnsRecordDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor))
        line->setText(index.data(Qt::EditRole).toString());
}

void DnsRecordDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    // The target is only shown for selecting; edits never reach the record.
}

void DnsRecordDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                             const QModelIndex&) const {
    editor->setGeometry(cells(option.rect).target);
}
