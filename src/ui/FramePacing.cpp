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
        frameEnd_.start(left);
        return true;
    }
    sincePaint_.start();
    waitedForQuiet_.invalidate();
    return false;
}

// Milliseconds until the frame may be painted: the rest of the frame since the last paint; then, until
// the hand-overs have been quiet for a moment, but no more once kMostQuietWaitMs have passed since the
// frame was first found due.
int FramePacer::LeftToWait() {
    constexpr qint64 kQuietUs = 1000;
    constexpr qint64 kMostQuietWaitMs = 4;
    if (sincePaint_.isValid()) {
        const qint64 frameLeft = FrameMs() - sincePaint_.elapsed();
        if (frameLeft > 0)
            return static_cast<int>(frameLeft);
    }
    const qint64 sinceHandOverUs = std::chrono::duration_cast<std::chrono::microseconds>(SinceLastHandOver()).count();
    if (sinceHandOverUs >= kQuietUs)
        return 0;
    if (!waitedForQuiet_.isValid())
        waitedForQuiet_.start();
    if (waitedForQuiet_.elapsed() >= kMostQuietWaitMs)
        return 0;
    return static_cast<int>((kQuietUs - sinceHandOverUs + 999) / 1000);
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
