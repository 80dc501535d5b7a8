// The communications log's lines: the append with its rotation at 20000 lines, the error table, the
// counter panel, and saving and printing the log.
#include <QMainWindow>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/Clock.h"
#include "platform/Folders.h"
#include "serial/CommLog.h"
#include "terminal/Main.h"
#include "ui/GuiThread.h"

namespace {

// The colour each thread set last, and the window it set it for.
struct ColourSlot {
    std::uint64_t form = 0;
    ui::TColor colour = ui::clBlack;
};
thread_local ColourSlot t_colourSlot;

const std::string kNoError = "No Error";

std::filesystem::path RotationFilePath() {
    return platform::DrennickFolder() / "Logs" /
           ("Comm Log Output" + platform::FormatFileStamp(platform::Now()) + ".doc");
}

// Creates (or empties) the file, so that a save that cannot succeed fails before the log is touched.
void EnsureCreatable(const std::filesystem::path& path) {
    std::ofstream probe(path, std::ios::binary | std::ios::trunc);
    if (!probe)
        throw std::runtime_error("Cannot create file \"" + path.string() + "\".");
}

void SwitchLogging(bool on) {
    if (TalvaneForm == nullptr)
        return;
    TalvaneForm->LogEnabled = on;
    if (on)
        TalvaneForm->EnableLog1Click();
    else
        TalvaneForm->DisableLog1Click();
}

}  // namespace

void TCommLogForm::SetAttributeColor(ui::TColor colour) { t_colourSlot = {instanceId_, colour}; }

ui::TColor TCommLogForm::CallerColour() const {
    return t_colourSlot.form == instanceId_ ? t_colourSlot.colour : ui::clBlack;
}

void TCommLogForm::AppendToLog(const std::string& text) {
    const ui::TColor colour = CallerColour();
    ui::OnGui([&] { AppendOnGui(text, colour); });
}

void TCommLogForm::AppendOnGui(const std::string& text, ui::TColor colour) {
    std::optional<std::string> failure;
    if (reLog->LineCount() >= kMaxLogLines)
        failure = RotateLog(colour);
    reLog->AddLine(text, colour);
    LogLineCount = reLog->LineCount();
    UpdateSBar(LogLineCount, MainLogEnabled());
    if (failure)
        ReportLater(*failure);
}

std::optional<std::string> TCommLogForm::RotateLog(ui::TColor colour) {
    SwitchLogging(false);
    std::optional<std::string> failure;
    try {
        SaveLogFileInColour(colour);
        reLog->Clear();
        rotationFailing_ = false;
    } catch (const std::exception& error) {
        // The lines stay in the log; the next append tries the save again.
        if (!rotationFailing_)
            failure = error.what();
        rotationFailing_ = true;
    }
    SwitchLogging(true);
    return failure;
}

void TCommLogForm::ReportLater(const std::string& message) {
    // From the event loop, so that the send road that logged the line is not held up by the box.
    ui::ShowExceptionBoxLater(message);
}

void TCommLogForm::SaveLogFile() { SaveLogFileInColour(CallerColour()); }

void TCommLogForm::SaveLogFileInColour(ui::TColor colour) {
    const auto path = RotationFilePath();
    EnsureCreatable(path);
    ui::OnGui([&] {
        reLog->SetPlainText(false);
        WriteErrorTable(colour);
    });
    reLog->SaveToFile(path.string());
}

void TCommLogForm::WriteCommErrorsToRLOG() { WriteErrorTable(CallerColour()); }

void TCommLogForm::WriteErrorTable(ui::TColor colour) {
    ui::OnGui([&] {
        reLog->AddLine("", colour);
        reLog->AddLine(lblErrorCol->Caption() + std::string(6, ' ') + lblCountCol->Caption() + std::string(6, ' ') +
                           lblCommandCol->Caption(),
                       colour);
        reLog->AddLine("", colour);
        for (std::size_t d = 0; d < kErrorCodes; ++d)
            reLog->AddLine(lblE[d]->Caption() + std::string(12, ' ') + edECount[d]->Text() + std::string(16, ' ') +
                               edEText[d]->Text(),
                           colour);
        LogLineCount = reLog->LineCount();
    });
}

void TCommLogForm::DisplayCommErrors() {
    ui::OnGui([&] {
        for (std::size_t d = 0; d < kErrorCodes; ++d) {
            edECount[d]->SetText(std::to_string(ErrorCounts[d]));
            edEText[d]->SetText(FailedCommands[d]);
            const ui::TColor shade = FailedCommands[d] == kNoError ? ui::clSilver : ui::clWhite;
            edECount[d]->SetColor(shade);
            edEText[d]->SetColor(shade);
        }
        Window()->repaint();
    });
}

void TCommLogForm::SaveThroughDialog(bool withErrorTable) {
    ui::FileDialogOptions options = SaveDialogCommLog;
    options.fileName.clear();
    const auto chosen = ui::Dialogs().SaveFile(options);
    if (!chosen)
        return;
    reLog->SetPlainText(false);
    if (withErrorTable)
        WriteCommErrorsToRLOG();
    reLog->SaveToFile(*chosen);
}

void TCommLogForm::PrintWithErrorTable() {
    WriteCommErrorsToRLOG();
    reLog->Print("Communications Log");
}
