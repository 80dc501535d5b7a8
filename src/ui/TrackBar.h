#pragma once
// A track bar. OnChange runs for every position change, from the operator or from code, and once more
// when the operator lets go (mouse or key release), repeating the final position.
#include "ui/Control.h"

class QSlider;

namespace ui {

class TTrackBar : public TControl {
public:
    explicit TTrackBar(QWidget* parent, bool vertical = false);

    int Min() const;
    void SetMin(int value);
    int Max() const;
    void SetMax(int value);
    int Position() const;
    void SetPosition(int value);
    // The selection band, drawn along the channel from SelStart to SelEnd (either may be the larger).
    int SelStart() const;
    void SetSelStart(int value);
    int SelEnd() const;
    void SetSelEnd(int value);

    TNotifyEvent OnChange;

    QSlider* Slider() const;

private:
    int selStart_ = 0;
    int selEnd_ = 0;
};

}  // namespace ui
