#pragma once
// The instrument settings window: download and upload of an instrument's settings.
#include "ui/Form.h"

class TInstrumentSettingForm : public ui::TForm {
public:
    TInstrumentSettingForm();
};

extern TInstrumentSettingForm* InstrumentSettingForm;
