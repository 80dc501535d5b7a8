#pragma once
// The port settings dialog: baud rate, data bits, parity and stop bits of the main window's port
// object, and the command terminator. Each list choice writes the port object at once; Cancel (or the
// close box) puts the four numbers back as they were when the dialog was shown. The dialog is shown
// modally by the main window, which also applies a terminator text left unapplied at the close.
#include <array>

#include "ui/Buttons.h"
#include "ui/ComboBox.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Form.h"

class TCommSettingForm : public ui::TForm {
public:
    TCommSettingForm();

    // ---- fields ----
    bool OkPressed = false;
    int SavedBaudRate = 0;
    int SavedParity = 0;
    int SavedDataBits = 0;
    int SavedStopBits = 0;

    // ---- controls ----
    ui::TGroupBox* gbPortSettings;
    ui::TComboBox* cboBaudRate;
    ui::TComboBox* cboDataBits;
    ui::TComboBox* cboParity;
    ui::TComboBox* cboStopBits;
    ui::TButton* cmdOK;
    ui::TButton* Button1;  // "Cancel"
    ui::TGroupBox* gbTerminator;
    ui::TLabeledEdit* leTerminationString;

    // ---- operations: select the item of a port object number and write it back (a number with no
    // item changes nothing but ConfigChanged) ----
    void SetBaudRate(int rate);
    void SetByteSize(int code);
    void SetParity(int code);
    void SetStopBits(int code);
    // The warning box of a terminator text of several bytes without commas.
    void ErrorMissingComma();

    // ---- handlers ----
    void cboBaudRateSelect();
    void cboDataBitsSelect();
    void cboParitySelect();
    void cboStopBitsSelect();
    void cmdOKClick();
    void Button1Click();
    void FormShow();
    void FormClose();
    void leTerminationStringChange();
    void leTerminationStringKeyPress(char& key);

private:
    void BuildControls();
    QWidget* BuildPortGroup();
    QWidget* BuildTerminatorGroup();
    void ConnectHandlers();
    void CloseWith(int modalResult);
    // Selects the item at index (when there is one) and runs select; ConfigChanged is set either way.
    void SelectFromCode(ui::TComboBox& combo, int index, void (TCommSettingForm::*select)());
};

extern TCommSettingForm* CommSettingForm;
