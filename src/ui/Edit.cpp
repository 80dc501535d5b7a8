#include "ui/Edit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

#include "ui/Backdrop.h"
#include "ui/CachedStyle.h"
#include "ui/GuiThread.h"
#include "ui/KeyInput.h"
#include "ui/TextSizeWatch.h"

namespace ui {
namespace {

class EditWidget : public QLineEdit {
public:
    EditWidget(QWidget* parent, TEdit* owner) : QLineEdit(parent), owner_(owner) {
        MakeOpaqueOverBackdrop(this);
        setStyle(CachedStyle());
        // Commands are 8-bit Latin, which needs no shaping; the command line is laid out again with
        // each command it shows, and once more to paint it selected.
        QFont withoutShaping;
        withoutShaping.setStyleStrategy(QFont::PreferNoShaping);
        setFont(withoutShaping);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (DeliverKeyDown(event, owner_->OnKeyDown, owner_->OnKeyPress))
            QLineEdit::keyPressEvent(event);
    }
    void keyReleaseEvent(QKeyEvent* event) override {
        DeliverKeyUp(event, owner_->OnKeyUp);
        QLineEdit::keyReleaseEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        EnterOneLineEdit(owner_, this, event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        FocusLeft(owner_, event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLineEdit::mouseReleaseEvent(event);
        Guarded(owner_->OnClick);
    }

private:
    TEdit* owner_;
};

}  // namespace

TEdit::TEdit(QWidget* parent, const std::string& text) : TControl(new EditWidget(parent, this)) {
    LineEdit()->setText(ToQt(text));
    QObject::connect(LineEdit(), &QLineEdit::textChanged, LineEdit(), [this] { Guarded(OnChange); });
}

QLineEdit* TEdit::LineEdit() const { return static_cast<QLineEdit*>(widget_.data()); }

std::string TEdit::Text() const {
    return OnGui([&] { return widget_ ? FromQt(LineEdit()->text()) : std::string(); });
}

void TEdit::SetText(const std::string& text) {
    OnGui([&] {
        if (!widget_)
            return;
        const QString value = ToQt(text);
        if (LineEdit()->text() == value)
            return;
        LineEdit()->setText(value);
    });
}

bool TEdit::ReadOnly() const {
    return OnGui([&] { return widget_ && LineEdit()->isReadOnly(); });
}

void TEdit::SetReadOnly(bool readOnly) {
    OnGui([&] {
        if (widget_)
            LineEdit()->setReadOnly(readOnly);
    });
}

void TEdit::SelectAll() {
    OnGui([&] {
        if (widget_)
            LineEdit()->selectAll();
    });
}

std::string TEdit::SelText() const {
    return OnGui([&] { return widget_ ? FromQt(LineEdit()->selectedText()) : std::string(); });
}

TLabeledEdit::TLabeledEdit(QWidget* parent, const std::string& caption, const std::string& text)
    : TEdit(parent, text), label_(new QLabel(ToQt(caption), parent)) {
    label_->setBuddy(Widget());
    WatchTextSize(label_, [this] { PlaceLabel(); });
}

std::string TLabeledEdit::LabelCaption() const {
    return OnGui([&] { return FromQt(label_->text()); });
}

void TLabeledEdit::SetLabelCaption(const std::string& caption) {
    OnGui([&] {
        label_->setText(ToQt(caption));
        PlaceLabel();
    });
}

void TLabeledEdit::SetLabelPosition(LabelPosition position) {
    OnGui([&] {
        position_ = position;
        PlaceLabel();
    });
}

void TLabeledEdit::SetBounds(int left, int top, int width, int height) {
    TEdit::SetBounds(left, top, width, height);
    OnGui([&] { PlaceLabel(); });
}

// The class library's spacing: 3 pixels between the label and its edit.
void TLabeledEdit::PlaceLabel() {
    if (!widget_)
        return;
    constexpr int kSpacing = 3;
    label_->adjustSize();
    const QRect edit = widget_->geometry();
    if (position_ == LabelPosition::Above)
        label_->move(edit.left(), edit.top() - label_->height() - kSpacing);
    else
        label_->move(edit.left() - label_->width() - kSpacing, edit.top() + (edit.height() - label_->height()) / 2);
}

}  // namespace ui
