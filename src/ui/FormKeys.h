#pragma once

// Return in a single-line field presses the button of the field's own form, as a click would: the button's
// own action runs, so a destructive one still asks its confirmation first.

#include <initializer_list>

class HalvoFormTextField;
class QAbstractButton;
class QLayout;
class QLineEdit;

namespace halvo::ui {

/// Return (or Enter) in `field` clicks `button` while the button is shown and enabled.
void submitOnReturn(QLineEdit* field, QAbstractButton* button);
/// The same for each of the form's fields.
void submitOnReturn(std::initializer_list<HalvoFormTextField*> fields, QAbstractButton* button);
/// The same for every form field placed in the layout (and in the layouts nested in it).
void submitOnReturn(QLayout* form, QAbstractButton* button);

} // namespace halvo::ui
