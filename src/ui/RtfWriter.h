#pragma once
// Rich text and plain text of coloured log lines, as word processors read them.
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

struct ColouredLine {
    std::string text;   // 8-bit text (Windows-1252)
    std::uint32_t rgb;  // 0xRRGGBB
    bool operator==(const ColouredLine&) const = default;
};

// An RTF document: a colour table of the lines' colours, each line a paragraph in its colour.
// Backslash and braces are escaped, bytes from 0x80 written as \'hh, a tab as \tab, a line break
// inside a text (CR LF, CR or LF) as \line; other control characters are left out.
std::string LinesToRtf(const std::vector<ColouredLine>& lines);

// Each line followed by CR LF.
std::string LinesToPlainText(const std::vector<std::string>& lines);

}  // namespace ui
