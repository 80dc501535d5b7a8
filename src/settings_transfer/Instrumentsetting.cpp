#include "settings_transfer/Instrumentsetting.h"

TInstrumentSettingForm* InstrumentSettingForm = nullptr;

TInstrumentSettingForm::TInstrumentSettingForm() : ui::TForm("Instrument Settings", 726, 388) { SetKeepOnTop(true); }
