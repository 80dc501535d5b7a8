#pragma once
// The committed numeric edit: the one behaviour of every numeric edit box of the laser-system panels.
//
// The edit holds a committed value (the panel's own field, reached through `committed`). It is white
// while its text reads as that value and silver while the text differs or is empty. Keys are
// filtered (digits and Backspace; "-" for Signed, "." for Floating). Enter, or leaving a silver edit,
// commits: an accepted value runs the commit action, the edit turns white, takes the focus and
// selects its text; a value out of range puts the committed value's text back. Key down and key up
// put it back as soon as the text leaves the range; Left and Right select the text; a click selects it.
//
// The three panels differ in a few points, chosen by `flavour`:
//   - out-of-range revert: the Framont and Pexmar edits also take the focus and select their text;
//   - key down / key up: Pexmar edits put back only a value above the maximum, and only key down
//     with Right (which also takes the focus) and key up with Left select the text.
// Rows that differ further set the optional hooks.
//
// A text that does not read raises platform::EConvertError at Enter and at exit with a strict read
// (shown by the event entry in the exception box; the handler stops, nothing changes). While the
// operator types (OnChange, key down, key up) such a text turns the edit silver and reverts nothing,
// without a message: it is not a number yet, so it is neither committed nor out of range.
//
// Example, the Ondrel X size (0..6000, strict reads, sends the slit command):
//
//   panels::CommittedEditSetup x;
//   x.kind = panels::EditKind::Unsigned;
//   x.flavour = panels::EditFlavour::Ondrel;
//   x.minimum = 0;
//   x.maximum = 6000;
//   x.committed = [this] { return SlitX; };
//   x.commit = [this](double value) { SlitX = static_cast<int>(value); SendSlitSize(); };
//   xSize = Make<panels::CommittedEdit>(*leXSize, std::move(x));   // binds the six events
//
// The handlers are public so that a panel can run them itself (Enter from a file replay:
// `char enter = 13; edit->KeyPress(enter);`). GUI thread only.
#include <functional>
#include <optional>
#include <string>

#include "ui/Color.h"

namespace ui {
class TEdit;
}

namespace panels {

enum class EditKind { Unsigned, Signed, Floating };
enum class EditFlavour { Ondrel, Framont, Pexmar };

// How a text is read as a number.
class NumberRead {
public:
    // A whole number; any other text raises "'%s' is not a valid integer value".
    static NumberRead Strict();
    // A whole number; any other text reads as fallback.
    static NumberRead WithDefault(int fallback);
    // A decimal number; any other text raises "'%s' is not a valid floating point value".
    static NumberRead Floating();
    static NumberRead Custom(std::function<double(const std::string&)> read);

    // May raise platform::EConvertError.
    double operator()(const std::string& text) const { return read_(text); }

private:
    explicit NumberRead(std::function<double(const std::string&)> read) : read_(std::move(read)) {}
    std::function<double(const std::string&)> read_;
};

struct CommittedEditSetup {
    EditKind kind = EditKind::Unsigned;
    EditFlavour flavour = EditFlavour::Ondrel;
    double minimum = 0;
    double maximum = 0;
    NumberRead enterRead = NumberRead::Strict();
    NumberRead exitRead = NumberRead::Strict();
    NumberRead otherRead = NumberRead::Strict();  // OnChange, OnKeyDown, OnKeyUp

    // Required: the committed value, and the commit action for an accepted value (set the panel's
    // field and send, or move the trackbar whose change handler sends).
    std::function<double()> committed;
    std::function<void(double value)> commit;

    // Optional hooks for the variant rows; empty ones follow the convention.
    std::function<std::string()> committedText;        // the text a revert puts back (default: the
                                                       // committed value in decimal; Floating: "0.0")
    std::function<bool(double value)> accepts;         // range test of a commit (default: min..max)
    std::function<bool(double value)> revertsOnKey;    // key down / key up test (default by flavour)
    std::function<bool(double value)> equalsCommitted;  // white in OnChange (default: == committed())
    std::function<void(int key, bool down)> arrowKeys;   // Left / Right handling (default by flavour)
};

class CommittedEdit {
public:
    // Binds OnChange, OnKeyPress, OnExit, OnClick, OnKeyDown and OnKeyUp of edit and shows it white,
    // as designed. The edit must outlive this object (both belong to the same form).
    CommittedEdit(ui::TEdit& edit, CommittedEditSetup setup);
    CommittedEdit(const CommittedEdit&) = delete;
    CommittedEdit& operator=(const CommittedEdit&) = delete;

    void Change();
    void KeyPress(char& key);
    void Exit();
    void Click();
    void KeyDown(int& key);
    void KeyUp(int& key);

    ui::TEdit& Edit() const { return edit_; }
    bool IsSilver() const;
    void SetWhite();
    void SetSilver();
    // The text a revert puts back.
    std::string CommittedText() const;

private:
    // Enter and exit: read the text, then commit or revert. False when the text was empty.
    bool CommitOrRevert(const NumberRead& read);
    void KeyMoved(int key, bool down);
    void RevertIfOffRangeWhileTyping();
    void DefaultArrowKeys(int key, bool down);
    bool Passes(char key) const;
    std::optional<double> ReadQuietly(const std::string& text) const;
    void SetColour(ui::TColor colour);

    ui::TEdit& edit_;
    CommittedEditSetup setup_;
};

}  // namespace panels
