// The instrument settings window on the real forms: the main window lends it the port of a fake
// instrument (COM97), the operator's dialogs are answered by the dialog fake, and the query,
// restore and settings files are real files in a temporary folder. The window's pacing pauses are
// skipped; its exchanges are real.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QGuiApplication>
#include <QMainWindow>
#include <QPrinterInfo>
#include <QScreen>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Folders.h"
#include "platform/TextConvert.h"
#include "settings_transfer/Instrumentsetting.h"
#include "support/FakeInstrument.h"
#include "support/ScopedPlatformHooks.h"
#include "support/TalvaneApp.h"
#include "TransferPauses.h"

using testsupport::FakeInstrument;
using testsupport::TalvaneApp;
using Lines = std::vector<std::string>;

namespace {

constexpr const char* kDone = "Action: Done";
constexpr const char* kFailed = "Action: Failed";

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Lines SplitLines(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    lines.push_back(text.substr(start));
    return lines;
}

// Lines joined with CR LF after each, as the files are written.
std::string CrLfText(const Lines& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/talvane-transfer-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        instrument.SetTerminator("\r");  // the resends end in a lone CR
        TalvaneApp::WriteConfigForPort("COM97");
        app.emplace();
        app->Start();
        ASSERT_TRUE(Main().SerialPort->IsPortOpen());
    }
    void TearDown() override {
        app.reset();
        std::filesystem::remove_all(folder);
    }

    TTalvaneForm& Main() { return app->Main(); }
    TInstrumentSettingForm& Window() { return *InstrumentSettingForm; }
    testsupport::DialogFake& Dialogs() { return app->dialogs; }

    // Shows the window through the main window's menu item and runs script while it is up.
    void InWindow(const std::function<void()>& script) {
        bool shown = false;
        Dialogs().QueueModal([&](ui::TForm&) {
            shown = true;
            script();
        });
        Main().DownloadSettings1Click();
        ASSERT_TRUE(shown);
    }

    // Answers each command from the table; a command not in it gets no answer.
    void Answer(std::map<std::string, std::string> table) {
        instrument.ReplyWith([table](const std::string& received) {
            // After a command with CR LF the LF begins what comes next.
            const std::string command = received.rfind('\n', 0) == 0 ? received.substr(1) : received;
            const auto found = table.find(command);
            return std::optional<std::string>(found == table.end() ? "" : found->second);
        });
    }

    std::string WriteFile(const std::string& name, const std::string& content) {
        const auto path = folder / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }

    // The operator picks the query file and saves the restore file (nothing for a cancelled dialog).
    void Download(const std::optional<std::string>& queryFile, const std::optional<std::string>& restoreFile) {
        Dialogs().QueueFileName(queryFile);
        Dialogs().QueueFileName(restoreFile);
        Window().cmdDownload->Click();
    }
    void Upload(const std::optional<std::string>& restoreFile) {
        Dialogs().QueueFileName(restoreFile);
        Window().cmdUpload->Click();
    }

    Lines SettingsView() { return Window().reInstrumentSettingFile->Lines(); }
    std::string Status(int panel) { return Window().StatusBar1->PanelText(panel); }

    transfertest::TransferPauses pauses;
    FakeInstrument instrument{"COM97"};
    std::optional<TalvaneApp> app;
    std::filesystem::path folder;
};

