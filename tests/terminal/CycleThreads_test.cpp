// An endless file cycle on the worker while the GUI thread sends, rescans and reconfigures the port:
// run under ThreadSanitizer in CI.
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CycleFixture.h"
#include "platform/TextConvert.h"

namespace {

using testsupport::TalvaneApp;

class CycleThreads : public testsupport::CycleFixture {
protected:
    // Each cycle sends commands of its own: cycle n's file holds Fn.1, Fn.2 and Fn.3.
    void StartEndlessFileCycle() {
        const std::string tag = "F" + std::to_string(cycles_.size()) + ".";
        ShowCommandFile({tag + "1", "// comment", tag + "2", "|:WAIT 1", tag + "3"});
        cycles_.push_back({tag, std::nullopt});
        Main().leCycleCount->SetText("0");
        Main().cmdStartCycleClick();
        ASSERT_TRUE(Main().WorkerRunsCycle());
    }

    // The worker of the last cycle was replaced: nothing it sends may arrive from now on.
    void NoteTheWorkerReplaced() { cycles_.back().replacedAt = instrument.CommandCount(); }

    // Each cycle's commands arrive in the file's order, pass after pass, and none after its worker
    // was replaced.
    void ExpectEachCycleInItsOwnOrder(const std::vector<std::string>& received) {
        for (const Cycle& cycle : cycles_) {
            int next = 1;
            for (std::size_t i = 0; i < received.size(); ++i) {
                if (!received[i].starts_with(cycle.tag))
                    continue;
                EXPECT_EQ(received[i], cycle.tag + std::to_string(next)) << "command " << i;
                EXPECT_LT(i, cycle.replacedAt.value_or(received.size())) << received[i] << " after its worker was replaced";
                next = next % 3 + 1;
            }
        }
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

    struct Cycle {
        std::string tag;
        std::optional<std::size_t> replacedAt;  // commands received when its worker was replaced
    };
    std::vector<Cycle> cycles_;
    int paneCommands_[2] = {0, 0};  // from the GUI thread, from the worker
};

TEST_F(CycleThreads, AnEndlessFileCycleRunsWhileTheGuiSendsRescansAndReconfigures) {
    constexpr int kRounds = 4;
    constexpr int kSendsPerRound = 12;
    std::vector<std::string> guiCommands;
    int mismatches = 0;

    for (int round = 0; round < kRounds; ++round) {
        const std::size_t receivedBefore = instrument.CommandCount();
        StartEndlessFileCycle();
        for (int i = 0; i < kSendsPerRound; ++i) {
            const std::string command = platform::Concat({"G", std::to_string(round), ".", std::to_string(i)});
            guiCommands.push_back(command);
            if (Main().SendThroughDoor(command) != std::optional<std::string>("R:" + command))
                ++mismatches;
            TalvaneApp::ProcessEvents();
        }
        ASSERT_TRUE(CommandsArrive(receivedBefore + kSendsPerRound + 6)) << "the cycle of round " << round;
        Main().cmdStopCycleClick();
        ASSERT_TRUE(CycleEnds());
        ExpectEachCommandFollowedByItsReply();
        StartEndlessFileCycle();
        if (round % 2 == 0)
            Main().CommPortScan1Click();
        else
            Main().CommProperties1Click();
        NoteTheWorkerReplaced();
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
    ExpectEachCycleInItsOwnOrder(received);

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
    ExpectEachCycleInItsOwnOrder(instrument.Commands());
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

// The program's end as main() makes it: the event loop ends, then the forms are freed. Logging is on
// and an endless strings cycle runs; the instrument stays silent, so the loop ends while the worker
// waits for a reply that it then shows and logs.
class ShutdownThreads : public ::testing::Test {
protected:
    void EndLoopDuringACycleThenFreeTheForms(const std::function<void()>& endLoop) {
        testsupport::FakeInstrument instrument("COM97");
        instrument.SetSilent(true);
        TalvaneApp::WriteConfigForPort("COM97");
        TalvaneApp app;
        app.Start();
        TTalvaneForm& main = app.Main();
        main.EnableLog1Click();
        main.edString[0]->SetText("PING");
        main.cbCycleString[0]->SetChecked(true);
        main.leCycleCount->SetText("0");
        main.leCommandDelay->SetText("0");
        main.cmdStartCycleClick();

        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (instrument.CommandCount() < 2)
                return;
            poll.stop();
            endLoop();
        });
        poll.start(1);
        loopEndedNormally_ = ui::Application::RunShowingExceptions([] { ui::Application::Run(); });
        shownExceptions_ = app.dialogs.Exceptions();
        DestroyForms();
        EXPECT_EQ(TCommCycleThread::AliveCount(), 0);
        EXPECT_EQ(CommCycleThread, nullptr);
    }

    bool loopEndedNormally_ = false;
    std::vector<std::string> shownExceptions_;
};

TEST_F(ShutdownThreads, TheApplicationQuittingWithoutTheCloseFreesTheFormsAfterTheWorkers) {
    EndLoopDuringACycleThenFreeTheForms([] { QCoreApplication::exit(0); });
    EXPECT_TRUE(loopEndedNormally_);
}

TEST_F(ShutdownThreads, AnExceptionOutOfTheEventLoopFreesTheFormsAfterTheWorkers) {
    EndLoopDuringACycleThenFreeTheForms([] { throw std::runtime_error("out of the loop"); });
    EXPECT_FALSE(loopEndedNormally_);
    EXPECT_EQ(shownExceptions_, std::vector<std::string>{"out of the loop"});
}

}  // namespace
