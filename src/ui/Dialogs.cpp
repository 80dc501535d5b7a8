#include "ui/Dialogs.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include <atomic>
#include <cstdio>
#include <filesystem>

#include "ui/Application.h"
#include "ui/Control.h"
#include "ui/Form.h"
#include "ui/GuiThread.h"
#include "ui/ModalStacking.h"

namespace ui {
namespace {

// "Text File (*.txt)|*.txt|All Files (*.*)|*.*" becomes "Text File (*.txt) (*.txt);;All Files (*.*) (*)":
// Qt takes the patterns from the last parentheses, and the dialog shows only what precedes them, so
// each description appears as written. "*.*" means every file, also one without a dot.
QString QtFilter(const std::string& filter) {
    const QStringList parts = ToQt(filter).split('|');
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = QString(parts[i + 1]).split(';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            pattern = pattern.trimmed() == "*.*" ? QStringLiteral("*") : pattern.trimmed();
        entries << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return entries.join(";;");
}

int ExecAboveStayOnTopWindows(QDialog& dialog) {
    const ModalStacking stacking(dialog);
    if (stacking.ShowOnTop())
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    return dialog.exec();
}

class QtDialogs : public IDialogs {
public:
    int MessageBox(const std::string& text, const std::string& caption, MsgIcon icon, MsgButtons buttons) override {
        if (Application::ProgramIsEnding())
            return buttons == MsgButtons::Ok ? mrOk : mrCancel;
        QMessageBox box(IconOf(icon), ToQt(caption), ToQt(text), ButtonsOf(buttons), TForm::DialogOwner());
        switch (ExecAboveStayOnTopWindows(box)) {
            case QMessageBox::Ok: return mrOk;
            case QMessageBox::Cancel: return mrCancel;
            case QMessageBox::Yes: return mrYes;
            case QMessageBox::No: return mrNo;
            default: return mrCancel;
        }
    }

    std::optional<std::string> OpenFile(const FileDialogOptions& options) override {
        return RunFileDialog(options, QFileDialog::AcceptOpen);
    }

    std::optional<std::string> SaveFile(const FileDialogOptions& options) override {
        return RunFileDialog(options, QFileDialog::AcceptSave);
    }

    int RunModal(TForm& form) override {
        if (Application::ProgramIsEnding())
            return mrCancel;
        QEventLoop loop;
        form.SetModalEndHandler([&loop] { loop.quit(); });
        form.Show();
        if (form.Visible())
            loop.exec(QEventLoop::DialogExec);
        form.SetModalEndHandler(nullptr);
        return form.ModalResult();
    }

    void ShowException(const std::string& message) override {
        if (Application::ProgramIsEnding()) {
            std::fprintf(stderr, "%s: %s\n", Application::Title().c_str(), message.c_str());
            return;
        }
        QMessageBox box(QMessageBox::Critical, ToQt(Application::Title()), ToQt(message), QMessageBox::Ok,
                        TForm::DialogOwner());
        ExecAboveStayOnTopWindows(box);
    }

private:
    static QMessageBox::Icon IconOf(MsgIcon icon) {
        switch (icon) {
            case MsgIcon::Warning: return QMessageBox::Warning;
            case MsgIcon::Error: return QMessageBox::Critical;
            case MsgIcon::Information: return QMessageBox::Information;
            case MsgIcon::Confirmation: return QMessageBox::Question;
        }
        return QMessageBox::NoIcon;
    }

    static QMessageBox::StandardButtons ButtonsOf(MsgButtons buttons) {
        switch (buttons) {
            case MsgButtons::Ok: return QMessageBox::Ok;
            case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
            case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
            case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        }
        return QMessageBox::Ok;
    }

    static std::optional<std::string> RunFileDialog(const FileDialogOptions& options, QFileDialog::AcceptMode mode) {
        if (Application::ProgramIsEnding())
            return std::nullopt;
        const std::unique_ptr<QFileDialog> dialog = MakeFileDialog(options, mode == QFileDialog::AcceptOpen);
        if (ExecAboveStayOnTopWindows(*dialog) != QDialog::Accepted || dialog->selectedFiles().isEmpty())
            return std::nullopt;
        return FromQt(dialog->selectedFiles().first());
    }
};

QtDialogs& QtInstance() {
    static QtDialogs dialogs;
    return dialogs;
}

std::atomic<IDialogs*> g_installed{nullptr};

}  // namespace

std::unique_ptr<QFileDialog> MakeFileDialog(const FileDialogOptions& options, bool open) {
    const std::string title = !options.title.empty() ? options.title : open ? "Open" : "Save As";
    auto dialog = std::make_unique<QFileDialog>(TForm::DialogOwner(), ToQt(title), QString(), QtFilter(options.filter));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog->setFileMode(open && !options.createPrompt ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!options.defaultExt.empty())
        dialog->setDefaultSuffix(ToQt(options.defaultExt).remove(0, options.defaultExt[0] == '.' ? 1 : 0));
    if (!options.overwritePrompt)
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    if (!options.fileName.empty())
        dialog->selectFile(ToQt(options.fileName));
    return dialog;
}

std::optional<std::string> OpenFileDialog(const FileDialogOptions& options) {
    for (;;) {
        std::optional<std::string> name = Dialogs().OpenFile(options);
        std::error_code error;
        if (!name || !options.createPrompt || std::filesystem::exists(*name, error))
            return name;
        const std::string caption = options.title.empty() ? "Open" : options.title;
        if (Dialogs().MessageBox(*name + "\r\nThis file does not exist.\r\nDo you want to create it?", caption,
                                 MsgIcon::Confirmation, MsgButtons::YesNo) == mrYes)
            return name;
    }
}

void CloseOpenDialogs() {
    for (int popups = 0; QApplication::activePopupWidget() != nullptr && popups < 16; ++popups)
        QApplication::activePopupWidget()->close();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible() || !window->isModal() || window->close())
            continue;
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
    }
}

IDialogs& Dialogs() {
    IDialogs* installed = g_installed.load();
    return installed != nullptr ? *installed : QtInstance();
}

void SetDialogs(IDialogs* dialogs) { g_installed.store(dialogs); }

void ShowExceptionBox(const std::string& message) {
    OnGui([&] { Dialogs().ShowException(message); });
}

void ShowExceptionBoxLater(const std::string& message) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), [message] { ShowExceptionBox(message); },
                              Qt::QueuedConnection);
}

}  // namespace ui
