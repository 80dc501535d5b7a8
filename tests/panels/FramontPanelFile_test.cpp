// "Framont Config.txt": its format, a round trip through the real panel, and hand-edited files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FramontFixture.h"
#include "panels/FramontPanelFile.h"
#include "support/ThreadCapabilities.h"

using panels::FramontPanelValues;
using panels::ReadFramontPanelText;

namespace {

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const char* const kDefaultText =
    "0,100\r\n0\r\n0\r\n0\r\n0\r\n0\r\n50\r\n0\r\n128\r\n90\r\n1,2500.00,2500.00\r\n0\r\n";

class FramontPanelFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("framont-file-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        path = folder / "Framont Config.txt";
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::filesystem::path folder;
    std::filesystem::path path;
};

TEST(FramontPanelFile, TheDefaultsAreTheTwelveLinesOfANewFile) {
    EXPECT_EQ(panels::FormatFramontPanelText(FramontPanelValues{}), kDefaultText);
    EXPECT_EQ(ReadFramontPanelText(kDefaultText), FramontPanelValues{});
}

TEST(FramontPanelFile, ValuesComeBackAsTheyWereWritten) {
    FramontPanelValues v;
    v.EnergyRange = 1;
    v.Energy = 350;
    v.AutoEnergy = 1;
    v.WavelengthIndex = 7;
    v.ModeIndex = -1;
    v.BurstCount = 1000;
    v.RepRate = 25;
    v.PolarizationAngle = -90;
    v.FieldLEDRaw = 255;
    v.SlitLEDRaw = 0;
    v.SlitSpot = "5,600.00,123.45";
    v.ThetaValue = -45;
    const std::string text = panels::FormatFramontPanelText(v);
    EXPECT_EQ(text, "1,350\r\n0\r\n1\r\n7\r\n-1\r\n1000\r\n25\r\n-90\r\n255\r\n0\r\n5,600.00,123.45\r\n-45\r\n");
    EXPECT_EQ(ReadFramontPanelText(text), v);
}

TEST(FramontPanelFile, AnEnergyLineWithoutACommaReadsAsTheDefaultEnergy) {
    const FramontPanelValues v = ReadFramontPanelText("250\r\n");
    EXPECT_EQ(v.EnergyRange, 0);
    EXPECT_EQ(v.Energy, 100);
    const FramontPanelValues text = ReadFramontPanelText("1,abc\r\n");
    EXPECT_EQ(text.EnergyRange, 1);
    EXPECT_EQ(text.Energy, 0) << "a part that is not a number reads as 0";
}

TEST(FramontPanelFile, ValuesThePanelWouldRefuseReadAsTheirDefaults) {
    const FramontPanelValues v = ReadFramontPanelText(
        "5,100\r\n3\r\n2\r\n0\r\n0\r\n1001\r\n51\r\n91\r\n256\r\n-1\r\n1,2500.00,2500.00\r\n46\r\n");
    EXPECT_EQ(v, FramontPanelValues{});
    EXPECT_EQ(ReadFramontPanelText("1,1001\r\n").Energy, 100);
    EXPECT_EQ(ReadFramontPanelText("0,100\r\n3\r\n").LaserFire, 0) << "the opening never fires the laser";
    EXPECT_EQ(ReadFramontPanelText("0,100\r\n1\r\n").LaserFire, 1);
}

TEST(FramontPanelFile, EachValueComesFromItsOwnLine) {
    // A bad line 6 and an empty line 8 do not shift the values after them.
    const FramontPanelValues v = ReadFramontPanelText(
        "1,20\r\n0\r\n1\r\n2\r\n1\r\nmany\r\n30\r\n\r\n100\r\n200\r\n10,150.00,150.00\r\n-5\r\n");
    EXPECT_EQ(v.BurstCount, 0);
    EXPECT_EQ(v.RepRate, 30);
    EXPECT_EQ(v.PolarizationAngle, 0);
    EXPECT_EQ(v.FieldLEDRaw, 100);
    EXPECT_EQ(v.SlitLEDRaw, 200);
    EXPECT_EQ(v.SlitSpot, "10,150.00,150.00");
    EXPECT_EQ(v.ThetaValue, -5);
}

TEST(FramontPanelFile, NumbersMayStandBetweenBlanksAndLineEndsMayBeLineFeedsAlone) {
    const FramontPanelValues v = ReadFramontPanelText(" 1,20 x\n0\n0\n\t4 extra\n2\n+12\n 30\n-7\n1\n2\n  20,1.00,2.00 tail\n3");
    EXPECT_EQ(v.Energy, 20);
    EXPECT_EQ(v.WavelengthIndex, 4);
    EXPECT_EQ(v.ModeIndex, 2);
    EXPECT_EQ(v.BurstCount, 12);
    EXPECT_EQ(v.RepRate, 30);
    EXPECT_EQ(v.PolarizationAngle, -7);
    EXPECT_EQ(v.SlitSpot, "20,1.00,2.00");
    EXPECT_EQ(v.ThetaValue, 3) << "the last line needs no line end";
}

TEST(FramontPanelFile, AShortOrEmptyFileKeepsTheDefaultsOfItsMissingLines) {
    EXPECT_EQ(ReadFramontPanelText(""), FramontPanelValues{});
    const FramontPanelValues v = ReadFramontPanelText("1,500\r\n0\r\n1\r\n");
    EXPECT_EQ(v.Energy, 500);
    EXPECT_EQ(v.AutoEnergy, 1);
    EXPECT_EQ(v.RepRate, 50);
    EXPECT_EQ(v.SlitSpot, "1,2500.00,2500.00");
}

TEST(FramontPanelFile, NumbersBeyondThirtyTwoBitsAndBinaryBytesDoNotConvert) {
    const FramontPanelValues v = ReadFramontPanelText(
        std::string("0,100\r\n0\r\n0\r\n99999999999\r\n\0\x01\r\n", 30) + "0\r\n50\r\n0\r\n128\r\n90\r\n\xff\xfe\r\n0\r\n");
    EXPECT_EQ(v.WavelengthIndex, 0);
    EXPECT_EQ(v.ModeIndex, 0);
    EXPECT_EQ(v.SlitSpot, "1,2500.00,2500.00");
}

TEST(FramontPanelFile, ASlitSpotKeepsAnEmptySizeAndAnyTheSlitCanTakeButNoOther) {
    EXPECT_EQ(ReadFramontPanelText(std::string(10, '\n') + "1,2500\n").SlitSpot, "1,2500");
    EXPECT_EQ(ReadFramontPanelText(std::string(10, '\n') + "7,100.00,100.00\n").SlitSpot, "7,100.00,100.00")
        << "a magnification outside the list selects none, as the panel always did";
    for (const char* aboveItsLimit : {"50,120.00,50.00", "1,6000.00,6000.00", "100,60.00,0.00", "7,6000,1"})
        EXPECT_EQ(ReadFramontPanelText(std::string(10, '\n') + aboveItsLimit + "\n").SlitSpot, aboveItsLimit);
    for (const char* bad : {"1,abc,2500.00", "1,2500.00,1.2.3", "1,-5,10", "1,1e999,1", "1,.,1", "1,6000.01,1",
                            "100,60.01,1", "5,1,1200.5", "7,6001,1"})
        EXPECT_EQ(ReadFramontPanelText(std::string(10, '\n') + bad + "\n").SlitSpot, "1,2500.00,2500.00") << bad;
}

TEST_F(FramontPanelFileOnDisk, AMissingFileIsCreatedWithTheDefaults) {
    const auto values = panels::LoadFramontPanelFile(path);
    ASSERT_TRUE(values);
    EXPECT_EQ(*values, FramontPanelValues{});
    EXPECT_EQ(ReadAll(path), kDefaultText);
}

TEST_F(FramontPanelFileOnDisk, SavingReplacesTheWholeFile) {
    std::ofstream(path, std::ios::binary) << std::string(5000, 'x');
    FramontPanelValues v;
    v.RepRate = 25;
    ASSERT_TRUE(panels::SaveFramontPanelFile(path, v));
    EXPECT_EQ(ReadAll(path), panels::FormatFramontPanelText(v));
    EXPECT_EQ(panels::LoadFramontPanelFile(path)->RepRate, 25);
}

TEST_F(FramontPanelFileOnDisk, AFolderThatIsGoneGivesNoValuesAndCreatesNothing) {
    const auto gone = folder / "gone" / "Framont Config.txt";
    EXPECT_FALSE(panels::LoadFramontPanelFile(gone));
    EXPECT_FALSE(panels::SaveFramontPanelFile(gone, FramontPanelValues{}));
    EXPECT_FALSE(std::filesystem::exists(folder / "gone"));
}

TEST_F(FramontPanelFileOnDisk, AnUnreadableFileIsNotOverwrittenWithDefaults) {
    std::ofstream(path, std::ios::binary) << "1,500\r\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_write);
    testsupport::RunWithoutCapabilities({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH},
                                        [&] { EXPECT_FALSE(panels::LoadFramontPanelFile(path)); });
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    EXPECT_EQ(ReadAll(path), "1,500\r\n");
}

// The operator drives every control of the panel to one end of its range; the panel is closed (it
// saves), opened again (it replays the file) and closed again. Each line must come back as saved,
// from the reader alone and through the replay.
class FramontRoundTrip : public framonttest::FramontPanel {
protected:
    void SetUp() override {
        FramontPanel::SetUp();
        Open();
    }

