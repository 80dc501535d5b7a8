#include "ui/ComboBox.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include "ui/GuiThread.h"

namespace ui {
namespace {

// Qt treats Enter in the field as a choice of the item whose text was typed; the operator's choice is
// a pick from the list only, so a choice made while Enter is being handled is not passed on. The field
// takes the focus as a one-line edit does (the combo box hands its focus events on to it).
class ComboEdit : public QLineEdit {
public:
    ComboEdit(TControl* owner, bool* handlingEnter) : owner_(owner), handlingEnter_(handlingEnter) {}

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        *handlingEnter_ = enter;
        QLineEdit::keyPressEvent(event);
        *handlingEnter_ = false;
    }
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        EnterOneLineEdit(owner_, this, event);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        FocusLeft(owner_, event);
    }

private:
    TControl* owner_;
    bool* handlingEnter_;
};

}  // namespace

TComboBox::TComboBox(QWidget* parent, const std::string& text, bool editable) : TControl(new QComboBox(parent)) {
    QComboBox* combo = Combo();
    combo->setEditable(editable);
    if (editable) {
        combo->setLineEdit(new ComboEdit(this, &handlingEnter_));
        // Qt makes typed text that names an item a choice of that item when the field loses the focus
        // (closing a dialog, say); only a pick from the list is a choice.
        QObject::disconnect(combo->lineEdit(), SIGNAL(editingFinished()), combo, nullptr);
    }
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    if (editable) {
        combo->setCurrentIndex(-1);
        combo->setEditText(ToQt(text));
        QObject::connect(combo, &QComboBox::editTextChanged, combo, [this] { Guarded(OnChange); });
    }
    QObject::connect(combo, &QComboBox::activated, combo, [this](int) {
        if (!handlingEnter_)
            Guarded(OnSelect);
    });
}

QComboBox* TComboBox::Combo() const { return static_cast<QComboBox*>(widget_.data()); }

std::vector<std::string> TComboBox::Items() const {
    return OnGui([&] {
        std::vector<std::string> items;
        for (int i = 0; widget_ && i < Combo()->count(); ++i)
            items.push_back(FromQt(Combo()->itemText(i)));
        return items;
    });
}

int TComboBox::ItemCount() const {
    return OnGui([&] { return widget_ ? Combo()->count() : 0; });
}

std::string TComboBox::Item(int index) const {
    return OnGui([&] { return widget_ ? FromQt(Combo()->itemText(index)) : std::string(); });
}

void TComboBox::AddItem(const std::string& text) {
    OnGui([&] {
        if (!widget_)
            return;
        // Adding to an empty list must not select the new item, nor change the text.
        const int index = Combo()->currentIndex();
        const QString shown = Combo()->currentText();
        Combo()->addItem(ToQt(text));
        if (Combo()->currentIndex() != index) {
            Combo()->setCurrentIndex(index);
            if (Combo()->isEditable())
                Combo()->setEditText(shown);
        }
    });
}

void TComboBox::SetItem(int index, const std::string& text) {
    OnGui([&] {
        if (!widget_ || index < 0 || index >= Combo()->count())
            return;
        const QString shown = Combo()->currentText();
        Combo()->setItemText(index, ToQt(text));
        if (Combo()->isEditable())
            Combo()->setEditText(shown);
    });
}

void TComboBox::SetItems(const std::vector<std::string>& items) {
    OnGui([&] {
        ClearItems();
        for (const auto& item : items)
            AddItem(item);
    });
}

void TComboBox::ClearItems() {
    OnGui([&] {
        if (!widget_)
            return;
        const QString shown = Combo()->currentText();
        Combo()->clear();
        if (Combo()->isEditable())
            Combo()->setEditText(shown);
    });
}

void TComboBox::Clear() {
    OnGui([&] {
        if (!widget_)
            return;
        Combo()->clear();
        if (Combo()->isEditable())
            Combo()->setEditText(QString());
    });
}

int TComboBox::ItemIndex() const {
    return OnGui([&] { return widget_ ? Combo()->currentIndex() : -1; });
}

void TComboBox::SetItemIndex(int index) {
    OnGui([&] {
        if (!widget_)
            return;
        if (index < -1 || index >= Combo()->count())
            index = -1;
        Combo()->setCurrentIndex(index);
        if (index < 0 && Combo()->isEditable())
            Combo()->setEditText(QString());
    });
}

std::string TComboBox::Text() const {
    return OnGui([&] { return widget_ ? FromQt(Combo()->currentText()) : std::string(); });
}

void TComboBox::SetText(const std::string& text) {
    OnGui([&] {
        if (!widget_)
            return;
        if (Combo()->isEditable()) {
            Combo()->setEditText(ToQt(text));
            return;
        }
        const int found = Combo()->findText(ToQt(text), Qt::MatchExactly);
        if (found >= 0)
            Combo()->setCurrentIndex(found);
    });
}

}  // namespace ui
