// The communications log window on the real forms, offscreen: rotation at 20000 lines, its failure,
// the error table and the counter panel, saving and printing, the status bar and logging switches.
#include "serial/CommLog.h"

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextDocument>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Folders.h"
#include "support/ScopedPlatformHooks.h"
#include "support/TalvaneApp.h"

namespace fs = std::filesystem;
using testsupport::TalvaneApp;

namespace {

const std::string kHeader = "ERROR      COUNT      FAILED COMMAND";

std::string Row(int d, const std::string& count, const std::string& command) {
    return "?" + std::to_string(d) + std::string(12, ' ') + count + std::string(16, ' ') + command;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// Paragraphs of an RTF file written by the log: one per line.
int RtfLineCount(const std::string& rtf) { return CountOf(rtf, "\\par\r\n"); }

fs::path LogsFolder() { return platform::DrennickFolder() / "Logs"; }

std::vector<fs::path> RotationFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(LogsFolder()))
        if (entry.path().filename().string().rfind("Comm Log Output", 0) == 0)
            files.push_back(entry.path());
    return files;
}

ui::TColor LineColour(const TCommLogForm& form, int line) {
    const QTextBlock block = form.reLog->Editor()->document()->findBlockByNumber(line);
    return block.begin().fragment().charFormat().foreground().color().rgb() & 0xFFFFFFu;
}

class CommLogTest : public ::testing::Test {
protected:
    CommLogTest() {
        fs::remove_all(LogsFolder());
        fs::create_directories(LogsFolder());
    }

    TCommLogForm& Log() { return *CommLogForm; }

    void AppendLines(int count) {
        for (int i = 1; i <= count; ++i)
            Log().AppendToLog("line " + std::to_string(i));
    }

    // The log filled to the rotation point, logging on as the send road has it.
    void FillToRotation() {
        app.Main().EnableLog1Click();
        AppendLines(TCommLogForm::kMaxLogLines);
        ASSERT_EQ(Log().reLog->LineCount(), TCommLogForm::kMaxLogLines);
    }

    TalvaneApp app;
};

// ---- rotation ----

TEST_F(CommLogTest, TwentyThousandAndFirstLineSavesTheLogWithErrorTableAndStartsAnew) {
    testsupport::ScopedClock clock({2007, 3, 15, 14, 23, 5, 0});
    FillToRotation();
    EXPECT_TRUE(RotationFiles().empty()) << "the 20000th line is added normally";

    Log().SetAttributeColor(ui::clGreen);
    Log().AppendToLog("the new line");

    const fs::path saved = LogsFolder() / "Comm Log Output031507_142305.doc";
    ASSERT_TRUE(fs::exists(saved));
    const std::string rtf = ReadFile(saved);
    EXPECT_EQ(RtfLineCount(rtf), TCommLogForm::kMaxLogLines + 13);
    EXPECT_NE(rtf.find("line 1\\par"), std::string::npos);
    EXPECT_NE(rtf.find("line 20000\\par"), std::string::npos);
    EXPECT_NE(rtf.find(kHeader), std::string::npos);
    EXPECT_EQ(rtf.find("the new line"), std::string::npos);
    EXPECT_NE(rtf.find("\\red0\\green128\\blue0"), std::string::npos) << "the table is in the caller's colour";

    EXPECT_EQ(Log().reLog->Lines(), std::vector<std::string>{"the new line"});
    EXPECT_EQ(LineColour(Log(), 0), ui::clGreen);
    EXPECT_EQ(Log().LogLineCount, 1);
    EXPECT_TRUE(app.Main().LogEnabled);
    EXPECT_TRUE(app.Main().EnableLog1->Checked());
    EXPECT_EQ(Log().SBar->PanelText(0), " Line Count: 1");
    TalvaneApp::ProcessEvents();
    EXPECT_TRUE(app.dialogs.Exceptions().empty());
}

