// The main window's handling of the serial port as a whole: the scan of COM1 .. COM119, the choice of
// a port, the rescan, the reconfiguration through the settings dialog and the lending of the port to
// the instrument settings window.
//
// Each of these stops the worker first and starts exactly one new worker at its end, and holds the
// port meanwhile, so that an exchange in flight never meets a port that is being closed or
// reconfigured. They run on the GUI thread; a call from another thread (the worker's send road
// rescans when it cannot reopen the port) is handed over and awaited.
#include <initializer_list>
#include <string>
#include <vector>

#include "serial/CommSettings.h"
#include "serial/TerminatorParse.h"
#include "settings_transfer/Instrumentsetting.h"
#include "terminal/Main.h"
#include "ui/Application.h"
#include "ui/GuiThread.h"

namespace {

constexpr const char* kNoPortWarning = "A communications port must be selected before sending commands";
constexpr const char* kNoPortCaption = "Communications Port Warning";
constexpr const char* kNoPortText = "Comm Port";
constexpr const char* kRescanNoPortText = "COMM PORT";
constexpr const char* kNoPortConfigured = "COMX";

// Holds the port for the whole of an operation, released however the operation ends.
class PortHold {
public:
    explicit PortHold(TTalvaneForm& form) : form_(form) { form_.HoldPort(); }
    ~PortHold() { form_.ReleasePort(); }
    PortHold(const PortHold&) = delete;
    PortHold& operator=(const PortHold&) = delete;

private:
    TTalvaneForm& form_;
};

// The history entry the command line shows; a position out of range (never set so) shows nothing.
std::string HistoryEntry(const TTalvaneForm& form) {
    const int index = form.CommandArrayIndex;
    if (index < 0 || index >= static_cast<int>(form.CommandArray.size()))
        return "";
    return form.CommandArray[static_cast<std::size_t>(index)];
}

bool PaneHoldsText(const ui::TRichEdit& pane) {
    for (const std::string& line : pane.Lines())
        if (!line.empty())
            return true;
    return false;
}

// Number of data bits for the settings dialog's code; a code no list item has (a hand-edited
// configuration file) is shown as the number it is, as the port object passes it on unchanged.
std::string DataBitsText(int code) {
    switch (code) {
        case 1: return "5";
        case 2: return "6";
        case 4: return "7";
        case 8: return "8";
        default: return std::to_string(code);
    }
}

std::string ParityMark(int parity) {
    static constexpr const char* kMarks[] = {"-N-", "-O-", "-E-", "-M-", "-S-"};
    return parity >= 0 && parity < 5 ? kMarks[parity] : "";
}

std::string StopMark(int stopBits) {
    static constexpr const char* kMarks[] = {"1", "1.5", "2"};
    return stopBits >= 0 && stopBits < 3 ? kMarks[stopBits] : "";
}

// The port object's four numbers applied to the open port, as decimal texts.
void ApplyPortParameters(CSerialPort& port) {
    port.SetPortParameters(std::to_string(port.BaudRate), std::to_string(port.Parity), std::to_string(port.DataBits),
                           std::to_string(port.StopBits));
}

// The dialog's lists show the port object's numbers; each call rewrites the port object's field from
// the list (the baud rate also its text) and marks the configuration changed.
void ShowNumbersInDialog(const CSerialPort& port) {
    const int baudRate = port.BaudRate;
    const int dataBits = port.DataBits;
    const int parity = port.Parity;
    const int stopBits = port.StopBits;
    CommSettingForm->SetBaudRate(baudRate);
    CommSettingForm->SetByteSize(dataBits);
    CommSettingForm->SetParity(parity);
    CommSettingForm->SetStopBits(stopBits);
}

// The dialog shows the port's name and the terminator text; setting the text marks it changed, which
// it is not.
void PrepareSettingsDialog(TTalvaneForm& form) {
    CommSettingForm->SetCaption(form.cboTalvane->Text() + " Properties");
    CommSettingForm->leTerminationString->SetText(form.TerminatorText);
    form.TerminatorChanged = false;
}

// The selection of a port that was open before (or that the preparation opened): closed, opened
// again by name and configured with the short read constant.
void ReopenAndConfigure(TTalvaneForm& form, const std::string& name) {
    CSerialPort& port = *form.SerialPort;
    form.EnableCommActiveObjects();
    port.ClosePort();
    form.sbCommProperties->SetPanelText(0, "Port: " + name);
    port.OpenPort(name);
    ShowNumbersInDialog(port);
    port.ConfigurePortFast(std::string(port.BaudString));
    ApplyPortParameters(port);
    form.SetCommPropertyStatusBarInfo();
    port.SetReadTimeouts();
}

// The selection of a port that did not open in the preparation: one more try; the configuration
// calls fail quietly when the port stays closed, and the send road finds that out later.
void OpenAndConfigure(TTalvaneForm& form, const std::string& name) {
    CSerialPort& port = *form.SerialPort;
    form.EnableCommActiveObjects();
    port.OpenPort(name);
    form.sbCommProperties->SetPanelText(0, "Port: " + name);
    ShowNumbersInDialog(port);
    port.ConfigurePort(std::string(port.BaudString));
    ApplyPortParameters(port);
    form.SetCommPropertyStatusBarInfo();
    port.SetReadTimeouts();
    port.ClosePort();
    port.OpenPort(name);
}

// Selects the list item of the configured port name and opens it; with no such item (or no port
// configured) the selection gives the port warning.
void SelectConfiguredPort(TTalvaneForm& form) {
    const std::string name = form.SerialPort->PortName;
    const int index =
        name.find(kNoPortConfigured) == std::string::npos ? TTalvaneForm::FindComboText(*form.cboTalvane, name) : -1;
    form.cboTalvane->SetItemIndex(index);
    if (index >= 0) {
        form.cboTalvane->SetText(name);
        form.cboTalvaneSelect();
        return;
    }
    form.cboTalvaneSelect();
    form.cboTalvane->SetText(kNoPortText);
}

// The resets every scan makes: logging off, the Edit menu hidden, the first page, the cycle edits.
void ResetAfterScan(TTalvaneForm& form) {
    form.LogEnabled = false;
    form.ResetCommErrorArray();
    form.InitializePortSelections(form.CommPortBuff);
    form.mnuEdit->SetVisible(false);
    form.EnableLog1->SetChecked(false);
    form.DisableLog1->SetChecked(true);
    form.nbLaserSystem->SetPageIndex(0);
    form.leCycleCount->SetText("1");
    form.leCurrentCycle->SetText("0");
    form.leCycleDelay->SetText("0");
    form.leCommandDelay->SetText("5");
}

// The settings dialog closed with a terminator text that was edited and not applied with Enter:
// shown again until the text keeps the comma rule, then applied. Once the program is ending the
// dialog no longer opens, and a text that breaks the rule is dropped.
void ApplyEditedTerminator(TTalvaneForm& form) {
    if (!form.TerminatorChanged)
        return;
    while (serial::BreaksCommaRule(CommSettingForm->leTerminationString->Text())) {
        if (ui::Application::ProgramIsEnding()) {
            form.TerminatorChanged = false;
            return;
        }
        CommSettingForm->ErrorMissingComma();
        CommSettingForm->ShowModal();
    }
    serial::ApplyTerminatorText(CommSettingForm->leTerminationString->Text(), form.TerminatorText, form.Terminator,
                                form.TerminatorChanged, ui::ShowExceptionBox);
    form.TerminatorChanged = false;
}

// Gives the port to the instrument settings window while it is shown; the worker is replaced.
// Nothing is lent once the program is ending.
void LendPort(TTalvaneForm& form) {
    ui::OnGui([&form] {
        PortHold hold(form);
        if (!form.SerialPort->IsPortOpen() || ui::Application::ProgramIsEnding())
            return;
        form.StopWorker();
        form.EnableCommActiveObjects();
        InstrumentSettingForm->ShowModal();
        form.CycleThreadDone = false;
        form.StartNewWorker();
    });
}

}  // namespace

