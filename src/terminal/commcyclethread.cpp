#include "terminal/commcyclethread.h"

#include <chrono>
#include <exception>
#include <memory>
#include <optional>
#include <vector>

#include "platform/TextConvert.h"
#include "terminal/CommandFile.h"
#include "terminal/Main.h"
#include "ui/Dialogs.h"
#include "ui/Application.h"
#include "ui/GuiThread.h"

TCommCycleThread* CommCycleThread = nullptr;
std::atomic<int> TCommCycleThread::alive_{0};

namespace {

// The worker whose thread this is; none on the other threads.
thread_local const TCommCycleThread* t_ownWorker = nullptr;

// Guards each change of CommCycleThread against a worker's last look at it (which decides whether
// it sets the main window's CycleThreadDone).
std::mutex g_currentMutex;

// Every worker not yet joined, the current one included. GUI thread only. Never destroyed: when the
// process exits from inside the event loop, the workers are joined by the ending's own handler
// (SaveWithoutWindows), not by a destructor that would run in any order.
std::vector<std::unique_ptr<TCommCycleThread>>& Workers() {
    static auto* workers = new std::vector<std::unique_ptr<TCommCycleThread>>;
    return *workers;
}

void MakeCurrent(TCommCycleThread* worker) {
    std::lock_guard lock(g_currentMutex);
    CommCycleThread = worker;
    if (worker != nullptr && TalvaneForm != nullptr)
        TalvaneForm->CycleThreadDone = false;
}

int ReadInt(const ui::TEdit& edit, int fallback) { return platform::StrToIntDef(edit.Text(), fallback); }

struct FileLine {
    bool exists = false;
    terminal::CommandLineKind kind = terminal::CommandLineKind::Empty;
    std::string command;
    terminal::Directive directive;
    std::string text;    // as read
    std::string marked;  // as shown while in progress; empty for a line that is not marked
};

// Reads line i of the window; a command or a directive is to be marked as the line in progress.
FileLine ReadFileLine(const ui::TRichEdit& window, int i) {
    FileLine line;
    if (i >= window.LineCount())
        return line;
    line.exists = true;
    line.text = window.Line(i);
    line.kind = terminal::ClassifyCommandLine(line.text);
    if (line.kind == terminal::CommandLineKind::Command) {
        line.marked = terminal::MarkLine(line.text);
        line.command = terminal::CommandFromMarkedLine(line.marked);
    } else if (line.kind == terminal::CommandLineKind::Directive) {
        line.directive = terminal::SplitDirective(line.text);
        line.marked = terminal::MarkLine(line.text);
    }
    return line;
}

// Only shown: the worker does not wait for it. An operator's edit of the line since it was read is
// kept: the line is then not marked.
void MarkFileLine(ui::TRichEdit& window, int i, const FileLine& line) {
    if (line.marked.empty())
        return;
    ui::PostToGui([&window, i, text = line.text, marked = line.marked] {
        if (i < window.LineCount() && window.Line(i) == text)
            window.SetLine(i, marked);
    });
}

// Only shown: the worker does not wait for it.
void UnmarkFileLine(ui::TRichEdit& window, int i) {
    ui::PostToGui([&window, i] {
        if (i < window.LineCount())
            window.SetLine(i, terminal::UnmarkLine(window.Line(i)));
    });
}

void ShowCycleFailure(const std::string& message) {
    try {
        ui::OnGui([&] { ui::ShowExceptionBox(message); });
    } catch (...) {
        // Nothing is left to show it with.
    }
}

}  // namespace

TCommCycleThread::TCommCycleThread(bool CreateSuspended) : form_(*TalvaneForm) {
    if (!CreateSuspended)
        Start();
}

TCommCycleThread::~TCommCycleThread() {
    Terminate();
    if (thread_.joinable())
        thread_.join();
}

void TCommCycleThread::Start() {
    if (thread_.joinable())
        return;
    ++alive_;
    thread_ = std::thread([this] { Run(); });
}

void TCommCycleThread::SetCycles(bool strings, bool file) {
    {
        std::lock_guard lock(mutex_);
        CycleStrings = strings;
        CycleFile = file;
    }
    wake_.notify_all();
}

