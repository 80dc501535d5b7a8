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

// An edit with a caption label of its own (placed above or to the left by the form).
class TLabeledEdit : public TEdit {
public:
    TLabeledEdit(QWidget* parent, const std::string& caption, const std::string& text = "");

    std::string LabelCaption() const;
    void SetLabelCaption(const std::string& caption);
    QLabel* Label() const { return label_; }

private:
    QLabel* label_;
};


}  // namespace ui
