#include "terminal/Main.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QVBoxLayout>

#include "panels/Framontcontrol.h"
#include "panels/Ondrelcontrol.h"
#include "panels/Pexmarcontrol.h"
#include "platform/Folders.h"
#include "serial/CommLog.h"
#include "ui/Application.h"
#include "ui/Menu.h"

TTalvaneForm* TalvaneForm = nullptr;

std::filesystem::path InstallFolder() { return platform::OrvelFolder(); }

std::filesystem::path ConfigFilePath() { return InstallFolder() / "Talvane Config.txt"; }

namespace {

// Labels on the window's navy panels are drawn white and bold.
QLabel* MakeLabel(const std::string& text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text.c_str()), parent);
    label->setStyleSheet("color: white; font-weight: bold;");
    return label;
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

void TTalvaneForm::BuildControls() {
    auto* outer = new QVBoxLayout(Client());
    outer->setContentsMargins(0, 0, 0, 0);
    nbLaserSystem = Make<ui::TNotebook>(Client());
    nbLaserSystem->SetColor(ui::clBlack);
    outer->addWidget(nbLaserSystem->Widget());
    QWidget* page = nbLaserSystem->AddPage("Talvane");
    nbLaserSystem->AddPage("CommEchoTest");
    auto* pageLayout = new QVBoxLayout(page);
    pageLayout->setContentsMargins(2, 2, 2, 2);

    gbCommDevice = Make<ui::TGroupBox>(page, "Comm Device ");
    gbCommDevice->SetColor(ui::clNavy);
    gbCommDevice->SetFontColor(ui::clWhite);
    gbCommDevice->SetBold(true);
    gbCommDevice->Widget()->setMinimumHeight(281);
    pageLayout->addWidget(gbCommDevice->Widget());
    auto* device = new QGridLayout(gbCommDevice->Widget());

    gbSendCommand = Make<ui::TGroupBox>(gbCommDevice->Widget(), "Send Command ");
    gbSendCommand->SetFontColor(ui::clWhite);
    gbSendCommand->SetBold(true);
    auto* sendLayout = new QHBoxLayout(gbSendCommand->Widget());
    eSendCommand = Make<ui::TEdit>(gbSendCommand->Widget());
    eSendCommand->SetHint("EnterType the command into the Write Command Edit Box then press Enter Key to send.");
    eSendCommand->SetColor(ui::clWhite);
    eSendCommand->SetFontColor(ui::clBlack);
    sendLayout->addWidget(eSendCommand->Widget());
    device->addWidget(gbSendCommand->Widget(), 0, 0, 1, 2);

    gbCommonStrings = Make<ui::TGroupBox>(gbCommDevice->Widget(), "Common Command Strings ");
    gbCommonStrings->SetFontColor(ui::clWhite);
    gbCommonStrings->SetBold(true);
    auto* strings = new QGridLayout(gbCommonStrings->Widget());
    strings->addWidget(MakeLabel("Command Group:", gbCommonStrings->Widget()), 0, 0, 1, 2);
    cboCommandGroup = Make<ui::TComboBox>(gbCommonStrings->Widget(), "Group Name");
    for (int i = 0; i < 10; ++i)
        cboCommandGroup->AddItem("Empty");
    cboCommandGroup->SetText("Group Name");
    strings->addWidget(cboCommandGroup->Widget(), 0, 2);
    strings->addWidget(MakeLabel("Cycle", gbCommonStrings->Widget()), 0, 3);
    for (int k = 0; k < 5; ++k) {
        const std::string fkey = "F" + std::to_string(k + 1);
        strings->addWidget(MakeLabel("(" + fkey + ")", gbCommonStrings->Widget()), k + 1, 0);
        bbSendString[k] = Make<ui::TButton>(gbCommonStrings->Widget(), ">");
        bbSendString[k]->Widget()->setFixedSize(20, 20);
        bbSendString[k]->SetHint(fkey);
        strings->addWidget(bbSendString[k]->Widget(), k + 1, 1);
        edString[k] = Make<ui::TEdit>(gbCommonStrings->Widget(), "Empty");
        edString[k]->SetHint(fkey);
        edString[k]->SetColor(ui::clWhite);
        edString[k]->SetFontColor(ui::clBlack);
        strings->addWidget(edString[k]->Widget(), k + 1, 2);
        cbCycleString[k] = Make<ui::TCheckBox>(gbCommonStrings->Widget(), "");
        strings->addWidget(cbCycleString[k]->Widget(), k + 1, 3);
    }
    device->addWidget(gbCommonStrings->Widget(), 1, 0, 2, 1);

    gbCycleControls = Make<ui::TGroupBox>(gbCommDevice->Widget(), "Cycle Controls ");
    gbCycleControls->SetFontColor(ui::clWhite);
    gbCycleControls->SetBold(true);
    gbCycleControls->SetHint("0 = Continuous");
    auto* cycle = new QGridLayout(gbCycleControls->Widget());
    cmdStartCycle = Make<ui::TButton>(gbCycleControls->Widget(), "&START");
    cmdStopCycle = Make<ui::TButton>(gbCycleControls->Widget(), "S&TOP");
    cycle->addWidget(cmdStartCycle->Widget(), 0, 0);
    cycle->addWidget(cmdStopCycle->Widget(), 0, 1);
    leCycleCount = Make<ui::TLabeledEdit>(gbCycleControls->Widget(), "#Cycles", "1");
    leCurrentCycle = Make<ui::TLabeledEdit>(gbCycleControls->Widget(), "CycleCount", "0");
    leCurrentCycle->SetReadOnly(true);
    leCurrentCycle->SetColor(ui::clSilver);
    leCycleDelay = Make<ui::TLabeledEdit>(gbCycleControls->Widget(), "Cycle Delay", "0");
    leCommandDelay = Make<ui::TLabeledEdit>(gbCycleControls->Widget(), "Command Delay", "5");
    int row = 1;
    for (ui::TLabeledEdit* edit : {leCycleCount, leCurrentCycle, leCycleDelay, leCommandDelay}) {
        edit->Label()->setStyleSheet("color: white; font-weight: bold;");
        cycle->addWidget(edit->Label(), row, 0);
        cycle->addWidget(edit->Widget(), row, 1);
        if (edit == leCycleDelay || edit == leCommandDelay)
            cycle->addWidget(MakeLabel("(ms)", gbCycleControls->Widget()), row, 2);
        ++row;
    }
    device->addWidget(gbCycleControls->Widget(), 1, 1);

    gbCommPort = Make<ui::TGroupBox>(gbCommDevice->Widget(), "Comm Port ");
    gbCommPort->SetFontColor(ui::clWhite);
    gbCommPort->SetBold(true);
    auto* portLayout = new QHBoxLayout(gbCommPort->Widget());
    cboTalvane = Make<ui::TComboBox>(gbCommPort->Widget(), "COMM PORT");
    portLayout->addWidget(cboTalvane->Widget());
    device->addWidget(gbCommPort->Widget(), 2, 1);

    auto* lower = new QHBoxLayout;
    gbCommunications = Make<ui::TGroupBox>(page, "Communications ");
    gbCommunications->SetFontColor(ui::clWhite);
    gbCommunications->SetBold(true);
    auto* paneLayout = new QVBoxLayout(gbCommunications->Widget());
    reTalvane = Make<ui::TRichEdit>(gbCommunications->Widget());
    reTalvane->SetPlainText(true);
    reTalvane->SetColor(ui::clWhite);
    paneLayout->addWidget(reTalvane->Widget());
    sbSendStatus = Make<ui::TStatusBar>(gbCommunications->Widget(),
                                        std::vector<std::pair<std::string, int>>{{"Line Count:", 150}, {"Commands Sent: ", 50}});
    sbSendStatus->SetColor(ui::clBtnFace);
    paneLayout->addWidget(sbSendStatus->Widget());
    lower->addWidget(gbCommunications->Widget(), 1);
    Splitter1 = Make<ui::TSplitter>(page);
    lower->addWidget(Splitter1->Widget());
    gbInputFile = Make<ui::TGroupBox>(page, "Command File ");
    gbInputFile->SetColor(ui::clMaroon);
    gbInputFile->SetFontColor(ui::clWhite);
    gbInputFile->SetBold(true);
    auto* fileLayout = new QVBoxLayout(gbInputFile->Widget());
    reInputFile = Make<ui::TRichEdit>(gbInputFile->Widget());
    reInputFile->SetPlainText(true);
    fileLayout->addWidget(reInputFile->Widget());
    lower->addWidget(gbInputFile->Widget());
    Splitter1->SetResizedControl(gbInputFile, 220);
    gbInputFile->SetVisible(false);
    Splitter1->SetVisible(false);
    pageLayout->addLayout(lower, 1);

    sbCommProperties = Make<ui::TStatusBar>(
        Client(), std::vector<std::pair<std::string, int>>{{"Port:", 80}, {"Settings:", 120}, {"Command Filename:", 50}});
    sbCommProperties->SetColor(ui::clBtnFace);
    outer->addWidget(sbCommProperties->Widget());

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
            mnuControls->Add("Common Command String&" + std::to_string(k + 1), "F" + std::to_string(k + 1));
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