TEST_F(SettingsWindow, ADownloadFillsTheSettingsViewAndSavesTheRestoreFileWithTheDeferredLinesLast) {
    Answer({{"RATE?", "1000\r\n"},
            {"MODE?", "1\r\n"},
            {":SYST:SERN?", "SN 12345\r\n"},
            {"INIT", "ok\r\n"},
            {"WIDT?", "W=12.5ms\r\n"},
            {"CHAN?", "A;B;C\r\n"},
            {"GAIN?", "hdr;g=5;g=7;\r\n"}});
    const std::string queryFile = WriteFile("laser.iqf", CrLfText({"// Example instrument", "Rate,RATE?",
                                                                   "Mode,|2,MODE?,0,Off,1,On,", "/* restored last",
                                                                   "Serial,:SYST:SERN?", "*/", "Reset,#INIT",
                                                                   "Width,|1,WIDT?,=,1,ms,-1", "Chan,|3,CHAN?,;",
                                                                   "Gain,|4,GAIN?,=,1,;,-1,;,1"}));
    const std::string restoreFile = (folder / "laser.irf").string();

    InWindow([&] {
        Download(queryFile, restoreFile);

        EXPECT_EQ(SettingsView(),
                  (Lines{"Rate,1000", "Mode,On", "Serial,SN 12345", "Width,12.5", "Chan,A", "Chan,B", "Gain,7"}));
        EXPECT_EQ(Status(0), kDone);
        EXPECT_EQ(Status(1), "Filename: " + queryFile);
        EXPECT_EQ(Window().pbDownloadProgress->Position(), 100);
        EXPECT_EQ(Window().lblDownloadProgress->Caption(), "100% Complete");
        EXPECT_EQ(Window().lblUploadProgress->Caption(), "0% Complete");
    });

    EXPECT_EQ(ReadAll(restoreFile), CrLfText({"Rate,RATE 1000", "Mode,MODE On", "Reset,INIT", "Width,WIDT 12.5",
                                              "Chan,CHAN 0 A", "Chan,CHAN 1 B", "Gain,GAIN 7", "Serial,*SER 12345"}));
    EXPECT_EQ(instrument.Received(),
              "RATE?\r\n"
              "MODE?\r\nMODE?\rMODE?\r"  // data where an acknowledgement is expected: resent twice
              ":SYST:SERN?\r\n"
              "INIT\r\n"
              "WIDT?\r\nWIDT?\rWIDT?\r"
              "CHAN?\r\nCHAN?\rCHAN?\r"
              "GAIN?\r\nGAIN?\rGAIN?\r");
    EXPECT_TRUE(Dialogs().Messages().empty());
    const auto dialogs = Dialogs().FileDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].title, "Open Insturment Settings Query File");
    EXPECT_EQ(dialogs[0].filter, "Text File (*.iqf)|*.iqf|All Files (*.*)|*.*");
    EXPECT_EQ(dialogs[1].title, "Save Instrument Restore File");
    EXPECT_EQ(dialogs[1].defaultExt, ".irf");
    EXPECT_EQ(dialogs[1].fileName, "");
    EXPECT_EQ(pauses.Count(20), 10u);
    EXPECT_EQ(pauses.Count(50), 1u);
    EXPECT_EQ(pauses.Count(500), 1u);
}

TEST_F(SettingsWindow, CentredOnAMainWindowAtTheScreensEdgeItOpensWhole) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    Main().Window()->move(area.topLeft());
    InWindow([&] {
        const QRect frame = Window().Window()->frameGeometry();
        EXPECT_EQ(Window().Width(), 726);
        EXPECT_EQ(Window().Height(), 388);
        EXPECT_TRUE(area.contains(frame)) << frame.x() << "," << frame.y();
        const Qt::WindowFlags flags = Window().Window()->windowFlags();
        EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
        EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
        EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    });
}

TEST_F(SettingsWindow, EachShowingStartsWithEmptyViewsAndBarsAtZero) {
    Answer({{"RATE?", "1000\r\n"}});
    const std::string queryFile = WriteFile("rate.iqf", "Rate,RATE?\r\n");
    Lines seenAtFirstLine;
    pauses.OnPause(20, [&] {
        if (seenAtFirstLine.empty())
            seenAtFirstLine = {Window().lblDownloadProgress->Caption(), Window().lblUploadProgress->Caption(),
                               Status(0)};
    });
    InWindow([&] {
        EXPECT_EQ(Window().lblDownloadProgress->Caption(), "0%");
        Download(queryFile, std::nullopt);
        EXPECT_EQ(SettingsView(), Lines{"Rate,1000"});
    });
    EXPECT_EQ(seenAtFirstLine, (Lines{"0% Complete", "0% Complete", "Action: Downloading..."}));

    InWindow([&] {
        EXPECT_EQ(Window().reInstrumentSettingFile->LineCount(), 0);
        EXPECT_EQ(Window().reInstrumentQueryFile->LineCount(), 0);
        EXPECT_EQ(Window().reInstrumentRestoreFile->LineCount(), 0);
        EXPECT_EQ(Window().pbDownloadProgress->Position(), 0);
        EXPECT_EQ(Window().lblDownloadProgress->Caption(), "0%");
        EXPECT_EQ(Window().lblUploadProgress->Caption(), "0%");
        EXPECT_EQ(Status(0), "Action:");
        EXPECT_EQ(Status(1), "Filename:");
    });
    EXPECT_FALSE(Main().PortBusy);
}

