#include "ui/Buttons.h"

#include <QPushButton>
#include <QToolButton>

#include "ui/Form.h"
#include "ui/GuiThread.h"

namespace ui {
namespace {

void ConnectClick(QAbstractButton* button, TButton* owner) {
    QObject::connect(button, &QAbstractButton::clicked, button, [owner] { owner->Click(); });
}

}  // namespace

TButton::TButton(QWidget* parent, const std::string& caption) : TControl(new QPushButton(ToQt(caption), parent)) {
    ConnectClick(Button(), this);
}

QAbstractButton* TButton::Button() const { return static_cast<QAbstractButton*>(widget_.data()); }

std::string TButton::Caption() const {
    return OnGui([&] { return widget_ ? FromQt(Button()->text()) : std::string(); });
}

void TButton::SetCaption(const std::string& caption) {
    OnGui([&] {
        if (widget_)
            Button()->setText(ToQt(caption));
    });
}

void TButton::Click() {
    OnGui([&] {
        if (!widget_ || !widget_->isEnabled())
            return;
        if (ModalResult != 0) {
            if (TForm* form = TForm::FormOf(widget_))
                form->SetModalResult(ModalResult);
        }
        Guarded(OnClick);
    });
}

TSpeedButton::TSpeedButton(QWidget* parent, const std::string& caption, int groupIndex)
    : TButton(parent, caption), groupIndex_(groupIndex) {
    Button()->setCheckable(groupIndex != 0);
    if (groupIndex != 0)
        Button()->setAutoExclusive(true);
}

bool TSpeedButton::Down() const {
    return OnGui([&] { return widget_ && Button()->isChecked(); });
}

void TSpeedButton::SetDown(bool down) {
    OnGui([&] {
        if (widget_ && Button()->isCheckable())
            Button()->setChecked(down);
    });
}

void TSpeedButton::SetFontSize(int points) {
    OnGui([&] {
        if (!widget_)
            return;
        QFont font = widget_->font();
        font.setPointSize(points);
        widget_->setFont(font);
    });
}

}  // namespace ui