void TTalvaneForm::ScanAndSetupPorts(bool startUp, const std::string& portName) {
    // A copy: the caller may pass the port object's own PortName, which the scan rewrites.
    ui::OnGui([this, startUp, keptName = portName] {
        PortHold hold(*this);
        // The transcript of what came before a rescan (often a device that vanished) is saved before
        // the pane is cleared; one that cannot be saved stays in the pane.
        const bool paneSaved = startUp || !PaneHoldsText(*reTalvane) || SaveAndClearPane();
        if (!startUp) {
            StopWorker();
            if (SerialPort->IsPortOpen())
                CloseComm();
        }
        CommPortBuff.fill(false);
        SerialPort->ScanPorts(CommPortBuff);
        // The probes leave the last name tried in PortName; the port in use is the one named before
        // (at start-up "COMX", unless the configuration file names another).
        SerialPort->PortName = keptName;
        ResetAfterScan(*this);
        if (startUp)
            LoadConfigurationFile();
        if (SerialPort->IsPortOpen())
            CloseComm();
        if (startUp)
            ConfigChanged = false;  // the load is no change; a rescan keeps the session's changes
        cboTalvane->SetEnabled(true);
        if (paneSaved)
            reTalvane->Clear();
        reTalvane->Repaint();
        eSendCommand->SetText(HistoryEntry(*this));
        SelectConfiguredPort(*this);
    });
}

