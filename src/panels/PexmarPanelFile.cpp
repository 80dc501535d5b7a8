// The Pexmar panel file: replayed to the laser at every opening, written at every closing.

#include "panels/Pexmarcontrol.h"
#include "panels/PexmarCommands.h"

namespace {

// A file value outside the range its edit accepts is replayed as the range's lower end (the value
// of the default file), so that a hand-edited file cannot set the laser beyond the panel's limits.
double WithinRange(float value, double minimum, double maximum) {
    return value >= minimum && value <= maximum ? value : minimum;
}

}  // namespace

void TPexmarControlForm::LoadConfigurationFile() {
    const auto words = panels::pexmar::LoadPanelFileWords(PexmarConfigFilePath);
    if (words)
        ReplayPanelFile(*words);
}

// Each value is read from its own word only; a missing word leaves its member and sends nothing.
// A frequency or current word that is not a number raises the conversion error and ends the replay.
void TPexmarControlForm::ReplayPanelFile(const std::vector<std::string>& words) {
    namespace pexmar = panels::pexmar;
    const auto word = [&](std::size_t i) { return i < words.size() ? &words[i] : nullptr; };
    if (const std::string* set = word(0))
        SelectParameterSet(*set);
    if (const std::string* frequency = word(1))
        ApplyFrequency(WithinRange(pexmar::SingleValue(*frequency), pexmar::kFrequencyMinimum,
                                   pexmar::kFrequencyMaximum));
    if (const std::string* current = word(2))
        ApplyDiodeCurrent(WithinRange(pexmar::SingleValue(*current), pexmar::kDiodeCurrentMinimum,
                                      pexmar::kDiodeCurrentMaximum));
    if (const std::string* mode = word(3))
        SelectPulseMode(pexmar::IndexValue(*mode));
    if (const std::string* shutter = word(4))
        SelectShutter(pexmar::IndexValue(*shutter));
    sbStopClick();
}

void TPexmarControlForm::SaveConfigurationFile() {
    panels::pexmar::PanelFileValues values;
    values.parameterSet = ParameterSetText;
    values.frequency = FrequencyValue;
    values.diodeCurrent = DiodeCurrentValue;
    values.pulseMode = PulseModeIndex;
    values.shutter = ShutterIndex;
    panels::pexmar::SavePanelFile(PexmarConfigFilePath, values);
}
