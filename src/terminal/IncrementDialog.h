#pragma once
// The small modal dialog that renames a command group: one labelled edit with OK and Cancel. Enter in
// the edit presses OK; a click in it, and Left or Right, select its whole text.
#include <optional>
#include <string>

#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Form.h"

class TIncrementForm : public ui::TForm {
public:
    TIncrementForm();

    ui::TPanel* Panel1;
    ui::TLabeledEdit* leIncValue;
    ui::TButton* cmdOK;
    ui::TButton* cmdCancel;

    // Shows the dialog modally with this caption, edit label and edit text; the edit's text when
    // closed with OK, nothing otherwise. GUI thread (handed over from any other).
    std::optional<std::string> AskText(const std::string& caption, const std::string& label, const std::string& text);

    void leIncValueKeyPress(char& key);
    void leIncValueSelectAll();

private:
    void BuildControls();
    void ConnectHandlers();
};

extern TIncrementForm* IncrementForm;
