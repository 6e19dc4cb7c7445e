#pragma once

// Small drawing helpers for the item delegates of the domains view: the rows are painted, not built
// from widgets, so a list of ten thousand entries costs only its visible rows.

#include "ui/Theme.h"

#include <QRect>
#include <QString>

class QPainter;

namespace halvo::domains {

/// Draws the symbol's icon in the tint, centred in the rect (nothing for an unknown symbol).
void paintSymbol(QPainter* painter, const QRect& rect, const QString& symbolName, theme::Tint tint);
/// The same in a colour of the palette (e.g. the text colour of a filled button).
void paintSymbol(QPainter* painter, const QRect& rect, const QString& symbolName, const QColor& color);

/// A capsule filled with the tint at `fillOpacity`, the text drawn in the tint; returns the capsule's rect.
/// `rect` gives the left edge and the vertical centre; `padding` is the horizontal/vertical inner spacing.
QRect paintCapsule(QPainter* painter, const QRect& rect, const QString& text, const QFont& font, theme::Tint tint,
                   qreal fillOpacity, int horizontalPadding, int verticalPadding, bool withDot = false);

/// The size a capsule of `paintCapsule` takes.
QSize capsuleSize(const QString& text, const QFont& font, int horizontalPadding, int verticalPadding,
                  bool withDot = false);

} // namespace halvo::domains
