// The program's ends that do not come from its windows: a signal (logout, shutdown, a closed terminal,
// Ctrl+C) and a lost display. Each case runs the program as a child process of its own, which the
// test signals or whose X server it kills: this test binary started again on the one case, with the
// program's own start-up and message loop (the program itself takes no input without a display).
#include <gtest/gtest.h>

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QPointer>
#include <QTimer>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "panels/FramontPanelFile.h"
#include "panels/Framontcontrol.h"
#include "panels/Ondrelcontrol.h"
#include "panels/PanelCommand.h"
#include "panels/PexmarCommands.h"
#include "panels/Pexmarcontrol.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "platform/SerialDevice.h"
#include "platform/TextConvert.h"
#include "serial/CommSettings.h"
#include "support/FakeInstrument.h"
#include "support/ThreadCapabilities.h"
#include "support/TalvaneApp.h"
#include "terminal/Forms.h"
#include "settings_transfer/Instrumentsetting.h"
#include "terminal/Main.h"
#include "ui/Application.h"
#include "ui/GuiThread.h"

extern char** environ;

using testsupport::FakeInstrument;
using testsupport::TalvaneApp;

namespace {

constexpr const char* kPort = "COM96";
// Set in a child's environment to the data folder it shares with its test.
constexpr const char* kChildVariable = "TALVANE_ENDING_CHILD";
constexpr const char* kCommand = "ending probe";
constexpr const char* kBoxesFile = "boxes shown.txt";  // in the shared data folder
// Set in a child's environment to the case it runs, where a test runs several.
constexpr const char* kCaseVariable = "TALVANE_ENDING_CASE";
// Sent through the door just before the sequence a test ends.
constexpr const char* kSequenceMark = "sequence starts";
const std::vector<std::string> kPexmarStops{"!GATE ACTIV=0", "!SHUTTER=0"};
const std::vector<std::string> kFramontStops{";LC:FL 0"};

std::string ChildCase() { return std::getenv(kCaseVariable) != nullptr ? std::getenv(kCaseVariable) : ""; }

bool InChild() { return std::getenv(kChildVariable) != nullptr; }

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string CurrentTestFilter() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
}

// Starts program with args and the environment of this process changed by overrides; -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, const std::map<std::string, std::string>& overrides,
            const posix_spawn_file_actions_t* actions = nullptr) {
    std::vector<std::string> env;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        if (!overrides.contains(text.substr(0, text.find('='))))
            env.push_back(text);
    }
    for (const auto& [name, value] : overrides)
        env.push_back(name + "=" + value);
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : env)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, args[0].c_str(), actions, nullptr, argv.data(), envp.data()) != 0)
        return -1;
    return pid;
}

// Waits for the process to end; its wait status, or nothing when it is still alive after a bound that
// only ends a wait for a process that hangs (it is then killed). Called at the signal or once the
// display is gone: the program ends within the second the README promises (unless the test itself
// holds the ending up), and says how long it took.
std::optional<int> AwaitEnd(pid_t pid, bool withinASecond = true) {
    const auto start = std::chrono::steady_clock::now();
    const auto giveUp = start + std::chrono::seconds(90);
    int status = 0;
    while (std::chrono::steady_clock::now() < giveUp) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
            std::printf("the program ended %lld ms after the signal or the display's loss\n",
                        static_cast<long long>(took.count()));
            if (withinASecond) {
                EXPECT_LT(took, std::chrono::seconds(1)) << "the program ended later than a second after the signal";
            }
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return std::nullopt;
}

// An X server of its own on a display number it chose itself.
class XServer {
public:
    XServer() {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        pid_ = Spawn({"/usr/bin/Xvfb", "-displayfd", "3", "-nolisten", "tcp", "-screen", "0", "1280x1024x24"}, {},
                     &actions);
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (pid_ > 0 && !number.empty())
            display_ = ":" + number;
    }
    ~XServer() { Kill(); }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& Display() const { return display_; }

    // It takes connections and answers none.
    void Freeze() { kill(pid_, SIGSTOP); }

