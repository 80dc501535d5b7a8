#pragma once
// Test stand-ins for the program's pauses and clock, restored to the real ones when they go.
#include <cstddef>
#include <mutex>
#include <vector>

#include "platform/Clock.h"

class CSerialPort;

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

// For an instrument that answers every command. On a busy machine a reply can reach the port after the
// first-byte wait (100 pauses of 1 ms) has ended; here each pause of that wait (the port's receive
// time stays cleared until a byte comes) lasts until a byte is there, at most kFirstBytePauseMs, which
// only bounds a reply that never comes. The other pauses of 1 ms are real; longer ones are real, or
// skipped with skipLongerPauses.
class ScopedReplyWaits {
public:
    static constexpr unsigned kFirstBytePauseMs = 200;

    explicit ScopedReplyWaits(CSerialPort& port, bool skipLongerPauses = false);
    ~ScopedReplyWaits();
    ScopedReplyWaits(const ScopedReplyWaits&) = delete;
    ScopedReplyWaits& operator=(const ScopedReplyWaits&) = delete;
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
