#pragma once
// One-line edits. Setting Text from code fires OnChange, as typing does. Keys reach OnKeyDown (virtual
// codes), then OnKeyPress (the character, 13 for Enter; setting it to 0 swallows the key), then OnKeyUp.
#include <string>

#include "ui/Control.h"

class QLabel;
class QLineEdit;

namespace ui {

class TEdit : public TControl {
public:
    explicit TEdit(QWidget* parent, const std::string& text = "");

    std::string Text() const;
    void SetText(const std::string& text);
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    void SelectAll();
    std::string SelText() const;

    TNotifyEvent OnChange;
    TKeyPressEvent OnKeyPress;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;

    QLineEdit* LineEdit() const;
};

// An edit with a caption label of its own, which follows the edit: above it, or on its left.
class TLabeledEdit : public TEdit {
public:
    enum class LabelPosition { Above, Left };

    TLabeledEdit(QWidget* parent, const std::string& caption, const std::string& text = "");

    std::string LabelCaption() const;
    void SetLabelCaption(const std::string& caption);
    QLabel* Label() const { return label_; }
    void SetLabelPosition(LabelPosition position);
    void SetBounds(int left, int top, int width, int height) override;

private:
    void PlaceLabel();
    QLabel* label_;
    LabelPosition position_ = LabelPosition::Above;
};


}  // namespace ui
