// The instrument settings window: its controls, its showing, the progress display, the files it
// loads and saves, and the settings view's pop-up menu. The transfers are in
// InstrumentsettingTransfer.cpp.
#include "settings_transfer/Instrumentsetting.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

#include "terminal/Main.h"
#include "ui/GuiThread.h"

TInstrumentSettingForm* InstrumentSettingForm = nullptr;

namespace {

constexpr const char* kPrintTitle = "Talvane";

std::string TextFileFilter(const std::string& extension) {
    return "Text File (*." + extension + ")|*." + extension + "|All Files (*.*)|*.*";
}

// The open dialogs ask before creating a file and add no extension.
ui::FileDialogOptions OpenDialogOf(const std::string& title, const std::string& extension) {
    ui::FileDialogOptions dialog;
    dialog.title = title;
    dialog.filter = TextFileFilter(extension);
    dialog.overwritePrompt = true;
    dialog.createPrompt = true;
    return dialog;
}

ui::FileDialogOptions SaveDialogOf(const std::string& title, const std::string& extension, bool overwritePrompt) {
    ui::FileDialogOptions dialog;
    dialog.title = title;
    dialog.filter = TextFileFilter(extension);
    dialog.defaultExt = "." + extension;
    dialog.overwritePrompt = overwritePrompt;
    return dialog;
}

// Saves an edit's lines as plain text, whatever its mode was, and puts the mode back.
void SaveAsPlainText(ui::TRichEdit& edit, const std::string& path) {
    struct PlainWriting {
        ui::TRichEdit& edit;
        bool was;
        ~PlainWriting() { edit.SetPlainText(was); }
    } writing{edit, edit.PlainText()};
    edit.SetPlainText(true);
    edit.SaveToFile(path);
}

// Runs a save dialog that opens with an empty name; keeps the chosen name.
std::optional<std::string> AskSaveName(ui::FileDialogOptions& dialog) {
    dialog.fileName.clear();
    std::optional<std::string> name = ui::Dialogs().SaveFile(dialog);
    if (name)
        dialog.fileName = *name;
    return name;
}

// Runs an open dialog (its name stays from the last use) and loads the chosen file into edit.
void LoadThroughDialog(ui::FileDialogOptions& dialog, ui::TRichEdit& edit) {
    const std::optional<std::string> name = ui::OpenFileDialog(dialog);
    if (!name)
        return;
    dialog.fileName = *name;
    edit.LoadFromFile(*name);
}

// Column 0 of the given line; past the last line, the end.
void CaretToLine(ui::TRichEdit& edit, int line) {
    ui::OnGui([&] {
        QPlainTextEdit* editor = edit.Editor();
        const QTextBlock block = editor->document()->findBlockByNumber(line);
        QTextCursor cursor(editor->document());
        if (block.isValid())
            cursor.setPosition(block.position());
        else
            cursor.movePosition(QTextCursor::End);
        editor->setTextCursor(cursor);
    });
}

ui::TRichEdit* MakeBuffer(ui::TForm& form, ui::TGroupBox& box) {
    auto* edit = form.Make<ui::TRichEdit>(box.Widget());
    auto* layout = new QVBoxLayout(box.Widget());
    layout->addWidget(edit->Widget());
    return edit;
}

}  // namespace

TInstrumentSettingForm::TInstrumentSettingForm() : ui::TForm("Instrument Settings", 726, 388), Interpreter(*this) {
    SetKeepOnTop(true);
    BuildControls();
    BuildDialogs();
    ConnectHandlers();
}

void TInstrumentSettingForm::BuildControls() {
    auto* outer = new QVBoxLayout(Client());
    outer->setContentsMargins(0, 0, 0, 0);
    Panel1 = Make<ui::TPanel>(Client());
    outer->addWidget(Panel1->Widget(), 1);
    BuildHiddenBuffers(Panel1->Widget());
    BuildProgressGroups(Panel1->Widget());
    BuildSettingsView(Panel1->Widget());
    StatusBar1 =
        Make<ui::TStatusBar>(Client(), std::vector<std::pair<std::string, int>>{{"Action:", 150}, {"Filename:", 0}});
    outer->addWidget(StatusBar1->Widget());
}

