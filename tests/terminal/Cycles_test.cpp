// Command cycles and command files on the worker thread, on the real main window with its port on a
// fake instrument; what the instrument receives is counted, never timed.
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "platform/TextConvert.h"
#include "serial/CommLog.h"
#include "support/CycleRecord.h"
#include "terminal/ConfigFile.h"
#include "CycleFixture.h"

namespace {

using testsupport::TalvaneApp;
using Commands = std::vector<std::string>;

class Cycles : public testsupport::CycleFixture {
protected:
    // Strings 1 .. 5 hold C1 .. C5.
    void FillStrings() {
        for (std::size_t k = 0; k < Main().edString.size(); ++k)
            Main().edString[k]->SetText(platform::Concat({"C", std::to_string(k + 1)}));
    }

    void RunFile(const std::vector<std::string>& lines, const std::string& cycles = "1") {
        ShowCommandFile(lines);
        Main().leCycleCount->SetText(cycles);
        Main().cmdStartCycleClick();
    }

    long long Waited() { return CommCycleThread->WaitedMilliseconds(); }
};

TEST_F(Cycles, StringsCycleSendsTheTickedStringsPassAfterPass) {
    FillStrings();
    TickStrings({1, 3});
    Main().leCycleCount->SetText("3");
    Main().leCommandDelay->SetText("5");
    Main().leCycleDelay->SetText("20");
    Main().cmdStartCycleClick();
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(instrument.Commands(), (Commands{"C1", "C3", "C1", "C3", "C1", "C3"}));
    EXPECT_EQ(Main().leCurrentCycle->Text(), "3");
    EXPECT_EQ(Main().CommandsSent, 6);
    EXPECT_EQ(Waited(), 6 * 5 + 3 * 20);
    EXPECT_EQ(Main().cmdStartCycle->Caption(), "&START");
}

// A long strings cycle with logging on: the pane and the log, filled nearly to their 20000 lines
// beforehand, are each saved once on the way, and their saved files together with what they hold at
// the end keep every command followed by its own reply, in order, none lost (bench_soak runs this at
// length). Every reply is awaited and read whole; pauses longer than 1 ms are skipped.
TEST_F(Cycles, ALongCycleLosesNoLineAcrossThePanesAndTheLogsSaves) {
    constexpr int kCommands = 1000;
    AwaitEveryReply(true);
    for (int i = 0; i < 19000; ++i) {
        Main().reTalvane->AddLine("filler " + std::to_string(i), ui::clBlack);
        CommLogForm->reLog->AddLine("filler " + std::to_string(i), ui::clBlack);
    }
    FillStrings();
    TickStrings({1, 2, 3, 4, 5});
    Main().EnableLog1Click();
    Main().leCycleCount->SetText(std::to_string(kCommands / 5));
    Main().cmdStartCycleClick();
    ASSERT_TRUE(TalvaneApp::ProcessUntil(
        [&] { return !Main().WorkerRunsCycle() && CommCycleThread->Idle(); }, 110000));
    ASSERT_EQ(instrument.CommandCount(), static_cast<std::size_t>(kCommands));

    const Commands strings{"C1", "C2", "C3", "C4", "C5"};
    const auto reply = [](const std::string& command) { return "R:" + command; };
    std::size_t paneFiles = 0;
    std::size_t logFiles = 0;
    Commands pane = testsupport::PaneSavedLines(&paneFiles);
    const Commands paneNow = Main().reTalvane->Lines();
    pane.insert(pane.end(), paneNow.begin(), paneNow.end());
    Commands log = testsupport::LogSavedLines(&logFiles);
    const Commands logNow = CommLogForm->reLog->Lines();
    log.insert(log.end(), logNow.begin(), logNow.end());
    EXPECT_EQ(paneFiles, 1u);
    EXPECT_EQ(logFiles, 1u);
    for (const Commands* lines : {&pane, &log}) {
        const testsupport::PairingCheck check = testsupport::CheckPairs(*lines, strings, reply);
        EXPECT_EQ(check.pairs, static_cast<std::size_t>(kCommands));
        EXPECT_EQ(check.faults, 0u) << check.firstFault;
    }
    const auto firstReply = std::find_if(pane.begin(), pane.end(), [](const std::string& line) {
        return line.find("]  R:") != std::string::npos;
    });
    ASSERT_NE(firstReply, pane.end());
    pane.erase(firstReply);
    EXPECT_EQ(testsupport::CheckPairs(pane, strings, reply).faults, 1u) << "a lost line is found";
}

TEST_F(Cycles, AWordInCyclesRunsTheStringsCycleUntilStopEndingWithWholePasses) {
    FillStrings();
    TickStrings({2, 5});
    Main().leCycleCount->SetText("many");
    Main().cmdStartCycleClick();
    ASSERT_TRUE(CommandsArrive(7));
    Main().cmdStopCycleClick();
    ASSERT_TRUE(CycleEnds());
    const Commands sent = instrument.Commands();
    ASSERT_EQ(sent.size() % 2, 0u) << "a pass that has begun sends all its ticked strings";
    for (std::size_t i = 0; i < sent.size(); ++i)
        EXPECT_EQ(sent[i], i % 2 == 0 ? "C2" : "C5");
    EXPECT_EQ(Main().leCurrentCycle->Text(), std::to_string(sent.size() / 2));
}

TEST_F(Cycles, NegativeCyclesRunNothingButStartStillResetsTheCounters) {
    app.Send("X");
    FillStrings();
    TickStrings({1});
    Main().leCurrentCycle->SetText("9");
    Main().leCycleCount->SetText("-2");
    Main().cmdStartCycleClick();
    EXPECT_EQ(Main().leCurrentCycle->Text(), "0");
    EXPECT_EQ(Main().sbSendStatus->PanelText(1), "Commands Sent: 0");
    EXPECT_EQ(Main().CommandsSent, 0);
    ASSERT_TRUE(CycleEnds());
    RunFile({"ONE"}, "-2");
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(instrument.Commands(), Commands{"X"});
    EXPECT_EQ(Main().leCurrentCycle->Text(), "0");
}

TEST_F(Cycles, UntickedStringsCostNothingAndPlaceholderStringsOnlyTheirDelay) {
    FillStrings();
    Main().edString[1]->SetText("Empty");
    TickStrings({2, 4});
    Main().leCommandDelay->SetText("3");
    Main().leCycleCount->SetText("2");
    Main().cmdStartCycleClick();
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(instrument.Commands(), (Commands{"C4", "C4"}));
    EXPECT_EQ(Waited(), 4 * 3);
}

TEST_F(Cycles, ANegativeCommandDelayIsRewrittenZeroAndWaitsNothing) {
    FillStrings();
    TickStrings({1});
    Main().leCommandDelay->SetText("-7");
    Main().cmdStartCycleClick();
    ASSERT_TRUE(CycleEnds());
    ASSERT_TRUE(CommandsArrive(1));
    EXPECT_EQ(Main().leCommandDelay->Text(), "0");
    EXPECT_EQ(Waited(), 0);
    EXPECT_EQ(instrument.Commands(), Commands{"C1"});
}

TEST_F(Cycles, TheFileCycleSendsCommandsAndWaitsAsTheFileSays) {
    const std::vector<std::string> file = {"FIRST", "// a comment", "", "|:WAIT 250", "SECOND"};
    Main().leCommandDelay->SetText("2");
    const TCommCycleThread* worker = CommCycleThread;
    std::mutex mutex;
    std::vector<long long> waitedAtCommand;
    instrument.OnCommand([&](const std::string&, const std::optional<std::string>&) {
        std::lock_guard lock(mutex);
        waitedAtCommand.push_back(worker->WaitedMilliseconds());
    });
    RunFile(file);
    const bool ended = CycleEnds();
    instrument.OnCommand(nullptr);  // before the locals it uses go, also when the cycle did not end
    ASSERT_TRUE(ended);
    std::lock_guard lock(mutex);
    EXPECT_EQ(instrument.Commands(), (Commands{"FIRST", "SECOND"}));
    EXPECT_EQ(waitedAtCommand, (std::vector<long long>{0, 2 + 250})) << "the WAIT stands between the commands";
    EXPECT_EQ(Waited(), 2 + 250 + 2);
    EXPECT_EQ(Main().reInputFile->Lines(), file) << "every marker is taken off again";
    EXPECT_EQ(Main().leCurrentCycle->Text(), "1");
}

TEST_F(Cycles, WaitArgumentsThatAreNoNumberWaitOneAndKeywordsAreExact) {
    RunFile({"  |:  WAIT   7  ", "|:WAIT", "|:WAIT soon", "|:WAIT -5", "|:wait 900", "|:PAUSE 900", "A"});
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(Waited(), 7 + 1 + 1);
    EXPECT_EQ(instrument.Commands(), Commands{"A"});
}

TEST_F(Cycles, FilePassesRepeatWithTheCycleDelayBetweenAndAWordMeansOnePass) {
    Main().leCycleDelay->SetText("4");
    RunFile({"A", "B"}, "3");
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(instrument.Commands(), (Commands{"A", "B", "A", "B", "A", "B"}));
    EXPECT_EQ(Main().leCurrentCycle->Text(), "3");
    EXPECT_EQ(Waited(), 3 * 4);

    instrument.ClearReceived();
    RunFile({"ONE"}, "many");
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(instrument.Commands(), Commands{"ONE"});
    EXPECT_EQ(Main().leCurrentCycle->Text(), "1");
}

TEST_F(Cycles, HaltPausesUntilContinueAndTheCaptionStaysContinue) {
    RunFile({"A", "// note |: HALT", "B", "|:WAIT 600000", "C"});
    ASSERT_TRUE(CaptionBecomes("Continue"));
    EXPECT_TRUE(Main().CyclePaused);
    EXPECT_EQ(instrument.Commands(), Commands{"A"});
    EXPECT_EQ(Main().reInputFile->Line(1), "// note |: HALT <--");

    Main().cmdStartCycleClick();
    ASSERT_TRUE(CommandsArrive(2));
    EXPECT_EQ(Main().cmdStartCycle->Caption(), "Continue");
    EXPECT_FALSE(Main().CyclePaused);
    EXPECT_EQ(Main().reInputFile->Line(1), "// note |: HALT");
    EXPECT_EQ(Main().leCurrentCycle->Text(), "0") << "the counters are not reset by Continue";

    // The close ends the long WAIT at once: the worker is to terminate.
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return Waited() >= 600000; }));
    Main().StopAndWaitWorker();
    EXPECT_EQ(instrument.Commands(), (Commands{"A", "B"}));
    EXPECT_EQ(TCommCycleThread::AliveCount(), 0);
}

