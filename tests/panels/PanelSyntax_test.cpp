// The panels' command texts, reply tests and number formats, without a window.
#include <gtest/gtest.h>

#include "panels/PanelSyntax.h"

using namespace panels;

namespace {

TEST(PanelSyntax, UnitCommandsAndQueriesFollowTheControllerSyntax) {
    EXPECT_EQ(UnitCommand("LC", "FL", "3"), ";LC:FL 3");
    EXPECT_EQ(UnitCommand("LC", "SW", "3 0"), ";LC:SW 3 0");
    EXPECT_EQ(UnitCommand("SL", "SP", JoinArguments({"01F4", "00C8"})), ";SL:SP 01F4,00C8");
    EXPECT_EQ(UnitCommand("IL", "SH"), ";IL:SH");
    EXPECT_EQ(UnitQuery("LC", "ED"), ";LC:ED?");
    EXPECT_EQ(UnitQuery("LC", "IL", "0"), ";LC:IL? 0");
    EXPECT_EQ(JoinArguments({"", "5"}), ",5") << "an empty first argument keeps its place";
    EXPECT_EQ(PexmarSetting("GATE ACTIV", "1"), "!GATE ACTIV=1");
    EXPECT_EQ(PexmarQuery("PULSE MODE"), "?PULSE MODE");
    EXPECT_EQ(StopCommand(CommandSet::Ondrel), ";LC:FL 0");
    EXPECT_EQ(StopCommand(CommandSet::Framont), ";LC:FL 0");
    EXPECT_EQ(StopCommand(CommandSet::Pexmar), "!GATE ACTIV=0");
}

TEST(PanelSyntax, ErrorRepliesCarryNoValueByTheirOwnCommandSetsTest) {
    EXPECT_FALSE(ReplyCarriesValue("?E3", CommandSet::Framont));
    EXPECT_FALSE(ReplyCarriesValue("12?", CommandSet::Ondrel));
    EXPECT_TRUE(ReplyCarriesValue("1,500", CommandSet::Framont));
    EXPECT_TRUE(ReplyCarriesValue("", CommandSet::Framont));
    EXPECT_FALSE(ReplyCarriesValue("Syntax Error 4", CommandSet::Pexmar));
    EXPECT_TRUE(ReplyCarriesValue("?E3", CommandSet::Pexmar)) << "a Pexmar reply is tested for Error only";
    EXPECT_TRUE(ReplyCarriesValue("error", CommandSet::Pexmar)) << "the test is case-sensitive";
}

TEST(PanelSyntax, Hex4IsZeroFilledUpperCaseAndWidensBeyondFourDigits) {
    EXPECT_EQ(Hex4(0), "0000");
    EXPECT_EQ(Hex4(1723), "06BB");
    EXPECT_EQ(Hex4(3446), "0D76");
    EXPECT_EQ(Hex4(0x12345), "12345");
    EXPECT_EQ(Hex4(-1), "FFFFFFFF");
}

TEST(PanelSyntax, FormatFixedRoundsTheDecimalTextHalfAwayFromZero) {
    EXPECT_EQ(FormatFixed(20.0, 1), "20.0");
    EXPECT_EQ(FormatFixed(static_cast<float>(55.56), 1), "55.6");
    EXPECT_EQ(FormatFixed(20.25, 1), "20.3") << "a binary tie rounds up, unlike printf's";
    EXPECT_EQ(FormatFixed(static_cast<float>(20.3), 1), "20.3");
    EXPECT_EQ(FormatFixed(99.95, 1), "100.0");
    EXPECT_EQ(FormatFixed(0.04, 1), "0.0");
    EXPECT_EQ(FormatFixed(0.05, 1), "0.1");
    EXPECT_EQ(FormatFixed(-0.04, 1), "0.0");
    EXPECT_EQ(FormatFixed(-2.25, 1), "-2.3");
    EXPECT_EQ(FormatFixed(500.0, 2), "500.00");
    EXPECT_EQ(FormatFixed(0.005, 2), "0.01");
    EXPECT_EQ(FormatFixed(0.0, 1), "0.0");
    EXPECT_EQ(FormatFixed(1e20, 1), "100000000000000000000.0");
}

TEST(PanelSyntax, FormatGeneralWritesTheShortestTextOfSixDigits) {
    EXPECT_EQ(FormatGeneral(20.0), "20");
    EXPECT_EQ(FormatGeneral(13.0), "13");
    EXPECT_EQ(FormatGeneral(55.5), "55.5");
    EXPECT_EQ(FormatGeneral(static_cast<float>(55.56)), "55.56");
    EXPECT_EQ(FormatGeneral(static_cast<float>(20.3)), "20.3");
    EXPECT_EQ(FormatGeneral(1234567.0), "1.23457e+06");
    EXPECT_EQ(FormatGeneral(0.0), "0");
}

}  // namespace
