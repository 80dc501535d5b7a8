#pragma once
// The real program with its port on a fake instrument that answers every command with "R:" and the
// command: the fixture of the command group, cycle and worker tests.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/FakeInstrument.h"
#include "support/ScopedPlatformHooks.h"
#include "support/TalvaneApp.h"
#include "terminal/commcyclethread.h"

namespace testsupport {

class CycleFixture : public ::testing::Test {
protected:
    static constexpr const char* kPort = "COM97";

    CycleFixture() {
        instrument.ReplyWith([](const std::string& command) { return std::optional<std::string>("R:" + command); });
        TalvaneApp::WriteConfigForPort(kPort);
    }

    void SetUp() override {
        app.Start();
        SelectPortIfNoneIs();
        Main().Terminator = "\r\n";
        Main().leCommandDelay->SetText("0");
        AwaitEveryReply();
    }

    // Ends any cycle and every worker before the forms go, whatever the test left running.
    void TearDown() override {
        Main().cmdStopCycleClick();
        Main().StopAndWaitWorker();
        replyWaits_.reset();
    }

    TTalvaneForm& Main() { return app.Main(); }

    // Every reply is taken however late a busy machine delivers it (see ScopedReplyWaits).
    void AwaitEveryReply(bool skipLongerPauses = false) {
        replyWaits_.reset();
        replyWaits_.emplace(*Main().SerialPort, skipLongerPauses);
    }

    // The configured port is selected at start-up once the configuration is read; until then the
    // fixture selects it as the operator would.
    void SelectPortIfNoneIs() {
        if (CommCycleThread != nullptr)
            return;
        const int index = TTalvaneForm::FindComboText(*Main().cboTalvane, kPort);
        ASSERT_GE(index, 0) << "the scan did not find the fake instrument";
        Main().cboTalvane->SetItemIndex(index);
        Main().cboTalvaneSelect();
        ASSERT_NE(CommCycleThread, nullptr);
    }

    // Shows the command file window holding these lines, as the file cycle reads them.
    void ShowCommandFile(const std::vector<std::string>& lines) {
        Main().ViewCommandFileWindow1Click();
        Main().reInputFile->Clear();
        for (const auto& line : lines)
            Main().reInputFile->AddLine(line, ui::clBlack);
    }

    void TickStrings(const std::vector<int>& boxes) {
        for (int k : boxes)
            Main().cbCycleString[static_cast<std::size_t>(k - 1)]->SetChecked(true);
    }

    // Waits (carrying out the worker's hand-overs) until no cycle is asked for and the worker has
    // finished the steps it was in.
    bool CycleEnds() {
        return TalvaneApp::ProcessUntil(
            [&] { return !Main().WorkerRunsCycle() && (CommCycleThread == nullptr || CommCycleThread->Idle()); },
            20000);
    }

    bool CommandsArrive(std::size_t n) {
        return TalvaneApp::ProcessUntil([&] { return instrument.CommandCount() >= n; }, 20000);
    }

    bool CaptionBecomes(const std::string& caption) {
        return TalvaneApp::ProcessUntil([&] { return Main().cmdStartCycle->Caption() == caption; }, 20000);
    }

    FakeInstrument instrument{kPort};
    TalvaneApp app;

private:
    std::optional<ScopedReplyWaits> replyWaits_;
};

}  // namespace testsupport
