// The send road on the real main window, talking to a fake instrument over a pseudo-terminal.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Folders.h"
#include "platform/SerialDevice.h"
#include "serial/CommLog.h"
#include "support/FakeInstrument.h"
#include "support/ScopedPlatformHooks.h"
#include "support/TalvaneApp.h"

using testsupport::FakeInstrument;
using testsupport::TalvaneApp;

namespace {

class SendRoad : public ::testing::Test {
protected:
    void SetUp() override {
        app.Start();
        // The road opens the port the combo names, with the terminator the window holds.
        Main().cboTalvane->SetText(instrument.ComName());
        Main().Terminator = "\r\n";
        Main().ConfigChanged = false;
        Main().DelayTimer->SetEnabled(false);  // the tests run the poll themselves
    }

    TTalvaneForm& Main() { return app.Main(); }

    std::vector<std::string> PaneLines() { return Main().reTalvane->Lines(); }

    void FillPane(int lines) {
        for (int i = 0; i < lines; ++i)
            Main().reTalvane->AddLine("filler " + std::to_string(i), ui::clBlack);
    }

    std::vector<std::filesystem::path> PaneLogFiles() {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(InstallFolder() / "Logs")) {
            if (entry.path().filename().string().rfind("Talvane Output", 0) == 0)
                files.push_back(entry.path());
        }
        return files;
    }

    FakeInstrument instrument{"COM97"};
    TalvaneApp app;
};

TEST_F(SendRoad, PlaceholderTextsAreNeverSentAndLeaveTheConfigurationAlone) {
    for (const std::string text : {"Command", "Send Command 3", "Empty", "SetEmptyMode"}) {
        EXPECT_FALSE(Main().SendThroughDoor(text).has_value()) << text;
    }
    EXPECT_FALSE(Main().ConfigChanged);
    EXPECT_EQ(instrument.CommandCount(), 0u);
    EXPECT_EQ(Main().CommandsSent, 0);
}

TEST_F(SendRoad, AnEmptyLineMarksTheConfigurationButSendsNothing) {
    EXPECT_FALSE(Main().SendThroughDoor("").has_value());
    EXPECT_TRUE(Main().ConfigChanged);
    EXPECT_EQ(Main().CommandsSent, 0);
    EXPECT_TRUE(PaneLines().empty());
}

TEST_F(SendRoad, OnlyEnterSends) {
    Main().eSendCommand->SetText("VER?");
    for (char key : {'a', '\t', '\n', static_cast<char>(27)}) {
        char pressed = key;
        Main().eSendCommandKeyPress(pressed);
        EXPECT_EQ(pressed, key);
    }
    EXPECT_EQ(instrument.CommandCount(), 0u);
    EXPECT_FALSE(Main().ConfigChanged);
}

TEST_F(SendRoad, ACommandGoesOutWithItsTerminatorAndItsReplyComesBackWhole) {
    instrument.ReplyExact("TEMP?", "12.5\r\n");
    app.Send("TEMP?");

    EXPECT_EQ(instrument.Received(), "TEMP?\r\n");
    const auto lines = PaneLines();
    ASSERT_EQ(lines.size(), 3u);  // command, reply, and the empty line its CR LF opens
    EXPECT_TRUE(lines[0].starts_with("[") && lines[0].ends_with("]  TEMP?")) << lines[0];
    EXPECT_TRUE(lines[1].ends_with("]  12.5")) << lines[1];
    EXPECT_EQ(lines[2], "");
    EXPECT_EQ(Main().LastReply, "12.5");
    EXPECT_EQ(Main().CommandsSent, 1);
    EXPECT_EQ(Main().sbSendStatus->PanelText(1), "Commands Sent: 1");
    EXPECT_EQ(Main().sbSendStatus->PanelText(0), "Line Count: 0");
    EXPECT_TRUE(Main().ConfigChanged);
    EXPECT_FALSE(Main().PortBusy);
}