TEST_F(Cycles, StopDuringAHaltEndsTheCycle) {
    RunFile({"A", "|:HALT", "B"}, "0");
    ASSERT_TRUE(CaptionBecomes("Continue"));
    Main().cmdStopCycleClick();
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(Main().cmdStartCycle->Caption(), "&START");
    EXPECT_FALSE(Main().CyclePaused);
    EXPECT_EQ(instrument.Commands(), Commands{"A"});
    EXPECT_EQ(Main().leCurrentCycle->Text(), "1") << "the pass in progress is counted";
}

TEST_F(Cycles, LowerCaseHaltDoesNothing) {
    RunFile({"A", "|:halt", "B"});
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(instrument.Commands(), (Commands{"A", "B"}));
    EXPECT_EQ(Main().cmdStartCycle->Caption(), "&START");
}

TEST_F(Cycles, ALineIsSentTrimmedAndCutBeforeTheCharacterPrecedingAnArrow) {
    RunFile({"  PADDED  ", "XY<--Z", "<--ARROW FIRST"});
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(instrument.Commands(), (Commands{"PADDED", "X"}));
    EXPECT_EQ(Main().reInputFile->Lines(), (std::vector<std::string>{"  PADDED  ", "X", ""}));
}

TEST_F(Cycles, ABlankLineSendsNothingButCostsItsCommandDelay) {
    Main().leCommandDelay->SetText("-7");
    RunFile({"", "// only a comment", "|: NOTHING"});
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(Main().leCommandDelay->Text(), "-7") << "empty lines, comments and directives take no delay";

    RunFile({"    "});
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(Main().leCommandDelay->Text(), "0");
    EXPECT_EQ(instrument.CommandCount(), 0u);
}