// The query and restore buffers are line lists that the operator never sees.
void TInstrumentSettingForm::BuildHiddenBuffers(QWidget* parent) {
    gbInstrumentQuery = Make<ui::TGroupBox>(parent, "INSTRUMENT QUERY");
    reInstrumentQueryFile = MakeBuffer(*this, *gbInstrumentQuery);
    gbInstrumentQuery->SetVisible(false);
    gbInstrumentRestore = Make<ui::TGroupBox>(parent, "INSTRUMENT RESTORE");
    reInstrumentRestoreFile = MakeBuffer(*this, *gbInstrumentRestore);
    gbInstrumentRestore->SetVisible(false);
}

// The buttons at the left, each beside its progress group; the settings view below them.
void TInstrumentSettingForm::BuildProgressGroups(QWidget* parent) {
    auto* grid = new QGridLayout(parent);
    GroupBox1 = Make<ui::TGroupBox>(parent, "DOWNLOAD PROGRESS ");
    lblDownloadProgress = Make<ui::TLabel>(GroupBox1->Widget(), "0% Complete");
    pbDownloadProgress = Make<ui::TProgressBar>(GroupBox1->Widget());
    GroupBox3 = Make<ui::TGroupBox>(parent, "UPLOAD PROGRESS ");
    lblUploadProgress = Make<ui::TLabel>(GroupBox3->Widget(), "0% Complete");
    pbUploadProgress = Make<ui::TProgressBar>(GroupBox3->Widget());
    for (auto [box, bar, label] : {std::tuple{GroupBox1, pbDownloadProgress, lblDownloadProgress},
                                   std::tuple{GroupBox3, pbUploadProgress, lblUploadProgress}}) {
        auto* row = new QHBoxLayout(box->Widget());
        row->addWidget(bar->Widget(), 1);
        row->addWidget(label->Widget());
        label->Widget()->setMinimumWidth(100);
        static_cast<QProgressBar*>(bar->Widget())->setTextVisible(false);  // the label shows the percentage
    }
    cmdDownload = Make<ui::TButton>(parent, "Download");
    cmdUpload = Make<ui::TButton>(parent, "Upload");
    grid->addWidget(cmdDownload->Widget(), 0, 0);
    grid->addWidget(GroupBox1->Widget(), 0, 1);
    grid->addWidget(cmdUpload->Widget(), 1, 0);
    grid->addWidget(GroupBox3->Widget(), 1, 1);
    grid->setColumnStretch(1, 1);
}

void TInstrumentSettingForm::BuildSettingsView(QWidget* parent) {
    GroupBox2 = Make<ui::TGroupBox>(parent, "INSTRUMENT PARAMETERS");
    reInstrumentSettingFile = MakeBuffer(*this, *GroupBox2);
    reInstrumentSettingFile->SetWordWrap(false);
    static_cast<QGridLayout*>(parent->layout())->addWidget(GroupBox2->Widget(), 2, 0, 1, 2);
    static_cast<QGridLayout*>(parent->layout())->setRowStretch(2, 1);

    PopupMenuInstrumentSettings = Make<ui::TPopupMenu>(Window());
    Print1 = PopupMenuInstrumentSettings->Add("Print");
    SavetoFile1 = PopupMenuInstrumentSettings->Add("Save to File");
    reInstrumentSettingFile->SetPopupMenu(PopupMenuInstrumentSettings);
}

