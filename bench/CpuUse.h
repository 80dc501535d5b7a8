#pragma once
// CPU time of the program in a benchmark process: the whole process less the fake instrument's
// thread, which stands in for a device outside the program.
#include <dirent.h>
#include <sys/resource.h>

#include <fstream>
#include <string>

#include "support/FakeInstrument.h"

inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// CPU time of the threads of that name still running (from /proc/self/task/*/schedstat).
inline double ThreadsCpuSeconds(const std::string& threadName) {
    double seconds = 0;
    DIR* tasks = opendir("/proc/self/task");
    if (tasks == nullptr)
        return 0;
    while (const dirent* entry = readdir(tasks)) {
        const std::string task = std::string("/proc/self/task/") + entry->d_name;
        std::string name;
        if (entry->d_name[0] == '.' || !std::getline(std::ifstream(task + "/comm"), name) || name != threadName)
            continue;
        double runNs = 0;  // the first field: time on the CPU in nanoseconds
        if (std::ifstream(task + "/schedstat") >> runNs)
            seconds += runNs / 1e9;
    }
    closedir(tasks);
    return seconds;
}

inline double ProgramCpuSeconds() {
    return ProcessCpuSeconds() - ThreadsCpuSeconds(testsupport::FakeInstrument::kThreadName);
}
