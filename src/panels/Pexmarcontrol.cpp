#include "panels/Pexmarcontrol.h"

#include <QMainWindow>

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

// A caption label (navy, bold) and its value label (yellow, bold) on one row at top; the value's
// left is fixed, and it widens to the right with the text a reply brings, moving nothing else.
ui::TLabel* MakeValueRow(ui::TForm& form, QWidget* parent, int top, const std::string& caption, const std::string& value) {
    auto* captionLabel = form.Make<ui::TLabel>(parent, caption);
    captionLabel->SetFontColor(ui::clNavy);
    captionLabel->SetBold(true);
    captionLabel->SetBounds(10, top, 140, 18);
    auto* label = form.Make<ui::TLabel>(parent, value);
    label->SetFontColor(ui::clYellow);
    label->SetBold(true);
    label->SetBounds(150, top, 186, 18);
    return label;
}

}  // namespace

TPexmarControlForm::TPexmarControlForm() : ui::TForm("Pexmar System V1.00", 362, 541), panels::LaserPanel(this) {
    PexmarConfigFilePath = (platform::DrennickFolder() / "Pexmar Config.txt").string();
    BuildControls();
    BindEdits();
    ConnectHandlers();
    panels::SetUpPanelWindow(*this, true);
}

void TPexmarControlForm::BuildControls() {
    pnlMain = Make<ui::TPanel>(Client());
    pnlMain->SetColor(ui::clBlack);
    pnlMain->SetAlign(ui::TAlign::Client);
    nbPexmar = Make<ui::TNotebook>(pnlMain->Widget());
    nbPexmar->SetColor(ui::clNavy);
    nbPexmar->SetBounds(4, 4, 354, 533);
    QWidget* page = nbPexmar->AddPage("Default");
    BuildSystemGroup(page);
    BuildStatusGroup(page);
    BuildLaserGroup(page);
    tmrStatus = std::make_unique<ui::TTimer>(kStatusInterval, false);
}

void TPexmarControlForm::BuildSystemGroup(QWidget* page) {
    GroupBox4 = Make<ui::TGroupBox>(page, "SYSTEM ");
    panels::PaintGroup(*GroupBox4, ui::clGray, ui::clWhite);
    GroupBox4->SetBounds(6, 6, 342, 100);
    QWidget* box = GroupBox4->Widget();
    lblLaserType = MakeValueRow(*this, box, 24, "Laser Type:", "532nm");
    lblSystemState = MakeValueRow(*this, box, 44, "System State:", "System Off");
    cmdUpdate = Make<ui::TButton>(box, "Read Laser");
    cmdUpdate->SetHint("Read System Settings");
    cmdRefresh = Make<ui::TButton>(box, "Write to Laser");
    cmdRefresh->SetHint("Write Settings to Controller");
    cmdUpdate->SetBounds(10, 66, 155, 25);
    cmdRefresh->SetBounds(177, 66, 155, 25);
}

void TPexmarControlForm::BuildStatusGroup(QWidget* page) {
    GroupBox3 = Make<ui::TGroupBox>(page, "STATUS ");
    panels::PaintGroup(*GroupBox3, ui::clGray, ui::clWhite);
    GroupBox3->SetBounds(6, 110, 342, 194);
    QWidget* box = GroupBox3->Widget();
    cbStatus = Make<ui::TCheckBox>(box, "Query Status");
    cbStatus->SetBounds(10, 22, 150, 20);
    lblKey = MakeValueRow(*this, box, 48, "Key Switch Position:", "0");
    lblDiodeHours = MakeValueRow(*this, box, 68, "Diode Hours:", "Diode1: 00086h, Diode2: 00086h");
    lblDiodeVoltage = MakeValueRow(*this, box, 88, "Diode Voltage:", "4.5 V");
    lblDiodeCurrent = MakeValueRow(*this, box, 108, "Diode Current:", "20.0 A");
    lblWaterTemp = MakeValueRow(*this, box, 128, "Water Temp:", "20.0 C");
    lblWaterFlow = MakeValueRow(*this, box, 148, "Water Flow:", "06.3 l/m");
    lblWarning = MakeValueRow(*this, box, 168, "Warning:", "06.3 l/m");
}

