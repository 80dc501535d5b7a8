// The Ondrel command texts and step conversions, without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "panels/OndrelCommands.h"
#include "panels/PanelSyntax.h"

using namespace panels::ondrel;

namespace {

std::string ThetaHex(int angle) { return panels::Hex4(ThetaSteps(angle, 45, 38.29f)); }
std::string SlitHex(int um) { return panels::Hex4(SlitSteps(um, 1000, 200)); }

TEST(OndrelCommands, ThetaStepsOverTheWholeRange) {
    const std::vector<std::pair<int, std::string>> worked{{-45, "0000"}, {-44, "0026"}, {-30, "023E"},
                                                          {-1, "0694"},  {0, "06BB"},   {1, "06E1"},
                                                          {30, "0B37"},  {44, "0D4F"},  {45, "0D76"}};
    for (const auto& [angle, hex] : worked)
        EXPECT_EQ(ThetaHex(angle), hex) << angle << " degrees";
    EXPECT_EQ(ThetaCommand(ThetaSteps(0, 45, 38.29f)), ";LC:ST 06BB");
}

TEST(OndrelCommands, SlitStepsKeepTheControllersExtendedPrecisionRounding) {
    const std::vector<std::pair<int, std::string>> worked{{0, "0000"},    {5, "0001"},    {265, "0034"},
                                                          {400, "0050"},  {1000, "00C8"}, {2500, "01F4"},
                                                          {5000, "03E8"}, {6000, "04B0"}};
    for (const auto& [um, hex] : worked)
        EXPECT_EQ(SlitHex(um), hex) << um << " um";

    std::vector<int> oneBelow;
    for (int um = 0; um <= 6000; ++um) {
        const long long steps = SlitSteps(um, 1000, 200);
        if (steps == um / 5 - 1 && um % 5 == 0)
            oneBelow.push_back(um);
        else
            ASSERT_EQ(steps, um / 5) << um << " um";
    }
    EXPECT_EQ(oneBelow.size(), 66u);
    for (int um : {265, 295, 525, 530, 1045, 5115})
        EXPECT_NE(std::find(oneBelow.begin(), oneBelow.end(), um), oneBelow.end()) << um << " um";
    EXPECT_EQ(SlitSteps(-265, 1000, 200), -52) << "truncation toward zero keeps the sign";
    EXPECT_EQ(SlitSteps(400, 0, 200), 0) << "no division by zero";
    EXPECT_EQ(SlitCommand(SlitSteps(2500, 1000, 200), SlitSteps(1000, 1000, 200)), ";SL:SP 01F4,00C8");
}

TEST(OndrelCommands, ModeAndWavelengthListsGiveTheirCommandsInListOrder) {
    EXPECT_EQ(ModeCommand(0), ";LC:MO 0");
    EXPECT_EQ(ModeCommand(2), ";LC:MO 2");
    EXPECT_EQ(ModeCommand(-1), "");
    const std::vector<std::string> wavelengths{";LC:SW 3 0", ";LC:SW 3 1", ";LC:SW 3 2",
                                               ";LC:SW 2 0", ";LC:SW 2 1", ";LC:SW 2 2",
                                               ";LC:SW 4 0", ";LC:SW 4 1", ";LC:SW 4 2"};
    for (int i = 0; i < kWavelengthCount; ++i)
        EXPECT_EQ(WavelengthCommand(i), wavelengths[static_cast<std::size_t>(i)]) << WavelengthItem(i);
    EXPECT_EQ(WavelengthItem(8), "1064nm/532nm 2");
    EXPECT_EQ(WavelengthCommand(9), "");
    EXPECT_EQ(WavelengthCommand(-1), "");
}

}  // namespace