TEST_F(CommLogTest, FailedRotationSaveIsReportedOnceAndLosesNoLine) {
    FillToRotation();
    fs::remove_all(LogsFolder());

    Log().AppendToLog("first after full");
    Log().AppendToLog("second after full");
    TalvaneApp::ProcessEvents();

    ASSERT_EQ(app.dialogs.Exceptions().size(), 1u);
    EXPECT_NE(app.dialogs.Exceptions()[0].find("Comm Log Output"), std::string::npos);
    EXPECT_EQ(Log().reLog->LineCount(), TCommLogForm::kMaxLogLines + 2) << "no error table is left behind";
    EXPECT_EQ(Log().reLog->Line(TCommLogForm::kMaxLogLines - 1), "line 20000");
    EXPECT_EQ(Log().reLog->Line(TCommLogForm::kMaxLogLines + 1), "second after full");
    EXPECT_EQ(Log().LogLineCount, TCommLogForm::kMaxLogLines + 2);
    EXPECT_TRUE(app.Main().LogEnabled);
    EXPECT_TRUE(app.Main().EnableLog1->Checked());

    // Once the folder is back, the next append saves every line kept meanwhile.
    fs::create_directories(LogsFolder());
    Log().AppendToLog("after repair");
    const auto files = RotationFiles();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(RtfLineCount(ReadFile(files[0])), TCommLogForm::kMaxLogLines + 2 + 13);
    EXPECT_EQ(Log().reLog->Lines(), std::vector<std::string>{"after repair"});

    // A new failure after a good save is a new streak and is reported again.
    AppendLines(TCommLogForm::kMaxLogLines - 1);
    fs::remove_all(LogsFolder());
    Log().AppendToLog("fails again");
    TalvaneApp::ProcessEvents();
    EXPECT_EQ(app.dialogs.Exceptions().size(), 2u);
    EXPECT_EQ(Log().reLog->LineCount(), TCommLogForm::kMaxLogLines + 1);
}

TEST_F(CommLogTest, LinesHoldingLineBreaksCountAsTheLinesTheyOccupy) {
    Log().AppendToLog("[1:2:3:4]  reply\r\n");
    EXPECT_EQ(Log().LogLineCount, 2);
    EXPECT_EQ(Log().SBar->PanelText(0), " Line Count: 2");
}

// ---- colours by thread ----

TEST_F(CommLogTest, EachThreadAppendsInTheColourItSetItself) {
    std::atomic<int> step{0};
    std::thread worker([&] {
        Log().SetAttributeColor(ui::clGreen);
        step = 1;
        while (step != 2)
            std::this_thread::yield();
        Log().AppendToLog("reply from worker");
        step = 3;
    });
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return step == 1; }));
    Log().SetAttributeColor(ui::clBlack);
    step = 2;
    ASSERT_TRUE(TalvaneApp::ProcessUntil([&] { return step == 3; }));
    Log().AppendToLog("command from gui");
    worker.join();

    ASSERT_EQ(Log().reLog->Lines(), (std::vector<std::string>{"reply from worker", "command from gui"}));
    EXPECT_EQ(LineColour(Log(), 0), ui::clGreen);
    EXPECT_EQ(LineColour(Log(), 1), ui::clBlack);
}

// ---- error table and counter panel ----

TEST_F(CommLogTest, TableOfANeverRefreshedPanelHoldsCaptionsAndBlanksOnly) {
    Log().AppendToLog("a line");
    Log().WriteCommErrorsToRLOG();

    std::vector<std::string> expected = {"a line", "", kHeader, ""};
    for (int d = 0; d < 10; ++d)
        expected.push_back(Row(d, "", ""));
    EXPECT_EQ(Log().reLog->Lines(), expected);
}

TEST_F(CommLogTest, TableRowsShowThePanelAsLastRefreshedNotTheCounters) {
    Log().cmdClearErrorsClick();
    Log().ErrorCounts[3] = 2;
    Log().FailedCommands[3] = "BADCMD";
    Log().WriteCommErrorsToRLOG();
    EXPECT_EQ(Log().reLog->Line(3 + 3), Row(3, "0", "No Error"));

    Log().DisplayCommErrors();
    Log().WriteCommErrorsToRLOG();
    EXPECT_EQ(Log().reLog->Line(13 + 3 + 3), Row(3, "2", "BADCMD"));
    EXPECT_EQ(Log().reLog->Line(13 + 3 + 4), Row(4, "0", "No Error"));
}