TEST_F(SettingsWindow, TheBarOfA250LineFileStepsEveryThirdLineAndEndsFull) {
    Lines file;
    for (int i = 0; i < 250; ++i)
        file.push_back("// line " + std::to_string(i));
    const std::string queryFile = WriteFile("long.iqf", CrLfText(file));
    std::vector<int> positions;
    pauses.OnPause(20, [&] { positions.push_back(Window().pbDownloadProgress->Position()); });

    InWindow([&] {
        Download(queryFile, std::nullopt);
        EXPECT_EQ(Window().pbDownloadProgress->Position(), 100);
        EXPECT_EQ(Window().lblDownloadProgress->Caption(), "100% Complete");
    });

    ASSERT_EQ(positions.size(), 250u);
    for (std::size_t i = 0; i < positions.size(); ++i)
        ASSERT_EQ(positions[i], static_cast<int>(i / 3)) << "line " << i;
}

TEST_F(SettingsWindow, CancelledOpenDialogsRunTheBufferAsItStands) {
    Answer({{"RATE?", "1000\r\n"}});
    const std::string emptyRestore = (folder / "empty.irf").string();
    const std::string queryFile = WriteFile("rate.iqf", "Rate,RATE?\r\n");
    InWindow([&] {
        Download(std::nullopt, emptyRestore);
        EXPECT_EQ(Status(0), kDone);
        EXPECT_EQ(Status(1), "Filename: ");
        EXPECT_EQ(Window().lblDownloadProgress->Caption(), "100% Complete");

        Download(queryFile, std::nullopt);
        Download(std::nullopt, std::nullopt);
        EXPECT_EQ(SettingsView(), Lines{"Rate,1000"}) << "the second run starts with a cleared view";
        EXPECT_EQ(Status(1), "Filename: " + queryFile);

        Upload(std::nullopt);
        EXPECT_EQ(Status(0), kDone);
        EXPECT_EQ(Window().lblUploadProgress->Caption(), "100% Complete");
        EXPECT_TRUE(SettingsView().empty());
    });
    EXPECT_TRUE(std::filesystem::exists(emptyRestore));
    EXPECT_EQ(ReadAll(emptyRestore), "");
    EXPECT_EQ(instrument.Received(), "RATE?\r\nRATE?\r\n") << "the upload sent nothing";
    EXPECT_EQ(Dialogs().FileDialogs().size(), 7u) << "each download offers the save dialog";
}

TEST_F(SettingsWindow, LinesThatGetNoValueAreLeftOutAndListedBeforeTheSave) {
    Answer({{"RATE?", "1000\r\n"}, {"ERR?", "?4\r\n"}, {"SET 9", "?E1\r\n"}});
    const std::string queryFile =
        WriteFile("bad.iqf", CrLfText({"Rate,RATE?", "Gone,GONE?", "Err,ERR?", "Set,#SET 9", "Five,|5,X?"}));
    const std::string restoreFile = (folder / "bad.irf").string();

    InWindow([&] { Download(queryFile, restoreFile); });

    EXPECT_EQ(ReadAll(restoreFile), "Rate,RATE 1000\r\n");
    const auto messages = Dialogs().Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, "Serial Write resulted in an error response: \r\n ?4 from command ERR?");
    EXPECT_EQ(messages[1].caption, "Settings Missing");
    EXPECT_EQ(messages[1].icon, ui::MsgIcon::Warning);
    EXPECT_NE(messages[1].text.find("Gone,GONE?\r\nSet,#SET 9"), std::string::npos) << messages[1].text;
    EXPECT_EQ(messages[1].text.find("Err,"), std::string::npos) << "its error had a box of its own";
    EXPECT_EQ(messages[1].text.find("Five"), std::string::npos) << "nothing was asked for an unknown kind";
}

TEST_F(SettingsWindow, AReplyLongerThanTheReceiveBufferIsCutAtItsSizeAndTheNextQueryGetsItsOwnReply) {
    const std::string flood = FakeInstrument::FloodPattern(6000);
    Answer({{"BIG?", flood + "\r\n"}, {"RATE?", "1000\r\n"}});
    const std::string queryFile = WriteFile("big.iqf", "Big,BIG?\r\nRate,RATE?\r\n");
    pauses.StretchPolls(20);

    InWindow([&] {
        Download(queryFile, std::nullopt);
        EXPECT_EQ(SettingsView(), (Lines{"Big," + flood.substr(0, 4096), "Rate,1000"}));
    });
}

