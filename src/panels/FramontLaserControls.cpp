// The Framont panel's groups "LASER CONTROLS " and "MONITOR ".
#include <utility>

#include "panels/FramontCommands.h"
#include "panels/FramontWidgets.h"
#include "panels/Framontcontrol.h"
#include "panels/PanelCommand.h"

using namespace panels::framont;
using panels::EditKind;
using panels::NumberRead;

void TFramontControlForm::BuildLaserControls(QGridLayout& grid) {
    QGridLayout* laser = nullptr;
    gbLaserControls = MakeGroup(*this, "LASER CONTROLS ", laser);
    QWidget* box = gbLaserControls->Widget();

    // FIRE and STOP, and HIGH and LOW, each on a row of their own: Qt lets checkable buttons exclude
    // every such button below their parent, so the two pairs must not share one.
    QWidget* fireRow = MakeRow(box);
    sbFire = Make<ui::TSpeedButton>(fireRow, "FIRE", 1);
    sbStop = Make<ui::TSpeedButton>(fireRow, "STOP", 1);
    fireRow->layout()->addWidget(sbFire->Widget());
    fireRow->layout()->addWidget(sbStop->Widget());
    for (ui::TSpeedButton* button : {sbFire, sbStop}) {
        button->SetBold(true);
        button->SetFontColor(ui::clBlack);
    }
    sbFire->OnClick = [this] { sbFireClick(); };
    sbStop->OnClick = [this] { panels::RunLaserStop([this] { sbStopClick(); }); };
    laser->addWidget(fireRow, 0, 0, 1, 3);

    cbMode = MakeList(*this, box, {"Continuous", "Single", "Burst"});
    cbMode->OnSelect = [this] { cbModeSelect(); };
    std::vector<std::string> wavelengths;
    for (int i = 0; i < kWavelengthCount; ++i)
        wavelengths.push_back(WavelengthItem(i));
    cbWavelength = MakeList(*this, box, wavelengths);
    cbWavelength->SetHint("Select");
    // The operator's pick clicks the list just before it selects.
    cbWavelength->OnSelect = [this] {
        cbWavelengthClick();
        cbWavelengthSelect();
    };
    laser->addWidget(MakeLabel(box, "Mode"), 1, 0);
    laser->addWidget(cbMode->Widget(), 2, 0);
    laser->addWidget(MakeLabel(box, "Wavelength"), 1, 1);
    laser->addWidget(cbWavelength->Widget(), 2, 1);

    leEnergy = Make<ui::TLabeledEdit>(box, "Energy", "0");
    leEnergy->SetHint("(0 - 1000)");
    panels::PlaceLabeledEdit(*laser, *leEnergy, 3, 0);
    QWidget* rangeRow = MakeRow(box);
    rbHighEnergy = Make<ui::TRadioButton>(rangeRow, "HIGH");
    rbLowEnergy = Make<ui::TRadioButton>(rangeRow, "LOW");
    rbHighEnergy->OnClick = [this] { rbHighEnergyClick(); };
    rbLowEnergy->OnClick = [this] { rbLowEnergyClick(); };
    rangeRow->layout()->addWidget(rbHighEnergy->Widget());
    rangeRow->layout()->addWidget(rbLowEnergy->Widget());
    laser->addWidget(rangeRow, 4, 1);
    cbAutoEnergy = Make<ui::TCheckBox>(box, "Auto Energy");
    cbAutoEnergy->OnClick = [this] { cbAutoEnergyClick(); };
    laser->addWidget(cbAutoEnergy->Widget(), 3, 2);

    leRepRate = Make<ui::TLabeledEdit>(box, "Rep Rate", "0");
    leRepRate->SetHint("(0 - 50)");
    panels::PlaceLabeledEdit(*laser, *leRepRate, 5, 0);
    leBurstCount = Make<ui::TLabeledEdit>(box, "Count", "0");
    leBurstCount->SetHint("(0 - 1000)");
    panels::PlaceLabeledEdit(*laser, *leBurstCount, 5, 1);

    const AngleControls angle = MakeAngleRows(*this, box, *laser, 7, "Polarization Angle (DEG)", 90);
    tbPolarization = angle.bar;
    edPolarization = angle.edit;
    cmdPAN90 = angle.presets[0];
    cmdPA0 = angle.presets[1];
    cmdPAP90 = angle.presets[2];
    tbPolarization->OnChange = [this] { tbPolarizationChange(); };
    cmdPAN90->OnClick = [this] { cmdPAN90Click(); };
    cmdPA0->OnClick = [this] { cmdPA0Click(); };
    cmdPAP90->OnClick = [this] { cmdPAP90Click(); };

    AttachMenu(PopupMenuWL, {cbWavelength, leEnergy});
    AttachMenu(PopupMenuMain, {gbLaserControls, sbFire, sbStop, cbMode, rbHighEnergy, rbLowEnergy, cbAutoEnergy,
                               leRepRate, leBurstCount, tbPolarization, edPolarization, cmdPAN90, cmdPA0, cmdPAP90});
    grid.addWidget(gbLaserControls->Widget(), 0, 0);
}

