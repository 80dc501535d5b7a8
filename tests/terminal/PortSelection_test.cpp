// Port scan, selection, rescan, reconfiguration and lending on the real main window, with fake
// instruments on pseudo-terminals linked as COM97 and COM98 (so the machine's own ports never matter).
#include <gtest/gtest.h>
#include <termios.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <ostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "serial/CommSettings.h"
#include "settings_transfer/Instrumentsetting.h"
#include "support/FakeInstrument.h"
#include "support/TalvaneApp.h"
#include "terminal/ConfigFile.h"
#include "terminal/ConfigFileCleaner.h"
#include "terminal/commcyclethread.h"
#include "ui/GuiThread.h"

using testsupport::FakeInstrument;
using testsupport::TalvaneApp;

namespace {

constexpr const char* kPortWarning = "A communications port must be selected before sending commands";
constexpr const char* kCommaWarning =
    "If the terminal string contains \r\nmultiple bytes, each byte must \r\nbe separated by a comma.";

// The operator picks an item of a combo box's list.
void Choose(ui::TComboBox& combo, const std::string& item) {
    const int index = TTalvaneForm::FindComboText(combo, item);
    ASSERT_GE(index, 0) << item;
    combo.SetItemIndex(index);
    emit combo.Combo()->activated(index);
}

void Press(ui::TButton& button) { static_cast<QAbstractButton*>(button.Widget())->click(); }

void Type(ui::TEdit& edit, const std::string& text) {
    edit.LineEdit()->clear();
    QTest::keyClicks(edit.LineEdit(), QString::fromLatin1(text.c_str()));
}

speed_t Speed(const termios& settings) { return cfgetospeed(&settings); }

// What the port object last applied. A pseudo-terminal keeps the speed and the stop bits it is given
// but always reports 8 data bits and no parity, so those two are read from the port object's record.
struct AppliedLine {
    speed_t speed;
    int byteSize;
    int parity;
    bool twoStopBits;
    bool operator==(const AppliedLine&) const = default;
};

AppliedLine Applied(const FakeInstrument& device, const CSerialPort& port) {
    const termios line = device.LineSettings();
    return {Speed(line), port.Dcb.byteSize, port.Dcb.parity, (line.c_cflag & CSTOPB) != 0};
}

void PrintTo(const AppliedLine& a, std::ostream* out) {
    *out << "speed code " << a.speed << ", " << a.byteSize << " bits, parity " << a.parity
         << (a.twoStopBits ? ", 2 stop" : ", 1 stop");
}

class PortSelection : public ::testing::Test {
protected:
    // Writes a configuration naming comName (nothing for none) changed by edit, then starts.
    void Start(std::optional<std::string> comName = std::nullopt,
               const std::function<void(terminal::ConfigValues&)>& edit = {}) {
        app.reset();
        if (comName)
            TalvaneApp::WriteConfig([&](terminal::ConfigValues& v) {
                v.PortName = *comName;
                if (edit)
                    edit(v);
            });
        app.emplace();
        app->Start();
    }

    TTalvaneForm& Main() { return app->Main(); }
    int PortWarnings() const { return app->dialogs.CountMessages(kPortWarning); }
    int ListIndex(const std::string& name) { return TTalvaneForm::FindComboText(*Main().cboTalvane, name); }

    static bool OneWorkerRuns() {
        return CommCycleThread != nullptr && !CommCycleThread->Terminated() &&
               TalvaneApp::ProcessUntil([] { return TCommCycleThread::AliveCount() == 1; });
    }
    static bool NoWorkerRuns() {
        return CommCycleThread == nullptr &&
               TalvaneApp::ProcessUntil([] { return TCommCycleThread::AliveCount() == 0; });
    }

