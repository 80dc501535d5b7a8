#include "ui/FramePacing.h"

#include <QCoreApplication>
#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cmath>

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
    } else if (sincePaint_.isValid()) {
        const qint64 left = FrameMs() - sincePaint_.elapsed();
        if (left > 0) {
            frameEnd_.start(static_cast<int>(left));
            return true;
        }
    }
    sincePaint_.start();
    return false;
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