TEST_F(CommLogTest, RowIsSilverForNoErrorAndWhiteForAnyOtherTextEvenEmpty) {
    for (int d = 0; d < 10; ++d)
        EXPECT_EQ(Log().edECount[static_cast<std::size_t>(d)]->Color(), ui::clSilver) << "before the first refresh";

    Log().cmdClearErrorsClick();
    Log().FailedCommands[3] = "ZZ";
    Log().FailedCommands[4] = "";
    Log().ErrorCounts[3] = 7;
    Log().DisplayCommErrors();

    for (std::size_t d = 0; d < 10; ++d) {
        const ui::TColor expected = d == 3 || d == 4 ? ui::clWhite : ui::clSilver;
        EXPECT_EQ(Log().edECount[d]->Color(), expected) << d;
        EXPECT_EQ(Log().edEText[d]->Color(), expected) << d;
    }
    EXPECT_EQ(Log().edECount[3]->Text(), "7");
    EXPECT_EQ(Log().edEText[3]->Text(), "ZZ");
}

TEST_F(CommLogTest, ClearErrorsResetsTheCountersAndShowsThemSilver) {
    Log().ErrorCounts[5] = 4;
    Log().FailedCommands[5] = "X";
    Log().cmdClearErrors->Click();
    EXPECT_EQ(Log().ErrorCounts[5], 0);
    EXPECT_EQ(Log().edECount[5]->Text(), "0");
    EXPECT_EQ(Log().edEText[5]->Text(), "No Error");
    EXPECT_EQ(Log().edEText[5]->Color(), ui::clSilver);
}

// ---- saving and printing ----

TEST_F(CommLogTest, FileMenuSaveWritesNoTableAndPopupSaveAppendsOne) {
    Log().SetAttributeColor(ui::clGreen);
    Log().AppendToLog("green reply");
    const fs::path plainName = LogsFolder() / "saved without extension";
    const fs::path popupName = LogsFolder() / "popup.rtf";
    app.dialogs.QueueFileName(plainName.string());
    app.dialogs.QueueFileName(popupName.string());

    Log().SavetoFile2->Click();
    ASSERT_TRUE(fs::exists(plainName)) << "the name is used exactly as typed";
    const std::string plain = ReadFile(plainName);
    EXPECT_EQ(RtfLineCount(plain), 1);
    EXPECT_NE(plain.find("\\red0\\green128\\blue0"), std::string::npos);
    EXPECT_EQ(Log().reLog->LineCount(), 1);

    Log().PopupMenuCommLog->Find("Save to File")->Click();
    EXPECT_EQ(RtfLineCount(ReadFile(popupName)), 14);
    EXPECT_EQ(Log().reLog->LineCount(), 14) << "the table stays in the log";

    const auto dialogs = app.dialogs.FileDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].filter, "Rich Edit (*.rtf)|*.rtf|All Files (*.*)|*.*");
    EXPECT_TRUE(dialogs[0].fileName.empty());
    EXPECT_TRUE(dialogs[0].defaultExt.empty());
    EXPECT_TRUE(dialogs[0].overwritePrompt);
}

TEST_F(CommLogTest, CancelledOrFailedDialogSaveKeepsTheLog) {
    Log().AppendToLog("kept");
    Log().SavetoFile1->Click();  // no name queued: the operator cancels
    EXPECT_EQ(Log().reLog->LineCount(), 1);

    app.dialogs.QueueFileName((LogsFolder() / "missing folder" / "x.rtf").string());
    Log().SavetoFile1->Click();
    ASSERT_EQ(app.dialogs.Exceptions().size(), 1u);
    EXPECT_EQ(Log().reLog->LineCount(), 14);
    EXPECT_EQ(Log().reLog->Line(0), "kept");
}