    // The display server goes away, as a crashed one or a closed remote session (and cleans up its
    // lock file and socket).
    void Kill() {
        if (pid_ <= 0)
            return;
        kill(pid_, SIGCONT);
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// The test's own data folder, shared with its child; the fake instrument is linked in it and the
// configuration written beforehand selects that port.
class Ending : public ::testing::Test {
protected:
    void SetUp() override {
        if (InChild())
            return;
        dataHome_ = std::getenv("XDG_DATA_HOME");  // the test's own, made afresh for it
        instrument_.emplace(kPort);
        TalvaneApp::WriteConfigForPort(kPort);
    }

    void TearDown() override {
        if (InChild())
            return;
        instrument_.reset();
    }

    FakeInstrument& Instrument() { return *instrument_; }

    // With errorFile, the child's stderr goes there.
    pid_t StartChild(const std::map<std::string, std::string>& environment, const std::string& errorFile = "") {
        std::map<std::string, std::string> overrides = environment;
        overrides[kChildVariable] = dataHome_;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!errorFile.empty())
            posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const pid_t child = Spawn({"/proc/self/exe", CurrentTestFilter()}, overrides, &actions);
        posix_spawn_file_actions_destroy(&actions);
        return child;
    }

    bool CommandsArrive(std::size_t n) { return Instrument().WaitForCommands(n, std::chrono::seconds(60)); }

    // The command has come that many times.
    bool Arrives(const std::string& command, long times = 1) {
        for (std::size_t n = 1; CommandsArrive(n); ++n) {
            const std::vector<std::string> commands = Instrument().Commands();
            if (std::count(commands.begin(), commands.end(), command) >= times)
                return true;
        }
        return false;
    }
    // The cycle has sent its string a second time.
    bool CycleRuns() { return Arrives(kCommand, 2); }

    // The commands on the line so far, also those a slow instrument has not yet answered (and counted).
    std::size_t CommandsSent() const {
        const std::string received = instrument_->Received();
        std::size_t count = 0;
        for (std::size_t at = 0; (at = received.find("\r\n", at)) != std::string::npos; at += 2)
            ++count;
        return count;
    }

    // A slow instrument counts each command once it has answered it: first all it has received.
    std::vector<std::string> AnsweredSince(std::size_t before) const {
        for (int n = 0; n < 500 && instrument_->CommandCount() < CommandsSent(); ++n)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return CommandsSince(before);
    }

    std::vector<std::string> CommandsSince(std::size_t before) const {
        const std::vector<std::string> commands = instrument_->Commands();
        return {commands.begin() + static_cast<std::ptrdiff_t>(std::min(before, commands.size())), commands.end()};
    }

    // What came after the end began is at most the command then in flight, then the panels' stops.
    void ExpectOnlyTheStopsAfter(std::size_t before, const std::vector<std::string>& stops) const {
        const std::vector<std::string> after = AnsweredSince(before);
        ASSERT_GE(after.size(), stops.size()) << ::testing::PrintToString(after);
        EXPECT_LE(after.size(), stops.size() + 1) << ::testing::PrintToString(after);
        EXPECT_TRUE(std::equal(stops.rbegin(), stops.rend(), after.rbegin())) << ::testing::PrintToString(after);
    }

    std::string SavedConfig() const { return ReadFile(ConfigFilePath()); }
    static std::string PanelFile() { return ReadFile(platform::DrennickFolder() / "Pexmar Config.txt"); }
    static void RemovePanelFiles() {
        std::filesystem::remove(platform::DrennickFolder() / "Pexmar Config.txt");
        std::filesystem::remove(panels::FramontConfigFilePath());
    }
    // As the close saves it after the child's steps: the frequency they entered, the shutter closed.
    static void ExpectPanelFileAsTheCloseSavesIt() {
        const panels::pexmar::PanelFileReading file = panels::pexmar::ReadPanelFileText(PanelFile());
        ASSERT_TRUE(file.frequency && file.shutter) << PanelFile();
        EXPECT_EQ(file.frequency->word, "55.56");
        EXPECT_EQ(*file.shutter, 0);
    }

    // The child has shown a box with this caption.
    bool BoxShown(const std::string& caption) {
        for (std::size_t n = 0; n < 600; ++n, std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
            if (ReadFile(std::filesystem::path(dataHome_) / kBoxesFile).find(caption) != std::string::npos)
                return true;
        }
        return false;
    }

    // Ends the child with the signal; how many more commands came after it.
    std::size_t CommandsAfterEndSignal(pid_t child, bool exitsByClose = true, bool withinASecond = true) {
        const std::size_t before = Instrument().Commands().size();
        kill(child, SIGTERM);
        const std::optional<int> status = AwaitEnd(child, withinASecond);
        EXPECT_TRUE(status.has_value()) << "the program did not end";
        if (status && exitsByClose) {
            EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "ended by the signal, not by the close";
        }
        return Instrument().Commands().size() - before;
    }

    std::string dataHome_;
    std::optional<FakeInstrument> instrument_;
};

// The child's operator: cancels every file dialog, and notes the caption of each box or modal window.
void WatchBoxes() {
    auto* watch = new QTimer(QCoreApplication::instance());
    QObject::connect(watch, &QTimer::timeout, [] {
        static QPointer<QWidget> noted;
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<QFileDialog*>(modal))
            dialog->reject();
        else if (modal != nullptr && modal != noted) {
            noted = modal;
            std::ofstream(std::filesystem::path(std::getenv(kChildVariable)) / kBoxesFile, std::ios::app)
                << modal->windowTitle().toStdString() << "\n";
        }
    });
    watch->start(20);
}