    // The "Cycle" boxes are enabled by the group switch of the configuration load (it stops any cycle),
    // so after a start-up that selects no port only the other command controls are disabled.
    std::vector<ui::TControl*> CommandControls(bool withCycleBoxes) {
        TTalvaneForm& m = Main();
        std::vector<ui::TControl*> controls{m.eSendCommand, m.reTalvane,   m.cmdStartCycle,  m.cmdStopCycle,
                                            m.leCycleCount, m.leCycleDelay, m.leCurrentCycle, m.leCommandDelay};
        for (std::size_t k = 0; k < 5; ++k) {
            controls.insert(controls.end(), {m.bbSendString[k], m.edString[k]});
            if (withCycleBoxes)
                controls.push_back(m.cbCycleString[k]);
        }
        return controls;
    }
    bool CommandControlsAre(bool enabled, bool withCycleBoxes = true) {
        for (ui::TControl* control : CommandControls(withCycleBoxes))
            if (control->Enabled() != enabled)
                return false;
        return true;
    }

    // The port in use as the operator sees it: the combo's choice and the status bar.
    void ExpectPortInUse(const std::string& name, const std::string& settings) {
        EXPECT_EQ(Main().cboTalvane->Text(), name);
        EXPECT_EQ(Main().cboTalvane->ItemIndex(), ListIndex(name));
        EXPECT_GE(ListIndex(name), 0);
        EXPECT_TRUE(Main().SerialPort->IsPortOpen());
        EXPECT_EQ(Main().sbCommProperties->PanelText(0), "Port: " + name);
        EXPECT_EQ(Main().sbCommProperties->PanelText(1), settings);
        EXPECT_TRUE(CommandControlsAre(true));
        EXPECT_TRUE(Main().DelayTimer->Enabled());
        EXPECT_TRUE(OneWorkerRuns());
    }

    void ExpectNoPortInUse(bool atStartUp) {
        EXPECT_EQ(Main().cboTalvane->Text(), "Comm Port");
        EXPECT_EQ(Main().cboTalvane->ItemIndex(), -1);
        EXPECT_FALSE(Main().SerialPort->IsPortOpen());
        EXPECT_TRUE(CommandControlsAre(false, !atStartUp));
        EXPECT_TRUE(NoWorkerRuns());
    }

