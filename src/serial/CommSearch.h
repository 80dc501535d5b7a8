#pragma once
// The available-ports window ("Mapping Comm Devices"): a list of COM names and their devices. The
// program creates it at start-up; nothing shows or fills it (the operator's port list is the main
// window's combo box).
#include "ui/Form.h"
#include "ui/Indicators.h"

class TfrmAvailableCommPorts : public ui::TForm {
public:
    TfrmAvailableCommPorts();

    ui::TValueListEditor* ValueListEditor1;
};

extern TfrmAvailableCommPorts* frmAvailableCommPorts;
