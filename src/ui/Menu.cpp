#include "ui/Menu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTextCursor>

#include <algorithm>

#include "ui/Control.h"
#include "ui/GuiThread.h"

namespace ui {
namespace {

bool KeyHeldInWindow(const QWidget* window, const QKeySequence& key) {
    const QList<QAction*> held = window->actions();
    return std::any_of(held.begin(), held.end(), [&](const QAction* action) { return action->shortcut() == key; });
}

}  // namespace

TMenuItem::TMenuItem(QWidget* window, const std::string& caption, const std::string& shortcut)
    : window_(window), action_(new QAction(ToQt(caption), window)) {
    action_->setShortcutVisibleInContextMenu(true);
    if (!shortcut.empty()) {
        action_->setShortcut(QKeySequence(QString::fromStdString(shortcut)));
        if (KeyHeldInWindow(window_, action_->shortcut())) {
            // The key stays with the item that took it first, so that a press is never ambiguous; this
            // item only shows it.
            action_->setShortcutContext(Qt::WidgetShortcut);
        } else {
            action_->setShortcutContext(Qt::WindowShortcut);
            window_->addAction(action_);
        }
    }
    QObject::connect(action_, &QAction::triggered, action_, [this] { Click(); });
}

TMenuItem::~TMenuItem() = default;

std::string TMenuItem::Caption() const {
    return OnGui([&] { return FromQt(action_->text()); });
}

bool TMenuItem::Checked() const {
    return OnGui([&] { return action_->isChecked(); });
}

void TMenuItem::SetChecked(bool checked) {
    OnGui([&] {
        action_->setCheckable(true);
        action_->setChecked(checked);
    });
}

bool TMenuItem::Visible() const {
    return OnGui([&] { return action_->isVisible(); });
}

void TMenuItem::SetVisible(bool visible) {
    // Qt switches off the shortcut of a hidden action, so a menu is hidden by its title only: the
    // items of an invisible menu keep their shortcuts.
    OnGui([&] { action_->setVisible(visible); });
}

bool TMenuItem::Enabled() const {
    return OnGui([&] { return action_->isEnabled(); });
}

void TMenuItem::SetEnabled(bool enabled) {
    OnGui([&] { action_->setEnabled(enabled); });
}

std::string TMenuItem::ShortCut() const {
    return OnGui([&] { return action_->shortcut().toString().toStdString(); });
}

QMenu* TMenuItem::SubMenu() {
    if (subMenu_ == nullptr) {
        subMenu_ = new QMenu(action_->text(), window_);
        action_->setMenu(subMenu_);
        QObject::connect(subMenu_, &QMenu::aboutToShow, subMenu_, [this] { UpdateEditActions(true); });
        QObject::connect(subMenu_, &QMenu::aboutToHide, subMenu_, [this] { UpdateEditActions(false); });
    }
    return subMenu_;
}

// Greyed edit actions would also lose their shortcuts, so they are greyed only while the menu is open.
void TMenuItem::UpdateEditActions(bool menuOpen) {
    for (const auto& item : items_)
        if (item->editAction_)
            item->action_->setEnabled(!menuOpen || CanRunEditAction(*item->editAction_));
}

TMenuItem* TMenuItem::AddEditAction(const std::string& caption, EditAction action, const std::string& shortcut) {
    return OnGui([&] {
        const QKeySequence keys(QString::fromStdString(shortcut));
        const QList<QAction*> registered = window_->actions();
        const bool taken = !keys.isEmpty() && std::any_of(registered.begin(), registered.end(),
                                       [&](const QAction* other) { return other->shortcut() == keys; });
        TMenuItem* item = Add(caption, taken ? "" : shortcut);
        if (taken) {
            item->action_->setShortcut(keys);  // shown; active only while the menu itself has the keys
            item->action_->setShortcutContext(Qt::WidgetShortcut);
        }
        item->editAction_ = action;
        item->OnClick = [action] { RunEditAction(action); };
        return item;
    });
}

TMenuItem* TMenuItem::Add(const std::string& caption, const std::string& shortcut) {
    return OnGui([&] {
        items_.push_back(std::make_unique<TMenuItem>(window_, caption, shortcut));
        SubMenu()->addAction(items_.back()->Action());
        return items_.back().get();
    });
}

void TMenuItem::AddSeparator() {
    OnGui([&] { SubMenu()->addSeparator(); });
}

TMenuItem* TMenuItem::Find(const std::string& caption) const {
    for (const auto& item : items_) {
        if (item->Caption() == caption)
            return item.get();
    }
    return nullptr;
}

void TMenuItem::Click() {
    OnGui([&] { Guarded(OnClick); });
}

TMainMenu::TMainMenu(QWidget* window, QMenuBar* bar) : window_(window), bar_(bar) {}

TMenuItem* TMainMenu::Add(const std::string& caption) {
    return OnGui([&] {
        items_.push_back(std::make_unique<TMenuItem>(window_, caption));
        bar_->addMenu(items_.back()->SubMenu());
        return items_.back().get();
    });
}

TMenuItem* TMainMenu::Find(const std::string& caption) const {
    for (const auto& item : items_) {
        if (item->Caption() == caption)
            return item.get();
    }
    return nullptr;
}

TPopupMenu::TPopupMenu(QWidget* window) : root_(window, "") {}

TPopupMenu::~TPopupMenu() = default;

TMenuItem* TPopupMenu::Add(const std::string& caption, const std::string& shortcut) { return root_.Add(caption, shortcut); }

void TPopupMenu::AddSeparator() { root_.AddSeparator(); }

TMenuItem* TPopupMenu::AddEditAction(const std::string& caption, EditAction action, const std::string& shortcut) {
    return root_.AddEditAction(caption, action, shortcut);
}

TMenuItem* TPopupMenu::Find(const std::string& caption) const { return root_.Find(caption); }

void TPopupMenu::Popup(const QPoint& globalPosition) {
    OnGui([&] { root_.SubMenu()->popup(globalPosition); });
}

void RunEditAction(EditAction action) {
    OnGui([&] {
        QWidget* focus = QApplication::focusWidget();
        if (auto* line = qobject_cast<QLineEdit*>(focus)) {
            switch (action) {
                case EditAction::Cut: line->cut(); break;
                case EditAction::Copy: line->copy(); break;
                case EditAction::Paste: line->paste(); break;
                case EditAction::SelectAll: line->selectAll(); break;
                case EditAction::Undo: line->undo(); break;
                case EditAction::Delete: line->del(); break;
            }
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
            switch (action) {
                case EditAction::Cut: text->cut(); break;
                case EditAction::Copy: text->copy(); break;
                case EditAction::Paste: text->paste(); break;
                case EditAction::SelectAll: text->selectAll(); break;
                case EditAction::Undo: text->undo(); break;
                case EditAction::Delete: text->textCursor().removeSelectedText(); break;
            }
        }
    });
}

bool CanRunEditAction(EditAction action) {
    return OnGui([&] {
        QWidget* focus = QApplication::focusWidget();
        const QClipboard* clipboard = QApplication::clipboard();
        const bool canPaste = clipboard != nullptr && !clipboard->text().isEmpty();
        if (auto* line = qobject_cast<QLineEdit*>(focus)) {
            const bool selected = line->hasSelectedText();
            switch (action) {
                case EditAction::Cut:
                case EditAction::Delete: return selected && !line->isReadOnly();
                case EditAction::Copy: return selected;
                case EditAction::Paste: return canPaste && !line->isReadOnly();
                case EditAction::SelectAll: return !line->text().isEmpty();
                case EditAction::Undo: return line->isUndoAvailable();
            }
        } else if (auto* text = qobject_cast<QPlainTextEdit*>(focus)) {
            const bool selected = text->textCursor().hasSelection();
            switch (action) {
                case EditAction::Cut:
                case EditAction::Delete: return selected && !text->isReadOnly();
                case EditAction::Copy: return selected;
                case EditAction::Paste: return canPaste && !text->isReadOnly();
                case EditAction::SelectAll: return !text->document()->isEmpty();
                case EditAction::Undo: return text->document()->isUndoAvailable();
            }
        }
        return false;
    });
}

}  // namespace ui