    void Commit(ui::TEdit& edit, const std::string& text) {
        SelectAllAndType(edit, text);
        PressEnter(edit);
    }
    static void Key(ui::TTrackBar& bar, Qt::Key key) { QTest::keyClick(bar.Widget(), key); }

    void ExpectSavedAndReplayedAlike(const std::string& expected) {
        Close();
        const std::string saved = framonttest::ReadPanelFile();
        ASSERT_EQ(saved, expected) << "the controls did not reach their ends";
        Open();
        Close();
        const std::vector<std::string> savedLines = Lines(saved);
        const std::vector<std::string> reread = Lines(panels::FormatFramontPanelText(ReadFramontPanelText(saved)));
        const std::vector<std::string> replayed = Lines(framonttest::ReadPanelFile());
        ASSERT_EQ(reread.size(), savedLines.size());
        ASSERT_EQ(replayed.size(), savedLines.size());
        for (std::size_t i = 0; i < savedLines.size(); ++i) {
            EXPECT_EQ(reread[i], savedLines[i]) << "line " << i + 1 << " as the reader gives it";
            EXPECT_EQ(replayed[i], savedLines[i]) << "line " << i + 1 << " after the replay";
        }
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(text.substr(at, end - at));
        return lines;
    }
};

TEST_F(FramontRoundTrip, EveryControlAtItsUpperEndComesBack) {
    TFramontControlForm& p = panel();
    Commit(*p.leEnergy, "1000");
    ClickToggle(*p.rbHighEnergy);
    QTest::mouseClick(p.sbFire->Widget(), Qt::LeftButton);
    ClickToggle(*p.cbAutoEnergy);
    Pick(*p.cbWavelength, 5);
    Pick(*p.cbMode, 2);
    Commit(*p.leBurstCount, "1000");
    Commit(*p.leRepRate, "50");
    Key(*p.tbPolarization, Qt::Key_End);
    Key(*p.tbFieldLED, Qt::Key_Home);  // the top: 100 %
    Commit(*p.edSlitLED, "100");
    Pick(*p.cbSlitMag, 5);
    Commit(*p.leXSize, "60");
    Commit(*p.leYSize, "60");
    Pick(*p.cbSlitMag, 0);  // 6000 at 1x, twice the limit there
    Key(*p.tbTheta, Qt::Key_End);
    ExpectSavedAndReplayedAlike("1,1000\r\n0\r\n1\r\n5\r\n2\r\n1000\r\n50\r\n90\r\n255\r\n255\r\n"
                                "1,6000.00,6000.00\r\n45\r\n");
}

TEST_F(FramontRoundTrip, EveryControlAtItsLowerEndComesBack) {
    TFramontControlForm& p = panel();
    ClickToggle(*p.rbHighEnergy);
    Commit(*p.leEnergy, "0");
    ClickToggle(*p.rbLowEnergy);
    Pick(*p.cbMode, 2);
    Commit(*p.leBurstCount, "0");
    Pick(*p.cbMode, 0);
    Pick(*p.cbWavelength, 0);
    Commit(*p.leRepRate, "0");
    Key(*p.tbPolarization, Qt::Key_Home);
    Key(*p.tbFieldLED, Qt::Key_End);  // the bottom: 0 %
    Commit(*p.edSlitLED, "0");
    Pick(*p.cbSlitMag, 5);
    Commit(*p.leXSize, "0");
    Commit(*p.leYSize, "0");
    Key(*p.tbTheta, Qt::Key_Home);
    ExpectSavedAndReplayedAlike("0,0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n-90\r\n0\r\n0\r\n100,0.00,0.00\r\n-45\r\n");
}

}  // namespace
