#include "panels/Ondrelcontrol.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "panels/OndrelCommands.h"
#include "panels/PanelCommand.h"
#include "panels/PanelWidgets.h"
#include "platform/Clock.h"
#include "platform/TextConvert.h"

TOndrelControlForm* OndrelControlForm = nullptr;

namespace {

constexpr int kSlitTextDefault = 400;  // um, for an X or Y text that is not a whole number
constexpr unsigned kFirePause = 100;   // ms between the two fire commands

// An up-down beside its edit: its arrows write their position into the edit's text.
ui::TUpDown* MakeUpDown(ui::TForm& form, QWidget* parent, ui::TEdit& edit) {
    auto* upDown = form.Make<ui::TUpDown>(parent);
    upDown->SetMin(0);
    upDown->SetMax(100);
    upDown->Widget()->setFixedWidth(18);
    upDown->OnChange = [upDown, &edit] { edit.SetText(std::to_string(upDown->Position())); };
    return upDown;
}

}  // namespace

TOndrelControlForm::TOndrelControlForm() : ui::TForm("Ondrel Laser System", 420, 430), panels::LaserPanel(this) {
    BuildControls();
    BindEdits();
    ConnectHandlers();
}

void TOndrelControlForm::BuildControls() {
    SetColor(ui::clBlack);
    auto* outer = new QVBoxLayout(Client());
    gbSystem = Make<ui::TGroupBox>(Client(), "GRN/IR LASER SYSTEM CONTROLS ");
    panels::PaintGroup(*gbSystem, ui::clNavy, ui::clWhite);
    // A larger window leaves its room beside and below the controls; they keep their size and place.
    outer->addWidget(gbSystem->Widget(), 0, Qt::AlignLeft | Qt::AlignTop);
    outer->addStretch(1);
    auto* inner = new QVBoxLayout(gbSystem->Widget());
    gbLaserControls = Make<ui::TGroupBox>(gbSystem->Widget(), "LASER CONTROLS ");
    gbSlitControls = Make<ui::TGroupBox>(gbSystem->Widget(), "SLIT CONTROLS ");
    for (ui::TGroupBox* group : {gbLaserControls, gbSlitControls}) {
        panels::PaintGroup(*group, ui::clGray, ui::clWhite);
        inner->addWidget(group->Widget());
    }
    BuildLaserControls();
    BuildSlitControls();
}

void TOndrelControlForm::BuildLaserControls() {
    QWidget* box = gbLaserControls->Widget();
    auto* grid = new QGridLayout(box);
    sbFire = Make<ui::TSpeedButton>(box, "FIRE", 1);
    sbStop = Make<ui::TSpeedButton>(box, "STOP", 1);
    for (ui::TSpeedButton* button : {sbFire, sbStop}) {
        button->SetBold(true);
        button->SetFontColor(ui::clBlack);
    }
    grid->addWidget(sbFire->Widget(), 0, 0);
    grid->addWidget(sbStop->Widget(), 0, 1);
    cbMode = Make<ui::TComboBox>(box, "", false);
    for (int i = 0; i < panels::ondrel::kModeCount; ++i)
        cbMode->AddItem(panels::ondrel::ModeItem(i));
    cbWavelength = Make<ui::TComboBox>(box, "", false);
    for (int i = 0; i < panels::ondrel::kWavelengthCount; ++i)
        cbWavelength->AddItem(panels::ondrel::WavelengthItem(i));
    grid->addWidget(cbMode->Widget(), 1, 0);
    grid->addWidget(cbWavelength->Widget(), 1, 1);

    leBurstCount = Make<ui::TLabeledEdit>(box, "Count", "0");
    leEnergy = Make<ui::TLabeledEdit>(box, "Energy %", "0");
    leRepRate = Make<ui::TLabeledEdit>(box, "Rep Rate", "0");
    int column = 0;
    for (ui::TLabeledEdit* edit : {leBurstCount, leEnergy, leRepRate}) {
        panels::PaintCaption(*edit, ui::clWhite);
        panels::PlaceLabeledEdit(*grid, *edit, 2, column++);
    }
    auto* upDowns = new QHBoxLayout;
    udBurstCount = MakeUpDown(*this, box, *leBurstCount);
    udEnergy = MakeUpDown(*this, box, *leEnergy);
    udRepRate = MakeUpDown(*this, box, *leRepRate);
    for (ui::TUpDown* upDown : {udBurstCount, udEnergy, udRepRate})
        upDowns->addWidget(upDown->Widget());
    grid->addLayout(upDowns, 4, 0, 1, 3);
}

