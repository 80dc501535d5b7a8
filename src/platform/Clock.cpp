#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

namespace platform {
namespace {

std::mutex g_hooksMutex;
SleepFunction g_sleep;
ClockFunction g_clock;

LocalTime RealNow() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    LocalTime t;
    t.year = parts.tm_year + 1900;
    t.month = parts.tm_mon + 1;
    t.day = parts.tm_mday;
    t.hour = parts.tm_hour;
    t.minute = parts.tm_min;
    t.second = parts.tm_sec;
    t.millisecond = static_cast<int>(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return t;
}

void RealSleep(unsigned ms) {
    if (ms == 0) {
        std::this_thread::yield();
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

LocalTime Now() {
    ClockFunction clock;
    {
        std::lock_guard lock(g_hooksMutex);
        clock = g_clock;
    }
    return clock ? clock() : RealNow();
}

void Sleep(unsigned ms) {
    SleepFunction sleep;
    {
        std::lock_guard lock(g_hooksMutex);
        sleep = g_sleep;
    }
    if (sleep)
        sleep(ms);
    else
        RealSleep(ms);
}

void SleepUnless(unsigned ms, const std::function<bool()>& stop) {
    if (PausesReplaced()) {
        Sleep(ms);
        return;
    }
    WaitInSlices(ms, stop, [](unsigned slice) {
        RealSleep(slice);
        return false;
    });
}

bool WaitInSlices(unsigned ms, const std::function<bool()>& stop, const std::function<bool(unsigned)>& waitSlice) {
    using namespace std::chrono;
    constexpr auto kSlice = milliseconds(10);
    const auto deadline = steady_clock::now() + milliseconds(ms);
    for (;;) {
        if (stop && stop())
            return false;
        const auto left = deadline - steady_clock::now();
        if (left <= steady_clock::duration::zero())
            return false;
        // Rounded up, so that the last slice reaches the deadline.
        const auto slice = std::min<steady_clock::duration>(left, kSlice);
        if (waitSlice(static_cast<unsigned>(ceil<milliseconds>(slice).count())))
            return true;
    }
}

void SetSleepFunction(SleepFunction fn) {
    std::lock_guard lock(g_hooksMutex);
    g_sleep = std::move(fn);
}

bool PausesReplaced() {
    std::lock_guard lock(g_hooksMutex);
    return static_cast<bool>(g_sleep);
}

void SetClock(ClockFunction fn) {
    std::lock_guard lock(g_hooksMutex);
    g_clock = std::move(fn);
}

std::string FormatFileStamp(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d%02d%02d_%02d%02d%02d", t.month % 100, t.day % 100, t.year % 100,
                  t.hour % 100, t.minute % 100, t.second % 100);
    return text;
}

std::string FormatTimeStamp(int hour, int minute, int second, int millisecond) {
    return std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second) + ":" +
           std::to_string(millisecond);
}

}  // namespace platform