// The child: the program's start-up as main() runs it, then its message loop, in which the operator's
// steps come first (so that the loop takes signals before the instrument sees a command).
void RunProgram(const std::function<void(TTalvaneForm&)>& operatorSteps) {
    std::filesystem::remove_all(std::getenv("XDG_DATA_HOME"));  // the folder made for this process
    setenv("XDG_DATA_HOME", std::getenv(kChildVariable), 1);
    WatchBoxes();
    ui::Application::CatchEndSignals();
    ui::Application::Start();
    platform::CreateInstallFolders();
    ui::Application::SetTitle("Orvel Talvane");
    CreateForms();
    TalvaneForm->Show();
    QTimer::singleShot(0, [operatorSteps] { operatorSteps(*TalvaneForm); });
    ui::Application::Run();
    DestroyForms();
}

// A download of 80 queries: the settings window shown, its query buffer filled, Download clicked (the
// open dialog is cancelled, so the buffer runs as it stands).
void StartDownload(TTalvaneForm& main) {
    QTimer::singleShot(0, [] {
        for (int i = 0; i < 80; ++i)
            InstrumentSettingForm->reInstrumentQueryFile->AddLine(
                platform::Concat({"L", std::to_string(i), ",Q", std::to_string(i), "?"}));
        InstrumentSettingForm->cmdDownloadClick();
    });
    main.DownloadSettings1Click();
}

void SendCommand(TTalvaneForm& main) {
    main.eSendCommand->SetText(kCommand);
    char key = 13;
    main.eSendCommandKeyPress(key);
}

// The Pexmar panel opened, a frequency entered and the laser fired: its close stops the laser (gate
// off, shutter closed) and saves the file with the frequency and the shutter closed.
void FirePexmar(TTalvaneForm& main) {
    main.PexmarSystem1Click();
    PexmarControlForm->leFrequency->SetText("55.56");
    char enter = 13;
    PexmarControlForm->leFrequencyKeyPress(enter);
    PexmarControlForm->sbFireClick();
}

// With the Pexmar and Ondrel panels firing, which the end must leave as their closes do.
void StartEndlessCycle(TTalvaneForm& main) {
    FirePexmar(main);
    OndrelControlForm->Show();
    OndrelControlForm->sbFireClick();
    main.edString[0]->SetText(kCommand);
    main.cbCycleString[0]->SetChecked(true);
    main.leCycleCount->SetText("0");
    main.leCommandDelay->SetText("0");
    main.cmdStartCycleClick();
}

TEST_F(Ending, EachEndSignalRunsTheCloseWhichSavesTheCommandInTheHistory) {
    if (InChild())
        return RunProgram(SendCommand);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(strsignal(signal));
        TalvaneApp::WriteConfigForPort(kPort);
        Instrument().ClearReceived();
        const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
        ASSERT_GT(child, 0);
        ASSERT_TRUE(CommandsArrive(1));
        kill(child, signal);
        const std::optional<int> status = AwaitEnd(child);
        ASSERT_TRUE(status.has_value()) << "the program did not end";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "ended by the signal, not by the close";
        EXPECT_NE(SavedConfig().find(kCommand), std::string::npos) << "the history was not saved";
    }
}

TEST_F(Ending, AnEndSignalDuringAnEndlessCycleStopsItClosesAndSaves) {
    if (InChild())
        return RunProgram(StartEndlessCycle);
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(CycleRuns());
    kill(child, SIGTERM);
    const std::optional<int> status = AwaitEnd(child);
    ASSERT_TRUE(status.has_value()) << "the program did not end";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "ended by the signal, not by the close";
    EXPECT_NE(SavedConfig().find(kCommand), std::string::npos) << "the configuration was not saved";
    ExpectPanelFileAsTheCloseSavesIt();
}

