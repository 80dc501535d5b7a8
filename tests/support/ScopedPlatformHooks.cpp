#include "support/ScopedPlatformHooks.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/SerialDevice.h"
#include "serial/CommPort.h"

namespace testsupport {
namespace {

// ReadResponse and ReadBlock clear the receive time before they wait for the first byte. (At midnight
// exactly a stamp looks cleared too: a pause then only waits longer.)
bool AwaitsFirstByte(const CSerialPort& port) {
    return port.RecvHour == 0 && port.RecvMin == 0 && port.RecvSec == 0 && port.RecvMSec == 0;
}

}  // namespace

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

// Pauses of 1 ms come from the port's reads only, on the thread that holds the port.
ScopedReplyWaits::ScopedReplyWaits(CSerialPort& port, bool skipLongerPauses) {
    platform::SetSleepFunction([&port, skipLongerPauses](unsigned ms) {
        if (ms == 1 && AwaitsFirstByte(port))
            (void)platform::WaitForInput(port.hComm, kFirstBytePauseMs);
        else if (ms == 1 || !skipLongerPauses)
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        else
            std::this_thread::yield();
    });
}

ScopedReplyWaits::~ScopedReplyWaits() { platform::SetSleepFunction({}); }

ScopedClock::ScopedClock(const platform::LocalTime& time) {
    platform::SetClock([time] { return time; });
}

ScopedClock::~ScopedClock() { platform::SetClock({}); }

}  // namespace testsupport
