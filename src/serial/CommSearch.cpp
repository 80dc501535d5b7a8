#include "serial/CommSearch.h"

#include <QVBoxLayout>

TfrmAvailableCommPorts* frmAvailableCommPorts = nullptr;

TfrmAvailableCommPorts::TfrmAvailableCommPorts() : ui::TForm("Mapping Comm Devices", 300, 300) {
    SetKeepOnTop(true);
    auto* layout = new QVBoxLayout(Client());
    ValueListEditor1 = Make<ui::TValueListEditor>(Client(), "Comm Port", "Device");
    layout->addWidget(ValueListEditor1->Widget());
}
