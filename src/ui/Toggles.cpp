#include "ui/Toggles.h"

#include <QCheckBox>
#include <QRadioButton>

#include "ui/GuiThread.h"

namespace ui {

TToggle::TToggle(QAbstractButton* button) : TControl(button) {
    captionOnlyFontColor_ = true;
    // A check box clicks on every change of state, a radio button when it becomes checked.
    QObject::connect(button, &QAbstractButton::toggled, button, [this](bool state) {
        if (settingFromCode_ || (radio_ && !state))
            return;
        Guarded(OnClick);
    });
}

QAbstractButton* TToggle::Button() const { return static_cast<QAbstractButton*>(widget_.data()); }

bool TToggle::Checked() const {
    return OnGui([&] { return widget_ && Button()->isChecked(); });
}

void TToggle::SetChecked(bool checked) {
    OnGui([&] {
        if (!widget_ || Button()->isChecked() == checked)
            return;
        settingFromCode_ = true;
        Button()->setChecked(checked);
        settingFromCode_ = false;
        if (Button()->isChecked() == checked && (!radio_ || checked))
            Guarded(OnClick);
    });
}

std::string TToggle::Caption() const {
    return OnGui([&] { return widget_ ? FromQt(Button()->text()) : std::string(); });
}

void TToggle::SetCaption(const std::string& caption) {
    OnGui([&] {
        if (widget_)
            Button()->setText(ToQt(caption));
    });
}

TCheckBox::TCheckBox(QWidget* parent, const std::string& caption) : TToggle(new QCheckBox(ToQt(caption), parent)) {}

TRadioButton::TRadioButton(QWidget* parent, const std::string& caption)
    : TToggle(new QRadioButton(ToQt(caption), parent)) {
    radio_ = true;
}

}  // namespace ui
