#include "panels/PanelCommand.h"

#include <QMainWindow>

#include "platform/Clock.h"
#include "terminal/Main.h"
#include "ui/Application.h"
#include "ui/GuiThread.h"

namespace panels {

std::optional<std::string> SendPanelCommand(const std::string& command) {
    if (TalvaneForm == nullptr)
        return std::nullopt;
    return TalvaneForm->SendThroughDoor(command);
}

std::optional<std::string> Query(const std::string& command, CommandSet set) {
    auto reply = SendPanelCommand(command);
    if (!reply || !ReplyCarriesValue(*reply, set))
        return std::nullopt;
    return reply;
}

void PauseBetweenSends(unsigned ms) {
    if (!ui::Application::EndingRequested())
        platform::SleepUnless(ms, ui::Application::EndingRequested);
}

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
