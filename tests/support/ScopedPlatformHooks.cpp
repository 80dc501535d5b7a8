#include "support/ScopedPlatformHooks.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace testsupport {

ScopedPauses::ScopedPauses(unsigned factor) {
    platform::SetSleepFunction([this, factor](unsigned ms) {
        {
            std::lock_guard lock(mutex_);
            pauses_.push_back(ms);
        }
        if (factor > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms) * factor);
        else
            std::this_thread::yield();
    });
}

ScopedPauses::~ScopedPauses() { platform::SetSleepFunction({}); }

std::size_t ScopedPauses::Count(unsigned ms) const {
    std::lock_guard lock(mutex_);
    return static_cast<std::size_t>(std::count(pauses_.begin(), pauses_.end(), ms));
}

std::size_t ScopedPauses::Total() const {
    std::lock_guard lock(mutex_);
    return pauses_.size();
}

void ScopedPauses::Clear() {
    std::lock_guard lock(mutex_);
    pauses_.clear();
}

ScopedClock::ScopedClock(const platform::LocalTime& time) {
    platform::SetClock([time] { return time; });
}

ScopedClock::~ScopedClock() { platform::SetClock({}); }

}  // namespace testsupport