TEST_F(CommLogTest, EachPrintAppendsATableAndPrintsTitledCommunicationsLog) {
    Log().AppendToLog("to print");
    Log().Print2->Click();
    Log().Print1->Click();
    TalvaneApp::ProcessEvents();
    ASSERT_TRUE(app.dialogs.Exceptions().empty()) << app.dialogs.Exceptions()[0];
    EXPECT_EQ(Log().reLog->LineCount(), 1 + 13 + 13);

    int printed = 0;
    for (const auto& entry : fs::directory_iterator(platform::OrvelFolder() / "Logs"))
        printed += entry.path().filename().string().rfind("Communications Log ", 0) == 0 ? 1 : 0;
    EXPECT_GE(printed, 1);
}

// ---- status bar, clearing, logging switches, showing ----

TEST_F(CommLogTest, StatusBarShowsCountAndLoggingState) {
    EXPECT_EQ(Log().SBar->PanelText(0), " Line Count: 0");
    EXPECT_EQ(Log().SBar->PanelText(1), " Status: Comm Logging Disabled");
    Log().UpdateSBar(42, true);
    EXPECT_EQ(Log().SBar->PanelText(0), " Line Count: 42");
    EXPECT_EQ(Log().SBar->PanelText(1), " Status: Logging Communications");
}

TEST_F(CommLogTest, ClearLogEmptiesTheLogAndKeepsTheCounters) {
    Log().ErrorCounts[2] = 3;
    Log().FailedCommands[2] = "CMD";
    AppendLines(5);
    Log().Button1->Click();
    EXPECT_EQ(Log().reLog->LineCount(), 0);
    EXPECT_EQ(Log().LogLineCount, 0);
    EXPECT_EQ(Log().SBar->PanelText(0), " Line Count: 0");
    EXPECT_EQ(Log().ErrorCounts[2], 3);
    EXPECT_EQ(Log().FailedCommands[2], "CMD");
}

TEST_F(CommLogTest, RefreshTickFollowsLoggingAndRadioButtonsSwitchIt) {
    EXPECT_FALSE(Log().rbLogEna->Checked());
    EXPECT_FALSE(Log().rbLogDis->Checked());

    app.Main().EnableLog1Click();
    Log().tmrUpdateTimer();
    EXPECT_TRUE(Log().rbLogEna->Checked());
    EXPECT_EQ(Log().SBar->PanelText(1), " Status: Logging Communications");

    Log().rbLogDis->SetChecked(true);
    EXPECT_FALSE(app.Main().LogEnabled);
    EXPECT_TRUE(app.Main().DisableLog1->Checked());
    Log().tmrUpdateTimer();
    EXPECT_EQ(Log().SBar->PanelText(1), " Status: Comm Logging Disabled");
}

TEST_F(CommLogTest, TheWindowOffersCloseAndMinimiseOnlyAndItsCaptionsAreReadable) {
    const Qt::WindowFlags flags = Log().Window()->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    Log().Show();
    TalvaneApp::ProcessEvents();
    for (ui::TRadioButton* radio : {Log().rbLogEna, Log().rbLogDis}) {
        const QImage shown = radio->Widget()->grab().toImage();
        int light = 0;  // pixels of the caption, right of the indicator, drawn light on the navy group
        for (int x = 24; x < shown.width(); ++x)
            for (int y = 0; y < shown.height(); ++y)
                light += shown.pixelColor(x, y).lightness() > 200 ? 1 : 0;
        EXPECT_GT(light, 20);
    }
}

TEST_F(CommLogTest, TimerRunsOnlyWhileShownAndTheLogOutlivesClosing) {
    EXPECT_FALSE(Log().tmrUpdate->Enabled());
    app.Main().ViewLog2Click();
    EXPECT_TRUE(Log().Visible());
    EXPECT_TRUE(Log().tmrUpdate->Enabled());
    EXPECT_EQ(Log().tmrUpdate->Interval(), 2000);

    Log().AppendToLog("kept while hidden");
    Log().Exit1->Click();
    EXPECT_FALSE(Log().Visible());
    EXPECT_FALSE(Log().tmrUpdate->Enabled());
    EXPECT_TRUE(app.Main().LogEnabled) << "closing does not switch logging";

    Log().Show();
    EXPECT_EQ(Log().reLog->Lines(), std::vector<std::string>{"kept while hidden"});
}

}  // namespace
