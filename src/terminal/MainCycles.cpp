// The main window's command cycles (START, "Continue", STOP), the worker's lifecycle, and the command
// file window with its load, save, clear, show, hide and send-selection operations.
//
// Every operation here runs on the GUI thread; one called from another thread is handed over and
// awaited, since the worker's send road may stop the cycle.
#include <string>

#include "platform/TextConvert.h"
#include "terminal/Main.h"
#include "terminal/commcyclethread.h"
#include "ui/GuiThread.h"

namespace {

constexpr const char* kStartCaption = "&START";
constexpr const char* kContinueCaption = "Continue";

void EnableCycleBoxes(TTalvaneForm& form, bool enabled) {
    for (ui::TCheckBox* box : form.cbCycleString)
        box->SetEnabled(enabled);
}

void ShowCommandFileWindow(TTalvaneForm& form, bool shown) {
    for (ui::TControl* control : {static_cast<ui::TControl*>(form.gbInputFile), static_cast<ui::TControl*>(form.Splitter1)}) {
        control->SetEnabled(shown);
        control->SetVisible(shown);
    }
}

}  // namespace

void TTalvaneForm::cmdStartCycleClick() {
    ui::OnGui([this] {
        if (cmdStartCycle->Caption() == kContinueCaption) {
            CyclePaused = false;
            if (CommCycleThread != nullptr)
                CommCycleThread->WakeUp();
            return;
        }
        leCurrentCycle->SetText("0");
        sbSendStatus->SetPanelText(1, "Commands Sent: 0");
        CommandsSent = 0;
        const bool fileCycle = gbInputFile->Visible();
        if (fileCycle)
            EnableCycleBoxes(*this, false);
        if (CommCycleThread != nullptr)
            CommCycleThread->SetCycles(!fileCycle, fileCycle);
    });
}

void TTalvaneForm::cmdStopCycleClick() {
    ui::OnGui([this] {
        cmdStartCycle->SetCaption(kStartCaption);
        CyclePaused = false;
        if (CommCycleThread != nullptr)
            CommCycleThread->SetCycles(false, false);
        EnableCycleBoxes(*this, true);
    });
}

void TTalvaneForm::LoadCommandFile1Click() {
    cmdStopCycleClick();
    ShowCommandFileWindow(*this, true);
    if (const auto chosen = ui::OpenFileDialog(OpenDialogInputFile)) {
        OpenDialogInputFile.fileName = *chosen;
        reInputFile->LoadFromFile(*chosen);
    }
    sbCommProperties->SetPanelText(2, "FileName: " + OpenDialogInputFile.fileName);
}

void TTalvaneForm::SaveToFileCommandFileClick() {
    SaveDialogInputFile.fileName = "";
    const auto chosen = ui::Dialogs().SaveFile(SaveDialogInputFile);
    if (!chosen)
        return;
    SaveDialogInputFile.fileName = *chosen;
    reInputFile->SetPlainText(true);
    reInputFile->SaveToFile(*chosen);
}

void TTalvaneForm::CloseCommandFile1Click() {
    if (CommandFileChanged) {
        SaveToFileCommandFileClick();
        sbCommProperties->SetPanelText(2, "");
    } else {
        reInputFile->Clear();
    }
}

void TTalvaneForm::CloseCommandFile2Click() {
    CloseCommandFile1Click();
    ShowCommandFileWindow(*this, false);
}

void TTalvaneForm::ClearCommandFile1Click() {
    reInputFile->Clear();
    sbCommProperties->SetPanelText(2, "");
}

void TTalvaneForm::ClearCommandSequenceFile1Click() { ClearCommandFile1Click(); }

void TTalvaneForm::ViewCommandFileWindow1Click() {
    ShowCommandFileWindow(*this, true);
    reInputFile->SetEnabled(true);
}

void TTalvaneForm::HideCommandFileWindow1Click() { ShowCommandFileWindow(*this, false); }

void TTalvaneForm::reInputFileKeyPress(char&) { CommandFileChanged = true; }

void TTalvaneForm::SendSelectedCommand1Click() {
    const std::string text = platform::Trim(reInputFile->SelText());
    if (text.empty())
        return;
    ConfigChanged = true;
    SendThroughDoor(text);
}

void TTalvaneForm::StartNewWorker() {
    ui::OnGui([] { StartCycleWorker(); });
}

void TTalvaneForm::StopWorker() {
    ui::OnGui([] { StopCycleWorker(); });
}

void TTalvaneForm::StopAndWaitWorker() {
    ui::OnGui([this] {
        StopAndWaitCycleWorker();
        JoinAllWorkers();
    });
}

void TTalvaneForm::JoinAllWorkers() {
    ui::OnGui([] { JoinAllCycleWorkers(); });
}

bool TTalvaneForm::WorkerRunsCycle() const {
    return ui::OnGui([] {
        const TCommCycleThread* worker = CommCycleThread;
        return worker != nullptr && (worker->CycleStrings || worker->CycleFile);
    });
}