TEST_F(SendRoad, PaneLinesAreStampedAndColoured) {
    testsupport::ScopedClock clock({2007, 3, 15, 9, 5, 3, 7});
    instrument.ReplyDefault("OK\r\n");
    app.Send("A");
    const auto lines = PaneLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[9:5:3:7]  A");
    EXPECT_EQ(lines[1], "[9:5:3:7]  OK");
    const std::string rtfPath = (std::filesystem::temp_directory_path() / "pane-colours.rtf").string();
    Main().reTalvane->SetPlainText(false);
    Main().reTalvane->SaveToFile(rtfPath);
    std::ifstream in(rtfPath);
    std::stringstream rtf;
    rtf << in.rdbuf();
    EXPECT_NE(rtf.str().find("\\red0\\green128\\blue0"), std::string::npos) << "the reply is drawn in green";
    std::filesystem::remove(rtfPath);
}

TEST_F(SendRoad, TheReplyOfEachCommandIsReturnedCutAtItsFirstCarriageReturn) {
    instrument.ReplyExact("A", "A\rB\r");
    instrument.ReplyExact("B", "no carriage return");
    instrument.SetSilent(false);
    EXPECT_EQ(Main().SendThroughDoor("A"), std::optional<std::string>("A"));
    EXPECT_EQ(Main().SendThroughDoor("B"), std::optional<std::string>("no carriage return"));
    instrument.SetSilent(true);
    EXPECT_EQ(Main().SendThroughDoor("C"), std::optional<std::string>(""));
    EXPECT_EQ(Main().LastReply, "");
    // A silent instrument still gives a green line, stamped, with nothing after the stamp.
    EXPECT_TRUE(PaneLines().back().ends_with("]  ")) << PaneLines().back();
}

TEST_F(SendRoad, ErrorRepliesCountInTheirCodesSlot) {
    Main().ResetCommErrorArray();
    instrument.ReplyExact("XYZ", "?E3\r\n");
    instrument.ReplyExact("ABC", "bad ?3\r\n");
    instrument.ReplyExact("BOTH", "?2 ?E1\r\n");
    instrument.ReplyExact("NONE", "?8 ?0 ?9 ?E\r\n");
    for (const char* command : {"XYZ", "ABC", "BOTH", "NONE"})
        app.Send(command);
    const auto& counts = CommLogForm->ErrorCounts;
    EXPECT_EQ(counts[3], 2);
    EXPECT_EQ(CommLogForm->FailedCommands[3], "ABC");
    EXPECT_EQ(counts[1], 1);
    EXPECT_EQ(CommLogForm->FailedCommands[1], "BOTH");
    EXPECT_EQ(counts[2], 0);
    for (int slot : {0, 4, 5, 6, 7, 8, 9})
        EXPECT_EQ(counts[static_cast<std::size_t>(slot)], 0) << slot;
    EXPECT_EQ(CommLogForm->FailedCommands[2], "No Error");
}

TEST_F(SendRoad, DisplayOptionsChangeThePaneOnly) {
    testsupport::ScopedClock clock({2007, 3, 15, 14, 30, 12, 250});
    Main().TimeStampDisable1Click();
    app.Send("BARE");
    auto lines = PaneLines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "BARE");
    EXPECT_EQ(lines[1], "OK");

    Main().ClearOutgoingandIncommingWindow1Click();
    Main().TimeStampEnable1Click();
    Main().OmitCommandSent1Click();
    app.Send("HIDDEN");
    lines = PaneLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "[14:30:12:250]  OK") << "only the reply is shown";
    EXPECT_EQ(instrument.Commands().back(), "HIDDEN");
}

