// The Pexmar replies and panel file, without a window; real files in the test's data folder.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "panels/PexmarCommands.h"
#include "platform/Folders.h"
#include "platform/TextConvert.h"

using namespace panels::pexmar;

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class PexmarFile : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder);
        std::filesystem::remove(path);
    }
    void TearDown() override {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder = platform::DrennickFolder() / "pexmar-file-test";
    std::filesystem::path path = folder / "Pexmar Config.txt";
};

TEST(PexmarReplies, StatusTextsCutTheReplyAtItsMarkAndAddTheUnit) {
    EXPECT_EQ(LaserTypeText("1064-IR"), "1064nm");
    EXPECT_EQ(LaserTypeText("1064"), "nm") << "no mark: an empty value";
    EXPECT_EQ(LaserTypeText("-532"), "nm") << "the mark first: an empty value";
    EXPECT_EQ(DiodeVoltageText("4.7+0.1"), "4.7 V");
    EXPECT_EQ(DiodeCurrentText("21.0+"), "21.0 A");
    EXPECT_EQ(WarningText(""), "None");
    EXPECT_EQ(WarningText("Flow low"), "Flow low");
    EXPECT_EQ(ParameterSetItem(5), "05");
    EXPECT_EQ(ParameterSetItem(15), "15");
    EXPECT_EQ(FindIgnoringCase({"CW", "PULSED"}, "pulsed"), 1);
    EXPECT_EQ(FindIgnoringCase({"CW", "PULSED"}, "PULSE"), -1);
}

TEST(PexmarReplies, SettingValuesAreDecimalNumbersBeforeThePlusWithinSinglePrecision) {
    EXPECT_EQ(SettingValue("45.5+00"), 45.5f);
    EXPECT_THROW(SettingValue("45.5"), platform::EConvertError) << "no plus: an empty text";
    EXPECT_THROW(SingleValue("1e39"), platform::EConvertError);
    try {
        SingleValue("abc");
        FAIL();
    } catch (const platform::EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(IndexValue("1"), 1);
    EXPECT_EQ(IndexValue("PULSED"), 0);
    EXPECT_EQ(IndexValue("7"), 7);
}

TEST(PexmarReplies, PanelFileTextKeepsEveryValueOnItsOwnLine) {
    PanelFileValues values;
    values.parameterSet = "05";
    values.frequency = 55.56f;
    values.diodeCurrent = 20.0f;
    values.pulseMode = 1;
    EXPECT_EQ(PanelFileText(values), "05\r\n55.56\r\n20\r\n1\r\n0\r\n");
    values.parameterSet = "";
    const std::string text = PanelFileText(values);
    EXPECT_EQ(text, "none\r\n55.56\r\n20\r\n1\r\n0\r\n");
    EXPECT_EQ(PanelFileWords(text), (std::vector<std::string>{"none", "55.56", "20", "1", "0"}))
        << "an empty parameter set must not pull the frequency into its place";
    EXPECT_EQ(PanelFileWords(" 03\n\n 45.5\t30\n1 1 extra"), (std::vector<std::string>{"03", "45.5", "30", "1", "1"}));
    EXPECT_EQ(PanelFileWords("03"), std::vector<std::string>{"03"});
}

TEST(PexmarReplies, PanelFileValuesKeepTheEditsRangesAndAWordThatIsNoNumberRaisesAtItsReplay) {
    const PanelFileReading file = ReadPanelFileText("xx 100.0 50 PULSED 7 more");
    EXPECT_EQ(file.parameterSet, "xx");
    EXPECT_EQ(file.frequency->Value(), 100.0f);
    EXPECT_EQ(file.diodeCurrent->Value(), 50.0f);
    EXPECT_EQ(file.pulseMode, 0);
    EXPECT_EQ(file.shutter, 7);
    const PanelFileReading outside = ReadPanelFileText("00 100.01 12.9");
    EXPECT_EQ(outside.frequency->Value(), 20.0f) << "the lower end, the default file's value";
    EXPECT_EQ(outside.diodeCurrent->Value(), 13.0f);
    EXPECT_FALSE(outside.pulseMode.has_value());
    EXPECT_THROW(ReadPanelFileText("00 1e39").frequency->Value(), platform::EConvertError);
    EXPECT_THROW(ReadPanelFileText("00 abc").frequency->Value(), platform::EConvertError);
}

TEST_F(PexmarFile, AMissingFileIsCreatedWithTheDefaultsAndReadBack) {
    const auto words = LoadPanelFileWords(path);
    ASSERT_TRUE(words.has_value());
    EXPECT_EQ(*words, (std::vector<std::string>{"00", "20.0", "13.0", "0", "0"}));
    EXPECT_EQ(ReadAll(path), "00\r\n20.0\r\n13.0\r\n0\r\n0\r\n");

    PanelFileValues values{"07", 45.5f, 30.0f, 1, 0};
    ASSERT_TRUE(SavePanelFile(path, values));
    EXPECT_EQ(*LoadPanelFileWords(path), (std::vector<std::string>{"07", "45.5", "30", "1", "0"}));
}

TEST_F(PexmarFile, AFileThatCanBeNeitherReadNorMadeGivesNothingAndAHugeOneOnlyItsHead) {
    if (geteuid() != 0) {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        EXPECT_FALSE(LoadPanelFileWords(path).has_value());
        EXPECT_FALSE(SavePanelFile(path, PanelFileValues{}));
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    }
    EXPECT_FALSE(LoadPanelFileWords(folder / "no such folder" / "Pexmar Config.txt").has_value());

    {
        std::ofstream out(path, std::ios::binary);
        out << std::string(3 << 20, 'x');
    }
    const auto words = LoadPanelFileWords(path);
    ASSERT_TRUE(words.has_value());
    ASSERT_EQ(words->size(), 1u);
    EXPECT_EQ((*words)[0].size(), std::size_t{1} << 20);
}

}  // namespace
