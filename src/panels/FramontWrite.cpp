// The Framont panel's "Write to Controller": the panel's whole state, one setting after another.
#include "panels/FramontCommands.h"
#include "panels/FramontWidgets.h"
#include "panels/Framontcontrol.h"
#include "platform/TextConvert.h"

using namespace panels::framont;

void TFramontControlForm::SetEnergy() { Send(EnergyCommand(EnergyRange, Energy)); }

// Writing always stops the laser.
void TFramontControlForm::SetLaserFire() {
    sbStopClick();
    sbStop->SetDown(true);
}

void TFramontControlForm::SetAutoEnergy() { SendAutoEnergy(cbAutoEnergy->Checked()); }

void TFramontControlForm::SetWavelength() { cbWavelengthSelect(); }
void TFramontControlForm::SetMode() { cbModeSelect(); }

// The edits' texts go as they stand, committed or not (an emptied edit sends the command's blank only).
void TFramontControlForm::SetBurstCount() { Send(LaserCommand("BU") + " " + leBurstCount->Text()); }
void TFramontControlForm::SetRepRate() { Send(LaserCommand("RR") + " " + leRepRate->Text()); }

void TFramontControlForm::SetPolarizationAngle() {
    PolarizationAngle = tbPolarization->Position();
    PolarizationEdit->SetWhite();
    tbPolarization->SetSelStart(PolarizationAngle);
    Send(LaserCommand("PA", PolarizationAngle));
    tbPolarization->SetFocus();
}

// The level of the trackbar's position is kept; an illuminator switched off is sent 0 and has the
// level at its next ON.
void TFramontControlForm::SetIlluminator(const Illuminator& lamp) {
    lamp.committed->SetWhite();
    *lamp.value = platform::StrToIntDef(lamp.edit->Text(), 0);
    lamp.bar->SetSelStart(lamp.bar->Position());
    *lamp.raw = IlluminatorRaw(PercentOfPosition(lamp.bar->Position()));
    Send(IlluminatorCommand(lamp.unit, ControllerLevel(lamp)));
    lamp.bar->SetFocus();
}

void TFramontControlForm::SetFieldLED() { SetIlluminator(FieldIlluminator()); }
void TFramontControlForm::SetSlitLED() { SetIlluminator(SlitIlluminator()); }
void TFramontControlForm::SetSlitSize() { cbSlitMagSelect(); }

void TFramontControlForm::SetTheta() {
    ThetaEdit->SetWhite();
    ThetaValue = tbTheta->Position();
    tbTheta->SetSelStart(ThetaValue);
    Send(LaserCommand("ST", ThetaValue));
    tbTheta->SetFocus();
}

void TFramontControlForm::cmdRefreshClick() {
    SetEnergy();
    SetLaserFire();
    SetAutoEnergy();
    SetWavelength();
    SetMode();
    SetBurstCount();
    SetRepRate();
    SetPolarizationAngle();
    SetFieldLED();
    SetSlitLED();
    SetSlitSize();
    SetTheta();
}
