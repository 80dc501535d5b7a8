#pragma once
// Check boxes and radio buttons. Setting Checked from code runs OnClick exactly when the state
// changes; an operator's click runs it when the click changed the state.
#include <string>

#include "ui/Control.h"

class QAbstractButton;

namespace ui {

class TToggle : public TControl {
public:
    bool Checked() const;
    void SetChecked(bool checked);
    std::string Caption() const;
    void SetCaption(const std::string& caption);

protected:
    explicit TToggle(QAbstractButton* button);
    QAbstractButton* Button() const;

private:
    bool lastState_ = false;
};

class TCheckBox : public TToggle {
public:
    TCheckBox(QWidget* parent, const std::string& caption);
};

// Radio buttons with the same parent widget exclude each other.
class TRadioButton : public TToggle {
public:
    TRadioButton(QWidget* parent, const std::string& caption);
};

}  // namespace ui
