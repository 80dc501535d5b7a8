#pragma once
// Pauses and local time. Every pause of the program goes through Sleep and every reading of the
// local time through Now, so that tests can shorten the one and set the other.
#include <functional>
#include <string>

namespace platform {

struct LocalTime {
    int year = 0;
    int month = 0;   // 1..12
    int day = 0;     // 1..31
    int hour = 0;    // 0..23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

LocalTime Now();

// Pauses the calling thread for ms milliseconds; 0 gives up the rest of the time slice.
void Sleep(unsigned ms);

// Sleep that ends early once stop() turns true (it is asked every 10 ms); it lasts until a deadline, so
// as long as Sleep(ms) when stop() stays false. A replacement pause takes it as one pause of ms.
void SleepUnless(unsigned ms, const std::function<bool()>& stop);

// Waits up to ms, until a deadline, in slices of at most 10 ms, each made by waitSlice(sliceMs), which
// returns true once what it waits for has come; stop (when given) is asked before each slice and ends
// the wait early. True when waitSlice did.
bool WaitInSlices(unsigned ms, const std::function<bool()>& stop, const std::function<bool(unsigned)>& waitSlice);

using SleepFunction = std::function<void(unsigned)>;
using ClockFunction = std::function<LocalTime()>;

// Replace the pause or the clock; an empty function restores the real one.
void SetSleepFunction(SleepFunction fn);
void SetClock(ClockFunction fn);
// True while a replacement pause is set. A wait that would otherwise watch a device (and so be no
// shorter for the replacement) is then made of pauses through Sleep.
bool PausesReplaced();

// "mmddyy_hhnnss": month, day, two-digit year, underscore, hour 00-23, minutes, seconds.
std::string FormatFileStamp(const LocalTime& t);

// hour:minute:second:millisecond, decimal without leading zeros (9:5:3:7).
std::string FormatTimeStamp(int hour, int minute, int second, int millisecond);

}  // namespace platform
