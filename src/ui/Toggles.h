#pragma once
// Check boxes and radio buttons. A check box runs OnClick at every change of its state, from code or
// from a click; a radio button when it becomes checked.
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

    bool radio_ = false;

private:
    bool settingFromCode_ = false;
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
