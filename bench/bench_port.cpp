// The port object's costs: one command exchange with an instrument that answers at once, beside
// the floor its 15 silence pauses set; and the CPU cost of one input-queue poll.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/Clock.h"
#include "serial/CommPort.h"
#include "support/FakeInstrument.h"

namespace {

struct OpenPort {
    testsupport::FakeInstrument fake{"COM3"};
    CSerialPort port;
    OpenPort() {
        if (!port.OpenPort("COM3") || !port.ConfigurePortFast("9600"))
            throw std::runtime_error("the fake instrument's port does not open");
    }
};

void BM_Exchange(benchmark::State& state) {
    OpenPort line;
    std::string reply, stamp;
    std::int64_t bytes = 0;
    for (auto _ : state) {
        line.port.PurgeRxBuffer();
        line.port.WriteCommand("*IDN?", "\r\n");
        bytes += line.port.ReadResponse(reply, stamp);
    }
    if (bytes != 4 * static_cast<std::int64_t>(state.iterations()))
        state.SkipWithError("a reply was not \"OK\" CR LF");
}
BENCHMARK(BM_Exchange)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// What no exchange can beat: the 15 pauses of 1 ms that prove the line silent.
void BM_SilenceFloor(benchmark::State& state) {
    for (auto _ : state)
        for (int pause = 0; pause < 15; ++pause)
            platform::Sleep(1);
}
BENCHMARK(BM_SilenceFloor)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_IsRxQueueEmpty(benchmark::State& state) {
    OpenPort line;
    for (auto _ : state)
        benchmark::DoNotOptimize(line.port.IsRxQueueEmpty());
}
BENCHMARK(BM_IsRxQueueEmpty)->Unit(benchmark::kNanosecond);

}  // namespace

// The fake instrument links its port in a data folder of its own, never the user's.
int main(int argc, char** argv) {
    char pattern[] = "/tmp/talvane-bench-XXXXXX";
    const char* dataHome = mkdtemp(pattern);
    if (dataHome == nullptr)
        return 1;
    setenv("XDG_DATA_HOME", dataHome, 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(dataHome, ignored);
    return 0;
}