TEST_F(SendRoad, AFullPaneIsSavedAndStartsAgainWithTheNewCommand) {
    testsupport::ScopedClock clock({2007, 3, 15, 14, 23, 5, 0});
    FillPane(19999);
    app.Send("FIRST");
    EXPECT_TRUE(PaneLogFiles().empty()) << "19999 lines are not saved";

    Main().ClearOutgoingandIncommingWindow1Click();
    FillPane(20000);
    Main().DisableLog1Click();
    app.Send("SECOND");
    const auto files = PaneLogFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].filename().string(), "Talvane Output031507_142305.doc");
    std::ifstream saved(files[0], std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(content.starts_with("filler 0\r\nfiller 1\r\n"));
    EXPECT_TRUE(content.ends_with("filler 19999\r\n"));
    const auto lines = PaneLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "[14:23:5:0]  SECOND");
    EXPECT_EQ(Main().sbSendStatus->PanelText(0), "Line Count: 20000");
    EXPECT_TRUE(Main().LogEnabled) << "logging is on after the save";
    EXPECT_TRUE(Main().EnableLog1->Checked());
}

TEST_F(SendRoad, AFailedPaneSaveIsReportedOnceAndLosesNoLine) {
    std::filesystem::remove_all(InstallFolder() / "Logs");
    FillPane(20000);
    Main().DisableLog1Click();
    app.Send("ONE");
    app.Send("TWO");
    TalvaneApp::ProcessEvents();  // the report comes from the event loop, once the port is free
    EXPECT_EQ(app.dialogs.Exceptions().size(), 1u);
    EXPECT_FALSE(Main().PortBusy);
    EXPECT_FALSE(Main().LogEnabled) << "logging stays as it was";
    const auto lines = PaneLines();
    EXPECT_EQ(lines.front(), "filler 0");
    EXPECT_GE(lines.size(), 20004u);
    EXPECT_EQ(instrument.Commands(), (std::vector<std::string>{"ONE", "TWO"}));
}

TEST_F(SendRoad, UnsolicitedBytesAppearAsOneGreenLinePerPoll) {
    Main().SerialPort->OpenPort(instrument.ComName());
    const std::string flood = FakeInstrument::FloodPattern(1000);
    ASSERT_TRUE(instrument.SendUnsolicited(flood));
    std::uint32_t errors = 0;
    std::size_t waiting = 0;
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] {
        return platform::ClearCommError(Main().SerialPort->hComm, errors, waiting) && waiting == flood.size();
    })) << "the whole flood waits before the poll";
    Main().DelayTimerTimer();
    auto lines = PaneLines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string first = lines[0].substr(lines[0].find("]  ") + 3);
    EXPECT_GE(first.size(), 900u);
    EXPECT_LE(first.size(), 903u);
    EXPECT_EQ(first, flood.substr(0, first.size()));
    Main().DelayTimerTimer();
    lines = PaneLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(first + lines[1].substr(lines[1].find("]  ") + 3), flood);
    EXPECT_EQ(Main().LastReply, "") << "the poll never writes the last reply";
    EXPECT_FALSE(Main().PortBusy);
}

TEST_F(SendRoad, UnsolicitedErrorsCountAgainstTheCommandLine) {
    Main().ResetCommErrorArray();
    Main().SerialPort->OpenPort(instrument.ComName());
    Main().eSendCommand->SetText("LAST");
    ASSERT_TRUE(instrument.SendUnsolicited(std::string("?E5\0tail", 8)));
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return !Main().SerialPort->IsRxQueueEmpty(); }));
    Main().DelayTimerTimer();
    EXPECT_EQ(CommLogForm->ErrorCounts[5], 1);
    EXPECT_EQ(CommLogForm->FailedCommands[5], "LAST");
    EXPECT_TRUE(PaneLines().back().ends_with("]  ?E5")) << "the text ends at the NUL";
}

TEST_F(SendRoad, ThePollSkipsWhileThePortIsBusy) {
    Main().SerialPort->OpenPort(instrument.ComName());
    ASSERT_TRUE(instrument.SendUnsolicited("late"));
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return !Main().SerialPort->IsRxQueueEmpty(); }));
    Main().PortBusy = true;
    Main().DelayTimerTimer();
    EXPECT_TRUE(PaneLines().empty());
    EXPECT_TRUE(Main().PortBusy);
    Main().PortBusy = false;
}

