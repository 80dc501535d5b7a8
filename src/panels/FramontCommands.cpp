#include "panels/FramontCommands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>

#include "panels/PanelSyntax.h"

namespace panels::framont {
namespace {

struct Wavelength {
    const char* item;
    const char* reply;  // the line and the item's digit, as ";LC:SW" takes and ";LC:SW?" gives them
};

constexpr std::array<Wavelength, kWavelengthCount> kWavelengths{{
    {"1064nm 0", "3 0"}, {"1064nm 1", "3 1"}, {"1064nm 2", "3 2"},
    {"532nm 0", "2 0"}, {"532nm 1", "2 1"}, {"532nm 2", "2 2"},
}};

constexpr std::array<Magnification, kMagnificationCount> kMagnifications{{
    {1, 3000.0F, "1", "1x"}, {5, 600.0F, "5", "5x"}, {10, 300.0F, "10", "10x"},
    {20, 150.0F, "20", "20x"}, {50, 60.0F, "50", "50x"}, {100, 60.0F, "100", "100x"},
}};

// Raw level per percent: a single-precision constant (2.555000066757202), products in extended precision.
constexpr float kLevelPerPercent = 2.555F;

bool InRange(int index, int count) { return index >= 0 && index < count; }

}  // namespace

std::string LaserCommand(std::string_view command, std::string_view arguments) {
    return UnitCommand("LC", command, arguments);
}

std::string LaserCommand(std::string_view command, int argument) {
    return LaserCommand(command, std::to_string(argument));
}

std::string EnergyCommand(int range, int energy) {
    return LaserCommand("ED", JoinArguments({std::to_string(range), std::to_string(energy)}));
}

std::string IlluminatorCommand(int unit, int raw) {
    return LaserCommand("IL", JoinArguments({std::to_string(unit), std::to_string(raw)}));
}

std::string WavelengthItem(int index) { return InRange(index, kWavelengthCount) ? kWavelengths[index].item : ""; }

std::string WavelengthCommand(int index) {
    return InRange(index, kWavelengthCount) ? LaserCommand("SW", kWavelengths[index].reply) : "";
}

int WavelengthIndexOfReply(const std::string& reply) {
    for (int i = 0; i < kWavelengthCount; ++i)
        if (reply == kWavelengths[i].reply)
            return i;
    return -1;
}

int ModeIndexOfReply(const std::string& reply) {
    if (reply.size() == 1 && reply[0] >= '0' && reply[0] < '0' + kModeCount)
        return reply[0] - '0';
    return -1;
}

bool HasComma(const std::string& text) { return text.find(',') != std::string::npos; }

std::string TextBeforeComma(const std::string& text) {
    const std::size_t comma = text.find(',');
    return comma == std::string::npos ? std::string() : text.substr(0, comma);
}

std::string TextAfterComma(const std::string& text) {
    const std::size_t comma = text.find(',');
    return comma == std::string::npos ? text : text.substr(comma + 1);
}

int IlluminatorRaw(int percent) {
    return static_cast<int>(std::trunc(static_cast<long double>(percent) * kLevelPerPercent));
}

int PercentOfRaw(int raw) {
    const int below = static_cast<int>(std::trunc(static_cast<long double>(raw) / kLevelPerPercent));
    if (raw < 0 || raw > 255)
        return below;  // no level of a percentage: the edit refuses what lies outside 0..100
    // IlluminatorRaw rises by 2 or 3 a percent, so the nearest level is that of below or below + 1.
    const int distanceBelow = std::abs(raw - IlluminatorRaw(below));
    const int distanceAbove = std::abs(IlluminatorRaw(below + 1) - raw);
    return distanceAbove < distanceBelow ? below + 1 : below;
}

std::optional<Magnification> MagnificationAt(int index) {
    if (!InRange(index, kMagnificationCount))
        return std::nullopt;
    return kMagnifications[index];
}

int MagnificationIndexOf(int factor) {
    for (int i = 0; i < kMagnificationCount; ++i)
        if (kMagnifications[i].factor == factor)
            return i;
    return -1;
}

std::string MagnificationText(int index) {
    return InRange(index, kMagnificationCount) ? kMagnifications[index].text : "";
}

float LargestStoredSlitSize() {
    float largest = 0;
    for (const Magnification& magnification : kMagnifications)
        largest = std::max(largest, magnification.limit * static_cast<float>(magnification.factor));
    return largest;
}

SlitSpotParts SplitSlitSpot(const std::string& spot) {
    const std::string rest = TextAfterComma(spot);
    return {TextBeforeComma(spot), TextBeforeComma(rest), TextAfterComma(rest)};
}

std::string JoinSlitSpot(const std::string& magnification, const std::string& x, const std::string& y) {
    return magnification + "," + x + "," + y;
}

std::string StatusCaption(const std::optional<std::string>& reply) {
    return reply && ReplyCarriesValue(*reply, CommandSet::Framont) ? *reply : Hex4(0);
}

}  // namespace panels::framont
