#pragma once

// Return in a single-line field presses the button of the field's own form, as a click would: the button's
// own action runs, so a destructive one still asks its confirmation first.

class QAbstractButton;
class QLineEdit;

namespace halvo::ui {

/// Return (or Enter) in `field` clicks `button` while the button is shown and enabled.
void submitOnReturn(QLineEdit* field, QAbstractButton* button);

} // namespace halvo::ui
