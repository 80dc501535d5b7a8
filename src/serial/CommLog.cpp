// The communications log window: its controls, menus, showing and closing, and the operator's
// commands. The log's lines, the rotation, the error table and the saving are in CommLogRecord.cpp.
#include "serial/CommLog.h"

#include <QFont>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QScreen>
#include <QVBoxLayout>

#include <atomic>

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
    CentreOnDesktop();
    FormCreate();
}

void TCommLogForm::BuildControls() {
    Window()->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    auto* outer = new QVBoxLayout(Client());
    outer->setContentsMargins(0, 0, 0, 0);
    pnlBack = Make<ui::TPanel>(Client());
    pnlBack->SetColor(ui::clBlack);
    outer->addWidget(pnlBack->Widget(), 1);
    auto* groups = new QHBoxLayout(pnlBack->Widget());
    BuildLogGroup(pnlBack->Widget());
    BuildErrorGroup(pnlBack->Widget());
    groups->addWidget(gbCommLog->Widget(), 3);
    groups->addWidget(gbCommErrors->Widget(), 2);

    SBar = Make<ui::TStatusBar>(Client(),
                                std::vector<std::pair<std::string, int>>{{" Line Count:", 130}, {" Status: ", 50}});
    outer->addWidget(SBar->Widget());

    SaveDialogCommLog.filter = "Rich Edit (*.rtf)|*.rtf|All Files (*.*)|*.*";
    SaveDialogCommLog.overwritePrompt = true;
    tmrUpdate = std::make_unique<ui::TTimer>(5000, false);
}

void TCommLogForm::BuildLogGroup(QWidget* parent) {
    gbCommLog = Make<ui::TGroupBox>(parent, "COMMUNICATIONS LOG ");
    gbCommLog->SetColor(ui::clNavy);
    MakeCaptionStyle(*gbCommLog);
    auto* layout = new QVBoxLayout(gbCommLog->Widget());
    reLog = Make<ui::TRichEdit>(gbCommLog->Widget());
    reLog->SetColor(ui::clWhite);
    reLog->SetBold(false);
    layout->addWidget(reLog->Widget(), 1);

    auto* controls = new QHBoxLayout;
    Button1 = Make<ui::TButton>(gbCommLog->Widget(), "Clear Log");
    Button1->SetFontColor(ui::clBlack);
    rbLogEna = Make<ui::TRadioButton>(gbCommLog->Widget(), "Enable Log");
    rbLogDis = Make<ui::TRadioButton>(gbCommLog->Widget(), "Disable Log");
    controls->addWidget(Button1->Widget());
    controls->addStretch(1);
    controls->addWidget(rbLogEna->Widget());
    controls->addWidget(rbLogDis->Widget());
    layout->addLayout(controls);
}

void TCommLogForm::BuildErrorGroup(QWidget* parent) {
    gbCommErrors = Make<ui::TGroupBox>(parent, " COMMUNICATIONS ERRORS ");
    gbCommErrors->SetColor(ui::clMaroon);
    MakeCaptionStyle(*gbCommErrors);
    auto* grid = new QGridLayout(gbCommErrors->Widget());
    QWidget* box = gbCommErrors->Widget();
    lblErrorCol = Make<ui::TLabel>(box, "ERROR");
    lblCountCol = Make<ui::TLabel>(box, "COUNT");
    lblCommandCol = Make<ui::TLabel>(box, "FAILED COMMAND");
    int column = 0;
    for (ui::TLabel* head : {lblErrorCol, lblCountCol, lblCommandCol}) {
        MakeCaptionStyle(*head);
        Underline(*head);
        grid->addWidget(head->Widget(), 0, column++);
    }
    for (int d = 0; d < kErrorCodes; ++d) {
        const auto i = static_cast<std::size_t>(d);
        lblE[i] = Make<ui::TLabel>(box, "?" + std::to_string(d));
        MakeCaptionStyle(*lblE[i]);
        edECount[i] = Make<ui::TEdit>(box);
        edEText[i] = Make<ui::TEdit>(box);
        for (ui::TEdit* edit : {edECount[i], edEText[i]}) {
            edit->SetReadOnly(true);
            edit->SetColor(ui::clSilver);
            edit->SetFontColor(ui::clBlack);
            edit->SetBold(false);
        }
        edECount[i]->Widget()->setFixedWidth(50);
        grid->addWidget(lblE[i]->Widget(), d + 1, 0);
        grid->addWidget(edECount[i]->Widget(), d + 1, 1);
        grid->addWidget(edEText[i]->Widget(), d + 1, 2);
    }
    cmdClearErrors = Make<ui::TButton>(box, "Clear Errors");
    cmdClearErrors->SetFontColor(ui::clBlack);
    grid->addWidget(cmdClearErrors->Widget(), kErrorCodes + 1, 0, 1, 3, Qt::AlignRight);
    grid->setRowStretch(kErrorCodes + 2, 1);
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

void TCommLogForm::CentreOnDesktop() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect frame = Window()->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    Window()->move(frame.topLeft());
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