    testsupport::ConfigFileCleaner cleaner;
    FakeInstrument instrument{"COM97"};
    std::optional<TalvaneApp> app;
};

TEST_F(PortSelection, ConfiguredPortIsOpenedConfiguredAndServedByOneWorker) {
    Start("COM97");

    ExpectPortInUse("COM97", "Settings: 9600 8-N-1");
    EXPECT_EQ(PortWarnings(), 0);
    EXPECT_EQ(Applied(instrument, *Main().SerialPort), (AppliedLine{B9600, 8, 0, false}));
    EXPECT_EQ(Main().eSendCommand->Text(), "Command");

    app->Send("VER?");
    EXPECT_EQ(instrument.Received(), "VER?\r\n");
}

TEST_F(PortSelection, ConfiguredLineSettingsAndTerminatorReachTheDevice) {
    Start("COM97", [](terminal::ConfigValues& v) {
        v.BaudString = "19200";
        v.BaudRate = 19200;
        v.DataBits = 4;
        v.Parity = 2;
        v.StopBits = 2;
        v.TerminatorText = "0A";
    });

    ExpectPortInUse("COM97", "Settings: 19200 7-E-2");
    EXPECT_EQ(Applied(instrument, *Main().SerialPort), (AppliedLine{B19200, 7, 2, true}));

    instrument.SetTerminator("\n");
    app->Send("VER?");
    EXPECT_EQ(instrument.Received(), "VER?\n");
}

TEST_F(PortSelection, NoPortConfiguredOrConfiguredPortMissingWarnsOnceAndStartsNoWorker) {
    for (const std::string configured : {"COMX", "COM98"}) {
        SCOPED_TRACE(configured);
        Start(configured);

        ASSERT_EQ(PortWarnings(), 1);
        const testsupport::ShownMessage warning = app->dialogs.Messages().front();
        EXPECT_EQ(warning.caption, "Communications Port Warning");
        EXPECT_EQ(warning.icon, ui::MsgIcon::Warning);
        ExpectNoPortInUse(true);
        EXPECT_GE(ListIndex("COM97"), 0) << "the ports found are listed all the same";
        EXPECT_TRUE(Main().cboTalvane->Enabled());
        EXPECT_EQ(Main().sbCommProperties->PanelText(0), "Port: NONE");
        EXPECT_FALSE(Main().ConfigChanged);
    }
}

TEST_F(PortSelection, ListHoldsThePresentPortsInAscendingOrder) {
    FakeInstrument second("COM98");
    FakeInstrument vanished("COM99");
    vanished.HangUp();
    Start();

    const std::vector<std::string> items = Main().cboTalvane->Items();
    int previous = 0;
    for (const std::string& item : items) {
        ASSERT_TRUE(item.starts_with("COM")) << item;
        const int number = std::stoi(item.substr(3));
        EXPECT_GT(number, previous) << item;
        EXPECT_LE(number, 119);
        previous = number;
    }
    EXPECT_GE(ListIndex("COM97"), 0);
    EXPECT_EQ(ListIndex("COM98"), ListIndex("COM97") + 1);
    EXPECT_EQ(ListIndex("COM99"), -1);
}

TEST_F(PortSelection, OperatorsChoiceOpensThePortAndTheCloseRemembersIt) {
    FakeInstrument second("COM98");
    Start();
    ASSERT_EQ(PortWarnings(), 1);

    Choose(*Main().cboTalvane, "COM97");
    ExpectPortInUse("COM97", "Settings: 9600 8-N-1");
    EXPECT_TRUE(Main().ConfigChanged) << "every selection marks the configuration changed";

    Main().ConfigChanged = false;
    Choose(*Main().cboTalvane, "COM98");
    ExpectPortInUse("COM98", "Settings: 9600 8-N-1");
    EXPECT_TRUE(Main().ConfigChanged);
    CSerialPort other;
    EXPECT_TRUE(other.OpenPort("COM97")) << "the port chosen before is released";

    Main().Close();
    const terminal::ConfigReadResult saved = terminal::ReadConfigText(*terminal::ReadFileText(ConfigFilePath()));
    EXPECT_EQ(saved.values.PortName, "COM98");

    app.reset();
    app.emplace();
    app->Start();
    ExpectPortInUse("COM98", "Settings: 9600 8-N-1");
    EXPECT_EQ(PortWarnings(), 0);
}

TEST_F(PortSelection, RescanSelectsAPresentPortAgainAndConfiguresItAnew) {
    Start("COM97");
    Main().SerialPort->BaudRate = 38400;
    Main().SerialPort->BaudString = "38400";
    Main().leCycleCount->SetText("7");
    Main().LogEnabled = true;

    Main().CommPortScan1Click();

    ExpectPortInUse("COM97", "Settings: 38400 8-N-1");
    EXPECT_EQ(Speed(instrument.LineSettings()), B38400);
    EXPECT_EQ(PortWarnings(), 0);
    EXPECT_EQ(Main().leCycleCount->Text(), "1");
    EXPECT_FALSE(Main().LogEnabled);
    const std::vector<std::string> items = Main().cboTalvane->Items();
    EXPECT_EQ(std::count(items.begin(), items.end(), "COM97"), 1) << "the list is emptied before it is filled";
}

TEST_F(PortSelection, RescanAfterTheDeviceVanishedWarnsTwiceAndLeavesNoPort) {
    Start("COM97");
    instrument.HangUp();

    Main().CommPortScan1Click();

    EXPECT_EQ(PortWarnings(), 2);
    EXPECT_EQ(ListIndex("COM97"), -1);
    ExpectNoPortInUse(false);
}

// The operator types a command and presses Enter.
void SendTyped(TTalvaneForm& main, const std::string& command) {
    Type(*main.eSendCommand, command);
    QTest::keyClick(main.eSendCommand->LineEdit(), Qt::Key_Return);
}

std::vector<std::filesystem::path> SavedPaneFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(InstallFolder() / "Logs"))
        if (entry.path().filename().string().starts_with("Talvane Output"))
            files.push_back(entry.path());
    return files;
}

