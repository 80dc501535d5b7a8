#pragma once
// A multi-line edit of coloured lines: the communications pane, the log and the command file window.
// Lines are counted as the class library counts them: text added with AddLine ends its line, and a
// text that holds line breaks of its own (CR LF, CR or LF) occupies one line for each.
#include <string>
#include <vector>

#include "ui/Control.h"

class QPlainTextEdit;

namespace ui {

class TRichEdit : public TControl {
public:
    explicit TRichEdit(QWidget* parent);

    int LineCount() const;
    std::string Line(int index) const;
    void SetLine(int index, const std::string& text);
    std::vector<std::string> Lines() const;
    // Adds text as new line(s) at the end, drawn in colour.
    void AddLine(const std::string& text, TColor colour);
    // Adds text as new line(s) in the colour last set with SetSelColor.
    void AddLine(const std::string& text);
    void SetSelColor(TColor colour);
    TColor SelColor() const;
    void Clear();
    // Puts the caret at column 0 of the line after the last one, which scrolls to the end.
    void CaretToEnd();
    std::string SelText() const;
    // Selects length characters from position start of the whole text (lines joined by one break).
    void SetSelection(int start, int length);
    void SelectAll();

    bool PlainText() const { return plainText_; }
    void SetPlainText(bool plain) { plainText_ = plain; }
    bool ReadOnly() const;
    void SetReadOnly(bool readOnly);
    void SetWordWrap(bool wrap);
    // Keeps a history of the operator's edits for Undo; off unless switched on. Lines the program
    // adds, changes or clears are not undone, and they empty the history.
    void SetUndoEnabled(bool enabled);

    // Replaces the content with the lines of a text file (CR LF, CR or LF line ends), drawn in black;
    // out of plain-text mode a rich-text file loads as its text, each paragraph in its colour.
    // Raises std::runtime_error when the file cannot be read.
    void LoadFromFile(const std::string& path);
    // Writes the content as plain text (CR LF line ends) or, out of plain-text mode, as rich text with
    // its colours. Raises std::runtime_error when the file cannot be written.
    void SaveToFile(const std::string& path) const;
    // Prints the content as a document of that title; returns where it went (printer or PDF file).
    std::string Print(const std::string& title) const;

    void Cut();
    void Copy();
    void Paste();
    void Undo();
    void DeleteSelection();

    TKeyPressEvent OnKeyPress;
    TNotifyEvent OnChange;

    QPlainTextEdit* Editor() const;

private:
    bool plainText_ = false;
    TColor selColour_ = clBlack;
};

}  // namespace ui
