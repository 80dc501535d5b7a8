#include "ui/TrackBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <algorithm>

#include "ui/GuiThread.h"

namespace ui {
namespace {

class SliderWidget : public QSlider {
public:
    SliderWidget(Qt::Orientation orientation, QWidget* parent, TTrackBar* owner)
        : QSlider(orientation, parent), owner_(owner) {}

protected:
    // Groove and ticks, then the selection band over the groove, then the handle over both.
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QStyleOptionSlider option;
        initStyleOption(&option);
        // The option names no parts of its own: the groove and ticks are asked for here. The style
        // fills the groove up to the handle; a track bar's groove is a plain channel in which only the
        // selection band stands out, so the groove is drawn as if the handle were at the minimum.
        option.subControls = QStyle::SC_SliderGroove;
        if (tickPosition() != QSlider::NoTicks)
            option.subControls |= QStyle::SC_SliderTickmarks;
        QStyleOptionSlider channel = option;
        channel.sliderPosition = channel.sliderValue = minimum();
        style()->drawComplexControl(QStyle::CC_Slider, &channel, &painter, this);
        PaintSelection(painter, option);
        option.subControls = QStyle::SC_SliderHandle;
        style()->drawComplexControl(QStyle::CC_Slider, &option, &painter, this);
    }

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
    // The band from SelStart to SelEnd along the groove's middle; an empty selection draws none.
    void PaintSelection(QPainter& painter, const QStyleOptionSlider& option) const {
        const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
        const QRect handle = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
        const bool horizontal = orientation() == Qt::Horizontal;
        const int handleLength = horizontal ? handle.width() : handle.height();
        const int span = (horizontal ? width() : height()) - handleLength;
        auto at = [&](int value) {
            const int clamped = std::clamp(value, minimum(), maximum());
            return QStyle::sliderPositionFromValue(minimum(), maximum(), clamped, span, option.upsideDown) +
                   handleLength / 2;
        };
        const int first = std::min(at(owner_->SelStart()), at(owner_->SelEnd()));
        const int last = std::max(at(owner_->SelStart()), at(owner_->SelEnd()));
        if (first == last)
            return;
        const int thickness = std::max(2, (horizontal ? groove.height() : groove.width()) / 2);
        const QRect band = horizontal ? QRect(first, groove.center().y() - thickness / 2, last - first, thickness)
                                      : QRect(groove.center().x() - thickness / 2, first, thickness, last - first);
        painter.fillRect(band, palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Highlight));
    }

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
int TTrackBar::SelStart() const {
    return OnGui([&] { return selStart_; });
}
void TTrackBar::SetSelStart(int value) {
    OnGui([&] {
        selStart_ = value;
        if (widget_)
            widget_->update();
    });
}
int TTrackBar::SelEnd() const {
    return OnGui([&] { return selEnd_; });
}
void TTrackBar::SetSelEnd(int value) {
    OnGui([&] {
        selEnd_ = value;
        if (widget_)
            widget_->update();
    });
}

}  // namespace ui
