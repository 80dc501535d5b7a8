#pragma once
// Message boxes, file dialogs, modal forms and the exception box go through one interface, so that
// tests queue the operator's answers and read what was shown.
#include <memory>
#include <optional>
#include <string>

class QFileDialog;

namespace ui {

class TForm;

enum class MsgIcon { Warning, Error, Information, Confirmation };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };

// Modal results, with the class library's values.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7 };

struct FileDialogOptions {
    std::string title;
    std::string filter;       // "Text File (*.txt)|*.txt|All Files (*.*)|*.*"
    std::string defaultExt;   // ".txt"; added when the chosen name has no extension
    std::string fileName;     // the name the dialog opens with
    bool overwritePrompt = false;
    bool createPrompt = false;
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    virtual int MessageBox(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons) = 0;
    // The chosen file's name, or nothing when the operator cancelled.
    virtual std::optional<std::string> OpenFile(const FileDialogOptions& options) = 0;
    virtual std::optional<std::string> SaveFile(const FileDialogOptions& options) = 0;
    // Runs a modal form until it has a modal result; returns that result.
    virtual int RunModal(TForm& form) = 0;
    virtual void ShowException(const std::string& message) = 0;
};

// Runs an open dialog. With createPrompt, a chosen file that does not exist is given back only when
// the operator answers Yes to creating it; No opens the dialog again.
std::optional<std::string> OpenFileDialog(const FileDialogOptions& options);

// The Qt file dialog for these options: the title ("Open" or "Save As" when none is given), each
// filter shown with its description exactly as written, the extension and overwrite rules.
std::unique_ptr<QFileDialog> MakeFileDialog(const FileDialogOptions& options, bool open);

// The dialogs in force: the Qt ones unless a test installed its own. Once the program is ending, the
// Qt ones open nothing and answer as their window's close would (Cancel, or OK for a box with OK
// alone; no file), and the exception box goes to standard error.
IDialogs& Dialogs();
// Installs dialogs (a test's fake); nullptr restores the Qt ones. The caller keeps ownership.
void SetDialogs(IDialogs* dialogs);

// Closes every pop-up menu, box, file dialog and modal form that is open, as its window's close
// would (a box that its close cannot end is rejected), so that the loops they run return.
void CloseOpenDialogs();

// The application's exception box, reached from wherever an event enters the program.
void ShowExceptionBox(const std::string& message);
// The same box, shown from the event loop once the current work is over: for failures met while the
// port is held, so that no modal box (and the event loop it runs) opens meanwhile.
void ShowExceptionBoxLater(const std::string& message);

}  // namespace ui
