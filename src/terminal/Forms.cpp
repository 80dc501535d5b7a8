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

}  // namespace

void CreateForms() {
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
