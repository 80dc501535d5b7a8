#pragma once
// The Framont laser-system control panel.
#include "ui/Form.h"

class TFramontControlForm : public ui::TForm {
public:
    TFramontControlForm();
};

extern TFramontControlForm* FramontControlForm;
