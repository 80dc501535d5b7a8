// The instrument settings window's two transfers: the download, which runs a query file against the
// instrument into a restore file and the settings view, and the upload, which sends a restore file's
// commands back. Both stop when the port fails or the program is ending; both end by telling the
// operator which lines gave no usable answer, instead of passing over them in silence.
#include <functional>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "settings_transfer/Instrumentsetting.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"

namespace {

constexpr unsigned kPausePerLine = 20;
constexpr unsigned kPauseAfterTransfer = 500;  // cut short by an ending

constexpr const char* kMissingCaption = "Settings Missing";
constexpr const char* kMissingText =
    "No usable reply came to these lines of the query file, so their settings are missing:\r\n";
constexpr const char* kUnacknowledgedCaption = "Settings Not Acknowledged";
constexpr const char* kUnacknowledgedText = "The instrument did not acknowledge these lines of the restore file:\r\n";

void WarnAbout(const char* text, const char* caption, const std::vector<std::string>& lines) {
    if (lines.empty())
        return;
    ui::Dialogs().MessageBox(text + settings_transfer::ListForMessage(lines), caption, ui::MsgIcon::Warning,
                             ui::MsgButtons::Ok);
}

}  // namespace

void TInstrumentSettingForm::cmdDownloadClick() {
    BeginTransfer("Action: Downloading...");
    EndTransfer(RunDownload());
}

void TInstrumentSettingForm::cmdUploadClick() {
    BeginTransfer("Action: UPloading...");
    EndTransfer(RunUpload());
}

void TInstrumentSettingForm::BeginTransfer(const std::string& action) {
    ResetProgress("% Complete");
    StatusBar1->SetPanelText(0, action);
    reInstrumentSettingFile->Clear();
    reInstrumentRestoreFile->Clear();
    exchange_.Reset();
}

// A transfer that was stopped says so rather than "Done".
void TInstrumentSettingForm::EndTransfer(bool completed) {
    StatusBar1->SetPanelText(0, completed ? "Action: Done" : "Action: Failed");
}

// A cancelled open dialog runs the query buffer as it stands. A stopped download offers no restore
// file: one that lacks the rest of the settings would restore only part of them.
bool TInstrumentSettingForm::RunDownload() {
    LoadQueryFile();
    StatusBar1->SetPanelText(1, "Filename: " + OpenDialogInstrumentQueryFile.fileName);
    if (!ProcessQueryFile())
        return false;
    ui::Application::PauseUnlessEnding(kPauseAfterTransfer);
    ReportMissingSettings();
    SaveRestoreFile();
    return true;
}

// Each line waits its pause and may step the bar; the run stops when the port fails or the program is
// ending.
bool TInstrumentSettingForm::RunPacedLines(const std::vector<std::string>& lines, ui::TProgressBar& bar,
                                           ui::TLabel& label, const std::function<void(int, const std::string&)>& run) {
    reInstrumentSettingFile->SetFocus();
    settings_transfer::ProgressTicker ticker(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        platform::Sleep(kPausePerLine);
        if (ticker.Tick())
            StepBar(bar, label);
        run(static_cast<int>(i), lines[i]);
        if (exchange_.Stopped())
            return false;
        Refresh();
    }
    FillBar(bar, label);
    Refresh();
    return true;
}

bool TInstrumentSettingForm::ProcessQueryFile() {
    Interpreter.Start();
    const bool completed = RunPacedLines(reInstrumentQueryFile->Lines(), *pbDownloadProgress, *lblDownloadProgress,
                                         [this](int i, const std::string& line) { DownloadLine(i, line); });
    if (completed)
        Interpreter.Finish();
    return completed;
}

// A line whose error reply had its own box is not listed again among the missing settings.
void TInstrumentSettingForm::DownloadLine(int index, const std::string& line) {
    const std::size_t missingBefore = Interpreter.MissingLines().size();
    const int boxesBefore = exchange_.ErrorBoxesShown();
    if (Interpreter.ProcessLine(line) && !exchange_.Stopped())
        MoveCarets(index + 1);
    if (exchange_.ErrorBoxesShown() != boxesBefore)
        Interpreter.ForgetMissingAfter(missingBefore);
}

void TInstrumentSettingForm::ReportMissingSettings() {
    WarnAbout(kMissingText, kMissingCaption, Interpreter.MissingLines());
}

bool TInstrumentSettingForm::RunUpload() {
    LoadRestoreFile();
    StatusBar1->SetPanelText(1, "Filename: " + OpenDialogInstrumentRestoreFile.fileName);
    if (!ProcessRestoreFile())
        return false;
    ui::Application::PauseUnlessEnding(kPauseAfterTransfer);
    ReportUnacknowledged();
    return true;
}

// Every line is sent whatever the earlier replies were; only a failed port stops the upload.
bool TInstrumentSettingForm::ProcessRestoreFile() {
    unacknowledged_.clear();
    return RunPacedLines(reInstrumentRestoreFile->Lines(), *pbUploadProgress, *lblUploadProgress,
                         [this](int i, const std::string& line) { UploadLine(i, line); });
}

void TInstrumentSettingForm::UploadLine(int index, const std::string& line) {
    const auto restore = settings_transfer::ParseRestoreLine(line);
    if (!restore)
        return;
    const int boxesBefore = exchange_.ErrorBoxesShown();
    const std::string reply = SendQuery(restore->command, settings_transfer::QueryMode::Acknowledged);
    if (exchange_.Stopped())
        return;
    const bool shownAlready = exchange_.ErrorBoxesShown() != boxesBefore;
    if (!settings_transfer::IsAcknowledged(reply) && !shownAlready)
        unacknowledged_.push_back(line);
    reInstrumentSettingFile->AddLine(settings_transfer::UploadSettingsLine(*restore));
    MoveSettingsCaret(index + 1);
}

void TInstrumentSettingForm::ReportUnacknowledged() {
    WarnAbout(kUnacknowledgedText, kUnacknowledgedCaption, unacknowledged_);
}

std::string TInstrumentSettingForm::SendQuery(const std::string& command, settings_transfer::QueryMode mode) {
    return exchange_.SendQuery(command, mode);
}

void TInstrumentSettingForm::Pause(unsigned ms) { platform::Sleep(ms); }

void TInstrumentSettingForm::AppendRestoreLine(const std::string& line) { reInstrumentRestoreFile->AddLine(line); }

void TInstrumentSettingForm::AppendSettingsLine(const std::string& line) { reInstrumentSettingFile->AddLine(line); }
