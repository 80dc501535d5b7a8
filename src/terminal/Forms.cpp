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

// The process exits while the forms exist and the close did not run: the platform layer ends the
// program this way when the display connection is lost. The workers are stopped and joined, so the
// process can end and release the port; then what the close saves is saved from the forms' fields
// and texts: the configuration when it changed, and the file of each panel that is open. No window is
// closed, shown or painted (the display is gone), and no command is sent (each would wait for
// hand-overs that are no longer carried out).
void SaveWithoutWindows() {
    if (TalvaneForm == nullptr || TalvaneForm->Closing || !ui::IsGuiThread())
        return;
    JoinAllCycleWorkers();
    if (TalvaneForm->ConfigChanged)
        TalvaneForm->SaveConfigurationFile();
    if (FramontControlForm->Visible())
        FramontControlForm->SaveConfigurationFile();
    if (PexmarControlForm->Visible())
        PexmarControlForm->SaveConfigurationFile();
}

}  // namespace

void CreateForms() {
    ui::Application::SetEndingWithoutClose(SaveWithoutWindows);
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