TEST_F(SendRoad, APortThatDoesNotReopenSendsNothingAndLeavesTheCountersAlone) {
    app.Send("FIRST");
    ASSERT_EQ(Main().CommandsSent, 1);
    Main().cboTalvane->SetText("Comm Port");
    app.Send("SECOND");
    EXPECT_EQ(Main().CommandsSent, 1);
    EXPECT_EQ(Main().LastReply, "OK");
    EXPECT_EQ(instrument.Commands(), std::vector<std::string>{"FIRST"});
    EXPECT_FALSE(Main().PortBusy);
}

TEST_F(SendRoad, ResettingTheCountStartsItAgain) {
    app.Send("ONE");
    app.Send("TWO");
    Main().ResetCommandsSentCount1Click();
    EXPECT_EQ(Main().sbSendStatus->PanelText(1), "Commands Sent: 0");
    app.Send("THREE");
    EXPECT_EQ(Main().sbSendStatus->PanelText(1), "Commands Sent: 1");
}

TEST_F(SendRoad, CtrlWSendsTheCommandLineFromAnyControlOfTheWindow) {
    Main().EnableCommActiveObjects();
    for (int k = 0; k < 5; ++k)
        Main().edString[k]->SetEnabled(true);
    Main().eSendCommand->SetEnabled(true);
    Main().eSendCommand->SetText("CTRLW");
    QApplication::setActiveWindow(Main().Window());
    ASSERT_TRUE(Main().edString[2]->SetFocus());
    QTest::keyClick(Main().edString[2]->Widget(), Qt::Key_W, Qt::ControlModifier);
    TalvaneApp::ProcessEvents();
    EXPECT_EQ(instrument.Commands(), std::vector<std::string>{"CTRLW"});
}

TEST_F(SendRoad, EnterTypedInTheCommandLineSends) {
    Main().eSendCommand->SetEnabled(true);
    QApplication::setActiveWindow(Main().Window());
    ASSERT_TRUE(Main().eSendCommand->SetFocus());
    Main().eSendCommand->SetText("");
    QTest::keyClicks(Main().eSendCommand->Widget(), "ID?");
    QTest::keyClick(Main().eSendCommand->Widget(), Qt::Key_Return);
    EXPECT_EQ(instrument.Commands(), std::vector<std::string>{"ID?"});
}

TEST_F(SendRoad, ASendWhileThisThreadHoldsThePortIsRefusedNotAwaited) {
    // As when a panel's poll fires inside the settings dialog, which holds the port.
    Main().HoldPort();
    EXPECT_EQ(Main().SendThroughDoor("INNER"), std::nullopt);
    EXPECT_TRUE(Main().PortBusy);
    Main().ReleasePort();
    EXPECT_FALSE(Main().PortBusy);
    EXPECT_EQ(Main().SendThroughDoor("AFTER"), std::optional<std::string>("OK"));
    EXPECT_EQ(instrument.Commands(), std::vector<std::string>{"AFTER"});
    EXPECT_EQ(Main().CommandsSent, 1);
}

TEST(StripTerminator, CutsAtTheFirstOccurrenceOnly) {
    std::string s = "12.5\r\n";
    TTalvaneForm::StripTerminatorFromString(s, "\r");
    EXPECT_EQ(s, "12.5");
    s = "A\rB\r";
    TTalvaneForm::StripTerminatorFromString(s, "\r");
    EXPECT_EQ(s, "A");
    s = "whole";
    TTalvaneForm::StripTerminatorFromString(s, "\r");
    EXPECT_EQ(s, "whole");
    TTalvaneForm::StripTerminatorFromString(s, "");
    EXPECT_EQ(s, "whole");
}

}  // namespace
