#include "terminal/ConfigFile.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/FileSave.h"
#include "support/ThreadCapabilities.h"

namespace fs = std::filesystem;
using terminal::ConfigValues;
using terminal::ReadConfigText;

namespace {

std::vector<std::string> SplitCrLf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const auto& line : lines)
        text += line + end;
    return text;
}

// Defaults with a distinct text in every group line, so that a shifted line shows.
ConfigValues DistinctValues() {
    ConfigValues v = terminal::DefaultConfigValues();
    for (std::size_t g = 0; g < v.CommandGroups.size(); ++g) {
        auto& group = v.CommandGroups[g];
        const std::string tag = std::to_string(g);
        group.GroupName = "Group " + tag;
        for (std::size_t i = 0; i < group.CommandStrings.size(); ++i)
            group.CommandStrings[i] = "S" + tag + "." + std::to_string(i);
        for (std::size_t i = 0; i < group.Commands.size(); ++i)
            group.Commands[i] = "C" + tag + "." + std::to_string(i);
    }
    return v;
}

// The default lines with line n (1-based) replaced.
std::string DefaultsWithLine(int n, const std::string& line) {
    auto lines = SplitCrLf(terminal::DefaultConfigText());
    lines.at(static_cast<std::size_t>(n - 1)) = line;
    return JoinLines(lines);
}

bool HeaderAllMissingFrom(const ConfigValues& v, int firstMissing) {
    const bool present[] = {v.PortName.has_value(), v.BaudString.has_value(), v.BaudRate.has_value(),
                            v.DataBits.has_value(), v.Parity.has_value(),     v.StopBits.has_value(),
                            v.TerminatorText.has_value(), v.GroupIndex.has_value()};
    for (int line = 1; line <= 8; ++line)
        if (present[line - 1] != (line < firstMissing))
            return false;
    return true;
}

}  // namespace

TEST(ConfigFormat, DefaultTextIs168LinesOfTheDefaults) {
    const auto lines = SplitCrLf(terminal::DefaultConfigText());
    ASSERT_EQ(lines.size(), 168u);
    const std::vector<std::string> header = {"COMX", "9600", "9600", "8", "0", "0", "0D,0A", "0"};
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 8), header);
    for (int g = 0; g < 10; ++g) {
        const auto first = static_cast<std::size_t>(8 + 16 * g);
        EXPECT_EQ(lines[first], "GROUP" + std::to_string(g + 1));
        for (std::size_t i = 1; i <= 5; ++i)
            EXPECT_EQ(lines[first + i], "Empty");
        for (std::size_t i = 6; i <= 15; ++i)
            EXPECT_EQ(lines[first + i], "Command");
    }
    const auto read = ReadConfigText(terminal::DefaultConfigText());
    EXPECT_EQ(read.values, terminal::DefaultConfigValues());
    EXPECT_FALSE(read.stoppedEarly);
    EXPECT_EQ(read.linesRead, 168);
}

TEST(ConfigFormat, WriterPutsNumbersAndTerminatorOnTheirLines) {
    ConfigValues v = terminal::DefaultConfigValues();
    v.BaudRate = 115200;
    v.TerminatorText = "0D";
    v.GroupIndex = -1;
    const auto lines = SplitCrLf(terminal::FormatConfigText(v));
    EXPECT_EQ(lines.at(2), "115200");
    EXPECT_EQ(lines.at(6), "0D");
    EXPECT_EQ(lines.at(7), "-1");
}

TEST(ConfigFormat, WordsTakeTheFirstRunOfCharactersOtherThanBlanks) {
    EXPECT_EQ(ReadConfigText(DefaultsWithLine(1, " \tCOM3 spare words")).values.PortName, "COM3");
    EXPECT_EQ(ReadConfigText(DefaultsWithLine(7, "  0D,0A\t# note")).values.TerminatorText, "0D,0A");
    EXPECT_EQ(ReadConfigText(DefaultsWithLine(2, "")).values.BaudString, "");
}

TEST(ConfigFormat, NumbersAreSignedDecimalsWithTheRestOfTheLineIgnored) {
    EXPECT_EQ(ReadConfigText(DefaultsWithLine(8, "-1")).values.GroupIndex, -1);
    EXPECT_EQ(ReadConfigText(DefaultsWithLine(8, "12")).values.GroupIndex, 12);
    EXPECT_EQ(ReadConfigText(DefaultsWithLine(3, "\t+19200 baud")).values.BaudRate, 19200);
    EXPECT_EQ(ReadConfigText(DefaultsWithLine(3, "-2147483648")).values.BaudRate, -2147483647 - 1);
    EXPECT_EQ(ReadConfigText(DefaultsWithLine(4, "0x10")).values.DataBits, 0);
}

