#pragma once
// The Pexmar laser-system control panel: gate (FIRE/STOP), shutter, pulse mode, pulse frequency and
// diode set current, the sixteen parameter sets the laser holds, the laser's status values, reading
// and writing the whole setting, and the panel file replayed at every opening.
//
// Members are defined over Pexmarcontrol.cpp (window, opening and closing, fire and stop, poll,
// read and write), PexmarQueries.cpp (queries, settings, lists and parameter sets) and
// PexmarPanelFile.cpp (the panel file).
#include <memory>
#include <string>

#include "panels/CommittedEdit.h"
#include "panels/LaserPanel.h"
#include "panels/PanelCommand.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Timer.h"
#include "ui/Toggles.h"

namespace panels::pexmar {
struct PanelFileReading;
}

// DrennickFolder()/"Pexmar Config.txt", set when the panel is created at start-up.
extern std::string PexmarConfigFilePath;

class TPexmarControlForm : public ui::TForm, public panels::LaserPanel {
public:
    TPexmarControlForm();

    // ---- members ----
    float FrequencyValue = 0;     // kHz, committed value of leFrequency
    float DiodeCurrentValue = 0;  // committed value of leDiodeCurrent
    int PulseModeIndex = 0;       // 0 "CW", 1 "PULSED"
    int ShutterIndex = 0;         // 0 "Closed", 1 "Open"
    std::string ParameterSetText;

    // ---- controls ----
    ui::TPanel* pnlMain;
    ui::TNotebook* nbPexmar;
    ui::TGroupBox* GroupBox4;  // "SYSTEM "
    ui::TLabel* lblLaserType;
    ui::TLabel* lblSystemState;
    ui::TButton* cmdUpdate;
    ui::TButton* cmdRefresh;
    ui::TGroupBox* GroupBox3;  // "STATUS "
    ui::TCheckBox* cbStatus;
    ui::TLabel* lblKey;
    ui::TLabel* lblDiodeHours;
    ui::TLabel* lblDiodeVoltage;
    ui::TLabel* lblDiodeCurrent;
    ui::TLabel* lblWaterTemp;
    ui::TLabel* lblWaterFlow;
    ui::TLabel* lblWarning;
    ui::TGroupBox* gbLaserSettings;  // "LASER CONTROLS "
    ui::TSpeedButton* sbFire;
    ui::TSpeedButton* sbStop;
    ui::TLabeledEdit* leFrequency;
    ui::TLabeledEdit* leDiodeCurrent;
    ui::TGroupBox* GroupBox1;  // "PARAMETER SET "
    ui::TComboBox* cboParameterSet;
    ui::TPanel* pnlStoreRecall;
    ui::TButton* cmdStore;
    ui::TButton* cmdRecall;
    ui::TComboBox* cboPulseMode;
    ui::TComboBox* cboShutter;
    std::unique_ptr<ui::TTimer> tmrStatus;
    // The committed numeric edits of leFrequency and leDiodeCurrent.
    panels::CommittedEdit* FrequencyEdit;
    panels::CommittedEdit* DiodeCurrentEdit;

    // ---- opening, closing, gate, poll, read and write (Pexmarcontrol.cpp) ----
    void FormShow();
    void FormClose();
    void sbFireClick();
    void sbStopClick();
    void tmrStatusTimer();
    void cmdUpdateClick();
    void cmdRefreshClick();

    // ---- the edits' handlers ----
    void leFrequencyChange() { FrequencyEdit->Change(); }
    void leFrequencyKeyPress(char& key) { FrequencyEdit->KeyPress(key); }
    void leFrequencyExit() { FrequencyEdit->Exit(); }
    void leFrequencyClick() { FrequencyEdit->Click(); }
    void leFrequencyKeyDown(int& key) { FrequencyEdit->KeyDown(key); }
    void leFrequencyKeyUp(int& key) { FrequencyEdit->KeyUp(key); }
    void leDiodeCurrentChange() { DiodeCurrentEdit->Change(); }
    void leDiodeCurrentKeyPress(char& key) { DiodeCurrentEdit->KeyPress(key); }
    void leDiodeCurrentExit() { DiodeCurrentEdit->Exit(); }
    void leDiodeCurrentClick() { DiodeCurrentEdit->Click(); }
    void leDiodeCurrentKeyDown(int& key) { DiodeCurrentEdit->KeyDown(key); }
    void leDiodeCurrentKeyUp(int& key) { DiodeCurrentEdit->KeyUp(key); }

    // ---- queries, settings, lists and parameter sets (PexmarQueries.cpp) ----
    void QuerySystem();
    void QueryKeyswitch();
    void QueryDiodeHours();
    void QueryDiodeVoltage();
    void QueryDiodeCurrent();
    void QueryTemperature();
    void QueryWaterFlow();
    void QueryWarning();
    void QueryLaserData();
    void QueryParameterSet();
    void QueryFrequency();
    void QueryDiodeCurrentSet();
    void QueryPulseMode();
    void QueryShutter();
    void SetParameterSet();
    void SetFrequency();
    void SetDiodeCurrent();
    void SetPulseMode();
    void SetShutter();
    void cboParameterSetSelect();
    void cmdStoreClick();
    void cmdRecallClick();
    void cboPulseModeSelect();
    void cboShutterSelect();
    int FindComboText(const ui::TComboBox& combo, const std::string& text) const;

    // ---- the panel file (PexmarPanelFile.cpp) ----
    void LoadConfigurationFile();
    void SaveConfigurationFile();
    // Gate off, shutter closed, then the panel file saved: by the close, and by an ending without a display.
    void StopLaser(const panels::PortWriter& write) override;

private:
    void BuildControls();
    void BuildSystemGroup(QWidget* page);
    void BuildStatusGroup(QWidget* page);
    void BuildLaserGroup(QWidget* page);
    void BindEdits();
    void ConnectHandlers();
    // The status queries from the key switch to the warning, in the order the laser is asked.
    void QueryStatusValues();
    // Commits of the edits and the replies and file values that set them: the member, the edit's
    // one-decimal text, the command with that text; then the edit is white.
    void ApplyFrequency(double value);
    void ApplyDiodeCurrent(double value);
    void SelectParameterSet(const std::string& text);
    void SelectPulseMode(int index);
    void SelectShutter(int index);
    void ReplayPanelFile(const panels::pexmar::PanelFileReading& file);
};

extern TPexmarControlForm* PexmarControlForm;
