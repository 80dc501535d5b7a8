#include "terminal/Main.h"

#include <QLabel>
#include <QMainWindow>

#include "panels/Framontcontrol.h"
#include "panels/Ondrelcontrol.h"
#include "panels/Pexmarcontrol.h"
#include "platform/Folders.h"
#include "platform/TextConvert.h"
#include "serial/CommLog.h"
#include "ui/Application.h"
#include "ui/Menu.h"

TTalvaneForm* TalvaneForm = nullptr;

std::filesystem::path InstallFolder() { return platform::OrvelFolder(); }

std::filesystem::path ConfigFilePath() { return InstallFolder() / "Talvane Config.txt"; }

namespace {

// Labels on the window's navy panels are drawn white and bold, at their place in the group.
QLabel* MakeLabel(const std::string& text, QWidget* parent, int left, int top) {
    auto* label = new QLabel(QString::fromLatin1(text.c_str()), parent);
    label->setStyleSheet("color: white; font-weight: bold;");
    label->adjustSize();
    label->move(left, top);
    return label;
}

// A group of the command area: bold white caption, placed.
ui::TGroupBox* MakeGroup(ui::TForm& form, QWidget* parent, const std::string& caption, QRect bounds) {
    auto* group = form.Make<ui::TGroupBox>(parent, caption);
    group->SetFontColor(ui::clWhite);
    group->SetBold(true);
    group->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    return group;
}

}  // namespace

TTalvaneForm::TTalvaneForm() : ui::TForm("Talvane V1.07.11", 607, 788) {
    BuildControls();
    BuildMenus();
    BuildPopupMenus();
    ConnectHandlers();
}

// No worker may outlive the window whose fields it uses, also when the window goes without a close.
TTalvaneForm::~TTalvaneForm() { JoinAllWorkers(); }

// The command area keeps its controls' places and sizes; only the aligned groups, the pane and the
// status bars follow the window's size.
void TTalvaneForm::BuildControls() {
    sbCommProperties = Make<ui::TStatusBar>(
        Client(), std::vector<std::pair<std::string, int>>{{"Port:", 80}, {"Settings:", 120}, {"Command Filename:", 50}});
    sbCommProperties->SetColor(ui::clBtnFace);
    sbCommProperties->SetAlign(ui::TAlign::Bottom);
    nbLaserSystem = Make<ui::TNotebook>(Client());
    nbLaserSystem->SetColor(ui::clBlack);
    nbLaserSystem->SetAlign(ui::TAlign::Client);
    QWidget* page = nbLaserSystem->AddPage("Talvane");
    nbLaserSystem->AddPage("CommEchoTest");

    gbCommDevice = Make<ui::TGroupBox>(page, "Comm Device ");
    gbCommDevice->SetColor(ui::clNavy);
    gbCommDevice->SetFontColor(ui::clWhite);
    gbCommDevice->SetBold(true);
    gbCommDevice->SetBounds(0, 0, 607, 281);
    gbCommDevice->SetAlign(ui::TAlign::Top);
    QWidget* device = gbCommDevice->Widget();

    gbSendCommand = MakeGroup(*this, device, "Send Command ", {8, 20, 583, 50});
    eSendCommand = Make<ui::TEdit>(gbSendCommand->Widget());
    eSendCommand->SetHint("EnterType the command into the Write Command Edit Box then press Enter Key to send.");
    eSendCommand->SetColor(ui::clWhite);
    eSendCommand->SetFontColor(ui::clBlack);
    eSendCommand->SetBounds(8, 20, 567, 22);
    BuildCommonStrings(device);
    BuildCycleControls(device);

    gbCommPort = MakeGroup(*this, device, "Comm Port ", {302, 220, 289, 52});
    cboTalvane = Make<ui::TComboBox>(gbCommPort->Widget(), "COMM PORT");
    cboTalvane->SetBounds(8, 22, 160, 22);

    BuildPane(page);
    DelayTimer = std::make_unique<ui::TTimer>(500, false);

    SaveDialogTalvane.defaultExt = ".doc";
    SaveDialogTalvane.filter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*";
    SaveDialogTalvane.overwritePrompt = true;
    OpenDialogInputFile.title = "Open Command Input File";
    OpenDialogInputFile.filter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*";
    OpenDialogInputFile.createPrompt = true;
    SaveDialogInputFile.title = "Save Command Input File";
    SaveDialogInputFile.defaultExt = ".txt";
    SaveDialogInputFile.filter = "Text File (*.txt)|*.txt|All Files (*.*)|*.*";
}

