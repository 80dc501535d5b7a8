#include "panels/Pexmarcontrol.h"

#include <QGridLayout>
#include <QMainWindow>
#include <QVBoxLayout>

#include "panels/PanelCommand.h"
#include "panels/PanelWidgets.h"
#include "panels/PexmarCommands.h"
#include "platform/Clock.h"
#include "platform/Folders.h"

TPexmarControlForm* PexmarControlForm = nullptr;
std::string PexmarConfigFilePath;

namespace {

constexpr int kStatusInterval = 5000;   // ms between status polls
constexpr unsigned kSettlePause = 500;  // ms after the parameter set, before the other settings

// A caption label (navy, bold) and its value label (yellow, bold) on one row of grid.
ui::TLabel* MakeValueRow(ui::TForm& form, QGridLayout& grid, QWidget* parent, int row, const std::string& caption,
                         const std::string& value) {
    grid.addWidget(panels::MakeCaption(parent, caption, ui::clNavy), row, 0);
    auto* label = form.Make<ui::TLabel>(parent, value);
    label->SetFontColor(ui::clYellow);
    label->SetBold(true);
    grid.addWidget(label->Widget(), row, 1);
    return label;
}

}  // namespace

TPexmarControlForm::TPexmarControlForm() : ui::TForm("Pexmar System V1.00", 362, 541) {
    PexmarConfigFilePath = (platform::DrennickFolder() / "Pexmar Config.txt").string();
    BuildControls();
    BindEdits();
    ConnectHandlers();
    panels::SetUpPanelWindow(*this, true);
}

void TPexmarControlForm::BuildControls() {
    auto* outer = new QVBoxLayout(Client());
    outer->setContentsMargins(0, 0, 0, 0);
    pnlMain = Make<ui::TPanel>(Client());
    pnlMain->SetColor(ui::clBlack);
    outer->addWidget(pnlMain->Widget());
    auto* mainLayout = new QVBoxLayout(pnlMain->Widget());
    nbPexmar = Make<ui::TNotebook>(pnlMain->Widget());
    nbPexmar->SetColor(ui::clNavy);
    mainLayout->addWidget(nbPexmar->Widget());
    QWidget* page = nbPexmar->AddPage("Default");
    new QVBoxLayout(page);
    BuildSystemGroup(page);
    BuildStatusGroup(page);
    BuildLaserGroup(page);
    tmrStatus = std::make_unique<ui::TTimer>(kStatusInterval, false);
}

void TPexmarControlForm::BuildSystemGroup(QWidget* page) {
    GroupBox4 = Make<ui::TGroupBox>(page, "SYSTEM ");
    panels::PaintGroup(*GroupBox4, ui::clGray, ui::clWhite);
    page->layout()->addWidget(GroupBox4->Widget());
    QWidget* box = GroupBox4->Widget();
    auto* grid = new QGridLayout(box);
    lblLaserType = MakeValueRow(*this, *grid, box, 0, "Laser Type:", "532nm");
    lblSystemState = MakeValueRow(*this, *grid, box, 1, "System State:", "System Off");
    cmdUpdate = Make<ui::TButton>(box, "Read Laser");
    cmdUpdate->SetHint("Read System Settings");
    cmdRefresh = Make<ui::TButton>(box, "Write to Laser");
    cmdRefresh->SetHint("Write Settings to Controller");
    grid->addWidget(cmdUpdate->Widget(), 2, 0);
    grid->addWidget(cmdRefresh->Widget(), 2, 1);
}

void TPexmarControlForm::BuildStatusGroup(QWidget* page) {
    GroupBox3 = Make<ui::TGroupBox>(page, "STATUS ");
    panels::PaintGroup(*GroupBox3, ui::clGray, ui::clWhite);
    page->layout()->addWidget(GroupBox3->Widget());
    QWidget* box = GroupBox3->Widget();
    auto* grid = new QGridLayout(box);
    cbStatus = Make<ui::TCheckBox>(box, "Query Status");
    grid->addWidget(cbStatus->Widget(), 0, 0, 1, 2);
    lblKey = MakeValueRow(*this, *grid, box, 1, "Key Switch Position:", "0");
    lblDiodeHours = MakeValueRow(*this, *grid, box, 2, "Diode Hours:", "Diode1: 00086h, Diode2: 00086h");
    lblDiodeVoltage = MakeValueRow(*this, *grid, box, 3, "Diode Voltage:", "4.5 V");
    lblDiodeCurrent = MakeValueRow(*this, *grid, box, 4, "Diode Current:", "20.0 A");
    lblWaterTemp = MakeValueRow(*this, *grid, box, 5, "Water Temp:", "20.0 C");
    lblWaterFlow = MakeValueRow(*this, *grid, box, 6, "Water Flow:", "06.3 l/m");
    lblWarning = MakeValueRow(*this, *grid, box, 7, "Warning:", "06.3 l/m");
}

