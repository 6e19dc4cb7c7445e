#pragma once

// A plain box filled with one colour inside a rounded rectangle: the snapshot box and the console screen.

#include <QColor>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

class VPSRoundedPanel final : public QWidget {
public:
    VPSRoundedPanel(const QColor& fill, qreal radius, QWidget* parent = nullptr)
        : QWidget(parent)
        , m_fill(fill)
        , m_radius(radius) {}

    QColor fill() const { return m_fill; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_fill);
        painter.drawRoundedRect(QRectF(rect()), m_radius, m_radius);
    }

private:
    QColor m_fill;
    qreal m_radius;
};