TEST_F(Cycles, StartWithTheFileWindowShownRunsTheFileAndLocksTheStringBoxesUntilStop) {
    FillStrings();
    TickStrings({1});
    RunFile({"F"});
    ASSERT_TRUE(CycleEnds());
    EXPECT_EQ(instrument.Commands(), Commands{"F"});
    EXPECT_FALSE(Main().cbCycleString[0]->Enabled()) << "they stay disabled after the file cycle's end";
    Main().cmdStopCycleClick();
    EXPECT_TRUE(Main().cbCycleString[0]->Enabled());
}

TEST_F(Cycles, SaveCommandFileEmptiesAnUntouchedWindowWithoutSaving) {
    const auto path = std::filesystem::path(InstallFolder()) / "commands.txt";
    std::ofstream(path, std::ios::binary) << "A\r\n|:HALT\r\nB\r\n";
    app.dialogs.QueueFileName(path.string());
    Main().LoadCommandFile1Click();
    EXPECT_EQ(Main().reInputFile->Lines(), (std::vector<std::string>{"A", "|:HALT", "B"}));
    EXPECT_EQ(Main().sbCommProperties->PanelText(2), "FileName: " + path.string());
    EXPECT_TRUE(Main().gbInputFile->Visible());

    Main().CloseCommandFile1Click();
    EXPECT_EQ(Main().reInputFile->LineCount(), 0);
    EXPECT_EQ(app.dialogs.FileDialogs().size(), 1u) << "no save dialog";
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "A\r\n|:HALT\r\nB\r\n");
}

