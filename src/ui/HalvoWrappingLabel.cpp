#include "ui/HalvoWrappingLabel.h"

#include <QResizeEvent>

#include <algorithm>

HalvoWrappingLabel::HalvoWrappingLabel(const QString& text, QWidget* parent)
    : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setText(text);
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
