// The Pexmar panel's queries and settings, its lists and the parameter sets.
#include "panels/PanelCommand.h"
#include "panels/PanelSyntax.h"
#include "panels/Pexmarcontrol.h"
#include "panels/PexmarCommands.h"

namespace {

using panels::CommandSet;

std::optional<std::string> Ask(const std::string& key) {
    return panels::Query(panels::PexmarQuery(key), CommandSet::Pexmar);
}

void Set(const std::string& key, const std::string& value) {
    panels::SendPanelCommand(panels::PexmarSetting(key, value));
}

// A status query: unless the reply holds "Error", the label shows what shown makes of it.
void ShowStatus(const std::string& key, ui::TLabel& label, std::string (*shown)(const std::string&)) {
    if (const auto reply = Ask(key))
        label.SetCaption(shown(*reply));
}

std::string Unchanged(const std::string& reply) { return reply; }
std::string Celsius(const std::string& reply) { return reply + " C"; }
std::string LitresPerMinute(const std::string& reply) { return reply + " l/m"; }

}  // namespace

void TPexmarControlForm::QuerySystem() { ShowStatus("SYSTEM", *lblSystemState, Unchanged); }
void TPexmarControlForm::QueryLaserData() { ShowStatus("LASER DATA", *lblLaserType, panels::pexmar::LaserTypeText); }
void TPexmarControlForm::QueryKeyswitch() { ShowStatus("KEYSWITCH", *lblKey, Unchanged); }
void TPexmarControlForm::QueryDiodeHours() { ShowStatus("DIODE HOURS", *lblDiodeHours, Unchanged); }
void TPexmarControlForm::QueryDiodeVoltage() {
    ShowStatus("DIODE VOLTAGE", *lblDiodeVoltage, panels::pexmar::DiodeVoltageText);
}
void TPexmarControlForm::QueryDiodeCurrent() {
    ShowStatus("DIODE CURRENT", *lblDiodeCurrent, panels::pexmar::DiodeCurrentText);
}
void TPexmarControlForm::QueryTemperature() { ShowStatus("TEMPERATURE", *lblWaterTemp, Celsius); }
void TPexmarControlForm::QueryWaterFlow() { ShowStatus("WATER FLOW", *lblWaterFlow, LitresPerMinute); }
void TPexmarControlForm::QueryWarning() { ShowStatus("WARNING", *lblWarning, panels::pexmar::WarningText); }

void TPexmarControlForm::QueryParameterSet() {
    if (const auto reply = Ask("PARAMETER SET"))
        SelectParameterSet(*reply);
}

void TPexmarControlForm::QueryFrequency() {
    if (const auto reply = Ask("PULSE FREQUENCY"))
        ApplyFrequency(panels::pexmar::SettingValue(*reply));
}

void TPexmarControlForm::QueryDiodeCurrentSet() {
    if (const auto reply = Ask("DIODE SETCURRENT"))
        ApplyDiodeCurrent(panels::pexmar::SettingValue(*reply));
}

void TPexmarControlForm::QueryPulseMode() {
    if (const auto reply = Ask("PULSE MODE"))
        SelectPulseMode(panels::pexmar::IndexValue(*reply));
}

void TPexmarControlForm::QueryShutter() {
    if (const auto reply = Ask("SHUTTER"))
        SelectShutter(panels::pexmar::IndexValue(*reply));
}

void TPexmarControlForm::SetParameterSet() {
    Set("PARAMETER SET", ParameterSetText);
    cmdRecallClick();
}

void TPexmarControlForm::SetFrequency() { Set("PULSE FREQUENCY", panels::FormatFixed(FrequencyValue, 1)); }

void TPexmarControlForm::SetDiodeCurrent() { Set("DIODE SETCURRENT", panels::FormatFixed(DiodeCurrentValue, 1)); }

void TPexmarControlForm::SetPulseMode() { Set("PULSE MODE", std::to_string(PulseModeIndex)); }

void TPexmarControlForm::SetShutter() { Set("SHUTTER", std::to_string(ShutterIndex)); }

void TPexmarControlForm::cboParameterSetSelect() {
    ParameterSetText = cboParameterSet->Text();
    const int index = cboParameterSet->ItemIndex();
    if (index >= 0 && index < panels::pexmar::kParameterSetCount)
        Set("PARAMETER SET", panels::pexmar::ParameterSetItem(index));
    pnlStoreRecall->SetColor(ui::clGreen);
}

void TPexmarControlForm::cmdStoreClick() {
    pnlStoreRecall->SetColor(ui::clGray);
    Set("PARAMETER SET", "SAVE");
}

void TPexmarControlForm::cmdRecallClick() {
    pnlStoreRecall->SetColor(ui::clGray);
    Set("PARAMETER SET", "LOAD");
}

void TPexmarControlForm::cboPulseModeSelect() {
    sbStopClick();
    sbStop->SetDown(true);
    const int index = cboPulseMode->ItemIndex();
    if (index != 0 && index != 1)
        return;
    PulseModeIndex = index;
    Set("PULSE MODE", std::to_string(index));
}

void TPexmarControlForm::cboShutterSelect() {
    const int index = cboShutter->ItemIndex();
    if (index != 0 && index != 1)
        return;
    ShutterIndex = index;
    Set("SHUTTER", std::to_string(index));
}

int TPexmarControlForm::FindComboText(const ui::TComboBox& combo, const std::string& text) const {
    return panels::pexmar::FindIgnoringCase(combo.Items(), text);
}

void TPexmarControlForm::ApplyFrequency(double value) {
    FrequencyValue = static_cast<float>(value);
    leFrequency->SetText(panels::FormatFixed(FrequencyValue, 1));
    Set("PULSE FREQUENCY", leFrequency->Text());
    FrequencyEdit->SetWhite();
}

void TPexmarControlForm::ApplyDiodeCurrent(double value) {
    DiodeCurrentValue = static_cast<float>(value);
    leDiodeCurrent->SetText(panels::FormatFixed(DiodeCurrentValue, 1));
    Set("DIODE SETCURRENT", leDiodeCurrent->Text());
    DiodeCurrentEdit->SetWhite();
}

void TPexmarControlForm::SelectParameterSet(const std::string& text) {
    ParameterSetText = text;
    cboParameterSet->SetItemIndex(FindComboText(*cboParameterSet, ParameterSetText));
    cboParameterSetSelect();
    cmdRecallClick();
}

void TPexmarControlForm::SelectPulseMode(int index) {
    PulseModeIndex = index;
    cboPulseMode->SetItemIndex(index);
    cboPulseModeSelect();
}

void TPexmarControlForm::SelectShutter(int index) {
    ShutterIndex = index;
    cboShutter->SetItemIndex(index);
    cboShutterSelect();
}