void TInstrumentSettingForm::BuildDialogs() {
    OpenDialogInstrumentQueryFile = OpenDialogOf("Open Insturment Settings Query File", "iqf");
    SaveDialogInstrumentRestoreFile = SaveDialogOf("Save Instrument Restore File", "irf", true);
    OpenDialogInstrumentRestoreFile = OpenDialogOf("Open Instrument Restore Settings File", "irf");
    SaveDialogInstrumentSettingsFile = SaveDialogOf("Save Instrument Settings File", "csv", false);
}

void TInstrumentSettingForm::ConnectHandlers() {
    OnShow = [this] { FormShow(); };
    cmdDownload->OnClick = [this] { cmdDownloadClick(); };
    cmdUpload->OnClick = [this] { cmdUploadClick(); };
    Print1->OnClick = [this] { Print1Click(); };
    SavetoFile1->OnClick = [this] { SavetoFile1Click(); };
}

// Every showing starts afresh with the port the main window holds now.
void TInstrumentSettingForm::FormShow() {
    SerialPort = TalvaneForm != nullptr ? TalvaneForm->SerialPort : nullptr;
    exchange_.SetPort(SerialPort);
    for (ui::TRichEdit* buffer : {reInstrumentQueryFile, reInstrumentRestoreFile}) {
        buffer->SetEnabled(true);
        buffer->SetVisible(true);
    }
    reInstrumentQueryFile->Clear();
    reInstrumentRestoreFile->Clear();
    reInstrumentSettingFile->Clear();
    reInstrumentSettingFile->SetPlainText(false);
    ResetProgress("%");
    StatusBar1->SetPanelText(0, "Action:");
    StatusBar1->SetPanelText(1, "Filename:");
    if (TalvaneForm != nullptr)
        CentreOn(*TalvaneForm);
}

void TInstrumentSettingForm::ResetProgress(const std::string& suffix) {
    for (auto [bar, label] : {std::pair{pbDownloadProgress, lblDownloadProgress},
                              std::pair{pbUploadProgress, lblUploadProgress}}) {
        bar->SetPosition(bar->Min());
        label->SetCaption(std::to_string(bar->Position()) + suffix);
    }
}

void TInstrumentSettingForm::StepBar(ui::TProgressBar& bar, ui::TLabel& label) {
    bar.SetPosition(std::min(bar.Position() + 1, bar.Max()));
    label.SetCaption(std::to_string(bar.Position()) + "% Complete");
}

void TInstrumentSettingForm::FillBar(ui::TProgressBar& bar, ui::TLabel& label) {
    bar.SetPosition(bar.Max());
    label.SetCaption(std::to_string(bar.Position()) + "% Complete");
}

void TInstrumentSettingForm::MoveCarets(int line) {
    for (ui::TRichEdit* edit : {reInstrumentQueryFile, reInstrumentRestoreFile, reInstrumentSettingFile})
        CaretToLine(*edit, line);
}

void TInstrumentSettingForm::MoveSettingsCaret(int line) { CaretToLine(*reInstrumentSettingFile, line); }

void TInstrumentSettingForm::Refresh() { Window()->repaint(); }

void TInstrumentSettingForm::LoadQueryFile() { LoadThroughDialog(OpenDialogInstrumentQueryFile, *reInstrumentQueryFile); }

void TInstrumentSettingForm::LoadRestoreFile() {
    LoadThroughDialog(OpenDialogInstrumentRestoreFile, *reInstrumentRestoreFile);
}

void TInstrumentSettingForm::SaveRestoreFile() {
    if (const auto name = AskSaveName(SaveDialogInstrumentRestoreFile))
        SaveAsPlainText(*reInstrumentRestoreFile, *name);
}

void TInstrumentSettingForm::SavetoFile1Click() {
    if (const auto name = AskSaveName(SaveDialogInstrumentSettingsFile))
        SaveAsPlainText(*reInstrumentSettingFile, *name);
}

void TInstrumentSettingForm::Print1Click() { reInstrumentSettingFile->Print(kPrintTitle); }