TEST_F(Ending, ALostDisplayDuringAnEndlessCycleEndsTheProgramSavesAndFreesThePort) {
    if (InChild())
        return RunProgram(StartEndlessCycle);
    XServer server;
    ASSERT_FALSE(server.Display().empty()) << "no X server (package xvfb)";
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server.Display()}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(CycleRuns());
    const std::size_t before = Instrument().Commands().size();
    server.Kill();
    ASSERT_TRUE(AwaitEnd(child).has_value()) << "the program did not end";
    const std::vector<std::string> commands = Instrument().Commands();
    const std::vector<std::string> after(commands.begin() + static_cast<std::ptrdiff_t>(before), commands.end());
    EXPECT_NE(std::find(after.begin(), after.end(), "!GATE ACTIV=0"), after.end()) << "the laser is still gated";
    EXPECT_NE(std::find(after.begin(), after.end(), "!SHUTTER=0"), after.end()) << "the shutter is still open";
    EXPECT_NE(std::find(after.begin(), after.end(), ";LC:FL 0"), after.end()) << "the Ondrel laser still fires";
    EXPECT_NE(SavedConfig().find(kCommand), std::string::npos) << "the configuration was not saved";
    ExpectPanelFileAsTheCloseSavesIt();
    const platform::SerialHandle port = platform::OpenComPort(kPort, platform::OpenPurpose::Use);
    EXPECT_NE(port, platform::SerialHandle::Invalid) << "the port is still held";
    platform::CloseHandle(port);
}

// A worker's failed reopen (the instrument vanished) opens the port warning from its hand-over; the
// close must not wait inside that box for the worker that waits for the box.
TEST_F(Ending, AnEndSignalWhileAWorkersPortWarningIsOpenEndsTheProgram) {
    if (InChild())
        return RunProgram(StartEndlessCycle);
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(CycleRuns());
    instrument_.reset();
    ASSERT_TRUE(BoxShown("Communications Port Warning"));
    instrument_.emplace(kPort);  // comes back, but nothing may be sent to it any more
    EXPECT_EQ(CommandsAfterEndSignal(child), 0u);
    EXPECT_NE(SavedConfig().find(kCommand), std::string::npos) << "the configuration was not saved";
}

// The port settings closed by the ending with a terminator that breaks the comma rule, which would
// show them again until it is mended.
TEST_F(Ending, AnEndSignalWhileThePortSettingsHoldABrokenTerminatorEndsTheProgram) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            QTimer::singleShot(0, [] { CommSettingForm->leTerminationString->SetText("0D0A"); });
            main.Properties1Click();
        });
    }
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(BoxShown(std::string(kPort) + " Properties"));
    CommandsAfterEndSignal(child);
}

TEST_F(Ending, AnEndSignalDuringTheStartUpPortWarningEndsTheProgram) {
    if (InChild())
        return RunProgram([](TTalvaneForm&) {});
    TalvaneApp::WriteConfigForPort("COM95");  // no such port
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(BoxShown("Communications Port Warning"));
    CommandsAfterEndSignal(child);
}

// Each query is answered after 0.3 s, the first with an error code, whose box the download waits on.
TEST_F(Ending, AnEndSignalStopsADownloadAlsoWhileItsErrorBoxIsOpen) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            FirePexmar(main);
            StartDownload(main);
        });
    }
    // The download's queries are answered late, or, with a silent instrument, not at all: the end comes
    // as the first query waits for its reply.
    enum class When { QueriesGoing, BoxOpen, QueryUnanswered };
    for (const When when : {When::QueriesGoing, When::BoxOpen, When::QueryUnanswered}) {
        const bool boxOpen = when == When::BoxOpen;
        SCOPED_TRACE(boxOpen ? "box open" : when == When::QueriesGoing ? "queries going" : "query unanswered");
        Instrument().ClearReceived();
        Instrument().SetDelay(std::chrono::milliseconds(0));
        Instrument().SetSilent(false);
        if (boxOpen)
            Instrument().ReplyExact("Q0?", "?4\r\n");
        const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
        ASSERT_GT(child, 0);
        ASSERT_TRUE(Arrives("!SHUTTER=1"));
        Instrument().SetDelay(std::chrono::milliseconds(300));
        Instrument().SetSilent(when == When::QueryUnanswered);
        ASSERT_TRUE(boxOpen ? BoxShown("Error Reponse Received") : Arrives(when == When::QueriesGoing ? "Q4?" : "Q0?"));
        // At most one query, then the panel's stops, which the close sends once the box and the
        // settings window are gone and the port is back.
        const std::size_t before = CommandsSent();
        CommandsAfterEndSignal(child);
        ExpectOnlyTheStopsAfter(before, kPexmarStops);
    }
}