void TPexmarControlForm::BuildLaserGroup(QWidget* page) {
    gbLaserSettings = Make<ui::TGroupBox>(page, "LASER CONTROLS ");
    panels::PaintGroup(*gbLaserSettings, ui::clGray, ui::clWhite);
    page->layout()->addWidget(gbLaserSettings->Widget());
    QWidget* box = gbLaserSettings->Widget();
    auto* grid = new QGridLayout(box);
    sbFire = Make<ui::TSpeedButton>(box, "FIRE", 1);
    sbStop = Make<ui::TSpeedButton>(box, "STOP", 1);
    sbFire->SetFontColor(ui::clBlack);
    sbStop->SetFontColor(ui::clBlack);
    grid->addWidget(sbFire->Widget(), 0, 0);
    grid->addWidget(sbStop->Widget(), 0, 1);
    leFrequency = Make<ui::TLabeledEdit>(box, "FREQUENCY (kHz)", "100.0");
    leDiodeCurrent = Make<ui::TLabeledEdit>(box, "DIODE CURRENT", "20.0");
    panels::PaintCaption(*leFrequency, ui::clNavy);
    panels::PaintCaption(*leDiodeCurrent, ui::clNavy);
    panels::PlaceLabeledEdit(*grid, *leFrequency, 1, 0);
    panels::PlaceLabeledEdit(*grid, *leDiodeCurrent, 1, 1);

    GroupBox1 = Make<ui::TGroupBox>(box, "PARAMETER SET ");
    panels::PaintGroup(*GroupBox1, ui::clGray, ui::clWhite);
    auto* sets = new QGridLayout(GroupBox1->Widget());
    cboParameterSet = Make<ui::TComboBox>(GroupBox1->Widget(), "", true);
    for (int i = 0; i < panels::pexmar::kParameterSetCount; ++i)
        cboParameterSet->AddItem(panels::pexmar::ParameterSetItem(i));
    sets->addWidget(cboParameterSet->Widget(), 0, 0);
    pnlStoreRecall = Make<ui::TPanel>(GroupBox1->Widget());
    pnlStoreRecall->SetColor(ui::clGreen);
    auto* storeRecall = new QGridLayout(pnlStoreRecall->Widget());
    cmdStore = Make<ui::TButton>(pnlStoreRecall->Widget(), "STORE");
    cmdRecall = Make<ui::TButton>(pnlStoreRecall->Widget(), "RECALL");
    storeRecall->addWidget(cmdStore->Widget(), 0, 0);
    storeRecall->addWidget(cmdRecall->Widget(), 0, 1);
    sets->addWidget(pnlStoreRecall->Widget(), 0, 1);
    grid->addWidget(GroupBox1->Widget(), 3, 0, 1, 2);

    grid->addWidget(panels::MakeCaption(box, "PULSE MODE", ui::clNavy), 4, 0);
    grid->addWidget(panels::MakeCaption(box, "SHUTTER", ui::clNavy), 4, 1);
    cboPulseMode = Make<ui::TComboBox>(box, "", false);
    cboPulseMode->SetItems({"CW", "PULSED"});
    cboShutter = Make<ui::TComboBox>(box, "", false);
    cboShutter->SetItems({"Closed", "Open"});
    grid->addWidget(cboPulseMode->Widget(), 5, 0);
    grid->addWidget(cboShutter->Widget(), 5, 1);
}

