#pragma once
// The real program with its port on a fake instrument, for the laser-system panels: every command a
// panel sends goes through the main window's door to the fake, which records it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QTest>

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/Folders.h"
#include "support/FakeInstrument.h"
#include "support/TalvaneApp.h"
#include "terminal/commcyclethread.h"
#include "ui/ComboBox.h"
#include "ui/Edit.h"
#include "ui/Form.h"

namespace paneltest {

using Commands = std::vector<std::string>;

// The operator empties an edit and types text into it (the edit takes the focus first).
inline void Type(ui::TEdit& edit, const std::string& text) {
    edit.SetFocus();
    edit.SetText("");
    QTest::keyClicks(edit.Widget(), QString::fromStdString(text));
}

inline void Enter(ui::TEdit& edit) { QTest::keyClick(edit.Widget(), Qt::Key_Return); }

// The operator picks an item of a drop-down list.
inline void Pick(ui::TComboBox& list, int index) {
    list.Combo()->setCurrentIndex(index);
    emit list.Combo()->activated(index);
}

class PanelFixture : public ::testing::Test {
protected:
    static constexpr const char* kPort = "COM97";

    PanelFixture() {
        testsupport::TalvaneApp::WriteConfigForPort(kPort);
        std::filesystem::remove(PexmarFile());
        instrument.ReplyWith([replies = replies_](const std::string& command) -> std::optional<std::string> {
            const std::lock_guard<std::mutex> lock(replies->mutex);
            const auto found = replies->byCommand.find(command);
            if (found == replies->byCommand.end())
                return std::nullopt;
            return found->second;
        });
    }

    void SetUp() override {
        app.Start();
        if (CommCycleThread == nullptr) {
            const int index = TTalvaneForm::FindComboText(*Main().cboTalvane, kPort);
            ASSERT_GE(index, 0) << "the scan did not find the fake instrument";
            Main().cboTalvane->SetItemIndex(index);
            Main().cboTalvaneSelect();
        }
        Main().Terminator = "\r\n";
        instrument.ClearReceived();
    }

    void TearDown() override {
        Main().cmdStopCycleClick();
        Main().StopAndWaitWorker();
    }

    // From now on the instrument answers command with reply (a later call replaces it).
    void Reply(const std::string& command, const std::string& reply) {
        const std::lock_guard<std::mutex> lock(replies_->mutex);
        replies_->byCommand[command] = reply;
    }

    TTalvaneForm& Main() { return app.Main(); }
    Commands Sent() const { return instrument.Commands(); }

    // Opens a panel from its menu as the operator's window, and forgets what the opening sent.
    void OpenAsOperator(void (TTalvaneForm::*menuClick)(), ui::TForm& panel) {
        (Main().*menuClick)();
        Activate(panel);
        instrument.ClearReceived();
    }

    // Shows a panel as the operator's window, so that focus moves within it.
    static void Activate(ui::TForm& panel) {
        panel.Show();
        QApplication::setActiveWindow(panel.Window());
        testsupport::TalvaneApp::ProcessEvents();
    }

    static std::filesystem::path PexmarFile() { return platform::DrennickFolder() / "Pexmar Config.txt"; }

    std::vector<std::string> Exceptions() const { return app.dialogs.Exceptions(); }

private:
    struct Replies {
        std::mutex mutex;
        std::map<std::string, std::string> byCommand;
    };
    std::shared_ptr<Replies> replies_ = std::make_shared<Replies>();

protected:
    testsupport::FakeInstrument instrument{kPort};
    testsupport::TalvaneApp app;
};

}  // namespace paneltest
