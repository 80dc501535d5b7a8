#include "ui/Timer.h"

#include <QTimer>

#include "ui/GuiThread.h"

namespace ui {

TTimer::TTimer(int intervalMs, bool enabled) : timer_(std::make_unique<QTimer>()) {
    timer_->setInterval(intervalMs);
    QObject::connect(timer_.get(), &QTimer::timeout, timer_.get(), [this] { Guarded(OnTimer); });
    SetEnabled(enabled);
}

TTimer::~TTimer() = default;

int TTimer::Interval() const {
    return OnGui([&] { return timer_->interval(); });
}

void TTimer::SetInterval(int ms) {
    OnGui([&] { timer_->setInterval(ms); });
}

bool TTimer::Enabled() const {
    return OnGui([&] { return enabled_; });
}

void TTimer::SetEnabled(bool enabled) {
    OnGui([&] {
        enabled_ = enabled;
        if (enabled)
            timer_->start();
        else
            timer_->stop();
    });
}

}  // namespace ui
