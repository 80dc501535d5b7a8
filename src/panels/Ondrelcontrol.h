#pragma once
// The Ondrel laser-system control panel.
#include "ui/Form.h"

class TOndrelControlForm : public ui::TForm {
public:
    TOndrelControlForm();
};

extern TOndrelControlForm* OndrelControlForm;
