// The Framont panel file at the panel's showing and closing: the saved state is replayed to the
// controller through the panel's own handlers, and the state is saved at every close.
#include "panels/FramontCommands.h"
#include "panels/FramontPanelFile.h"
#include "panels/FramontWidgets.h"
#include "panels/Framontcontrol.h"
#include "platform/TextConvert.h"

using namespace panels::framont;

// A file that can be neither read nor created is passed over without a message.
void TFramontControlForm::LoadConfigurationFile() {
    const auto file = panels::LoadFramontPanelFile(panels::FramontConfigFilePath());
    if (!file)
        return;
    const panels::FramontPanelValues& v = *file;

    EnergyRange = v.EnergyRange;
    Energy = v.Energy;
    leEnergy->SetText(std::to_string(Energy));
    SelectEnergyRangeButton();
    Send(EnergyCommand(EnergyRange, Energy));

    LaserFire = v.LaserFire;
    Send(LaserCommand("FL", LaserFire));
    SendAutoEnergy(v.AutoEnergy != 0);

    WavelengthIndex = v.WavelengthIndex;
    cbWavelength->SetItemIndex(WavelengthIndex);
    cbWavelengthSelect();
    ModeIndex = v.ModeIndex;
    cbMode->SetItemIndex(ModeIndex);
    cbModeSelect();

    BurstCount = v.BurstCount;
    leBurstCount->SetText(std::to_string(BurstCount));
    Send(LaserCommand("BU", BurstCount));
    RepRate = v.RepRate;
    leRepRate->SetText(std::to_string(RepRate));
    Send(LaserCommand("RR", RepRate));

    // The angle is shown, not sent: the trackbar's handler finds the edit equal to the loaded angle.
    PolarizationAngle = v.PolarizationAngle;
    edPolarization->SetText(std::to_string(PolarizationAngle));
    PressEnter(*PolarizationEdit);
    tbPolarization->SetSelStart(tbPolarization->Position());

    ReplayIlluminator(FieldIlluminator(), v.FieldLEDRaw);
    ReplayIlluminator(SlitIlluminator(), v.SlitLEDRaw);
    ReplaySlitSpot(v.SlitSpot);

    ThetaValue = v.ThetaValue;
    edTheta->SetText(std::to_string(ThetaValue));
    PressEnter(*ThetaEdit);
    tbTheta->SetSelStart(tbTheta->Position());
}

// Switched twice, the illuminator ends as it was, each switch sending; then its level is committed.
// The opening has set the committed percent and the edit to 0 but left the trackbar where it was, so
// switching on may move the trackbar to 0 % without sending, and a level of 0 from the file then moves
// nothing: the level shown is settled last, so that the illuminator has it (or is off, as shown).
void TFramontControlForm::ReplayIlluminator(const Illuminator& lamp, int raw) {
    *lamp.raw = raw;
    SwitchIlluminator(lamp);
    SwitchIlluminator(lamp);
    lamp.edit->SetText(std::to_string(PercentOfRaw(raw)));
    PressEnter(*lamp.committed);
    lamp.committed->SetWhite();
    SettleIlluminatorLevel(lamp);
}

// The magnification's choice sends the slit spot; each size's Enter then sends it again.
void TFramontControlForm::ReplaySlitSpot(const std::string& spot) {
    SlitSpot = spot;
    const SlitSpotParts parts = SplitSlitSpot(spot);
    cbSlitMag->SetItemIndex(MagnificationIndexOf(platform::StrToIntDef(parts.magnification, 0)));
    cbSlitMagSelect();
    leXSize->SetText(parts.x);
    PressEnter(*XSizeEdit);
    leYSize->SetText(parts.y);
    PressEnter(*YSizeEdit);
}

void TFramontControlForm::SaveConfigurationFile() {
    panels::FramontPanelValues v;
    v.EnergyRange = EnergyRange;
    v.Energy = Energy;
    v.LaserFire = LaserFire;
    v.AutoEnergy = AutoEnergy;
    v.WavelengthIndex = WavelengthIndex;
    v.ModeIndex = ModeIndex;
    v.BurstCount = BurstCount;
    v.RepRate = RepRate;
    v.PolarizationAngle = PolarizationAngle;
    v.FieldLEDRaw = FieldLEDRaw;
    v.SlitLEDRaw = SlitLEDRaw;
    v.SlitSpot = SlitSpot;
    v.ThetaValue = ThetaValue;
    panels::SaveFramontPanelFile(panels::FramontConfigFilePath(), v);
}
