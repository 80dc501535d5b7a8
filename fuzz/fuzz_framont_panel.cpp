// Reads any text as the Framont panel file: every value must lie where a control of the panel can
// put it, and writing the values and reading that text back must give the same values again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "panels/FramontPanelFile.h"

namespace {

void Check(bool condition) {
    if (!condition)
        std::abort();
}

bool Within(int value, int minimum, int maximum) { return value >= minimum && value <= maximum; }

// The slit spot is one word: written on a line of its own, it must read back whole.
bool IsOneWord(const std::string& text) {
    return !text.empty() && text.find_first_of(" \t\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const panels::FramontPanelValues first = panels::ReadFramontPanelText(input);
    Check(Within(first.EnergyRange, 0, 1) && Within(first.Energy, 0, 1000));
    Check(Within(first.LaserFire, 0, 1) && Within(first.AutoEnergy, 0, 1));
    Check(Within(first.BurstCount, 0, 1000) && Within(first.RepRate, 0, 50));
    Check(Within(first.PolarizationAngle, -90, 90) && Within(first.ThetaValue, -45, 45));
    Check(Within(first.FieldLEDRaw, 0, 255) && Within(first.SlitLEDRaw, 0, 255));
    Check(IsOneWord(first.SlitSpot));

    const std::string written = panels::FormatFramontPanelText(first);
    const panels::FramontPanelValues second = panels::ReadFramontPanelText(written);
    Check(second == first);
    Check(panels::FormatFramontPanelText(second) == written);
    return 0;
}
