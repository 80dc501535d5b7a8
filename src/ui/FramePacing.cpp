#include "ui/FramePacing.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

#include "ui/GuiThread.h"

namespace ui {

FramePacer::FramePacer(QWidget* window) : window_(window) {
    frameEnd_.setSingleShot(true);
    frameEnd_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&frameEnd_, &QTimer::timeout, window, [this] { PaintHeldFrame(); });
}

bool FramePacer::HoldBack(const QEvent* event) {
    if (event->type() != QEvent::UpdateRequest)
        return false;
    if (frameEnd_.isActive()) {
        frameEnd_.stop();
    } else if (const int left = LeftToWait(); left > 0) {
        if (!sinceHeld_.isValid())
            sinceHeld_.start();
        frameEnd_.start(left);
        return true;
    }
    sincePaint_.start();
    sinceHeld_.invalidate();
    return false;
}

// Milliseconds until the frame may be painted: the rest of the frame since the last paint, or until the
// hand-overs have been quiet for a moment, for no longer than kMostHeldMs in all.
int FramePacer::LeftToWait() {
    constexpr qint64 kQuietUs = 1000;
    constexpr qint64 kMostHeldMs = 4;
    qint64 left = sincePaint_.isValid() ? FrameMs() - sincePaint_.elapsed() : 0;
    const qint64 sinceHandOverUs = std::chrono::duration_cast<std::chrono::microseconds>(SinceLastHandOver()).count();
    const bool heldLongEnough = sinceHeld_.isValid() && sinceHeld_.elapsed() >= kMostHeldMs;
    if (sinceHandOverUs < kQuietUs && !heldLongEnough)
        left = std::max(left, (kQuietUs - sinceHandOverUs + 999) / 1000);
    return static_cast<int>(left);
}

int FramePacer::FrameMs() const {
    const QScreen* screen = window_->screen();
    const qreal rate = screen != nullptr && screen->refreshRate() > 1 ? screen->refreshRate() : 60.0;
    return std::max(1, static_cast<int>(std::lround(1000.0 / rate)));
}

void FramePacer::PaintHeldFrame() {
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(window_, &request);
}

}  // namespace ui
