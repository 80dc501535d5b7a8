#include "panels/OndrelCommands.h"

#include <array>
#include <cstdint>
#include <cstdlib>

#include "panels/PanelSyntax.h"

namespace panels::ondrel {
namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::array<const char*, kModeCount> kModeItems{"Continuous", "Single", "Burst"};
constexpr std::array<const char*, kWavelengthCount> kWavelengthItems{
    "1064nm 0", "1064nm 1", "1064nm 2", "532nm 0", "532nm 1", "532nm 2", "1064nm/532nm 0", "1064nm/532nm 1",
    "1064nm/532nm 2"};
constexpr std::array<int, 3> kWavelengthLines{3, 2, 4};

bool InList(int index, int count) { return index >= 0 && index < count; }

int BitLength(Wide value) {
    int bits = 0;
    while (value != 0) {
        value >>= 1;
        ++bits;
    }
    return bits;
}

// A positive number m x 2^-scale with a 64-bit mantissa m (2^63 <= m < 2^64), as the x87 keeps
// an extended-precision value.
struct Extended {
    Wide mantissa;
    int scale;
};

constexpr Wide kMantissaTop = Wide{1} << 64;

// Rounds quotient + fraction/denominator (0 <= fraction < denominator) to nearest, a tie to even.
Wide RoundToNearest(Wide quotient, Wide fraction, Wide denominator) {
    const Wide twice = fraction * 2;
    if (twice > denominator || (twice == denominator && (quotient & 1) != 0))
        ++quotient;
    return quotient;
}

// n / d rounded to a 64-bit mantissa; n and d positive and below 2^48.
Extended DivideExtended(std::uint64_t n, std::uint64_t d) {
    int scale = 64 - (BitLength(n) - BitLength(d));
    Wide scaled = Wide{n} << scale;
    if (scaled / d >= kMantissaTop) {
        --scale;
        scaled >>= 1;
    }
    Wide mantissa = RoundToNearest(scaled / d, scaled % d, d);
    if (mantissa == kMantissaTop) {
        mantissa >>= 1;
        --scale;
    }
    return {mantissa, scale};
}

// x x k rounded to a 64-bit mantissa; k positive and below 2^48.
Extended MultiplyExtended(Extended x, std::uint64_t k) {
    const Wide product = x.mantissa * k;
    const int excess = BitLength(product) - 64;
    if (excess <= 0)
        return {product, x.scale};
    const Wide unit = Wide{1} << excess;
    Wide mantissa = RoundToNearest(product >> excess, product & (unit - 1), unit);
    int scale = x.scale - excess;
    if (mantissa == kMantissaTop) {
        mantissa >>= 1;
        --scale;
    }
    return {mantissa, scale};
}

long long Truncate(Extended x) {
    if (x.scale <= 0)
        return static_cast<long long>(x.mantissa << -x.scale);
    if (x.scale >= 128)
        return 0;
    return static_cast<long long>(x.mantissa >> x.scale);
}

}  // namespace

std::string ModeItem(int index) { return InList(index, kModeCount) ? kModeItems[static_cast<std::size_t>(index)] : ""; }

std::string ModeCommand(int index) {
    return InList(index, kModeCount) ? UnitCommand("LC", "MO", std::to_string(index)) : "";
}

std::string WavelengthItem(int index) {
    return InList(index, kWavelengthCount) ? kWavelengthItems[static_cast<std::size_t>(index)] : "";
}

std::string WavelengthCommand(int index) {
    if (!InList(index, kWavelengthCount))
        return "";
    const int line = kWavelengthLines[static_cast<std::size_t>(index / 3)];
    return UnitCommand("LC", "SW", std::to_string(line) + " " + std::to_string(index % 3));
}

long long ThetaSteps(int angle, int offset, float stepsPerDegree) {
    // A whole number below 2^31 times a 24-bit mantissa is exact in extended precision.
    const long double product = static_cast<long double>(static_cast<long long>(angle) + offset) * stepsPerDegree;
    return static_cast<long long>(product);
}

long long SlitSteps(long long um, long long microns, long long steps) {
    if (um == 0 || microns == 0 || steps == 0)
        return 0;
    const bool negative = ((um < 0) != (microns < 0)) != (steps < 0);
    const Extended ratio = DivideExtended(static_cast<std::uint64_t>(std::llabs(um)),
                                          static_cast<std::uint64_t>(std::llabs(microns)));
    const long long magnitude = Truncate(MultiplyExtended(ratio, static_cast<std::uint64_t>(std::llabs(steps))));
    return negative ? -magnitude : magnitude;
}

std::string ThetaCommand(long long steps) { return UnitCommand("LC", "ST", Hex4(steps)); }

std::string SlitCommand(long long xSteps, long long ySteps) {
    return UnitCommand("SL", "SP", JoinArguments({Hex4(xSteps), Hex4(ySteps)}));
}

}  // namespace panels::ondrel
