#pragma once
// The whole program in a test: the ten forms created in start-up order, the operator's dialogs
// answered by a DialogFake, and (optionally) a configuration file written before the start.
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/Folders.h"
#include "support/DialogFake.h"
#include "terminal/ConfigFile.h"
#include "terminal/Forms.h"
#include "terminal/Main.h"
#include "ui/Application.h"

namespace testsupport {

class TalvaneApp {
public:
    // Creates the forms; nothing is shown yet. Call Start() to run the first showing.
    TalvaneApp() {
        platform::CreateInstallFolders();
        ui::Application::Reset();
        ui::Application::SetTitle("Orvel Talvane");
        CreateForms();
    }
    ~TalvaneApp() {
        if (TalvaneForm != nullptr && TalvaneForm->SerialPort != nullptr && !ui::Application::Terminated())
            TalvaneForm->Close();
        ProcessEvents();
        DestroyForms();
    }
    TalvaneApp(const TalvaneApp&) = delete;
    TalvaneApp& operator=(const TalvaneApp&) = delete;

    // Writes "Talvane Config.txt" with the defaults, changed by edit (e.g. the port name).
    static void WriteConfig(const std::function<void(terminal::ConfigValues&)>& edit) {
        terminal::ConfigValues values = terminal::DefaultConfigValues();
        edit(values);
        platform::CreateInstallFolders();
        std::ofstream(ConfigFilePath(), std::ios::binary) << terminal::FormatConfigText(values);
    }
    static void WriteConfigForPort(const std::string& comName) {
        WriteConfig([&](terminal::ConfigValues& v) { v.PortName = comName; });
    }

    // Shows the main window: its first showing scans the ports, loads the configuration and selects
    // the configured port.
    void Start() {
        TalvaneForm->Show();
        ProcessEvents();
    }

    TTalvaneForm& Main() { return *TalvaneForm; }

    // Lets queued events (hand-overs from the worker, timers due) run for about ms milliseconds.
    static void ProcessEvents(int ms = 0) {
        QElapsedTimer timer;
        timer.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        } while (timer.elapsed() < ms);
    }

    // Processes events until done() holds or about timeoutMs passed; returns done(). The bound only
    // ends a wait that failed: it is generous for a loaded machine and a sanitizer build.
    static bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 30000) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return done();
    }

    // Types text into the command line and sends it with Enter, as the operator does.
    void Send(const std::string& text) {
        Main().eSendCommand->SetText(text);
        char key = 13;
        Main().eSendCommandKeyPress(key);
    }

    DialogFake dialogs;
};

}  // namespace testsupport