void TOndrelControlForm::BuildSlitControls() {
    QWidget* box = gbSlitControls->Widget();
    auto* grid = new QGridLayout(box);
    cbSquare = Make<ui::TCheckBox>(box, "Square");
    grid->addWidget(cbSquare->Widget(), 0, 0);
    leXSize = Make<ui::TLabeledEdit>(box, "X (um)", "0");
    leYSize = Make<ui::TLabeledEdit>(box, "Y (um)", "0");
    panels::PaintCaption(*leXSize, ui::clWhite);
    panels::PaintCaption(*leYSize, ui::clWhite);
    panels::PlaceLabeledEdit(*grid, *leXSize, 1, 0);
    panels::PlaceLabeledEdit(*grid, *leYSize, 1, 1);

    lblTheta = Make<ui::TLabel>(box, "Theta Rotation (DEG)");
    lblTheta->SetFontColor(ui::clWhite);
    lblTheta->SetBold(true);
    grid->addWidget(lblTheta->Widget(), 3, 0, 1, 2);
    tbTheta = Make<ui::TTrackBar>(box);
    tbTheta->SetMin(-45);
    tbTheta->SetMax(45);
    tbTheta->SetPosition(0);
    tbTheta->Slider()->setTickInterval(5);
    tbTheta->SetSelStart(0);
    tbTheta->SetSelEnd(45);
    leTheta = Make<ui::TEdit>(box, "0");
    leTheta->Widget()->setFixedWidth(48);
    // The trackbar spans the group beside its edit, wide enough for a step per degree.
    auto* thetaRow = new QHBoxLayout;
    thetaRow->addWidget(tbTheta->Widget(), 1);
    thetaRow->addWidget(leTheta->Widget());
    grid->addLayout(thetaRow, 4, 0, 1, 2);
}

void TOndrelControlForm::BindEdits() {
    panels::CommittedEditSetup slit;
    slit.kind = panels::EditKind::Unsigned;
    slit.flavour = panels::EditFlavour::Ondrel;
    slit.minimum = 0;
    slit.maximum = 6000;
    panels::CommittedEditSetup x = slit;
    x.committed = [this] { return SlitX; };
    x.commit = [this](double value) { XSizeCommit(static_cast<int>(value)); };
    XSizeEdit = Make<panels::CommittedEdit>(*leXSize, std::move(x));
    panels::CommittedEditSetup y = slit;
    y.committed = [this] { return SlitY; };
    y.commit = [this](double value) { YSizeCommit(static_cast<int>(value)); };
    YSizeEdit = Make<panels::CommittedEdit>(*leYSize, std::move(y));

    panels::CommittedEditSetup theta;
    theta.kind = panels::EditKind::Signed;
    theta.flavour = panels::EditFlavour::Ondrel;
    theta.minimum = -45;
    theta.maximum = 45;
    theta.exitRead = panels::NumberRead::WithDefault(-45);
    theta.otherRead = panels::NumberRead::WithDefault(-45);
    theta.committed = [this] { return ThetaAngle; };
    theta.commit = [this](double value) { ThetaCommit(static_cast<int>(value)); };
    ThetaEdit = Make<panels::CommittedEdit>(*leTheta, std::move(theta));
}

void TOndrelControlForm::ConnectHandlers() {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    cbMode->OnSelect = [this] { cbModeSelect(); };
    cbWavelength->OnSelect = [this] { cbWavelengthSelect(); };
    sbFire->OnClick = [this] { sbFireClick(); };
    sbStop->OnClick = [this] { panels::RunLaserStop([this] { sbStopClick(); }); };
    tbTheta->OnChange = [this] { tbThetaChange(); };
    cbSquare->OnClick = [this] { cbSquareClick(); };
}

