#pragma once
// The Ondrel laser-system control panel: laser mode, wavelength, fire and stop, the theta rotation
// of the slit and the slit size in X and Y. Every control sends at once through the main window's
// door; the panel reads no reply, polls nothing and keeps no file.
#include <string>

#include "panels/CommittedEdit.h"
#include "panels/LaserPanel.h"
#include "panels/PanelCommand.h"
#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Indicators.h"
#include "ui/Toggles.h"
#include "ui/TrackBar.h"

class TOndrelControlForm : public ui::TForm, public panels::LaserPanel {
public:
    TOndrelControlForm();

    // ---- fields ----
    int SlitMicrons = 1000;  // 200 units of the slit command per 1000 um
    int SlitSteps = 200;
    int ThetaOffset = 45;    // degrees added before the conversion
    float ThetaStepsPerDegree = 38.29f;
    int ThetaAngle = 0;      // committed theta, degrees
    int SlitX = 0;           // committed slit sizes, um
    int SlitY = 0;

    // ---- controls ----
    ui::TGroupBox* gbSystem;
    ui::TGroupBox* gbLaserControls;
    ui::TGroupBox* gbSlitControls;
    ui::TSpeedButton* sbFire;
    ui::TSpeedButton* sbStop;
    ui::TComboBox* cbMode;
    ui::TComboBox* cbWavelength;
    ui::TLabeledEdit* leBurstCount;
    ui::TUpDown* udBurstCount;
    ui::TLabeledEdit* leEnergy;
    ui::TUpDown* udEnergy;
    ui::TLabeledEdit* leRepRate;
    ui::TUpDown* udRepRate;
    ui::TCheckBox* cbSquare;
    ui::TLabeledEdit* leXSize;
    ui::TLabeledEdit* leYSize;
    ui::TLabel* lblTheta;
    ui::TTrackBar* tbTheta;
    ui::TEdit* leTheta;
    // The committed numeric edits of leXSize, leYSize and leTheta.
    panels::CommittedEdit* XSizeEdit;
    panels::CommittedEdit* YSizeEdit;
    panels::CommittedEdit* ThetaEdit;

    // ---- handlers ----
    void FormShow();
    void FormClose();
    // The laser stopped: by the close, and by an ending without a display.
    void StopLaser(const panels::PortWriter& write) override;
    void cbModeSelect();
    void cbWavelengthSelect();
    void sbFireClick();
    void sbStopClick();
    void tbThetaChange();
    void cbSquareClick();

    // ---- commits of the edits ----
    void XSizeCommit(int um);
    void YSizeCommit(int um);
    void ThetaCommit(int angle);

    long long ThetaStepsOf(int angle) const;
    long long SlitStepsOf(int um) const;

private:
    void BuildControls();
    void BuildLaserControls();
    void BuildSlitControls();
    void BindEdits();
    void ConnectHandlers();
    // The X or Y text read again for the slit command: a text that is not a whole number counts as 400 um.
    int SlitTextValue(const ui::TEdit& edit) const;
    void SendSlitSize(int xUm, int yUm);
};

extern TOndrelControlForm* OndrelControlForm;
