#pragma once
// Push buttons and speed buttons. Click() presses the button from code, running its OnClick.
#include <string>

#include "ui/Control.h"

class QAbstractButton;

namespace ui {

class TButton : public TControl {
public:
    TButton(QWidget* parent, const std::string& caption);

    std::string Caption() const;
    void SetCaption(const std::string& caption);
    void Click();
    // The modal result the button gives its form when pressed (0: none).
    int ModalResult = 0;
    // Pressed by Enter / Escape anywhere in its form.
    bool Default = false;
    bool Cancel = false;

protected:
    QAbstractButton* Button() const;
};

// A flat button that can stay down; buttons of one group index within one parent keep one down.
class TSpeedButton : public TButton {
public:
    TSpeedButton(QWidget* parent, const std::string& caption, int groupIndex = 0);

    bool Down() const;
    void SetDown(bool down);
    void SetFontSize(int points);
    int GroupIndex() const { return groupIndex_; }

private:
    int groupIndex_;
};

}  // namespace ui
