// The command cycles' cost: the process's CPU use while a port is selected, the worker idles and the
// 500 ms unsolicited-input poll runs; and a strings cycle's commands per second to an instrument that
// answers at once, beside the rate the road's own pauses allow and the rate of the door called
// directly in a loop.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "support/FakeInstrument.h"
#include "BenchMain.h"
#include "support/TalvaneApp.h"
#include "terminal/commcyclethread.h"

namespace {

constexpr const char* kPort = "COM97";
// Per command the road waits 15 quiet pauses of 1 ms after the reply, and 5 ms after showing the
// command line; the cycle adds its command delay.
constexpr double kRoadPausesMs = 15.0 + 5.0;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

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

void BM_IdleCpuWithPortSelected(benchmark::State& state) {
    Program program;
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        RunEventLoop(10000);
        const double cpu = ProcessCpuSeconds() - cpuBefore;
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / (static_cast<double>(wall.elapsed()) / 1000.0);
        state.counters["cpu_ms"] = cpu * 1000.0;
    }
    state.counters["worker_alive"] = TCommCycleThread::AliveCount();
}
BENCHMARK(BM_IdleCpuWithPortSelected)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// All five strings ticked; state.range(0) is the command delay in ms.
void BM_StringsCycleRate(benchmark::State& state) {
    Program program;
    TTalvaneForm& main = program.Main();
    const int commandDelay = static_cast<int>(state.range(0));
    constexpr int kPasses = 40;
    for (std::size_t k = 0; k < main.edString.size(); ++k) {
        main.edString[k]->SetText("S" + std::to_string(k + 1));
        main.cbCycleString[k]->SetChecked(true);
    }
    main.leCycleCount->SetText(std::to_string(kPasses));
    main.leCommandDelay->SetText(std::to_string(commandDelay));
    main.leCycleDelay->SetText("0");
    double commandsPerSecond = 0;
    for (auto _ : state) {
        program.instrument.ClearReceived();
        const double cpuBefore = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        main.cmdStartCycleClick();
        RunEventLoopUntil([&] { return !main.WorkerRunsCycle() && CommCycleThread->Idle(); });
        const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
        const double commands = static_cast<double>(program.instrument.CommandCount());
        commandsPerSecond = commands / seconds;
        state.counters["process_cpu_ms_per_command"] = (ProcessCpuSeconds() - cpuBefore) * 1000.0 / commands;
        main.ClearOutgoingandIncommingWindow1Click();
    }
    state.counters["commands"] = static_cast<double>(program.instrument.CommandCount());
    state.counters["commands_per_s"] = commandsPerSecond;
    state.counters["road_pauses_allow_per_s"] = 1000.0 / (kRoadPausesMs + commandDelay);
}
BENCHMARK(BM_StringsCycleRate)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// The same commands sent by the GUI thread through the door in a loop: the road without the cycle.
void BM_DoorLoopRate(benchmark::State& state) {
    Program program;
    constexpr int kCommands = 200;
    double commandsPerSecond = 0;
    for (auto _ : state) {
        QElapsedTimer wall;
        wall.start();
        for (int i = 0; i < kCommands; ++i)
            program.Main().SendThroughDoor("S" + std::to_string(i % 5 + 1));
        commandsPerSecond = kCommands / (static_cast<double>(wall.elapsed()) / 1000.0);
    }
    state.counters["commands_per_s"] = commandsPerSecond;
    state.counters["road_pauses_allow_per_s"] = 1000.0 / kRoadPausesMs;
}
BENCHMARK(BM_DoorLoopRate)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksOffscreen(argc, argv); }
