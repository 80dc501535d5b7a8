#include "support/DialogFake.h"

#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

namespace testsupport {

DialogFake::DialogFake() { ui::SetDialogs(this); }

DialogFake::~DialogFake() { ui::SetDialogs(nullptr); }

void DialogFake::QueueMessageAnswer(int modalResult) {
    std::lock_guard lock(mutex_);
    messageAnswers_.push_back(modalResult);
}

void DialogFake::QueueFileName(std::optional<std::string> fileName) {
    std::lock_guard lock(mutex_);
    fileNames_.push_back(std::move(fileName));
}

void DialogFake::QueueModal(std::function<void(ui::TForm&)> script) {
    std::lock_guard lock(mutex_);
    modalScripts_.push_back(std::move(script));
}

std::vector<ShownMessage> DialogFake::Messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
}

std::vector<std::string> DialogFake::Exceptions() const {
    std::lock_guard lock(mutex_);
    return exceptions_;
}

std::vector<ui::FileDialogOptions> DialogFake::FileDialogs() const {
    std::lock_guard lock(mutex_);
    return fileDialogs_;
}

int DialogFake::CountMessages(const std::string& text) const {
    std::lock_guard lock(mutex_);
    int count = 0;
    for (const auto& message : messages_)
        count += message.text == text ? 1 : 0;
    return count;
}

void DialogFake::ClearRecords() {
    std::lock_guard lock(mutex_);
    messages_.clear();
    exceptions_.clear();
    fileDialogs_.clear();
}

void DialogFake::OpenRealBox(const std::string& text) const {
    if (!realBoxes_)
        return;
    QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromStdString(text), QMessageBox::Ok,
                    QApplication::activeWindow());
    QTimer answer;
    int waited = 0;
    QObject::connect(&answer, &QTimer::timeout, &box, [&] {
        if (box.isActiveWindow() || ++waited > 2000)
            box.accept();
    });
    answer.start(1);
    box.exec();
}

int DialogFake::MessageBox(const std::string& text, const std::string& caption, ui::MsgIcon icon, ui::MsgButtons) {
    OpenRealBox(text);
    std::lock_guard lock(mutex_);
    messages_.push_back({text, caption, icon});
    if (messageAnswers_.empty())
        return ui::mrOk;
    const int answer = messageAnswers_.front();
    messageAnswers_.pop_front();
    return answer;
}

std::optional<std::string> DialogFake::NextFileName(const ui::FileDialogOptions& options) {
    std::lock_guard lock(mutex_);
    fileDialogs_.push_back(options);
    if (fileNames_.empty())
        return std::nullopt;
    auto name = fileNames_.front();
    fileNames_.pop_front();
    return name;
}

std::optional<std::string> DialogFake::OpenFile(const ui::FileDialogOptions& options) { return NextFileName(options); }

std::optional<std::string> DialogFake::SaveFile(const ui::FileDialogOptions& options) { return NextFileName(options); }

int DialogFake::RunModal(ui::TForm& form) {
    std::function<void(ui::TForm&)> script;
    {
        std::lock_guard lock(mutex_);
        if (!modalScripts_.empty()) {
            script = std::move(modalScripts_.front());
            modalScripts_.pop_front();
        }
    }
    // The form takes the focus as the window system gives it to a modal window, and hands it back.
    QPointer<QWidget> previous = QApplication::activeWindow();
    form.Show();
    QApplication::setActiveWindow(form.Window());
    if (script)
        script(form);
    if (form.Visible())
        form.Close();
    // A close that the form refused leaves it up; a real operator would go on, the fake gives up.
    if (form.Visible())
        form.Hide();
    if (previous)
        QApplication::setActiveWindow(previous);
    return form.ModalResult();
}

void DialogFake::ShowException(const std::string& message) {
    OpenRealBox(message);
    std::lock_guard lock(mutex_);
    exceptions_.push_back(message);
}

}  // namespace testsupport
