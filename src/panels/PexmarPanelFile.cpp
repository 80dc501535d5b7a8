// The Pexmar panel file: replayed to the laser at every opening, written at every closing.

#include "panels/Pexmarcontrol.h"
#include "panels/PexmarCommands.h"

void TPexmarControlForm::LoadConfigurationFile() {
    const auto words = panels::pexmar::LoadPanelFileWords(PexmarConfigFilePath);
    if (words)
        ReplayPanelFile(panels::pexmar::ReadPanelFileWords(*words));
}

// A missing value leaves its member and sends nothing. A frequency or current that is not a number
// raises the conversion error and ends the replay.
void TPexmarControlForm::ReplayPanelFile(const panels::pexmar::PanelFileReading& file) {
    if (file.parameterSet)
        SelectParameterSet(*file.parameterSet);
    if (file.frequency)
        ApplyFrequency(file.frequency->Value());
    if (file.diodeCurrent)
        ApplyDiodeCurrent(file.diodeCurrent->Value());
    if (file.pulseMode)
        SelectPulseMode(*file.pulseMode);
    if (file.shutter)
        SelectShutter(*file.shutter);
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
