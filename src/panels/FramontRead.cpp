// The Framont panel's status poll and "Read from Controller": each query puts the controller's answer
// into its control. A reply holding "?", or none at all, carries no value and leaves the control as
// it was (an edit is still shown white).
#include "panels/FramontCommands.h"
#include "panels/FramontWidgets.h"
#include "panels/Framontcontrol.h"
#include "panels/PanelCommand.h"
#include "platform/TextConvert.h"

using namespace panels::framont;
using panels::UnitQuery;

void TFramontControlForm::tmrStatusTimer() {
    if (!cbStatus->Checked())
        return;
    lblStatus->SetCaption(StatusCaption(panels::SendPanelCommand(UnitQuery("LC", "SS"))));
}

// No poll runs during a wavelength change; the selection enables it again.
void TFramontControlForm::cbWavelengthClick() { tmrStatus->SetEnabled(false); }

void TFramontControlForm::QueryEnergy() {
    if (const auto reply = Ask(UnitQuery("LC", "ED"))) {
        if (HasComma(*reply)) {
            EnergyRange = platform::StrToIntDef(TextBeforeComma(*reply), 0);
            Energy = platform::StrToIntDef(TextAfterComma(*reply), 0);
            leEnergy->SetText(std::to_string(Energy));
        }
        SelectEnergyRangeButton();
    }
    EnergyEdit->SetWhite();
}

void TFramontControlForm::QueryLaserFire() {
    if (const auto reply = Ask(UnitQuery("LC", "FL")))
        LaserFire = platform::StrToIntDef(*reply, 0);
}

void TFramontControlForm::QueryAutoEnergy() {
    if (const auto reply = Ask(UnitQuery("LC", "AE"))) {
        const bool on = *reply != "0";
        cbAutoEnergy->SetChecked(on);
        AutoEnergy = on ? 1 : 0;
    }
}

// Any reply but one of the six, an error reply included, selects no wavelength; the selection runs
// whatever the reply, so the read always stops the laser.
void TFramontControlForm::QueryWavelength() {
    const auto reply = Ask(UnitQuery("LC", "SW"));
    WavelengthIndex = reply ? WavelengthIndexOfReply(*reply) : -1;
    cbWavelength->SetItemIndex(WavelengthIndex);
    cbWavelengthSelect();
}

void TFramontControlForm::QueryMode() {
    const auto reply = Ask(UnitQuery("LC", "MO"));
    ModeIndex = reply ? ModeIndexOfReply(*reply) : -1;
    cbMode->SetItemIndex(ModeIndex);
    cbModeSelect();
}

void TFramontControlForm::QueryBurstCount() {
    if (const auto reply = Ask(UnitQuery("LC", "BU"))) {
        leBurstCount->SetText(*reply);
        BurstCount = platform::StrToIntDef(*reply, 0);
    }
    BurstCountEdit->SetWhite();
}

void TFramontControlForm::QueryRepRate() {
    if (const auto reply = Ask(UnitQuery("LC", "RR"))) {
        leRepRate->SetText(*reply);
        RepRate = platform::StrToIntDef(*reply, 0);
    }
    RepRateEdit->SetWhite();
}

// The trackbar follows an angle it can show, so that "Write to Controller" sends back the angle read
// rather than the trackbar's old one; moving it sends nothing, as the edit already holds the angle.
void TFramontControlForm::QueryPolarizationAngle() {
    if (const auto reply = Ask(UnitQuery("LC", "PA"))) {
        edPolarization->SetText(*reply);
        PolarizationAngle = platform::StrToIntDef(*reply, 0);
        if (PolarizationAngle >= tbPolarization->Min() && PolarizationAngle <= tbPolarization->Max()) {
            tbPolarization->SetPosition(PolarizationAngle);
            tbPolarization->SetSelStart(PolarizationAngle);
        }
    }
    PolarizationEdit->SetWhite();
}

// The reply is the raw level in hexadecimal; one that is not raises the conversion error, which ends
// the read there. The illuminator is then on at the level read. One switched off is switched on only
// after the commit, which therefore keeps the level without sending it: the controller has it.
void TFramontControlForm::QueryIlluminator(const Illuminator& lamp, const std::string& emptyReply) {
    if (const auto reply = Ask(UnitQuery("LC", "IL", std::to_string(lamp.unit)))) {
        const int raw = platform::StrToInt("0x" + (reply->empty() ? emptyReply : *reply));
        *lamp.raw = raw;
        lamp.edit->SetText(std::to_string(PercentOfRaw(raw)));
        PressEnter(*lamp.committed);
        ShowIlluminatorOn(lamp);
    }
    lamp.committed->SetWhite();
}

void TFramontControlForm::QueryFieldLED() { QueryIlluminator(FieldIlluminator(), "1"); }
void TFramontControlForm::QuerySlitLED() { QueryIlluminator(SlitIlluminator(), "0"); }

// Only the magnification is read; the slit spot is then sent with the panel's own X and Y.
void TFramontControlForm::QuerySlitSize() {
    if (const auto reply = Ask(UnitQuery("LC", "SP"))) {
        cbSlitMag->SetItemIndex(MagnificationIndexOf(platform::StrToIntDef(TextBeforeComma(*reply), 0)));
        cbSlitMagSelect();
    }
}

void TFramontControlForm::cmdUpdateClick() {
    QueryEnergy();
    QueryLaserFire();
    QueryAutoEnergy();
    QueryWavelength();
    QueryMode();
    QueryBurstCount();
    QueryRepRate();
    QueryPolarizationAngle();
    QueryFieldLED();
    QuerySlitLED();
    QuerySlitSize();
}
