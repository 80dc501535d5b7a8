#pragma once
// The small modal dialog that chooses the group to copy command strings to: a labelled list with OK
// and Cancel.
#include <string>
#include <vector>

#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Containers.h"
#include "ui/Form.h"

class TOKRightDlg : public ui::TForm {
public:
    TOKRightDlg();

    ui::TPanel* Panel1;
    ui::TLabel* Label1;
    ui::TComboBox* cboBox;
    ui::TButton* OKBtn;
    ui::TButton* CancelBtn;

    // Shows the dialog modally with this caption and label, the list holding exactly items and the
    // list's text set to text. The position chosen in the list when closed with OK; -1 when cancelled
    // or when nothing was chosen (only typed). GUI thread (handed over from any other).
    int AskChoice(const std::string& caption, const std::string& label, const std::vector<std::string>& items,
                  const std::string& text);

private:
    void BuildControls();
};

extern TOKRightDlg* OKRightDlg;