void TTalvaneForm::BuildCommonStrings(QWidget* device) {
    gbCommonStrings = MakeGroup(*this, device, "Common Command Strings ", {8, 76, 288, 196});
    QWidget* box = gbCommonStrings->Widget();
    MakeLabel("Command Group:", box, 8, 25);
    cboCommandGroup = Make<ui::TComboBox>(box, "Group Name");
    for (int i = 0; i < 10; ++i)
        cboCommandGroup->AddItem("Empty");
    cboCommandGroup->SetText("Group Name");
    cboCommandGroup->SetBounds(134, 21, 104, 22);
    MakeLabel("Cycle", box, 244, 25);
    for (int k = 0; k < 5; ++k) {
        const std::string fkey = platform::Concat({"F", std::to_string(k + 1)});
        const int top = 54 + 27 * k;
        MakeLabel("(" + fkey + ")", box, 8, top + 3);
        bbSendString[k] = Make<ui::TButton>(box, ">");
        bbSendString[k]->SetBounds(50, top + 1, 20, 20);
        bbSendString[k]->SetHint(fkey);
        edString[k] = Make<ui::TEdit>(box, "Empty");
        edString[k]->SetHint(fkey);
        edString[k]->SetColor(ui::clWhite);
        edString[k]->SetFontColor(ui::clBlack);
        edString[k]->SetBounds(76, top, 160, 22);
        cbCycleString[k] = Make<ui::TCheckBox>(box, "");
        cbCycleString[k]->SetBounds(252, top + 2, 18, 18);
    }
}

void TTalvaneForm::BuildCycleControls(QWidget* device) {
    gbCycleControls = MakeGroup(*this, device, "Cycle Controls ", {302, 76, 289, 142});
    gbCycleControls->SetHint("0 = Continuous");
    QWidget* box = gbCycleControls->Widget();
    cmdStartCycle = Make<ui::TButton>(box, "&START");
    cmdStartCycle->SetBounds(8, 20, 80, 25);
    cmdStopCycle = Make<ui::TButton>(box, "S&TOP");
    cmdStopCycle->SetBounds(96, 20, 80, 25);
    leCycleCount = Make<ui::TLabeledEdit>(box, "#Cycles", "1");
    leCurrentCycle = Make<ui::TLabeledEdit>(box, "CycleCount", "0");
    leCurrentCycle->SetReadOnly(true);
    leCurrentCycle->SetColor(ui::clSilver);
    leCycleDelay = Make<ui::TLabeledEdit>(box, "Cycle Delay", "0");
    leCommandDelay = Make<ui::TLabeledEdit>(box, "Command Delay", "5");
    int top = 50;
    for (ui::TLabeledEdit* edit : {leCycleCount, leCurrentCycle, leCycleDelay, leCommandDelay}) {
        edit->Label()->setStyleSheet("color: white; font-weight: bold;");
        edit->SetLabelPosition(ui::TLabeledEdit::LabelPosition::Left);
        edit->SetBounds(128, top, 64, 20);
        if (edit == leCycleDelay || edit == leCommandDelay)
            MakeLabel("(ms)", box, 198, top + 2);
        top += 23;
    }
}

// The pane fills what the command area leaves; the command file window, when shown, stands on its right.
void TTalvaneForm::BuildPane(QWidget* page) {
    gbInputFile = Make<ui::TGroupBox>(page, "Command File ");
    gbInputFile->SetColor(ui::clMaroon);
    gbInputFile->SetFontColor(ui::clWhite);
    gbInputFile->SetBold(true);
    gbInputFile->SetBounds(0, 0, 240, 400);
    gbInputFile->SetVisible(false);
    gbInputFile->SetAlign(ui::TAlign::Right);
    reInputFile = Make<ui::TRichEdit>(gbInputFile->Widget());
    reInputFile->SetPlainText(true);
    reInputFile->SetAlign(ui::TAlign::Client);
    Splitter1 = Make<ui::TSplitter>(page);
    Splitter1->SetBounds(0, 0, 4, 400);
    Splitter1->SetVisible(false);
    Splitter1->SetAlign(ui::TAlign::Right);
    Splitter1->SetResizedControl(gbInputFile);

    gbCommunications = Make<ui::TGroupBox>(page, "Communications ");
    gbCommunications->SetFontColor(ui::clWhite);
    gbCommunications->SetBold(true);
    gbCommunications->SetAlign(ui::TAlign::Client);
    sbSendStatus = Make<ui::TStatusBar>(gbCommunications->Widget(),
                                        std::vector<std::pair<std::string, int>>{{"Line Count:", 150}, {"Commands Sent: ", 50}});
    sbSendStatus->SetColor(ui::clBtnFace);
    sbSendStatus->SetAlign(ui::TAlign::Bottom);
    reTalvane = Make<ui::TRichEdit>(gbCommunications->Widget());
    reTalvane->SetPlainText(true);
    reTalvane->SetColor(ui::clWhite);
    reTalvane->SetAlign(ui::TAlign::Client);
}

