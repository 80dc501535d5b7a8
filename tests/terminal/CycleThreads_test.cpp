// An endless file cycle on the worker while the GUI thread sends, rescans and reconfigures the port:
// run under ThreadSanitizer in CI.
#include <QElapsedTimer>

#include <algorithm>
#include <string>
#include <vector>

#include "CycleFixture.h"

namespace {

using testsupport::TalvaneApp;

class CycleThreads : public testsupport::CycleFixture {
protected:
    void StartEndlessFileCycle() {
        ShowCommandFile({"F1", "// comment", "F2", "|:WAIT 1", "F3"});
        Main().leCycleCount->SetText("0");
        Main().cmdStartCycleClick();
        ASSERT_TRUE(Main().WorkerRunsCycle());
    }

    // Every command line of the pane is followed by the reply to that very command.
    void ExpectEachCommandFollowedByItsReply() {
        const std::vector<std::string> lines = Main().reTalvane->Lines();
        ASSERT_EQ(lines.size() % 2, 0u);
        for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
            const std::string command = Text(lines[i]);
            EXPECT_EQ(Text(lines[i + 1]), "R:" + command) << "pane line " << i;
            ++paneCommands_[command.starts_with("F") ? 1 : 0];
        }
    }

    static std::string Text(const std::string& paneLine) {
        const std::size_t at = paneLine.find("]  ");
        return at == std::string::npos ? paneLine : paneLine.substr(at + 3);
    }

    int paneCommands_[2] = {0, 0};  // from the GUI thread, from the worker
};

TEST_F(CycleThreads, AnEndlessFileCycleRunsWhileTheGuiSendsRescansAndReconfigures) {
    constexpr int kRounds = 4;
    constexpr int kSendsPerRound = 12;
    std::vector<std::string> guiCommands;
    int mismatches = 0;

    for (int round = 0; round < kRounds; ++round) {
        StartEndlessFileCycle();
        for (int i = 0; i < kSendsPerRound; ++i) {
            const std::string command = "G" + std::to_string(round) + "." + std::to_string(i);
            guiCommands.push_back(command);
            if (Main().SendThroughDoor(command) != std::optional<std::string>("R:" + command))
                ++mismatches;
            TalvaneApp::ProcessEvents();
        }
        ASSERT_TRUE(CommandsArrive(guiCommands.size() + 6));
        Main().cmdStopCycleClick();
        ASSERT_TRUE(CycleEnds());
        ExpectEachCommandFollowedByItsReply();
        StartEndlessFileCycle();
        if (round % 2 == 0)
            Main().CommPortScan1Click();
        else
            Main().CommProperties1Click();
        ASSERT_NE(CommCycleThread, nullptr);
        EXPECT_TRUE(TalvaneApp::ProcessUntil([] { return TCommCycleThread::AliveCount() == 1; }))
            << "exactly one worker after round " << round;
    }

    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(paneCommands_[1], 0) << "the worker's commands were seen";
    const std::vector<std::string> received = instrument.Commands();
    std::vector<std::string> fromGui;
    std::copy_if(received.begin(), received.end(), std::back_inserter(fromGui),
                 [](const std::string& c) { return c.starts_with("G"); });
    EXPECT_EQ(fromGui, guiCommands);
    for (const std::string& command : received)
        EXPECT_TRUE(command.starts_with("G") || command == "F1" || command == "F2" || command == "F3") << command;

    StartEndlessFileCycle();
    ASSERT_TRUE(CommandsArrive(received.size() + 3));
    Main().Close();
    ASSERT_TRUE(CycleEnds());
    QElapsedTimer closing;
    closing.start();
    Main().Close();
    RecordProperty("close_ms", static_cast<int>(closing.elapsed()));
    EXPECT_TRUE(ui::Application::Terminated());
    EXPECT_EQ(TCommCycleThread::AliveCount(), 0);
}

TEST_F(CycleThreads, HaltContinueAndStopFromTheGuiWhileTheWorkerWaits) {
    ShowCommandFile({"A", "|:HALT"});
    Main().leCycleCount->SetText("0");
    Main().cmdStartCycleClick();
    for (int pass = 1; pass <= 20; ++pass) {
        // Only the worker sets CyclePaused, at its next HALT; Continue clears it at once.
        ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return Main().CyclePaused.load(); }));
        ASSERT_TRUE(CommandsArrive(static_cast<std::size_t>(pass)));
        Main().cmdStartCycleClick();
    }
    Main().cmdStopCycleClick();
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(Main().cmdStartCycle->Caption(), "&START");
    EXPECT_GE(instrument.CommandCount(), 20u);
}

}  // namespace
