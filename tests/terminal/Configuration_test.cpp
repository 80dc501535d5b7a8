// "Talvane Config.txt" loaded into the real main window at start-up and saved at its close.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "platform/FileSave.h"
#include "support/FakeInstrument.h"
#include "support/TalvaneApp.h"
#include "terminal/ConfigFile.h"
#include "terminal/ConfigFileCleaner.h"
#include "terminal/commcyclethread.h"

namespace fs = std::filesystem;
using testsupport::TalvaneApp;

namespace {

using Lines = std::vector<std::string>;

// A file in which every line differs, so that a value on a wrong line shows. No port is configured.
Lines DistinctLines() {
    Lines lines{"COMX", "4800", "4800", "4", "1", "2", "0A", "3"};
    for (int g = 0; g < 10; ++g) {
        const std::string tag = std::to_string(g);
        lines.push_back("Name " + tag);
        for (int i = 0; i < 5; ++i)
            lines.push_back("S" + tag + "." + std::to_string(i));
        for (int i = 0; i < 10; ++i)
            lines.push_back("C" + tag + "." + std::to_string(i));
    }
    return lines;
}

std::string Join(const Lines& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines)
        text += line + end;
    return text;
}

Lines SplitCrLf(const std::string& text) {
    Lines lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

std::string FileText(const fs::path& path) { return terminal::ReadFileText(path).value_or("<missing>"); }

class Configuration : public ::testing::Test {
protected:
    void Load(const std::optional<std::string>& text) {
        app.reset();
        if (text) {
            fs::create_directories(InstallFolder());
            ASSERT_TRUE(platform::SaveTextAtomically(ConfigFilePath(), *text));
        }
        app.emplace();
        app->Start();
    }

    // The file after the close, which saves because the configuration is marked changed.
    Lines SaveAtClose() {
        Main().ConfigChanged = true;
        Main().Close();
        return SplitCrLf(FileText(ConfigFilePath()));
    }

    TTalvaneForm& Main() { return app->Main(); }

    // The ten group records as the file's lines 9 to 168 hold them.
    Lines GroupRecordLines() {
        Lines lines;
        for (const TCommandGroup& group : Main().CommandGroups) {
            lines.push_back(group.GroupName);
            lines.insert(lines.end(), group.CommandStrings.begin(), group.CommandStrings.end());
            lines.insert(lines.end(), group.Commands.begin(), group.Commands.end());
        }
        return lines;
    }

    static Lines GroupLinesOf(Lines fileLines) {
        fileLines.resize(168);
        return Lines(fileLines.begin() + 8, fileLines.end());
    }

    static bool BadCopyHolds(const std::string& text) {
        return FileText(terminal::BadCopyPath(ConfigFilePath())) == text;
    }
    static bool NoBadCopy() { return !fs::exists(terminal::BadCopyPath(ConfigFilePath())); }

    testsupport::ConfigFileCleaner cleaner;
    std::optional<TalvaneApp> app;
};

TEST_F(Configuration, FreshStartWritesTheDefaultsAndShowsTheFirstGroupWithNoPort) {
    Load(std::nullopt);

    EXPECT_EQ(FileText(ConfigFilePath()), terminal::DefaultConfigText());
    EXPECT_EQ(Main().cboCommandGroup->Items(),
              Lines({"GROUP1", "GROUP2", "GROUP3", "GROUP4", "GROUP5", "GROUP6", "GROUP7", "GROUP8", "GROUP9", "GROUP10"}));
    EXPECT_EQ(Main().cboCommandGroup->ItemIndex(), 0);
    EXPECT_EQ(Main().CurrentGroup, 0);
    for (ui::TEdit* box : Main().edString)
        EXPECT_EQ(box->Text(), "Empty");
    EXPECT_EQ(Main().eSendCommand->Text(), "Command");
    EXPECT_EQ(Main().Terminator, "\r\n");
    EXPECT_EQ(app->dialogs.CountMessages("A communications port must be selected before sending commands"), 1);
    EXPECT_EQ(Main().cboTalvane->Text(), "Comm Port");
    EXPECT_EQ(CommCycleThread, nullptr);
    EXPECT_TRUE(NoBadCopy());
}

TEST_F(Configuration, TextsKeepInnerAndTrailingBlanksAndEmptyLinesKeepTheirPlaceWithLfLineEnds) {
    Lines lines = DistinctLines();
    lines[8] = "Lab 2";          // group 1's name
    lines[9] = "  first  two ";  // its first common string
    lines[11] = "";              // its third
    Load(Join(lines, "\n"));

    Lines expected = lines;
    expected[9] = "first  two ";
    EXPECT_EQ(GroupRecordLines(), GroupLinesOf(expected));
    EXPECT_EQ(Main().cboCommandGroup->Item(0), "Lab 2");
    EXPECT_EQ(Main().CurrentGroup, 3);
    EXPECT_EQ(Main().SerialPort->BaudRate, 4800);
    EXPECT_EQ(Main().SerialPort->DataBits, 4);
    EXPECT_EQ(Main().TerminatorText, "0A");
    EXPECT_EQ(Main().Terminator, "\n");
    EXPECT_TRUE(NoBadCopy());

    EXPECT_EQ(SaveAtClose(), expected);
}

TEST_F(Configuration, FileWhoseReadingStopsEarlyLoadsWhatItCanAndIsKeptBesideAsBad) {
    const Lines full = DistinctLines();
    const Lines hundred(full.begin(), full.begin() + 100);
    Load(Join(hundred));

    Lines expected = hundred;  // group 6 ends after its sixth history entry; the rest reads empty
    EXPECT_EQ(GroupRecordLines(), GroupLinesOf(expected));
    EXPECT_TRUE(BadCopyHolds(Join(hundred)));
    EXPECT_EQ(SaveAtClose().size(), 168u);
    EXPECT_TRUE(BadCopyHolds(Join(hundred))) << "the close writes over the file, not over its copy";

    Lines wordOnLine3 = full;
    wordOnLine3[2] = "fast";
    Load(Join(wordOnLine3));
    EXPECT_EQ(Main().SerialPort->BaudString, "4800");
    EXPECT_EQ(Main().SerialPort->BaudRate, 9600) << "line 3 and all later lines count as missing";
    EXPECT_EQ(Main().SerialPort->Parity, 0);
    EXPECT_EQ(Main().TerminatorText, "");
    EXPECT_EQ(Main().cboCommandGroup->Items(), Lines(10, ""));
    EXPECT_EQ(Main().cboCommandGroup->ItemIndex(), 0);
    EXPECT_EQ(GroupRecordLines(), Lines(160, ""));
    EXPECT_TRUE(BadCopyHolds(Join(wordOnLine3)));
}

TEST_F(Configuration, AnEmptyFileLeavesNoPortChosenWhateverTheScanProbedLast) {
    testsupport::FakeInstrument last("COM119");
    Load("");

    EXPECT_EQ(Main().SerialPort->PortName, "COMX");
    EXPECT_EQ(Main().cboTalvane->Text(), "Comm Port");
    EXPECT_FALSE(Main().SerialPort->IsPortOpen());
    EXPECT_EQ(CommCycleThread, nullptr);
    EXPECT_EQ(SaveAtClose().front(), "COMX");
}

TEST_F(Configuration, ContentTheSaveWouldNotWriteBackIsKeptBesideAsBad) {
    Lines tooLong = DistinctLines();
    tooLong.push_back("a note of the operator's");
    Lines badTerminator = DistinctLines();
    badTerminator[6] = "0D,0A,0B";
    for (const Lines& lines : {tooLong, badTerminator}) {
        Load(Join(lines));
        EXPECT_TRUE(BadCopyHolds(Join(lines)));
        EXPECT_EQ(GroupRecordLines(), GroupLinesOf(lines)) << "the load goes on";
    }
    ASSERT_EQ(app->dialogs.Exceptions().size(), 1u);
    EXPECT_NE(app->dialogs.Exceptions()[0].find("is not a valid integer value"), std::string::npos);
    EXPECT_EQ(Main().TerminatorText, "") << "the text before the load stays";
}

TEST_F(Configuration, GroupIndexNamingNoGroupSelectsNoneAndTheSaveStoresNoGroupFromTheWindow) {
    for (const std::string index : {"-1", "12"}) {
        SCOPED_TRACE(index);
        Lines lines = DistinctLines();
        lines[7] = index;
        Load(Join(lines));
        EXPECT_EQ(Main().cboCommandGroup->ItemIndex(), -1);
        EXPECT_EQ(Main().CurrentGroup, -1);

        Main().edString[0]->SetText("typed into a box");
        const Lines saved = SaveAtClose();
        ASSERT_EQ(saved.size(), 168u);
        EXPECT_EQ(saved[7], "-1");
        EXPECT_EQ(GroupLinesOf(saved), GroupLinesOf(lines));
    }
}

TEST_F(Configuration, SaveReplacesTheFileInOneStepWithTheValuesAsHeld) {
    Load(std::nullopt);
    const fs::path oldFile = InstallFolder() / "old config";
    fs::create_hard_link(ConfigFilePath(), oldFile);
    Main().SerialPort->BaudString = "115200";
    Main().SerialPort->BaudRate = 115200;
    Main().TerminatorText = "0D";

    const Lines saved = SaveAtClose();

    ASSERT_EQ(saved.size(), 168u);
    EXPECT_EQ(saved[1], "115200");
    EXPECT_EQ(saved[2], "115200");
    EXPECT_EQ(saved[6], "0D");
    EXPECT_EQ(FileText(oldFile), terminal::DefaultConfigText()) << "the old file was never written into";
    for (const auto& entry : fs::directory_iterator(InstallFolder()))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    fs::remove(oldFile);
}

TEST_F(Configuration, ALinkedFileStaysALinkAndTheNextStartReadsWhatTheCloseSaved) {
    const fs::path shared = InstallFolder() / "shared";
    fs::create_directories(shared);
    fs::create_symlink(shared / "bench config.txt", ConfigFilePath());
    Load(std::nullopt);
    EXPECT_EQ(FileText(shared / "bench config.txt"), terminal::DefaultConfigText()) << "created through the link";
    Main().SerialPort->BaudString = "115200";
    Main().SerialPort->BaudRate = 115200;

    EXPECT_EQ(SaveAtClose()[2], "115200");

    EXPECT_TRUE(fs::is_symlink(ConfigFilePath()));
    Load(std::nullopt);
    EXPECT_EQ(Main().SerialPort->BaudRate, 115200);
    EXPECT_TRUE(fs::is_symlink(ConfigFilePath()));
    fs::remove_all(shared);
}

TEST_F(Configuration, AWriteProtectedFileIsLeftAsItWasAndTheCloseGoesOn) {
    Load(std::nullopt);
    fs::permissions(ConfigFilePath(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Main().SerialPort->BaudRate = 115200;
    const std::size_t shownBefore = app->dialogs.Messages().size();

    EXPECT_EQ(SaveAtClose(), SplitCrLf(terminal::DefaultConfigText()));

    EXPECT_FALSE(Main().Visible());
    EXPECT_EQ(app->dialogs.Messages().size(), shownBefore) << "the close says nothing";
    EXPECT_EQ(fs::status(ConfigFilePath()).permissions(),
              fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(Configuration, EntryThatCannotBeReadIsMovedAsideBeforeTheDefaultsAreWritten) {
    fs::create_directories(ConfigFilePath());
    std::ofstream(ConfigFilePath() / "notes") << "kept";

    Load(std::nullopt);

    EXPECT_EQ(FileText(terminal::BadCopyPath(ConfigFilePath()) / "notes"), "kept");
    EXPECT_EQ(FileText(ConfigFilePath()), terminal::DefaultConfigText());
    EXPECT_EQ(Main().cboCommandGroup->Item(0), "GROUP1");
}

TEST_F(Configuration, MissingFolderLeavesEverythingAsItWasAndShowsTheFirstEmptyGroup) {
    app.emplace();
    fs::remove_all(InstallFolder());
    app->Start();

    EXPECT_FALSE(fs::exists(ConfigFilePath()));
    EXPECT_EQ(Main().cboCommandGroup->Items(), Lines(10, "Empty"));
    EXPECT_EQ(Main().CurrentGroup, 0);
    EXPECT_EQ(Main().TerminatorText, "");
    EXPECT_EQ(GroupRecordLines(), Lines(160, ""));
}

}  // namespace
