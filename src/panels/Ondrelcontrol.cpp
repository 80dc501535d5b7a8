#include "panels/Ondrelcontrol.h"

TOndrelControlForm* OndrelControlForm = nullptr;

TOndrelControlForm::TOndrelControlForm() : ui::TForm("Ondrel Laser System", 640, 480) {}
