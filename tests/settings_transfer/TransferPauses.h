#pragma once
// The settings window's pacing pauses (20 ms a line, 50 ms before a set command, 500 ms at the end)
// are recorded and skipped; the 1 ms polls of the port's reads stay real, so every exchange is a real
// one, unless quick polls are asked for where a test only waits for silence, or stretched ones. A hook may run at each
// pause of a given length, on the thread that pauses (the GUI thread for the window's pauses).
#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "ui/GuiThread.h"

namespace transfertest {

class TransferPauses {
public:
    static constexpr unsigned kShortestPacing = 20;

    explicit TransferPauses(bool quickPolls = false) : quickPolls_(quickPolls) {
        platform::SetSleepFunction([this](unsigned ms) { Pause(ms); });
    }
    ~TransferPauses() { platform::SetSleepFunction({}); }
    TransferPauses(const TransferPauses&) = delete;
    TransferPauses& operator=(const TransferPauses&) = delete;

    // Pauses of this length made on the GUI thread.
    std::size_t Count(unsigned ms) const {
        std::lock_guard lock(mutex_);
        return static_cast<std::size_t>(std::count(guiPauses_.begin(), guiPauses_.end(), ms));
    }
    // The GUI thread's pacing pauses, in order.
    std::vector<unsigned> Pacing() const {
        std::lock_guard lock(mutex_);
        std::vector<unsigned> pacing;
        std::copy_if(guiPauses_.begin(), guiPauses_.end(), std::back_inserter(pacing),
                     [](unsigned ms) { return ms >= kShortestPacing; });
        return pacing;
    }
    void OnPause(unsigned ms, std::function<void()> hook) {
        std::lock_guard lock(mutex_);
        hooks_[ms] = std::move(hook);
    }
    void SetQuickPolls(bool quick) {
        std::lock_guard lock(mutex_);
        quickPolls_ = quick;
    }
    // The polls last factor times as long: a pseudo-terminal hands on a reply longer than its line
    // queue (4095 bytes) in pieces, and on a busy machine the pause between them may outlast 1 ms polls.
    void StretchPolls(unsigned factor) {
        std::lock_guard lock(mutex_);
        pollStretch_ = factor;
    }

private:
    void Pause(unsigned ms) {
        std::function<void()> hook;
        bool quick = false;
        unsigned stretch = 1;
        {
            std::lock_guard lock(mutex_);
            if (ui::IsGuiThread())
                guiPauses_.push_back(ms);
            if (const auto found = hooks_.find(ms); found != hooks_.end() && ui::IsGuiThread())
                hook = found->second;
            quick = quickPolls_;
            stretch = pollStretch_;
        }
        if (hook)
            hook();
        if (ms >= kShortestPacing)
            return;
        if (quick)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(ms * stretch));
    }

    mutable std::mutex mutex_;
    std::vector<unsigned> guiPauses_;
    std::map<unsigned, std::function<void()>> hooks_;
    bool quickPolls_;
    unsigned pollStretch_ = 1;
};

}  // namespace transfertest