// With an instrument that answers late, and with a silent one: the display goes as the first query
// waits for its reply.
TEST_F(Ending, ALostDisplayStopsADownload) {
    if (InChild())
        return RunProgram(StartDownload);
    for (const bool silent : {false, true}) {
        SCOPED_TRACE(silent ? "silent" : "slow");
        Instrument().ClearReceived();
        Instrument().SetDelay(std::chrono::milliseconds(300));
        Instrument().SetSilent(silent);
        XServer server;
        ASSERT_FALSE(server.Display().empty()) << "no X server (package xvfb)";
        const pid_t child = StartChild({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server.Display()}});
        ASSERT_GT(child, 0);
        ASSERT_TRUE(CommandsArrive(silent ? 1 : 3));
        const std::size_t before = Instrument().Commands().size();
        server.Kill();
        ASSERT_TRUE(AwaitEnd(child).has_value()) << "the program did not end";
        EXPECT_LE(Instrument().Commands().size(), before + 1);
    }
}

// The instrument stops reading and the line fills up: the Pexmar panel's stops cannot be written, and
// the ending, by a signal and by a lost display, waits for each only briefly and names it on stderr.
TEST_F(Ending, ALineThatTakesNoDataHoldsUpNoEnding) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            FirePexmar(main);
            main.SendThroughDoor(kSequenceMark);
        });
    }
    const std::string errorFile = dataHome_ + "/stderr.txt";
    for (const bool bySignal : {true, false}) {
        SCOPED_TRACE(bySignal ? "end signal" : "lost display");
        instrument_.emplace(kPort);  // one that reads
        std::optional<XServer> server;
        if (!bySignal)
            server.emplace();
        const pid_t child = bySignal ? StartChild({{"QT_QPA_PLATFORM", "offscreen"}}, errorFile)
                                     : StartChild({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server->Display()}}, errorFile);
        ASSERT_GT(child, 0);
        ASSERT_TRUE(Arrives(kSequenceMark));
        Instrument().StopReading();
        if (bySignal)
            kill(child, SIGTERM);
        else
            server->Kill();
        ASSERT_TRUE(AwaitEnd(child).has_value()) << "the program did not end";
        const std::string errors = ReadFile(errorFile);
        for (const std::string& stop : kPexmarStops)
            EXPECT_NE(errors.find("\"" + stop + "\" could not be written to " + kPort), std::string::npos) << errors;
    }
}

// systemd stops a session with SIGTERM and SIGHUP at once, and Ctrl+C may be pressed twice.
TEST_F(Ending, TheSignalsOfOneSessionStopAreOneEndingThatStopsTheLaserAndSaves) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            FirePexmar(main);
            SendCommand(main);
        });
    }
    struct Pair {
        int first, second, gapMs;
    };
    for (const Pair pair : {Pair{SIGTERM, SIGHUP, 0}, Pair{SIGHUP, SIGTERM, 0}, Pair{SIGTERM, SIGTERM, 1},
                            Pair{SIGINT, SIGINT, 0}}) {
        SCOPED_TRACE(std::string(strsignal(pair.first)) + " then " + strsignal(pair.second));
        TalvaneApp::WriteConfigForPort(kPort);
        RemovePanelFiles();
        Instrument().ClearReceived();
        const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
        ASSERT_GT(child, 0);
        ASSERT_TRUE(Arrives(kCommand));
        const std::size_t before = Instrument().Commands().size();
        kill(child, pair.first);
        std::this_thread::sleep_for(std::chrono::milliseconds(pair.gapMs));
        kill(child, pair.second);
        const std::optional<int> status = AwaitEnd(child);
        ASSERT_TRUE(status.has_value()) << "the program did not end";
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "ended by a signal, not by the close";
        ExpectOnlyTheStopsAfter(before, kPexmarStops);
        EXPECT_NE(SavedConfig().find(kCommand), std::string::npos) << "the history was not saved";
        ExpectPanelFileAsTheCloseSavesIt();
    }
}

