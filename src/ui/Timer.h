#pragma once
// A timer whose OnTimer runs on the GUI thread every Interval milliseconds while it is enabled.
#include <memory>

#include "ui/Events.h"

class QTimer;

namespace ui {

class TTimer {
public:
    explicit TTimer(int intervalMs = 1000, bool enabled = false);
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    int Interval() const;
    void SetInterval(int ms);
    bool Enabled() const;
    void SetEnabled(bool enabled);

    TNotifyEvent OnTimer;

private:
    std::unique_ptr<QTimer> timer_;
    bool enabled_ = false;
};

}  // namespace ui
