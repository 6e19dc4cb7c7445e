#include "ui/HalvoWrappingLabel.h"

#include <QEvent>
#include <QFontMetrics>
#include <QResizeEvent>

#include <algorithm>

HalvoWrappingLabel::HalvoWrappingLabel(const QString& text, QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setText(text);
    updateMargins();
}

void HalvoWrappingLabel::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateMargins();
}

void HalvoWrappingLabel::updateMargins() {
    const QFontMetrics metrics = fontMetrics();
    const int above = std::max(0, -metrics.boundingRect(QStringLiteral("ÄÅÖÜÉ")).top() - metrics.ascent());
    setContentsMargins(0, above + 1, 0, 1);
}

QSize HalvoWrappingLabel::minimumSizeHint() const {
    QSize size = QLabel::minimumSizeHint();
    if (width() > 0)
        size.setHeight(std::max(size.height(), heightForWidth(width())));
    return size;
}

void HalvoWrappingLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    if (event->size().width() != m_lastWidth) {
        m_lastWidth = event->size().width();
        // A new width may need another number of lines: let the layout ask for the minimum again.
        updateGeometry();
    }
}