TEST(ConfigFormat, NumberOutside32BitsStopsReadingLikeAWord) {
    for (const std::string line : {"2147483648", "-2147483649", "99999999999999999999999", "- 5", "", "x"}) {
        const auto read = ReadConfigText(DefaultsWithLine(5, line));
        EXPECT_TRUE(read.stoppedEarly) << line;
        EXPECT_EQ(read.linesRead, 4) << line;
        EXPECT_TRUE(HeaderAllMissingFrom(read.values, 5)) << line;
    }
}

TEST(ConfigFormat, TextsLoseLeadingBlanksOnlyAndEmptyTextsKeepTheirPlace) {
    ConfigValues v = DistinctValues();
    v.CommandGroups[0].CommandStrings[2] = "";
    v.CommandGroups[1].GroupName = "Rack 2";
    v.CommandGroups[3].Commands[9] = "  MOVE  X1 ";
    const auto lines = SplitCrLf(terminal::FormatConfigText(v));
    EXPECT_EQ(lines.at(11), "");
    const auto read = ReadConfigText(terminal::FormatConfigText(v));
    v.CommandGroups[3].Commands[9] = "MOVE  X1 ";
    EXPECT_EQ(read.values, v);
    EXPECT_FALSE(read.stoppedEarly);
}

TEST(ConfigFormat, HundredLineFileFillsWhatItHoldsAndLeavesTheRestEmpty) {
    const ConfigValues full = DistinctValues();
    auto lines = SplitCrLf(terminal::FormatConfigText(full));
    lines.resize(100);
    const auto read = ReadConfigText(JoinLines(lines));
    EXPECT_TRUE(read.stoppedEarly);
    EXPECT_EQ(read.linesRead, 100);
    EXPECT_TRUE(HeaderAllMissingFrom(read.values, 9));
    for (std::size_t g = 0; g < 5; ++g)
        EXPECT_EQ(read.values.CommandGroups[g], full.CommandGroups[g]) << g;
    terminal::ConfigGroup sixth = full.CommandGroups[5];
    for (std::size_t i = 6; i < 10; ++i)
        sixth.Commands[i] = "";
    EXPECT_EQ(read.values.CommandGroups[5], sixth);
    for (std::size_t g = 6; g < 10; ++g)
        EXPECT_EQ(read.values.CommandGroups[g], terminal::ConfigGroup{}) << g;
}

TEST(ConfigFormat, WordOnLine3StopsReadingThere) {
    const auto read = ReadConfigText(DefaultsWithLine(3, "fast"));
    EXPECT_TRUE(read.stoppedEarly);
    EXPECT_EQ(read.linesRead, 2);
    EXPECT_EQ(read.values.PortName, "COMX");
    EXPECT_EQ(read.values.BaudString, "9600");
    EXPECT_TRUE(HeaderAllMissingFrom(read.values, 3));
    for (const auto& group : read.values.CommandGroups)
        EXPECT_EQ(group, terminal::ConfigGroup{});
}

TEST(ConfigFormat, LfOnlyAndMissingLastLineEndReadLikeCrLf) {
    const std::string crlf = terminal::FormatConfigText(DistinctValues());
    auto lines = SplitCrLf(crlf);
    std::string lfOnly = JoinLines(lines, "\n");
    lfOnly.pop_back();
    const auto read = ReadConfigText(lfOnly);
    EXPECT_EQ(read.values, ReadConfigText(crlf).values);
    EXPECT_FALSE(read.stoppedEarly);
}

TEST(ConfigFormat, LinesBeyond168AreIgnored) {
    const auto read = ReadConfigText(terminal::DefaultConfigText() + "GROUP11\r\n42\r\n");
    EXPECT_EQ(read.values, terminal::DefaultConfigValues());
    EXPECT_FALSE(read.stoppedEarly);
}

TEST(ConfigFormat, StrayCrEndsTheValueWithoutShiftingLines) {
    const auto read = ReadConfigText(DefaultsWithLine(9, "Alpha\rjunk"));
    EXPECT_EQ(read.values.CommandGroups[0].GroupName, "Alpha");
    EXPECT_EQ(read.values.CommandGroups[0].CommandStrings[0], "Empty");
    EXPECT_FALSE(read.stoppedEarly);
}

TEST(ConfigFormat, LineBreaksInsideAValueAreWrittenAsBlanks) {
    ConfigValues v = DistinctValues();
    v.CommandGroups[2].Commands[0] = "RD 1\r\nRD 2";
    const std::string text = terminal::FormatConfigText(v);
    EXPECT_EQ(SplitCrLf(text).size(), 168u);
    const auto read = ReadConfigText(text);
    EXPECT_EQ(read.values.CommandGroups[2].Commands[0], "RD 1  RD 2");
    EXPECT_EQ(read.values.CommandGroups[9], v.CommandGroups[9]);
}

