// The send road's cost: one command to an instrument that answers at once, beside the floor that the
// road's own pauses set; and the communications pane: 20000 coloured lines and the save at the limit.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "platform/Clock.h"
#include "platform/Folders.h"
#include "support/FakeInstrument.h"
#include "BenchMain.h"
#include "support/TalvaneApp.h"

namespace {

// The pauses a reply to an instant answer cannot avoid: 15 quiet pauses of 1 ms after the last
// byte, and the 5 ms pause after the command line is shown.
constexpr double kFloorMs = 15.0 + 5.0;

void BM_RoadOneCommand(benchmark::State& state) {
    testsupport::FakeInstrument instrument("COM97");
    testsupport::TalvaneApp app;
    app.Start();
    app.Main().cboTalvane->SetText(instrument.ComName());
    app.Main().Terminator = "\r\n";
    for (auto _ : state) {
        auto reply = app.Main().SendThroughDoor("ID?");
        benchmark::DoNotOptimize(reply);
        if (app.Main().reTalvane->LineCount() > 10000)
            app.Main().ClearOutgoingandIncommingWindow1Click();
    }
    state.counters["floor_ms"] = kFloorMs;
}
BENCHMARK(BM_RoadOneCommand)->Unit(benchmark::kMillisecond)->Iterations(200)->UseRealTime();

// The same pauses made alone, as this machine's sleeps really last.
void BM_RoadFloor(benchmark::State& state) {
    for (auto _ : state) {
        for (int i = 0; i < 15; ++i)
            platform::Sleep(1);
        platform::Sleep(5);
    }
}
BENCHMARK(BM_RoadFloor)->Unit(benchmark::kMillisecond)->Iterations(200)->UseRealTime();

void BM_Append20000ColouredLines(benchmark::State& state) {
    testsupport::TalvaneApp app;
    for (auto _ : state) {
        state.PauseTiming();
        app.Main().reTalvane->Clear();
        state.ResumeTiming();
        for (int i = 0; i < 20000; ++i)
            app.Main().reTalvane->AddLine("[12:34:56:789]  REPLY " + std::to_string(i), i % 2 ? ui::clGreen : ui::clBlack);
    }
}
BENCHMARK(BM_Append20000ColouredLines)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_RotationSave(benchmark::State& state) {
    testsupport::TalvaneApp app;
    for (int i = 0; i < 20000; ++i)
        app.Main().reTalvane->AddLine("[12:34:56:789]  REPLY " + std::to_string(i), ui::clGreen);
    const auto path = std::filesystem::temp_directory_path() / "talvane-bench-pane.doc";
    for (auto _ : state)
        app.Main().reTalvane->SaveToFile(path.string());
    std::filesystem::remove(path);
}
BENCHMARK(BM_RotationSave)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

int main(int argc, char** argv) { return RunBenchmarksOffscreen(argc, argv); }