// Here the ending never finishes: the GUI thread is kept busy once it began.
TEST_F(Ending, ASignalOnceTheEndingHasRunForSecondsEndsTheProcessAtOnce) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            SendCommand(main);
            auto* stuck = new QTimer(QCoreApplication::instance());
            QObject::connect(stuck, &QTimer::timeout, [] {
                while (ui::Ending())
                    std::this_thread::sleep_for(std::chrono::seconds(1));
            });
            stuck->start(1);
        });
    }
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(CommandsArrive(1));
    kill(child, SIGTERM);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    kill(child, SIGHUP);  // the same ending
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, WNOHANG), 0) << "a signal within the bound ended the process";
    kill(child, SIGINT);
    const std::optional<int> ended = AwaitEnd(child);
    ASSERT_TRUE(ended.has_value()) << "the program did not end";
    EXPECT_TRUE(WIFSIGNALED(*ended) && WTERMSIG(*ended) == SIGINT);
}

// The program's own binary, held in its start before the application object exists (its X server
// is stopped: it takes the connection and does not answer, and then goes away): SIGTERM is its own
// already and ends it at once by its own exit, neither by the default end nor by Qt's abort.
TEST_F(Ending, TheProgramTakesAnEndSignalFromItsFirstLine) {
    if (InChild())
        return;
    XServer display;
    ASSERT_FALSE(display.Display().empty()) << "no X server (package xvfb)";
    display.Freeze();
    const pid_t child = Spawn({TALVANE_PROGRAM}, {{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", display.Display()}});
    ASSERT_GT(child, 0);
    const std::string status = "/proc/" + std::to_string(child) + "/status";
    const auto caught = [&] {
        std::ifstream in(status);
        for (std::string line; std::getline(in, line);) {
            if (line.rfind("SigCgt:", 0) == 0)
                return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1) & 1) != 0;
        }
        return false;
    };
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!caught() && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const bool caughtInTime = caught();
    kill(child, SIGTERM);
    display.Kill();  // the start goes on
    const std::optional<int> ended = AwaitEnd(child);
    ASSERT_TRUE(ended.has_value()) << "the program did not end";
    EXPECT_TRUE(caughtInTime) << "SIGTERM was not caught while the program started";
    const int signal = WIFSIGNALED(*ended) ? WTERMSIG(*ended) : 0;
    EXPECT_TRUE(WIFEXITED(*ended)) << (signal == SIGTERM ? "ended by the signal's default action"
                                       : signal == SIGABRT ? "Qt aborted: the start went on without a display"
                                                           : std::string("ended by ") + strsignal(signal));
    EXPECT_EQ(WEXITSTATUS(*ended), 0) << "not its own exit at once (1: the display check gave up first)";
}

// The close waits until the message loop is on top again: inside a loop further up (here one that
// no close ends, run while the main window holds the port) a panel's stop could not take the port.
TEST_F(Ending, TheCloseWaitsForTheMessageLoopSoThatTheStopsGoOut) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            FirePexmar(main);
            main.HoldPort();
            QEventLoop loop;
            QTimer::singleShot(1500, &loop, &QEventLoop::quit);
            loop.exec();
            main.ReleasePort();
        });
    }
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(Arrives("!SHUTTER=1"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // inside the loop
    const std::size_t before = CommandsSent();
    CommandsAfterEndSignal(child, true, false);  // the ending waits as long as the loop runs
    ExpectOnlyTheStopsAfter(before, kPexmarStops);
}

// The ids of the program's own threads: those that carry the process's name (Qt names its own, such
// as the pooled ones it starts as it needs them).
std::set<std::string> Threads() {
    const std::string process = ReadFile("/proc/self/comm");
    std::set<std::string> ids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        if (ReadFile(entry.path() / "comm") == process)
            ids.insert(entry.path().filename().string());
    }
    return ids;
}

// After the ending began, a cycle start, a download or a port scan (an operator's click still queued)
// sends nothing and starts no thread (a scan would otherwise start a new cycle worker).
TEST_F(Ending, NothingStartsOnceTheEndingBegan) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            SendCommand(main);
            main.edString[0]->SetText(kCommand);
            main.cbCycleString[0]->SetChecked(true);
            main.leCycleCount->SetText("0");
            InstrumentSettingForm->reInstrumentQueryFile->AddLine("L0,Q0?");
            auto* late = new QTimer(QCoreApplication::instance());
            QObject::connect(late, &QTimer::timeout, [late, &main] {
                if (!ui::Ending())
                    return;
                late->stop();
                const std::set<std::string> before = Threads();
                main.cmdStartCycleClick();
                QTimer::singleShot(0, [] { InstrumentSettingForm->cmdDownloadClick(); });
                main.DownloadSettings1Click();
                main.CommPortScan1Click();
                platform::Sleep(300);  // a worker started now would send meanwhile
                std::vector<std::string> started;
                std::ranges::set_difference(Threads(), before, std::back_inserter(started));
                std::ofstream(std::filesystem::path(std::getenv(kChildVariable)) / "threads started.txt")
                    << started.size();
            });
            late->start(1);
        });
    }
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(CommandsArrive(1));
    EXPECT_EQ(CommandsAfterEndSignal(child, true, false), 0u);  // the late clicks' watch holds the ending up
    EXPECT_EQ(ReadFile(std::filesystem::path(dataHome_) / "threads started.txt"), "0");
}

