#pragma once
// The Framont laser-system control panel. One class; its member definitions are split by group:
// Framontcontrol.cpp (window, show, close, service menus), FramontLaserControls.cpp (laser controls
// and monitor), FramontSlitControls.cpp (slit and theta), FramontIllumination.cpp, FramontRead.cpp
// (status poll, queries, "Read from Controller"), FramontWrite.cpp ("Write to Controller") and
// FramontPanelReplay.cpp (the panel file: load and replay, save).
//
// Every command goes through the main window's send road (panels/PanelCommand.h); GUI thread only.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "panels/CommittedEdit.h"
#include "panels/LaserPanel.h"
#include "panels/PanelCommand.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Menu.h"
#include "ui/Timer.h"
#include "ui/Toggles.h"
#include "ui/TrackBar.h"

class QGridLayout;

class TFramontControlForm : public ui::TForm, public panels::LaserPanel {
public:
    TFramontControlForm();
    ~TFramontControlForm() override;

    // ---- laser controls (whole numbers, 0 at creation) ----
    int LaserFire = 0;          // 3 after FIRE, 1 after STOP, 0 after a close
    int ModeIndex = 0;          // 0 Continuous, 1 Single, 2 Burst
    int WavelengthIndex = 0;    // 0..5
    int Energy = 0;             // committed value of leEnergy
    int EnergyRange = 0;        // 0 low, 1 high
    int AutoEnergy = 0;
    int RepRate = 0;
    int BurstCount = 0;
    int PolarizationAngle = 0;  // degrees

    // ---- slit, theta and illumination ----
    int SlitMagnification = 0;  // factor of the chosen magnification, -1 while none is chosen
    float SlitSizeX = 0;        // committed sizes in stored units: shown value x magnification
    float SlitSizeY = 0;
    float SlitSizeLimit = 0;    // largest shown size the X and Y edits accept
    std::string SlitSpot;       // the arguments last sent with ";LC:SP "
    int ThetaValue = 0;
    int FieldLEDValue = 0;      // percent last sent
    int SlitLEDValue = 0;
    int FieldLEDRaw = 0;        // raw level 0..255 last sent or read
    int SlitLEDRaw = 0;
    bool FieldIlluminatorOff = false;
    bool SlitIlluminatorOff = false;

    // ---- controls: laser ----
    ui::TGroupBox* gbLaserControls;
    ui::TSpeedButton* sbFire;
    ui::TSpeedButton* sbStop;
    ui::TComboBox* cbMode;
    ui::TComboBox* cbWavelength;
    ui::TLabeledEdit* leEnergy;
    ui::TRadioButton* rbHighEnergy;
    ui::TRadioButton* rbLowEnergy;
    ui::TCheckBox* cbAutoEnergy;
    ui::TLabeledEdit* leBurstCount;
    ui::TLabeledEdit* leRepRate;
    ui::TTrackBar* tbPolarization;
    ui::TEdit* edPolarization;
    ui::TButton* cmdPAN90;
    ui::TButton* cmdPA0;
    ui::TButton* cmdPAP90;
    ui::TGroupBox* gbMonitor;
    ui::TRadioButton* rbEnergy;
    ui::TRadioButton* rbVoltage;
    ui::TPanel* pnlEnergyMon;
    ui::TLabel* lblEnergyMon;

    // ---- controls: slit and theta ----
    ui::TGroupBox* GroupBox2;
    ui::TComboBox* cbSlitMag;
    ui::TCheckBox* cbSquareSlit;
    ui::TLabeledEdit* leXSize;
    ui::TLabeledEdit* leYSize;
    ui::TTrackBar* tbTheta;
    ui::TEdit* edTheta;
    ui::TButton* cmdTRN45;
    ui::TButton* cmdTR0;
    ui::TButton* cmdTRP34;

    // ---- controls: illumination ----
    ui::TGroupBox* GroupBox1;
    ui::TTrackBar* tbFieldLED;
    ui::TTrackBar* tbSlitLED;
    ui::TEdit* edFieldLED;
    ui::TEdit* edSlitLED;
    ui::TButton* cmdILFieldONOFF;
    ui::TButton* cmdSlitILONOFF;

    // ---- controls: status and system ----
    ui::TGroupBox* GroupBox3;
    ui::TCheckBox* cbStatus;
    ui::TPanel* Panel1;
    ui::TLabel* lblStatus;
    ui::TGroupBox* GroupBox4;
    ui::TButton* cmdUpdate;
    ui::TButton* cmdRefresh;
    std::unique_ptr<ui::TTimer> tmrStatus;

    // ---- service menus ----
    ui::TPopupMenu* PopupMenuMain;
    ui::TPopupMenu* PopupMenuSlit;
    ui::TPopupMenu* PopupMenuWL;
    ui::TPopupMenu* PopupMenuIlluminator;

    // ---- the committed numeric edits ----
    panels::CommittedEdit* EnergyEdit;
    panels::CommittedEdit* RepRateEdit;
    panels::CommittedEdit* BurstCountEdit;
    panels::CommittedEdit* PolarizationEdit;
    panels::CommittedEdit* ThetaEdit;
    panels::CommittedEdit* FieldLEDEdit;
    panels::CommittedEdit* SlitLEDEdit;
    panels::CommittedEdit* XSizeEdit;
    panels::CommittedEdit* YSizeEdit;

