// The Pexmar panel on the real forms: its opening, file replay, queries, settings and closing, as
// the instrument sees them.
#include <gtest/gtest.h>

#include <fstream>

#include <QWidget>

#include "panels/PanelFixture.h"
#include "panels/PexmarCommands.h"
#include "panels/Pexmarcontrol.h"
#include "support/ScopedPlatformHooks.h"

using paneltest::Commands;

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const Commands kInitialisationAndStatus{"!ECHO=0",     "!SET DIOD=3",    "!SET FREQ=3",    "!SET LEVE=3",
                                        "!SET RAMP=3", "!SET GATE=2",    "?SYSTEM",        "?LASER DATA",
                                        "?KEYSWITCH",  "?DIODE HOURS",   "?DIODE VOLTAGE", "?DIODE CURRENT",
                                        "?TEMPERATURE", "?WATER FLOW",   "?WARNING"};
const Commands kStop{"!GATE ACTIV=0", "!SHUTTER=0"};

Commands Join(std::initializer_list<Commands> parts) {
    Commands all;
    for (const Commands& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class PexmarPanel : public paneltest::PanelFixture {
protected:
    TPexmarControlForm& panel() { return *PexmarControlForm; }

    void WritePanelFile(const std::string& text) { std::ofstream(PexmarFile(), std::ios::binary) << text; }

    // Opens the panel from the menu; what the opening sends is left in Sent().
    void Open() { Main().PexmarSystem1Click(); }

    // Opens the panel and forgets what the opening sent.
    void OpenQuietly() {
        Open();
        instrument.ClearReceived();
    }

    // The commands after the opening's initialisation and status queries.
    Commands SentAfterStatus() {
        Commands sent = Sent();
        EXPECT_GE(sent.size(), kInitialisationAndStatus.size());
        sent.erase(sent.begin(), sent.begin() + static_cast<long>(std::min(sent.size(), kInitialisationAndStatus.size())));
        return sent;
    }
};

TEST_F(PexmarPanel, FirstOpeningMakesTheDefaultFileReplaysItAndClosingWritesItsShortForm) {
    Reply("?LASER DATA", "1064-IR\r\n");
    Reply("?DIODE VOLTAGE", "4.7+0.1\r\n");
    Reply("?TEMPERATURE", "21.5\r\n");
    Reply("?WARNING", "\r\n");
    Reply("?SYSTEM", "Ready\r\nmore");
    Open();
    EXPECT_EQ(Sent(), Join({kInitialisationAndStatus,
                            {"!PARAMETER SET=00", "!PARAMETER SET=LOAD", "!PULSE FREQUENCY=20.0",
                             "!DIODE SETCURRENT=13.0"},
                            kStop, {"!PULSE MODE=0", "!SHUTTER=0"}, kStop}));
    EXPECT_EQ(ReadAll(PexmarFile()), "00\r\n20.0\r\n13.0\r\n0\r\n0\r\n");
    EXPECT_EQ(panel().lblLaserType->Caption(), "1064nm");
    EXPECT_EQ(panel().lblDiodeVoltage->Caption(), "4.7 V");
    EXPECT_EQ(panel().lblWaterTemp->Caption(), "21.5 C");
    EXPECT_EQ(panel().lblWarning->Caption(), "None");
    EXPECT_EQ(panel().lblSystemState->Caption(), "Ready");
    EXPECT_EQ(panel().leFrequency->Text(), "20.0");
    EXPECT_EQ(panel().leFrequency->Color(), ui::clWhite);
    EXPECT_EQ(panel().leDiodeCurrent->Text(), "13.0");
    EXPECT_EQ(panel().pnlStoreRecall->Color(), ui::clGray);
    EXPECT_TRUE(panel().tmrStatus->Enabled());
    EXPECT_EQ(Main().State(), ui::WindowState::Minimized);

    instrument.ClearReceived();
    panel().Close();
    EXPECT_EQ(Sent(), kStop);
    EXPECT_FALSE(panel().tmrStatus->Enabled());
    EXPECT_EQ(ReadAll(PexmarFile()), "00\r\n20\r\n13\r\n0\r\n0\r\n");
    EXPECT_EQ(Main().State(), ui::WindowState::Normal);
}

TEST_F(PexmarPanel, LongRepliesFillTheValueLabelsWithoutGrowingTheWindow) {
    for (const char* query : {"?LASER DATA", "?SYSTEM", "?KEYSWITCH", "?DIODE HOURS", "?WARNING"})
        Reply(query, "Diode1: 00086h, Diode2: 00086h, Diode3: 00086h\r\n");
    EXPECT_EQ(panel().Width(), 362);
    EXPECT_EQ(panel().Height(), 541);
    const QRect frequency = panel().leFrequency->Widget()->geometry();
    Open();
    testsupport::TalvaneApp::ProcessEvents();
    EXPECT_EQ(panel().lblDiodeHours->Caption(), "Diode1: 00086h, Diode2: 00086h, Diode3: 00086h");
    EXPECT_EQ(panel().Width(), 362);
    EXPECT_EQ(panel().Height(), 541);
    EXPECT_EQ(panel().leFrequency->Widget()->geometry(), frequency);
}

TEST_F(PexmarPanel, WithShowTalvaneCheckedClosingLeavesTheMainWindowAlone) {
    Main().ShowTalvane1Click();
    Main().SetWindowState(ui::WindowState::Minimized);
    Open();
    panel().Close();
    EXPECT_EQ(Main().State(), ui::WindowState::Minimized);
}

TEST_F(PexmarPanel, AnUncommittedValueStaysInItsEditWhileTheOperatorWorksElsewhereAndIsNotSentAtTheClose) {
    OpenQuietly();
    Activate(panel());
    ui::TEdit& frequency = *panel().leFrequency;
    paneltest::Type(frequency, "40");
    Main().edString[0]->SetText("*IDN?");
    QApplication::setActiveWindow(Main().Window());
    Activate(panel());
    EXPECT_TRUE(frequency.Focused());
    EXPECT_EQ(Main().State(), ui::WindowState::Minimized) << "Hide Talvane is in force";
    QTest::keyClick(frequency.Widget(), Qt::Key_F1);
    EXPECT_EQ(Sent(), Commands{"*IDN?"}) << "the main window's F1, and no exit from the edit";
    EXPECT_TRUE(frequency.Focused());

    instrument.ClearReceived();
    panel().Close();
    EXPECT_EQ(Sent(), kStop) << "exactly what the close handler sends";
    EXPECT_EQ(ReadAll(PexmarFile()), "00\r\n20\r\n13\r\n0\r\n0\r\n");
}

TEST_F(PexmarPanel, EnterOnAPointShowsItsErrorBoxOnce) {
    OpenQuietly();
    Activate(panel());
    app.dialogs.OpenRealBoxes();
    paneltest::Type(*panel().leFrequency, ".");
    paneltest::Enter(*panel().leFrequency);
    EXPECT_EQ(Exceptions(), std::vector<std::string>{"'.' is not a valid floating point value"});
    EXPECT_TRUE(Sent().empty());
}

TEST_F(PexmarPanel, AHandWrittenFileIsReplayedWordByWordAndTheCommittedValuesSaved) {
    WritePanelFile(" 05\n45.5\n  30.0 \n1\n1");
    Open();
    EXPECT_EQ(SentAfterStatus(),
              Join({{"!PARAMETER SET=05", "!PARAMETER SET=LOAD", "!PULSE FREQUENCY=45.5", "!DIODE SETCURRENT=30.0"},
                    kStop, {"!PULSE MODE=1", "!SHUTTER=1"}, kStop}));
    EXPECT_EQ(panel().cboParameterSet->Text(), "05");
    EXPECT_EQ(panel().cboPulseMode->Text(), "PULSED");
    EXPECT_EQ(panel().ShutterIndex, 0) << "the replay ends with a stop, which closes the shutter";

    panel().leFrequency->SetText("55.56");
    char enter = 13;
    panel().leFrequencyKeyPress(enter);
    panel().Close();
    EXPECT_EQ(ReadAll(PexmarFile()), "05\r\n55.56\r\n30\r\n1\r\n0\r\n");
}

TEST_F(PexmarPanel, ABadFrequencyWordIsReportedAndEndsTheReplay) {
    WritePanelFile("07 abc 30 1 1\r\n");
    Open();
    EXPECT_EQ(SentAfterStatus(), (Commands{"!PARAMETER SET=07", "!PARAMETER SET=LOAD"}));
    EXPECT_EQ(Exceptions(), std::vector<std::string>{"'abc' is not a valid floating point value"});
    EXPECT_EQ(panel().FrequencyValue, 0.0f);
    EXPECT_EQ(panel().leFrequency->Text(), "100.0") << "the design text stays";
}

TEST_F(PexmarPanel, ShortOrOutOfRangeFilesNeverDriveTheLaserBeyondThePanelsLimits) {
    WritePanelFile("03 150 80");
    Open();
    EXPECT_EQ(SentAfterStatus(), Join({{"!PARAMETER SET=03", "!PARAMETER SET=LOAD", "!PULSE FREQUENCY=20.0",
                                        "!DIODE SETCURRENT=13.0"},
                                       kStop}));
    EXPECT_TRUE(Exceptions().empty());
    EXPECT_EQ(panel().DiodeCurrentValue, 13.0f);
}

TEST_F(PexmarPanel, AParameterSetThatMatchesNoItemIsSavedSoTheOtherValuesKeepTheirPlaces) {
    WritePanelFile("xx 45.5 30 0 0");
    Open();
    EXPECT_EQ(SentAfterStatus().front(), "!PARAMETER SET=LOAD") << "no set is selected, the recall still goes";
    EXPECT_EQ(panel().ParameterSetText, "");
    panel().Close();
    EXPECT_EQ(ReadAll(PexmarFile()), "none\r\n45.5\r\n30\r\n0\r\n0\r\n");

    instrument.ClearReceived();
    Open();
    const Commands replay = SentAfterStatus();
    ASSERT_GE(replay.size(), 3u);
    EXPECT_EQ(replay[1], "!PULSE FREQUENCY=45.5");
    EXPECT_EQ(replay[2], "!DIODE SETCURRENT=30.0");
}

TEST_F(PexmarPanel, ChoosingAParameterSetSendsItAndStoreOrRecallEndTheGreenMark) {
    OpenQuietly();
    panel().cboParameterSet->SetItemIndex(5);
    panel().cboParameterSetSelect();
    EXPECT_EQ(panel().pnlStoreRecall->Color(), ui::clGreen);
    panel().cboParameterSet->SetItemIndex(15);
    panel().cboParameterSetSelect();
    panel().cmdStore->Click();
    EXPECT_EQ(panel().pnlStoreRecall->Color(), ui::clGray);
    EXPECT_EQ(Sent(), (Commands{"!PARAMETER SET=05", "!PARAMETER SET=15", "!PARAMETER SET=SAVE"}));
    EXPECT_EQ(panel().ParameterSetText, "15");
}

TEST_F(PexmarPanel, ErrorRepliesLeaveTheControlsAndOtherRepliesSetThemAndAreWrittenBack) {
    OpenQuietly();
    Reply("?WARNING", "Flow low\r\n");
    panel().QueryWarning();
    Reply("?WARNING", "Error 12\r\n");
    panel().QueryWarning();
    EXPECT_EQ(panel().lblWarning->Caption(), "Flow low");

    Reply("?PULSE MODE", "1\r\n");
    panel().QueryPulseMode();
    EXPECT_EQ(panel().cboPulseMode->Text(), "PULSED");
    Reply("?PULSE MODE", "PULSED\r\n");
    panel().QueryPulseMode();
    EXPECT_EQ(panel().cboPulseMode->Text(), "CW");

    Reply("?PULSE FREQUENCY", "45.5+0\r\n");
    panel().QueryFrequency();
    EXPECT_EQ(panel().leFrequency->Text(), "45.5");
    Reply("?PULSE FREQUENCY", "Error\r\n");
    panel().QueryFrequency();
    EXPECT_EQ(Sent(), Join({{"?WARNING", "?WARNING", "?PULSE MODE"}, kStop, {"!PULSE MODE=1", "?PULSE MODE"}, kStop,
                            {"!PULSE MODE=0", "?PULSE FREQUENCY", "!PULSE FREQUENCY=45.5", "?PULSE FREQUENCY"}}));
    EXPECT_EQ(panel().FrequencyValue, 45.5f);
}

TEST_F(PexmarPanel, ReadLaserStopsAtAReplyThatIsNoNumber) {
    OpenQuietly();
    testsupport::ScopedPauses pauses(1);
    Reply("?PARAMETER SET", "03\r\n");
    Reply("?PULSE FREQUENCY", "45.5\r\n");
    panel().cmdUpdate->Click();
    EXPECT_EQ(Sent(), Join({kStop, {"?PARAMETER SET", "!PARAMETER SET=03", "!PARAMETER SET=LOAD", "?PULSE FREQUENCY"}}));
    EXPECT_EQ(pauses.Count(500), 1u);
    EXPECT_EQ(Exceptions(), std::vector<std::string>{"'' is not a valid floating point value"});
    EXPECT_EQ(panel().FrequencyValue, 20.0f);
}

TEST_F(PexmarPanel, WriteToLaserAfterFireStopsFirstAndEndsWithTheShutterClosed) {
    OpenQuietly();
    panel().sbFire->Click();
    EXPECT_EQ(Sent(), (Commands{"!GATE ACTIV=1", "!SHUTTER=1"}));
    EXPECT_TRUE(panel().sbFire->Widget()->styleSheet().contains("color: #ff0000"));
    instrument.ClearReceived();
    panel().cmdRefresh->Click();
    EXPECT_EQ(Sent(), Join({kStop, {"!PARAMETER SET=00", "!PARAMETER SET=LOAD", "!PULSE FREQUENCY=20.0",
                                    "!DIODE SETCURRENT=13.0", "!PULSE MODE=0", "!SHUTTER=0"}}));
}

TEST_F(PexmarPanel, TheStatusPollAsksOnlyWhileQueryStatusIsChecked) {
    OpenQuietly();
    panel().tmrStatusTimer();
    EXPECT_TRUE(Sent().empty());
    panel().cbStatus->SetChecked(true);
    panel().tmrStatusTimer();
    EXPECT_EQ(Sent(), (Commands{"?SYSTEM", "?KEYSWITCH", "?DIODE HOURS", "?DIODE VOLTAGE", "?DIODE CURRENT",
                                "?TEMPERATURE", "?WATER FLOW", "?WARNING"}));
    EXPECT_EQ(panel().tmrStatus->Interval(), 5000);
}

// The operator sets every control to one end of its range; the panel is closed (it saves), opened
// again (it replays the file) and closed again. Each line must come back as saved, from the reader
// alone and through the replay.
class PexmarRoundTrip : public PexmarPanel {
protected:
    void SetUp() override {
        PexmarPanel::SetUp();
        Open();
        Activate(panel());
    }

    void SetEveryControl(int set, const std::string& frequency, const std::string& current, int mode, int shutter) {
        paneltest::Pick(*panel().cboParameterSet, set);
        paneltest::Type(*panel().leFrequency, frequency);
        paneltest::Enter(*panel().leFrequency);
        paneltest::Type(*panel().leDiodeCurrent, current);
        paneltest::Enter(*panel().leDiodeCurrent);
        paneltest::Pick(*panel().cboPulseMode, mode);
        paneltest::Pick(*panel().cboShutter, shutter);
    }

    void ExpectSavedAndReplayedAlike(const std::string& expected) {
        panel().Close();
        const std::string saved = ReadAll(PexmarFile());
        ASSERT_EQ(saved, expected) << "the controls did not reach their ends";
        Open();
        panel().Close();
        const panels::pexmar::PanelFileReading file = panels::pexmar::ReadPanelFileText(saved);
        const panels::pexmar::PanelFileValues values{*file.parameterSet, file.frequency->Value(),
                                                     file.diodeCurrent->Value(), *file.pulseMode, *file.shutter};
        const std::vector<std::string> savedLines = panels::pexmar::PanelFileWords(saved);
        const std::vector<std::string> reread = panels::pexmar::PanelFileWords(panels::pexmar::PanelFileText(values));
        const std::vector<std::string> replayed = panels::pexmar::PanelFileWords(ReadAll(PexmarFile()));
        ASSERT_EQ(savedLines.size(), 5u);
        for (std::size_t i = 0; i < savedLines.size(); ++i) {
            EXPECT_EQ(reread.at(i), savedLines[i]) << "line " << i + 1 << " as the reader gives it";
            EXPECT_EQ(replayed.at(i), savedLines[i]) << "line " << i + 1 << " after the replay";
        }
        EXPECT_TRUE(Exceptions().empty());
    }
};

TEST_F(PexmarRoundTrip, EveryControlAtItsUpperEndComesBack) {
    SetEveryControl(15, "100", "50", 1, 1);
    panel().sbFire->Click();
    EXPECT_EQ(panel().FrequencyValue, 100.0f);
    ExpectSavedAndReplayedAlike("15\r\n100\r\n50\r\n1\r\n0\r\n");
}

TEST_F(PexmarRoundTrip, EveryControlAtItsLowerEndComesBack) {
    SetEveryControl(15, "100", "50", 1, 1);
    SetEveryControl(0, "20", "13", 0, 0);
    ExpectSavedAndReplayedAlike("00\r\n20\r\n13\r\n0\r\n0\r\n");
}

}  // namespace
