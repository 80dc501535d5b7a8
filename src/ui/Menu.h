#pragma once
// Main and pop-up menus. Items carry captions, shortcuts ("Ctrl+W", "F1"), check marks, and may be
// hidden; the shortcut of an item works while its form is active even when the item or its whole
// menu is invisible.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/Events.h"

class QAction;
class QMenu;
class QMenuBar;
class QPoint;
class QWidget;

namespace ui {

// The standard edit actions, applied to the focused edit of the application.
enum class EditAction { Cut, Copy, Paste, SelectAll, Undo, Delete };
void RunEditAction(EditAction action);
// Whether the action would do something in the focused edit (a selection to cut or copy, text to
// paste into an edit that takes it, ...).
bool CanRunEditAction(EditAction action);

class TMenuItem {
public:
    // window: the form's window, where the item's shortcut is registered.
    TMenuItem(QWidget* window, const std::string& caption, const std::string& shortcut = "");
    ~TMenuItem();
    TMenuItem(const TMenuItem&) = delete;
    TMenuItem& operator=(const TMenuItem&) = delete;

    std::string Caption() const;
    bool Checked() const;
    void SetChecked(bool checked);
    bool Visible() const;
    void SetVisible(bool visible);
    bool Enabled() const;
    void SetEnabled(bool enabled);
    std::string ShortCut() const;

    // Adds a sub-item (this item becomes a sub-menu).
    TMenuItem* Add(const std::string& caption, const std::string& shortcut = "");
    // Adds a sub-item that runs a standard edit action and shows its shortcut. The shortcut is
    // registered in the window unless another item of the window has it already (then that item
    // serves the key). While the menu is open the item is greyed when the action cannot act.
    TMenuItem* AddEditAction(const std::string& caption, EditAction action, const std::string& shortcut);
    void AddSeparator();
    const std::vector<std::unique_ptr<TMenuItem>>& Items() const { return items_; }
    // Finds a direct sub-item by caption, nullptr when absent.
    TMenuItem* Find(const std::string& caption) const;

    // Runs OnClick as a choice of the item would.
    void Click();
    TNotifyEvent OnClick;

    QAction* Action() const { return action_; }
    QMenu* SubMenu();

private:
    void UpdateEditActions(bool menuOpen);

    QWidget* window_;
    QAction* action_;
    QMenu* subMenu_ = nullptr;
    std::optional<EditAction> editAction_;
    std::vector<std::unique_ptr<TMenuItem>> items_;
};

// The menu bar of a form.
class TMainMenu {
public:
    TMainMenu(QWidget* window, QMenuBar* bar);
    TMenuItem* Add(const std::string& caption);
    TMenuItem* Find(const std::string& caption) const;

private:
    QWidget* window_;
    QMenuBar* bar_;
    std::vector<std::unique_ptr<TMenuItem>> items_;
};

class TPopupMenu {
public:
    explicit TPopupMenu(QWidget* window);
    ~TPopupMenu();
    TMenuItem* Add(const std::string& caption, const std::string& shortcut = "");
    TMenuItem* AddEditAction(const std::string& caption, EditAction action, const std::string& shortcut);
    void AddSeparator();
    TMenuItem* Find(const std::string& caption) const;
    void Popup(const QPoint& globalPosition);

private:
    TMenuItem root_;
};

}  // namespace ui
