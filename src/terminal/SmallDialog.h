#pragma once
// What the two small group dialogs share: a fixed dialog border on black, centred on the screen at each
// showing, with an OK button pressed by Enter and a Cancel button pressed by Escape.
#include "ui/Buttons.h"
#include "ui/Form.h"

class QWidget;

namespace terminal {

// Fixes the form's size at its current one, removes minimise and maximise, and paints it black.
void MakeFixedDialog(ui::TForm& form);
// "OK" (modal result mrOk, Enter in the form) and "Cancel" (mrCancel, Escape in the form).
ui::TButton* MakeOkButton(ui::TForm& form, QWidget* parent);
ui::TButton* MakeCancelButton(ui::TForm& form, QWidget* parent);

}  // namespace terminal
