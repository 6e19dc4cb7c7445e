#include "ui/HalvoElidedLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace {

const QString kEllipsis = QStringLiteral("…");

} // namespace

HalvoElidedLabel::HalvoElidedLabel(const QString& text, QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setText(text);
    // Gives up width before anything that cannot shrink, but asks for the whole text.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

HalvoElidedLabel* HalvoElidedLabel::make(const QString& text, halvo::theme::TextStyle style,
                                         halvo::theme::Weight weight, halvo::theme::Tint tint, bool monospaced,
                                         QWidget* parent) {
    auto* label = new HalvoElidedLabel(text, parent);
    halvo::theme::style(label, style, weight, tint, monospaced);
    return label;
}

void HalvoElidedLabel::setElideMode(Qt::TextElideMode mode) {
    if (m_mode == mode)
        return;
    m_mode = mode;
    syncToolTip();
    update();
}

void HalvoElidedLabel::setKeptWidth(int width) {
    m_keptWidth = width;
    updateGeometry();
}

bool HalvoElidedLabel::isElided() const {
    return naturalWidth() > contentsRect().width();
}

const HalvoElidedLabel::Measures& HalvoElidedLabel::measures() const {
    if (!m_measures || text() != m_measuredText || font() != m_measuredFont) {
        m_measuredText = text();
        m_measuredFont = font();
        Measures measured;
        // The precise advance: the rounded one can be a fraction short, and the text would then be elided.
        measured.natural = static_cast<int>(std::ceil(QFontMetricsF(font()).horizontalAdvance(text())));
        measured.ink = fontMetrics().boundingRect(text());
        m_measures = measured;
    }
    return *m_measures;
}

int HalvoElidedLabel::naturalWidth() const {
    return measures().natural;
}

QString HalvoElidedLabel::shownText() const {
    if (!isElided())
        return text();
    return fontMetrics().elidedText(text(), m_mode, std::max(contentsRect().width(), 0));
}

int HalvoElidedLabel::glyphAscent() const {
    const QFontMetrics metrics = fontMetrics();
    const QRect ink = measures().ink;
    return std::max(metrics.ascent(), -ink.top());
}

int HalvoElidedLabel::glyphHeight() const {
    const QFontMetrics metrics = fontMetrics();
    const QRect ink = measures().ink;
    // boundingRect is relative to the baseline: its top is above it (negative), its bottom below.
    return glyphAscent() + std::max(metrics.descent(), ink.bottom() + 1);
}

QSize HalvoElidedLabel::sizeHint() const {
    const QMargins margins = contentsMargins();
    const int extra = 2 * margin();
    return {naturalWidth() + margins.left() + margins.right() + extra,
            glyphHeight() + margins.top() + margins.bottom() + extra};
}

QSize HalvoElidedLabel::minimumSizeHint() const {
    const QSize full = sizeHint();
    // Room for a few characters and the "…"; a shorter text needs no more than itself.
    const QFontMetrics metrics = fontMetrics();
    const int kept =
        m_keptWidth >= 0 ? m_keptWidth : metrics.horizontalAdvance(kEllipsis) + 3 * metrics.averageCharWidth();
    return {std::min(full.width(), kept), full.height()};
}

bool HalvoElidedLabel::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip)
        syncToolTip();
    return QLabel::event(event);
}

void HalvoElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    syncToolTip();
}

void HalvoElidedLabel::paintEvent(QPaintEvent* event) {
    // The text may have changed since the last resize.
    syncToolTip();
    // Selectable text that fits is drawn by the label itself, so that it can show the selection.
    if (!isElided() && (textInteractionFlags() & Qt::TextSelectableByMouse)) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const QRect area = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const QString shown =
        naturalWidth() <= area.width() ? text() : fontMetrics().elidedText(text(), m_mode, std::max(area.width(), 0));
    if (shown.isEmpty())
        return;
    const Qt::Alignment horizontal = QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask;
    // Only a text placed from the right or the middle is measured again; one from the left starts at the edge.
    int x = area.left();
    if (horizontal & Qt::AlignRight)
        x = area.right() + 1 - fontMetrics().horizontalAdvance(shown);
    else if (horizontal & Qt::AlignHCenter)
        x = area.left() + (area.width() - fontMetrics().horizontalAdvance(shown)) / 2;
    int top = area.top();
    const Qt::Alignment vertical = alignment() & Qt::AlignVertical_Mask;
    if (vertical & Qt::AlignBottom)
        top = area.bottom() + 1 - glyphHeight();
    else if (!(vertical & Qt::AlignTop))
        top = area.top() + (area.height() - glyphHeight()) / 2;
    painter.setFont(font());
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(palette().color(group, foregroundRole()));
    painter.drawText(QPoint(x, top + glyphAscent()), shown);
}

void HalvoElidedLabel::syncToolTip() {
    if (isElided()) {
        if (toolTip() != text())
            setToolTip(text());
        m_toolTipIsOurs = true;
    } else if (m_toolTipIsOurs) {
        setToolTip(QString());
        m_toolTipIsOurs = false;
    }
}
