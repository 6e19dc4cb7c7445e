#pragma once

// Drawing helpers for the painted rows of the lists and tables: rows are painted, not built from widgets, so
// a list of ten thousand entries costs only its visible rows. Every sidebar row draws its panel, dots,
// capsule badges, symbols and texts through these, so all sections share one look and one selection rule:
// the platform draws the pale selection fill, and the texts keep the theme's colours on it.

#include "ui/HalvoRecordListModel.h"
#include "ui/Theme.h"

#include <QColor>
#include <QFontMetrics>
#include <QRect>
#include <QString>
#include <QStyledItemDelegate>

#include <optional>

class QFont;
class QPainter;

/// The base of the painted rows: the platform's panel, and the row's record read through the model's role.
class HalvoRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    /// Draws the platform's item panel (selection and hover background) without the item's text and icon.
    void paintPanel(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    /// The record of the row (see `HalvoRecordListModel::RecordRole`), none for an invalid index.
    template <class T> static std::optional<T> record(const QModelIndex& index) {
        const QVariant value = index.data(HalvoRecordListModel<T>::RecordRole);
        if (!value.isValid())
            return std::nullopt;
        return value.value<T>();
    }
};

namespace halvo::ui {

/// Draws the symbol's icon in the tint, centred in the rect (nothing for an unknown symbol). Each recoloured
/// icon is rendered once per size, colour and pixel ratio and kept.
void paintSymbol(QPainter* painter, const QRect& rect, const QString& symbolName, theme::Tint tint);
/// The same in a colour of the palette (e.g. the text colour of a filled button).
void paintSymbol(QPainter* painter, const QRect& rect, const QString& symbolName, const QColor& color);

/// The theme's focus ring along the inside of `rect`, with rounded corners of `radius`: it marks the current row
/// of a list or table while that has the keyboard focus.
void paintFocusRing(QPainter* painter, const QRectF& rect, qreal radius);

/// A filled circle in the tint.
void paintDot(QPainter* painter, const QRectF& rect, theme::Tint tint);

/// What `QFontMetrics::elidedText` gives for `Qt::ElideRight` in `width`, without shaping the part of a long text
/// that can never show: a text far longer than the room (a DKIM key) is cut first to a start already wider than
/// the room, with a few characters to spare, so that every glyph the result keeps is shaped as in the whole text.
/// Texts with right-to-left or bidirectional control characters are elided whole.
QString elidedRight(const QFontMetrics& metrics, const QString& text, int width);

/// The text in one line, elided at the right to the rect's width, vertically centred (nothing when the rect
/// has no width).
void paintElidedText(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, const QColor& color,
                     Qt::Alignment alignment = Qt::AlignLeft);
/// The same in a colour of the theme.
void paintElidedText(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, theme::Tint tint,
                     Qt::Alignment alignment = Qt::AlignLeft);

/// The text in one line, vertically centred, not elided (for a rect measured to the text).
void paintText(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, theme::Tint tint,
               Qt::Alignment alignment = Qt::AlignLeft);

/// The width of a trailing item (a badge, a boot type) on a line of `lineWidth`: what it wants, but never so much
/// that less than `keptLeading` is left for the leading items (the dot, the name, the address).
int trailingWidth(int lineWidth, int wantedWidth, int keptLeading);

/// A capsule filling `capsule` with the tint at `fillOpacity`, the text centred in it in the tint (ending in "…"
/// when longer than the capsule).
void paintCapsuleIn(QPainter* painter, const QRectF& capsule, const QString& text, const QFont& font, theme::Tint tint,
                    qreal fillOpacity);

/// A capsule filled with the tint at `fillOpacity`, the text drawn in the tint; returns the capsule's rect.
/// `rect` gives the left edge and the vertical centre; `padding` is the horizontal/vertical inner spacing.
QRect paintCapsule(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, theme::Tint tint,
                   qreal fillOpacity, int horizontalPadding, int verticalPadding, bool withDot = false);

/// The size a capsule of `paintCapsule` takes.
QSize capsuleSize(const QString& text, const QFont& font, int horizontalPadding, int verticalPadding,
                  bool withDot = false);

} // namespace halvo::ui
