#include "terminal/ComboDialog.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "terminal/SmallDialog.h"
#include "ui/Dialogs.h"
#include "ui/GuiThread.h"

TOKRightDlg* OKRightDlg = nullptr;

TOKRightDlg::TOKRightDlg() : ui::TForm("Dialog", 300, 140) {
    BuildControls();
    terminal::MakeFixedDialog(*this);
}

void TOKRightDlg::BuildControls() {
    auto* layout = new QHBoxLayout(Client());
    Panel1 = Make<ui::TPanel>(Client());
    Panel1->SetColor(ui::clNavy);
    auto* panelLayout = new QVBoxLayout(Panel1->Widget());
    Label1 = Make<ui::TLabel>(Panel1->Widget(), "Copy To:");
    Label1->SetFontColor(ui::clWhite);
    cboBox = Make<ui::TComboBox>(Panel1->Widget(), "X");
    panelLayout->addWidget(Label1->Widget());
    panelLayout->addWidget(cboBox->Widget());
    layout->addWidget(Panel1->Widget(), 1);
    auto* buttons = new QVBoxLayout;
    OKBtn = terminal::MakeOkButton(*this, Client());
    CancelBtn = terminal::MakeCancelButton(*this, Client());
    buttons->addWidget(OKBtn->Widget());
    buttons->addWidget(CancelBtn->Widget());
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

int TOKRightDlg::AskChoice(const std::string& caption, const std::string& label, const std::vector<std::string>& items,
                           const std::string& text) {
    return ui::OnGui([&] {
        SetCaption(caption);
        Label1->SetCaption(label);
        cboBox->SetItems(items);
        // Nothing is chosen until the operator picks an item, whatever the items are named.
        cboBox->SetItemIndex(-1);
        cboBox->SetText(text);
        CentreOnScreen();
        if (ShowModal() != ui::mrOk)
            return -1;
        // An item picked and then typed over counts as typed text.
        const int index = cboBox->ItemIndex();
        return index >= 0 && cboBox->Item(index) == cboBox->Text() ? index : -1;
    });
}