void TOndrelControlForm::FormShow() {
    SlitMicrons = 1000;
    SlitSteps = 200;
    ThetaOffset = 45;
    ThetaStepsPerDegree = 38.29f;
}

void TOndrelControlForm::FormClose() { StopLaser(panels::WriteThroughRoad); }

void TOndrelControlForm::StopLaser(const panels::PortWriter& write) { write(panels::StopCommand(panels::CommandSet::Ondrel)); }

void TOndrelControlForm::cbModeSelect() {
    const int index = cbMode->ItemIndex();
    const bool burst = index == 2;
    panels::SetLabeledEditVisible(*leBurstCount, burst);
    udBurstCount->SetVisible(burst);
    const std::string command = panels::ondrel::ModeCommand(index);
    if (!command.empty())
        panels::SendPanelCommand(command);
}

void TOndrelControlForm::cbWavelengthSelect() {
    const std::string command = panels::ondrel::WavelengthCommand(cbWavelength->ItemIndex());
    if (!command.empty())
        panels::SendPanelCommand(command);
}

void TOndrelControlForm::sbFireClick() {
    sbFire->SetFontColor(ui::clRed);
    sbStop->SetFontColor(ui::clBlack);
    panels::SendPanelCommand(panels::UnitCommand("LC", "FL", "2"));
    panels::PauseBetweenSends(kFirePause);
    panels::SendPanelCommand(panels::UnitCommand("LC", "FL", "3"));
    panels::PanelTakesFocus(*this);
}

void TOndrelControlForm::sbStopClick() {
    sbFire->SetFontColor(ui::clBlack);
    sbStop->SetFontColor(ui::clBlack);
    panels::SendPanelCommand(panels::UnitCommand("LC", "FL", "1"));
    panels::PanelTakesFocus(*this);
}

void TOndrelControlForm::tbThetaChange() {
    const int position = tbTheta->Position();
    ThetaAngle = position;
    ThetaEdit->SetWhite();
    leTheta->SetText(std::to_string(position));
    tbTheta->SetSelStart(position);
    panels::SendPanelCommand(panels::ondrel::ThetaCommand(ThetaStepsOf(position)));
    tbTheta->SetFocus();
}

void TOndrelControlForm::cbSquareClick() {
    const bool square = cbSquare->Checked();
    leXSize->SetLabelCaption(square ? "XY (um)" : "X (um)");
    leYSize->SetText(leXSize->Text());
    YSizeEdit->SetWhite();
    panels::SetLabeledEditVisible(*leYSize, !square);
    if (square) {
        const int x = SlitTextValue(*leXSize);
        SendSlitSize(x, x);
    }
}

void TOndrelControlForm::XSizeCommit(int um) {
    SlitX = um;
    const int x = SlitTextValue(*leXSize);
    SendSlitSize(x, cbSquare->Checked() ? x : SlitTextValue(*leYSize));
}

void TOndrelControlForm::YSizeCommit(int um) {
    SlitY = um;
    SendSlitSize(SlitTextValue(*leXSize), SlitTextValue(*leYSize));
}

void TOndrelControlForm::ThetaCommit(int angle) {
    ThetaAngle = angle;
    tbTheta->SetPosition(angle);
}

long long TOndrelControlForm::ThetaStepsOf(int angle) const {
    return panels::ondrel::ThetaSteps(angle, ThetaOffset, ThetaStepsPerDegree);
}

long long TOndrelControlForm::SlitStepsOf(int um) const {
    return panels::ondrel::SlitSteps(um, SlitMicrons, SlitSteps);
}

int TOndrelControlForm::SlitTextValue(const ui::TEdit& edit) const {
    return platform::StrToIntDef(edit.Text(), kSlitTextDefault);
}

void TOndrelControlForm::SendSlitSize(int xUm, int yUm) {
    panels::SendPanelCommand(panels::ondrel::SlitCommand(SlitStepsOf(xUm), SlitStepsOf(yUm)));
}