void TCommCycleThread::WakeUp() {
    { std::lock_guard lock(mutex_); }
    wake_.notify_all();
}

void TCommCycleThread::Terminate() {
    {
        std::lock_guard lock(mutex_);
        terminated_ = true;
    }
    wake_.notify_all();
}

void TCommCycleThread::Run() {
    t_ownWorker = this;
    try {
        Execute();
    } catch (const ui::ProgramEnding&) {
        // The GUI thread carries out nothing more: the worker just ends.
    }
    {
        std::lock_guard lock(g_currentMutex);
        if (CommCycleThread == this && TalvaneForm != nullptr)
            TalvaneForm->CycleThreadDone = true;
    }
    done_ = true;
    --alive_;
}

void TCommCycleThread::Execute() {
    while (!Terminated()) {
        WaitForWork();
        if (!Terminated() && CycleStrings)
            RunCycle(&TCommCycleThread::DoStringsCycle);
        if (!Terminated() && CycleFile)
            RunCycle(&TCommCycleThread::DoFileCycle);
        // What the cycle handed over to be shown is shown before the worker reports itself idle.
        if (!Terminated())
            ui::OnGui([] {});
    }
}

void TCommCycleThread::WaitForWork() {
    std::unique_lock lock(mutex_);
    idle_ = true;
    wake_.wait(lock, [this] { return Terminated() || CycleStrings || CycleFile; });
    idle_ = false;
}

// A cycle that fails (a control or the road raised) is shown in the exception box and ends; the
// worker goes back to waiting for work.
void TCommCycleThread::RunCycle(void (TCommCycleThread::*cycle)()) {
    try {
        (this->*cycle)();
        return;
    } catch (const ui::ProgramEnding&) {
        throw;
    } catch (const std::exception& e) {
        ShowCycleFailure(e.what());
    } catch (...) {
        ShowCycleFailure("");
    }
    SetCycles(false, false);
}

void TCommCycleThread::DoStringsCycle() {
    CycleCount = 0;
    NumberOfCycles = ReadInt(*form_.leCycleCount, 0);
    form_.leCurrentCycle->SetText("0");
    // 64 bits: the jumps past the last pass must not overflow for any 32-bit count.
    const long long cycles = NumberOfCycles;
    long long i = 0;
    while (i <= cycles) {
        if (i == 0)
            i = 1;
        if (StringsCycleGoesOn())
            SendTickedStrings();
        else
            i = cycles + 100;
        CountPass();
        CycleDelay();
        if (cycles == 0)
            i = StringsCycleGoesOn() ? -1 : 100;
        ++i;
    }
    CycleStrings = false;
}

// A pass that has begun sends all its ticked strings, unless the worker is to terminate: a worker
// that was replaced sends nothing more.
void TCommCycleThread::SendTickedStrings() {
    for (int k = 1; k <= static_cast<int>(form_.cbCycleString.size()); ++k) {
        if (Terminated())
            return;
        // The box and its string in one hand-over: what bbSendStringClick sends, with one wait less.
        const auto index = static_cast<std::size_t>(k - 1);
        const std::optional<std::string> string = ui::OnGuiAhead([&]() -> std::optional<std::string> {
            if (!form_.cbCycleString[index]->Checked())
                return std::nullopt;
            return form_.edString[index]->Text();
        });
        if (!string)
            continue;
        form_.SendThroughDoor(*string);
        CommandDelay();
    }
}

void TCommCycleThread::DoFileCycle() {
    CycleCount = 0;
    form_.CyclePaused = false;
    NumberOfCycles = ReadInt(*form_.leCycleCount, 1);
    form_.leCurrentCycle->SetText("0");
    const long long cycles = NumberOfCycles;
    long long pass = 0;
    while (cycles >= pass) {
        if (pass == 0)
            pass = 1;
        for (int i = 0;; ++i) {
            if (!FileCycleGoesOn()) {
                pass = cycles + 1;
                break;
            }
            if (!ProcessFileLine(i))
                break;
        }
        CountPass();
        CycleDelay();
        if (cycles == 0) {
            if (FileCycleGoesOn()) {
                pass = 0;
                continue;
            }
            pass = 1;
        }
        ++pass;
    }
    form_.cmdStartCycle->SetCaption("&START");
    CycleFile = false;
}

