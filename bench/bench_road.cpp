// The send road's cost: one command to an instrument that answers at once, beside the floor that the
// road's own pauses set, made in the same run; and the communications pane: 20000 coloured lines and
// the save at the limit.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/Clock.h"
#include "platform/Folders.h"
#include "support/FakeInstrument.h"
#include "BenchMain.h"
#include "support/TalvaneApp.h"

namespace {

// The pauses a reply to an instant answer cannot avoid: 15 quiet pauses of 1 ms after the last
// byte, and the 5 ms pause after the command line is shown.
void MakeRoadPauses() {
    for (int i = 0; i < 15; ++i)
        platform::Sleep(1);
    platform::Sleep(5);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Each command is timed alone, and beside it the road's pauses made alone, in turn, so that both
// meet the same load of the machine; the counters give the medians and the road's time above its
// pauses.
void BM_RoadOneCommand(benchmark::State& state) {
    testsupport::FakeInstrument instrument("COM97");
    testsupport::TalvaneApp app;
    app.Start();
    app.Main().cboTalvane->SetText(instrument.ComName());
    app.Main().Terminator = "\r\n";
    std::vector<double> roadMs;
    std::vector<double> pausesMs;
    const auto timeMs = [](const auto& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    for (auto _ : state) {
        roadMs.push_back(timeMs([&] { benchmark::DoNotOptimize(app.Main().SendThroughDoor("ID?")); }));
        state.PauseTiming();
        pausesMs.push_back(timeMs(MakeRoadPauses));
        if (app.Main().reTalvane->LineCount() > 10000)
            app.Main().ClearOutgoingandIncommingWindow1Click();
        state.ResumeTiming();
    }
    state.counters["road_median_ms"] = Median(roadMs);
    state.counters["pauses_median_ms"] = Median(pausesMs);
    state.counters["above_pauses_median_ms"] = Median(roadMs) - Median(pausesMs);
}
BENCHMARK(BM_RoadOneCommand)->Unit(benchmark::kMillisecond)->Iterations(200)->UseRealTime();

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
