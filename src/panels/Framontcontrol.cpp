#include "panels/Framontcontrol.h"

TFramontControlForm* FramontControlForm = nullptr;

TFramontControlForm::TFramontControlForm() : ui::TForm("Framont System V1.00.03", 640, 480) {}
