// The panels' command path through the main window's door, with a fake instrument.
#include <gtest/gtest.h>

#include "panels/PanelCommand.h"
#include "panels/PanelFixture.h"
#include "panels/Pexmarcontrol.h"

using paneltest::Commands;

namespace {

class PanelCommandPath : public paneltest::PanelFixture {};
// With the worker of a command cycle sending at the same time.
class PanelCommandThreads : public paneltest::PanelFixture {};

TEST_F(PanelCommandPath, AQueryGivesItsOwnReplyCutAtItsFirstCarriageReturn) {
    Reply(";LC:BU?", "12\r\n");
    Reply(";LC:ED?", "?E3\r\n");
    Reply(";LC:RR?", "A\rB\r");
    Reply("?WARNING", "Syntax Error\r\n");
    EXPECT_EQ(panels::Query(";LC:BU?", panels::CommandSet::Framont), "12");
    EXPECT_EQ(panels::Query(";LC:ED?", panels::CommandSet::Framont), std::nullopt);
    EXPECT_EQ(panels::Query(";LC:RR?", panels::CommandSet::Framont), "A");
    EXPECT_EQ(panels::Query("?WARNING", panels::CommandSet::Pexmar), std::nullopt);
    EXPECT_EQ(panels::Query(";LC:ED?", panels::CommandSet::Pexmar), "?E3") << "each command set has its own test";
    EXPECT_EQ(Sent(), (Commands{";LC:BU?", ";LC:ED?", ";LC:RR?", "?WARNING", ";LC:ED?"}));
    EXPECT_EQ(Main().eSendCommand->Text(), ";LC:ED?") << "the command stands in the command line as if typed";
}

TEST_F(PanelCommandPath, ACommandTheDoorRefusesSendsNothingAndItsQueryCarriesNoValue) {
    Reply("PING", "PONG\r\n");
    app.Send("PING");
    EXPECT_EQ(panels::SendPanelCommand("?Empty"), std::nullopt);
    EXPECT_EQ(panels::Query("?Empty", panels::CommandSet::Pexmar), std::nullopt) << "not the earlier PONG";
    EXPECT_EQ(Sent(), Commands{"PING"});
}

TEST_F(PanelCommandThreads, AQueryDuringACommandCycleStillGetsItsOwnReply) {
    instrument.ReplyWith([](const std::string& command) {
        return std::optional<std::string>(command == "?WARNING" ? "Flow low\r\n" : "R:" + command + "\r\n");
    });
    Main().edString[0]->SetText("C1");
    Main().edString[1]->SetText("C2");
    Main().cbCycleString[0]->SetChecked(true);
    Main().cbCycleString[1]->SetChecked(true);
    Main().leCommandDelay->SetText("0");
    Main().leCycleCount->SetText("many");
    Main().cmdStartCycleClick();
    ASSERT_TRUE(testsupport::TalvaneApp::ProcessUntil([&] { return instrument.CommandCount() >= 4; }, 20000));

    for (int i = 0; i < 20; ++i) {
        const std::string command = ";LC:FL? " + std::to_string(i);
        EXPECT_EQ(panels::Query(command, panels::CommandSet::Pexmar), "R:" + command);
        PexmarControlForm->QueryWarning();
        EXPECT_EQ(PexmarControlForm->lblWarning->Caption(), "Flow low");
        // The worker sends its next string before the next query.
        const std::size_t before = instrument.CommandCount();
        ASSERT_TRUE(testsupport::TalvaneApp::ProcessUntil([&] { return instrument.CommandCount() > before; }, 20000));
    }
    Main().cmdStopCycleClick();
}

TEST_F(PanelCommandPath, ClosingAFramontOrPexmarPanelRestoresTheMainWindowUnlessShowTalvaneIsChecked) {
    Main().SetWindowState(ui::WindowState::Minimized);
    panels::RestoreMainWindow();
    EXPECT_EQ(Main().State(), ui::WindowState::Normal);
    Main().ShowTalvane1Click();
    Main().SetWindowState(ui::WindowState::Minimized);
    panels::RestoreMainWindow();
    EXPECT_EQ(Main().State(), ui::WindowState::Minimized);
}

}  // namespace
