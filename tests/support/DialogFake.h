#pragma once
// Stands in for the operator at every dialog: records what was shown and gives the queued answers.
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/Dialogs.h"
#include "ui/Form.h"

namespace testsupport {

struct ShownMessage {
    std::string text;
    std::string caption;
    ui::MsgIcon icon;
};

class DialogFake : public ui::IDialogs {
public:
    DialogFake();   // installs itself
    ~DialogFake() override;  // restores the real dialogs

    // Answers, used in order; without one a message box answers OK, a file dialog cancels, and a
    // modal form closes with Cancel.
    void QueueMessageAnswer(int modalResult);
    void QueueFileName(std::optional<std::string> fileName);
    // Runs inside the modal showing of the next modal form (after it is shown); may click its buttons.
    void QueueModal(std::function<void(ui::TForm&)> script);

    // From now on each message box and exception box also opens as a real modal box over the active
    // window, which takes the focus from it as the operator's box does, and is answered once active.
    void OpenRealBoxes() { realBoxes_ = true; }

    std::vector<ShownMessage> Messages() const;
    std::vector<std::string> Exceptions() const;
    std::vector<ui::FileDialogOptions> FileDialogs() const;
    int CountMessages(const std::string& text) const;
    void ClearRecords();

    int MessageBox(const std::string& text, const std::string& caption, ui::MsgIcon icon,
                   ui::MsgButtons buttons) override;
    std::optional<std::string> OpenFile(const ui::FileDialogOptions& options) override;
    std::optional<std::string> SaveFile(const ui::FileDialogOptions& options) override;
    int RunModal(ui::TForm& form) override;
    void ShowException(const std::string& message) override;

private:
    std::optional<std::string> NextFileName(const ui::FileDialogOptions& options);
    void OpenRealBox(const std::string& text) const;

    mutable std::mutex mutex_;
    std::deque<int> messageAnswers_;
    std::deque<std::optional<std::string>> fileNames_;
    std::deque<std::function<void(ui::TForm&)>> modalScripts_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> exceptions_;
    std::vector<ui::FileDialogOptions> fileDialogs_;
    bool realBoxes_ = false;
};

}  // namespace testsupport
