#pragma once
// The instrument settings window: the modal window in which the operator downloads an instrument's
// settings through a query file into a restore file and a settings view, or uploads a restore file
// back to the instrument. It drives the main window's port itself, lent to it while it is shown.
//
// Member definitions: Instrumentsetting.cpp (window, showing, settings-view menu) and
// InstrumentsettingTransfer.cpp (download and upload).
#include <functional>
#include <string>
#include <vector>

#include "settings_transfer/QueryExchange.h"
#include "settings_transfer/QueryFile.h"
#include "ui/Buttons.h"
#include "ui/Containers.h"
#include "ui/Dialogs.h"
#include "ui/Form.h"
#include "ui/Indicators.h"
#include "ui/Menu.h"
#include "ui/RichEdit.h"

class CSerialPort;

class TInstrumentSettingForm : public ui::TForm, private settings_transfer::DownloadLink {
public:
    TInstrumentSettingForm();

    // ---- controls ----
    ui::TPanel* Panel1;
    ui::TGroupBox* gbInstrumentQuery;
    ui::TRichEdit* reInstrumentQueryFile;
    ui::TGroupBox* gbInstrumentRestore;
    ui::TRichEdit* reInstrumentRestoreFile;
    ui::TGroupBox* GroupBox1;
    ui::TLabel* lblDownloadProgress;
    ui::TProgressBar* pbDownloadProgress;
    ui::TGroupBox* GroupBox2;
    ui::TRichEdit* reInstrumentSettingFile;
    ui::TButton* cmdDownload;
    ui::TButton* cmdUpload;
    ui::TGroupBox* GroupBox3;
    ui::TLabel* lblUploadProgress;
    ui::TProgressBar* pbUploadProgress;
    ui::TStatusBar* StatusBar1;
    ui::FileDialogOptions SaveDialogInstrumentRestoreFile;
    ui::FileDialogOptions OpenDialogInstrumentQueryFile;
    ui::FileDialogOptions OpenDialogInstrumentRestoreFile;
    ui::FileDialogOptions SaveDialogInstrumentSettingsFile;
    ui::TPopupMenu* PopupMenuInstrumentSettings;
    ui::TMenuItem* Print1;
    ui::TMenuItem* SavetoFile1;

    // ---- handlers ----
    void FormShow();
    void cmdDownloadClick();
    void cmdUploadClick();
    void Print1Click();
    void SavetoFile1Click();

    // ---- download (query file to restore file) ----
    // Each returns false when the port failed and the transfer stopped.
    bool RunDownload();
    void LoadQueryFile();
    bool ProcessQueryFile();
    void SaveRestoreFile();

    // ---- upload (restore file to the instrument) ----
    bool RunUpload();
    void LoadRestoreFile();
    bool ProcessRestoreFile();

    // ---- exchange ----
    std::string SendQuery(const std::string& command, settings_transfer::QueryMode mode) override;

    settings_transfer::QueryInterpreter Interpreter;

private:
    void BuildControls();
    void BuildHiddenBuffers(QWidget* parent);
    void BuildProgressGroups(QWidget* parent);
    void BuildSettingsView(QWidget* parent);
    void BuildDialogs();
    void ConnectHandlers();

    // Bars to their minimum, labels to the position followed by suffix.
    void ResetProgress(const std::string& suffix);
    void StepBar(ui::TProgressBar& bar, ui::TLabel& label);
    void FillBar(ui::TProgressBar& bar, ui::TLabel& label);
    // The shared start and end of both click handlers.
    void BeginTransfer(const std::string& action);
    void EndTransfer(bool completed);
    bool RunPacedLines(const std::vector<std::string>& lines, ui::TProgressBar& bar, ui::TLabel& label,
                       const std::function<void(int, const std::string&)>& run);
    void DownloadLine(int index, const std::string& line);
    void UploadLine(int index, const std::string& line);
    void MoveCarets(int line);
    void MoveSettingsCaret(int line);
    void Refresh();
    void ReportMissingSettings();
    void ReportUnacknowledged();

    void Pause(unsigned ms) override;
    void AppendRestoreLine(const std::string& line) override;
    void AppendSettingsLine(const std::string& line) override;

    CSerialPort* SerialPort = nullptr;  // the main window's, copied at every showing
    settings_transfer::QueryExchange exchange_;
    std::vector<std::string> unacknowledged_;  // restore-file lines of the last upload
};

extern TInstrumentSettingForm* InstrumentSettingForm;
