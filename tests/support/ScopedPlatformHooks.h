#pragma once
// Test stand-ins for the program's pauses and clock, restored to the real ones when they go.
#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/Clock.h"

namespace testsupport {

// Records every pause of platform::Sleep and sleeps it factor times as long (0: not at all).
class ScopedPauses {
public:
    explicit ScopedPauses(unsigned factor);
    ~ScopedPauses();
    ScopedPauses(const ScopedPauses&) = delete;
    ScopedPauses& operator=(const ScopedPauses&) = delete;

    std::size_t Count(unsigned ms) const;  // pauses asked for with this length
    std::size_t Total() const;             // all pauses
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<unsigned> pauses_;
};

// platform::Now gives this time until the object goes.
class ScopedClock {
public:
    explicit ScopedClock(const platform::LocalTime& time);
    ~ScopedClock();
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace testsupport
