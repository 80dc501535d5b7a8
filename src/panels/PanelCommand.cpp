#include "panels/PanelCommand.h"

#include <QMainWindow>

#include "terminal/Main.h"
#include "ui/Application.h"
#include "ui/GuiThread.h"

namespace panels {
namespace {

int g_laserStopsRunning = 0;  // GUI thread only

}  // namespace

std::optional<std::string> SendPanelCommand(const std::string& command) {
    if (TalvaneForm == nullptr)
        return std::nullopt;
    return g_laserStopsRunning > 0 ? TalvaneForm->SendLaserStop(command) : TalvaneForm->SendThroughDoor(command);
}

void RunLaserStop(const std::function<void()>& stop) {
    struct Running {
        Running() { ++g_laserStopsRunning; }
        ~Running() { --g_laserStopsRunning; }
        Running(const Running&) = delete;
        Running& operator=(const Running&) = delete;
    } running;
    stop();
}

std::optional<std::string> Query(const std::string& command, CommandSet set) {
    auto reply = SendPanelCommand(command);
    if (!reply || !ReplyCarriesValue(*reply, set))
        return std::nullopt;
    return reply;
}

void PauseBetweenSends(unsigned ms) { ui::Application::PauseUnlessEnding(ms); }

void SendStopCommand(CommandSet set) { SendPanelCommand(StopCommand(set)); }

void RestoreMainWindow() {
    if (TalvaneForm == nullptr || TalvaneForm->ShowTalvane1->Checked())
        return;
    TalvaneForm->SetWindowState(ui::WindowState::Normal);
}

void SetUpPanelWindow(ui::TForm& panel, bool stayOnTop) { panel.SetKeepOnTop(stayOnTop); }

void PanelTakesFocus(ui::TForm& panel) {
    ui::OnGui([&] {
        if (panel.Window()->isVisible())
            panel.Window()->activateWindow();
    });
}

}  // namespace panels
