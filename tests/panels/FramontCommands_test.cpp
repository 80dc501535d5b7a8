// The Framont panel's own texts and numbers: replies it reads, level conversions, slit sizes.
#include <gtest/gtest.h>

#include "panels/FramontCommands.h"

using namespace panels::framont;

namespace {

TEST(FramontCommands, LaserControllerCommandsCarryTheirArgumentsInDecimal) {
    EXPECT_EQ(LaserCommand("FL", 3), ";LC:FL 3");
    EXPECT_EQ(LaserCommand("PA", -90), ";LC:PA -90");
    EXPECT_EQ(LaserCommand("BU", ""), ";LC:BU");
    EXPECT_EQ(EnergyCommand(1, 250), ";LC:ED 1,250");
    EXPECT_EQ(IlluminatorCommand(1, 0), ";LC:IL 1,0");
}

TEST(FramontCommands, WavelengthRepliesMatchOnlyTheExactTextOfAnItem) {
    EXPECT_EQ(WavelengthIndexOfReply("3 0"), 0);
    EXPECT_EQ(WavelengthIndexOfReply("2 1"), 4);
    EXPECT_EQ(WavelengthIndexOfReply("2 2"), 5);
    for (const char* other : {"2 1 ", " 2 1", "21", "?E3", "", "2,1", "3 3"})
        EXPECT_EQ(WavelengthIndexOfReply(other), -1) << other;
    EXPECT_EQ(WavelengthCommand(4), ";LC:SW 2 1");
    EXPECT_EQ(WavelengthCommand(0), ";LC:SW 3 0");
    EXPECT_EQ(WavelengthCommand(-1), "");
    EXPECT_EQ(WavelengthCommand(6), "");
    EXPECT_EQ(WavelengthItem(3), "532nm 0");
}

TEST(FramontCommands, ModeRepliesAreExactlyOneDigitOfAMode) {
    EXPECT_EQ(ModeIndexOfReply("0"), 0);
    EXPECT_EQ(ModeIndexOfReply("2"), 2);
    for (const char* other : {"3", "?E1", "", "02", "1 ", "-1"})
        EXPECT_EQ(ModeIndexOfReply(other), -1) << other;
}

TEST(FramontCommands, TextAroundTheFirstComma) {
    EXPECT_EQ(TextBeforeComma("1,350"), "1");
    EXPECT_EQ(TextAfterComma("1,350"), "350");
    EXPECT_EQ(TextBeforeComma("350"), "");
    EXPECT_EQ(TextAfterComma("350"), "350");
    EXPECT_EQ(TextAfterComma("a,b,c"), "b,c");
    EXPECT_EQ(TextAfterComma(","), "");
}

TEST(FramontCommands, IlluminatorLevelsFollowTheSinglePrecisionConstant) {
    const std::pair<int, int> percentToRaw[] = {{0, 0}, {1, 2}, {2, 5}, {10, 25}, {25, 63},
                                                {50, 127}, {75, 191}, {99, 252}, {100, 255}};
    for (const auto& [percent, raw] : percentToRaw)
        EXPECT_EQ(IlluminatorRaw(percent), raw) << percent << " %";
}

TEST(FramontCommands, ARawLevelReadBackGivesThePercentageThatSentIt) {
    for (int percent = 0; percent <= 100; ++percent)
        EXPECT_EQ(PercentOfRaw(IlluminatorRaw(percent)), percent) << percent << " % must not drift down";
    EXPECT_EQ(PercentOfRaw(128), 50);
    EXPECT_EQ(IlluminatorRaw(PercentOfRaw(128)), 127);
    EXPECT_EQ(PercentOfRaw(90), 35) << "89 and 91 are as near: the lower wins";
    EXPECT_EQ(PercentOfRaw(255), 100);
    EXPECT_EQ(PercentOfRaw(1), 0);
    EXPECT_EQ(PercentOfRaw(0), 0);
    EXPECT_GT(PercentOfRaw(0x1FF), 100) << "the edit refuses it";
    EXPECT_EQ(PercentOfRaw(-1), 0) << "FFFFFFFF reads as -1";
    EXPECT_GT(PercentOfRaw(0x7FFFFFFF), 100);
    EXPECT_LT(PercentOfRaw(-300), 0);
}

TEST(FramontCommands, MagnificationsCarryTheirLimitsAndTexts) {
    ASSERT_TRUE(MagnificationAt(1));
    EXPECT_EQ(MagnificationAt(1)->factor, 5);
    EXPECT_EQ(MagnificationAt(1)->limit, 600.0F);
    EXPECT_EQ(MagnificationAt(4)->limit, 60.0F);
    EXPECT_EQ(MagnificationAt(5)->limit, 60.0F) << "100x keeps the 50x limit";
    EXPECT_FALSE(MagnificationAt(-1));
    EXPECT_FALSE(MagnificationAt(6));
    EXPECT_EQ(MagnificationText(5), "100");
    EXPECT_EQ(MagnificationText(-1), "");
    EXPECT_EQ(MagnificationIndexOf(20), 3);
    EXPECT_EQ(MagnificationIndexOf(7), -1);
    EXPECT_EQ(MagnificationIndexOf(0), -1);
}

TEST(FramontCommands, SlitSpotSplitsAtItsFirstTwoCommas) {
    const SlitSpotParts whole = SplitSlitSpot("5,500.00,400.00");
    EXPECT_EQ(whole.magnification, "5");
    EXPECT_EQ(whole.x, "500.00");
    EXPECT_EQ(whole.y, "400.00");
    const SlitSpotParts shortSpot = SplitSlitSpot("1,2500");
    EXPECT_EQ(shortSpot.magnification, "1");
    EXPECT_EQ(shortSpot.x, "");
    EXPECT_EQ(shortSpot.y, "2500");
    const SlitSpotParts extra = SplitSlitSpot("1,2,3,4");
    EXPECT_EQ(extra.y, "3,4");
    EXPECT_EQ(JoinSlitSpot("", "1.00", "2.00"), ",1.00,2.00");
}

TEST(FramontCommands, StatusCaptionShowsFourZerosForAnErrorReply) {
    EXPECT_EQ(StatusCaption("12"), "12");
    EXPECT_EQ(StatusCaption(""), "");
    EXPECT_EQ(StatusCaption("?E1"), "0000");
    EXPECT_EQ(StatusCaption("A?B"), "0000");
    EXPECT_EQ(StatusCaption(std::nullopt), "0000");
}

}  // namespace
