#pragma once

// The shared building blocks that every section view places on its screens: one header per component, and
// the small helpers below.

#include "ui/HalvoActionButton.h"
#include "ui/HalvoColumnsLayout.h"
#include "ui/HalvoElidedLabel.h"
#include "ui/HalvoFlowLayout.h"
#include "ui/HalvoFormTextField.h"
#include "ui/HalvoIconTile.h"
#include "ui/HalvoSectionCard.h"
#include "ui/HalvoSpecGrid.h"
#include "ui/HalvoSpecTile.h"
#include "ui/HalvoStatusBadge.h"
#include "ui/HalvoWrappingLabel.h"

#include <QFrame>
#include <QString>

class QLabel;
class QLayout;
class QWidget;

namespace halvo::ui {

/// Puts exactly the text on the clipboard (clear, then set).
void copyToClipboard(const QString& text);

/// A card row: the list-row background with rounded corners of radius 8 and the given inner spacing. Its
/// items go into its horizontal layout (`row->layout()`, 8 points apart); nest a layout for other shapes.
QFrame* listRow(int horizontalInset, int verticalInset, QWidget* parent = nullptr);

/// The header text of a table column: caption, bold, secondary colour; a fixed width when `width` > 0.
QLabel* columnHeader(const QString& text, int width, Qt::Alignment alignment);

/// A horizontal or vertical line. A vertical one stands between columns of the window, on its surface.
QFrame* divider(QWidget* parent = nullptr, bool vertical = false);

/// Removes and deletes every item of a layout (deferred deletion of widgets).
void clearLayout(QLayout* layout);

} // namespace halvo::ui