void TTalvaneForm::BuildMenus() {
    ui::TMainMenu* menu = MainMenu();
    mnuFile = menu->Add("&File");
    LoadCommandFile1 = mnuFile->Add("Open Command File");
    CloseCommandFile1 = mnuFile->Add("Save Command File");
    Exit1 = mnuFile->Add("E&xit", "Ctrl+X");

    mnuEdit = menu->Add("&Edit");
    mnuEdit->Add("Cu&t", "Ctrl+X")->OnClick = [] { ui::RunEditAction(ui::EditAction::Cut); };
    mnuEdit->Add("&Copy", "Ctrl+C")->OnClick = [] { ui::RunEditAction(ui::EditAction::Copy); };
    mnuEdit->Add("&Paste", "Ctrl+V")->OnClick = [] { ui::RunEditAction(ui::EditAction::Paste); };
    mnuEdit->Add("Select &All", "Ctrl+A")->OnClick = [] { ui::RunEditAction(ui::EditAction::SelectAll); };

    mnuView = menu->Add("View");
    mnuView->Add("View Command File Window")->OnClick = [this] { ViewCommandFileWindow1Click(); };
    mnuView->Add("Hide Command File Window")->OnClick = [this] { HideCommandFileWindow1Click(); };
    mnuView->Add("Clear Communications Window")->OnClick = [this] { ClearOutgoingandIncommingWindow1Click(); };
    mnuView->Add("Clear Command File Window")->OnClick = [this] { ClearCommandFile1Click(); };

    mnuControls = menu->Add("Controls");
    SendCommandField1 = mnuControls->Add("Send Command Field", "Ctrl+W");
    for (int k = 0; k < 5; ++k)
        CommonCommandString[k] =
            mnuControls->Add(platform::Concat({"Common Command String&", std::to_string(k + 1)}),
                             platform::Concat({"F", std::to_string(k + 1)}));
    StartCycle1 = mnuControls->Add("Start Cycle", "Ctrl+S");
    StopCycle1 = mnuControls->Add("Stop Cycle", "Ctrl+T");
    mnuControls->SetVisible(false);

    mnuTools = menu->Add("Tools");
    ui::TMenuItem* instrument = mnuTools->Add("Instrument Parameters");
    DownloadSettings1 = instrument->Add("Download Settings");
    UploadSettings1 = instrument->Add("Upload Settings");
    ui::TMenuItem* custom = mnuTools->Add("Custom Interface");
    GRNIRControl1 = custom->Add("Framont System");
    PexmarSystem1 = custom->Add("Pexmar System");
    HideTalvane1 = custom->Add("Hide Talvane");
    ShowTalvane1 = custom->Add("Show Talvane");
    HideTalvane1->SetChecked(true);
    ShowTalvane1->SetChecked(false);
    ResetCommandStrings1 = mnuTools->Add("Reset Command Strings");
    ResetCommandsSentCount1 = mnuTools->Add("Reset Commands Sent Count");
    CommPortScan1 = mnuTools->Add("Comm Port Scan");
    ui::TMenuItem* log = mnuTools->Add("&Communications Log");
    ViewLog2 = log->Add("View Log", "F10");
    EnableLog1 = log->Add("Log Enabled");
    DisableLog1 = log->Add("Log Disabled");
    EnableLog1->SetChecked(false);
    DisableLog1->SetChecked(false);
    CommProperties1 = mnuTools->Add("Comm Properties", "Ctrl+P");
    ui::TMenuItem* display = mnuTools->Add("Comm Display Options");
    TimeStampEnable1 = display->Add("Time Stamp Enable");
    TimeStampDisable1 = display->Add("Time Stamp Disable");
    IncludeCommandSent1 = display->Add("Display Command Sent");
    OmitCommandSent1 = display->Add("Omit Command Sent");
    for (ui::TMenuItem* item : {TimeStampEnable1, TimeStampDisable1, IncludeCommandSent1, OmitCommandSent1})
        item->SetChecked(false);

    mnuHelp = menu->Add("Help");
    About1 = mnuHelp->Add("&About");
}

