#pragma once

// Keyboard focus order across regions that are rebuilt at different times. Qt appends every new widget to
// the end of its window's focus chain, so a header or a tab bar rebuilt after the content would follow it;
// the window instead walks an order it derives on each Tab press from its regions.

#include <QList>

class QWidget;

namespace halvo::ui {

/// Whether the widget takes focus by Tab now: shown, enabled, a Tab focus policy and no focus proxy.
bool takesTabFocus(const QWidget* widget);

/// The widgets inside `root` (the root included) that take focus by Tab, in the order of their window's
/// focus chain, which is the order they were made in.
QList<QWidget*> tabStops(QWidget* root);

/// Moves the focus from `current` to the next (or previous) widget of `order`, wrapping round at both ends.
/// `current` may be a stop or a widget inside one. Returns false (and moves nothing) when `current` is in
/// none of them or the order is empty.
bool moveFocusAlong(const QList<QWidget*>& order, QWidget* current, bool forward);

} // namespace halvo::ui
