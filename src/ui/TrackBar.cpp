#include "ui/TrackBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QSlider>

#include "ui/GuiThread.h"

namespace ui {
namespace {

class SliderWidget : public QSlider {
public:
    SliderWidget(Qt::Orientation orientation, QWidget* parent, TTrackBar* owner)
        : QSlider(orientation, parent), owner_(owner) {}

protected:
    // A click in the channel and a wheel turn end with the closing notification too; the end of a
    // handle drag has its own (sliderReleased).
    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool handleDrag = isSliderDown();
        QSlider::mouseReleaseEvent(event);
        if (!handleDrag)
            Guarded(owner_->OnChange);
    }
    void wheelEvent(QWheelEvent* event) override {
        QSlider::wheelEvent(event);
        Guarded(owner_->OnChange);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        QSlider::keyReleaseEvent(event);
        if (!event->isAutoRepeat() && IsScrollKey(event->key()))
            Guarded(owner_->OnChange);
    }

private:
    static bool IsScrollKey(int key) {
        return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down ||
               key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End;
    }
    TTrackBar* owner_;
};

}  // namespace

TTrackBar::TTrackBar(QWidget* parent, bool vertical)
    : TControl(new SliderWidget(vertical ? Qt::Vertical : Qt::Horizontal, parent, this)) {
    Slider()->setTickPosition(QSlider::TicksBelow);
    QObject::connect(Slider(), &QSlider::valueChanged, Slider(), [this](int) { Guarded(OnChange); });
    QObject::connect(Slider(), &QSlider::sliderReleased, Slider(), [this] { Guarded(OnChange); });
}

QSlider* TTrackBar::Slider() const { return static_cast<QSlider*>(widget_.data()); }

int TTrackBar::Min() const {
    return OnGui([&] { return widget_ ? Slider()->minimum() : 0; });
}
void TTrackBar::SetMin(int value) {
    OnGui([&] {
        if (widget_)
            Slider()->setMinimum(value);
    });
}
int TTrackBar::Max() const {
    return OnGui([&] { return widget_ ? Slider()->maximum() : 0; });
}
void TTrackBar::SetMax(int value) {
    OnGui([&] {
        if (widget_)
            Slider()->setMaximum(value);
    });
}
int TTrackBar::Position() const {
    return OnGui([&] { return widget_ ? Slider()->value() : 0; });
}
void TTrackBar::SetPosition(int value) {
    OnGui([&] {
        if (widget_)
            Slider()->setValue(value);
    });
}
void TTrackBar::SetSelStart(int value) { selStart_ = value; }
void TTrackBar::SetSelEnd(int value) { selEnd_ = value; }

}  // namespace ui