// The operator clicks the Ondrel and the Pexmar STOP once the ending began: their stops go out, as well
// as the closes' ones.
TEST_F(Ending, StopClicksDuringTheEndingGoOut) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            FirePexmar(main);
            OndrelControlForm->Show();
            OndrelControlForm->sbFireClick();
            main.SendThroughDoor(kSequenceMark);
            auto* late = new QTimer(QCoreApplication::instance());
            QObject::connect(late, &QTimer::timeout, [late] {
                if (!ui::Ending())
                    return;
                late->stop();
                OndrelControlForm->sbStop->Click();
                PexmarControlForm->sbStop->Click();
            });
            late->start(1);
        });
    }
    const pid_t child = StartChild({{"QT_QPA_PLATFORM", "offscreen"}});
    ASSERT_GT(child, 0);
    ASSERT_TRUE(Arrives(kSequenceMark));
    const std::size_t before = Instrument().Commands().size();
    CommandsAfterEndSignal(child);
    const std::vector<std::string> after = AnsweredSince(before);
    EXPECT_EQ(std::count(after.begin(), after.end(), ";LC:FL 1"), 1) << ::testing::PrintToString(after);
    EXPECT_EQ(std::count(after.begin(), after.end(), "!GATE ACTIV=0"), 2) << ::testing::PrintToString(after);
}

// A panel's sequence of sends, ended by a signal and by a lost display, with an instrument that
// answers after 0.3 s and with a silent one: at most the command in flight, then only the stops.
class EndingDuringASequence : public Ending {
protected:
    void EndDuringTheSequence(const std::vector<std::string>& stops, std::size_t commandsBeforeTheEnd = 2) {
        for (const bool bySignal : {true, false}) {
            for (const bool silent : {false, true}) {
                SCOPED_TRACE(std::string(bySignal ? "end signal" : "lost display") + (silent ? ", silent" : ", slow"));
                Instrument().ClearReceived();
                Instrument().SetSilent(false);
                Instrument().SetDelay(std::chrono::milliseconds(0));
                std::optional<XServer> server;
                if (!bySignal)
                    server.emplace();
                const pid_t child = bySignal ? StartChild({{"QT_QPA_PLATFORM", "offscreen"}})
                                             : StartChild({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server->Display()}});
                ASSERT_GT(child, 0);
                ASSERT_TRUE(Arrives(kSequenceMark));
                if (silent)
                    Instrument().SetSilent(true);
                else
                    Instrument().SetDelay(std::chrono::milliseconds(300));
                ASSERT_TRUE(CommandsArrive(Instrument().Commands().size() + commandsBeforeTheEnd));
                const std::size_t before = CommandsSent();
                if (bySignal)
                    kill(child, SIGTERM);
                else
                    server->Kill();
                const std::optional<int> status = AwaitEnd(child);
                ASSERT_TRUE(status.has_value()) << "the program did not end";
                ExpectOnlyTheStopsAfter(before, stops);
            }
        }
    }

    // The child learns its case from its environment.
    void EndDuringEachCase(std::initializer_list<const char*> cases, const std::vector<std::string>& stops,
                           std::size_t commandsBeforeTheEnd) {
        for (const char* which : cases) {
            SCOPED_TRACE(which);
            setenv(kCaseVariable, which, 1);
            EndDuringTheSequence(stops, commandsBeforeTheEnd);
        }
        unsetenv(kCaseVariable);
    }
};

// The child opens the panel, marks the start and runs the sequence.
void RunSequence(const std::function<void(TTalvaneForm&)>& open, const std::function<void()>& sequence) {
    RunProgram([open, sequence](TTalvaneForm& main) {
        open(main);
        main.SendThroughDoor(kSequenceMark);
        sequence();
    });
}

void OpenPexmar(TTalvaneForm& main) { main.PexmarSystem1Click(); }
void OpenFramont(TTalvaneForm& main) { main.GRNIRControl1Click(); }