TEST_F(SettingsWindow, AVanishedDeviceStopsTheDownloadWithOneBoxAndNoRestoreFileIsOffered) {
    const std::string queryFile = WriteFile("rate.iqf", "Rate,RATE?\r\nMode,MODE?\r\n");
    InWindow([&] {
        instrument.HangUp();
        Download(queryFile, (folder / "never.irf").string());
        EXPECT_EQ(Status(0), kFailed);
        EXPECT_EQ(Window().pbDownloadProgress->Position(), 1) << "stepped for the first line only";
        EXPECT_TRUE(SettingsView().empty());
    });
    EXPECT_EQ(Dialogs().Messages().size(), 1u);
    EXPECT_EQ(Dialogs().CountMessages("Serial Write Failed writing: RATE?"), 1);
    EXPECT_EQ(Dialogs().FileDialogs().size(), 1u) << "only the open dialog";
    EXPECT_FALSE(std::filesystem::exists(folder / "never.irf"));
}

TEST_F(SettingsWindow, AnUploadSendsEachRestoreCommandAndShowsItsValue) {
    instrument.ReplyDefault("OK\r\n");
    const std::string restoreFile = WriteFile(
        "laser.irf", CrLfText({"Rate,RATE 1000", "// Mode,MODE On", "no comma", "", "Reset,INIT", "Chan,CHAN 1 B"}));
    std::string statusDuringUpload;
    pauses.OnPause(20, [&] { statusDuringUpload = Status(0); });

    InWindow([&] {
        Upload(restoreFile);
        EXPECT_EQ(SettingsView(), (Lines{"Rate,1000", "Reset,INIT", "Chan,1 B"}));
        EXPECT_EQ(Status(0), kDone);
        EXPECT_EQ(Status(1), "Filename: " + restoreFile);
        EXPECT_EQ(Window().lblUploadProgress->Caption(), "100% Complete");
        EXPECT_EQ(Window().lblDownloadProgress->Caption(), "0% Complete");
    });

    EXPECT_EQ(statusDuringUpload, "Action: UPloading...");
    EXPECT_EQ(instrument.Received(), "RATE 1000\r\nINIT\r\nCHAN 1 B\r\n");
    EXPECT_TRUE(Dialogs().Messages().empty());
    EXPECT_EQ(Dialogs().FileDialogs()[0].title, "Open Instrument Restore Settings File");
    EXPECT_EQ(pauses.Count(20), 6u);
    EXPECT_EQ(pauses.Count(500), 1u);
}

TEST_F(SettingsWindow, TheSettingsViewIsSavedAsPlainLinesThroughAnEmptyDialogEveryTime) {
    instrument.ReplyDefault("OK\r\n");
    const std::string restoreFile = WriteFile("laser.irf", "Rate,RATE 1000\r\nReset,INIT\r\n");
    const auto first = folder / "first.csv";
    const auto second = folder / "second.csv";
    InWindow([&] {
        Upload(restoreFile);
        Dialogs().QueueFileName(first.string());
        Window().SavetoFile1->Click();
        Dialogs().QueueFileName(second.string());
        Window().SavetoFile1->Click();
        EXPECT_FALSE(Window().reInstrumentSettingFile->PlainText());
    });

    EXPECT_EQ(ReadAll(first), "Rate,1000\r\nReset,INIT\r\n");
    EXPECT_EQ(ReadAll(second), ReadAll(first));
    const auto dialogs = Dialogs().FileDialogs();
    ASSERT_EQ(dialogs.size(), 3u);
    for (std::size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(dialogs[i].title, "Save Instrument Settings File");
        EXPECT_EQ(dialogs[i].defaultExt, ".csv");
        EXPECT_EQ(dialogs[i].filter, "Text File (*.csv)|*.csv|All Files (*.*)|*.*");
        EXPECT_EQ(dialogs[i].fileName, "");
    }
}

TEST_F(SettingsWindow, AnUploadGoesOnPastUnacknowledgedLinesAndListsThemAtTheEnd) {
    Answer({{"SET 1", "?E3\r\n"}, {"SET 2", "ok\r\n"}});
    const std::string restoreFile = WriteFile("mixed.irf", "A,SET 1\r\nB,SET 2\r\n");

    InWindow([&] { Upload(restoreFile); });

    EXPECT_EQ(instrument.Received(), "SET 1\r\nSET 1\rSET 1\rSET 2\r\n");
    const auto messages = Dialogs().Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Settings Not Acknowledged");
    EXPECT_EQ(messages[0].text, "The instrument did not acknowledge these lines of the restore file:\r\nA,SET 1");
}

