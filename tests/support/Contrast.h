#pragma once

// Contrast as the accessibility guidelines define it: relative luminance of sRGB colours and the ratio
// (lighter + 0.05) / (darker + 0.05), from 1 (same) to 21 (black on white).

#include <QColor>
#include <QImage>
#include <QRect>

namespace halvo::test {

/// The relative luminance of the colour's RGB (alpha ignored).
double relativeLuminance(const QColor& color);
/// The contrast ratio of two opaque colours.
double contrastRatio(const QColor& a, const QColor& b);
/// The colour `top` (with its alpha) painted over the opaque `bottom`.
QColor over(const QColor& top, const QColor& bottom);

/// The highest contrast between any pixel of the rect and the rect's most common colour (its
/// background): how readable the strongest marks on it are.
struct ImageContrast {
    QColor background;
    QColor strongest;
    double ratio = 1.0;
};
ImageContrast strongestContrast(const QImage& image, const QRect& rect);

} // namespace halvo::test
