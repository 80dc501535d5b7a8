#include "ui/Buttons.h"

#include <QButtonGroup>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

#include "ui/Form.h"
#include "ui/GuiThread.h"

namespace ui {
namespace {

// Enter on a focused button clicks it, as Space does, in every window; Qt does so only in dialogs.
class PushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
            (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            click();
            return;
        }
        QPushButton::keyPressEvent(event);
    }
};

void ConnectClick(QAbstractButton* button, TButton* owner) {
    QObject::connect(button, &QAbstractButton::clicked, button, [owner] { owner->Click(); });
}

// The speed buttons of one group index on one parent keep exactly one down: an exclusive button group
// of that parent's own, so that buttons of other groups or of nested panels are not drawn in.
QButtonGroup* SpeedButtonGroup(QWidget* parent, int groupIndex) {
    const QString name = QStringLiteral("speedButtonGroup%1").arg(groupIndex);
    auto* group = parent->findChild<QButtonGroup*>(name, Qt::FindDirectChildrenOnly);
    if (group == nullptr) {
        group = new QButtonGroup(parent);
        group->setObjectName(name);
        group->setExclusive(true);
    }
    return group;
}

}  // namespace

TButton::TButton(QWidget* parent, const std::string& caption) : TControl(new PushButton(ToQt(caption), parent)) {
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
    if (groupIndex != 0 && parent != nullptr)
        SpeedButtonGroup(parent, groupIndex)->addButton(Button());
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
