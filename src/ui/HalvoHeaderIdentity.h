#pragma once

// The left part of a detail's header band: the symbol tile beside the name with its badges and the lines
// below. Its natural width is that of the tile and the name with its badges on one line; the longer lines
// below elide or wrap instead of pushing the band's operations onto a further line.

#include <QHBoxLayout>
#include <QLayout>
#include <QVBoxLayout>
#include <QWidget>

class HalvoHeaderIdentity final : public QWidget {
public:
    /// `titleRow` is the row of the name and its badges (also added to `column`); `column` holds every line.
    HalvoHeaderIdentity(QWidget* tile, QLayout* titleRow, QLayout* column, QWidget* parent = nullptr)
        : QWidget(parent)
        , m_tile(tile)
        , m_titleRow(titleRow) {
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(16);
        row->addWidget(tile, 0, Qt::AlignVCenter);
        // The lines stay together, centred beside the tile when it is the taller.
        auto* centred = new QVBoxLayout;
        centred->setSpacing(0);
        centred->addStretch(1);
        centred->addLayout(column);
        centred->addStretch(1);
        row->addLayout(centred, 1);
    }

    QSize sizeHint() const override {
        const QSize full = QWidget::sizeHint();
        return {m_tile->sizeHint().width() + layout()->spacing() + m_titleRow->sizeHint().width(), full.height()};
    }

private:
    QWidget* m_tile;
    QLayout* m_titleRow;
};