TEST_F(PortSelection, ARescanAfterTheDeviceVanishedKeepsTheTranscriptAndTheSessionsHistory) {
    Start("COM97");
    Main().ConfigChanged = false;
    SendTyped(Main(), "ID?");
    SendTyped(Main(), "RATE?");
    instrument.HangUp();
    SendTyped(Main(), "LAST?");  // the port does not open again: the road rescans

    EXPECT_EQ(PortWarnings(), 2);
    EXPECT_TRUE(Main().reTalvane->Lines().empty());
    const auto saved = SavedPaneFiles();
    ASSERT_EQ(saved.size(), 1u);
    const std::string transcript = *terminal::ReadFileText(saved[0]);
    for (const char* exchange : {"]  ID?\r\n", "]  RATE?\r\n", "]  OK\r\n"})
        EXPECT_NE(transcript.find(exchange), std::string::npos) << exchange << " in " << transcript;
    EXPECT_TRUE(Main().ConfigChanged) << "the rescan keeps the session's changes";

    Main().Close();
    const terminal::ConfigReadResult config = terminal::ReadConfigText(*terminal::ReadFileText(ConfigFilePath()));
    const auto& history = config.values.CommandGroups[static_cast<std::size_t>(Main().CurrentGroup)].Commands;
    EXPECT_NE(std::find(history.begin(), history.end(), "ID?"), history.end());
    EXPECT_NE(std::find(history.begin(), history.end(), "RATE?"), history.end());
}

// Records on which thread each message box was asked for.
class ThreadRecordingDialogs : public testsupport::DialogFake {
public:
    int MessageBox(const std::string& text, const std::string& caption, ui::MsgIcon icon,
                   ui::MsgButtons buttons) override {
        askedOnGui.push_back(ui::IsGuiThread());
        return DialogFake::MessageBox(text, caption, icon, buttons);
    }
    std::vector<bool> askedOnGui;
};

// The threading suite (run under ThreadSanitizer too).
class PortSelectionThreads : public PortSelection {};

TEST_F(PortSelectionThreads, RescanStartedByTheWorkersRoadRunsOnTheGuiThreadAndEndsTheWorker) {
    Start("COM97");
    Main().edString[0]->SetText("PING");
    Main().cbCycleString[0]->SetChecked(true);
    Main().leCycleCount->SetText("0");
    Main().leCommandDelay->SetText("1");
    Main().cmdStartCycleClick();
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return instrument.CommandCount() >= 2; }));

    std::vector<bool> askedOnGui;
    {
        ThreadRecordingDialogs dialogs;
        instrument.HangUp();
        EXPECT_TRUE(TalvaneApp::ProcessUntil([&] { return dialogs.askedOnGui.size() == 2; }, 60000));
        askedOnGui = dialogs.askedOnGui;
    }
    ui::SetDialogs(&app->dialogs);

    EXPECT_EQ(askedOnGui, std::vector<bool>({true, true}));
    EXPECT_FALSE(Main().WorkerRunsCycle());
    ExpectNoPortInUse(false);
}

// A strings cycle of S1 and S2 runs; the GUI thread then holds the port while the worker is inside
// the door with a string it has not sent, so the worker waits for the port.
class WaitingWorkerThreads : public PortSelectionThreads {
protected:
    void StartWithAWorkerWaitingForThePort() {
        Start("COM97");
        Main().edString[0]->SetText("S1");
        Main().edString[1]->SetText("S2");
        Main().cbCycleString[0]->SetChecked(true);
        Main().cbCycleString[1]->SetChecked(true);
        Main().leCycleCount->SetText("0");
        Main().leCommandDelay->SetText("0");
        Main().cmdStartCycleClick();
        ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return instrument.CommandCount() >= 2; }));
        Main().HoldPort();
        // Every string sent has arrived (the hold waited for the exchange); the command line shows
        // the next one once the worker has passed the cycle's own checks.
        ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return Main().eSendCommand->Text() != instrument.Commands().back(); }));
    }
};

