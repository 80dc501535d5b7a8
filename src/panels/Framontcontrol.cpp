// The Framont panel's window: its groups, its showing and closing, and the service menus.
#include "panels/Framontcontrol.h"

#include <QMainWindow>

#include "panels/FramontCommands.h"
#include "panels/FramontWidgets.h"
#include "panels/PanelCommand.h"
#include "platform/TextConvert.h"

TFramontControlForm* FramontControlForm = nullptr;

using namespace panels::framont;

TFramontControlForm::TFramontControlForm()
    : ui::TForm("Framont System V1.00.03", 700, 600),
      panels::LaserPanel(this),
      tmrStatus(std::make_unique<ui::TTimer>(1000, false)) {
    panels::SetUpPanelWindow(*this, true);
    BuildServiceMenus();
    auto* grid = new QGridLayout(Client());
    BuildLaserControls(*grid);
    BuildMonitor(*grid);
    BuildSlitControls(*grid);
    BuildIllumination(*grid);
    BuildStatusAndSystem(*grid);
    // A larger window leaves its room beside and below the groups; they keep their size and place.
    grid->setColumnStretch(grid->columnCount(), 1);
    grid->setRowStretch(grid->rowCount(), 1);
    BindLaserEdits();
    BindSlitEdits();
    BindIlluminatorEdits();
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    tmrStatus->OnTimer = [this] { tmrStatusTimer(); };
}

// The timer goes before the controls its handler reads.
TFramontControlForm::~TFramontControlForm() { tmrStatus.reset(); }

void TFramontControlForm::BuildServiceMenus() {
    PopupMenuMain = Make<ui::TPopupMenu>(Window());
    const std::pair<const char*, void (TFramontControlForm::*)()> mainItems[] = {
        {"Exercise All", &TFramontControlForm::ExerciseAll1Click},
        {"Reset All", &TFramontControlForm::ResetAll1Click},
        {"Exercise Slit", &TFramontControlForm::ExerciseSlit1Click},
        {"Reset Slit", &TFramontControlForm::ResetSlit1Click},
        {"Exercis Waveplate", &TFramontControlForm::ExerciseWaveplate1Click},
        {"Reset Waveplate", &TFramontControlForm::ResetWaveplate1Click},
        {"Exercise Filter Wheel", &TFramontControlForm::ExerciseFilterWheel1Click},
        {"Reset Filter Wheel", &TFramontControlForm::ResetFilterWheel1Click},
    };
    for (const auto& [caption, handler] : mainItems)
        PopupMenuMain->Add(caption)->OnClick = [this, handler = handler] { (this->*handler)(); };

    PopupMenuSlit = Make<ui::TPopupMenu>(Window());
    PopupMenuSlit->Add("Exercise Slit")->OnClick = [this] { ExerciseSlit1Click(); };
    PopupMenuSlit->Add("Reset Slit")->OnClick = [this] { ResetSlit1Click(); };

    PopupMenuWL = Make<ui::TPopupMenu>(Window());
    PopupMenuWL->Add("Exercise Waveplate")->OnClick = [this] { ExerciseWaveplate1Click(); };
    PopupMenuWL->Add("Reset Waveplate")->OnClick = [this] { ResetWaveplate1Click(); };
    PopupMenuWL->Add("Exercise Filter Wheel")->OnClick = [this] { ExerciseFilterWheel1Click(); };
    PopupMenuWL->Add("Reset Filter Wheel")->OnClick = [this] { ResetFilterWheel1Click(); };

    PopupMenuIlluminator = Make<ui::TPopupMenu>(Window());
    PopupMenuIlluminator->Add("Open Shutter")->OnClick = [this] { OpenShutter1Click(); };
    PopupMenuIlluminator->Add("Close Shutter")->OnClick = [this] { CloseShutter1Click(); };
}