TEST_F(SettingsWindow, TheReportsListAScreenfulOfCutLinesAndNoLineWhoseErrorWasShown) {
    instrument.ReplyWith([](const std::string& received) {
        return std::optional<std::string>(received.find("SET 4") != std::string::npos ? "?4\r\n" : "?E1\r\n");
    });
    Lines query{"Long," + std::string(100000, 'Q') + "?"};
    for (int i = 0; i < 14; ++i)
        query.push_back(platform::Concat({"L", std::to_string(i), ",Q", std::to_string(i), "?"}));
    const std::string queryFile = WriteFile("long.iqf", CrLfText(query));
    const std::string restoreFile = WriteFile("upload.irf", "A,SET 4\r\nB,SET 5\r\n");

    InWindow([&] {
        Download(queryFile, std::nullopt);
        Upload(restoreFile);
    });

    const auto messages = Dialogs().Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].caption, "Settings Missing");
    const Lines listed = SplitLines(messages[0].text);
    ASSERT_EQ(listed.size(), 12u) << "the heading, ten lines and the count";
    EXPECT_EQ(listed[1], "Long," + std::string(75, 'Q') + "...");
    EXPECT_EQ(listed[10], "L8,Q8?");
    EXPECT_EQ(listed[11], "... and 5 more");
    EXPECT_EQ(messages[1].text, "Serial Write resulted in an error response: \r\n ?4 from command SET 4");
    EXPECT_EQ(messages[2].text, "The instrument did not acknowledge these lines of the restore file:\r\nB,SET 5");
}

TEST_F(SettingsWindow, AnUploadToADeviceThatVanishesMidwayStopsWithOneBox) {
    instrument.ReplyDefault("OK\r\n");
    const std::string restoreFile = WriteFile("five.irf", CrLfText({"A,SET 1", "B,SET 2", "C,SET 3", "D,SET 4",
                                                                    "E,SET 5"}));
    instrument.ReplyWith([this](const std::string&) -> std::optional<std::string> {
        if (instrument.CommandCount() == 2)
            instrument.HangUp();  // unplugged as the third line comes in, before it is answered
        return std::nullopt;
    });
    InWindow([&] {
        Upload(restoreFile);
        EXPECT_EQ(Status(0), kFailed);
        EXPECT_LT(Window().pbUploadProgress->Position(), 100);
        EXPECT_LT(SettingsView().size(), 5u);
    });

    const auto messages = Dialogs().Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].caption, "Serial Write Failure");
    EXPECT_EQ(messages[0].text, "Serial Write Failed writing: SET 3");
    EXPECT_FALSE(Main().PortBusy) << "the main window has its port back";
}

TEST_F(SettingsWindow, PrintingTheSettingsViewMakesADocumentTitledTalvane) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "a printer is set up; printing would reach it";
    const testsupport::ScopedClock clock(platform::LocalTime{2024, 1, 2, 10, 11, 12, 0});
    InWindow([&] {
        Window().reInstrumentSettingFile->AddLine("Rate,1000");
        Window().Print1->Click();
    });
    EXPECT_TRUE(std::filesystem::exists(platform::OrvelFolder() / "Logs" / "Talvane 010224_101112.pdf"));
    EXPECT_TRUE(Dialogs().Exceptions().empty());
}

TEST_F(SettingsWindow, AQueryFileThatCannotBeReadIsReportedAndTheWindowGoesOn) {
    Dialogs().QueueMessageAnswer(ui::mrYes);  // create it
    InWindow([&] {
        Download((folder / "missing.iqf").string(), std::nullopt);
        EXPECT_TRUE(SettingsView().empty());
    });
    ASSERT_EQ(Dialogs().Messages().size(), 1u);
    EXPECT_EQ(Dialogs().Messages()[0].caption, "Open Insturment Settings Query File");
    EXPECT_NE(Dialogs().Messages()[0].text.find("does not exist"), std::string::npos);
    ASSERT_EQ(Dialogs().Exceptions().size(), 1u);
    EXPECT_NE(Dialogs().Exceptions()[0].find("missing.iqf"), std::string::npos);
    EXPECT_TRUE(instrument.Received().empty());
}

}  // namespace