TEST_F(WaitingWorkerThreads, AWorkerReplacedWhileItWaitsForThePortSendsNothingOnceThePortIsFree) {
    const std::vector<std::pair<const char*, void (TTalvaneForm::*)()>> replacements{
        {"selection", &TTalvaneForm::cboTalvaneSelect},
        {"rescan", &TTalvaneForm::CommPortScan1Click},
        {"reconfiguration", &TTalvaneForm::CommProperties1Click},
        {"lending", &TTalvaneForm::DownloadSettings1Click}};
    for (const auto& [name, replace] : replacements) {
        SCOPED_TRACE(name);
        StartWithAWorkerWaitingForThePort();
        const std::size_t sent = instrument.CommandCount();

        (Main().*replace)();
        Main().ReleasePort();

        ASSERT_TRUE(OneWorkerRuns()) << "the replaced worker has ended";
        EXPECT_EQ(instrument.CommandCount(), sent);
        EXPECT_FALSE(Main().PortBusy);
    }
}

TEST_F(WaitingWorkerThreads, TheRescanOfAGuiSendThatCannotReopenThePortLeavesTheWaitingWorkerSilent) {
    StartWithAWorkerWaitingForThePort();
    const std::size_t sent = instrument.CommandCount();
    instrument.HangUp();
    // As a rule the GUI thread's send takes the port first; when the worker wins it instead, the
    // worker fails to reopen and rescans before it is replaced, which is no fault.
    Main().ReleasePort();

    EXPECT_EQ(Main().SendThroughDoor("GUI"), std::nullopt);
    const int warnings = PortWarnings();

    ASSERT_TRUE(NoWorkerRuns()) << "the rescan found no port and the replaced worker has ended";
    EXPECT_EQ(instrument.CommandCount(), sent);
    EXPECT_EQ(PortWarnings(), warnings) << "the replaced worker starts no rescan of its own";
    EXPECT_FALSE(Main().PortBusy);
}

TEST_F(PortSelection, LendingTheOpenPortHoldsItWithNoWorkerUntilTheSettingsWindowCloses) {
    Start("COM97");
    for (const auto lend : {&TTalvaneForm::DownloadSettings1Click, &TTalvaneForm::UploadSettings1Click}) {
        bool shown = false;
        app->dialogs.QueueModal([&](ui::TForm& form) {
            shown = &form == InstrumentSettingForm;
            EXPECT_TRUE(Main().PortBusy);
            EXPECT_EQ(CommCycleThread, nullptr);
        });
        (Main().*lend)();
        EXPECT_TRUE(shown);
        EXPECT_FALSE(Main().PortBusy);
        EXPECT_TRUE(OneWorkerRuns());
    }
}

TEST_F(PortSelection, LendingAClosedPortDoesNothing) {
    Start();
    bool shown = false;
    app->dialogs.QueueModal([&](ui::TForm&) { shown = true; });

    Main().DownloadSettings1Click();

    EXPECT_FALSE(shown);
    EXPECT_FALSE(Main().PortBusy);
    EXPECT_TRUE(NoWorkerRuns());
    EXPECT_EQ(app->dialogs.Messages().size(), 1u) << "only the start-up's port warning";
}