void TTalvaneForm::BuildPopupMenus() {
    PopupMenuTalvane = Make<ui::TPopupMenu>(Window());
    PopupMenuTalvane->AddEditAction("Cu&t", ui::EditAction::Cut, "Ctrl+X");
    PopupMenuTalvane->AddEditAction("&Copy", ui::EditAction::Copy, "Ctrl+C");
    PopupMenuTalvane->AddEditAction("&Paste", ui::EditAction::Paste, "Ctrl+V");
    PopupMenuTalvane->Add("&Print")->OnClick = [this] { Print2Click(); };
    PopupMenuTalvane->Add("&Save to File")->OnClick = [this] { SavetoFileCommunicatonsClick(); };
    PopupMenuTalvane->Add("Clear Communications Window")->OnClick = [this] { ClearOutgoingandIncommingWindow1Click(); };
    PopupMenuTalvane->Add("View Command File Window")->OnClick = [this] { ViewCommandFileWindow1Click(); };
    PopupMenuTalvane->Add("Hide Command File Window")->OnClick = [this] { HideCommandFileWindow1Click(); };
    reTalvane->SetPopupMenu(PopupMenuTalvane);

    PopupMenuInputFile = Make<ui::TPopupMenu>(Window());
    PopupMenuInputFile->AddEditAction("Cu&t", ui::EditAction::Cut, "Ctrl+X");
    PopupMenuInputFile->AddEditAction("&Copy", ui::EditAction::Copy, "Ctrl+C");
    PopupMenuInputFile->AddEditAction("&Paste", ui::EditAction::Paste, "Ctrl+V");
    PopupMenuInputFile->Add("Send Selected Command")->OnClick = [this] { SendSelectedCommand1Click(); };
    PopupMenuInputFile->AddSeparator();
    PopupMenuInputFile->Add("Clear Command File Window")->OnClick = [this] { ClearCommandSequenceFile1Click(); };
    PopupMenuInputFile->Add("Close Command File")->OnClick = [this] { CloseCommandFile2Click(); };
    PopupMenuInputFile->Add("&Save to File")->OnClick = [this] { SaveToFileCommandFileClick(); };
    reInputFile->SetPopupMenu(PopupMenuInputFile);

    PopupMenuCommandGroup = Make<ui::TPopupMenu>(Window());
    PopupMenuCommandGroup->Add("Rename Group")->OnClick = [this] { RenameGroup1Click(); };
    PopupMenuCommandGroup->Add("Copy Command Strings to Group")->OnClick = [this] { CopytoGroup1Click(); };
    PopupMenuCommandGroup->Add("Reset Command Strings")->OnClick = [this] { ResetCommands1Click(); };
    cboCommandGroup->SetPopupMenu(PopupMenuCommandGroup);
}

