// The command cycles' cost: the process's CPU use while a port is selected, the worker idles and the
// 500 ms unsolicited-input poll runs; and the commands per second of a strings cycle and of a file
// cycle to an instrument that answers at once, with the program's CPU per command, beside the rate
// that the road's own waits allow as this machine sleeps them in the same run, and the rate of the
// door called directly in a loop.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <functional>
#include <string>

#include "BenchMain.h"
#include "CpuUse.h"
#include "platform/Clock.h"
#include "platform/TextConvert.h"
#include "support/FakeInstrument.h"
#include "support/TalvaneApp.h"
#include "terminal/commcyclethread.h"

namespace {

constexpr const char* kPort = "COM97";
constexpr int kCommands = 200;

// The program started on the fake instrument's port, with a worker and the poll running.
class Program {
public:
    Program() {
        instrument.ReplyDefault("OK\r\n");
        testsupport::TalvaneApp::WriteConfigForPort(kPort);
        app.Start();
        if (CommCycleThread == nullptr) {
            Main().cboTalvane->SetItemIndex(TTalvaneForm::FindComboText(*Main().cboTalvane, kPort));
            Main().cboTalvaneSelect();
        }
        Main().Terminator = "\r\n";
    }
    ~Program() { Main().StopAndWaitWorker(); }

    TTalvaneForm& Main() { return app.Main(); }

    testsupport::FakeInstrument instrument{kPort};
    testsupport::TalvaneApp app;
};

// Runs the GUI thread's event loop, as the program does, for ms milliseconds.
void RunEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the GUI thread's event loop until done() holds, looking every 10 ms (at most 10 ms late in runs of
// seconds, and few enough wake-ups not to count in the CPU figure).
void RunEventLoopUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    check.start(10);
    loop.exec();
}

// The waits of one command, made alone as this machine sleeps them: 15 quiet pauses of 1 ms after the
// reply, 5 ms after the command line is shown, and the cycle's command delay. Milliseconds.
double CommandWaitsMs(int commandDelay) {
    constexpr int kRounds = 50;
    QElapsedTimer wall;
    wall.start();
    for (int round = 0; round < kRounds; ++round) {
        for (int i = 0; i < 15; ++i)
            platform::Sleep(1);
        platform::Sleep(5);
        if (commandDelay > 0)
            platform::Sleep(static_cast<unsigned>(commandDelay));
    }
    return static_cast<double>(wall.nsecsElapsed()) / 1e6 / kRounds;
}

void BM_IdleCpuWithPortSelected(benchmark::State& state) {
    Program program;
    for (auto _ : state) {
        const double cpuBefore = ProgramCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        RunEventLoop(10000);
        const double cpu = ProgramCpuSeconds() - cpuBefore;
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0);
        state.counters["cpu_ms"] = cpu * 1000.0;
    }
    state.counters["worker_alive"] = TCommCycleThread::AliveCount();
}
BENCHMARK(BM_IdleCpuWithPortSelected)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Runs one cycle from START until the worker is idle again; sets the rate, CPU and floor counters.
void MeasureCycle(benchmark::State& state, Program& program, int commandDelay) {
    TTalvaneForm& main = program.Main();
    main.leCommandDelay->SetText(std::to_string(commandDelay));
    main.leCycleDelay->SetText("0");
    double commandsPerSecond = 0;
    double cpuMsPerCommand = 0;
    for (auto _ : state) {
        program.instrument.ClearReceived();
        const double cpuBefore = ProgramCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        main.cmdStartCycleClick();
        RunEventLoopUntil([&] { return !main.WorkerRunsCycle() && CommCycleThread->Idle(); });
        const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
        const double commands = static_cast<double>(program.instrument.CommandCount());
        commandsPerSecond = commands / seconds;
        cpuMsPerCommand = (ProgramCpuSeconds() - cpuBefore) * 1000.0 / commands;
    }
    const double waitsAllow = 1000.0 / CommandWaitsMs(commandDelay);
    state.counters["commands"] = static_cast<double>(program.instrument.CommandCount());
    state.counters["commands_per_s"] = commandsPerSecond;
    state.counters["waits_allow_per_s"] = waitsAllow;
    state.counters["ratio_to_waits"] = commandsPerSecond / waitsAllow;
    state.counters["program_cpu_ms_per_command"] = cpuMsPerCommand;
}

// All five strings ticked; state.range(0) is the command delay in ms.
void BM_StringsCycleRate(benchmark::State& state) {
    Program program;
    TTalvaneForm& main = program.Main();
    for (std::size_t k = 0; k < main.edString.size(); ++k) {
        main.edString[k]->SetText(platform::Concat({"S", std::to_string(k + 1)}));
        main.cbCycleString[k]->SetChecked(true);
    }
    main.leCycleCount->SetText(std::to_string(kCommands / 5));
    MeasureCycle(state, program, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_StringsCycleRate)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// A command file of kCommands commands, one pass; state.range(0) is the command delay in ms.
void BM_FileCycleRate(benchmark::State& state) {
    Program program;
    TTalvaneForm& main = program.Main();
    main.ViewCommandFileWindow1Click();
    for (int i = 0; i < kCommands; ++i)
        main.reInputFile->AddLine(platform::Concat({"F", std::to_string(i % 5 + 1)}), ui::clBlack);
    main.leCycleCount->SetText("1");
    MeasureCycle(state, program, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_FileCycleRate)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The same commands sent by the GUI thread through the door in a loop: the road without the cycle.
void BM_DoorLoopRate(benchmark::State& state) {
    Program program;
    double commandsPerSecond = 0;
    for (auto _ : state) {
        QElapsedTimer wall;
        wall.start();
        for (int i = 0; i < kCommands; ++i)
            program.Main().SendThroughDoor(platform::Concat({"S", std::to_string(i % 5 + 1)}));
        commandsPerSecond = kCommands / (static_cast<double>(wall.elapsed()) / 1000.0);
    }
    const double waitsAllow = 1000.0 / CommandWaitsMs(0);
    state.counters["commands_per_s"] = commandsPerSecond;
    state.counters["waits_allow_per_s"] = waitsAllow;
    state.counters["ratio_to_waits"] = commandsPerSecond / waitsAllow;
}
BENCHMARK(BM_DoorLoopRate)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksOffscreen(argc, argv); }