void TFramontControlForm::BuildStatusAndSystem(QGridLayout& grid) {
    QGridLayout* status = nullptr;
    GroupBox3 = MakeGroup(*this, "STATUS ", status);
    cbStatus = Make<ui::TCheckBox>(GroupBox3->Widget(), "Enable Poll");
    Panel1 = Make<ui::TPanel>(GroupBox3->Widget());
    Panel1->SetColor(ui::clBlack);
    lblStatus = Make<ui::TLabel>(Panel1->Widget(), "1000");
    lblStatus->SetFontColor(ui::clWhite);
    lblStatus->SetBold(true);
    auto* statusPanel = new QGridLayout(Panel1->Widget());
    statusPanel->addWidget(lblStatus->Widget(), 0, 0, Qt::AlignCenter);
    status->addWidget(cbStatus->Widget(), 0, 0);
    status->addWidget(Panel1->Widget(), 1, 0);
    AttachMenu(PopupMenuMain, {GroupBox3, cbStatus, Panel1, lblStatus});
    grid.addWidget(GroupBox3->Widget(), 2, 0);

    QGridLayout* system = nullptr;
    GroupBox4 = MakeGroup(*this, "SYSTEM ", system);
    cmdUpdate = Make<ui::TButton>(GroupBox4->Widget(), "Read from Controller");
    cmdUpdate->SetHint("Read System Settings");
    cmdUpdate->OnClick = [this] { cmdUpdateClick(); };
    cmdRefresh = Make<ui::TButton>(GroupBox4->Widget(), "Write to Controller");
    cmdRefresh->SetHint("Write Settings to Controller");
    cmdRefresh->OnClick = [this] { cmdRefreshClick(); };
    system->addWidget(cmdUpdate->Widget(), 0, 0);
    system->addWidget(cmdRefresh->Widget(), 1, 0);
    grid.addWidget(GroupBox4->Widget(), 2, 1);
}

void TFramontControlForm::Send(const std::string& command) { panels::SendPanelCommand(command); }

std::optional<std::string> TFramontControlForm::Ask(const std::string& query) {
    return panels::Query(query, panels::CommandSet::Framont);
}

void TFramontControlForm::TrackBarChanged(ui::TTrackBar& bar, panels::CommittedEdit& edit, int& committed,
                                          int shown, const std::function<void()>& send) {
    const int previous = platform::StrToIntDef(edit.Edit().Text(), 0);
    edit.SetWhite();
    edit.Edit().SetText(std::to_string(shown));  // its change handler turns it silver when shown differs
    if (previous == committed)
        return;
    edit.SetWhite();
    committed = shown;
    bar.SetSelStart(bar.Position());
    send();
    bar.SetFocus();
}

void TFramontControlForm::FormShow() {
    panels::SetLabeledEditVisible(*leBurstCount, false);
    cmdILFieldONOFF->SetCaption("ON");
    cmdSlitILONOFF->SetCaption("ON");
    cbSquareSlit->SetChecked(false);
    cbAutoEnergy->SetChecked(false);
    AutoEnergy = 0;
    cbAutoEnergyClick();
    rbEnergy->SetChecked(true);
    rbEnergyClick();
    SlitMagnification = -1;
    SlitSizeX = SlitSizeY = 2500.0F;
    EnableSlitSizes(false);
    SlitSizeLimit = 2500.0F;
    tmrStatus->SetEnabled(true);
    FieldLEDValue = 0;
    edFieldLED->SetText("0");
    SlitLEDValue = 0;
    edSlitLED->SetText("0");
    RepRate = 0;
    LoadConfigurationFile();
    Client()->repaint();
}

void TFramontControlForm::FormClose() {
    tmrStatus->SetEnabled(false);
    StopLaser(panels::WriteThroughRoad);
    panels::RestoreMainWindow();
}

void TFramontControlForm::StopLaser(const panels::PortWriter& write) {
    write(panels::StopCommand(panels::CommandSet::Framont));
    LaserFire = 0;
    SaveConfigurationFile();
}

void TFramontControlForm::ExerciseSlit1Click() { Send(";SL:X3 00"); }
void TFramontControlForm::ResetSlit1Click() { Send(";SL:RS"); }
void TFramontControlForm::ExerciseWaveplate1Click() { Send(";WP:X3 00"); }
void TFramontControlForm::ResetWaveplate1Click() { Send(";WP:RS"); }
void TFramontControlForm::ExerciseFilterWheel1Click() { Send(";FW:X3 00"); }
void TFramontControlForm::ResetFilterWheel1Click() { Send(";FW:RS"); }
void TFramontControlForm::OpenShutter1Click() { Send(";IL:SH 0"); }
void TFramontControlForm::CloseShutter1Click() { Send(";IL:SH 1"); }

void TFramontControlForm::ExerciseAll1Click() {
    ExerciseSlit1Click();
    ExerciseFilterWheel1Click();
    ExerciseWaveplate1Click();
}

void TFramontControlForm::ResetAll1Click() {
    ResetSlit1Click();
    ResetFilterWheel1Click();
    ResetWaveplate1Click();
}