void TTalvaneForm::ConnectHandlers() {
    OnShow = [this] {
        // The program never hides its main window, so the set-up runs at the first showing only.
        if (SerialPort == nullptr)
            FormShow();
    };
    OnCloseQuery = [this](bool& canClose) { FormCloseQuery(canClose); };
    OnClose = [this] { FormClose(); };

    eSendCommand->OnKeyPress = [this](char& key) { eSendCommandKeyPress(key); };
    eSendCommand->OnKeyDown = [this](int& key) { eSendCommandKeyDown(key); };
    for (int k = 0; k < 5; ++k) {
        bbSendString[k]->OnClick = [this, k] { bbSendStringClick(k + 1); };
        edString[k]->OnKeyPress = [this, k](char& key) { edStringKeyPress(k + 1, key); };
        CommonCommandString[k]->OnClick = [this, k] { CommonCommandStringClick(k + 1); };
    }
    cboCommandGroup->OnSelect = [this] { cboCommandGroupSelect(); };
    cboTalvane->OnSelect = [this] { cboTalvaneSelect(); };
    cmdStartCycle->OnClick = [this] { cmdStartCycleClick(); };
    cmdStopCycle->OnClick = [this] { cmdStopCycleClick(); };
    reInputFile->OnKeyPress = [this](char& key) { reInputFileKeyPress(key); };
    nbLaserSystem->OnPageChanged = [this] { nbLaserSystemPageChanged(); };
    DelayTimer->OnTimer = [this] { DelayTimerTimer(); };

    LoadCommandFile1->OnClick = [this] { LoadCommandFile1Click(); };
    CloseCommandFile1->OnClick = [this] { CloseCommandFile1Click(); };
    Exit1->OnClick = [this] { Exit1Click(); };
    SendCommandField1->OnClick = [this] { SendCommandField1Click(); };
    StartCycle1->OnClick = [this] { StartCycle1Click(); };
    StopCycle1->OnClick = [this] { StopCycle1Click(); };
    DownloadSettings1->OnClick = [this] { DownloadSettings1Click(); };
    UploadSettings1->OnClick = [this] { UploadSettings1Click(); };
    GRNIRControl1->OnClick = [this] { GRNIRControl1Click(); };
    PexmarSystem1->OnClick = [this] { PexmarSystem1Click(); };
    HideTalvane1->OnClick = [this] { HideTalvane1Click(); };
    ShowTalvane1->OnClick = [this] { ShowTalvane1Click(); };
    ResetCommandStrings1->OnClick = [this] { ResetCommandStrings1Click(); };
    ResetCommandsSentCount1->OnClick = [this] { ResetCommandsSentCount1Click(); };
    CommPortScan1->OnClick = [this] { CommPortScan1Click(); };
    ViewLog2->OnClick = [this] { ViewLog2Click(); };
    EnableLog1->OnClick = [this] { EnableLog1Click(); };
    DisableLog1->OnClick = [this] { DisableLog1Click(); };
    CommProperties1->OnClick = [this] { CommProperties1Click(); };
    TimeStampEnable1->OnClick = [this] { TimeStampEnable1Click(); };
    TimeStampDisable1->OnClick = [this] { TimeStampDisable1Click(); };
    IncludeCommandSent1->OnClick = [this] { IncludeCommandSent1Click(); };
    OmitCommandSent1->OnClick = [this] { OmitCommandSent1Click(); };
    About1->OnClick = [this] { About1Click(); };
}

void TTalvaneForm::FormShow() {
    TerminatorText = "";
    disablecontrols();
    TerminatorChanged = false;
    CommandDisplayLock = false;
    ReplyDisplayLock = false;
    Closing = false;
    PortBusy = false;
    CommandFileChanged = false;
    IncludeCommandSent1Click();
    TimeStampEnable1Click();
    sbSendStatus->SetPanelText(1, "Commands Sent: 0");
    CommandsSent = 0;
    CurrentGroup = -1;
    CommandArrayIndex = 0;
    ownedPort_ = std::make_unique<CSerialPort>();
    SerialPort = ownedPort_.get();
    DelayTimer->SetEnabled(false);
    DelayTimer->SetInterval(500);
    sbCommProperties->SetPanelText(0, "Port: NONE");
    sbCommProperties->SetPanelText(2, "");
    ScanAndSetupPorts(true, SerialPort->PortName);
}

void TTalvaneForm::FormCloseQuery(bool& canClose) {
    canClose = true;
    if (WorkerRunsCycle()) {
        cmdStopCycleClick();
        canClose = false;
    }
}

void TTalvaneForm::FormClose() {
    DelayTimer->SetEnabled(false);
    // The worker is stopped first, so no finishing cycle pass changes the history while it is saved.
    StopAndWaitWorker();
    if (ConfigChanged)
        SaveConfigurationFile();
    Closing = true;
    ui::Application::Terminate();
}

void TTalvaneForm::Exit1Click() {
    if (WorkerRunsCycle()) {
        cmdStopCycleClick();
        return;
    }
    Close();
}

void TTalvaneForm::SendCommandField1Click() {
    char key = 13;
    eSendCommandKeyPress(key);
}