TEST(ConfigFormat, MissingValuesStayMissingThroughWriteAndRead) {
    const auto first = ReadConfigText("COM2\n19200\nabc\n");
    EXPECT_EQ(terminal::FormatConfigText(first.values), "COM2\r\n19200\r\n");
    EXPECT_EQ(ReadConfigText(terminal::FormatConfigText(first.values)).values, first.values);
    const auto empty = ReadConfigText("");
    EXPECT_TRUE(empty.stoppedEarly);
    EXPECT_EQ(empty.linesRead, 0);
    EXPECT_TRUE(HeaderAllMissingFrom(empty.values, 1));
}

class ConfigFiles : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "talvane-config-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        file = folder / "Talvane Config.txt";
    }
    void TearDown() override {
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }
    std::vector<std::string> Entries() const { return EntriesOf(folder); }
    static std::vector<std::string> EntriesOf(const fs::path& where) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(where))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
    fs::path file;
};

TEST_F(ConfigFiles, SavedValuesReadBackFromDisk) {
    ConfigValues v = DistinctValues();
    v.CommandGroups[0].CommandStrings[2] = "";
    ASSERT_TRUE(platform::SaveTextAtomically(file, terminal::FormatConfigText(v)));
    const auto text = terminal::ReadFileText(file);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(ReadConfigText(*text).values, v);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Talvane Config.txt"});
}

TEST_F(ConfigFiles, ReadingDistinguishesMissingFromEmpty) {
    EXPECT_FALSE(terminal::ReadFileText(file).has_value());
    EXPECT_FALSE(terminal::ReadFileText(folder).has_value());
    ASSERT_TRUE(platform::SaveTextAtomically(file, ""));
    EXPECT_EQ(terminal::ReadFileText(file), "");
}

TEST_F(ConfigFiles, SaveReplacesContentAndKeepsPermissions) {
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    ASSERT_TRUE(platform::SaveTextAtomically(file, "old\r\n"));
    fs::permissions(file, mode);
    ASSERT_TRUE(platform::SaveTextAtomically(file, "new\r\n"));
    EXPECT_EQ(terminal::ReadFileText(file), "new\r\n");
    EXPECT_EQ(fs::status(file).permissions(), mode);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Talvane Config.txt"});
}

TEST_F(ConfigFiles, FailedSaveLeavesNoTemporaryFile) {
    EXPECT_FALSE(platform::SaveTextAtomically(folder / "missing" / "Talvane Config.txt", "x"));
    fs::create_directory(file);  // a folder where the file should be: the rename fails
    fs::create_directory(file / "inside");
    EXPECT_FALSE(platform::SaveTextAtomically(file, "x"));
    EXPECT_TRUE(fs::is_directory(file / "inside"));
    EXPECT_EQ(Entries(), std::vector<std::string>{"Talvane Config.txt"});
}