TEST_F(PortSelection, SettingsDialogAppliesTheChosenNumbersAndCancelPutsThemBack) {
    Start("COM97");
    app->dialogs.QueueModal([](ui::TForm&) {
        Choose(*CommSettingForm->cboDataBits, "7");
        Choose(*CommSettingForm->cboParity, "Even");
        Press(*CommSettingForm->cmdOK);
    });
    Main().CommProperties1Click();

    EXPECT_EQ(Main().SerialPort->DataBits, 4);
    EXPECT_EQ(Main().sbCommProperties->PanelText(1), "Settings: 9600 7-E-1");
    EXPECT_EQ(Applied(instrument, *Main().SerialPort), (AppliedLine{B9600, 7, 2, false}));
    EXPECT_EQ(CommSettingForm->Caption(), "COM97 Properties");
    EXPECT_TRUE(OneWorkerRuns());

    app->dialogs.QueueModal([](ui::TForm&) {
        Choose(*CommSettingForm->cboBaudRate, "19200");
        Press(*CommSettingForm->Button1);
    });
    Main().CommProperties1Click();

    EXPECT_EQ(Main().SerialPort->BaudRate, 9600);
    EXPECT_EQ(Main().sbCommProperties->PanelText(1), "Settings: 9600 7-E-1");
    EXPECT_EQ(Applied(instrument, *Main().SerialPort), (AppliedLine{B9600, 7, 2, false}));
    EXPECT_TRUE(OneWorkerRuns());
}

TEST_F(PortSelection, TerminatorLeftUnappliedIsAskedForUntilItKeepsTheCommaRuleThenApplied) {
    Start("COM97");
    app->dialogs.QueueModal([](ui::TForm&) {
        Type(*CommSettingForm->leTerminationString, "0D0A");
        Press(*CommSettingForm->cmdOK);
    });
    app->dialogs.QueueModal([](ui::TForm&) {
        Type(*CommSettingForm->leTerminationString, "0A");
        Press(*CommSettingForm->Button1);
    });

    Main().CommProperties1Click();

    EXPECT_EQ(app->dialogs.CountMessages(kCommaWarning), 1);
    EXPECT_EQ(Main().TerminatorText, "0A");
    EXPECT_EQ(Main().Terminator, "\n");
    EXPECT_FALSE(Main().TerminatorChanged);
    instrument.SetTerminator("\n");
    app->Send("VER?");
    EXPECT_EQ(instrument.Received(), "VER?\n");
}

TEST_F(PortSelection, TerminatorThatDoesNotConvertKeepsTheOldOneAndTheReconfigurationCompletes) {
    Start("COM97");
    app->dialogs.QueueModal([](ui::TForm&) {
        Type(*CommSettingForm->leTerminationString, "0D, 0A");
        Choose(*CommSettingForm->cboBaudRate, "4800");
        Press(*CommSettingForm->cmdOK);
    });

    Main().CommProperties1Click();

    EXPECT_EQ(app->dialogs.Exceptions().size(), 1u);
    EXPECT_EQ(Main().TerminatorText, "0D,0A");
    EXPECT_EQ(Main().Terminator, "\r\n");
    EXPECT_FALSE(Main().TerminatorChanged);
    EXPECT_EQ(Speed(instrument.LineSettings()), B4800);
    EXPECT_EQ(Main().sbCommProperties->PanelText(1), "Settings: 4800 8-N-1");
    EXPECT_TRUE(OneWorkerRuns());
}

TEST_F(PortSelection, StatusTextNamesEveryCodeAndLeavesOutUnknownOnes) {
    Start();
    struct Case {
        int baud, dataBits, parity, stopBits;
        std::string text;
    };
    for (const Case& c : {Case{300, 1, 1, 1, "Settings: 300 5-O-1.5"}, Case{1200, 2, 3, 0, "Settings: 1200 6-M-1"},
                          Case{115200, 8, 4, 2, "Settings: 115200 8-S-2"},
                          Case{110, 7, 9, -1, "Settings: 110 7"}}) {
        CSerialPort& port = *Main().SerialPort;
        port.BaudRate = c.baud;
        port.DataBits = c.dataBits;
        port.Parity = c.parity;
        port.StopBits = c.stopBits;
        Main().SetCommPropertyStatusBarInfo();
        EXPECT_EQ(Main().sbCommProperties->PanelText(1), c.text);
    }
}

}  // namespace