void TTalvaneForm::CommonCommandStringClick(int k) { bbSendStringClick(k); }

void TTalvaneForm::StartCycle1Click() { cmdStartCycleClick(); }

void TTalvaneForm::StopCycle1Click() { cmdStopCycleClick(); }

void TTalvaneForm::ClearOutgoingandIncommingWindow1Click() { reTalvane->Clear(); }

void TTalvaneForm::ResetCommandsSentCount1Click() {
    sbSendStatus->SetPanelText(1, "Commands Sent: 0");
    CommandsSent = 0;
}

void TTalvaneForm::SetLogMenuChecks(bool enabled) {
    EnableLog1->SetChecked(enabled);
    DisableLog1->SetChecked(!enabled);
}

void TTalvaneForm::ViewLog2Click() {
    LogEnabled = true;
    SetLogMenuChecks(true);
    CommLogForm->Show();
    CommLogForm->BringToFront();
}

void TTalvaneForm::EnableLog1Click() {
    LogEnabled = true;
    SetLogMenuChecks(true);
}

void TTalvaneForm::DisableLog1Click() {
    LogEnabled = false;
    SetLogMenuChecks(false);
}

void TTalvaneForm::TimeStampEnable1Click() {
    TimeStampEnable1->SetChecked(true);
    TimeStampDisable1->SetChecked(false);
    TimeStampEnabled = true;
}

void TTalvaneForm::TimeStampDisable1Click() {
    TimeStampEnable1->SetChecked(false);
    TimeStampDisable1->SetChecked(true);
    TimeStampEnabled = false;
}

void TTalvaneForm::IncludeCommandSent1Click() {
    IncludeCommandSent1->SetChecked(true);
    OmitCommandSent1->SetChecked(false);
    ShowCommandSent = true;
}

void TTalvaneForm::OmitCommandSent1Click() {
    IncludeCommandSent1->SetChecked(false);
    OmitCommandSent1->SetChecked(true);
    ShowCommandSent = false;
}

void TTalvaneForm::ShowTalvane1Click() {
    ShowTalvane1->SetChecked(true);
    HideTalvane1->SetChecked(false);
}

void TTalvaneForm::HideTalvane1Click() {
    HideTalvane1->SetChecked(true);
    ShowTalvane1->SetChecked(false);
}

void TTalvaneForm::OpenPanel(ui::TForm& panel) {
    panel.Show();
    panel.BringToFront();
    if (!ShowTalvane1->Checked())
        SetWindowState(ui::WindowState::Minimized);
}

void TTalvaneForm::GRNIRControl1Click() { OpenPanel(*FramontControlForm); }

void TTalvaneForm::PexmarSystem1Click() { OpenPanel(*PexmarControlForm); }

void TTalvaneForm::OndrelControl1Click() {
    OndrelControlForm->Show();
    OndrelControlForm->BringToFront();
}

void TTalvaneForm::SavetoFileCommunicatonsClick() {
    ui::FileDialogOptions options = SaveDialogTalvane;
    options.fileName = "";
    const auto chosen = ui::Dialogs().SaveFile(options);
    if (!chosen)
        return;
    reTalvane->SetPlainText(true);
    reTalvane->SaveToFile(*chosen);
    reTalvane->SetPlainText(true);
}

void TTalvaneForm::Print2Click() { reTalvane->Print("Talvane"); }

void TTalvaneForm::nbLaserSystemPageChanged() {
    nbLaserSystem->Repaint();
    if (nbLaserSystem->PageIndex() == 0)
        mnuEdit->SetVisible(true);
}

void TTalvaneForm::About1Click() {}

void TTalvaneForm::disablecontrols() {
    for (ui::TControl* control : std::initializer_list<ui::TControl*>{
             cboTalvane, eSendCommand, reTalvane, reInputFile, cmdStartCycle, cmdStopCycle, leCycleCount,
             leCycleDelay, leCurrentCycle, leCommandDelay})
        control->SetEnabled(false);
    for (int k = 0; k < 5; ++k) {
        bbSendString[k]->SetEnabled(false);
        edString[k]->SetEnabled(false);
        cbCycleString[k]->SetEnabled(false);
    }
    Splitter1->SetEnabled(false);
    Splitter1->SetVisible(false);
    gbInputFile->SetEnabled(false);
    gbInputFile->SetVisible(false);
}
