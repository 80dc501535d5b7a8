#pragma once
// The text of an RTF document as coloured lines: what a rich edit shows when it loads a rich-text file.
// Reads what LinesToRtf writes exactly, and any other RTF as far as its text goes: groups, control
// words and symbols, \'hh bytes, \uN characters, \bin data, and the destinations that hold no text
// (font and style tables, pictures, document information, ignorable \* groups) are skipped.
// Malformed input (unbalanced braces, cut-off words, deep nesting) gives its text without failing.
#include <string_view>
#include <vector>

#include "ui/RtfWriter.h"

namespace ui {

// Whether the content is rich text ("{\rtf" at its start).
bool IsRtf(std::string_view content);

// The paragraphs (ended by \par, \line or \row, or by the end of the document) with the colour of
// their first character from the colour table (\cfN); black where none is given. Text is 8-bit
// (Windows-1252): a character beyond it becomes '?'.
std::vector<ColouredLine> RtfToLines(std::string_view rtf);

}  // namespace ui
