#pragma once

// A single-line label whose text, when longer than its space, ends in "…" and is shown whole in the
// tooltip. `text()` is always the whole text, so finders and tests read what was set. The label is as tall
// as its glyphs need (marks above capitals included) and never draws part of a glyph.

#include "ui/Theme.h"

#include <QFont>
#include <QLabel>
#include <QRect>
#include <QString>

#include <optional>

class HalvoElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit HalvoElidedLabel(const QString& text = QString(), QWidget* parent = nullptr);
    /// A new label in a text style of the theme (as `halvo::theme::label` makes it, but elided).
    static HalvoElidedLabel* make(const QString& text, halvo::theme::TextStyle style,
                                  halvo::theme::Weight weight = halvo::theme::Weight::regular,
                                  halvo::theme::Tint tint = halvo::theme::Tint::primary, bool monospaced = false,
                                  QWidget* parent = nullptr);

    /// Where the "…" goes (the end by default).
    void setElideMode(Qt::TextElideMode mode);
    Qt::TextElideMode elideMode() const { return m_mode; }

    /// How much of the text stays visible before the label gives up width to its neighbours (a few
    /// characters by default); a title keeps more than its badges.
    void setKeptWidth(int width);

    /// Whether the text is longer than the space it has now.
    bool isElided() const;
    /// The text as drawn now (the whole text when it fits).
    QString shownText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    /// The tooltip carries the whole text while the text is elided (and only then).
    void syncToolTip();
    /// The height the glyphs of the text need, at least one line of the font.
    int glyphHeight() const;
    /// The whole text's width, rounded up (a text as wide as this is never elided).
    int naturalWidth() const;
    /// Distance from the top of that height to the baseline.
    int glyphAscent() const;

    Qt::TextElideMode m_mode = Qt::ElideRight;
    int m_keptWidth = -1;
    bool m_toolTipIsOurs = false;

    /// The text's measures for the present text and font: each is asked many times in a layout pass, and
    /// measuring shapes the text anew.
    struct Measures {
        int natural = 0;
        QRect ink;
    };
    const Measures& measures() const;
    mutable QString m_measuredText;
    mutable QFont m_measuredFont;
    mutable std::optional<Measures> m_measures;
};