void TFramontControlForm::BuildMonitor(QGridLayout& grid) {
    QGridLayout* monitor = nullptr;
    gbMonitor = MakeGroup(*this, "MONITOR ", monitor);
    rbEnergy = Make<ui::TRadioButton>(gbMonitor->Widget(), "ENERGY");
    rbVoltage = Make<ui::TRadioButton>(gbMonitor->Widget(), "VOLTAGE");
    rbEnergy->OnClick = [this] { rbEnergyClick(); };
    rbVoltage->OnClick = [this] { rbVoltageClick(); };
    pnlEnergyMon = Make<ui::TPanel>(gbMonitor->Widget());
    pnlEnergyMon->SetColor(ui::clBlack);
    lblEnergyMon = Make<ui::TLabel>(pnlEnergyMon->Widget(), "1000");
    lblEnergyMon->SetFontColor(ui::clWhite);
    SetFontPoints(*lblEnergyMon, 24);
    (new QGridLayout(pnlEnergyMon->Widget()))->addWidget(lblEnergyMon->Widget(), 0, 0, Qt::AlignCenter);
    monitor->addWidget(rbEnergy->Widget(), 0, 0);
    monitor->addWidget(rbVoltage->Widget(), 0, 1);
    monitor->addWidget(pnlEnergyMon->Widget(), 1, 0, 1, 2);
    AttachMenu(PopupMenuMain, {gbMonitor, rbEnergy, rbVoltage, pnlEnergyMon, lblEnergyMon});
    grid.addWidget(gbMonitor->Widget(), 1, 0);
}

void TFramontControlForm::BindLaserEdits() {
    // An unsigned edit whose commit keeps the value in field and sends command().
    const auto sending = [this](ui::TEdit& edit, int maximum, const NumberRead& read, int& field,
                                std::function<std::string()> command) {
        auto setup = WholeNumberSetup(EditKind::Unsigned, 0, maximum, read, read, read);
        setup.committed = [&field] { return field; };
        setup.commit = [this, &field, command = std::move(command)](double value) {
            field = static_cast<int>(value);
            Send(command());
        };
        return Make<panels::CommittedEdit>(edit, std::move(setup));
    };
    EnergyEdit = sending(*leEnergy, 1000, NumberRead::WithDefault(0), Energy,
                         [this] { return EnergyCommand(EnergyRange, Energy); });
    RepRateEdit = sending(*leRepRate, 50, NumberRead::Strict(), RepRate, [this] { return LaserCommand("RR", RepRate); });
    BurstCountEdit = sending(*leBurstCount, 1000, NumberRead::Strict(), BurstCount,
                             [this] { return LaserCommand("BU", BurstCount); });

    // The trackbar's change handler sets PolarizationAngle and sends.
    auto angle = WholeNumberSetup(EditKind::Signed, -90, 90, NumberRead::Strict(), NumberRead::Strict(),
                                  NumberRead::WithDefault(-90));
    angle.committed = [this] { return PolarizationAngle; };
    angle.commit = [this](double value) { tbPolarization->SetPosition(static_cast<int>(value)); };
    PolarizationEdit = Make<panels::CommittedEdit>(*edPolarization, std::move(angle));
}

