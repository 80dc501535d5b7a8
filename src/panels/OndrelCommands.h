#pragma once
// The Ondrel command set as the Ondrel panel uses it, and the conversions of theta and slit sizes
// into controller steps (sent as "%4.4x").
#include <string>

namespace panels::ondrel {

inline constexpr int kModeCount = 3;
inline constexpr int kWavelengthCount = 9;

// "Continuous", "Single", "Burst".
std::string ModeItem(int index);
// ";LC:MO 0" .. ";LC:MO 2" for the items 0..2; empty for any other index.
std::string ModeCommand(int index);
// "1064nm 0" .. "1064nm/532nm 2", in list order.
std::string WavelengthItem(int index);
// ";LC:SW 3 0" .. ";LC:SW 4 2" for the items 0..8 (line 3: 1064 nm, 2: 532 nm, 4: both); empty for
// any other index.
std::string WavelengthCommand(int index);

// trunc((angle + offset) x stepsPerDegree), the single-precision constant widened without rounding
// (0 degrees with the offset 45 and 38.29 gives 1723).
long long ThetaSteps(int angle, int offset, float stepsPerDegree);
// trunc((um / microns) x steps) with the division and the product each rounded to nearest to a
// 64-bit mantissa, as the controller's step tables were made (265 um gives 52 steps, not 53).
// A zero microns gives 0.
long long SlitSteps(long long um, long long microns, long long steps);

// ";LC:ST " + steps in "%4.4x".
std::string ThetaCommand(long long steps);
// ";SL:SP " + X steps + "," + Y steps, each in "%4.4x".
std::string SlitCommand(long long xSteps, long long ySteps);

}  // namespace panels::ondrel
