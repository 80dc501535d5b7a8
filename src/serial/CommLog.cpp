// The communications log window: its controls, menus, showing and closing, and the operator's
// commands. The log's lines, the rotation, the error table and the saving are in CommLogRecord.cpp.
#include "serial/CommLog.h"

#include <QFont>
#include <QMainWindow>

#include <atomic>

#include "platform/TextConvert.h"
#include "terminal/Main.h"
#include "ui/GuiThread.h"
#include "ui/Menu.h"

TCommLogForm* CommLogForm = nullptr;

namespace {

std::uint64_t NextInstanceId() {
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

void MakeCaptionStyle(ui::TControl& control) {
    control.SetFontColor(ui::clWhite);
    control.SetBold(true);
}

void Underline(ui::TControl& control) {
    QFont font = control.Widget()->font();
    font.setUnderline(true);
    control.Widget()->setFont(font);
}

}  // namespace

TCommLogForm::TCommLogForm() : ui::TForm("Communications Log", 800, 560), instanceId_(NextInstanceId()) {
    BuildControls();
    BuildMenus();
    ConnectHandlers();
    CentreOnScreen();
    FormCreate();
}

void TCommLogForm::BuildControls() {
    SetBorderIcons(ui::biSystemMenu | ui::biMinimize);
    SBar = Make<ui::TStatusBar>(Client(),
                                std::vector<std::pair<std::string, int>>{{" Line Count:", 130}, {" Status: ", 50}});
    SBar->SetAlign(ui::TAlign::Bottom);
    pnlBack = Make<ui::TPanel>(Client());
    pnlBack->SetColor(ui::clBlack);
    pnlBack->SetAlign(ui::TAlign::Client);
    BuildErrorGroup(pnlBack->Widget());
    BuildLogGroup(pnlBack->Widget());

    SaveDialogCommLog.filter = "Rich Edit (*.rtf)|*.rtf|All Files (*.*)|*.*";
    SaveDialogCommLog.overwritePrompt = true;
    tmrUpdate = std::make_unique<ui::TTimer>(5000, false);
}

// The log takes what the error panel on its right leaves; its buttons stay along its bottom.
void TCommLogForm::BuildLogGroup(QWidget* parent) {
    gbCommLog = Make<ui::TGroupBox>(parent, "COMMUNICATIONS LOG ");
    gbCommLog->SetColor(ui::clNavy);
    MakeCaptionStyle(*gbCommLog);
    gbCommLog->SetAlign(ui::TAlign::Client);
    auto* controls = new QWidget(gbCommLog->Widget());
    controls->setGeometry(0, 0, 460, 34);
    ui::AlignWidget(controls, ui::TAlign::Bottom);
    Button1 = Make<ui::TButton>(controls, "Clear Log");
    Button1->SetFontColor(ui::clBlack);
    Button1->SetBounds(8, 5, 80, 25);
    rbLogEna = Make<ui::TRadioButton>(controls, "Enable Log");
    rbLogDis = Make<ui::TRadioButton>(controls, "Disable Log");
    int left = 200;
    for (ui::TRadioButton* radio : {rbLogEna, rbLogDis}) {
        MakeCaptionStyle(*radio);
        radio->SetBounds(left, 8, 110, 20);
        left += 120;
    }
    reLog = Make<ui::TRichEdit>(gbCommLog->Widget());
    reLog->SetColor(ui::clWhite);
    reLog->SetBold(false);
    reLog->SetAlign(ui::TAlign::Client);
}

void TCommLogForm::BuildErrorGroup(QWidget* parent) {
    gbCommErrors = Make<ui::TGroupBox>(parent, " COMMUNICATIONS ERRORS ");
    gbCommErrors->SetColor(ui::clMaroon);
    MakeCaptionStyle(*gbCommErrors);
    gbCommErrors->SetBounds(0, 0, 312, 400);
    gbCommErrors->SetAlign(ui::TAlign::Right);
    QWidget* box = gbCommErrors->Widget();
    lblErrorCol = Make<ui::TLabel>(box, "ERROR");
    lblCountCol = Make<ui::TLabel>(box, "COUNT");
    lblCommandCol = Make<ui::TLabel>(box, "FAILED COMMAND");
    constexpr int kColumns[] = {10, 62, 118};
    int column = 0;
    for (ui::TLabel* head : {lblErrorCol, lblCountCol, lblCommandCol}) {
        MakeCaptionStyle(*head);
        Underline(*head);
        head->SetBounds(kColumns[column++], 28, 150, 18);
    }
    for (int d = 0; d < kErrorCodes; ++d) {
        const auto i = static_cast<std::size_t>(d);
        const int top = 50 + 28 * d;
        lblE[i] = Make<ui::TLabel>(box, platform::Concat({"?", std::to_string(d)}));
        MakeCaptionStyle(*lblE[i]);
        lblE[i]->SetBounds(kColumns[0], top + 4, 40, 18);
        edECount[i] = Make<ui::TEdit>(box);
        edEText[i] = Make<ui::TEdit>(box);
        for (ui::TEdit* edit : {edECount[i], edEText[i]}) {
            edit->SetReadOnly(true);
            edit->SetColor(ui::clSilver);
            edit->SetFontColor(ui::clBlack);
            edit->SetBold(false);
        }
        edECount[i]->SetBounds(kColumns[1], top, 50, 22);
        edEText[i]->SetBounds(kColumns[2], top, 184, 22);
    }
    cmdClearErrors = Make<ui::TButton>(box, "Clear Errors");
    cmdClearErrors->SetFontColor(ui::clBlack);
    cmdClearErrors->SetBounds(210, 50 + 28 * kErrorCodes + 4, 92, 25);
}

void TCommLogForm::BuildMenus() {
    mnuFile = MainMenu()->Add("&File");
    SavetoFile2 = mnuFile->Add("Save to File");
    Print2 = mnuFile->Add("Print");
    Exit1 = mnuFile->Add("&Close");
    mnuHelp = MainMenu()->Add("&Help");

    PopupMenuCommLog = Make<ui::TPopupMenu>(Window());
    PopupMenuCommLog->AddEditAction("Cut", ui::EditAction::Cut, "Ctrl+X");
    PopupMenuCommLog->AddEditAction("Copy", ui::EditAction::Copy, "Ctrl+C");
    PopupMenuCommLog->AddEditAction("Paste", ui::EditAction::Paste, "Ctrl+V");
    Print1 = PopupMenuCommLog->Add("Print");
    SavetoFile1 = PopupMenuCommLog->Add("Save to File");
    reLog->SetPopupMenu(PopupMenuCommLog);

    // Edit actions that no menu shows; their shortcuts work in the window.
    Make<ui::TMenuItem>(Window(), "Select All", "Ctrl+A")->OnClick = [] {
        ui::RunEditAction(ui::EditAction::SelectAll);
    };
    reLog->SetUndoEnabled(true);
    Make<ui::TMenuItem>(Window(), "Undo", "Ctrl+Z")->OnClick = [] { ui::RunEditAction(ui::EditAction::Undo); };
    Make<ui::TMenuItem>(Window(), "Delete", "Del")->OnClick = [] { ui::RunEditAction(ui::EditAction::Delete); };
}

void TCommLogForm::ConnectHandlers() {
    OnShow = [this] { FormShow(); };
    OnClose = [this] { FormClose(); };
    tmrUpdate->OnTimer = [this] { tmrUpdateTimer(); };
    Button1->OnClick = [this] { Button1Click(); };
    cmdClearErrors->OnClick = [this] { cmdClearErrorsClick(); };
    rbLogEna->OnClick = [this] { rbLogEnaClick(); };
    rbLogDis->OnClick = [this] { rbLogDisClick(); };
    SavetoFile2->OnClick = [this] { SavetoFile2Click(); };
    Print2->OnClick = [this] { Print2Click(); };
    Exit1->OnClick = [this] { Exit1Click(); };
    SavetoFile1->OnClick = [this] { SavetoFile1Click(); };
    Print1->OnClick = [this] { Print1Click(); };
}

bool TCommLogForm::MainLogEnabled() { return TalvaneForm != nullptr && TalvaneForm->LogEnabled; }

void TCommLogForm::FormCreate() {
    reLog->Clear();
    tmrUpdate->SetInterval(5000);
    tmrUpdate->SetEnabled(false);
    LogLineCount = 0;
    UpdateSBar(0, MainLogEnabled());
}

void TCommLogForm::FormShow() {
    tmrUpdate->SetInterval(2000);
    tmrUpdate->SetEnabled(true);
}

void TCommLogForm::FormClose() { tmrUpdate->SetEnabled(false); }

void TCommLogForm::UpdateSBar(int count, bool logging) {
    SBar->SetPanelText(0, " Line Count: " + std::to_string(count));
    SBar->SetPanelText(1, logging ? " Status: Logging Communications" : " Status: Comm Logging Disabled");
}

void TCommLogForm::ShowLoggingState(bool logging) {
    // Checking a button runs its handler, which sets LogEnabled to the value it already has.
    (logging ? rbLogEna : rbLogDis)->SetChecked(true);
    SBar->SetPanelText(1, logging ? " Status: Logging Communications" : " Status: Comm Logging Disabled");
}

void TCommLogForm::tmrUpdateTimer() {
    DisplayCommErrors();
    SBar->SetPanelText(0, " Line Count: " + std::to_string(LogLineCount));
    ShowLoggingState(MainLogEnabled());
}

void TCommLogForm::Button1Click() {
    ui::OnGui([&] {
        reLog->Clear();
        LogLineCount = reLog->LineCount();
        UpdateSBar(LogLineCount, MainLogEnabled());
    });
}

void TCommLogForm::cmdClearErrorsClick() {
    TalvaneForm->ResetCommErrorArray();
    DisplayCommErrors();
}

void TCommLogForm::rbLogEnaClick() { TalvaneForm->EnableLog1Click(); }

void TCommLogForm::rbLogDisClick() { TalvaneForm->DisableLog1Click(); }

void TCommLogForm::SavetoFile1Click() { SaveThroughDialog(true); }

void TCommLogForm::SavetoFile2Click() { SaveThroughDialog(false); }

void TCommLogForm::Print1Click() { PrintWithErrorTable(); }

void TCommLogForm::Print2Click() { PrintWithErrorTable(); }

void TCommLogForm::Exit1Click() { Close(); }