    // ---- life (Framontcontrol.cpp) ----
    void FormShow();
    void FormClose();
    void ExerciseAll1Click();
    void ResetAll1Click();
    void ExerciseSlit1Click();
    void ResetSlit1Click();
    void ExerciseWaveplate1Click();
    void ResetWaveplate1Click();
    void ExerciseFilterWheel1Click();
    void ResetFilterWheel1Click();
    void OpenShutter1Click();
    void CloseShutter1Click();

    // ---- laser controls (FramontLaserControls.cpp) ----
    void sbFireClick();
    void sbStopClick();
    void cbModeSelect();
    void cbWavelengthSelect();
    void rbHighEnergyClick();
    void rbLowEnergyClick();
    void cbAutoEnergyClick();
    void rbEnergyClick();
    void rbVoltageClick();
    void tbPolarizationChange();
    void edPolarizationKeyPress(char& key);
    void cmdPAN90Click();
    void cmdPA0Click();
    void cmdPAP90Click();

    // ---- slit and theta (FramontSlitControls.cpp) ----
    void cbSlitMagSelect();
    void cbSquareSlitClick();
    void leXSizeKeyPress(char& key);
    void leYSizeKeyPress(char& key);
    void tbThetaChange();
    void edThetaKeyPress(char& key);
    void cmdTRN45Click();
    void cmdTR0Click();
    void cmdTRP34Click();
    void WriteSlitSpotSize(int index, const std::string& x, const std::string& y);

    // ---- illumination (FramontIllumination.cpp) ----
    void tbFieldLEDChange();
    void tbSlitLEDChange();
    void edFieldLEDKeyPress(char& key);
    void edSlitLEDKeyPress(char& key);
    void cmdILFieldONOFFClick();
    void cmdSlitILONOFFClick();

    // ---- status poll and controller read (FramontRead.cpp) ----
    void tmrStatusTimer();
    void cbWavelengthClick();
    void QueryEnergy();
    void QueryLaserFire();
    void QueryAutoEnergy();
    void QueryWavelength();
    void QueryMode();
    void QueryBurstCount();
    void QueryRepRate();
    void QueryPolarizationAngle();
    void QueryFieldLED();
    void QuerySlitLED();
    void QuerySlitSize();
    void cmdUpdateClick();

    // ---- controller write (FramontWrite.cpp) ----
    void SetEnergy();
    void SetLaserFire();
    void SetAutoEnergy();
    void SetWavelength();
    void SetMode();
    void SetBurstCount();
    void SetRepRate();
    void SetPolarizationAngle();
    void SetFieldLED();
    void SetSlitLED();
    void SetSlitSize();
    void SetTheta();
    void cmdRefreshClick();

    // ---- panel file (FramontPanelReplay.cpp) ----
    void LoadConfigurationFile();
    void SaveConfigurationFile();
    // The laser stopped, then the panel file saved: by the close, and by an ending without a display.
    void StopLaser(const panels::PortWriter& write) override;

private:
    // One illuminator: its controls, fields and unit number in ";LC:IL".
    struct Illuminator {
        ui::TTrackBar* bar;
        ui::TEdit* edit;
        panels::CommittedEdit* committed;
        ui::TButton* button;
        int* value;
        int* raw;
        bool* off;
        int unit;
    };
    // A slit size edit with its stored size.
    struct SlitSizeSide {
        ui::TLabeledEdit* edit;
        float* size;
        bool isX;
    };

    void BuildLaserControls(QGridLayout& grid);
    void BuildMonitor(QGridLayout& grid);
    void BuildSlitControls(QGridLayout& grid);
    void BuildIllumination(QGridLayout& grid);
    void BuildStatusAndSystem(QGridLayout& grid);
    void BuildServiceMenus();
    void BindLaserEdits();
    void BindSlitEdits();
    void BindIlluminatorEdits();

    // Sends a command through the main window; a query's reply when it carries a value.
    static void Send(const std::string& command);
    static std::optional<std::string> Ask(const std::string& query);

    // The change handler shared by the polarization, theta and illuminator trackbars: shown is the
    // value the position stands for; send runs when the edit's value differed from the committed one.
    void TrackBarChanged(ui::TTrackBar& bar, panels::CommittedEdit& edit, int& committed, int shown,
                         const std::function<void()>& send);
    void SetFireFonts(ui::TColor fire);
    void SendAutoEnergy(bool on);
    void ShowMonitor(bool energy);
    void SelectEnergyRangeButton();

    Illuminator FieldIlluminator();
    Illuminator SlitIlluminator();
    void IlluminatorChanged(const Illuminator& lamp);
    void SendLevelUnlessOff(const Illuminator& lamp);
    static int ControllerLevel(const Illuminator& lamp);
    void ShowIlluminatorOn(const Illuminator& lamp);
    void SettleIlluminatorLevel(const Illuminator& lamp);
    void SwitchIlluminator(const Illuminator& lamp);
    void QueryIlluminator(const Illuminator& lamp, const std::string& emptyReply);
    void SetIlluminator(const Illuminator& lamp);
    void ReplayIlluminator(const Illuminator& lamp, int raw);

    void EnableSlitSizes(bool enabled);
    panels::CommittedEditSetup SlitSizeSetup(const SlitSizeSide& side);
    void CommitSlitSize(const SlitSizeSide& side, double value);
    void SlitSizeArrowKeys(const SlitSizeSide& side, int key, bool down);
    std::string ShownSize(float size) const;
    void ReplaySlitSpot(const std::string& spot);
};

extern TFramontControlForm* FramontControlForm;
