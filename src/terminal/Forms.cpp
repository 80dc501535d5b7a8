#include "terminal/Forms.h"

#include "panels/Framontcontrol.h"
#include "panels/Ondrelcontrol.h"
#include "panels/Pexmarcontrol.h"
#include "serial/CommLog.h"
#include "serial/CommSearch.h"
#include "serial/CommSettings.h"
#include "settings_transfer/Instrumentsetting.h"
#include "terminal/ComboDialog.h"
#include "terminal/IncrementDialog.h"
#include "terminal/Main.h"
#include "terminal/commcyclethread.h"
#include "ui/Application.h"
#include "ui/GuiThread.h"

namespace {

template <class Form>
void Create(Form*& global) {
    global = new Form;
}

template <class Form>
void Destroy(Form*& global) {
    delete global;
    global = nullptr;
}

// The display connection is lost while the forms exist and the close did not run; the process ends
// right after this. The workers are stopped and joined, so the port is then this ending's own: each
// open laser panel is left as its close leaves it, its stop commands written straight to the port
// (the send road would show them) and its file saved as the close saves it; the port is closed as the
// close leaves it (its exclusive mark and lock released), and the configuration saved when it
// changed. No window is closed, shown or painted: the display is gone.
void EndWithoutWindows() {
    if (TalvaneForm == nullptr || TalvaneForm->Closing || !ui::IsGuiThread())
        return;
    JoinAllCycleWorkers();
    panels::LaserPanel::StopEachOpen([](const std::string& command) { TalvaneForm->WriteWithoutShowing(command); });
    if (TalvaneForm->SerialPort != nullptr)
        TalvaneForm->SerialPort->ClosePort();
    if (TalvaneForm->ConfigChanged)
        TalvaneForm->SaveConfigurationFile();
}

}  // namespace

void CreateForms() {
    ui::Application::SetEndingWithoutClose(EndWithoutWindows);
    Create(TalvaneForm);
    Create(CommLogForm);
    Create(IncrementForm);
    Create(frmAvailableCommPorts);
    Create(CommSettingForm);
    Create(InstrumentSettingForm);
    Create(OKRightDlg);
    Create(OndrelControlForm);
    Create(FramontControlForm);
    Create(PexmarControlForm);
}

// Every worker has ended before the first form goes: a worker's hand-over reaches the log window and
// the panels as well as the main window. Whatever way the event loop ended (the close, a quit without
// it, an exception), the forms are freed here.
void DestroyForms() {
    JoinAllCycleWorkers();
    Destroy(PexmarControlForm);
    Destroy(FramontControlForm);
    Destroy(OndrelControlForm);
    Destroy(OKRightDlg);
    Destroy(InstrumentSettingForm);
    Destroy(CommSettingForm);
    Destroy(frmAvailableCommPorts);
    Destroy(IncrementForm);
    Destroy(CommLogForm);
    Destroy(TalvaneForm);
}