TEST_F(ConfigFiles, SaveInAReadOnlyFolderKeepsTheOldFile) {
    ASSERT_TRUE(platform::SaveTextAtomically(file, "old\r\n"));
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
    testsupport::RunWithoutCapabilities({CAP_DAC_OVERRIDE},
                                        [&] { EXPECT_FALSE(platform::SaveTextAtomically(file, "new\r\n")); });
    EXPECT_EQ(terminal::ReadFileText(file), "old\r\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"Talvane Config.txt"});
}

TEST_F(ConfigFiles, BadCopyKeepsTheFileBesideIt) {
    EXPECT_FALSE(terminal::KeepBadCopy(file));
    ASSERT_TRUE(platform::SaveTextAtomically(file, "COMX\r\n9600\r\nfast\r\n"));
    ASSERT_TRUE(platform::SaveTextAtomically(terminal::BadCopyPath(file), "older copy"));
    ASSERT_TRUE(terminal::KeepBadCopy(file));
    EXPECT_EQ(terminal::BadCopyPath(file), folder / "Talvane Config.txt.bad");
    EXPECT_EQ(terminal::ReadFileText(folder / "Talvane Config.txt.bad"), "COMX\r\n9600\r\nfast\r\n");
    EXPECT_EQ(terminal::ReadFileText(file), "COMX\r\n9600\r\nfast\r\n");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Talvane Config.txt", "Talvane Config.txt.bad"}));
}

namespace {

fs::perms Mode(const fs::path& path) { return fs::status(path).permissions(); }

void WriteWithMode(const fs::path& path, const std::string& text, fs::perms mode) {
    ASSERT_TRUE(platform::SaveTextAtomically(path, text));
    fs::permissions(path, mode);
}

// The user the protected-file test saves as when the tests run as root, who passes every access check.
const passwd* UnprivilegedUser() { return ::geteuid() == 0 ? ::getpwnam("nobody") : nullptr; }

// Runs save in a child process, as user (when given) with that user's group and no others. The
// child's exit status: save's result, or 99 when it could not become that user.
int SaveInChild(const passwd* user, int (*save)()) {
    const pid_t child = ::fork();
    if (child == 0) {
        if (user != nullptr && (::setgroups(0, nullptr) != 0 || ::setgid(user->pw_gid) != 0 ||
                                ::setuid(user->pw_uid) != 0 || ::geteuid() == 0))
            ::_exit(99);
        ::_exit(save());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

fs::path g_protected;
fs::path g_writable;

}  // namespace

TEST_F(ConfigFiles, AWriteProtectedFileIsLeftAsItWasForAnOrdinaryUser) {
    const passwd* user = UnprivilegedUser();
    if (::geteuid() == 0 && user == nullptr)
        GTEST_SKIP() << "no unprivileged user to save as";
    g_protected = file;
    g_writable = folder / "Framont Config.txt";
    WriteWithMode(g_protected, "old\r\n", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    WriteWithMode(g_writable, "old\r\n", fs::perms::owner_read | fs::perms::owner_write);
    const uid_t owner = user != nullptr ? user->pw_uid : ::geteuid();
    const gid_t group = user != nullptr ? user->pw_gid : ::getegid();
    for (const fs::path& path : {folder, g_protected, g_writable})
        ASSERT_EQ(::chown(path.c_str(), owner, group), 0) << path;

    const int status = SaveInChild(user, [] {
        const bool protectedSaved = platform::SaveTextAtomically(g_protected, "new\r\n");
        const bool writableSaved = platform::SaveTextAtomically(g_writable, "new\r\n");
        return (protectedSaved ? 1 : 0) | (writableSaved ? 2 : 0);
    });

    EXPECT_EQ(status, 2) << "1: the protected file was replaced; 2: the writable one was";
    EXPECT_EQ(terminal::ReadFileText(g_protected), "old\r\n");
    EXPECT_EQ(Mode(g_protected), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    EXPECT_EQ(terminal::ReadFileText(g_writable), "new\r\n");
    EXPECT_EQ(Mode(g_writable), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Framont Config.txt", "Talvane Config.txt"}));
}

// Root passes every access check; for root the write bits decide, as a read-only attribute stopped
// every user.
TEST_F(ConfigFiles, AFileWithNoWriteBitIsNeverReplacedAndOneWithAnyKeepsItsMode) {
    const fs::perms readOnly = fs::perms::owner_read | fs::perms::group_read;
    WriteWithMode(file, "old\r\n", readOnly);
    EXPECT_FALSE(platform::SaveTextAtomically(file, "new\r\n"));
    EXPECT_EQ(terminal::ReadFileText(file), "old\r\n");
    EXPECT_EQ(Mode(file), readOnly);

    const fs::perms writable = readOnly | fs::perms::owner_write | fs::perms::group_write;
    fs::permissions(file, writable);
    EXPECT_TRUE(platform::SaveTextAtomically(file, "new\r\n"));
    EXPECT_EQ(terminal::ReadFileText(file), "new\r\n");
    EXPECT_EQ(Mode(file), writable);
    EXPECT_EQ(Entries(), std::vector<std::string>{"Talvane Config.txt"});
}

TEST_F(ConfigFiles, ALinkedFileStaysALinkAndItsTargetTakesTheSave) {
    const fs::path elsewhere = folder / "elsewhere";
    fs::create_directory(elsewhere);
    const fs::path target = elsewhere / "Real Config.txt";
    fs::create_symlink("Real Config.txt", elsewhere / "hop");  // relative to its own folder
    fs::create_symlink(elsewhere / "hop", file);

    ASSERT_TRUE(platform::SaveTextAtomically(file, "created\r\n")) << "a link to nothing yet";
    EXPECT_EQ(terminal::ReadFileText(target), "created\r\n");
    WriteWithMode(target, "old\r\n", fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    ASSERT_TRUE(platform::SaveTextAtomically(file, "new\r\n"));

    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_TRUE(fs::is_symlink(elsewhere / "hop"));
    EXPECT_EQ(terminal::ReadFileText(file), "new\r\n");
    EXPECT_EQ(Mode(target), fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Talvane Config.txt", "elsewhere"}));
    EXPECT_EQ(EntriesOf(elsewhere), (std::vector<std::string>{"Real Config.txt", "hop"}));

    fs::remove(file);
    fs::create_symlink("Talvane Config.txt", file);  // a link to itself
    EXPECT_FALSE(platform::SaveTextAtomically(file, "new\r\n"));
    EXPECT_TRUE(fs::is_symlink(file));
}
