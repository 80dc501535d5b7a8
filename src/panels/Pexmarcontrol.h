#pragma once
// The Pexmar laser-system control panel.
#include "ui/Form.h"

class TPexmarControlForm : public ui::TForm {
public:
    TPexmarControlForm();
};

extern TPexmarControlForm* PexmarControlForm;
