// Reads any text as the Pexmar panel file: a frequency or current must lie within its edit's range
// or raise the conversion error at its replay, and a complete file written from the values read must
// read back as the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "panels/PexmarCommands.h"
#include "platform/TextConvert.h"

namespace {

using panels::pexmar::PanelFileNumber;

void Check(bool condition) {
    if (!condition)
        std::abort();
}

// The number's value, checked against its range; none when its replay raises the conversion error.
std::optional<float> CheckedValue(const std::optional<PanelFileNumber>& number, double minimum, double maximum) {
    if (!number)
        return std::nullopt;
    try {
        const float value = number->Value();
        Check(number->value.has_value() && value >= minimum && value <= maximum);
        return value;
    } catch (const platform::EConvertError&) {
        Check(!number->value.has_value());
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace pexmar = panels::pexmar;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const pexmar::PanelFileReading file = pexmar::ReadPanelFileText(input);
    const auto frequency = CheckedValue(file.frequency, pexmar::kFrequencyMinimum, pexmar::kFrequencyMaximum);
    const auto current = CheckedValue(file.diodeCurrent, pexmar::kDiodeCurrentMinimum, pexmar::kDiodeCurrentMaximum);
    if (!file.shutter || !frequency || !current)
        return 0;

    const pexmar::PanelFileValues values{*file.parameterSet, *frequency, *current, *file.pulseMode, *file.shutter};
    const std::string written = pexmar::PanelFileText(values);
    const pexmar::PanelFileReading again = pexmar::ReadPanelFileText(written);
    Check(again.parameterSet == file.parameterSet && again.pulseMode == file.pulseMode && again.shutter == file.shutter);
    const pexmar::PanelFileValues reread{*again.parameterSet, again.frequency->Value(), again.diodeCurrent->Value(),
                                         *again.pulseMode, *again.shutter};
    Check(pexmar::PanelFileText(reread) == written);
    return 0;
}
