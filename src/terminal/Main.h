#pragma once
// The main window: the terminal. Its member definitions are split by concern over Main.cpp (shell,
// menus, start and close), MainSendRoad.cpp, MainPortSelection.cpp, MainConfiguration.cpp,
// MainCommandGroups.cpp and MainCycles.cpp.
//
// Threads: the window belongs to the GUI thread. The worker thread of the command cycles runs the
// send road too; every control and every field below that is not an atomic is read and written on
// the GUI thread only (the road hands such work over with ui::OnGui). The serial port object is used
// by whoever holds PortBusy.
#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "serial/CommPort.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Containers.h"
#include "ui/Dialogs.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Indicators.h"
#include "ui/RichEdit.h"
#include "ui/Timer.h"
#include "ui/Toggles.h"

struct TCommandGroup {
    std::string GroupName;
    std::array<std::string, 5> CommandStrings;
    std::array<std::string, 10> Commands;
};

// "Talvane Config.txt" and the pane's log files live here (the Orvel folder).
std::filesystem::path InstallFolder();
std::filesystem::path ConfigFilePath();

class TTalvaneForm : public ui::TForm {
public:
    TTalvaneForm();
    ~TTalvaneForm() override;

    // ---- fields (declaration order of the original window) ----
    CSerialPort* SerialPort = nullptr;
    std::atomic<bool> LogEnabled{false};
    std::atomic<bool> ConfigChanged{false};
    std::atomic<bool> CommandFileChanged{false};
    std::atomic<bool> PortBusy{false};
    std::atomic<int> LineCount{0};
    std::atomic<bool> Closing{false};
    std::atomic<int> CommandsSent{0};
    std::atomic<bool> CommandDisplayLock{false};
    std::atomic<bool> ReplyDisplayLock{false};
    std::string TerminatorText;
    std::string Terminator;
    bool TerminatorChanged = false;
    int CommandArrayIndex = 0;
    std::array<std::string, 10> CommandArray;
    std::array<bool, 120> CommPortBuff{};  // index 1..119
    std::atomic<bool> CyclePaused{false};
    std::atomic<bool> CycleThreadDone{false};
    std::array<TCommandGroup, 10> CommandGroups;
    int CurrentGroup = -1;
    std::string LastReply;
    bool ShowCommandSent = false;
    bool TimeStampEnabled = false;

    // ---- controls ----
    ui::TNotebook* nbLaserSystem;
    ui::TGroupBox* gbCommDevice;
    ui::TGroupBox* gbSendCommand;
    ui::TEdit* eSendCommand;
    ui::TComboBox* cboCommandGroup;
    ui::TGroupBox* gbCommonStrings;
    std::array<ui::TButton*, 5> bbSendString;    // bbSendString1 .. bbSendString5
    std::array<ui::TEdit*, 5> edString;          // edString1 .. edString5
    std::array<ui::TCheckBox*, 5> cbCycleString; // cbCycleString1 .. cbCycleString5
    ui::TGroupBox* gbCycleControls;
    ui::TButton* cmdStartCycle;
    ui::TButton* cmdStopCycle;
    ui::TLabeledEdit* leCycleCount;
    ui::TLabeledEdit* leCycleDelay;
    ui::TLabeledEdit* leCurrentCycle;
    ui::TLabeledEdit* leCommandDelay;
    ui::TGroupBox* gbCommPort;
    ui::TComboBox* cboTalvane;
    ui::TGroupBox* gbCommunications;
    ui::TRichEdit* reTalvane;
    ui::TStatusBar* sbSendStatus;
    ui::TSplitter* Splitter1;
    ui::TGroupBox* gbInputFile;
    ui::TRichEdit* reInputFile;
    ui::TStatusBar* sbCommProperties;
    std::unique_ptr<ui::TTimer> DelayTimer;
    ui::FileDialogOptions SaveDialogTalvane;
    ui::FileDialogOptions OpenDialogInputFile;
    ui::FileDialogOptions SaveDialogInputFile;