void TPexmarControlForm::BindEdits() {
    panels::CommittedEditSetup floating;
    floating.kind = panels::EditKind::Floating;
    floating.flavour = panels::EditFlavour::Pexmar;
    floating.enterRead = panels::NumberRead::Floating();
    floating.exitRead = panels::NumberRead::Floating();
    floating.otherRead = panels::NumberRead::Floating();

    panels::CommittedEditSetup frequency = floating;
    frequency.minimum = panels::pexmar::kFrequencyMinimum;
    frequency.maximum = panels::pexmar::kFrequencyMaximum;
    frequency.committed = [this] { return static_cast<double>(FrequencyValue); };
    frequency.commit = [this](double value) { ApplyFrequency(value); };
    FrequencyEdit = Make<panels::CommittedEdit>(*leFrequency, std::move(frequency));

    panels::CommittedEditSetup current = floating;
    current.minimum = panels::pexmar::kDiodeCurrentMinimum;
    current.maximum = panels::pexmar::kDiodeCurrentMaximum;
    current.committed = [this] { return static_cast<double>(DiodeCurrentValue); };
    current.commit = [this](double value) { ApplyDiodeCurrent(value); };
    DiodeCurrentEdit = Make<panels::CommittedEdit>(*leDiodeCurrent, std::move(current));
}

void TPexmarControlForm::ConnectHandlers() {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    sbFire->OnClick = [this] { sbFireClick(); };
    sbStop->OnClick = [this] { sbStopClick(); };
    tmrStatus->OnTimer = [this] { tmrStatusTimer(); };
    cmdUpdate->OnClick = [this] { cmdUpdateClick(); };
    cmdRefresh->OnClick = [this] { cmdRefreshClick(); };
    cboParameterSet->OnSelect = [this] { cboParameterSetSelect(); };
    cmdStore->OnClick = [this] { cmdStoreClick(); };
    cmdRecall->OnClick = [this] { cmdRecallClick(); };
    cboPulseMode->OnSelect = [this] { cboPulseModeSelect(); };
    cboShutter->OnSelect = [this] { cboShutterSelect(); };
}

void TPexmarControlForm::FormShow() {
    tmrStatus->SetEnabled(true);
    pnlStoreRecall->SetColor(ui::clGray);
    for (const std::string& command : panels::pexmar::kInitialisationCommands)
        panels::SendPanelCommand(command);
    QuerySystem();
    QueryLaserData();
    QueryStatusValues();
    LoadConfigurationFile();
    Window()->update();
}

void TPexmarControlForm::FormClose() {
    sbFire->SetFontColor(ui::clBlack);
    sbStop->SetFontColor(ui::clBlack);
    panels::SendStopCommand(panels::CommandSet::Pexmar);
    SelectShutter(0);
    tmrStatus->SetEnabled(false);
    SaveConfigurationFile();
    panels::RestoreMainWindow();
}

void TPexmarControlForm::sbFireClick() {
    sbFire->SetFontColor(ui::clRed);
    sbStop->SetFontColor(ui::clBlack);
    panels::SendPanelCommand(panels::PexmarSetting("GATE ACTIV", "1"));
    SelectShutter(1);
    panels::PanelTakesFocus(*this);
}

void TPexmarControlForm::sbStopClick() {
    sbFire->SetFontColor(ui::clBlack);
    sbStop->SetFontColor(ui::clBlack);
    panels::SendStopCommand(panels::CommandSet::Pexmar);
    SelectShutter(0);
    panels::PanelTakesFocus(*this);
}

void TPexmarControlForm::tmrStatusTimer() {
    if (!cbStatus->Checked())
        return;
    QuerySystem();
    QueryStatusValues();
}

void TPexmarControlForm::QueryStatusValues() {
    QueryKeyswitch();
    QueryDiodeHours();
    QueryDiodeVoltage();
    QueryDiodeCurrent();
    QueryTemperature();
    QueryWaterFlow();
    QueryWarning();
}

void TPexmarControlForm::cmdUpdateClick() {
    sbStopClick();
    QueryParameterSet();
    platform::Sleep(kSettlePause);
    QueryFrequency();
    QueryDiodeCurrentSet();
    QueryPulseMode();
    QueryShutter();
}

void TPexmarControlForm::cmdRefreshClick() {
    sbStopClick();
    SetParameterSet();
    platform::Sleep(kSettlePause);
    SetFrequency();
    SetDiodeCurrent();
    SetPulseMode();
    SetShutter();
}
