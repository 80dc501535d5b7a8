#pragma once
// The communications log window: a coloured copy of every command sent and every reply received while
// logging is on, the ten error counters with the last command that drew each code, and the automatic
// save of the log when it reaches 20000 lines.
//
// Threads: AppendToLog and SetAttributeColor may be called from the GUI thread and from the worker.
// Each thread keeps its own colour; the append itself (rotation included) runs on the GUI thread as
// one step. ErrorCounts and FailedCommands are written by the main window's send road under its own
// serialisation and read here on the GUI thread only.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "ui/Buttons.h"
#include "ui/Color.h"
#include "ui/Containers.h"
#include "ui/Dialogs.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Indicators.h"
#include "ui/RichEdit.h"
#include "ui/Timer.h"
#include "ui/Toggles.h"

class TCommLogForm : public ui::TForm {
public:
    static constexpr int kMaxLogLines = 20000;
    static constexpr int kErrorCodes = 10;

    TCommLogForm();

    // ---- fields ----
    int LogLineCount = 0;
    std::array<int, kErrorCodes> ErrorCounts{};
    std::array<std::string, kErrorCodes> FailedCommands;

    // ---- controls ----
    ui::TPanel* pnlBack;
    ui::TGroupBox* gbCommLog;
    ui::TRichEdit* reLog;
    ui::TButton* Button1;  // "Clear Log"
    ui::TRadioButton* rbLogEna;
    ui::TRadioButton* rbLogDis;
    ui::TGroupBox* gbCommErrors;
    ui::TLabel* lblErrorCol;
    ui::TLabel* lblCountCol;
    ui::TLabel* lblCommandCol;
    std::array<ui::TLabel*, kErrorCodes> lblE;      // lblE0 .. lblE9
    std::array<ui::TEdit*, kErrorCodes> edECount;   // edE0Count .. edE9Count
    std::array<ui::TEdit*, kErrorCodes> edEText;    // edE0Text .. edE9Text
    ui::TButton* cmdClearErrors;
    ui::TStatusBar* SBar;
    ui::FileDialogOptions SaveDialogCommLog;
    std::unique_ptr<ui::TTimer> tmrUpdate;

    // ---- menus ----
    ui::TMenuItem* mnuFile;
    ui::TMenuItem* SavetoFile2;
    ui::TMenuItem* Print2;
    ui::TMenuItem* Exit1;
    ui::TMenuItem* mnuHelp;
    ui::TPopupMenu* PopupMenuCommLog;
    ui::TMenuItem* SavetoFile1;
    ui::TMenuItem* Print1;

    // ---- operations ----
    // The colour of the next line the calling thread appends (black until first set).
    void SetAttributeColor(ui::TColor colour);
    // Adds text as a new line in the caller's colour; at 20000 lines the log is saved and started anew.
    void AppendToLog(const std::string& text);
    void UpdateSBar(int count, bool logging);
    void DisplayCommErrors();
    // Appends the 13-line error table in the caller's colour, from what the error panel shows.
    void WriteCommErrorsToRLOG();
    // Saves the log with the error table to Logs/"Comm Log Output" + mmddyy_hhnnss + ".doc" of the
    // Drennick folder. Raises std::runtime_error, before anything is appended, when the file cannot be
    // created.
    void SaveLogFile();

    // ---- handlers ----
    void FormCreate();
    void FormShow();
    void FormClose();
    void tmrUpdateTimer();
    void Button1Click();
    void cmdClearErrorsClick();
    void rbLogEnaClick();
    void rbLogDisClick();
    void SavetoFile1Click();
    void SavetoFile2Click();
    void Print1Click();
    void Print2Click();
    void Exit1Click();

private:
    void BuildControls();
    void BuildLogGroup(QWidget* parent);
    void BuildErrorGroup(QWidget* parent);
    void BuildMenus();
    void ConnectHandlers();

    static bool MainLogEnabled();
    ui::TColor CallerColour() const;
    void AppendOnGui(const std::string& text, ui::TColor colour);
    // Saves and empties the log. When the save fails the log is kept whole; the failure is given back
    // for the exception box only when it is the first since the last successful save.
    std::optional<std::string> RotateLog(ui::TColor colour);
    void ReportLater(const std::string& message);
    void WriteErrorTable(ui::TColor colour);
    void SaveLogFileInColour(ui::TColor colour);
    void SaveThroughDialog(bool withErrorTable);
    void PrintWithErrorTable();
    void ShowLoggingState(bool logging);

    // Tells this window's colour slots from those a former window left in long-lived threads.
    const std::uint64_t instanceId_;
    // A rotation save has failed and none has succeeded since: the failure is reported once.
    bool rotationFailing_ = false;
};

extern TCommLogForm* CommLogForm;