TEST_F(EndingDuringASequence, PexmarOpening) {
    if (InChild())
        return RunSequence([](TTalvaneForm&) {}, [] { TalvaneForm->PexmarSystem1Click(); });
    EndDuringTheSequence(kPexmarStops);
}

// The end comes during a pause between two sends, long enough that only its early end keeps the
// ending within its second.
TEST_F(EndingDuringASequence, APanelsPause) {
    if (InChild())
        return RunSequence(OpenPexmar, [] { panels::PauseBetweenSends(60000); });
    EndDuringTheSequence(kPexmarStops, 0);
}

TEST_F(EndingDuringASequence, PexmarReadAndWrite) {
    if (InChild()) {
        return RunSequence(OpenPexmar, [] {
            (ChildCase() == "read" ? PexmarControlForm->cmdUpdate : PexmarControlForm->cmdRefresh)->Click();
        });
    }
    EndDuringEachCase({"read", "write"}, kPexmarStops, 3);
}

// The opening ends with the replay of the panel file; four commands in, the replay runs.
TEST_F(EndingDuringASequence, FramontOpeningAndReplay) {
    if (InChild())
        return RunSequence([](TTalvaneForm&) {}, [] { TalvaneForm->GRNIRControl1Click(); });
    EndDuringTheSequence(kFramontStops, 4);
}

TEST_F(EndingDuringASequence, FramontReadAndWrite) {
    if (InChild()) {
        return RunSequence(OpenFramont, [] {
            (ChildCase() == "read" ? FramontControlForm->cmdUpdate : FramontControlForm->cmdRefresh)->Click();
        });
    }
    EndDuringEachCase({"read", "write"}, kFramontStops, 2);
}

// Each laser panel alone, firing, then the display lost with the instrument gone silent: its stops
// go out (each waits only briefly for its reply), its file is saved as the close saves it, and the
// port is free also for an ordinary user's program (no exclusive mark left on the device).
// This rests on Qt's xcb platform: once the X connection has failed, Qt logs "The X11 connection
// broke" on the GUI thread and then exits; the program's message handler takes that first message
// as the loss and ends from there. Should Qt stop logging first, these cases fail.
TEST_F(Ending, ALostDisplayLeavesEachLaserPanelAsItsCloseLeavesIt) {
    if (InChild()) {
        return RunProgram([](TTalvaneForm& main) {
            char enter = 13;
            if (ChildCase() == "Pexmar") {
                FirePexmar(main);
            } else if (ChildCase() == "Framont") {
                main.GRNIRControl1Click();
                FramontControlForm->leRepRate->SetText("20");
                FramontControlForm->RepRateEdit->KeyPress(enter);
                FramontControlForm->sbFireClick();
            } else {
                OndrelControlForm->Show();
                OndrelControlForm->sbFireClick();
            }
            main.SendThroughDoor(kSequenceMark);
        });
    }
    for (const char* panel : {"Ondrel", "Framont", "Pexmar"}) {
        SCOPED_TRACE(panel);
        setenv(kCaseVariable, panel, 1);
        RemovePanelFiles();
        Instrument().ClearReceived();
        Instrument().SetSilent(false);
        XServer server;
        ASSERT_FALSE(server.Display().empty()) << "no X server (package xvfb)";
        const pid_t child = StartChild({{"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", server.Display()}});
        ASSERT_GT(child, 0);
        ASSERT_TRUE(Arrives(kSequenceMark));
        Instrument().SetSilent(true);
        const std::size_t before = Instrument().Commands().size();
        server.Kill();
        ASSERT_TRUE(AwaitEnd(child).has_value()) << "the program did not end";
        const std::string name = panel;
        ExpectOnlyTheStopsAfter(before, name == "Pexmar" ? kPexmarStops : kFramontStops);
        if (name == "Pexmar")
            ExpectPanelFileAsTheCloseSavesIt();
        if (name == "Framont") {
            const panels::FramontPanelValues file =
                panels::ReadFramontPanelText(ReadFile(panels::FramontConfigFilePath()));
            EXPECT_EQ(file.RepRate, 20);
            EXPECT_EQ(file.LaserFire, 0);
        }
        testsupport::RunWithoutCapabilities({CAP_SYS_ADMIN}, [] {
            const platform::SerialHandle port = platform::OpenComPort(kPort, platform::OpenPurpose::Use);
            EXPECT_NE(port, platform::SerialHandle::Invalid) << "the port is still held or marked";
            platform::CloseHandle(port);
        });
    }
    unsetenv(kCaseVariable);
}

}  // namespace
