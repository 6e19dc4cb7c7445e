#pragma once

// A label whose text wraps onto as many lines as its width needs, breaking between words and, only where a
// single word (a long host name or path) is wider than the line, inside it: nothing is ever cut at the right.
// It always gets the height its wrapped text needs at its present width, even inside layouts that do not ask
// for a height for a width (a row of cards): its minimum height follows its width. Lines start at the top
// with room for the marks above capitals ("Ä"). `text()` is the whole text.

#include "ui/Theme.h"

#include <QFont>
#include <QLabel>
#include <QString>

#include <array>

class HalvoWrappingLabel final : public QLabel {
    Q_OBJECT
public:
    explicit HalvoWrappingLabel(const QString& text = QString(), QWidget* parent = nullptr);
    /// A new label in a text style of the theme (as `halvo::theme::label` makes it, but wrapping).
    static HalvoWrappingLabel* make(const QString& text, halvo::theme::TextStyle style,
                                    halvo::theme::Weight weight = halvo::theme::Weight::regular,
                                    halvo::theme::Tint tint = halvo::theme::Tint::primary, bool monospaced = false,
                                    QWidget* parent = nullptr);

    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    /// The number of lines the text takes at the present width.
    int lineCount() const;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    /// Room above the first line for marks that reach above the font's ascent (and a pixel of air).
    void updateMargins();
    /// Lays the text out for a line width; returns the height of the lines (and their number).
    int textHeight(int lineWidth, int* lines = nullptr) const;
    /// The width of the text on one line.
    int textAdvance() const;
    /// Forgets what was measured when the text, the font or the alignment changed since.
    void checkMeasured() const;

    int m_lastWidth = -1;

    // A layout pass asks the height for the same few widths many times, and laying the text out shapes it
    // anew each time: the heights measured for the present text, font and alignment are kept.
    struct Measured {
        int lineWidth = 0;
        int height = 0;
        int lines = 0;
    };
    static constexpr int kMeasuredWidths = 4;
    mutable QString m_measuredText;
    mutable QFont m_measuredFont;
    mutable Qt::Alignment m_measuredAlignment;
    mutable std::array<Measured, kMeasuredWidths> m_measured{};
    mutable int m_measuredCount = 0;
    mutable int m_nextMeasured = 0;
    mutable int m_measuredAdvance = -1;
};
