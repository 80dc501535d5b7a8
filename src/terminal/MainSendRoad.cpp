// The send and receive road: the one door every command goes through, the exchange on the port,
// the display and logging of commands and replies, and the unsolicited-input poll.
//
// The road runs on the GUI thread and on the worker thread. Whatever it does to the window or to the
// window's plain fields it does inside ui::OnGui, which runs the work directly on the GUI thread and
// hands it over (and waits) from the worker; inside ui::OnGuiAhead when it only reads what the worker
// needs at once (the port's name), which goes before the lines still waiting to be shown; or inside
// ui::PostToGui when it only shows something (the command line and its focus, the lines), which a
// worker hands over without waiting. PortBusy is taken with compare-and-exchange; a GUI thread waiting
// for it keeps carrying out the worker's hand-overs.
#include <array>
#include <chrono>
#include <exception>
#include <functional>
#include <iostream>
#include <string_view>
#include <utility>

#include "platform/Clock.h"
#include "serial/CommLog.h"
#include "terminal/Main.h"
#include "terminal/commcyclethread.h"
#include "ui/Application.h"
#include "ui/GuiThread.h"

namespace {

constexpr int kPaneLineLimit = 20000;
constexpr std::size_t kUnsolicitedReadLimit = 900;

// Once the program is ending, a laser's stop still waits this long for a line that takes no data: as
// long as it waits for its reply.
constexpr auto kStopWriteWait = std::chrono::milliseconds(100);

bool Contains(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

// When a write stops waiting for a line that takes no data, before its own stall limit: an ordinary
// command as soon as the program is ending, a laser's stop kStopWriteWait later.
std::function<bool()> GiveUpWriting(bool laserStop) {
    if (!laserStop)
        return ui::Application::ProgramIsEnding;
    const auto deadline = std::chrono::steady_clock::now() + kStopWriteWait;
    return [deadline] { return ui::Application::ProgramIsEnding() && std::chrono::steady_clock::now() >= deadline; };
}

std::string StampedLine(const std::string& stamp, const std::string& text) { return "[" + stamp + "]  " + text; }

// The port as the road or the poll took it: given back once, on whichever way out.
class TakenPort {
public:
    explicit TakenPort(std::atomic<bool>& portBusy) : portBusy_(portBusy) {}
    ~TakenPort() { Release(); }
    TakenPort(const TakenPort&) = delete;
    TakenPort& operator=(const TakenPort&) = delete;
    void Release() {
        if (held_)
            portBusy_ = false;
        held_ = false;
    }

private:
    std::atomic<bool>& portBusy_;
    bool held_ = true;
};

// The reply patterns in the order they are tested, with the counter slot each one counts in.
struct ErrorPattern {
    std::string_view text;
    int slot;
};
constexpr std::array<ErrorPattern, 17> kErrorPatterns{{{"?E0", 0}, {"?E1", 1}, {"?E2", 2}, {"?E3", 3}, {"?E4", 4},
                                                       {"?E5", 5}, {"?E6", 6}, {"?E7", 7}, {"?E8", 8}, {"?E9", 9},
                                                       {"?1", 1},  {"?2", 2},  {"?3", 3},  {"?4", 4},  {"?5", 5},
                                                       {"?6", 6},  {"?7", 7}}};

}  // namespace

void TTalvaneForm::eSendCommandKeyPress(char& key) {
    if (key != 13)
        return;
    RunSendRoad(eSendCommand->Text(), false);
}

std::optional<std::string> TTalvaneForm::SendThroughDoor(const std::string& text) { return RunSendRoad(text, true); }

std::optional<std::string> TTalvaneForm::SendLaserStop(const std::string& command) {
    return RunSendRoad(command, true, true);
}

// On the worker every ui::OnGui is a round trip to the GUI thread, which the worker waits for; the
// road's GUI steps are therefore gathered into as few hand-overs as their order allows.
std::optional<std::string> TTalvaneForm::RunSendRoad(const std::string& text, bool intoCommandLine, bool laserStop) {
    if (!laserStop && ui::Application::ProgramIsEnding())
        return std::nullopt;
    const bool refused = Contains(text, "Command") || Contains(text, "Empty");
    // Only shown: a worker goes on to take the port meanwhile.
    ui::PostToGui([this, text, intoCommandLine, refused] {
        if (intoCommandLine)
            eSendCommand->SetText(text);
        if (refused)
            return;
        ConfigChanged = true;
        reTalvane->SetFocus();
        eSendCommand->SetFocus();
    });
    if (refused || text.empty() || SerialPort == nullptr)
        return std::nullopt;

    // The port is taken before it is reopened, so that no other exchange is using it meanwhile.
    if (!ClearToSend())
        return std::nullopt;
    TakenPort port(PortBusy);
    const bool onGui = ui::IsGuiThread();
    if (onGui)
        ++guiRoadDepth_;
    struct Leave {
        int* depth;
        ~Leave() {
            if (depth != nullptr)
                --*depth;
        }
    } leave{onGui ? &guiRoadDepth_ : nullptr};
    const auto [portName, terminator] = ui::OnGuiAhead([&] { return std::pair(cboTalvane->Text(), Terminator); });
    if (SerialPort->IsPortOpen())
        SerialPort->ClosePort();
    if (!SerialPort->OpenPort(portName)) {
        port.Release();
        // A worker that was replaced, also while this request waited for the GUI thread, stops no
        // cycle and starts no rescan: both would now act on its successor.
        const TCommCycleThread* worker = CallingWorker();
        ui::OnGui([&] {
            if (worker != nullptr && worker->Terminated())
                return;
            cmdStopCycleClick();
            CommPortScan1Click();
        });
        return std::nullopt;
    }
    const std::string stamp = SerialPort->StampSendTime();
    ui::PostToGui([this, stamp, text] {
        // The history takes the command line's text: make sure it is this command's, whatever another
        // sender put there meanwhile.
        eSendCommand->SetText(text);
        if (text != CommandArray[static_cast<std::size_t>(CommandArrayIndex)])
            AppendCommandArray();
        ShowAndLogCommand(stamp, text);
    });
    platform::Sleep(5);
    std::string reply = Exchange(
        text, terminator,
        [this] {
            ++CommandsSent;
            sbSendStatus->SetPanelText(1, "Commands Sent: " + std::to_string(CommandsSent));
        },
        laserStop);
    StripTerminatorFromString(reply, "\r");
    return reply;
}

void TTalvaneForm::WriteWithoutShowing(const std::string& command) {
    if (SerialPort == nullptr || (!SerialPort->IsPortOpen() && !SerialPort->OpenPort(SerialPort->PortName)))
        return;
    SerialPort->PurgeRxBuffer();
    std::string reply;
    std::string stamp;
    if (WriteToPort(command, Terminator, true))
        SerialPort->ReadResponse(reply, stamp);  // the road's short wait: an instrument may be silent
}

bool TTalvaneForm::WriteToPort(const std::string& command, const std::string& terminator, bool laserStop) {
    if (SerialPort->WriteCommand(command, terminator, GiveUpWriting(laserStop)))
        return true;
    if (laserStop && ui::Application::ProgramIsEnding())
        std::cerr << "talvane: the laser stop \"" << command << "\" could not be written to " << SerialPort->PortName
                  << "\n";
    return false;
}

void TTalvaneForm::ShowAndLogCommand(const std::string& stamp, const std::string& text) {
    ui::OnGui([&] {
        LineCount = reTalvane->LineCount();
        if (LogEnabled) {
            CommLogForm->SetAttributeColor(ui::clBlack);
            CommLogForm->AppendToLog(StampedLine(stamp, text));
        }
        const bool rotate = LineCount >= kPaneLineLimit;
        if (rotate) {
            sbSendStatus->SetPanelText(0, "Line Count: " + std::to_string(LineCount));
            SaveAndClearPane();
        }
        ui::WaitOnGui([&] { return !ReplyDisplayLock; });
        CommandDisplayLock = true;
        if (ShowCommandSent) {
            reTalvane->AddLine(TimeStampEnabled ? StampedLine(stamp, text) : text, ui::clBlack);
            reTalvane->CaretToEnd();
        }
        CommandDisplayLock = false;
        if (!rotate)
            sbSendStatus->SetPanelText(0, "Line Count: " + std::to_string(LineCount));
    });
}

// Saves the pane into Logs and starts it again empty (at the line limit, and before a rescan clears
// it). A save that fails is reported once, and the pane keeps every line until a later save
// succeeds. True when the pane was saved and emptied.
bool TTalvaneForm::SaveAndClearPane() {
    try {
        SaveTalvaneLogFile();
    } catch (const std::exception& e) {
        if (!paneSaveFailureShown_)
            ui::ShowExceptionBoxLater(e.what());
        paneSaveFailureShown_ = true;
        return false;
    }
    paneSaveFailureShown_ = false;
    reTalvane->Clear();
    LineCount = reTalvane->LineCount();
    return true;
}

// The GUI thread waits for the port only when whoever holds it can let it go meanwhile. A send that
// starts inside a modal box (a panel's poll timer fires in its event loop) while this thread holds the
// port lower down its stack, or while it carries out a hand-over that the holding worker waits for,
// would wait for ever: it takes the port only when it is free, and is refused otherwise.
// A worker asked to terminate (it was replaced while it waited) gives the port back untouched.
bool TTalvaneForm::ClearToSend() {
    const bool heldBelow = ui::IsGuiThread() && (portHoldDepth_ > 0 || guiRoadDepth_ > 0 || ui::RunningHandOver());
    const bool taken = heldBelow ? TryTakePort() : WaitAndTakePort();
    if (taken && CallingWorkerTerminated()) {
        ReleaseTakenPort();
        return false;
    }
    return taken;
}

// The close, and the termination of the calling worker, end the wait at once; the port is then taken
// only when it is free, so a send never goes out on a port that another thread holds.
bool TTalvaneForm::WaitAndTakePort() {
    bool taken = false;
    ui::WaitOnGui([&] {
        taken = TryTakePort();
        return taken || Closing || CallingWorkerTerminated();
    });
    return taken;
}

// The GUI thread that takes the port first shows the lines that a worker's exchanges handed over before
// they let the port go.
bool TTalvaneForm::TryTakePort() {
    bool expected = false;
    const bool taken = PortBusy.compare_exchange_strong(expected, true);
    if (taken && ui::IsGuiThread())
        ui::DrainPostedHandOvers();
    return taken;
}

void TTalvaneForm::ReleaseTakenPort() { PortBusy = false; }

// Runs while the caller holds the port (ClearToSend took it); the caller gives it back.
std::string TTalvaneForm::SendCommand(const std::string& command) {
    return Exchange(command, ui::OnGui([&] { return Terminator; }), {});
}

// A command that could not be written once the program is ending waits for no reply, and an ordinary
// command's wait for its reply ends as the program ends; a laser's stop waits its tenth of a second.
std::string TTalvaneForm::Exchange(const std::string& command, const std::string& terminator,
                                   const std::function<void()>& thenOnGui, bool laserStop) {
    SerialPort->PurgeRxBuffer();
    if (!WriteToPort(command, terminator, laserStop) && ui::Application::ProgramIsEnding())
        return {};
    std::string reply;
    std::string recvStamp;
    const std::int32_t count = SerialPort->ReadResponse(
        reply, recvStamp, laserStop ? std::function<bool()>{} : std::function<bool()>(ui::Application::ProgramIsEnding));
    // The reply is handed over before the port is let go, and a GUI thread that takes the port first
    // carries out what waits, so that every command line in the pane is followed by its own reply even
    // while two threads send.
    ui::PostToGui([this, command, reply, recvStamp, count, thenOnGui] {
        if (count > 0)
            isCommandError(command, reply);
        ShowAndLogReply(recvStamp, reply);
        LastReply = reply;
        StripTerminatorFromString(LastReply, "\r");
        if (thenOnGui)
            thenOnGui();
    });
    return reply;
}

void TTalvaneForm::ShowAndLogReply(const std::string& stamp, const std::string& reply) {
    if (LogEnabled) {
        CommLogForm->SetAttributeColor(ui::clGreen);
        CommLogForm->AppendToLog(StampedLine(stamp, reply));
    }
    ReplyDisplayLock = true;
    reTalvane->AddLine(TimeStampEnabled ? StampedLine(stamp, reply) : reply, ui::clGreen);
    ReplyDisplayLock = false;
}

void TTalvaneForm::StripTerminatorFromString(std::string& s, const std::string& term) {
    if (term.empty())
        return;
    const std::size_t at = s.find(term);
    if (at != std::string::npos)
        s.erase(at);
}

void TTalvaneForm::isCommandError(const std::string& command, const std::string& reply) {
    for (const ErrorPattern& pattern : kErrorPatterns) {
        if (reply.find(pattern.text) == std::string::npos)
            continue;
        ui::OnGui([&] {
            ++CommLogForm->ErrorCounts[static_cast<std::size_t>(pattern.slot)];
            CommLogForm->FailedCommands[static_cast<std::size_t>(pattern.slot)] = command;
        });
        return;
    }
}

void TTalvaneForm::ResetCommErrorArray() {
    ui::OnGui([&] {
        CommLogForm->ErrorCounts.fill(0);
        CommLogForm->FailedCommands.fill("No Error");
    });
}

void TTalvaneForm::DelayTimerTimer() {
    if (!TryTakePort())
        return;
    TakenPort port(PortBusy);
    if (SerialPort == nullptr || !SerialPort->IsPortOpen() || SerialPort->IsRxQueueEmpty())
        return;
    const std::string stamp = SerialPort->StampRecvTime();
    std::size_t total = 0;
    do {
        const CSerialPort::ReadResult read = SerialPort->ReadInto(total, 4);
        total += read.count;
        platform::Sleep(5);
        if (!read.ok && read.count == 0)
            break;  // a device that fails its reads would otherwise be polled for ever
    } while (!SerialPort->IsRxQueueEmpty() && total < kUnsolicitedReadLimit);
    const std::string data = SerialPort->BufferText(total);
    if (LogEnabled) {
        CommLogForm->SetAttributeColor(ui::clGreen);
        CommLogForm->AppendToLog(StampedLine(stamp, data));
    }
    ui::WaitOnGui([&] { return !CommandDisplayLock; });
    ReplyDisplayLock = true;
    reTalvane->AddLine(TimeStampEnabled ? StampedLine(stamp, data) : data, ui::clGreen);
    isCommandError(eSendCommand->Text(), data);
    ReplyDisplayLock = false;
}

void TTalvaneForm::SaveTalvaneLogFile() {
    const auto name = InstallFolder() / "Logs" / ("Talvane Output" + platform::FormatFileStamp(platform::Now()) + ".doc");
    const bool wasLogging = LogEnabled;
    LogEnabled = false;
    DisableLog1Click();
    try {
        reTalvane->SetPlainText(true);
        reTalvane->SaveToFile(name.string());
        reTalvane->SetPlainText(true);
    } catch (...) {
        if (wasLogging)
            EnableLog1Click();
        throw;
    }
    platform::Sleep(200);
    LogEnabled = true;
    EnableLog1Click();
}

void TTalvaneForm::HoldPort() {
    ui::OnGui([&] {
        if (portHoldDepth_++ > 0)
            return;
        portHeldByHold_ = WaitAndTakePort();
    });
}

void TTalvaneForm::ReleasePort() {
    ui::OnGui([&] {
        if (portHoldDepth_ == 0 || --portHoldDepth_ > 0)
            return;
        if (portHeldByHold_)
            ReleaseTakenPort();
        portHeldByHold_ = false;
    });
}
