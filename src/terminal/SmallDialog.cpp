#include "terminal/SmallDialog.h"

#include "ui/Dialogs.h"
#include "ui/GuiThread.h"

namespace terminal {

void MakeFixedDialog(ui::TForm& form) {
    form.SetBorderStyle(ui::TBorderStyle::Dialog);
    form.SetColor(ui::clBlack);
}

ui::TButton* MakeOkButton(ui::TForm& form, QWidget* parent) {
    auto* button = form.Make<ui::TButton>(parent, "OK");
    button->ModalResult = ui::mrOk;
    button->Default = true;
    form.OnDefaultKey = [button] { button->Click(); };
    return button;
}

ui::TButton* MakeCancelButton(ui::TForm& form, QWidget* parent) {
    auto* button = form.Make<ui::TButton>(parent, "Cancel");
    button->ModalResult = ui::mrCancel;
    button->Cancel = true;
    form.OnCancelKey = [button] { button->Click(); };
    return button;
}

}  // namespace terminal
