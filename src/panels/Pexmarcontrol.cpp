#include "panels/Pexmarcontrol.h"

TPexmarControlForm* PexmarControlForm = nullptr;

TPexmarControlForm::TPexmarControlForm() : ui::TForm("Pexmar System V1.00", 640, 480) {}