bool TCommCycleThread::ProcessFileLine(int i) {
    ui::TRichEdit& window = *form_.reInputFile;
    // Read ahead of the lines still waiting to be shown, which do not touch this line: within a pass they
    // show earlier lines, and the unmarking of this line in the pass before was carried out by the
    // awaited steps that end a pass (the pass count, the cycle delay).
    const FileLine line = ui::OnGuiAhead([&] { return ReadFileLine(window, i); });
    if (!line.exists)
        return false;
    MarkFileLine(window, i, line);
    if (line.kind == terminal::CommandLineKind::Command) {
        form_.SendThroughDoor(line.command);
        CommandDelay();
        UnmarkFileLine(window, i);
    } else if (line.kind == terminal::CommandLineKind::Directive) {
        if (line.directive.Keyword == "HALT")
            Halt();
        else if (line.directive.Keyword == "WAIT")
            Delay(terminal::WaitMilliseconds(line.directive.Argument));
        UnmarkFileLine(window, i);
    }
    return true;
}

void TCommCycleThread::Halt() {
    ui::OnGui([this] {
        form_.CyclePaused = true;
        form_.cmdStartCycle->SetCaption("Continue");
    });
    {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [this] { return !form_.CyclePaused || !FileCycleGoesOn(); });
    }
    form_.CyclePaused = false;
}

void TCommCycleThread::CountPass() {
    const int count = ++CycleCount;
    form_.leCurrentCycle->SetText(std::to_string(count));
}

// A negative command delay is written back as "0" and waits nothing. The delay is read ahead of the
// reply still waiting to be shown.
void TCommCycleThread::CommandDelay() {
    const int ms = ui::OnGuiAhead([this] {
        const int value = ReadInt(*form_.leCommandDelay, 0);
        if (value < 0)
            form_.leCommandDelay->SetText("0");
        return value;
    });
    Delay(ms);
}

void TCommCycleThread::CycleDelay() { Delay(ReadInt(*form_.leCycleDelay, 0)); }

void TCommCycleThread::Delay(int ms) {
    if (ms <= 0)
        return;
    waitedMs_ += ms;
    std::unique_lock lock(mutex_);
    wake_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return Terminated(); });
}

TCommCycleThread* StartCycleWorker() {
    StopCycleWorker();
    if (ui::Application::ProgramIsEnding())
        return nullptr;
    auto worker = std::make_unique<TCommCycleThread>(true);
    TCommCycleThread* started = worker.get();
    Workers().push_back(std::move(worker));
    MakeCurrent(started);
    started->Start();
    return started;
}

void StopCycleWorker() {
    if (CommCycleThread != nullptr) {
        CommCycleThread->Terminate();
        MakeCurrent(nullptr);
    }
    ReapCycleWorkers();
}

void StopAndWaitCycleWorker() {
    TCommCycleThread* worker = CommCycleThread;
    if (worker == nullptr)
        return;
    worker->SetCycles(false, false);
    worker->Terminate();
    ui::WaitOnGui([worker] { return worker->Done(); });
    MakeCurrent(nullptr);
    ReapCycleWorkers();
}

void ReapCycleWorkers() {
    std::erase_if(Workers(), [](const std::unique_ptr<TCommCycleThread>& worker) { return worker->Done(); });
}

void JoinAllCycleWorkers() {
    StopCycleWorker();
    ui::WaitOnGui([] {
        bool allDone = true;
        for (const auto& worker : Workers()) {
            if (worker->Done())
                continue;
            worker->Terminate();
            allDone = false;
        }
        return allDone;
    });
    // The workers' last lines, handed over without waiting, are shown while the forms still exist.
    if (ui::IsGuiThread())
        ui::DrainHandOvers();
    MakeCurrent(nullptr);
    Workers().clear();
}

bool CallingWorkerTerminated() { return t_ownWorker != nullptr && t_ownWorker->Terminated(); }

const TCommCycleThread* CallingWorker() { return t_ownWorker; }
