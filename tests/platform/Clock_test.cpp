// Pauses: one that an ending may cut short lasts, when nothing does, what a plain one lasts.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>

#include "platform/Clock.h"

namespace {

using Milliseconds = std::chrono::duration<double, std::milli>;

// The shortest of three runs: the one least delayed by other work on the machine.
Milliseconds Shortest(const std::function<void()>& pause) {
    Milliseconds shortest = Milliseconds::max();
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        pause();
        shortest = std::min<Milliseconds>(shortest, std::chrono::steady_clock::now() - start);
    }
    return shortest;
}

// Made of slices that each add a little, it would last a few milliseconds longer.
TEST(Pauses, APauseThatMayEndEarlyLastsWhatAPlainPauseLasts) {
    const Milliseconds plain = Shortest([] { platform::Sleep(500); });
    const Milliseconds unlessStopped = Shortest([] { platform::SleepUnless(500, [] { return false; }); });
    EXPECT_LT(unlessStopped / plain, 1.005) << unlessStopped.count() << " ms against " << plain.count() << " ms";
}

}  // namespace
