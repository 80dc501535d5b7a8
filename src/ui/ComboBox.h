#pragma once
// A combo box with an edit field. Setting ItemIndex from code runs no handler; OnSelect runs for the
// operator's choice of an item only.
#include <string>
#include <vector>

#include "ui/Control.h"

class QComboBox;

namespace ui {

class TComboBox : public TControl {
public:
    // editable: the operator may type into the field (the class library's drop-down style).
    TComboBox(QWidget* parent, const std::string& text = "", bool editable = true);

    std::vector<std::string> Items() const;
    int ItemCount() const;
    std::string Item(int index) const;
    void AddItem(const std::string& text);
    void SetItem(int index, const std::string& text);
    void SetItems(const std::vector<std::string>& items);
    void ClearItems();
    // Empties the list and the text.
    void Clear();

    int ItemIndex() const;
    void SetItemIndex(int index);  // -1 selects nothing and empties the text
    std::string Text() const;
    void SetText(const std::string& text);

    TNotifyEvent OnSelect;
    TNotifyEvent OnChange;

    QComboBox* Combo() const;

private:
    bool handlingEnter_ = false;
};

}  // namespace ui
