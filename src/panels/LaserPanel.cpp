#include "panels/LaserPanel.h"

#include <vector>

#include "terminal/Main.h"
#include "ui/Form.h"

namespace panels {
namespace {

std::vector<LaserPanel*>& Listed() {
    static std::vector<LaserPanel*> panels;
    return panels;
}

}  // namespace

LaserPanel::LaserPanel(const ui::TForm* window) : window_(window) { Listed().push_back(this); }

LaserPanel::~LaserPanel() { std::erase(Listed(), this); }

void LaserPanel::StopEachOpen(const PortWriter& write) {
    for (LaserPanel* panel : std::vector<LaserPanel*>(Listed())) {
        if (panel->window_->Visible())
            panel->StopLaser(write);
    }
}

void WriteThroughRoad(const std::string& command) {
    if (TalvaneForm != nullptr)
        TalvaneForm->SendLaserStop(command);
}

}  // namespace panels
