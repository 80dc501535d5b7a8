// The Framont panel as a whole: opening and closing with its panel file, the status poll, the service
// menus, "Read from Controller" and "Write to Controller".
#include "FramontFixture.h"

using framonttest::Commands;
using framonttest::FramontPanel;
using framonttest::ReadPanelFile;
using framonttest::WritePanelFile;

namespace {

const char* const kDefaultFile =
    "0,100\r\n0\r\n0\r\n0\r\n0\r\n0\r\n50\r\n0\r\n128\r\n90\r\n1,2500.00,2500.00\r\n0\r\n";

TEST_F(FramontPanel, TheFirstOpeningCreatesThePanelFileAndReplaysItsDefaults) {
    app.Main().GRNIRControl1Click();
    EXPECT_EQ(Sent(), (Commands{";LC:AE 0", ";LC:EM 1", ";LC:EM 1", ";LC:ED 0,100", ";LC:ED 0,100", ";LC:FL 0",
                                ";LC:AE 0", ";LC:FL 1", ";LC:SW 3 0", ";LC:ED?", ";LC:MO 0", ";LC:BU 0", ";LC:RR 50",
                                ";LC:IL 0,0", ";LC:IL 0,0", ";LC:IL 0,127", ";LC:IL 1,0", ";LC:IL 1,0", ";LC:IL 1,89",
                                ";LC:SP 1,2500.00,2500.00", ";LC:SP 1,2500.00,2500.00", ";LC:SP 1,2500.00,2500.00"}));
    EXPECT_EQ(ReadPanelFile(), kDefaultFile);
    TFramontControlForm& p = panel();
    EXPECT_TRUE(p.Visible());
    EXPECT_TRUE(p.rbLowEnergy->Checked());
    EXPECT_TRUE(p.rbEnergy->Checked());
    EXPECT_EQ(p.cbWavelength->ItemIndex(), 0);
    EXPECT_EQ(p.cbMode->ItemIndex(), 0);
    EXPECT_FALSE(p.leBurstCount->Visible());
    EXPECT_EQ(p.leRepRate->Text(), "50");
    EXPECT_EQ(p.FieldLEDRaw, 127);
    EXPECT_EQ(p.SlitLEDRaw, 89);
    EXPECT_EQ(p.edFieldLED->Text(), "50");
    EXPECT_EQ(p.tbSlitLED->Position(), 65);
    EXPECT_EQ(p.cbSlitMag->ItemIndex(), 0);
    EXPECT_TRUE(p.leXSize->Enabled());
    EXPECT_EQ(p.SlitSpot, "1,2500.00,2500.00");
    EXPECT_TRUE(p.tmrStatus->Enabled());
    EXPECT_EQ(p.cmdILFieldONOFF->Caption(), "ON");
}

TEST_F(FramontPanel, ClosingStopsTheLaserAndTheNextOpeningReplaysWhatWasSaved) {
    Open();
    TFramontControlForm& p = panel();
    p.sbFireClick();
    p.leRepRate->SetText("25");
    p.edPolarization->SetText("30");
    char enter = 13;
    p.leRepRate->OnKeyPress(enter);
    p.edPolarizationKeyPress(enter);
    p.cmdTRN45Click();
    Clear();
    Close();
    EXPECT_EQ(Sent(), Commands{";LC:FL 0"});
    EXPECT_FALSE(p.Visible());
    EXPECT_FALSE(p.tmrStatus->Enabled());
    EXPECT_EQ(ReadPanelFile(), "0,100\r\n0\r\n0\r\n0\r\n0\r\n0\r\n25\r\n30\r\n127\r\n89\r\n1,2500.00,2500.00\r\n-45\r\n")
        << "whatever was fired, the file holds 0 as the fire state";

    Clear();
    app.Main().GRNIRControl1Click();
    const Commands reopened = Sent();
    EXPECT_EQ(std::count(reopened.begin(), reopened.end(), ";LC:FL 0"), 1);
    EXPECT_EQ(std::count(reopened.begin(), reopened.end(), ";LC:RR 25"), 1);
    EXPECT_EQ(std::count(reopened.begin(), reopened.end(), ";LC:IL 0,127"), 2) << "switched on, then no drift";
    for (const std::string& command : reopened) {
        EXPECT_NE(command.rfind(";LC:PA", 0), 0u) << "the loaded angle is shown, not sent";
        EXPECT_NE(command.rfind(";LC:ST", 0), 0u) << "the loaded theta is shown, not sent";
    }
    EXPECT_EQ(p.tbPolarization->Position(), 30);
    EXPECT_EQ(p.tbPolarization->SelStart(), 30);
    EXPECT_EQ(p.tbTheta->Position(), -45);
    EXPECT_EQ(p.edFieldLED->Text(), "50");
}

// The replay switches each illuminator twice, so that it ends as it was, and then commits its level.
TEST_F(FramontPanel, IlluminatorsSwitchedOffStayDarkAfterReopeningAndOnBringsTheirLevelsBack) {
    const auto sentWithoutIlluminators = [this] {
        Commands others = Sent();
        std::erase_if(others, [](const std::string& command) { return command.rfind(";LC:IL ", 0) == 0; });
        return others;
    };
    Open();
    Close();
    Clear();
    app.Main().GRNIRControl1Click();
    const Commands replayWhileOn = sentWithoutIlluminators();
    TFramontControlForm& p = panel();
    p.cmdILFieldONOFF->Click();
    p.cmdSlitILONOFF->Click();
    Close();
    Clear();
    app.Main().GRNIRControl1Click();
    EXPECT_EQ(SentStartingWith(";LC:IL 0,"), (Commands{";LC:IL 0,127", ";LC:IL 0,0"}))
        << "the level committed while off is kept, not sent";
    EXPECT_EQ(SentStartingWith(";LC:IL 1,"), (Commands{";LC:IL 1,89", ";LC:IL 1,0"}));
    EXPECT_EQ(sentWithoutIlluminators(), replayWhileOn);
    EXPECT_EQ(p.cmdILFieldONOFF->Caption(), "OFF");
    EXPECT_EQ(p.cmdSlitILONOFF->Caption(), "OFF");
    EXPECT_EQ(p.edFieldLED->Text(), "50");
    EXPECT_EQ(p.edSlitLED->Text(), "35");

    Clear();
    p.cmdILFieldONOFF->Click();
    p.cmdSlitILONOFF->Click();
    EXPECT_EQ(Sent(), (Commands{";LC:IL 0,127", ";LC:IL 1,89"}));
    Close();
    EXPECT_EQ(ReadPanelFile(), "0,100\r\n0\r\n0\r\n0\r\n0\r\n0\r\n50\r\n0\r\n127\r\n89\r\n1,2500.00,2500.00\r\n0\r\n");
}

TEST_F(FramontPanel, AReplayedAutoEnergyIsShownInItsBoxAndTheNextClickSwitchesItOff) {
    WritePanelFile("0,100\r\n0\r\n1\r\n0\r\n0\r\n0\r\n50\r\n0\r\n128\r\n90\r\n1,2500.00,2500.00\r\n0\r\n");
    app.Main().GRNIRControl1Click();
    EXPECT_EQ(SentStartingWith(";LC:AE "), (Commands{";LC:AE 0", ";LC:AE 1"})) << "checking the box sends nothing";
    EXPECT_TRUE(panel().cbAutoEnergy->Checked());
    Clear();
    ClickToggle(*panel().cbAutoEnergy);
    EXPECT_EQ(Sent(), Commands{";LC:AE 0"});
}

TEST_F(FramontPanel, ShowTalvaneDecidesWhetherThePanelMinimisesAndRestoresTheMainWindow) {
    TTalvaneForm& main = app.Main();
    Open();
    EXPECT_EQ(main.State(), ui::WindowState::Minimized);
    Close();
    EXPECT_EQ(main.State(), ui::WindowState::Normal);

    main.ShowTalvane1Click();
    main.SetWindowState(ui::WindowState::Maximized);
    Open();
    EXPECT_EQ(main.State(), ui::WindowState::Maximized);
    Close();
    EXPECT_EQ(main.State(), ui::WindowState::Maximized);
}

TEST_F(FramontPanel, HandEditedPanelFilesReplayOnlyWhatThePanelCouldSend) {
    // Line 1 without a comma, a fire state that would fire, an unknown wavelength and magnification,
    // a rate out of range, a slit spot with an empty X.
    WritePanelFile("250\r\n3\r\n0\r\n7\r\n1\r\n10\r\n99\r\n0\r\n128\r\n90\r\n7,2500\r\n0\r\n");
    app.Main().GRNIRControl1Click();
    const Commands sent = Sent();
    const Commands expectedStart{";LC:AE 0", ";LC:EM 1", ";LC:EM 1", ";LC:ED 0,100", ";LC:ED 0,100", ";LC:FL 0",
                                 ";LC:AE 0", ";LC:FL 1", ";LC:ED?", ";LC:MO 1", ";LC:BU 10", ";LC:RR 50"};
    ASSERT_GE(sent.size(), expectedStart.size());
    EXPECT_EQ(Commands(sent.begin(), sent.begin() + static_cast<long>(expectedStart.size())), expectedStart);
    EXPECT_EQ(sent.back(), ";LC:SP ,2500,2500") << "no magnification: the choice sends, the sizes commit nothing";
    EXPECT_EQ(panel().cbWavelength->ItemIndex(), -1);
    EXPECT_EQ(panel().cbSlitMag->ItemIndex(), -1);
    EXPECT_FALSE(panel().leXSize->Enabled()) << "sizes cannot be used without a magnification";
    EXPECT_EQ(panel().SlitSizeX, 2500.0F);
    Close();
    const std::string start = "0,100\r\n0\r\n0\r\n7\r\n1\r\n";
    EXPECT_EQ(ReadPanelFile().substr(0, start.size()), start)
        << "the unknown wavelength index is kept";
}

TEST_F(FramontPanel, APanelFileThatCannotBeWrittenIsPassedOverSilently) {
    Open();
    std::filesystem::remove(panels::FramontConfigFilePath());
    std::filesystem::create_directory(panels::FramontConfigFilePath());  // a folder in the file's place
    Close();
    EXPECT_EQ(Sent(), Commands{";LC:FL 0"});
    EXPECT_TRUE(app.dialogs.Messages().empty());
    Open();
    EXPECT_TRUE(panel().Visible());
    EXPECT_TRUE(app.dialogs.Messages().empty());
    std::filesystem::remove(panels::FramontConfigFilePath());
}

TEST_F(FramontPanel, ALinkedPanelFileStaysALinkAndTheNextOpeningReplaysWhatWasSaved) {
    const std::filesystem::path shared = panels::FramontConfigFilePath().parent_path() / "shared";
    std::filesystem::create_directories(shared);
    std::filesystem::create_symlink(shared / "bench Framont.txt", panels::FramontConfigFilePath());
    Open();
    panel().leRepRate->SetText("25");
    char enter = 13;
    panel().leRepRate->OnKeyPress(enter);
    Close();

    EXPECT_TRUE(std::filesystem::is_symlink(panels::FramontConfigFilePath()));
    EXPECT_EQ(ReadPanelFile(), "0,100\r\n0\r\n0\r\n0\r\n0\r\n0\r\n25\r\n0\r\n127\r\n89\r\n1,2500.00,2500.00\r\n0\r\n");
    Clear();
    app.Main().GRNIRControl1Click();
    const Commands sent = Sent();
    EXPECT_NE(std::find(sent.begin(), sent.end(), ";LC:RR 25"), sent.end());
    EXPECT_EQ(panel().leRepRate->Text(), "25");
    EXPECT_TRUE(std::filesystem::is_symlink(panels::FramontConfigFilePath()));
    std::filesystem::remove_all(shared);
}

TEST_F(FramontPanel, TheStatusPollShowsTheReplyOrFourZerosOnlyWhileEnabled) {
    Open();
    TFramontControlForm& p = panel();
    Reply(";LC:SS?", "12");
    p.tmrStatusTimer();
    EXPECT_TRUE(Sent().empty()) << "Enable Poll is unchecked";
    EXPECT_EQ(p.lblStatus->Caption(), "1000");
    p.cbStatus->SetChecked(true);
    p.tmrStatusTimer();
    EXPECT_EQ(p.lblStatus->Caption(), "12");
    Reply(";LC:SS?", "?E1");
    p.tmrStatusTimer();
    EXPECT_EQ(p.lblStatus->Caption(), "0000");
    EXPECT_EQ(Sent(), (Commands{";LC:SS?", ";LC:SS?"}));
}

TEST_F(FramontPanel, TheTimerPollsOnItsOwnAndStopsWhileTheWavelengthChanges) {
    Open();
    TFramontControlForm& p = panel();
    p.cbStatus->SetChecked(true);
    Reply(";LC:SS?", "7");
    ASSERT_TRUE(app.ProcessUntil([&] { return p.lblStatus->Caption() == "7"; }));
    p.cbWavelengthClick();
    EXPECT_FALSE(p.tmrStatus->Enabled());
}

TEST_F(FramontPanel, ServiceMenusSendTheirCommandsInOrder) {
    Open();
    TFramontControlForm& p = panel();
    p.PopupMenuMain->Find("Exercise All")->Click();
    p.PopupMenuMain->Find("Reset All")->Click();
    p.PopupMenuWL->Find("Reset Waveplate")->Click();
    p.PopupMenuSlit->Find("Exercise Slit")->Click();
    p.PopupMenuIlluminator->Find("Open Shutter")->Click();
    p.PopupMenuIlluminator->Find("Close Shutter")->Click();
    EXPECT_EQ(Sent(), (Commands{";SL:X3 00", ";FW:X3 00", ";WP:X3 00", ";SL:RS", ";FW:RS", ";WP:RS", ";WP:RS",
                                ";SL:X3 00", ";IL:SH 0", ";IL:SH 1"}));
    EXPECT_NE(p.PopupMenuMain->Find("Exercis Waveplate"), nullptr);
}

class FramontRead : public FramontPanel {
protected:
    void SetUp() override {
        FramontPanel::SetUp();
        Open();
    }
    void AnswerEveryQueryWith(const std::string& text) {
        for (const char* query : {";LC:ED?", ";LC:FL?", ";LC:AE?", ";LC:SW?", ";LC:MO?", ";LC:BU?", ";LC:RR?",
                                  ";LC:PA?", ";LC:IL? 0", ";LC:IL? 1", ";LC:SP?"})
            Reply(query, text);
    }
};

TEST_F(FramontRead, TheControllersAnswersGoIntoTheControls) {
    Reply(";LC:ED?", "1,350");
    Reply(";LC:FL?", "3");
    Reply(";LC:AE?", "1");
    Reply(";LC:SW?", "2 1");
    Reply(";LC:MO?", "2");
    Reply(";LC:BU?", "40");
    Reply(";LC:RR?", "25");
    Reply(";LC:PA?", "30");
    Reply(";LC:IL? 0", "80");
    Reply(";LC:IL? 1", "FF");
    Reply(";LC:SP?", "5,100,100");
    TFramontControlForm& p = panel();
    p.cmdUpdate->Click();
    EXPECT_EQ(Sent(), (Commands{";LC:ED?", ";LC:ED 1,350", ";LC:FL?", ";LC:AE?", ";LC:AE 1", ";LC:SW?", ";LC:FL 1",
                                ";LC:SW 2 1", ";LC:ED?", ";LC:MO?", ";LC:MO 2", ";LC:BU?", ";LC:RR?", ";LC:PA?",
                                ";LC:IL? 0", ";LC:IL? 1", ";LC:IL 1,255", ";LC:SP?", ";LC:SP 5,500.00,500.00"}));
    EXPECT_EQ(p.EnergyRange, 1);
    EXPECT_EQ(p.Energy, 350);
    EXPECT_TRUE(p.rbHighEnergy->Checked());
    EXPECT_EQ(p.LaserFire, 1) << "the wavelength read stops the laser after the fire state was read";
    EXPECT_TRUE(p.cbAutoEnergy->Checked());
    EXPECT_EQ(p.WavelengthIndex, 4);
    EXPECT_TRUE(p.sbStop->Down());
    EXPECT_TRUE(p.leBurstCount->Visible());
    EXPECT_EQ(p.BurstCount, 40);
    EXPECT_EQ(p.leRepRate->Text(), "25");
    EXPECT_EQ(p.RepRate, 25);
    EXPECT_EQ(p.leRepRate->Color(), ui::clWhite);
    EXPECT_EQ(p.PolarizationAngle, 30);
    EXPECT_EQ(p.tbPolarization->Position(), 30) << "Write to Controller must send back the angle read";
    EXPECT_EQ(p.FieldLEDRaw, 128);
    EXPECT_EQ(p.edFieldLED->Text(), "50");
    EXPECT_EQ(p.SlitLEDRaw, 255);
    EXPECT_EQ(p.edSlitLED->Text(), "100");
    EXPECT_EQ(p.cbSlitMag->ItemIndex(), 1);

    Close();
    const std::string saved = "1,350\r\n0\r\n1\r\n4\r\n2\r\n40\r\n25\r\n30\r\n128\r\n";
    EXPECT_EQ(ReadPanelFile().substr(0, saved.size()), saved);
}

TEST_F(FramontRead, ErrorRepliesLeaveTheControlsAsTheyWere) {
    TFramontControlForm& p = panel();
    p.leRepRate->SetText("7");  // typed, not committed: silver
    AnswerEveryQueryWith("?E3");
    p.cmdUpdateClick();
    EXPECT_EQ(Sent(), (Commands{";LC:ED?", ";LC:FL?", ";LC:AE?", ";LC:SW?", ";LC:FL 1", ";LC:ED?", ";LC:MO?",
                                ";LC:BU?", ";LC:RR?", ";LC:PA?", ";LC:IL? 0", ";LC:IL? 1", ";LC:SP?"}));
    EXPECT_EQ(p.Energy, 100);
    EXPECT_EQ(p.leEnergy->Text(), "100");
    EXPECT_EQ(p.LaserFire, 1);
    EXPECT_FALSE(p.cbAutoEnergy->Checked());
    EXPECT_EQ(p.cbWavelength->ItemIndex(), -1) << "an error reply selects no wavelength";
    EXPECT_EQ(p.cbMode->ItemIndex(), -1);
    EXPECT_FALSE(p.leBurstCount->Visible());
    EXPECT_EQ(p.leRepRate->Text(), "7");
    EXPECT_EQ(p.leRepRate->Color(), ui::clWhite) << "the read shows the edits white";
    EXPECT_EQ(p.RepRate, 50);
    EXPECT_EQ(p.FieldLEDRaw, 127);
    EXPECT_EQ(p.edFieldLED->Text(), "50");
    EXPECT_EQ(p.cbSlitMag->ItemIndex(), 0);
}

TEST_F(FramontRead, WavelengthAndModeRepliesMustMatchExactly) {
    Reply(";LC:SW?", "2 1 ");
    panel().QueryWavelength();
    EXPECT_EQ(Sent(), (Commands{";LC:SW?", ";LC:FL 1", ";LC:ED?"}));
    EXPECT_EQ(panel().WavelengthIndex, -1);
    Clear();
    Reply(";LC:MO?", "?E1");
    panel().QueryMode();
    EXPECT_EQ(Sent(), Commands{";LC:MO?"});
    EXPECT_FALSE(panel().leBurstCount->Visible());
}

TEST_F(FramontRead, EnergyRepliesWithAndWithoutARange) {
    TFramontControlForm& p = panel();
    Reply(";LC:ED?", "350");
    p.QueryEnergy();
    EXPECT_EQ(Sent(), Commands{";LC:ED?"}) << "LOW is checked already";
    EXPECT_EQ(p.Energy, 100);
    Clear();
    Reply(";LC:ED?", "1,350");
    p.QueryEnergy();
    EXPECT_EQ(Sent(), (Commands{";LC:ED?", ";LC:ED 1,350"}));
    Clear();
    p.QueryEnergy();
    EXPECT_EQ(Sent(), Commands{";LC:ED?"}) << "HIGH is checked already";
}

TEST_F(FramontRead, IlluminatorLevelsAreHexadecimalAndAnEmptyReplyIsTheLowest) {
    TFramontControlForm& p = panel();
    char enter = 13;
    p.edFieldLED->SetText("0");
    p.edFieldLEDKeyPress(enter);
    p.edSlitLED->SetText("0");
    p.edSlitLEDKeyPress(enter);
    Clear();
    Reply(";LC:IL? 0", "");
    Reply(";LC:IL? 1", "");
    p.QueryFieldLED();
    p.QuerySlitLED();
    EXPECT_EQ(p.FieldLEDRaw, 1);
    EXPECT_EQ(p.SlitLEDRaw, 0);
    EXPECT_EQ(p.edFieldLED->Text(), "0");
    EXPECT_EQ(p.edSlitLED->Text(), "0");
    EXPECT_EQ(Sent(), (Commands{";LC:IL? 0", ";LC:IL? 1"})) << "both stand at 0 % already";
}

TEST_F(FramontRead, AReadLevelEditedToZeroInThePanelFileLeavesTheIlluminatorAtZero) {
    Reply(";LC:IL? 0", "7F");
    Reply(";LC:IL? 1", "FF");
    panel().cmdUpdateClick();
    Close();
    panels::FramontPanelValues edited = panels::ReadFramontPanelText(ReadPanelFile());
    ASSERT_EQ(edited.SlitLEDRaw, 255);
    edited.SlitLEDRaw = 0;
    WritePanelFile(panels::FormatFramontPanelText(edited));
    Clear();
    app.Main().GRNIRControl1Click();
    EXPECT_EQ(SentStartingWith(";LC:IL 1,"), (Commands{";LC:IL 1,0", ";LC:IL 1,255", ";LC:IL 1,0"}))
        << "on again at the level read, then at the level of the file";
    EXPECT_EQ(panel().edSlitLED->Text(), "0");
    EXPECT_EQ(panel().tbSlitLED->Position(), 100);
    Close();
    EXPECT_EQ(panels::ReadFramontPanelText(ReadPanelFile()).SlitLEDRaw, 0);
}

TEST_F(FramontRead, AnIlluminatorSwitchedOffIsOnAfterwardsAtTheLevelRead) {
    TFramontControlForm& p = panel();
    p.cmdILFieldONOFF->Click();
    Reply(";LC:IL? 0", "FF");
    Reply(";LC:IL? 1", "59");
    Clear();
    p.cmdUpdateClick();
    EXPECT_EQ(SentStartingWith(";LC:IL "), Commands{}) << "the controller has the levels read";
    EXPECT_EQ(p.cmdILFieldONOFF->Caption(), "ON");
    EXPECT_TRUE(p.tbFieldLED->Enabled());
    EXPECT_TRUE(p.edFieldLED->Enabled());
    Clear();
    p.cmdILFieldONOFF->Click();
    EXPECT_EQ(p.cmdILFieldONOFF->Caption(), "OFF");
    p.cmdILFieldONOFF->Click();
    EXPECT_EQ(Sent(), (Commands{";LC:IL 0,0", ";LC:IL 0,255"}));
}

TEST_F(FramontRead, ALevelThatIsNotHexadecimalEndsTheReadWithTheConversionError) {
    Reply(";LC:IL? 0", "XYZ");
    panel().cmdUpdate->Click();
    EXPECT_EQ(app.dialogs.Exceptions(), std::vector<std::string>{"'0xXYZ' is not a valid integer value"});
    EXPECT_EQ(Sent().back(), ";LC:IL? 0") << "the slit queries after it do not run";
    EXPECT_EQ(panel().FieldLEDRaw, 127);
}

TEST_F(FramontRead, AQueryThatNeverReachesTheControllerReadsNothing) {
    TFramontControlForm& p = panel();
    Reply(";LC:RR?", "25");
    p.QueryRepRate();
    instrument.HangUp();
    p.leRepRate->SetText("3");
    p.QueryRepRate();
    EXPECT_EQ(p.RepRate, 25) << "the reply to an earlier command is not taken for this one's";
    EXPECT_EQ(p.leRepRate->Text(), "3");
}

class FramontWrite : public FramontPanel {
protected:
    void SetUp() override {
        FramontPanel::SetUp();
        Open();
    }
};

TEST_F(FramontWrite, TheWholeStateGoesOutAndTheLaserStops) {
    TFramontControlForm& p = panel();
    p.sbFireClick();
    p.leBurstCount->SetText("");
    p.tbTheta->SetPosition(5);
    Clear();
    p.cmdRefresh->Click();
    EXPECT_EQ(Sent(), (Commands{";LC:ED 0,100", ";LC:FL 1", ";LC:AE 0", ";LC:FL 1", ";LC:SW 3 0", ";LC:ED?",
                                ";LC:MO 0", ";LC:BU ", ";LC:RR 50", ";LC:PA 0", ";LC:IL 0,127", ";LC:IL 1,89",
                                ";LC:SP 1,2500.00,2500.00", ";LC:ST 5"}));
    EXPECT_EQ(p.LaserFire, 1);
    EXPECT_TRUE(p.sbStop->Down());
    EXPECT_EQ(p.ThetaValue, 5);
    EXPECT_EQ(p.tbTheta->SelStart(), 5);
}

TEST_F(FramontWrite, AnIlluminatorSwitchedOffIsWrittenDarkAndKeepsItsLevelForOn) {
    TFramontControlForm& p = panel();
    p.cmdILFieldONOFF->Click();
    Clear();
    p.cmdRefreshClick();
    EXPECT_EQ(SentStartingWith(";LC:IL "), (Commands{";LC:IL 0,0", ";LC:IL 1,89"}));
    EXPECT_EQ(p.cmdILFieldONOFF->Caption(), "OFF");
    Clear();
    p.cmdILFieldONOFF->Click();
    EXPECT_EQ(Sent(), Commands{";LC:IL 0,127"});
}

TEST_F(FramontWrite, ReadThenWriteGivesTheControllerBackWhatItHad) {
    TFramontControlForm& p = panel();
    Reply(";LC:PA?", "-30");
    Reply(";LC:IL? 0", "7F");
    Reply(";LC:IL? 1", "59");
    p.cmdUpdateClick();
    Clear();
    p.SetPolarizationAngle();
    p.SetFieldLED();
    EXPECT_EQ(Sent(), (Commands{";LC:PA -30", ";LC:IL 0,127"}));
}

}  // namespace