void TFramontControlForm::SetFireFonts(ui::TColor fire) {
    sbFire->SetFontColor(fire);
    sbStop->SetFontColor(ui::clBlack);
}

void TFramontControlForm::sbFireClick() {
    SetFireFonts(ui::clRed);
    Send(LaserCommand("FL", 3));
    LaserFire = 3;
    panels::PanelTakesFocus(*this);
}

void TFramontControlForm::sbStopClick() {
    SetFireFonts(ui::clBlack);
    Send(LaserCommand("FL", 1));
    LaserFire = 1;
    panels::PanelTakesFocus(*this);
}

void TFramontControlForm::cbModeSelect() {
    const int index = cbMode->ItemIndex();
    panels::SetLabeledEditVisible(*leBurstCount, index == 2);
    if (index < 0 || index >= kModeCount)
        return;
    ModeIndex = index;
    Send(LaserCommand("MO", index));
}

// A wavelength change always leaves the laser stopped; the operator fires again.
void TFramontControlForm::cbWavelengthSelect() {
    sbStopClick();
    sbStop->SetDown(true);
    const int index = cbWavelength->ItemIndex();
    if (index >= 0 && index < kWavelengthCount) {
        WavelengthIndex = index;
        Send(WavelengthCommand(index));
    }
    QueryEnergy();
    tmrStatus->SetEnabled(true);
}

void TFramontControlForm::rbHighEnergyClick() {
    EnergyRange = 1;
    Send(EnergyCommand(EnergyRange, Energy));
}

void TFramontControlForm::rbLowEnergyClick() {
    EnergyRange = 0;
    Send(EnergyCommand(EnergyRange, Energy));
}

// Checks the radio button of EnergyRange; one that becomes checked sends through its handler.
void TFramontControlForm::SelectEnergyRangeButton() {
    (EnergyRange == 0 ? rbLowEnergy : rbHighEnergy)->SetChecked(true);
}

void TFramontControlForm::cbAutoEnergyClick() { SendAutoEnergy(cbAutoEnergy->Checked()); }

// The box shows the state sent. Checked from here, it runs no click handler, which would send again.
void TFramontControlForm::SendAutoEnergy(bool on) {
    AutoEnergy = on ? 1 : 0;
    Send(LaserCommand("AE", AutoEnergy));
    if (cbAutoEnergy->Checked() == on)
        return;
    const ui::TNotifyEvent click = std::exchange(cbAutoEnergy->OnClick, nullptr);
    cbAutoEnergy->SetChecked(on);
    cbAutoEnergy->OnClick = click;
}

void TFramontControlForm::ShowMonitor(bool energy) {
    const ui::TColor colour = energy ? ui::clYellow : kAqua;
    ui::TRadioButton* chosen = energy ? rbEnergy : rbVoltage;
    ui::TRadioButton* other = energy ? rbVoltage : rbEnergy;
    SetFontPoints(*chosen, 16);
    chosen->SetFontColor(colour);
    SetFontPoints(*other, 8);
    other->SetFontColor(ui::clWhite);
    lblEnergyMon->SetFontColor(colour);
}

void TFramontControlForm::rbEnergyClick() {
    ShowMonitor(true);
    Send(LaserCommand("EM", 1));
}

void TFramontControlForm::rbVoltageClick() {
    ShowMonitor(false);
    Send(LaserCommand("EM", 0));
}

void TFramontControlForm::tbPolarizationChange() {
    TrackBarChanged(*tbPolarization, *PolarizationEdit, PolarizationAngle, tbPolarization->Position(),
                    [this] { Send(LaserCommand("PA", PolarizationAngle)); });
}

void TFramontControlForm::edPolarizationKeyPress(char& key) { PolarizationEdit->KeyPress(key); }

void TFramontControlForm::cmdPAN90Click() { EnterText(*PolarizationEdit, "-90"); }
void TFramontControlForm::cmdPA0Click() { EnterText(*PolarizationEdit, "0"); }
void TFramontControlForm::cmdPAP90Click() { EnterText(*PolarizationEdit, "90"); }
