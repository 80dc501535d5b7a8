#pragma once
// The entry of a benchmark program that opens windows: offscreen, with a data folder of its own.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "support/OffscreenProcess.h"

inline int RunBenchmarksOffscreen(int argc, char** argv) {
    testsupport::OffscreenProcess process("talvane-bench");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