    // ---- menus ----
    ui::TMenuItem* mnuFile;
    ui::TMenuItem* mnuEdit;
    ui::TMenuItem* mnuView;
    ui::TMenuItem* mnuControls;
    ui::TMenuItem* mnuTools;
    ui::TMenuItem* mnuHelp;
    ui::TMenuItem* LoadCommandFile1;
    ui::TMenuItem* CloseCommandFile1;
    ui::TMenuItem* Exit1;
    ui::TMenuItem* SendCommandField1;
    std::array<ui::TMenuItem*, 5> CommonCommandString;  // CommonCommandString11 .. 51 (F1 .. F5)
    ui::TMenuItem* StartCycle1;
    ui::TMenuItem* StopCycle1;
    ui::TMenuItem* DownloadSettings1;
    ui::TMenuItem* UploadSettings1;
    ui::TMenuItem* GRNIRControl1;
    ui::TMenuItem* PexmarSystem1;
    ui::TMenuItem* HideTalvane1;
    ui::TMenuItem* ShowTalvane1;
    ui::TMenuItem* ResetCommandStrings1;
    ui::TMenuItem* ResetCommandsSentCount1;
    ui::TMenuItem* CommPortScan1;
    ui::TMenuItem* ViewLog2;
    ui::TMenuItem* EnableLog1;
    ui::TMenuItem* DisableLog1;
    ui::TMenuItem* CommProperties1;
    ui::TMenuItem* TimeStampEnable1;
    ui::TMenuItem* TimeStampDisable1;
    ui::TMenuItem* IncludeCommandSent1;
    ui::TMenuItem* OmitCommandSent1;
    ui::TMenuItem* About1;
    ui::TPopupMenu* PopupMenuTalvane;
    ui::TPopupMenu* PopupMenuInputFile;
    ui::TPopupMenu* PopupMenuCommandGroup;

    // ---- shell (Main.cpp) ----
    void FormShow();
    void FormCloseQuery(bool& canClose);
    void FormClose();
    void Exit1Click();
    void SendCommandField1Click();
    void CommonCommandStringClick(int k);  // k = 1..5: CommonCommandString11Click .. 51Click
    void StartCycle1Click();
    void StopCycle1Click();
    void ClearOutgoingandIncommingWindow1Click();
    void ResetCommandsSentCount1Click();
    void ViewLog2Click();
    void EnableLog1Click();
    void DisableLog1Click();
    void TimeStampEnable1Click();
    void TimeStampDisable1Click();
    void IncludeCommandSent1Click();
    void OmitCommandSent1Click();
    void ShowTalvane1Click();
    void HideTalvane1Click();
    void GRNIRControl1Click();
    void PexmarSystem1Click();
    void OndrelControl1Click();
    void SavetoFileCommunicatonsClick();
    void Print2Click();
    void nbLaserSystemPageChanged();
    void About1Click();
    void disablecontrols();

    // ---- send road (MainSendRoad.cpp) ----
    // The door: with key 13 the command line's text goes out (other keys do nothing).
    void eSendCommandKeyPress(char& key);
    // Puts text into the command line and runs the door with Enter. Returns the reply to this very
    // command, cut at its first CR, or nothing when the road refused the text or could not reopen the
    // port. Safe from any thread. Once the program is ending (ui::Application::ProgramIsEnding) the
    // road refuses every text, so that a run of sends stops at its next one; only a laser's stop
    // goes on, through SendLaserStop, and one that the line does not take within a tenth of a second
    // is named on stderr.
    std::optional<std::string> SendThroughDoor(const std::string& text);
    std::optional<std::string> SendLaserStop(const std::string& command);
    // Writes the command with the terminator and waits briefly for its reply, shown and logged
    // nowhere: for the ending without a display, which owns the port once the workers have been joined.
    void WriteWithoutShowing(const std::string& command);
    // Waits until the port is free and takes it; false when it did not take it (see MainSendRoad.cpp).
    bool ClearToSend();
    // Exchanges one command on the port, which the caller holds.
    std::string SendCommand(const std::string& command);
    void isCommandError(const std::string& command, const std::string& reply);
    void ResetCommErrorArray();
    void DelayTimerTimer();
    static void StripTerminatorFromString(std::string& s, const std::string& term);
    void SaveTalvaneLogFile();
    // Holds the port for an operation on it as a whole (selection, rescan, reconfiguration): waits
    // for a running exchange to end. Nested holds on the GUI thread count as one.
    void HoldPort();
    void ReleasePort();

