#pragma once

#include "ui/HalvoSpecTile.h"

#include <QList>
#include <QWidget>

/// Tiles in a grid of flexible columns (each at least 10 points wide), 12 points apart, filled row by row in
/// the given order; a tile whose condition fails is simply not in the list, so the following ones move up.
/// The name given is the object name of the widget and of its grid layout.
class HalvoSpecGrid final : public QWidget {
    Q_OBJECT
public:
    HalvoSpecGrid(const QString& name, const QList<HalvoSpecTile::Spec>& tiles, int columns = 4,
                  QWidget* parent = nullptr);
};