TEST_F(Cycles, SaveCommandFileSavesATypedIntoWindow) {
    const auto path = std::filesystem::path(InstallFolder()) / "typed.txt";
    ShowCommandFile({});
    Main().reInputFile->SetEnabled(true);
    QTest::keyClicks(Main().reInputFile->Widget(), "ID?");
    EXPECT_TRUE(Main().CommandFileChanged);
    app.dialogs.QueueFileName(path.string());
    Main().CloseCommandFile2Click();
    EXPECT_EQ(app.dialogs.FileDialogs().back().title, "Save Command Input File");
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "ID?\r\n");
    EXPECT_EQ(Main().sbCommProperties->PanelText(2), "");
    EXPECT_FALSE(Main().gbInputFile->Visible());
    EXPECT_TRUE(Main().CommandFileChanged) << "saving does not clear the flag";
}

TEST_F(Cycles, SendSelectedCommandSendsTheTrimmedSelectionAsOneCommand) {
    ShowCommandFile({"   ", "A", "B"});
    Main().reInputFile->SetSelection(0, 3);
    Main().SendSelectedCommand1Click();
    EXPECT_EQ(instrument.CommandCount(), 0u);

    Main().reInputFile->SetSelection(4, 3);
    Main().SendSelectedCommand1Click();
    EXPECT_EQ(instrument.Received(), "A\r\nB\r\n");
    EXPECT_EQ(Main().CommandsSent, 1);
}

TEST_F(Cycles, ARescanLeavesExactlyOneWorkerAndTheCloseWaitsForTheCurrentOne) {
    Main().CommPortScan1Click();
    ASSERT_NE(CommCycleThread, nullptr);
    EXPECT_FALSE(Main().CycleThreadDone);
    EXPECT_TRUE(TalvaneApp::ProcessUntil([] { return TCommCycleThread::AliveCount() == 1; }));

    Main().StopAndWaitWorker();
    EXPECT_EQ(CommCycleThread, nullptr);
    EXPECT_TRUE(Main().CycleThreadDone);
    EXPECT_EQ(TCommCycleThread::AliveCount(), 0);
}

TEST_F(Cycles, CloseWithACycleRunningOnlyStopsItAndASecondCloseEnds) {
    FillStrings();
    TickStrings({1});
    Main().leCycleCount->SetText("0");
    Main().cmdStartCycleClick();
    ASSERT_TRUE(CommandsArrive(2));

    Main().Close();
    EXPECT_FALSE(ui::Application::Terminated());
    EXPECT_TRUE(Main().Visible());
    ASSERT_TRUE(CycleEnds());

    Main().Close();
    EXPECT_TRUE(ui::Application::Terminated());
    EXPECT_EQ(TCommCycleThread::AliveCount(), 0);
    EXPECT_EQ(CommCycleThread, nullptr);
    const auto saved = terminal::ReadConfigText(terminal::ReadFileText(ConfigFilePath()).value_or(""));
    EXPECT_EQ(saved.values.PortName, std::optional<std::string>(kPort));
    EXPECT_EQ(saved.values.CommandGroups[static_cast<std::size_t>(std::max(Main().CurrentGroup, 0))].CommandStrings[0], "C1")
        << "the configuration is saved with the strings shown";
}

class CyclesWithoutPort : public ::testing::Test {
protected:
    testsupport::FakeInstrument instrument{"COM97"};
    TalvaneApp app;
};

TEST_F(CyclesWithoutPort, StartOnlyResetsTheCounters) {
    std::filesystem::remove(ConfigFilePath());
    app.Start();
    ASSERT_EQ(CommCycleThread, nullptr);
    TTalvaneForm& main = app.Main();
    main.leCurrentCycle->SetText("4");
    main.CommandsSent = 3;
    main.cmdStartCycleClick();
    EXPECT_EQ(main.leCurrentCycle->Text(), "0");
    EXPECT_EQ(main.sbSendStatus->PanelText(1), "Commands Sent: 0");
    EXPECT_FALSE(main.WorkerRunsCycle());
    EXPECT_EQ(TCommCycleThread::AliveCount(), 0);
    EXPECT_EQ(instrument.CommandCount(), 0u);
}

}  // namespace
