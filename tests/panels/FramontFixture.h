#pragma once
// The whole program with a fake Framont controller on COM97 and the Framont panel at hand.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QSlider>
#include <algorithm>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "panels/FramontPanelFile.h"
#include "panels/Framontcontrol.h"
#include "support/FakeInstrument.h"
#include "support/TalvaneApp.h"

namespace framonttest {

using Commands = std::vector<std::string>;

inline std::string ReadPanelFile() {
    std::ifstream in(panels::FramontConfigFilePath(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WritePanelFile(const std::string& text) {
    std::ofstream(panels::FramontConfigFilePath(), std::ios::binary) << text;
}

class FramontPanel : public ::testing::Test {
protected:
    FramontPanel() {
        std::filesystem::remove(panels::FramontConfigFilePath());
        testsupport::TalvaneApp::WriteConfigForPort(instrument.ComName());
    }

    void SetUp() override {
        instrument.ReplyWith([this](const std::string& command) -> std::optional<std::string> {
            std::lock_guard lock(mutex_);
            const auto found = replies_.find(command);
            if (found == replies_.end())
                return std::nullopt;
            return found->second + "\r\n";
        });
        // Recorded before the reply goes out, so a command is on the list once its exchange is over.
        instrument.OnCommand([this](const std::string& command, const std::optional<std::string>&) {
            std::lock_guard lock(mutex_);
            sent_.push_back(command);
        });
        app.Start();
        Clear();
    }

    // The controller answers query with text (its CR LF added).
    void Reply(const std::string& query, const std::string& text) {
        std::lock_guard lock(mutex_);
        replies_[query] = text;
    }

    Commands Sent() const {
        std::lock_guard lock(mutex_);
        return sent_;
    }

    // The commands sent that begin with prefix, in order.
    Commands SentStartingWith(const std::string& prefix) const {
        Commands matching;
        for (const std::string& command : Sent())
            if (command.rfind(prefix, 0) == 0)
                matching.push_back(command);
        return matching;
    }

    void Clear() {
        std::lock_guard lock(mutex_);
        sent_.clear();
    }

    // Opens the panel from the main window's menu as the operator's window (so that the focus moves
    // within it), then forgets what its showing sent.
    void Open() {
        app.Main().GRNIRControl1Click();
        QApplication::setActiveWindow(panel().Window());
        testsupport::TalvaneApp::ProcessEvents();
        Clear();
        app.dialogs.ClearRecords();
    }

    void Close() { panel().Close(); }

    static TFramontControlForm& panel() { return *FramontControlForm; }

    // The operator types text into an edit over its whole text, each key pressed and released.
    static void SelectAllAndType(ui::TEdit& edit, const std::string& text) {
        edit.SetFocus();
        edit.SelectAll();
        QTest::keyClicks(edit.Widget(), QString::fromLatin1(text.c_str()));
    }
    static void PressEnter(ui::TEdit& edit) { QTest::keyClick(edit.Widget(), Qt::Key_Return); }

    // A click on a check box's or radio button's indicator.
    static void ClickToggle(ui::TToggle& toggle) {
        QTest::mouseClick(toggle.Widget(), Qt::LeftButton, {}, QPoint(8, toggle.Widget()->height() / 2));
    }

    // The operator picks an item of a drop-down list.
    static void Pick(ui::TComboBox& list, int index) {
        list.Combo()->setCurrentIndex(index);
        emit list.Combo()->activated(index);
    }

    // A drag of the trackbar's handle through positions, one notification each, then the release.
    static void Drag(ui::TTrackBar& bar, std::initializer_list<int> positions) {
        QSlider* slider = bar.Slider();
        slider->setSliderDown(true);
        for (int position : positions)
            slider->setValue(position);
        slider->setSliderDown(false);
    }

private:
    // Declared before the fake and the program, so that the fake's rules find them until its thread
    // has ended: the program's teardown may still send (a status poll that falls due, the closing).
    mutable std::mutex mutex_;
    std::map<std::string, std::string> replies_;
    Commands sent_;

protected:
    testsupport::FakeInstrument instrument{"COM97"};
    testsupport::TalvaneApp app;
};

}  // namespace framonttest