void TTalvaneForm::InitializePortSelections(const std::array<bool, 120>& present) {
    for (int n = 1; n <= kLastScannedComNumber; ++n)
        if (present[static_cast<std::size_t>(n)])
            cboTalvane->AddItem("COM" + std::to_string(n));
    cboTalvane->SetItemIndex(-1);
}

int TTalvaneForm::FindComboText(const ui::TComboBox& combo, const std::string& text) {
    const std::vector<std::string> items = combo.Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text)
            return static_cast<int>(i);
    return -1;
}

void TTalvaneForm::cboTalvaneSelect() {
    ui::OnGui([this] {
        if (cboTalvane->ItemIndex() < 0) {
            ErrorCommPortnotSelected();
            cboTalvane->SetText(kNoPortText);
            return;
        }
        PortHold hold(*this);
        DoThis();
        const std::string name = cboTalvane->Text();
        if (SerialPort->IsPortOpen())
            ReopenAndConfigure(*this, name);
        else
            OpenAndConfigure(*this, name);
        CycleThreadDone = false;
        StartNewWorker();
        DelayTimer->SetEnabled(true);
        eSendCommand->SetText(HistoryEntry(*this));
    });
}

void TTalvaneForm::DoThis() {
    StopWorker();
    if (!SerialPort->IsPortOpen())
        SerialPort->OpenPort(cboTalvane->Text());
    EnableCommActiveObjects();
    PrepareSettingsDialog(*this);
    ApplyPortParameters(*SerialPort);
    SetCommPropertyStatusBarInfo();
}

void TTalvaneForm::CommPortScan1Click() {
    ui::OnGui([this] {
        PortHold hold(*this);
        const std::string shown = cboTalvane->Text();
        cboTalvane->Clear();
        cmdStopCycleClick();
        disablecontrols();
        SerialPort->ClosePort();
        ScanAndSetupPorts(false, SerialPort->PortName);
        const int index = shown.find("COM") != std::string::npos ? FindComboText(*cboTalvane, shown) : -1;
        cboTalvane->SetItemIndex(index);
        if (index < 0)
            cboTalvane->SetText(kRescanNoPortText);
        cboTalvaneSelect();
    });
}

void TTalvaneForm::CommProperties1Click() { Properties1Click(); }

void TTalvaneForm::Properties1Click() {
    ui::OnGui([this] {
        PortHold hold(*this);
        if (!SerialPort->IsPortOpen())
            SerialPort->OpenPort(cboTalvane->Text());
        StopWorker();
        EnableCommActiveObjects();
        PrepareSettingsDialog(*this);
        CommSettingForm->ShowModal();
        ApplyEditedTerminator(*this);
        ApplyPortParameters(*SerialPort);
        SetCommPropertyStatusBarInfo();
        CycleThreadDone = false;
        StartNewWorker();
    });
}

void TTalvaneForm::DownloadSettings1Click() { LendPort(*this); }

void TTalvaneForm::UploadSettings1Click() { LendPort(*this); }

void TTalvaneForm::EnableCommActiveObjects() {
    for (ui::TControl* control : std::initializer_list<ui::TControl*>{
             eSendCommand, reTalvane, cmdStartCycle, cmdStopCycle, leCycleCount, leCycleDelay, leCurrentCycle,
             leCommandDelay})
        control->SetEnabled(true);
    for (std::size_t k = 0; k < bbSendString.size(); ++k) {
        bbSendString[k]->SetEnabled(true);
        edString[k]->SetEnabled(true);
        cbCycleString[k]->SetEnabled(true);
    }
}

void TTalvaneForm::SetCommPropertyStatusBarInfo() {
    sbCommProperties->SetPanelText(1, "Settings: " + std::to_string(SerialPort->BaudRate) + " " +
                                          DataBitsText(SerialPort->DataBits) + ParityMark(SerialPort->Parity) +
                                          StopMark(SerialPort->StopBits));
}

void TTalvaneForm::CloseComm() { SerialPort->ClosePort(); }

void TTalvaneForm::ErrorCommPortnotSelected() {
    ui::Dialogs().MessageBox(kNoPortWarning, kNoPortCaption, ui::MsgIcon::Warning, ui::MsgButtons::Ok);
}