    // ---- port selection (MainPortSelection.cpp) ----
    void ScanAndSetupPorts(bool startUp, const std::string& portName);
    void InitializePortSelections(const std::array<bool, 120>& present);
    static int FindComboText(const ui::TComboBox& combo, const std::string& text);
    void cboTalvaneSelect();
    void DoThis();
    void CommPortScan1Click();
    void CommProperties1Click();
    void Properties1Click();
    void DownloadSettings1Click();
    void UploadSettings1Click();
    void EnableCommActiveObjects();
    void SetCommPropertyStatusBarInfo();
    void CloseComm();
    void ErrorCommPortnotSelected();

    // ---- configuration file (MainConfiguration.cpp) ----
    void LoadConfigurationFile();
    void SaveConfigurationFile();

    // ---- history, common strings, groups (MainCommandGroups.cpp) ----
    void AppendCommandArray();
    void IncCommandArray();
    void DecCommandArray();
    void eSendCommandKeyDown(int& key);
    void bbSendStringClick(int k);          // bbSendString1Click .. bbSendString5Click
    void edStringKeyPress(int k, char& key);  // edString1KeyPress .. edString5KeyPress
    void ResetCommandStrings1Click();
    void ResetCommands1Click();
    void cboCommandGroupSelect();
    void StoreCommandGroup(int g);
    void DisplayCommandGroup(int g);
    void RenameGroup1Click();
    void CopytoGroup1Click();

    // ---- cycles and the command file window (MainCycles.cpp) ----
    void cmdStartCycleClick();
    void cmdStopCycleClick();
    void LoadCommandFile1Click();
    void SaveToFileCommandFileClick();
    void CloseCommandFile1Click();
    void CloseCommandFile2Click();
    void ClearCommandFile1Click();
    void ClearCommandSequenceFile1Click();
    void ViewCommandFileWindow1Click();
    void HideCommandFileWindow1Click();
    void reInputFileKeyPress(char& key);
    void SendSelectedCommand1Click();
    // Worker lifecycle: start a new worker; stop the current one (no waiting); stop and wait (close).
    void StartNewWorker();
    void StopWorker();
    void StopAndWaitWorker();
    // Stops every worker, also those stopped earlier, and waits until all have ended (the close; the
    // destructor, before the fields the workers use go).
    void JoinAllWorkers();
    // A worker exists and runs a strings or file cycle.
    bool WorkerRunsCycle() const;

private:
    void BuildControls();
    void BuildCommonStrings(QWidget* device);
    void BuildCycleControls(QWidget* device);
    void BuildPane(QWidget* page);
    void BuildMenus();
    void BuildPopupMenus();
    void ConnectHandlers();
    void OpenPanel(ui::TForm& panel);
    void SetLogMenuChecks(bool enabled);
    // The road from the door's checks on, with text put into the command line first when asked;
    // returns the reply cut at its first CR.
    std::optional<std::string> RunSendRoad(const std::string& text, bool intoCommandLine, bool laserStop = false);
    // SendCommand's exchange; thenOnGui runs in the same hand-over as the reply's display.
    std::string Exchange(const std::string& command, const std::string& terminator,
                         const std::function<void()>& thenOnGui, bool laserStop = false);
    // Writes the command; a laser's stop that could not be written once the program is ending is
    // named on stderr.
    bool WriteToPort(const std::string& command, const std::string& terminator, bool laserStop);
    bool TryTakePort();
    bool WaitAndTakePort();
    void ReleaseTakenPort();
    // Steps of the road on the GUI thread.
    void ShowAndLogCommand(const std::string& stamp, const std::string& text);
    void ShowAndLogReply(const std::string& stamp, const std::string& reply);
    bool SaveAndClearPane();
    std::unique_ptr<CSerialPort> ownedPort_;
    int portHoldDepth_ = 0;          // GUI thread only
    int guiRoadDepth_ = 0;           // GUI thread only: sends of the GUI thread in progress
    bool portHeldByHold_ = false;    // GUI thread only
    bool paneSaveFailureShown_ = false;  // GUI thread only
};

extern TTalvaneForm* TalvaneForm;
