#include "ui/Toggles.h"

#include <QCheckBox>
#include <QRadioButton>

#include "ui/GuiThread.h"

namespace ui {

TToggle::TToggle(QAbstractButton* button) : TControl(button) {
    QObject::connect(button, &QAbstractButton::clicked, button, [this] {
        const bool state = Button()->isChecked();
        if (state == lastState_)
            return;
        lastState_ = state;
        Guarded(OnClick);
    });
    // Radio siblings are unchecked by Qt itself when another one is checked.
    QObject::connect(button, &QAbstractButton::toggled, button, [this](bool state) {
        if (!state)
            lastState_ = false;
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
        Button()->setChecked(checked);
        lastState_ = Button()->isChecked();
        if (lastState_ == checked)
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
    : TToggle(new QRadioButton(ToQt(caption), parent)) {}

}  // namespace ui
