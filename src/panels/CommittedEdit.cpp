#include "panels/CommittedEdit.h"

#include <QCoreApplication>

#include <string>
#include <utility>

#include "panels/PanelSyntax.h"
#include "platform/TextConvert.h"
#include "ui/Edit.h"
#include "ui/Events.h"

namespace panels {
namespace {

// The edit whose exit handler is taking the focus back. The focus first reaches the control the
// operator chose and then returns; an exit handler of that control, run on the way, must not take
// the focus as well, or two silver edits would pass it to and fro for ever.
const CommittedEdit* g_reclaiming = nullptr;

class ReclaimGuard {
public:
    explicit ReclaimGuard(const CommittedEdit* edit) { g_reclaiming = edit; }
    // Posted after the focus's return, which the exit handler has posted already.
    ~ReclaimGuard() {
        if (QCoreApplication::instance() == nullptr)
            g_reclaiming = nullptr;
        else
            QMetaObject::invokeMethod(QCoreApplication::instance(), [] { g_reclaiming = nullptr; }, Qt::QueuedConnection);
    }
    ReclaimGuard(const ReclaimGuard&) = delete;
    ReclaimGuard& operator=(const ReclaimGuard&) = delete;
};

}  // namespace

NumberRead NumberRead::Strict() {
    return NumberRead([](const std::string& text) { return static_cast<double>(platform::StrToInt(text)); });
}

NumberRead NumberRead::WithDefault(int fallback) {
    return NumberRead(
        [fallback](const std::string& text) { return static_cast<double>(platform::StrToIntDef(text, fallback)); });
}

NumberRead NumberRead::Floating() {
    return NumberRead([](const std::string& text) { return platform::StrToFloat(text); });
}

NumberRead NumberRead::Custom(std::function<double(const std::string&)> read) { return NumberRead(std::move(read)); }

CommittedEdit::CommittedEdit(ui::TEdit& edit, CommittedEditSetup setup) : edit_(edit), setup_(std::move(setup)) {
    edit_.OnChange = [this] { Change(); };
    edit_.OnKeyPress = [this](char& key) { KeyPress(key); };
    edit_.OnExit = [this] { Exit(); };
    edit_.OnClick = [this] { Click(); };
    edit_.OnKeyDown = [this](int& key) { KeyDown(key); };
    edit_.OnKeyUp = [this](int& key) { KeyUp(key); };
    SetWhite();
}

void CommittedEdit::Change() {
    const std::string text = edit_.Text();
    const std::optional<double> value = text.empty() ? std::nullopt : ReadQuietly(text);
    const bool equal = value && (setup_.equalsCommitted ? setup_.equalsCommitted(*value)
                                                        : *value == setup_.committed());
    SetColour(equal ? ui::clWhite : ui::clSilver);
}

void CommittedEdit::KeyPress(char& key) {
    if (key == ui::VK_RETURN) {
        CommitOrRevert(setup_.enterRead);
        return;
    }
    if (!Passes(key))
        key = 0;
}

void CommittedEdit::Exit() {
    if (g_reclaiming != nullptr && g_reclaiming != this)
        return;  // the focus only passes through this edit on its way back to another one
    if (!IsSilver())
        return;
    const ReclaimGuard reclaim(this);
    if (!CommitOrRevert(setup_.exitRead))
        edit_.SetFocus();
}

void CommittedEdit::Click() { edit_.SelectAll(); }

void CommittedEdit::KeyDown(int& key) { KeyMoved(key, true); }

void CommittedEdit::KeyUp(int& key) { KeyMoved(key, false); }

void CommittedEdit::KeyMoved(int key, bool down) {
    RevertIfOffRangeWhileTyping();
    if (setup_.arrowKeys)
        setup_.arrowKeys(key, down);
    else
        DefaultArrowKeys(key, down);
}

bool CommittedEdit::IsSilver() const { return edit_.Color() == ui::clSilver; }

void CommittedEdit::SetWhite() { SetColour(ui::clWhite); }

void CommittedEdit::SetSilver() { SetColour(ui::clSilver); }

std::string CommittedEdit::CommittedText() const {
    if (setup_.committedText)
        return setup_.committedText();
    if (setup_.kind == EditKind::Floating)
        return FormatFixed(setup_.committed(), 1);
    return std::to_string(static_cast<long long>(setup_.committed()));
}

bool CommittedEdit::CommitOrRevert(const NumberRead& read) {
    const std::string text = edit_.Text();
    if (text.empty())
        return false;
    const double value = read(text);
    const bool accepted = setup_.accepts ? setup_.accepts(value)
                                         : setup_.minimum <= value && value <= setup_.maximum;
    if (accepted) {
        setup_.commit(value);
        SetWhite();
        edit_.SetFocus();
        edit_.SelectAll();
        return true;
    }
    edit_.SetText(CommittedText());
    if (setup_.flavour != EditFlavour::Ondrel) {
        edit_.SetFocus();
        edit_.SelectAll();
    }
    return true;
}

void CommittedEdit::RevertIfOffRangeWhileTyping() {
    const std::string text = edit_.Text();
    if (text.empty())
        return;
    const std::optional<double> value = ReadQuietly(text);
    if (!value)
        return;
    bool off = false;
    if (setup_.revertsOnKey)
        off = setup_.revertsOnKey(*value);
    else if (setup_.flavour == EditFlavour::Pexmar)
        off = *value > setup_.maximum;
    else
        off = *value < setup_.minimum || *value > setup_.maximum;
    if (off)
        edit_.SetText(CommittedText());
}

void CommittedEdit::DefaultArrowKeys(int key, bool down) {
    if (setup_.flavour != EditFlavour::Pexmar) {
        if (key == ui::VK_LEFT || key == ui::VK_RIGHT)
            edit_.SelectAll();
        return;
    }
    if (down && key == ui::VK_RIGHT) {
        edit_.SetFocus();
        edit_.SelectAll();
    } else if (!down && key == ui::VK_LEFT) {
        edit_.SelectAll();
    }
}

bool CommittedEdit::Passes(char key) const {
    if ((key >= '0' && key <= '9') || key == ui::VK_BACK)
        return true;
    if (setup_.kind == EditKind::Signed)
        return key == '-';
    if (setup_.kind == EditKind::Floating)
        return key == '.';
    return false;
}

std::optional<double> CommittedEdit::ReadQuietly(const std::string& text) const {
    try {
        return setup_.otherRead(text);
    } catch (const platform::EConvertError&) {
        return std::nullopt;
    }
}

void CommittedEdit::SetColour(ui::TColor colour) {
    if (edit_.Color() != colour)
        edit_.SetColor(colour);
}

}  // namespace panels
