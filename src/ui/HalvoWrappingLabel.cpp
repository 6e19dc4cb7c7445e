#include "ui/HalvoWrappingLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

/// The widest a label asks to be before it prefers another line (in average characters).
constexpr int kPreferredCharacters = 70;
/// The narrowest it may get (in average characters).
constexpr int kMinimumCharacters = 6;

QTextOption wrapping(Qt::Alignment alignment) {
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

} // namespace

HalvoWrappingLabel::HalvoWrappingLabel(const QString& text, QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setText(text);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    updateMargins();
}

HalvoWrappingLabel* HalvoWrappingLabel::make(const QString& text, halvo::theme::TextStyle style,
                                             halvo::theme::Weight weight, halvo::theme::Tint tint, bool monospaced,
                                             QWidget* parent) {
    auto* label = new HalvoWrappingLabel(text, parent);
    halvo::theme::style(label, style, weight, tint, monospaced);
    return label;
}

void HalvoWrappingLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateMargins();
        updateGeometry();
    }
}

void HalvoWrappingLabel::updateMargins() {
    const QFontMetrics metrics = fontMetrics();
    const int above = std::max(0, -metrics.boundingRect(QStringLiteral("ÄÅÖÜÉ")).top() - metrics.ascent());
    setContentsMargins(0, above + 1, 0, 1);
}

void HalvoWrappingLabel::checkMeasured() const {
    if (text() == m_measuredText && font() == m_measuredFont && alignment() == m_measuredAlignment)
        return;
    m_measuredText = text();
    m_measuredFont = font();
    m_measuredAlignment = alignment();
    m_measuredCount = 0;
    m_nextMeasured = 0;
    m_measuredAdvance = -1;
}

int HalvoWrappingLabel::textAdvance() const {
    checkMeasured();
    if (m_measuredAdvance < 0)
        m_measuredAdvance = fontMetrics().horizontalAdvance(text());
    return m_measuredAdvance;
}

int HalvoWrappingLabel::textHeight(int lineWidth, int* lines) const {
    checkMeasured();
    const QString shown = text();
    const int width = std::max(lineWidth, 1);
    for (int i = 0; i < m_measuredCount; ++i) {
        if (m_measured[i].lineWidth == width) {
            if (lines)
                *lines = m_measured[i].lines;
            return m_measured[i].height;
        }
    }
    QTextLayout layout(shown, font());
    layout.setTextOption(wrapping(alignment()));
    layout.beginLayout();
    qreal height = 0;
    int count = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
        ++count;
    }
    layout.endLayout();
    const int result = shown.isEmpty() ? 0 : int(std::ceil(height));
    m_measured[m_nextMeasured] = {width, result, count};
    m_nextMeasured = (m_nextMeasured + 1) % kMeasuredWidths;
    m_measuredCount = std::min(m_measuredCount + 1, kMeasuredWidths);
    if (lines)
        *lines = count;
    return result;
}

bool HalvoWrappingLabel::hasHeightForWidth() const {
    return true;
}

int HalvoWrappingLabel::heightForWidth(int width) const {
    const QMargins margins = contentsMargins();
    const int extra = 2 * margin();
    return textHeight(width - margins.left() - margins.right() - extra) + margins.top() + margins.bottom() + extra;
}

int HalvoWrappingLabel::lineCount() const {
    const QMargins margins = contentsMargins();
    int lines = 0;
    textHeight(width() - margins.left() - margins.right() - 2 * margin(), &lines);
    return lines;
}

QSize HalvoWrappingLabel::sizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const QMargins margins = contentsMargins();
    const int extra = margins.left() + margins.right() + 2 * margin();
    const int natural = textAdvance() + 1;
    const int width = std::min(natural, kPreferredCharacters * metrics.averageCharWidth()) + extra;
    return {width, heightForWidth(width)};
}

QSize HalvoWrappingLabel::minimumSizeHint() const {
    const QFontMetrics metrics = fontMetrics();
    const QMargins margins = contentsMargins();
    const int extra = margins.left() + margins.right() + 2 * margin();
    const int width = std::min(textAdvance() + 1, kMinimumCharacters * metrics.averageCharWidth());
    // At the present width, the height the wrapped text needs; before the first layout, one line.
    const int height = this->width() > 0 ? heightForWidth(this->width())
                                         : metrics.height() + margins.top() + margins.bottom() + 2 * margin();
    return {width + extra, height};
}

void HalvoWrappingLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (event->size().width() != m_lastWidth) {
        m_lastWidth = event->size().width();
        // A new width may need another number of lines: let the layout ask for the minimum again.
        updateGeometry();
    }
}

void HalvoWrappingLabel::paintEvent(QPaintEvent*) {
    const QString shown = text();
    if (shown.isEmpty())
        return;
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    QTextLayout layout(shown, font());
    layout.setTextOption(wrapping(QStyle::visualAlignment(layoutDirection(), alignment())));
    layout.beginLayout();
    qreal height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(area.width(), 1));
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    int top = area.top();
    const Qt::Alignment vertical = alignment() & Qt::AlignVertical_Mask;
    if (vertical & Qt::AlignBottom)
        top = area.bottom() + 1 - int(std::ceil(height));
    else if (vertical & Qt::AlignVCenter)
        top = area.top() + (area.height() - int(std::ceil(height))) / 2;
    QPainter painter(this);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(palette().color(group, foregroundRole()));
    layout.draw(&painter, QPointF(area.left(), std::max(top, area.top())));
}