void TPexmarControlForm::BuildLaserGroup(QWidget* page) {
    gbLaserSettings = Make<ui::TGroupBox>(page, "LASER CONTROLS ");
    panels::PaintGroup(*gbLaserSettings, ui::clGray, ui::clWhite);
    gbLaserSettings->SetBounds(6, 308, 342, 218);
    QWidget* box = gbLaserSettings->Widget();
    sbFire = Make<ui::TSpeedButton>(box, "FIRE", 1);
    sbStop = Make<ui::TSpeedButton>(box, "STOP", 1);
    sbFire->SetFontColor(ui::clBlack);
    sbStop->SetFontColor(ui::clBlack);
    sbFire->SetBounds(10, 22, 155, 25);
    sbStop->SetBounds(177, 22, 155, 25);
    leFrequency = Make<ui::TLabeledEdit>(box, "FREQUENCY (kHz)", "100.0");
    leDiodeCurrent = Make<ui::TLabeledEdit>(box, "DIODE CURRENT", "20.0");
    panels::PaintCaption(*leFrequency, ui::clNavy);
    panels::PaintCaption(*leDiodeCurrent, ui::clNavy);
    leFrequency->SetBounds(10, 72, 155, 22);
    leDiodeCurrent->SetBounds(177, 72, 155, 22);

    GroupBox1 = Make<ui::TGroupBox>(box, "PARAMETER SET ");
    panels::PaintGroup(*GroupBox1, ui::clGray, ui::clWhite);
    GroupBox1->SetBounds(10, 100, 322, 62);
    cboParameterSet = Make<ui::TComboBox>(GroupBox1->Widget(), "", true);
    for (int i = 0; i < panels::pexmar::kParameterSetCount; ++i)
        cboParameterSet->AddItem(panels::pexmar::ParameterSetItem(i));
    cboParameterSet->SetBounds(8, 28, 130, 22);
    pnlStoreRecall = Make<ui::TPanel>(GroupBox1->Widget());
    pnlStoreRecall->SetColor(ui::clGreen);
    pnlStoreRecall->SetBounds(146, 20, 168, 37);
    cmdStore = Make<ui::TButton>(pnlStoreRecall->Widget(), "STORE");
    cmdRecall = Make<ui::TButton>(pnlStoreRecall->Widget(), "RECALL");
    cmdStore->SetBounds(6, 6, 76, 25);
    cmdRecall->SetBounds(86, 6, 76, 25);

    panels::MakeCaption(box, "PULSE MODE", ui::clNavy)->setGeometry(10, 168, 155, 18);
    panels::MakeCaption(box, "SHUTTER", ui::clNavy)->setGeometry(177, 168, 155, 18);
    cboPulseMode = Make<ui::TComboBox>(box, "", false);
    cboPulseMode->SetItems({"CW", "PULSED"});
    cboShutter = Make<ui::TComboBox>(box, "", false);
    cboShutter->SetItems({"Closed", "Open"});
    cboPulseMode->SetBounds(10, 188, 155, 22);
    cboShutter->SetBounds(177, 188, 155, 22);
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
    sbStop->OnClick = [this] { panels::RunLaserStop([this] { sbStopClick(); }); };
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
    tmrStatus->SetEnabled(false);
    StopLaser(panels::WriteThroughRoad);
    cboShutter->SetItemIndex(0);
    panels::RestoreMainWindow();
}

void TPexmarControlForm::StopLaser(const panels::PortWriter& write) {
    write(panels::StopCommand(panels::CommandSet::Pexmar));
    write(panels::PexmarSetting("SHUTTER", "0"));
    ShutterIndex = 0;
    SaveConfigurationFile();
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
    panels::PauseBetweenSends(kSettlePause);
    QueryFrequency();
    QueryDiodeCurrentSet();
    QueryPulseMode();
    QueryShutter();
}

void TPexmarControlForm::cmdRefreshClick() {
    sbStopClick();
    SetParameterSet();
    panels::PauseBetweenSends(kSettlePause);
    SetFrequency();
    SetDiodeCurrent();
    SetPulseMode();
    SetShutter();
}
