#pragma once

#include "ui/HalvoSpecTile.h"

#include <QList>

class QGridLayout;
class QResizeEvent;
#include <QWidget>

/// Tiles in a grid of flexible columns (each at least 10 points wide), 12 points apart, filled row by row in
/// the given order; a tile whose condition fails is simply not in the list, so the following ones move up.
/// Where the width is too short for `columns` tiles of a readable width, fewer columns are used.
/// The name given is the object name of the widget and of its grid layout.
class HalvoSpecGrid final : public QWidget {
    Q_OBJECT
public:
    HalvoSpecGrid(const QString& name, const QList<HalvoSpecTile::Spec>& tiles, int columns = 4,
                  QWidget* parent = nullptr);

    /// The number of columns used at a width.
    int columnsFor(int width) const;
    int columns() const { return m_columns; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(int columns);

    int m_maxColumns;
    int m_columns = 0;
    QGridLayout* m_grid = nullptr;
    QList<HalvoSpecTile*> m_tiles;
};
